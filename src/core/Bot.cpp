#include "core/Bot.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QMetaMethod>
#include <cstdio>
#include <cstdlib>

#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "connection/Uptime.h"
#include "core/Alerts.h"
#include "core/CoarseClock.h"
#include "core/OptionToggles.h"
#include "core/Texts.h"
#include "core/WindowTexts.h"
#include "display/ChatPane.h"
#include "protection/ChannelGuard.h"
#include "protocol/EventDispatcher.h"
#include "protocol/TextCodec.h"
#include "settings/SettingsWriter.h"

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

Bot::Bot(ChatPane& chatPane, WindowTexts& windowTexts, ProfilePaths paths, QObject* parent)
    : QObject(parent),
      dayLog_(paths.logsFolder.isEmpty() ? nullptr : std::make_unique<DayLog>(paths.logsFolder)),
      chatPane_(chatPane),
      output_(chatPane_, settings, dayLog_.get()),
      windowTexts_(windowTexts),
      paths_(std::move(paths)),
      userList_(paths_.usersFile),
      timeFormat_(LocaleTimeFormat()),
      quitHandler_([] {
          // At once: no closing steps, but what the pane printed is not lost.
          std::fflush(stdout);
          std::fflush(stderr);
          std::_Exit(0);
      }),
      notificationsCaption_(QLatin1String(kNotificationsOffCaption)),
      autoClearCaption_(QLatin1String(kAutoClearOffCaption)),
      alertsCaption_(QLatin1String(kAlertsOffCaption)),
      connection_(std::make_unique<Connection>(*this)),
      outgoing_(std::make_unique<Outgoing>(*this)),
      guard_(std::make_unique<ChannelGuard>(*this)) {}

Bot::~Bot() {
    // The connection's handlers reach the outgoing side; take the socket down first.
    connection_->Socket().Close();
}

void Bot::AppendWhisper(const QString& firstText, ChatColour firstColour, const QString& secondText,
                        ChatColour secondColour) {
    if (!whisperPane_) return;
    whisperPane_->AppendRuns(firstText, firstColour, secondText, secondColour);
}

QString Bot::TimeOfDay() const {
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

QString Bot::TimeStamp() const {
    TimeOfDay();
    return bracketedStamp_;
}

void Bot::SetCaption(const QString& text) {
    caption_ = text;
    windowTexts_.SetCaption(text);
    Q_EMIT WindowTextsChanged();
}

void Bot::SetUserCount(const QString& text) {
    userCount_ = text;
    windowTexts_.SetUserCount(text);
    Q_EMIT WindowTextsChanged();
}

void Bot::SetColumnHeader(const QString& text) {
    roster_.SetHeader(text);
    windowTexts_.SetColumnHeader(text);
}

void Bot::SetStatusPanel(int panel, const QString& text) {
    if (panel < 1 || panel > static_cast<int>(status_.size())) return;
    status_[panel - 1] = text;
    windowTexts_.SetStatusPanel(panel, text);
    Q_EMIT WindowTextsChanged();
}

void Bot::ClickNotifications() {
    notificationsCaption_ = ToggleNotifications(*this, notificationsCaption_);
    Q_EMIT MenuCaptionsChanged();
}

void Bot::ClickAlerts() {
    alertsCaption_ = ToggleAlerts(*this, alertsCaption_);
    Q_EMIT MenuCaptionsChanged();
}

bool Bot::AlertsOn() const { return alertsCaption_ == QLatin1String(kAlertsOffCaption); }

void Bot::AlertWhisper(QStringView from, QStringView text) {
    if (AlertsOn()) Q_EMIT Alert(from.toString(), text.toString());
}

void Bot::AlertIfNamed(QStringView speaker, QStringView text) {
    // Nobody listening (the headless bot): a flood pays nothing for the search.
    static const QMetaMethod alert = QMetaMethod::fromSignal(&Bot::Alert);
    if (!AlertsOn() || strName.isEmpty() || !isSignalConnected(alert)) return;
    if (speaker.compare(strName, Qt::CaseInsensitive) == 0) return;
    if (NamesWholeWord(text, strName)) Q_EMIT Alert(speaker.toString(), text.toString());
}

void Bot::ClickAutoClear() {
    autoClearCaption_ = ToggleAutoClear(*this, autoClearCaption_);
    Q_EMIT MenuCaptionsChanged();
}

void Bot::ShowComputerUptime() {
    SetStatusPanel(3, QStringLiteral("Computer Uptime: ") + FormatUptime(SystemUptimeMs()));
}

QStringList Bot::LoadSettings() {
    QStringList problems;
    if (!QFileInfo::exists(paths_.configFile)) {
        problems.append(QStringLiteral("Config.ini: there is no file %1; every setting is empty.")
                            .arg(paths_.configFile));
    }
    problems += zarivok::LoadSettings(paths_.configFile, settings);
    return problems;
}

bool Bot::WriteSettingsFile(const QString& user, const QString& pass, const QString& server,
                            const QString& home, const QString& trigger, const QString& reconnect,
                            const QString& idleMsg, const QString& enableAutoClear,
                            const QString& autoClearAtLine, const QString& enableNotifications) {
    const auto problem =
        zarivok::WriteSettingsFile(paths_.configFile, user, pass, server, home, trigger, reconnect,
                                   idleMsg, enableAutoClear, autoClearAtLine, enableNotifications);
    if (problem) AppendChat(*problem + kCrLf, kRed);
    return !problem;
}

void Bot::LoadUserDatabase() { userList_.Load(&Bot::LetEventsRun); }

void Bot::SaveUserDatabase() {
    if (const auto problem = userList_.Save()) AppendChat(*problem + kCrLf, kRed);
}

void Bot::ProcessReceivedData(const QByteArray& data) {
    // The lines are taken out of the framer before any is dispatched: a handler may let events
    // run, and a nested arrival then finds the buffer already consistent.
    const FramedBatch batch = framer_.Feed(data);
    // Every line is decoded into the same memory. A handler that lets events run still holds
    // the text of its line, so an arrival handled meanwhile decodes into memory of its own.
    QString line = std::exchange(lineBuffer_, QString());
    output_.BeginArrival();
    for (const FramedLine& framed : batch.Lines()) {
        // A program told to end inside one of these lines takes no further commands.
        if (connection_->IsEnding()) break;
        DecodeText(framed.bytes, framed.cut, line);
        DispatchEventLine(*this, line, framed.cut);
    }
    lineBuffer_ = std::move(line);
    // A crash loses at most the arrival being handled.
    output_.EndArrival();
}

void Bot::Shutdown() {
    outgoing_->Shutdown();
    connection_->Shutdown();
}

void Bot::Quit() {
    output_.FlushLog();
    quitHandler_();
}

void Bot::LetEventsRun() { QCoreApplication::processEvents(); }

}  // namespace zarivok
