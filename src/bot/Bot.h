#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTime>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "base/ProfilePaths.h"
#include "bot/InputHistory.h"
#include "channel/ChannelEvent.h"
#include "channel/RosterModel.h"
#include "commands/CommandPort.h"
#include "commands/UserDatabase.h"
#include "connection/ConnectionPort.h"
#include "display/ChatOutput.h"
#include "display/DayLog.h"
#include "display/PaneFanout.h"
#include "protocol/LineFramer.h"
#include "settings/Settings.h"

namespace zarivok {

class Alerts;
class ChannelGuard;
class ChatPane;
class ChatView;
class CommandInterpreter;
class Connection;
class Moderation;
class Outgoing;
class ScriptHost;
class WhisperLogPort;
class WindowTexts;

// A running bot: the one place that builds the parts, wires them together and hands every event
// of the channel to them in order (Deliver). It keeps the state the parts share (the settings
// values, its own name, the user picked in the list, the channel) and changes it only through its
// own functions; the parts read it through what they were given and ask for changes through
// their ports. Front ends give it a chat pane and the window texts and only draw what it decides.
class Bot : public QObject, private ConnectionPort, private CommandPort {
    Q_OBJECT
  public:
    Bot(ChatPane& chatPane, WindowTexts& windowTexts, ProfilePaths paths,
        QObject* parent = nullptr);
    ~Bot() override;

    // The ten values of Config.ini, filled at each connect.
    const Settings& settings() const override { return settings_; }
    // A change made in memory (a menu switch, a test); Config.ini stays as it is.
    void UpdateSettings(const std::function<void(Settings&)>& change) { change(settings_); }
    // The bot's own name as the server confirmed it at logon.
    const QString& strName() const { return strName_; }
    // The user last picked in the user list: the target of the moderation actions.
    const QString& strList() const { return strList_; }
    void PickUser(const QString& name) { strList_ = name; }
    // The channel the bot is in.
    const QString& CurrentChannel() const override { return CurrentChannel_; }

    const ProfilePaths& Paths() const { return paths_; }
    UserDatabase& UserList() { return userList_; }
    RosterModel& Roster() { return roster_; }
    ChatOutput& Output() { return output_; }
    Connection& GetConnection() { return *connection_; }
    Outgoing& GetOutgoing() { return *outgoing_; }
    // The popup menu's actions on the picked user, and the database changes.
    Moderation& Moderate() { return *moderation_; }
    // Channel protection: its files, its rules and what it knows of the channel.
    ChannelGuard& Guard() { return *guard_; }
    Alerts& GetAlerts() { return *alerts_; }
    // The operator's scripts; none run until the front end starts them.
    ScriptHost& Scripts() { return *scripts_; }
    // The lines sent from an input line (Send, Whisper) in this run, for Up and Down.
    InputHistory& History() { return history_; }

    void AppendChat(const QString& firstText, ChatColour firstColour,
                    const QString& secondText = {}, ChatColour secondColour = 0) {
        output_.AppendChat(firstText, firstColour, secondText, secondColour);
    }
    // The whisper pane gets a received whisper's runs too, without counting or clearing.
    // Without a whisper pane (the terminal front end) the chat pane's copy is the only one.
    void AppendWhisper(const QString& firstText, ChatColour firstColour,
                       const QString& secondText = {}, ChatColour secondColour = 0);
    void SetWhisperPane(ChatPane* pane);
    // The whisper log as a whole, where the front end keeps one; none by default.
    void SetWhisperLog(WhisperLogPort* log) { whisperLog_ = log; }
    WhisperLogPort* GetWhisperLog() const { return whisperLog_; }

    // Another pane that sees every run, clear and arrival the chat pane sees, after it: the web
    // console. It must be removed before it goes.
    void AddPaneListener(ChatPane* listener) { chatPane_.AddListener(listener); }
    void RemovePaneListener(ChatPane* listener) { chatPane_.RemoveListener(listener); }

    // "[", the local time of day in the user's locale, "] ", read from the clock now.
    QString TimeStamp() const { return output_.TimeStamp(); }
    QString TimeOfDay() const { return output_.TimeOfDay(); }
    // Tests fix the clock so that pane texts are known in advance.
    void SetClock(std::function<QTime()> clock) { output_.SetClock(std::move(clock)); }

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
    QStringList LoadSettings() override;
    // Replaces Config.ini with ten texts as the settings dialog saves them (the running values
    // stay as they are until the next load); a failure is said in red. Returns success.
    bool WriteSettingsFile(const QString& user, const QString& pass, const QString& server,
                           const QString& home, const QString& trigger, const QString& reconnect,
                           const QString& idleMsg, const QString& enableAutoClear,
                           const QString& autoClearAtLine, const QString& enableNotifications);
    // Reloads the user database from Users.txt, letting events run as it reads.
    void LoadUserDatabase();

    // The Send button: the input line's text, said or run as a command, and kept for Up and Down.
    void SendInputLine(const QString& text);
    // The Whisper button: text to the picked user, kept for Up and Down.
    void WhisperPickedUser(const QString& text);

    // Everything the socket delivered: cut into lines, parsed and delivered, in order.
    void ProcessReceivedData(const QByteArray& data);
    // Forgets a line cut by the end of the previous connection.
    void ResetReceiveBuffer() { framer_.Reset(); }
    qsizetype UnfinishedLineBytes() const { return framer_.TailBytes(); }
    // Another listener of the event stream, after every part of the bot; it must be removed
    // before it goes.
    void AddListener(ChannelListener* listener);
    void RemoveListener(ChannelListener* listener);

    // Back to the state of a bot that has just connected: no name, no picked user, no channel
    // and nobody in it. The receive fuzzer starts every input from here.
    void ForgetSession();

    // The program is ending (a signal, the window closing) but handlers that let events run may
    // still be on their way out: the connection closes, timers stop, and nothing they do from
    // here on sends a line or opens a connection.
    void Shutdown();

    // Ends the program at once, without closing steps but with the day log written: the quit
    // command and Exit. The front end or a test may replace what that means.
    void Quit() override;
    void SetQuitHandler(std::function<void()> handler) { quitHandler_ = std::move(handler); }

    // The Options menu's switches: their captions are their memory, kept here so that every
    // front end shows and clicks the same ones.
    const QString& NotificationsCaption() const { return notificationsCaption_; }
    const QString& AutoClearCaption() const { return autoClearCaption_; }
    void ClickNotifications();
    void ClickAutoClear();
    const QString& AlertsCaption() const;
    void ClickAlerts();

  Q_SIGNALS:
    // The caption, the count box or a status panel changed.
    void WindowTextsChanged();
    // A menu caption that follows the bot's state changed (Connect, the switches).
    void MenuCaptionsChanged();

  private:
    // The event stream: one event, parsed from a line or raised by the connection, to every
    // part in order.
    void Deliver(const ChatEvent& event);
    void DeliverOne(const ChatEvent& event);
    // The first to hear each event: the bot's own state (BotState.cpp). Returns, for a leave,
    // whether the user list had the user.
    bool ApplyToState(const ChatEvent& event);
    void ListUser(QStringView name, QStringView flags, QStringView product);
    void ShowUserCount();
    void EnterChannel(QStringView channel);
    void LeaveChannel();
    void LoggedOn(QStringView name);

    // ConnectionPort
    void LoadConnectFiles() override;
    void Received(const QByteArray& data) override { ProcessReceivedData(data); }
    void ForgetConnection() override;
    // CommandPort
    void SetTrigger(const QString& trigger) override { settings_.strTrigger = trigger; }

    // The state, before the parts that hold references to it.
    Settings settings_;
    QString strName_;
    QString strList_;
    QString CurrentChannel_;
    ProfilePaths paths_;
    // Before the output that writes to them.
    std::unique_ptr<DayLog> dayLog_;
    PaneFanout chatPane_;
    ChatOutput output_;
    WindowTexts& windowTexts_;
    WhisperLogPort* whisperLog_ = nullptr;
    UserDatabase userList_;
    RosterModel roster_;
    LineFramer framer_;
    QString lineBuffer_;
    std::function<void()> quitHandler_;
    QString caption_;
    QString userCount_;
    std::array<QString, 3> status_;
    QString notificationsCaption_;
    QString autoClearCaption_;
    InputHistory history_;
    std::unique_ptr<Connection> connection_;
    std::unique_ptr<Outgoing> outgoing_;
    std::unique_ptr<Moderation> moderation_;
    std::unique_ptr<ChatView> chatView_;
    std::unique_ptr<Alerts> alerts_;
    std::unique_ptr<ChannelGuard> guard_;
    std::unique_ptr<CommandInterpreter> commands_;
    std::unique_ptr<ScriptHost> scripts_;
    // Who hears each event after the state, in order (see the constructor), then the listeners
    // added from outside.
    std::array<ChannelListener*, 5> parts_{};
    std::vector<ChannelListener*> listeners_;
};

}  // namespace zarivok
