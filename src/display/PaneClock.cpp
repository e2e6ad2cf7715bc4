#include "display/PaneClock.h"

#include <QDateTime>
#include <QLocale>

#include "base/CoarseClock.h"

namespace zarivok {
namespace {

// The locale's long time format without its time zone: hours, minutes and seconds as the user
// is used to reading them (9:05:03 PM, 21:05:03).
QString LocaleTimeFormat() {
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'') quoted = !quoted;
        if (!quoted && c == u't') continue;
        kept += c;
    }
    return kept.trimmed();
}

}  // namespace

PaneClock::PaneClock() : timeFormat_(LocaleTimeFormat()) {}

void PaneClock::SetClock(std::function<QTime()> clock) {
    clock_ = std::move(clock);
    stampText_ = QString();
    bracketedStamp_ = QString();
}

QString PaneClock::TimeOfDay() const {
    // Formatting through the locale costs more than the rest of a line's handling; a busy
    // channel asks for the same second many times.
    QTime now;
    if (clock_) {
        now = clock_();
    } else {
        // The local time of day only moves on with the epoch second. Reading it for every line
        // would look the time zone up each time (and glibc, without TZ set, stats
        // /etc/localtime for each lookup), which costs more than the rest of the line.
        const qint64 epochSecond = CoarseEpochMSecs() / 1000;
        if (epochSecond == stampEpochSecond_ && !stampText_.isNull()) return stampText_;
        stampEpochSecond_ = epochSecond;
        now = QDateTime::fromSecsSinceEpoch(epochSecond).time();
    }
    const int second = now.isValid() ? now.msecsSinceStartOfDay() / 1000 : -1;
    if (second != stampSecond_ || stampText_.isNull()) {
        stampSecond_ = second;
        stampText_ = QLocale().toString(now, timeFormat_);
        bracketedStamp_ = u'[' + stampText_ + QStringLiteral("] ");
    }
    return stampText_;
}

QString PaneClock::TimeStamp() const {
    TimeOfDay();
    return bracketedStamp_;
}

}  // namespace zarivok
