#include "protection/ProtectionCommands.h"

#include <QStringBuilder>

#include "commands/CommandText.h"
#include "connection/Outgoing.h"
#include "protection/ChannelGuard.h"
#include "protection/ProtectionRules.h"

namespace zarivok {
ProtectionCommands::ProtectionCommands(ChannelGuard& guard, ProtectionRules& rules,
                                       Outgoing& outgoing)
    : guard_(guard), rules_(rules), outgoing_(outgoing) {}

void ProtectionCommands::RunCommand(const CommandText& line, quint64 link) {
    if (line.Is(QLatin1String("lockdown on"))) SetLockdown(true, link);
    if (line.Is(QLatin1String("lockdown off"))) SetLockdown(false, link);
    if (line.Is(QLatin1String("greet on"))) {
        rules_.SetGreeting(true);
        Reply(QStringLiteral("Greeting is on."), link);
    }
    if (line.Is(QLatin1String("greet off"))) {
        rules_.SetGreeting(false);
        Reply(QStringLiteral("Greeting is off."), link);
    }
    if (line.StartsWith(QLatin1String("setgreet "))) {
        rules_.SetGreetingText(line.Argument(QLatin1String("setgreet ")));
        Reply(QStringLiteral("Greeting set."), link);
    }
    if (line.StartsWith(QLatin1String("autoban "))) {
        AddBan(line.Argument(QLatin1String("autoban ")), link);
    }
    if (line.StartsWith(QLatin1String("unautoban "))) {
        RemoveBan(line.Argument(QLatin1String("unautoban ")), link);
    }
    if (line.StartsWith(QLatin1String("phrase "))) {
        AddPhrase(line.Argument(QLatin1String("phrase ")), link);
    }
    if (line.StartsWith(QLatin1String("unphrase "))) {
        RemovePhrase(line.Argument(QLatin1String("unphrase ")), link);
    }
    if (line.Is(QLatin1String("protection"))) Reply(guard_.StatusText(), link);
}

QStringList ProtectionCommands::Words() const {
    return {QStringLiteral("lockdown"), QStringLiteral("greet"),     QStringLiteral("setgreet"),
            QStringLiteral("autoban"),  QStringLiteral("unautoban"), QStringLiteral("phrase"),
            QStringLiteral("unphrase"), QStringLiteral("protection")};
}

void ProtectionCommands::Reply(const QString& text, quint64 link) {
    outgoing_.SendChatText(text, link);
}

void ProtectionCommands::SetLockdown(bool on, quint64 link) {
    rules_.SetLockdown(on);
    Reply(on ? QStringLiteral("Lockdown is on.") : QStringLiteral("Lockdown is off."), link);
    if (on) guard_.EnforceOnEveryone();
}

void ProtectionCommands::AddBan(const QString& argument, quint64 link) {
    QString pattern;
    if (!rules_.AddBan(argument, &pattern)) {
        Reply(QStringLiteral("Error: the ban list needs a name pattern."), link);
        return;
    }
    Reply(QStringLiteral("Added ") % pattern % QStringLiteral(" to the ban list."), link);
    guard_.EnforceOnEveryone();
}

void ProtectionCommands::RemoveBan(const QString& argument, quint64 link) {
    const QString pattern = argument.trimmed();
    if (!rules_.RemoveBan(pattern)) {
        Reply(QStringLiteral("Error: ") % pattern % QStringLiteral(" is not on the ban list."),
              link);
        return;
    }
    Reply(QStringLiteral("Removed ") % pattern % QStringLiteral(" from the ban list."), link);
}

void ProtectionCommands::AddPhrase(const QString& phrase, quint64 link) {
    if (phrase.isEmpty()) {
        Reply(QStringLiteral("Error: the phrase list needs a phrase."), link);
        return;
    }
    rules_.AddPhrase(phrase);
    Reply(QStringLiteral("Added ") % phrase % QStringLiteral(" to the phrase list."), link);
}

void ProtectionCommands::RemovePhrase(const QString& phrase, quint64 link) {
    if (!rules_.RemovePhrase(phrase)) {
        Reply(QStringLiteral("Error: ") % phrase % QStringLiteral(" is not on the phrase list."),
              link);
        return;
    }
    Reply(QStringLiteral("Removed ") % phrase % QStringLiteral(" from the phrase list."), link);
}

}  // namespace zarivok
