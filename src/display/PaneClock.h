#pragma once

#include <QString>
#include <QTime>
#include <functional>

namespace zarivok {

// The time stamp at the start of most pane lines: "[", the local time of day in the user's
// locale, "] ", read from the clock when the line is built.
class PaneClock {
  public:
    PaneClock();

    QString TimeStamp() const;
    QString TimeOfDay() const;
    // Tests fix the clock so that pane texts are known in advance; empty: the system clock.
    void SetClock(std::function<QTime()> clock);

  private:
    std::function<QTime()> clock_;
    // Taken from the locale once: every line's time stamp needs it.
    QString timeFormat_;
    mutable int stampSecond_ = -1;
    mutable qint64 stampEpochSecond_ = -1;
    mutable QString stampText_;
    // "[", stampText_, "] ": the start of most pane lines.
    mutable QString bracketedStamp_;
};

}  // namespace zarivok
