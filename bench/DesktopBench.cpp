// The windows' share: one line appended to the real main window's chat pane (a QPlainTextEdit)
// as it fills, the whisper pane, auto-clear, and the channel roster shown by the real list view
// as thousands arrive and leave. The window is shown on the offscreen platform and every batch
// ends by letting events run, so layout and painting are part of the cost. With --table it
// prints its rows of scripts/bench's table.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>

#include "BenchTable.h"
#include "bot/Bot.h"
#include "ui/ChatPaneWidget.h"
#include "ui/MainWindow.h"
#include "ui/WhisperLog.h"
#include "ui/WhisperWindow.h"

using namespace zarivok;

namespace {

// Lines per batch: what one read of a busy channel brings (6 KiB or so) before the window
// lays out and paints.
constexpr int kBatch = 100;

class Desktop {
  public:
    Desktop() : window_(ProfilePaths::ForFolder(profile_.path())) {
        window_.show();
        bare_.resize(505, 385);
        bare_.setReadOnly(true);
        bare_.setUndoRedoEnabled(false);
        bare_.show();
        Settle();
    }

    Bot& bot() { return window_.bot(); }
    MainWindow& window() { return window_; }
    QPlainTextEdit& bare() { return bare_; }

    static void Settle() {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

  private:
    QTemporaryDir profile_;
    MainWindow window_;
    QPlainTextEdit bare_;
};

Desktop* desktop = nullptr;

void TalkLine(Bot& bot, int i) {
    bot.AppendChat(bot.TimeStamp() + QStringLiteral("<User%1> ").arg(i % 200), kYellow,
                   QStringLiteral("a line of ordinary channel talk number %1\r\n").arg(i), kWhite);
}

void WhisperLine(Bot& bot, int i) {
    bot.AppendWhisper(bot.TimeStamp() + QStringLiteral("<From: User%1> ").arg(i % 200), kYellow,
                      QStringLiteral("a whispered line number %1\r\n").arg(i), kGrey);
}

// Brings the pane to exactly lines lines (the last one empty, after the last line break):
// appends with fill, or cuts off what is beyond.
void FitPane(QPlainTextEdit& pane, int lines, const std::function<void(int)>& fill) {
    for (int i = pane.blockCount(); i < lines; ++i) fill(i);
    if (pane.blockCount() > lines) {
        QTextCursor cut(pane.document()->findBlockByNumber(lines - 1));
        cut.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cut.removeSelectedText();
    }
    Desktop::Settle();
}

// Appends batches of kBatch lines to a pane that holds state.range(0) lines, cutting it back
// (untimed) after each batch.
void AppendBatches(benchmark::State& state, QPlainTextEdit& pane,
                   const std::function<void(int)>& append) {
    const int lines = static_cast<int>(state.range(0));
    FitPane(pane, lines, append);
    int n = 0;
    for (auto _ : state) {
        for (int i = 0; i < kBatch; ++i) append(n++);
        Desktop::Settle();
        state.PauseTiming();
        FitPane(pane, lines, append);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

void BM_ChatPaneAppend(benchmark::State& state) {
    Bot& bot = desktop->bot();
    bot.UpdateSettings([&](Settings& s) { s.intEnableAutoClear = 0; });
    AppendBatches(state, *desktop->window().txtChannel, [&bot](int i) { TalkLine(bot, i); });
}
BENCHMARK(BM_ChatPaneAppend)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_WhisperPaneAppend(benchmark::State& state) {
    Bot& bot = desktop->bot();
    WhisperLine(bot, 0);  // loads the whisper window, hidden, as the first whisper does
    QPlainTextEdit& pane = *desktop->window().Whispers().Window()->rtbWhisper;
    AppendBatches(state, pane, [&bot](int i) { WhisperLine(bot, i); });
}
BENCHMARK(BM_WhisperPaneAppend)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The floor: a bare QPlainTextEdit of the same size, one plain line per append.
void BM_BarePlainTextAppend(benchmark::State& state) {
    QPlainTextEdit& pane = desktop->bare();
    const auto append = [&pane](int i) {
        pane.appendPlainText(QStringLiteral("[9:05:03 PM] <User%1> a line of ordinary channel "
                                            "talk number %2")
                                 .arg(i % 200)
                                 .arg(i));
    };
    AppendBatches(state, pane, append);
}
BENCHMARK(BM_BarePlainTextAppend)->Arg(1000)->Unit(benchmark::kMicrosecond);

// Clearing switched on at 500 lines: every 500th append empties the pane.
void BM_ChatPaneAutoClear(benchmark::State& state) {
    Bot& bot = desktop->bot();
    FitPane(*desktop->window().txtChannel, 1, [](int) {});
    bot.UpdateSettings([&](Settings& s) {
        s.intEnableAutoClear = 1;
        s.intAutoClearAtLine = 500;
    });
    int n = 0;
    for (auto _ : state) {
        for (int i = 0; i < kBatch; ++i) TalkLine(bot, n++);
        Desktop::Settle();
    }
    bot.UpdateSettings([&](Settings& s) { s.intEnableAutoClear = 0; });
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_ChatPaneAutoClear)->Unit(benchmark::kMicrosecond);

QByteArray UserName(int i) { return "Player" + QByteArray::number(i); }

// CPU time of this thread: each half's cost on one core, whatever else the machine runs.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// state.range(0) users: the channel entry and all of them present in one arrival, then all of
// them leaving in random order in one arrival. state.range(1) says which half is timed.
void BM_Roster(benchmark::State& state) {
    const int users = static_cast<int>(state.range(0));
    const bool leaving = state.range(1) == 1;
    QByteArray arrive = "1007 CHANNEL \"Lobby\"\r\n";
    std::vector<int> order(users);
    for (int i = 0; i < users; ++i) {
        arrive += "1001 USER " + UserName(i) + " 0010 [" + (i % 3 ? "STAR" : "CHAT") + "]\r\n";
        order[i] = i;
    }
    std::shuffle(order.begin(), order.end(), std::mt19937(20240611));
    QByteArray leave;
    for (const int i : order) leave += "1003 LEAVE " + UserName(i) + " 0010\r\n";

    Bot& bot = desktop->bot();
    bot.UpdateSettings([&](Settings& s) { s.intEnableNotifications = 0; });
    for (auto _ : state) {
        const double start = ThreadSeconds();
        bot.ProcessReceivedData(arrive);
        Desktop::Settle();
        const double arrived = ThreadSeconds();
        bot.ProcessReceivedData(leave);
        Desktop::Settle();
        const double left = ThreadSeconds();
        if (bot.Roster().Count() != 0) state.SkipWithError("the roster did not empty");
        state.SetIterationTime(leaving ? left - arrived : arrived - start);
    }
    state.SetItemsProcessed(state.iterations() * users);
}
BENCHMARK(BM_Roster)
    ->ArgNames({"users", "leave"})
    ->Args({100, 0})
    ->Args({10000, 0})
    ->Args({100, 1})
    ->Args({10000, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Batches of lines into the chat pane once it holds lines lines, outside Google Benchmark: for
// counting instructions under callgrind (--toggle-collect on this function).
[[gnu::noinline]] void MeasuredBatches(int batches) {
    Bot& bot = desktop->bot();
    for (int b = 0; b < batches; ++b) {
        for (int i = 0; i < kBatch; ++i) TalkLine(bot, b * kBatch + i);
        Desktop::Settle();
    }
}

int Once(int lines, int batches) {
    desktop->bot().UpdateSettings([&](Settings& s) { s.intEnableAutoClear = 0; });
    FitPane(*desktop->window().txtChannel, lines, [](int i) { TalkLine(desktop->bot(), i); });
    MeasuredBatches(batches);
    return 0;
}

int Table(int argc, char** argv) {
    const auto medians = bench::RunMedians(argc, argv);
    const auto seconds = [&](const std::string& name) {
        const auto found = medians.find(name);
        return found == medians.end() ? 0.0 : found->second;
    };
    const double us = 1e6 / kBatch;
    const double small = seconds("BM_ChatPaneAppend/1000") * us;
    const double large = seconds("BM_ChatPaneAppend/100000") * us;
    const double bare = seconds("BM_BarePlainTextAppend/1000") * us;
    const double whisper = seconds("BM_WhisperPaneAppend/1000") * us;
    const double clearing = seconds("BM_ChatPaneAutoClear") * us;
    // At least 20,000 appends a second: at most 50 us each.
    bench::PrintRow({"Chat pane: one AppendChat at 1,000 lines", small, "us",
                     "bare QPlainTextEdit line", bare, "<= 50 us (20,000/s)",
                     bench::Verdict(small > 0 && small <= 50)});
    bench::PrintRow({"Chat pane: one AppendChat at 100,000 lines", large, "us",
                     "same at 1,000 lines", small, "<= 1.25x; <= 50 us",
                     bench::Verdict(large > 0 && large <= 1.25 * small && large <= 50)});
    bench::PrintRow({"Whisper pane: one AppendWhisper at 1,000 lines", whisper, "us",
                     "bare QPlainTextEdit line", bare, "", ""});
    bench::PrintRow({"Chat pane: one AppendChat, auto-clear at 500 lines", clearing, "us",
                     "same at 1,000 lines, no clearing", small, "", ""});
    const auto roster = [&](const char* figure, const char* name, int leave) {
        const double few =
            seconds(std::string("BM_Roster/users:100/leave:") + char('0' + leave) + "/manual_time");
        const double many = seconds(std::string("BM_Roster/users:10000/leave:") +
                                    char('0' + leave) + "/manual_time");
        const double ms = many * 1e3;
        const double scaled = few * 100 * 1e3;
        bench::PrintRow({figure, ms, "ms", name, scaled, "< 100 ms; per user <= 2x",
                         bench::Verdict(ms > 0 && ms < 100 && ms <= 2 * scaled)});
    };
    roster("Roster: channel entry and 10,000 users, one arrival", "100 users x 100", 0);
    roster("Roster: 10,000 leaves in random order, one arrival", "100 leaves x 100", 1);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Measured on the offscreen platform unless a display is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    desktop = new Desktop();
    int result = 0;
    if (argc == 4 && std::strcmp(argv[1], "--once") == 0) {
        result = Once(std::atoi(argv[2]), std::atoi(argv[3]));
        delete desktop;
        return result;
    }
    std::vector<char*> args(argv, argv + argc);
    const auto table = std::find_if(
        args.begin(), args.end(), [](const char* arg) { return std::strcmp(arg, "--table") == 0; });
    if (table != args.end()) {
        args.erase(table);
        result = Table(static_cast<int>(args.size()), args.data());
    } else {
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    delete desktop;
    return result;
}
