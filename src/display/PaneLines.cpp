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
    const auto piece = [&](QStringView part, bool endsLine) {
        if (!part.isEmpty()) {
            midLine_ = true;
            if (colour) AppendColourSequence(*colour, out);
            AppendEscapedUtf8(part, out);
            if (colour) out += kReset;
        }
        if (endsLine) {
            out += '\n';
            midLine_ = false;
            ended = true;
        }
    };
    qsizetype start = 0;
    if (afterCr_ && text.startsWith(u'\n')) start = 1;
    if (!text.isEmpty()) afterCr_ = false;
    for (qsizetype i = start; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (ch != u'\r' && ch != u'\n') continue;
        piece(text.sliced(start, i - start), true);
        if (ch == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            } else if (i + 1 == text.size()) {
                afterCr_ = true;
            }
        }
        start = i + 1;
    }
    piece(text.sliced(start), false);
    return ended;
}

}  // namespace zarivok
