#include <gtest/gtest.h>
#include <sys/types.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <array>
#include <csignal>
#include <random>

#include "support/ChatGateway.h"
#include "support/FileVersions.h"

namespace zarivok {
namespace {

using testing::FileName;
using testing::kSavedFiles;
using testing::SavedFile;

constexpr int kRounds = 40;
// The saver is killed after a random number of saves from 1 to this: at some point of one of the
// saves that follow, or between two.
constexpr int kMostSavesBeforeKill = 9;

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

struct SaveWay {
    const char* name;
    QStringList arguments;
    // Whether a kill may leave a file that is neither version: only for the careless way, to
    // show that the test does see a torn file.
    bool tornPossible;
};

void PrintTo(const SaveWay& way, std::ostream* os) { *os << way.name; }

class AtomicSaveTest : public ::testing::TestWithParam<SaveWay> {};

// Saves Config.ini, Users.txt and whisper.txt in a loop, in turn in two versions, and is killed
// with SIGKILL at random moments: every file is always one version whole, and what an
// interrupted save leaves behind never piles up.
TEST_P(AtomicSaveTest, KilledAtRandomMomentsWhileSaving) {
    const SaveWay& way = GetParam();
    const unsigned seed = std::random_device()();
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> savesBeforeKill(1, kMostSavesBeforeKill);

    QTemporaryDir folder;
    std::array<std::array<QByteArray, 2>, std::size(kSavedFiles)> versions;
    for (size_t i = 0; i < std::size(kSavedFiles); ++i) {
        versions[i] = testing::VersionBytes(kSavedFiles[i]);
        ASSERT_FALSE(testing::SaveVersion(kSavedFiles[i], 0, folder.path()));
    }

    int torn = 0;
    int strayRounds = 0;
    qsizetype mostStraysOfAFile = 0;
    for (int round = 0; round < kRounds; ++round) {
        QProcess saver;
        const int killAfter = savesBeforeKill(random);
        QByteArray out;
        bool killed = false;
        QObject::connect(&saver, &QProcess::readyReadStandardOutput, [&] {
            out += saver.readAllStandardOutput();
            if (!killed && out.count("saved ") >= killAfter) {
                killed = ::kill(static_cast<pid_t>(saver.processId()), SIGKILL) == 0;
            }
        });
        saver.start(QStringLiteral(ZARIVOK_SAVE_LOOP), QStringList{folder.path()} + way.arguments);
        ASSERT_TRUE(saver.waitForStarted(5000));
        ASSERT_TRUE(
            ChatGateway::WaitUntil([&] { return saver.state() == QProcess::NotRunning; }, 60000));
        ASSERT_EQ(saver.exitStatus(), QProcess::CrashExit) << saver.readAllStandardError().data();

        for (size_t i = 0; i < std::size(kSavedFiles); ++i) {
            const QByteArray bytes = ReadFile(folder.filePath(FileName(kSavedFiles[i])));
            if (bytes != versions[i][0] && bytes != versions[i][1]) ++torn;
        }
        const QStringList entries = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
        strayRounds += entries.size() > static_cast<qsizetype>(std::size(kSavedFiles)) ? 1 : 0;
        for (const SavedFile file : kSavedFiles) {
            const qsizetype strays = entries.filter(FileName(file) + u'.').size();
            mostStraysOfAFile = std::max(mostStraysOfAFile, strays);
        }
    }

    if (way.tornPossible) {
        EXPECT_GT(torn, 0) << "the test never caught a torn file";
        return;
    }
    EXPECT_EQ(torn, 0);
    // A kill during a save leaves that save's unfinished file, and the next save of the same file
    // clears it: never more than one per file.
    EXPECT_LE(mostStraysOfAFile, 1) << "rounds that left an unfinished file: " << strayRounds;
    for (const SavedFile file : kSavedFiles) {
        ASSERT_FALSE(testing::SaveVersion(file, 1, folder.path()));
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{"Config.ini", "Users.txt", "whisper.txt"}));
}

INSTANTIATE_TEST_SUITE_P(
    Saves, AtomicSaveTest,
    ::testing::Values(SaveWay{"ReplacedInOneStep", {}, false},
                      SaveWay{"WrittenInPlaceAsACheckOfTheTest", {"--in-place"}, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zarivok
