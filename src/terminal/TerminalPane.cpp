#include "terminal/TerminalPane.h"

#include <QList>

#include "protocol/TextCodec.h"
#include "terminal/EscapeControls.h"

namespace zarivok {
namespace {

constexpr char kReset[] = "\x1b[0m";

QByteArray ColourSequence(ChatColour colour) {
    return QByteArrayLiteral("\x1b[38;2;") + QByteArray::number(RedOf(colour)) + ';' +
           QByteArray::number(GreenOf(colour)) + ';' + QByteArray::number(BlueOf(colour)) + 'm';
}

struct LinePiece {
    QStringView text;
    bool endsLine;
};

// Cuts text at its line breaks. CR LF, a bare CR and a bare LF each end a line: the server's
// line ends are CR LF, but a stray CR must not send the cursor back over the line, nor a stray
// LF leave it in the middle of the next one. *afterCr carries a CR that ended the previous text,
// so a CR LF pair split over two runs still ends only one line.
QList<LinePiece> SplitLines(QStringView text, bool* afterCr) {
    QList<LinePiece> pieces;
    qsizetype start = 0;
    if (*afterCr && text.startsWith(u'\n')) start = 1;
    if (!text.isEmpty()) *afterCr = false;
    for (qsizetype i = start; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (ch != u'\r' && ch != u'\n') continue;
        pieces.append({text.sliced(start, i - start), true});
        if (ch == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            } else if (i + 1 == text.size()) {
                *afterCr = true;
            }
        }
        start = i + 1;
    }
    pieces.append({text.sliced(start), false});
    return pieces;
}

}  // namespace

TerminalPane::TerminalPane(std::FILE* stream) : stream_(stream) {}

void TerminalPane::AppendRun(const QString& text, ChatColour colour) {
    for (const LinePiece& piece : SplitLines(text, &afterCr_)) {
        if (!piece.text.isEmpty()) {
            midLine_ = true;
            pending_ += ColourSequence(colour);
            pending_ += EncodeText(EscapeControls(piece.text));
            pending_ += kReset;
        }
        if (piece.endsLine) EndLine();
    }
    // The rest of an unfinished line may wait in the stream's buffer until its line ends.
    Write();
}

void TerminalPane::ReplaceAll(const QString& text) {
    // A terminal cannot take back what it has already printed (it has scrolled away, or sits in
    // a log file), so the new text simply follows the old, in the terminal's own colour, on a
    // line of its own.
    if (midLine_) EndLine();
    afterCr_ = false;
    for (const LinePiece& piece : SplitLines(text, &afterCr_)) {
        if (!piece.text.isEmpty()) midLine_ = true;
        pending_ += EncodeText(EscapeControls(piece.text));
        if (piece.endsLine) EndLine();
    }
    Write();
    std::fflush(stream_);
}

void TerminalPane::EndLine() {
    pending_ += '\n';
    midLine_ = false;
    Write();
    std::fflush(stream_);
}

void TerminalPane::Write() {
    if (pending_.isEmpty()) return;
    // A failed write has nowhere to be reported but the pane itself; the chat goes on.
    std::fwrite(pending_.constData(), 1, static_cast<std::size_t>(pending_.size()), stream_);
    pending_.clear();
}

}  // namespace zarivok
