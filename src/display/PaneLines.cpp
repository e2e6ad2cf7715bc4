#include "display/PaneLines.h"

#include "display/EscapeControls.h"

namespace zarivok {
namespace {

constexpr char kReset[] = "\x1b[0m";

void AppendColourSequence(ChatColour colour, QByteArray& out) {
    out += "\x1b[38;2;";
    out += QByteArray::number(RedOf(colour));
    out += ';';
    out += QByteArray::number(GreenOf(colour));
    out += ';';
    out += QByteArray::number(BlueOf(colour));
    out += 'm';
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
