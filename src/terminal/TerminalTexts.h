#pragma once

#include <QString>
#include <cstdio>

#include "bot/WindowTexts.h"

namespace zarivok {

// The window texts of the headless front end: each change becomes one line on a stream
// (standard error), "caption: ", "users: " or "statusN: " and the new text, so the chat on
// standard output stays clean and a script can follow the connection state line by line.
class TerminalTexts : public WindowTexts {
  public:
    // The stream stays owned by the caller and must outlive this object.
    explicit TerminalTexts(std::FILE* stream);

    void SetCaption(const QString& text) override;
    void SetUserCount(const QString& text) override;
    // The header always names the channel, which the user count and status panel 2 already
    // show, so it writes nothing.
    void SetColumnHeader(const QString& text) override;
    void SetStatusPanel(int panel, const QString& text) override;

  private:
    void WriteLine(const QString& label, const QString& text);

    std::FILE* stream_;
};

}  // namespace zarivok
