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
const char* PaneLines::ColourSequence(ChatColour colour, qsizetype* length) {
    // Lines come in few colours (a line is mostly a name in one and its text in another): each
    // sequence is made once and kept while it is among the last few used.
    for (const Sequence& kept : sequences_) {
        if (kept.length > 0 && kept.colour == colour) {
            *length = kept.length;
            return kept.bytes;
        }
    }
    Sequence& made = sequences_[nextSequence_];
    nextSequence_ = (nextSequence_ + 1) % sequences_.size();
    static constexpr char kStart[] = "\x1b[38;2;";
    char* p = std::copy_n(kStart, sizeof kStart - 1, made.bytes);
    p = PutDecimal(p, RedOf(colour));
    *p++ = ';';
    p = PutDecimal(p, GreenOf(colour));
    *p++ = ';';
    p = PutDecimal(p, BlueOf(colour));
    *p++ = 'm';
    made.colour = colour;
    made.length = p - made.bytes;
    *length = made.length;
    return made.bytes;
}

bool PaneLines::AppendPieces(QStringView text, const ChatColour* colour, QByteArray& out) {
    bool ended = false;
    qsizetype start = 0;
    if (afterCr_ && text.startsWith(u'\n')) start = 1;
    if (!text.isEmpty()) afterCr_ = false;
    qsizetype sequenceLength = 0;
    const char* sequence = colour ? ColourSequence(*colour, &sequenceLength) : nullptr;
    constexpr qsizetype kResetLength = sizeof kReset - 1;
    // The whole run is written through one pointer into room for the worst case: each unit at
    // its longest, or a line break with a coloured piece after it.
    const qsizetype size = out.size();
    out.resize(size +
               (text.size() + 1) * (kMostEscapedBytesPerUnit + sequenceLength + kResetLength + 1));
    char* p = out.data() + size;
    for (;;) {
        // The colour goes before the piece, and is taken back when the piece is empty: the
        // piece's end is only known once it is written.
        char* const before = p;
        p = std::copy_n(sequence, sequenceLength, p);
        char* const written = p;
        qsizetype stop = 0;
        p = WriteEscapedUtf8ToBreak(text.sliced(start), p, &stop);
        const qsizetype i = start + stop;
        if (p == written) {
            p = before;
        } else {
            midLine_ = true;
            if (colour) p = std::copy_n(kReset, kResetLength, p);
        }
        if (i == text.size()) break;
        *p++ = '\n';
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
    out.resize(p - out.constData());
    return ended;
}

}  // namespace zarivok
