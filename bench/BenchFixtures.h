#pragma once

#include "bot/WindowTexts.h"

namespace zarivok::bench {

// What people say in a channel: the talk of every flood the benchmarks send, short and long.
inline constexpr const char* kChannelTalk[] = {
    "anyone up for a game tonight?",
    "lol",
    "welcome to the channel, be nice and have fun",
    "brb",
    "does anybody know when the ladder season ends? asking for a friend",
};
inline constexpr int kChannelTalkCount = sizeof(kChannelTalk) / sizeof(kChannelTalk[0]);

// The window's texts, where no window shows them.
class NullTexts : public WindowTexts {
  public:
    void SetCaption(const QString&) override {}
    void SetUserCount(const QString&) override {}
    void SetColumnHeader(const QString&) override {}
    void SetStatusPanel(int, const QString&) override {}
};

}  // namespace zarivok::bench
