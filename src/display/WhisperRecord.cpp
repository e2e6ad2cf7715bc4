#include "display/WhisperRecord.h"

#include "core/Bot.h"
#include "core/Texts.h"
#include "display/WhisperLogFile.h"

namespace zarivok {

WhisperRecord::WhisperRecord(Bot& bot, QString path) : bot_(bot), path_(std::move(path)) {}

void WhisperRecord::Load() {
    if (loaded_) return;
    loaded_ = true;
    WhisperLogContent content = LoadWhisperLog(path_);
    fileKept_ = !content.problem.isEmpty();
    if (fileKept_) bot_.AppendChat(content.problem + kCrLf, kRed);
    runs_ = std::move(content.runs);
}

void WhisperRecord::AppendRun(const QString& text, ChatColour colour) {
    Load();
    if (text.isEmpty()) return;
    runs_.append({text, colour});
    if (runs_.size() > kMaxRuns) runs_.remove(0, runs_.size() - kMaxRuns);
}

void WhisperRecord::ReplaceAll(const QString& text) {
    Load();
    runs_.clear();
    if (!text.isEmpty()) runs_.append({text, kWhite});
}

QList<RtfRun> WhisperRecord::WhisperRuns() {
    Load();
    return runs_;
}

void WhisperRecord::ClearWhispers() {
    Load();
    runs_.clear();
    if (const auto problem = SaveWhisperLog(path_, runs_)) {
        bot_.AppendChat(*problem + kCrLf, kRed);
        return;
    }
    fileKept_ = false;
}

}  // namespace zarivok
