// Whatever a server sends, in whatever pieces, must never crash the bot or corrupt its state.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "core/Bot.h"
#include "terminal/TerminalPane.h"
#include "terminal/TerminalTexts.h"

using namespace zarivok;

namespace {

QCoreApplication* app = nullptr;
QTemporaryDir* profile = nullptr;
std::FILE* sink = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    app = new QCoreApplication(*argc, *argv);
    profile = new QTemporaryDir();
    sink = std::fopen("/dev/null", "w");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    TerminalPane pane(sink);
    TerminalTexts texts(sink);
    // The day log writes what the terminal pane writes, which this already drives; a log growing
    // over millions of runs would only fill the disk.
    ProfilePaths paths = ProfilePaths::ForFolder(profile->path());
    paths.logsFolder.clear();
    Bot bot(pane, texts, paths);
    bot.SetQuitHandler([] {});
    bot.settings.intEnableNotifications = 1;
    bot.settings.intEnableAutoClear = data[0] & 1;
    bot.settings.intAutoClearAtLine = data[0] >> 4;
    // The first byte also chooses the size of the arrivals, so lines are cut everywhere.
    const size_t piece = 1 + data[0] % 64;
    for (size_t at = 1; at < size; at += piece) {
        const size_t length = std::min(piece, size - at);
        bot.ProcessReceivedData(
            QByteArray(reinterpret_cast<const char*>(data + at), static_cast<qsizetype>(length)));
    }
    // The roster must stay a consistent model whatever arrived.
    RosterModel& roster = bot.Roster();
    if (roster.rowCount() != roster.Count()) __builtin_trap();
    return 0;
}
