#include "bot/InputHistory.h"

namespace zarivok {

void InputHistory::Add(const QString& line) {
    if (line.isEmpty() || (!lines_.isEmpty() && lines_.front() == line)) return;
    lines_.prepend(line);
    if (lines_.size() > kMaxLines) lines_.removeLast();
}

std::optional<QString> HistoryWalk::Older(const QString& current) {
    const QStringList& lines = history_.Lines();
    if (index_ + 1 >= lines.size()) return std::nullopt;
    if (index_ < 0) draft_ = current;
    return lines[++index_];
}

std::optional<QString> HistoryWalk::Newer() {
    if (index_ < 0) return std::nullopt;
    if (index_ == 0) return Restore();
    return history_.Lines()[--index_];
}

std::optional<QString> HistoryWalk::Restore() {
    if (index_ < 0) return std::nullopt;
    index_ = -1;
    return std::exchange(draft_, QString());
}

}  // namespace zarivok
