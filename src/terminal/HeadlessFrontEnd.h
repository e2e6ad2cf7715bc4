#pragma once

#include <QObject>
#include <cstdio>
#include <memory>

#include "base/ProfilePaths.h"

namespace zarivok {

class Bot;
class SignalWatcher;
class StdinReader;
class TerminalPane;
class TerminalTexts;

// The bot without a display: stdout is the chat pane, stderr gets the window texts, each line
// read from stdin is sent as the Send button sends the input box. It connects at once, as there
// is no menu to choose Connect from. SIGINT and SIGTERM close the connection and end the event
// loop with exit code 0.
class HeadlessFrontEnd : public QObject {
    Q_OBJECT
  public:
    HeadlessFrontEnd(const ProfilePaths& paths, std::FILE* out, std::FILE* err, int inputFd);
    ~HeadlessFrontEnd() override;

    Bot& bot() { return *bot_; }
    // Shows the computer's uptime and connects.
    void Start();

  private:
    std::unique_ptr<TerminalPane> pane_;
    std::unique_ptr<TerminalTexts> texts_;
    std::unique_ptr<Bot> bot_;
    std::unique_ptr<StdinReader> input_;
    std::unique_ptr<SignalWatcher> signals_;
};

}  // namespace zarivok
