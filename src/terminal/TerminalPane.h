#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>

#include "display/ChatPane.h"
#include "display/PaneLines.h"

namespace zarivok {

// The chat pane of the headless front end: each run goes to a stream (standard output) as
// coloured lines of UTF-8 (see PaneLines). The colour sequences are written whatever the stream
// is connected to: the colours are part of the output, and a reader that wants plain text can
// strip them. A completed line is flushed at once so that a reader at the other end of a pipe
// sees the chat as it happens; while the pane is held (the lines of one arrival from the
// server), at the outermost Release.
class TerminalPane : public ChatPane {
  public:
    // The stream stays owned by the caller and must outlive the pane.
    explicit TerminalPane(std::FILE* stream);

    void AppendRun(const QString& text, ChatColour colour) override;
    void ReplaceAll(const QString& text) override;
    void Hold() override { ++holds_; }
    void Release() override;

  private:
    void Write();

    std::FILE* stream_;
    PaneLines lines_{PaneLines::Colours::kWritten};
    QByteArray pending_;
    int holds_ = 0;
};

}  // namespace zarivok
