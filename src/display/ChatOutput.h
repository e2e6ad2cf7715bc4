#pragma once

#include <QString>
#include <QTimer>

#include "base/ChatColour.h"
#include "display/PaneClock.h"

namespace zarivok {

class ChatPane;
class DayLog;
struct Settings;

// The one writer of the chat pane, and of the day log beside it. It counts its calls and clears
// the pane (never the log) when the count reaches the configured line and clearing is switched
// on. Every part that writes a line asks it for the line's time stamp too.
class ChatOutput {
  public:
    static constexpr char kClearedText[] = "Chat has been Auto-Cleared.\r\n";

    // log: none when logging is off; it stays owned by the caller and must outlive this object.
    ChatOutput(ChatPane& pane, const Settings& settings, DayLog* log = nullptr);

    // Appends firstText in firstColour (always, even when empty), then secondText in
    // secondColour when it is not empty. Callers end the last run with CR LF themselves.
    void AppendChat(const QString& firstText, ChatColour firstColour,
                    const QString& secondText = {}, ChatColour secondColour = 0);

    // "[", the local time of day in the user's locale, "] ", read from the clock now.
    QString TimeStamp() const { return clock_.TimeStamp(); }
    QString TimeOfDay() const { return clock_.TimeOfDay(); }
    void SetClock(std::function<QTime()> clock) { clock_.SetClock(std::move(clock)); }

    // Calls since the last automatic clear. 64 bits, so it never wraps, however long clearing
    // stays off.
    qint64 LineCount() const { return intLineCount_; }

    // Around the lines of one arrival from the server: the pane may hold them back until the
    // end, and the log writes them then.
    void BeginArrival();
    void EndArrival();

    DayLog* Log() { return log_; }
    // Writes the log's whole lines now; a failure is said in red.
    void FlushLog();
    // A log that failed tries its folder and file again at the next line.
    void RetryLog();

  private:
    void AfterLogged();
    void SayLogProblem();

    ChatPane& pane_;
    const Settings& settings_;
    PaneClock clock_;
    DayLog* log_;
    // Lines written outside an arrival from the server (the operator's, a timer's) reach the file
    // once the event loop is back, however many were written meanwhile.
    QTimer flushTimer_;
    qint64 intLineCount_ = 0;
};

}  // namespace zarivok
