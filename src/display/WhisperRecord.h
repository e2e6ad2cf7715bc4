#pragma once

#include <QList>
#include <QString>

#include "display/ChatPane.h"
#include "display/WhisperLogPort.h"

namespace zarivok {

class ChatOutput;

// The whisper log of a bot without a whisper window (the headless bot with its web console):
// whisper.txt's runs, read at first use, and every whisper since, in memory. The file is only
// written by Clear, as the window's Clear writes it; the program's end leaves it as it was.
class WhisperRecord : public ChatPane, public WhisperLogPort {
  public:
    // The oldest runs go first beyond this, so that a bot that runs for months without anybody
    // clearing its log keeps a bounded amount of it.
    static constexpr qsizetype kMaxRuns = 20'000;

    // output: where a file that cannot be used, or not be saved, is said in red.
    WhisperRecord(ChatOutput& output, QString path);

    void AppendRun(const QString& text, ChatColour colour) override;
    void ReplaceAll(const QString& text) override;

    QList<RtfRun> WhisperRuns() override;
    void ClearWhispers() override;

  private:
    void Load();

    ChatOutput& output_;
    QString path_;
    QList<RtfRun> runs_;
    bool loaded_ = false;
    // The file was there but could not be used: Clear still replaces it, on purpose.
    bool fileKept_ = false;
};

}  // namespace zarivok
