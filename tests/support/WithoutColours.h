#pragma once

#include <QByteArray>

namespace zarivok::testing {

// The terminal front end's text without its colour sequences (ESC "[" ... "m"): what the day log
// must hold. ESC appears nowhere else in that text, as the pane escapes it in chat text.
inline QByteArray WithoutColours(const QByteArray& text) {
    QByteArray plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\x1b' && i + 1 < text.size() && text[i + 1] == '[') {
            const qsizetype end = text.indexOf('m', i);
            if (end >= 0) {
                i = end;
                continue;
            }
        }
        plain += text[i];
    }
    return plain;
}

}  // namespace zarivok::testing
