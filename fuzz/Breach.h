#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstdio>
#include <cstdlib>

namespace zarivok::fuzz {

// Text as one readable line: controls, CR and LF among them, and everything outside ASCII shown
// as escapes, so that a report says exactly which characters broke a property.
inline QByteArray Escaped(QStringView text) {
    QByteArray out;
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit == u'\\') {
            out += "\\\\";
        } else if (unit >= 0x20 && unit < 0x7F) {
            out += static_cast<char>(unit);
        } else if (unit == u'\r') {
            out += "\\r";
        } else if (unit == u'\n') {
            out += "\\n";
        } else {
            out += (unit < 0x100 ? "\\x" + QByteArray::number(unit, 16).rightJustified(2, '0')
                                 : "\\u" + QByteArray::number(unit, 16).rightJustified(4, '0'));
        }
    }
    return out;
}

inline QByteArray Escaped(const QByteArray& bytes) { return Escaped(QString::fromLatin1(bytes)); }

// A property does not hold: say which, with the evidence, and abort, so that libFuzzer keeps the
// input and the run fails.
[[noreturn]] inline void Breach(const char* property, const QByteArray& evidence = {}) {
    std::fprintf(stderr, "\n== property broken: %s\n", property);
    if (!evidence.isEmpty()) {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(evidence.size()), evidence.constData());
    }
    std::fflush(stderr);
    std::abort();
}

}  // namespace zarivok::fuzz
