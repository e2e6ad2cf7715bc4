#include "display/DayLog.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "base/CoarseClock.h"

namespace zarivok {

DayLog::DayLog(QString folder) : folder_(std::move(folder)), clock_(&CoarseEpochMSecs) {}

DayLog::~DayLog() { Flush(); }

void DayLog::SetClock(Clock clock) {
    clock_ = std::move(clock);
    dayStart_ = std::numeric_limits<qint64>::max();
    nextDayStart_ = std::numeric_limits<qint64>::min();
}

void DayLog::AppendRun(QStringView text) {
    if (lines_.AtLineStart()) BeginLine();
    lines_.AppendRun(text, 0, buffer_);
    AfterAppend();
}

void DayLog::ReplaceAll(QStringView text) {
    if (lines_.AtLineStart()) BeginLine();
    lines_.ReplaceAll(text, buffer_);
    AfterAppend();
}

void DayLog::AfterAppend() {
    if (failed_) {
        buffer_.resize(0);
    } else if (buffer_.size() >= kBatchBytes) {
        Flush();
    }
}

void DayLog::BeginLine() {
    const qint64 now = clock_();
    if (now >= dayStart_ && now < nextDayStart_) return;
    const QDate today = QDateTime::fromMSecsSinceEpoch(now).date();
    // startOfDay, not midnight: where a time zone change skips midnight, the day starts later.
    dayStart_ = today.startOfDay().toMSecsSinceEpoch();
    nextDayStart_ = today.addDays(1).startOfDay().toMSecsSinceEpoch();
    if (today == date_ && (file_.isOpen() || failed_)) return;
    // At a line start the collected bytes are whole lines, all of the old date.
    Flush();
    file_.close();
    date_ = today;
    failed_ = false;
    Open();
}

void DayLog::Open() {
    file_.setFileName(QDir(folder_).filePath(date_.toString(Qt::ISODate) + QStringLiteral(".log")));
    const QFileInfo folder(folder_);
    if (folder.exists() && !folder.isDir()) {
        Fail(QStringLiteral("%1 is a file, not a folder").arg(QDir::toNativeSeparators(folder_)));
        return;
    }
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder_).toStdString(), error);
    if (error) {
        Fail(QStringLiteral("the folder %1 cannot be made (%2)")
                 .arg(QDir::toNativeSeparators(folder_), QString::fromLocal8Bit(error.message())));
        return;
    }
    // Unbuffered: the collected lines are the buffer, written with one call each time.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        Fail(file_.errorString());
    }
}

void DayLog::Flush() {
    if (!file_.isOpen()) return;
    const qsizetype whole = buffer_.lastIndexOf('\n') + 1;
    if (whole == 0) return;
    if (file_.write(buffer_.constData(), whole) != whole) {
        Fail(file_.errorString());
        return;
    }
    const qsizetype rest = buffer_.size() - whole;
    std::memmove(buffer_.data(), buffer_.constData() + whole, static_cast<std::size_t>(rest));
    buffer_.resize(rest);
}

void DayLog::Retry() {
    if (!failed_) return;
    failed_ = false;
    date_ = QDate();
    dayStart_ = std::numeric_limits<qint64>::max();
}

void DayLog::Fail(const QString& reason) {
    failed_ = true;
    buffer_.resize(0);
    const QString path = QDir::toNativeSeparators(file_.fileName());
    file_.close();
    problem_ = QStringLiteral(
                   "The day log %1 cannot be written: %2. Logging resumes at the next "
                   "date or the next connect.")
                   .arg(path, reason);
}

QString DayLog::TakeProblem() { return std::exchange(problem_, QString()); }

}  // namespace zarivok
