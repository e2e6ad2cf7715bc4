#include "bot/Bot.h"

#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "base/PauseTicks.h"
#include "base/TextCodec.h"
#include "base/Texts.h"
#include "bot/WindowTexts.h"
#include "commands/CommandInterpreter.h"
#include "commands/Moderation.h"
#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "connection/Uptime.h"
#include "display/Alerts.h"
#include "display/ChatPane.h"
#include "display/ChatView.h"
#include "display/OptionToggles.h"
#include "protection/ChannelGuard.h"
#include "protocol/ChatEvent.h"
#include "scripts/ScriptHost.h"
#include "settings/SettingsWriter.h"

namespace zarivok {

Bot::Bot(ChatPane& chatPane, WindowTexts& windowTexts, ProfilePaths paths, QObject* parent)
    : QObject(parent),
      paths_(std::move(paths)),
      dayLog_(paths_.logsFolder.isEmpty() ? nullptr : std::make_unique<DayLog>(paths_.logsFolder)),
      chatPane_(chatPane),
      output_(chatPane_, settings_, dayLog_.get()),
      windowTexts_(windowTexts),
      userList_(paths_.usersFile),
      quitHandler_([] {
          // At once: no closing steps, but what the pane printed is not lost.
          std::fflush(stdout);
          std::fflush(stderr);
          std::_Exit(0);
      }),
      notificationsCaption_(QLatin1String(kNotificationsOffCaption)),
      autoClearCaption_(QLatin1String(kAutoClearOffCaption)),
      connection_(
          std::make_unique<Connection>(static_cast<ConnectionPort&>(*this), output_, settings_)),
      outgoing_(std::make_unique<Outgoing>(*connection_, output_, settings_, strName_)),
      moderation_(
          std::make_unique<Moderation>(strList_, userList_, *connection_, *outgoing_, output_)),
      chatView_(std::make_unique<ChatView>(output_, settings_)),
      alerts_(std::make_unique<Alerts>(strName_, output_)),
      guard_(std::make_unique<ChannelGuard>(ChannelGuard::Parts{
          .paths = paths_,
          .output = output_,
          .connection = *connection_,
          .outgoing = *outgoing_,
          .roster = roster_,
          .users = userList_,
          .ownName = strName_,
          .channel = CurrentChannel_,
      })),
      commands_(std::make_unique<CommandInterpreter>(static_cast<CommandPort&>(*this), userList_,
                                                     *moderation_, *connection_, *outgoing_)),
      scripts_(std::make_unique<ScriptHost>(ScriptHost::Parts{
          .paths = paths_,
          .output = output_,
          .connection = *connection_,
          .outgoing = *outgoing_,
          .roster = roster_,
          .users = userList_,
          .commands = *commands_,
          .settings = settings_,
          .ownName = strName_,
          .channel = CurrentChannel_,
      })) {
    commands_->AddCommands(&guard_->Commands());
    commands_->AddCommands(scripts_.get());
    // The event stream. Every event passes the bot's own state first (the user list, its name,
    // the channel, the window texts: ApplyToState), then these parts, in this order (Deliver):
    parts_ = {
        chatView_.get(),  // the chat pane's line, and the whisper pane's
        alerts_.get(),    // a whisper, or the bot's name said
        guard_.get(),     // channel protection
        commands_.get(),  // the commands of listed users; they may let events run
        scripts_.get(),   // the operator's scripts, in the order they were loaded
    };
    // A new reaction to an event is one more line above, at its place in the order. Listeners
    // from outside the core (AddListener) come after all of them.

    connect(connection_.get(), &Connection::StateChanged, this,
            [this](const QString& text) { SetStatusPanel(1, text); });
    connect(connection_.get(), &Connection::ConnectCaptionChanged, this, &Bot::MenuCaptionsChanged);
    const auto connectionEvent = [this](EventKind kind) {
        ChatEvent event;
        event.kind = kind;
        Deliver(event);
    };
    connect(connection_.get(), &Connection::Opened, this,
            [connectionEvent] { connectionEvent(EventKind::kConnected); });
    connect(connection_.get(), &Connection::Ended, this,
            [connectionEvent] { connectionEvent(EventKind::kClosed); });
}

Bot::~Bot() {
    // The scripts go first, their stores written, while everything they reach is still there.
    scripts_->Stop();
    // The connection's handlers reach the outgoing side; take the socket down first.
    connection_->Socket().Close();
}

void Bot::Deliver(const ChatEvent& event) {
    if (event.kind == EventKind::kChannel) {
        // Entering a channel leaves the one the bot was in: every part hears that first, while
        // the bot's state still names it (channel protection's operator status ends there).
        const QString left = CurrentChannel_;
        ChatEvent leaving;
        leaving.kind = EventKind::kChannelLeft;
        leaving.text = left;
        DeliverOne(leaving);
    }
    DeliverOne(event);
}

void Bot::DeliverOne(const ChatEvent& parsed) {
    ChannelEvent event(parsed);
    event.listed = ApplyToState(parsed);
    // The parts never change while the bot runs; every line of a busy channel passes here.
    for (ChannelListener* part : parts_) part->Hear(event);
    if (listeners_.empty()) return;
    // Copied: a listener that lets events run may see others added or removed meanwhile, and
    // one removed is skipped.
    const std::vector<ChannelListener*> listeners = listeners_;
    for (ChannelListener* listener : listeners) {
        if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) {
            listener->Hear(event);
        }
    }
}

void Bot::AddListener(ChannelListener* listener) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) {
        listeners_.push_back(listener);
    }
}

void Bot::RemoveListener(ChannelListener* listener) { std::erase(listeners_, listener); }

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
        if (const std::optional<ChatEvent> event = ParseChatEvent(line, framed.cut)) {
            Deliver(*event);
        }
    }
    lineBuffer_ = std::move(line);
    // A crash loses at most the arrival being handled.
    output_.EndArrival();
}

void Bot::AppendWhisper(const QString& firstText, ChatColour firstColour, const QString& secondText,
                        ChatColour secondColour) {
    chatView_->AppendWhisper(firstText, firstColour, secondText, secondColour);
}

void Bot::SetWhisperPane(ChatPane* pane) { chatView_->SetWhisperPane(pane); }

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

void Bot::ShowComputerUptime() {
    SetStatusPanel(3, QStringLiteral("Computer Uptime: ") + FormatUptime(SystemUptimeMs()));
}

void Bot::ClickNotifications() {
    notificationsCaption_ =
        ToggleNotifications(output_, notificationsCaption_, &settings_.intEnableNotifications);
    Q_EMIT MenuCaptionsChanged();
}

void Bot::ClickAutoClear() {
    autoClearCaption_ = ToggleAutoClear(output_, autoClearCaption_, &settings_.intEnableAutoClear);
    Q_EMIT MenuCaptionsChanged();
}

const QString& Bot::AlertsCaption() const { return alerts_->Caption(); }

void Bot::ClickAlerts() {
    alerts_->Click();
    Q_EMIT MenuCaptionsChanged();
}

QStringList Bot::LoadSettings() {
    QStringList problems;
    if (!QFileInfo::exists(paths_.configFile)) {
        problems.append(QStringLiteral("Config.ini: there is no file %1; every setting is empty.")
                            .arg(paths_.configFile));
    }
    problems += zarivok::LoadSettings(paths_.configFile, settings_);
    return problems;
}

void Bot::LoadConnectFiles() { guard_->Load(); }

void Bot::ForgetConnection() {
    framer_.Reset();
    outgoing_->DropQueuedLines();
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

void Bot::LoadUserDatabase() { userList_.Load(&LetEventsRun); }

void Bot::SendInputLine(const QString& text) {
    history_.Add(text);
    outgoing_->Send(text);
}

void Bot::WhisperPickedUser(const QString& text) {
    history_.Add(text);
    outgoing_->SendChatText(QStringLiteral("/w ") + strList_ + u' ' + text);
}

void Bot::ForgetSession() {
    strName_.clear();
    strList_.clear();
    CurrentChannel_.clear();
    roster_.Clear();
    guard_->ForgetChannel();
}

void Bot::Shutdown() {
    // The scripts' stores are written; nothing of theirs runs from here on.
    scripts_->Stop();
    outgoing_->Shutdown();
    connection_->Shutdown();
}

void Bot::Quit() {
    output_.FlushLog();
    quitHandler_();
}

}  // namespace zarivok
