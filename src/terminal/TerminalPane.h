#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>

#include "display/ChatPane.h"

namespace zarivok {

// The chat pane of the headless front end: each run goes to a stream (standard output) as UTF-8
// in its colour, as a 24-bit SGR sequence. Every output line carries its own colour and reset,
// so a line read on its own (in a pipe, a log file, grep output) shows correctly and a line cut
// off never leaves the terminal coloured. The sequences are written whatever the stream is
// connected to: the colours are part of the output, and a reader that wants plain text can strip
// them. A completed line is flushed at once so that a reader at the other end of a pipe sees
// the chat as it happens.
class TerminalPane : public ChatPane {
  public:
    // The stream stays owned by the caller and must outlive the pane.
    explicit TerminalPane(std::FILE* stream);

    void AppendRun(const QString& text, ChatColour colour) override;
    void ReplaceAll(const QString& text) override;

  private:
    void EndLine();
    void Write();

    std::FILE* stream_;
    QByteArray pending_;
    // A run ended in CR: a LF at the start of the next run completes that line break.
    bool afterCr_ = false;
    // Something was written since the last line break.
    bool midLine_ = false;
};

}  // namespace zarivok
