#pragma once

#include <QByteArray>
#include <QStringView>

namespace zarivok {

// Chat text comes from a server and from other users: a control character passed to a terminal
// could move the cursor, retitle the window, ring the bell or start an escape sequence that
// rewrites what the operator sees (and `cat` on a log file is a terminal too). This appends the
// text to out as UTF-8 with every control character made visible instead, so a terminal only
// ever receives printable text (and tabs):
// - C0 controls and DEL in caret notation: ESC "^[", BEL "^G", backspace "^H", NUL "^@",
//   CR "^M", LF "^J", DEL "^?". Callers that treat CR and LF as line breaks split on them first.
// - C1 controls (U+0080 to U+009F) as U+FFFD. Many terminals act on them even in UTF-8 (U+009B
//   is a second way to start a control sequence), and a caret form would read as the 7-bit
//   sequence it stands for; the replacement character is what the operator already sees for
//   text that cannot be shown.
// - Bidirectional embeddings, overrides and isolates (U+202A to U+202E, U+2066 to U+2069) as
//   U+FFFD too: they reorder how the rest of the line is drawn.
// - A surrogate without its partner, which has no UTF-8 form, as U+FFFD.
// - Tab passes through unchanged: it only moves the cursor forward on the same line.
// Escaping and encoding are one pass into the caller's buffer: the day log runs every line of a
// busy channel through it.
void AppendEscapedUtf8(QStringView text, QByteArray& out);
// No UTF-16 code unit becomes more than three bytes; a pair of them becomes four.
inline constexpr qsizetype kMostEscapedBytesPerUnit = 3;

// The same up to the text's first CR or LF, which is left out, written to out (room for
// kMostEscapedBytesPerUnit bytes per unit of text); returns the end of what was written and puts
// the index of the CR or LF (the text's size when there is none) in *stop. For callers that end
// lines there and write a whole run in one go.
char* WriteEscapedUtf8ToBreak(QStringView text, char* out, qsizetype* stop);

}  // namespace zarivok
