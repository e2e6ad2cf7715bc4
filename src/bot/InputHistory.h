#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace zarivok {

// The lines the operator sent with Send or Whisper in this run, newest first: what Up and Down
// in the input line walk through, in every front end.
class InputHistory {
  public:
    static constexpr qsizetype kMaxLines = 100;

    // An empty line is not kept, nor one equal to the newest.
    void Add(const QString& line);
    const QStringList& Lines() const { return lines_; }

  private:
    QStringList lines_;
};

// One input line's walk through the history. The line being typed when the walk began (the
// draft) comes back after the newest line, or at once with Escape.
class HistoryWalk {
  public:
    explicit HistoryWalk(const InputHistory& history) : history_(history) {}

    // Up: the next older line, or nothing at the oldest (the line stays as it is).
    std::optional<QString> Older(const QString& current);
    // Down: the next newer line, then the draft, which ends the walk; nothing when not walking.
    std::optional<QString> Newer();
    // Escape: the draft, ending the walk; nothing when not walking.
    std::optional<QString> Restore();
    // The line was sent or changed by hand: the next Up starts from the newest again.
    void Reset() { index_ = -1; }
    bool Walking() const { return index_ >= 0; }

  private:
    const InputHistory& history_;
    // Into Lines(); -1 while not walking.
    qsizetype index_ = -1;
    QString draft_;
};

}  // namespace zarivok
