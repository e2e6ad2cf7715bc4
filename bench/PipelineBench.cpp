// How fast received bytes become pane runs and roster rows, and what one chat line costs.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "core/Bot.h"
#include "core/WindowTexts.h"
#include "display/ChatPane.h"
#include "protocol/EventLine.h"
#include "protocol/LineFramer.h"
#include "terminal/TerminalPane.h"

using namespace zarivok;

namespace {

class NullPane : public ChatPane {
  public:
    void AppendRun(const QString& text, ChatColour) override { benchmark::DoNotOptimize(text); }
    void ReplaceAll(const QString&) override {}
};

class NullTexts : public WindowTexts {
  public:
    void SetCaption(const QString&) override {}
    void SetUserCount(const QString&) override {}
    void SetColumnHeader(const QString&) override {}
    void SetStatusPanel(int, const QString&) override {}
};

QByteArray Session() {
    QFile file(QStringLiteral(ZARIVOK_FIXTURES_DIR "/sessions/channel-session.bin"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The real channel session through framing, decoding, parsing, handlers and the roster.
void BM_ReceiveSession(benchmark::State& state) {
    const QByteArray session = Session();
    QTemporaryDir profile;
    NullPane pane;
    NullTexts texts;
    Bot bot(pane, texts, ProfilePaths::ForFolder(profile.path()));
    bot.settings.intEnableNotifications = 1;
    for (auto _ : state) bot.ProcessReceivedData(session);
    state.SetBytesProcessed(state.iterations() * session.size());
    state.SetItemsProcessed(state.iterations() * session.count('\n'));
}
BENCHMARK(BM_ReceiveSession);

// A busy channel: talk lines only, the common case; state.range(0) says whether the day log
// keeps them (in a temporary folder, so the disk's own speed is part of the cost).
void BM_ReceiveTalk(benchmark::State& state) {
    QByteArray block;
    for (int i = 0; i < 1000; ++i)
        block += "1005 TALK someone 0010 \"a line of ordinary channel talk\"\r\n";
    QTemporaryDir profile;
    NullPane pane;
    NullTexts texts;
    ProfilePaths paths = ProfilePaths::ForFolder(profile.path());
    if (state.range(0) == 0) paths.logsFolder.clear();
    Bot bot(pane, texts, paths);
    for (auto _ : state) bot.ProcessReceivedData(block);
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ReceiveTalk)->ArgName("log")->Arg(0)->Arg(1);

void BM_FrameLines(benchmark::State& state) {
    const QByteArray session = Session();
    LineFramer framer;
    for (auto _ : state) benchmark::DoNotOptimize(framer.Feed(session));
    state.SetBytesProcessed(state.iterations() * session.size());
}
BENCHMARK(BM_FrameLines);

void BM_ParseTalkLine(benchmark::State& state) {
    const QString line =
        QStringLiteral("1005 TALK someone 0010 \"a line of ordinary channel talk\"");
    for (auto _ : state) benchmark::DoNotOptimize(ParseEventLine(line));
}
BENCHMARK(BM_ParseTalkLine);

// One talk line written to a terminal pane (to /dev/null), escape codes and flushing included.
void BM_TerminalPaneLine(benchmark::State& state) {
    std::FILE* sink = std::fopen("/dev/null", "w");
    {
        TerminalPane pane(sink);
        const QString stamp = QStringLiteral("[9:05:03 PM] <someone> ");
        const QString text = QStringLiteral("a line of ordinary channel talk\r\n");
        for (auto _ : state) {
            pane.AppendRun(stamp, kYellow);
            pane.AppendRun(text, kWhite);
        }
    }
    std::fclose(sink);
}
BENCHMARK(BM_TerminalPaneLine);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
