#include "display/WhisperRecord.h"

#include "base/Texts.h"
#include "display/ChatOutput.h"
#include "display/WhisperLogFile.h"

namespace zarivok {

WhisperRecord::WhisperRecord(ChatOutput& output, QString path)
    : output_(output), path_(std::move(path)) {}

void WhisperRecord::Load() {
    if (loaded_) return;
    loaded_ = true;
    WhisperLogContent content = LoadWhisperLog(path_);
    fileKept_ = !content.problem.isEmpty();
    if (fileKept_) output_.AppendChat(content.problem + kCrLf, kRed);
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
        output_.AppendChat(*problem + kCrLf, kRed);
        return;
    }
    fileKept_ = false;
}

}  // namespace zarivok
