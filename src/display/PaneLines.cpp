#include "display/PaneLines.h"

#include <algorithm>

#include "display/EscapeControls.h"

namespace zarivok {
namespace {

constexpr char kReset[] = "\x1b[0m";

char* PutDecimal(char* p, int value) {
    if (value >= 100) *p++ = static_cast<char>('0' + value / 100);
    if (value >= 10) *p++ = static_cast<char>('0' + value / 10 % 10);
    *p++ = static_cast<char>('0' + value % 10);
    return p;
}

// Written for every piece of every line: straight into the buffer, no number text made first.
void AppendColourSequence(ChatColour colour, QByteArray& out) {
    static constexpr char kStart[] = "\x1b[38;2;";
    constexpr qsizetype kLongest = sizeof kStart - 1 + 3 * 4 + 1;
    const qsizetype start = out.size();
    out.resize(start + kLongest);
    char* p = out.data() + start;
    p = std::copy_n(kStart, sizeof kStart - 1, p);
    p = PutDecimal(p, RedOf(colour));
    *p++ = ';';
    p = PutDecimal(p, GreenOf(colour));
    *p++ = ';';
    p = PutDecimal(p, BlueOf(colour));
    *p++ = 'm';
    out.resize(p - out.constData());
}

}  // namespace

bool PaneLines::AppendRun(QStringView text, ChatColour colour, QByteArray& out) {
    return AppendPieces(text, colours_ == Colours::kWritten ? &colour : nullptr, out);
}

bool PaneLines::ReplaceAll(QStringView text, QByteArray& out) {
    bool ended = false;
    if (midLine_) {
        out += '\n';
        midLine_ = false;
        ended = true;
    }
    afterCr_ = false;
    return AppendPieces(text, nullptr, out) || ended;
}

// Cuts text at its line breaks. CR LF, a bare CR and a bare LF each end a line: the server's
// line ends are CR LF, but a stray CR must not send the cursor back over the line, nor a stray
// LF leave it in the middle of the next one. afterCr_ carries a CR that ended the previous text,
// so a CR LF pair split over two runs still ends only one line.
bool PaneLines::AppendPieces(QStringView text, const ChatColour* colour, QByteArray& out) {
    bool ended = false;
    qsizetype start = 0;
    if (afterCr_ && text.startsWith(u'\n')) start = 1;
    if (!text.isEmpty()) afterCr_ = false;
    for (;;) {
        // The colour goes before the piece, and is taken back when the piece is empty: the
        // piece's end is only known once it is written.
        const qsizetype before = out.size();
        if (colour) AppendColourSequence(*colour, out);
        const qsizetype written = out.size();
        const qsizetype i = start + AppendEscapedUtf8ToBreak(text.sliced(start), out);
        if (out.size() == written) {
            out.resize(before);
        } else {
            midLine_ = true;
            if (colour) out += kReset;
        }
        if (i == text.size()) break;
        out += '\n';
        midLine_ = false;
        ended = true;
        qsizetype next = i + 1;
        if (text[i] == u'\r') {
            if (next < text.size() && text[next] == u'\n') {
                ++next;
            } else if (next == text.size()) {
                afterCr_ = true;
            }
        }
        start = next;
    }
    return ended;
}

}  // namespace zarivok
