#pragma once

#include <QByteArray>
#include <QStringView>
#include <array>

#include "base/ChatColour.h"

namespace zarivok {

// How the runs of a chat pane become lines of text: what the terminal front end writes to
// standard output, and (without the colours) what the day log keeps, so the two never differ.
// UTF-8, one LF per line break, control characters made visible (see AppendEscapedUtf8).
// Coloured, every output line carries its own colour and reset, so a line read on its own (in
// a pipe, grep output) shows correctly and a line cut off never leaves the terminal coloured.
class PaneLines {
  public:
    enum class Colours { kWritten, kLeftOut };

    explicit PaneLines(Colours colours) : colours_(colours) {}

    // The bytes of a run, appended to out. Returns whether a line ended in it.
    bool AppendRun(QStringView text, ChatColour colour, QByteArray& out);
    // The pane's ReplaceAll. Text already written cannot be taken back (it has scrolled away, or
    // sits in a file), so the new text simply follows the old, in the terminal's own colour, on
    // a line of its own. Returns whether a line ended.
    bool ReplaceAll(QStringView text, QByteArray& out);

    // Nothing of a line is written yet: the next run's text begins one.
    bool AtLineStart() const { return !midLine_; }

  private:
    bool AppendPieces(QStringView text, const ChatColour* colour, QByteArray& out);
    const char* ColourSequence(ChatColour colour, qsizetype* length);

    Colours colours_;
    // A run ended in CR: a LF at the start of the next run completes that line break.
    bool afterCr_ = false;
    // Something was written since the last line break.
    bool midLine_ = false;
    // The escape sequences of the colours written last.
    struct Sequence {
        ChatColour colour = 0;
        qsizetype length = 0;
        char bytes[24] = {};
    };
    std::array<Sequence, 4> sequences_;
    std::size_t nextSequence_ = 0;
};

}  // namespace zarivok
