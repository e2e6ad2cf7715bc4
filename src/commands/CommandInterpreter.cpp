#include "commands/CommandInterpreter.h"

#include "commands/Moderation.h"
#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "core/Bot.h"
#include "core/Texts.h"
#include "protection/ChannelGuard.h"

namespace zarivok {
namespace {

// The tests of one call, on the text as typed and the trigger as it was when the call began.
class CommandLine {
  public:
    CommandLine(QString text, QString trigger)
        : text_(std::move(text)), lower_(text_.toLower()), trigger_(std::move(trigger)) {}

    // The whole line is the trigger and the word, nothing after it.
    bool Is(QLatin1String word) const { return lower_ == trigger_ + word; }

    // The line starts with the trigger and the word. The length compared is fixed at one
    // character of trigger plus the word, as users have always typed it: a longer trigger never
    // passes these tests, while the whole-line ones still work with it.
    bool StartsWith(QLatin1String word) const {
        const qsizetype count = 1 + word.size();
        return QStringView(text_).left(count).toString().toLower() == trigger_ + word;
    }

    // What follows the trigger and the word, in the letter case it was typed.
    QString Argument(QLatin1String word) const { return text_.mid(1 + word.size()); }

    const QString& Lower() const { return lower_; }
    const QString& Trigger() const { return trigger_; }

  private:
    QString text_;
    QString lower_;
    QString trigger_;
};

QString ServerAddressText(Bot& bot) {
    const ChatSocket& socket = bot.GetConnection().Socket();
    QString address = socket.RemoteHost;
    if (socket.RemotePort != Connection::kDefaultPort) {
        address += u':' + QString::number(socket.RemotePort);
    }
    return address;
}

// The channel protection's commands: none of them shares a word with the ones above, so a line
// runs at most one command either way.
void HandleProtectionCommand(Bot& bot, const CommandLine& line, quint64 link) {
    ChannelGuard& guard = bot.Guard();
    if (line.Is(QLatin1String("lockdown on"))) guard.SetLockdown(true, link);
    if (line.Is(QLatin1String("lockdown off"))) guard.SetLockdown(false, link);
    if (line.Is(QLatin1String("greet on"))) guard.SetGreeting(true, link);
    if (line.Is(QLatin1String("greet off"))) guard.SetGreeting(false, link);
    if (line.StartsWith(QLatin1String("setgreet "))) {
        guard.SetGreetingText(line.Argument(QLatin1String("setgreet ")), link);
    }
    if (line.StartsWith(QLatin1String("autoban "))) {
        guard.AddBan(line.Argument(QLatin1String("autoban ")), link);
    }
    if (line.StartsWith(QLatin1String("unautoban "))) {
        guard.RemoveBan(line.Argument(QLatin1String("unautoban ")), link);
    }
    if (line.StartsWith(QLatin1String("phrase "))) {
        guard.AddPhrase(line.Argument(QLatin1String("phrase ")), link);
    }
    if (line.StartsWith(QLatin1String("unphrase "))) {
        guard.RemovePhrase(line.Argument(QLatin1String("unphrase ")), link);
    }
    if (line.Is(QLatin1String("protection"))) {
        bot.GetOutgoing().SendChatText(guard.StatusText(), link);
    }
}

}  // namespace

void HandleCommand(Bot& bot, QStringView speaker, QStringView text) {
    if (!bot.UserList().IsAuthorizedUser(speaker)) return;
    const QString savedChannel =
        bot.CurrentChannel.toLower() != QLatin1String("the void") ? bot.CurrentChannel : QString();
    const CommandLine line(text.toString(), bot.settings.strTrigger);
    Outgoing& out = bot.GetOutgoing();
    // The rejoin and the add let events run: their replies go to this line's connection or nowhere.
    const quint64 link = bot.GetConnection().ReplyLink();
    const auto say = [&out, link](const QString& reply) { out.SendChatText(reply, link); };

    // Every test runs, in this order, on the same text; with a one-character trigger no text
    // passes two of them.
    if (line.StartsWith(QLatin1String("say "))) {
        say(line.Argument(QLatin1String("say ")));
    }
    if (line.Is(QLatin1String("server"))) {
        say(QStringLiteral("Connected to: ") + ServerAddressText(bot) + QStringLiteral(" -- ") +
            ProgramAndVersion() + QStringLiteral(" By ") + QLatin1String(kMasterName) +
            QStringLiteral(" -- "));
    }
    if (line.Is(QLatin1String("about"))) {
        say(QStringLiteral("/me -- ") + Signature() + QStringLiteral(" --"));
    }
    if (line.Lower() == QLatin1String("?trigger")) {
        say(QStringLiteral("%1 Trigger is: ").arg(QLatin1String(kProgramName)) + line.Trigger());
    }
    if (line.Is(QLatin1String("quit"))) {
        bot.Quit();
        return;
    }
    if (line.Is(QLatin1String("rejoin"))) {
        say(QStringLiteral("/join the void"));
        Bot::LetEventsRun();
        say(QStringLiteral("/join ") + savedChannel);
    }
    if (line.Is(QLatin1String("reconnect"))) {
        Connection& connection = bot.GetConnection();
        connection.CloseConnection();
        connection.ConnectToServer();
    }
    if (line.StartsWith(QLatin1String("add ")))
        AddToDatabase(bot, line.Argument(QLatin1String("add ")));
    if (line.StartsWith(QLatin1String("remove ")) &&
        RemoveFromDatabase(bot, line.Argument(QLatin1String("remove ")))) {
        return;
    }
    if (line.StartsWith(QLatin1String("join "))) {
        say(QStringLiteral("/join ") + line.Argument(QLatin1String("join ")));
    }
    if (line.StartsWith(QLatin1String("ban "))) {
        say(QStringLiteral("/ban ") + line.Argument(QLatin1String("ban ")));
    }
    if (line.StartsWith(QLatin1String("kick "))) {
        say(QStringLiteral("/kick ") + line.Argument(QLatin1String("kick ")));
    }
    if (line.StartsWith(QLatin1String("designate "))) {
        say(QStringLiteral("/designate ") + line.Argument(QLatin1String("designate ")));
    }
    if (line.StartsWith(QLatin1String("settrigger "))) {
        bot.settings.strTrigger = line.Argument(QLatin1String("settrigger "));
    }
    HandleProtectionCommand(bot, line, link);
}

}  // namespace zarivok
