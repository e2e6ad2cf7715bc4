#include "web/JsonText.h"

namespace zarivok {
namespace {

constexpr char kHex[] = "0123456789abcdef";

void AppendUtf8(QByteArray& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

void AppendJsonString(QByteArray& out, QStringView text) {
    out.reserve(out.size() + text.size() + 2);
    out += '"';
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = text[i].unicode();
        if (unit >= 0x20 && unit < 0x80) {
            if (unit == u'"' || unit == u'\\') out += '\\';
            out += static_cast<char>(unit);
        } else if (unit < 0x20) {
            switch (unit) {
                case u'\n':
                    out += "\\n";
                    break;
                case u'\r':
                    out += "\\r";
                    break;
                case u'\t':
                    out += "\\t";
                    break;
                default:
                    out += "\\u00";
                    out += kHex[unit >> 4];
                    out += kHex[unit & 0xF];
            }
        } else if (QChar::isHighSurrogate(unit) && i + 1 < size &&
                   QChar::isLowSurrogate(text[i + 1].unicode())) {
            AppendUtf8(out, QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(unit)) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    out += '"';
}

void AppendCssColour(QByteArray& out, ChatColour colour) {
    const int parts[] = {RedOf(colour), GreenOf(colour), BlueOf(colour)};
    out += "\"#";
    for (const int part : parts) {
        out += kHex[part >> 4];
        out += kHex[part & 0xF];
    }
    out += '"';
}

}  // namespace zarivok
