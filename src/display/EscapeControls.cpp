#include "display/EscapeControls.h"

namespace zarivok {
namespace {

constexpr char16_t kTab = 0x09;
constexpr char16_t kDelete = 0x7F;
// No UTF-16 code unit takes more than three bytes; a pair of them takes four.
constexpr qsizetype kMostBytesPerUnit = 3;

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

// The one pass behind both entry points; with stopAtBreak it ends at the first CR or LF instead
// of escaping it, and returns where it ended.
qsizetype Escape(QStringView text, QByteArray& out, bool stopAtBreak) {
    const qsizetype start = out.size();
    out.resize(start + kMostBytesPerUnit * text.size());
    char* p = out.data() + start;
    const qsizetype size = text.size();
    const char16_t* const units = text.utf16();
    qsizetype i = 0;
    for (; i < size; ++i) {
        // Printable ASCII, nearly all of any chat line, is copied in a loop of its own.
        while (i < size && units[i] >= 0x20 && units[i] < kDelete) {
            *p++ = static_cast<char>(units[i++]);
        }
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
    out.resize(p - out.constData());
    return i;
}

}  // namespace

void AppendEscapedUtf8(QStringView text, QByteArray& out) { Escape(text, out, false); }

qsizetype AppendEscapedUtf8ToBreak(QStringView text, QByteArray& out) {
    return Escape(text, out, true);
}

}  // namespace zarivok
