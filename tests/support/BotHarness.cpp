#include "support/BotHarness.h"

#include <QFile>

#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "support/ChatGateway.h"

namespace zarivok::testing {

BotHarness::BotHarness(const QString& folder, DayLogging logging) : folder_(folder) {
    if (folder_.isEmpty()) {
        dir_ = std::make_unique<QTemporaryDir>();
        folder_ = dir_->path();
    }
    ProfilePaths paths = ProfilePaths::ForFolder(folder_);
    if (logging == DayLogging::Off) paths.logsFolder.clear();
    bot_ = std::make_unique<Bot>(pane, texts, paths);
    bot_->SetClock([] { return QTime(21, 5, 3); });
    bot_->SetQuitHandler([this] { ++quitCount; });
    // Time runs an hour per look, so the flood budget never holds a line back; the tests of the
    // budget set a clock of their own.
    bot_->GetOutgoing().SetClock([now = qint64(0)]() mutable { return now += 3600 * 1000; });
}

BotHarness::~BotHarness() = default;

void BotHarness::WriteFile(const QString& name, const QByteArray& bytes) const {
    QFile file(Path(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
}

QByteArray BotHarness::ReadFile(const QString& name) const {
    QFile file(Path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void BotHarness::WriteConfig(quint16 port, const QMap<QString, QString>& overrides) const {
    QMap<QString, QString> values = {
        {"Login/User", "bot1"},
        {"Login/Pass", "botpass"},
        {"Login/Server", QStringLiteral("127.0.0.1:%1").arg(port)},
        {"Login/Home", "Lobby"},
        {"Options/Trigger", "!"},
        {"Options/Reconnect", "100"},
        {"Options/IdleMsg", "idle"},
        {"Options/Enable AutoClear", "0"},
        {"Options/AutoClear At Line", "500"},
        {"Options/Enable Notifications", "1"},
    };
    for (auto it = overrides.begin(); it != overrides.end(); ++it) values[it.key()] = it.value();
    QByteArray text;
    for (const char* section : {"Login", "Options"}) {
        text += QByteArray("[") + section + "]\r\n";
        for (auto it = values.begin(); it != values.end(); ++it) {
            const QString prefix = QString::fromLatin1(section) + u'/';
            if (!it.key().startsWith(prefix) || it.value().isNull()) continue;
            text += (it.key().mid(prefix.size()) + u'=' + it.value()).toUtf8() + "\r\n";
        }
    }
    WriteFile(QStringLiteral("Config.ini"), text);
}

bool BotHarness::LogIn() {
    bot_->GetConnection().ConnectMenuClick();
    return ChatGateway::WaitUntil(
        [&] { return bot_->CurrentChannel() == QStringLiteral("Lobby"); });
}

QString BotHarness::RosterDump() const {
    QString out;
    for (const RosterEntry& entry : bot_->Roster().Entries()) {
        out += entry.name + u' ' + QString::number(entry.icon) +
               (entry.highlighted ? QStringLiteral(" yellow") : QString()) + u'\n';
    }
    return out;
}

}  // namespace zarivok::testing
