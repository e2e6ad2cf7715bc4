#pragma once

#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QString>
#include <QStringView>
#include <functional>
#include <limits>

#include "display/PaneLines.h"

namespace zarivok {

// Everything the chat pane shows, appended to <folder>/YYYY-MM-DD.log as the terminal front end
// writes it without its colours (see PaneLines). The file is named by the local date on which
// a line begins; the first line of a new date begins a new file.
//
// Lines are collected in memory and written whole, in one write for many lines: the owner
// flushes at the end of each arrival from the server and soon after lines written outside one,
// and a large batch is written as it grows. The folder and the file are made at the first line,
// so a bot that shows nothing leaves nothing behind.
//
// A folder or file that cannot be made or written stops the logging until the next date or
// Retry(), and leaves one problem text for the owner to show (not from inside a write, which
// may be in the middle of a pane line). The chat goes on either way.
class DayLog {
  public:
    // Milliseconds since the epoch; tests move it across midnight.
    using Clock = std::function<qint64()>;
    // Written as soon as this much has collected, whole lines only.
    static constexpr qsizetype kBatchBytes = 64 * 1024;

    explicit DayLog(QString folder);
    // Writes the whole lines still collected.
    ~DayLog();
    DayLog(const DayLog&) = delete;
    DayLog& operator=(const DayLog&) = delete;

    // The date is looked at again with the new clock at the next line.
    void SetClock(Clock clock);

    void AppendRun(QStringView text);
    void ReplaceAll(QStringView text);
    // Writes every whole line collected so far.
    void Flush();
    bool HasUnwritten() const { return !buffer_.isEmpty(); }

    // After a failure: the next line tries the folder and the file again.
    void Retry();
    bool HasProblem() const { return !problem_.isEmpty(); }
    // The one text that says a failure, naming the file and the reason; empty when there is none.
    QString TakeProblem();

  private:
    void BeginLine();
    void Open();
    void Fail(const QString& reason);
    void AfterAppend();

    QString folder_;
    Clock clock_;
    PaneLines lines_{PaneLines::Colours::kLeftOut};
    QFile file_;
    QDate date_;
    // The local date's bounds as epoch milliseconds, so that a line costs two comparisons and
    // no time zone lookup. Empty bounds (the start) make the first line look the date up.
    qint64 dayStart_ = std::numeric_limits<qint64>::max();
    qint64 nextDayStart_ = std::numeric_limits<qint64>::min();
    QByteArray buffer_;
    bool failed_ = false;
    QString problem_;
};

}  // namespace zarivok
