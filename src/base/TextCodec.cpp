#include "base/TextCodec.h"

#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zarivok {
namespace {

// 0x80..0x9F of Windows-1252. The five bytes the code page leaves undefined map to the C1
// control of the same value, as web browsers do, so every byte still round-trips.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Length of the UTF-8 sequence that starts at bytes[i], or 0 when it is not well-formed there.
// *truncated is set when the bytes are a correct beginning that the end of the data cuts off.
qsizetype SequenceLength(QByteArrayView bytes, qsizetype i, bool* truncated) {
    const auto byteAt = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byteAt(i);
    *truncated = false;
    if (lead < 0x80) return 1;
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
        return 0;
    }
    for (qsizetype k = 1; k < length; ++k) {
        if (i + k >= bytes.size()) {
            *truncated = true;
            return 0;
        }
        const unsigned char b = byteAt(i + k);
        const unsigned char lo = k == 1 ? low : 0x80;
        const unsigned char hi = k == 1 ? high : 0xBF;
        if (b < lo || b > hi) return 0;
    }
    return length;
}

// The length of the well-formed prefix; *truncated tells whether what stops it is only a
// sequence cut off by the end of the data.
qsizetype ScanUtf8(QByteArrayView bytes, bool* truncated) {
    qsizetype i = 0;
    *truncated = false;
    while (i < bytes.size()) {
        const qsizetype length = SequenceLength(bytes, i, truncated);
        if (length == 0) break;
        i += length;
    }
    return i;
}

// Channel talk is nearly all ASCII, which reads the same in both encodings: it is checked and
// widened to UTF-16 in one pass, sixteen bytes at a time where the processor has the
// instructions for it. Returns false, with out unspecified, at the first byte that is not ASCII.
bool DecodeAscii(QByteArrayView bytes, QString& out) {
    out.resize(bytes.size());
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    char16_t* to = reinterpret_cast<char16_t*>(out.data());
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; end - p >= 16; p += 16, to += 16) {
        const __m128i sixteen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        if (_mm_movemask_epi8(sixteen) != 0) return false;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_unpacklo_epi8(sixteen, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 8), _mm_unpackhi_epi8(sixteen, zero));
    }
#endif
    for (; p < end; ++p) {
        const auto b = static_cast<unsigned char>(*p);
        if (b >= 0x80) return false;
        *to++ = b;
    }
    return true;
}

void DecodeWindows1252Into(QByteArrayView bytes, QString& out) {
    out.resize(bytes.size());
    QChar* to = out.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *to++ = (b >= 0x80 && b <= 0x9F) ? QChar(kHighControls[b - 0x80]) : QChar(b);
    }
}

}  // namespace

qsizetype ValidUtf8Prefix(const QByteArray& bytes) {
    bool truncated = false;
    return ScanUtf8(bytes, &truncated);
}

QString DecodeText(const QByteArray& bytes, bool cutAtEnd) {
    QString text;
    DecodeText(bytes, cutAtEnd, text);
    return text;
}

void DecodeText(QByteArrayView bytes, bool cutAtEnd, QString& out) {
    if (DecodeAscii(bytes, out)) return;
    bool truncated = false;
    const qsizetype valid = ScanUtf8(bytes, &truncated);
    if (valid == bytes.size()) {
        out = QString::fromUtf8(bytes);
    } else if (truncated && cutAtEnd) {
        out = QString::fromUtf8(bytes.first(valid)) + QChar(QChar::ReplacementCharacter);
    } else {
        DecodeWindows1252Into(bytes, out);
    }
}

QByteArray EncodeText(const QString& text) { return text.toUtf8(); }

QString DecodeWindows1252(const QByteArray& bytes) {
    QString text;
    DecodeWindows1252Into(bytes, text);
    return text;
}

QByteArray EncodeWindows1252(const QString& text, bool* ok) {
    QByteArray bytes;
    bytes.reserve(text.size());
    bool all = true;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.append(static_cast<char>(u));
            continue;
        }
        char found = 0;
        for (std::size_t k = 0; k < kHighControls.size(); ++k) {
            if (kHighControls[k] == u) {
                found = static_cast<char>(0x80 + k);
                break;
            }
        }
        if (found == 0) {
            all = false;
            found = '?';
        }
        bytes.append(found);
    }
    if (ok) *ok = all;
    return bytes;
}

}  // namespace zarivok
