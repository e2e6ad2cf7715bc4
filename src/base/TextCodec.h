#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace zarivok {

// Servers pass text through byte for byte: most clients send UTF-8, older ones a Windows code
// page. A line (or a small file) that is valid UTF-8 is read as UTF-8, anything else as
// Windows-1252, which maps every byte to a character, so nothing is ever lost or refused.
// cutAtEnd says the bytes were cut off at a fixed length (the server cuts long lines): such a
// line that is valid UTF-8 up to a character broken by the cut is still read as UTF-8, the
// broken character shown as U+FFFD. Without it, a trailing lead byte is a Windows-1252 letter.
QString DecodeText(const QByteArray& bytes, bool cutAtEnd = false);
// The same into out, whose memory is reused when it is large enough: the receive side decodes
// every line of a busy channel.
void DecodeText(QByteArrayView bytes, bool cutAtEnd, QString& out);

// What the bot sends and writes: UTF-8.
QByteArray EncodeText(const QString& text);

// Windows-1252 both ways. EncodeWindows1252 returns false in *ok when a character has no
// Windows-1252 byte (it is then written as '?').
QString DecodeWindows1252(const QByteArray& bytes);
QByteArray EncodeWindows1252(const QString& text, bool* ok = nullptr);

// The length of the longest prefix of bytes that is well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
qsizetype ValidUtf8Prefix(const QByteArray& bytes);

}  // namespace zarivok
