#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTime>
#include <array>
#include <functional>
#include <memory>

#include "commands/UserDatabase.h"
#include "core/InputHistory.h"
#include "core/ProfilePaths.h"
#include "display/ChatColour.h"
#include "display/ChatOutput.h"
#include "display/DayLog.h"
#include "display/PaneFanout.h"
#include "protocol/LineFramer.h"
#include "protocol/RosterModel.h"
#include "settings/Settings.h"

namespace zarivok {

class ChannelGuard;
class ChatPane;
class Connection;
class Outgoing;
class WhisperLogPort;
class WindowTexts;

// The one object that owns the program-wide state of a running bot: the settings values, its own
// name, the channel, the roster, the user database, the connection and the timers. Front ends
// give it a chat pane and the window texts and only draw what it decides.
class Bot : public QObject {
    Q_OBJECT
  public:
    Bot(ChatPane& chatPane, WindowTexts& windowTexts, ProfilePaths paths,
        QObject* parent = nullptr);
    ~Bot() override;

    // The ten values of Config.ini, filled at each connect.
    Settings settings;
    // The bot's own name as the server confirmed it at logon.
    QString strName;
    // The user last picked in the user list: the target of the moderation actions.
    QString strList;
    // The channel the bot is in.
    QString CurrentChannel;

    const ProfilePaths& Paths() const { return paths_; }
    UserDatabase& UserList() { return userList_; }
    RosterModel& Roster() { return roster_; }
    ChatOutput& Output() { return output_; }
    Connection& GetConnection() { return *connection_; }
    Outgoing& GetOutgoing() { return *outgoing_; }
    // Channel protection: its files, its rules and what it knows of the channel.
    ChannelGuard& Guard() { return *guard_; }
    // The lines sent from an input line (Send, Whisper) in this run, for Up and Down.
    InputHistory& History() { return history_; }

    void AppendChat(const QString& firstText, ChatColour firstColour,
                    const QString& secondText = {}, ChatColour secondColour = 0) {
        output_.AppendChat(firstText, firstColour, secondText, secondColour);
    }
    // The whisper pane gets the same runs, without counting or clearing. Without a whisper
    // pane (the terminal front end) the chat pane's copy is the only one.
    void AppendWhisper(const QString& firstText, ChatColour firstColour,
                       const QString& secondText = {}, ChatColour secondColour = 0);
    void SetWhisperPane(ChatPane* pane) { whisperPane_ = pane; }
    // The whisper log as a whole, where the front end keeps one; none by default.
    void SetWhisperLog(WhisperLogPort* log) { whisperLog_ = log; }
    WhisperLogPort* GetWhisperLog() const { return whisperLog_; }

    // Another pane that sees every run, clear and arrival the chat pane sees, after it: the web
    // console. It must be removed before it goes.
    void AddPaneListener(ChatPane* listener) { chatPane_.AddListener(listener); }
    void RemovePaneListener(ChatPane* listener) { chatPane_.RemoveListener(listener); }

    // "[", the local time of day in the user's locale, "] ", read from the clock now.
    QString TimeStamp() const;
    QString TimeOfDay() const;
    // Tests fix the clock so that pane texts are known in advance.
    void SetClock(std::function<QTime()> clock) {
        clock_ = std::move(clock);
        stampText_ = QString();
        bracketedStamp_ = QString();
    }

    // Window texts: stored here so that any front end (or test) can read the current ones.
    void SetCaption(const QString& text);
    void SetUserCount(const QString& text);
    void SetColumnHeader(const QString& text);
    void SetStatusPanel(int panel, const QString& text);
    // Status panel 3: the computer's uptime as of now; front ends show it once, at start.
    void ShowComputerUptime();
    const QString& Caption() const { return caption_; }
    const QString& UserCountText() const { return userCount_; }
    const QString& StatusText(int panel) const { return status_.at(panel - 1); }

    // Reads Config.ini into the settings; returns the problems found, one red line each.
    QStringList LoadSettings();
    // Replaces Config.ini with ten texts as the settings dialog saves them (the running values
    // stay as they are until the next load); a failure is said in red. Returns success.
    bool WriteSettingsFile(const QString& user, const QString& pass, const QString& server,
                           const QString& home, const QString& trigger, const QString& reconnect,
                           const QString& idleMsg, const QString& enableAutoClear,
                           const QString& autoClearAtLine, const QString& enableNotifications);
    // Replaces Users.txt from memory; a failure is said in red in the chat pane.
    void SaveUserDatabase();
    // Reloads the user database from Users.txt, letting events run as it reads.
    void LoadUserDatabase();

    // Everything the socket delivered: cut into lines and dispatched, in order.
    void ProcessReceivedData(const QByteArray& data);
    // Forgets a line cut by the end of the previous connection.
    void ResetReceiveBuffer() { framer_.Reset(); }
    qsizetype UnfinishedLineBytes() const { return framer_.TailBytes(); }

    // The program is ending (a signal, the window closing) but handlers that let events run may
    // still be on their way out: the connection closes, timers stop, and nothing they do from
    // here on sends a line or opens a connection.
    void Shutdown();

    // Ends the program at once, without closing steps but with the day log written: the quit
    // command and Exit. The front end or a test may replace what that means.
    void Quit();
    void SetQuitHandler(std::function<void()> handler) { quitHandler_ = std::move(handler); }

    // "Let pending events run", in one place so that its users are easy to find.
    static void LetEventsRun();

    // The Options menu's switches: their captions are their memory, kept here so that every
    // front end shows and clicks the same ones.
    const QString& NotificationsCaption() const { return notificationsCaption_; }
    const QString& AutoClearCaption() const { return autoClearCaption_; }
    void ClickNotifications();
    void ClickAutoClear();
    const QString& AlertsCaption() const { return alertsCaption_; }
    void ClickAlerts();
    bool AlertsOn() const;

    // Alerts: raised for a whisper, and for a channel line of somebody else's that names the
    // bot as a whole word (ignoring letter case), while they are on. Front ends decide whether
    // the operator is looking; the pane never changes for one.
    void AlertWhisper(QStringView from, QStringView text);
    void AlertIfNamed(QStringView speaker, QStringView text);

  Q_SIGNALS:
    // The caption, the count box or a status panel changed.
    void WindowTextsChanged();
    // A menu caption that follows the bot's state changed (Connect, the two switches).
    void MenuCaptionsChanged();
    void Alert(const QString& who, const QString& text);

  private:
    // Before the output that writes to them.
    std::unique_ptr<DayLog> dayLog_;
    PaneFanout chatPane_;
    ChatOutput output_;
    WindowTexts& windowTexts_;
    ChatPane* whisperPane_ = nullptr;
    WhisperLogPort* whisperLog_ = nullptr;
    ProfilePaths paths_;
    UserDatabase userList_;
    RosterModel roster_;
    LineFramer framer_;
    QString lineBuffer_;
    // Empty: the system clock.
    std::function<QTime()> clock_;
    // Taken from the locale once: every line's time stamp needs it.
    QString timeFormat_;
    mutable int stampSecond_ = -1;
    mutable qint64 stampEpochSecond_ = -1;
    mutable QString stampText_;
    // "[", stampText_, "] ": the start of most pane lines.
    mutable QString bracketedStamp_;
    std::function<void()> quitHandler_;
    QString caption_;
    QString userCount_;
    std::array<QString, 3> status_;
    QString notificationsCaption_;
    QString autoClearCaption_;
    QString alertsCaption_;
    InputHistory history_;
    std::unique_ptr<Connection> connection_;
    std::unique_ptr<Outgoing> outgoing_;
    std::unique_ptr<ChannelGuard> guard_;
};

}  // namespace zarivok
