#include <gtest/gtest.h>

#include <QFile>

#include "support/BotHarness.h"

namespace zarivok {
namespace {

using testing::BotHarness;

// Real server sessions, byte for byte, beside what the pane, the roster and the window texts
// must show for them. Set ZARIVOK_UPDATE_SNAPSHOTS=1 to write the expected files anew (then
// read every changed line before committing it).
const QString kSessions = QStringLiteral(ZARIVOK_FIXTURES_DIR "/sessions/");

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a user sees after the session: the pane's runs, the roster and the window texts.
QString Render(BotHarness& harness) {
    return QStringLiteral("== pane ==\n") + harness.pane.Transcript() +
           QStringLiteral("== roster ==\n") + harness.RosterDump() +
           QStringLiteral("== texts ==\n") + harness.texts.Changes().join(u'\n') + u'\n';
}

// Feeds the session in the given pieces to a fresh bot with join and leave notices on.
QString Replay(const QList<QByteArray>& pieces) {
    static const QTemporaryDir profile;
    BotHarness harness(profile.path());
    harness.bot().UpdateSettings([&](Settings& s) { s.intEnableNotifications = 1; });
    for (const QByteArray& piece : pieces) harness.Feed(piece);
    return Render(harness);
}

class SessionSnapshotTest : public ::testing::TestWithParam<const char*> {
  protected:
    QByteArray Session() const { return ReadAll(kSessions + GetParam() + QStringLiteral(".bin")); }
    QString ExpectedPath() const { return kSessions + GetParam() + QStringLiteral(".expected"); }
};

TEST_P(SessionSnapshotTest, WholeSessionMatchesSnapshot) {
    const QByteArray session = Session();
    ASSERT_FALSE(session.isEmpty());
    const QString rendered = Replay({session});
    if (qEnvironmentVariableIsSet("ZARIVOK_UPDATE_SNAPSHOTS")) {
        QFile out(ExpectedPath());
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(rendered.toUtf8());
    }
    EXPECT_EQ(rendered.toStdString(), QString::fromUtf8(ReadAll(ExpectedPath())).toStdString());
}

TEST_P(SessionSnapshotTest, EveryCutIntoTwoArrivalsGivesTheSameResult) {
    const QByteArray session = Session();
    const QString whole = Replay({session});
    for (qsizetype cut = 1; cut < session.size(); ++cut) {
        const QString rendered = Replay({session.left(cut), session.mid(cut)});
        if (rendered != whole) {
            ADD_FAILURE() << "cut at byte " << cut;
            return;
        }
    }
}

TEST_P(SessionSnapshotTest, OneByteArrivalsGiveTheSameResult) {
    const QByteArray session = Session();
    QList<QByteArray> bytes;
    for (const char c : session) bytes.append(QByteArray(1, c));
    EXPECT_EQ(Replay(bytes).toStdString(), Replay({session}).toStdString());
}

INSTANTIATE_TEST_SUITE_P(RealServer, SessionSnapshotTest,
                         ::testing::Values("channel-session", "login-retry", "long-lines"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::erase(name, '-');
                             return name;
                         });

}  // namespace
}  // namespace zarivok
