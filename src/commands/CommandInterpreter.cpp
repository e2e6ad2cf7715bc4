#include "commands/CommandInterpreter.h"

#include <algorithm>

#include "base/PauseTicks.h"
#include "base/Texts.h"
#include "commands/CommandPort.h"
#include "commands/CommandSet.h"
#include "commands/CommandText.h"
#include "commands/Moderation.h"
#include "commands/UserDatabase.h"
#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "settings/Settings.h"

namespace zarivok {

CommandInterpreter::CommandInterpreter(CommandPort& port, UserDatabase& users,
                                       Moderation& moderation, Connection& connection,
                                       Outgoing& outgoing)
    : port_(port),
      users_(users),
      moderation_(moderation),
      connection_(connection),
      outgoing_(outgoing) {}

bool CommandInterpreter::IsBuiltInWord(QStringView word) const {
    // The fourteen; "?trigger" is typed without the trigger, and "trigger" is kept with it.
    static const QStringList kWords = {
        QStringLiteral("say"),       QStringLiteral("server"),    QStringLiteral("about"),
        QStringLiteral("trigger"),   QStringLiteral("quit"),      QStringLiteral("rejoin"),
        QStringLiteral("reconnect"), QStringLiteral("add"),       QStringLiteral("remove"),
        QStringLiteral("join"),      QStringLiteral("ban"),       QStringLiteral("kick"),
        QStringLiteral("designate"), QStringLiteral("settrigger")};
    const auto taken = [word](const QStringList& words) {
        return std::any_of(words.begin(), words.end(), [word](const QString& known) {
            return word.compare(known, Qt::CaseInsensitive) == 0;
        });
    };
    if (taken(kWords)) return true;
    return std::any_of(sets_.begin(), sets_.end(),
                       [&taken](const CommandSet* set) { return taken(set->Words()); });
}

void CommandInterpreter::Hear(const ChannelEvent& event) {
    if (event.kind == EventKind::kTalk) HandleCommand(event.user, event.text);
}

QString CommandInterpreter::ServerAddressText() const {
    const ChatSocket& socket = connection_.Socket();
    QString address = socket.RemoteHost;
    if (socket.RemotePort != Connection::kDefaultPort) {
        address += u':' + QString::number(socket.RemotePort);
    }
    return address;
}

void CommandInterpreter::HandleCommand(QStringView speaker, QStringView text) {
    if (!users_.IsAuthorizedUser(speaker)) return;
    const QString& channel = port_.CurrentChannel();
    const QString savedChannel =
        channel.toLower() != QLatin1String("the void") ? channel : QString();
    const CommandText line(text.toString(), port_.settings().strTrigger);
    Outgoing& out = outgoing_;
    // The rejoin and the add let events run: their replies go to this line's connection or nowhere.
    const quint64 link = connection_.ReplyLink();
    const auto say = [&out, link](const QString& reply) { out.SendChatText(reply, link); };

    // Every test runs, in this order, on the same text; with a one-character trigger no text
    // passes two of them.
    if (line.StartsWith(QLatin1String("say "))) {
        say(line.Argument(QLatin1String("say ")));
    }
    if (line.Is(QLatin1String("server"))) {
        say(QStringLiteral("Connected to: ") + ServerAddressText() + QStringLiteral(" -- ") +
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
        port_.Quit();
        return;
    }
    if (line.Is(QLatin1String("rejoin"))) {
        say(QStringLiteral("/join the void"));
        LetEventsRun();
        say(QStringLiteral("/join ") + savedChannel);
    }
    if (line.Is(QLatin1String("reconnect"))) {
        connection_.CloseConnection();
        connection_.ConnectToServer();
    }
    if (line.StartsWith(QLatin1String("add ")))
        moderation_.AddToDatabase(line.Argument(QLatin1String("add ")));
    if (line.StartsWith(QLatin1String("remove ")) &&
        moderation_.RemoveFromDatabase(line.Argument(QLatin1String("remove ")))) {
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
        port_.SetTrigger(line.Argument(QLatin1String("settrigger ")));
    }
    // None of the further sets shares a word with the ones above, so a line runs at most one
    // command either way. The list is copied: a command may let events run.
    const QList<CommandSet*> sets = sets_;
    for (CommandSet* set : sets) set->RunCommand(line, link);
}

}  // namespace zarivok
