#include "terminal/TerminalPane.h"

namespace zarivok {

TerminalPane::TerminalPane(std::FILE* stream) : stream_(stream) {}

void TerminalPane::AppendRun(const QString& text, ChatColour colour) {
    const bool ended = lines_.AppendRun(text, colour, pending_);
    // The rest of an unfinished line may wait in the stream's buffer until its line ends.
    Write();
    if (ended && holds_ == 0) std::fflush(stream_);
}

void TerminalPane::ReplaceAll(const QString& text) {
    lines_.ReplaceAll(text, pending_);
    Write();
    if (holds_ == 0) std::fflush(stream_);
}

void TerminalPane::Release() {
    if (holds_ > 0 && --holds_ == 0) std::fflush(stream_);
}

void TerminalPane::Write() {
    if (pending_.isEmpty()) return;
    // A failed write has nowhere to be reported but the pane itself; the chat goes on.
    std::fwrite(pending_.constData(), 1, static_cast<std::size_t>(pending_.size()), stream_);
    pending_.resize(0);
}

}  // namespace zarivok
