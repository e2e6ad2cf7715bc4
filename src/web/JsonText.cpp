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
    // Most chat text is printable ASCII: those units are copied through a raw pointer into
    // room made once, the rest go through the escapes below.
    const qsizetype size = text.size();
    const qsizetype start = out.size();
    out.resize(start + size + 2);
    char* write = out.data() + start;
    *write++ = '"';
    const char16_t* units = reinterpret_cast<const char16_t*>(text.data());
    qsizetype i = 0;
    while (i < size) {
        const char16_t unit = units[i];
        if (unit >= 0x20 && unit < 0x80 && unit != u'"' && unit != u'\\') {
            *write++ = static_cast<char>(unit);
            ++i;
            continue;
        }
        // The slow path: finish the raw part, append the escape, and make room for the rest.
        out.truncate(write - out.data());
        if (unit == u'"' || unit == u'\\') {
            out += '\\';
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
                   QChar::isLowSurrogate(units[i + 1])) {
            AppendUtf8(out, QChar::surrogateToUcs4(unit, units[i + 1]));
            ++i;
        } else if (QChar::isSurrogate(unit)) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
        ++i;
        const qsizetype written = out.size();
        out.resize(written + (size - i) + 1);
        write = out.data() + written;
    }
    *write++ = '"';
    out.truncate(write - out.data());
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

QString CssColour(ChatColour colour) {
    QByteArray quoted;
    AppendCssColour(quoted, colour);
    return QString::fromLatin1(quoted.mid(1, quoted.size() - 2));
}

}  // namespace zarivok
