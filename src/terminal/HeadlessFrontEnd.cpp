#include "terminal/HeadlessFrontEnd.h"

#include <QCoreApplication>

#include "bot/Bot.h"
#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "terminal/SignalWatcher.h"
#include "terminal/StdinReader.h"
#include "terminal/TerminalPane.h"
#include "terminal/TerminalTexts.h"

namespace zarivok {
namespace {

// The pane writes the lines of one arrival with one flush; a buffer of many lines makes that a
// few large writes instead of one per page. (Without a buffer of its own, the C library keeps
// its page-sized one whatever size is asked for.) Nothing is written to the stream before Start.
void SetOutputBuffer(std::FILE* out) {
    constexpr std::size_t kOutputBufferBytes = 64 * 1024;
    static char buffer[kOutputBufferBytes];
    std::setvbuf(out, buffer, _IOFBF, sizeof buffer);
}

}  // namespace

HeadlessFrontEnd::HeadlessFrontEnd(const ProfilePaths& paths, std::FILE* out, std::FILE* err,
                                   int inputFd)
    : pane_(std::make_unique<TerminalPane>(out)),
      texts_(std::make_unique<TerminalTexts>(err)),
      bot_(std::make_unique<Bot>(*pane_, *texts_, paths)),
      input_(std::make_unique<StdinReader>(inputFd)),
      signals_(std::make_unique<SignalWatcher>()) {
    SetOutputBuffer(out);
    connect(input_.get(), &StdinReader::LineRead, this,
            [this](const QString& line) { bot_->GetOutgoing().Send(line); });
    connect(signals_.get(), &SignalWatcher::Terminate, this, [this](int) {
        // A pause may be running: it finishes, but says nothing and reconnects nowhere.
        bot_->Shutdown();
        QCoreApplication::exit(0);
    });
}

// The bot goes before the panes it writes to.
HeadlessFrontEnd::~HeadlessFrontEnd() { bot_.reset(); }

void HeadlessFrontEnd::Start() {
    bot_->ShowComputerUptime();
    bot_->GetConnection().ConnectMenuClick();
}

}  // namespace zarivok
