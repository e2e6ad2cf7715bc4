#include "display/EscapeControls.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zarivok {
namespace {

constexpr char16_t kTab = 0x09;
constexpr char16_t kDelete = 0x7F;

// Embeddings, overrides and isolates change the order in which a terminal draws the rest of the
// line: a name could make a line read as something it is not. Plain right-to-left text needs none
// of them.
bool IsBidiControl(char16_t u) {
    return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

char* PutThreeBytes(char* p, char32_t u) {
    *p++ = static_cast<char>(0xE0 | (u >> 12));
    *p++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    *p++ = static_cast<char>(0x80 | (u & 0x3F));
    return p;
}

char* PutReplacement(char* p) { return PutThreeBytes(p, QChar::ReplacementCharacter); }

// Copies the printable ASCII at units[i...] to p, eight units at a time where the processor has
// the instructions for it, and moves i and p past it.
void CopyPrintableAscii(const char16_t* units, qsizetype size, qsizetype& i, char*& p) {
#if defined(__SSE2__)
    const __m128i belowPrintable = _mm_set1_epi16(0x1F);
    const __m128i delete_ = _mm_set1_epi16(kDelete);
    while (size - i >= 8) {
        // Compared as signed: units from 0x8000 up are negative and so not printable either.
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
        const __m128i printable =
            _mm_and_si128(_mm_cmpgt_epi16(eight, belowPrintable), _mm_cmplt_epi16(eight, delete_));
        if (_mm_movemask_epi8(printable) != 0xFFFF) break;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(eight, eight));
        p += 8;
        i += 8;
    }
#endif
    while (i < size && units[i] >= 0x20 && units[i] < kDelete) *p++ = static_cast<char>(units[i++]);
}

// The one pass behind the entry points; with stopAtBreak it ends at the first CR or LF instead
// of escaping it. Returns where the text ended.
char* Escape(QStringView text, char* p, bool stopAtBreak, qsizetype* stop) {
    const qsizetype size = text.size();
    const char16_t* const units = text.utf16();
    qsizetype i = 0;
    for (; i < size; ++i) {
        // Printable ASCII, nearly all of any chat line, is copied by the fast loop.
        CopyPrintableAscii(units, size, i, p);
        if (i == size) break;
        const char16_t u = units[i];
        if (u < 0x80) {
            if (stopAtBreak && (u == u'\r' || u == u'\n')) break;
            if ((u < 0x20 && u != kTab) || u == kDelete) {
                *p++ = '^';
                *p++ = static_cast<char>(u ^ 0x40);  // 0x1B becomes '[', 0x7F becomes '?'
            } else {
                *p++ = static_cast<char>(u);
            }
        } else if (u < 0x800) {
            if (u <= 0x9F) {
                p = PutReplacement(p);
            } else {
                *p++ = static_cast<char>(0xC0 | (u >> 6));
                *p++ = static_cast<char>(0x80 | (u & 0x3F));
            }
        } else if (QChar::isHighSurrogate(u) && i + 1 < size && text[i + 1].isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(u, text[i + 1].unicode());
            ++i;
            *p++ = static_cast<char>(0xF0 | (code >> 18));
            *p++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            *p++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            *p++ = static_cast<char>(0x80 | (code & 0x3F));
        } else if (QChar::isSurrogate(u) || IsBidiControl(u)) {
            p = PutReplacement(p);
        } else {
            p = PutThreeBytes(p, u);
        }
    }
    *stop = i;
    return p;
}

}  // namespace

void AppendEscapedUtf8(QStringView text, QByteArray& out) {
    const qsizetype start = out.size();
    out.resize(start + kMostEscapedBytesPerUnit * text.size());
    qsizetype stop = 0;
    const char* end = Escape(text, out.data() + start, false, &stop);
    out.resize(end - out.constData());
}

char* WriteEscapedUtf8ToBreak(QStringView text, char* out, qsizetype* stop) {
    return Escape(text, out, true, stop);
}

}  // namespace zarivok
