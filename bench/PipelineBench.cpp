// How fast received bytes become pane runs, day log lines and roster rows, and what the pieces of
// one line cost. With --table it runs the whole-pipeline figures several times and prints them
// as rows of scripts/bench's table.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <random>

#include "BenchFixtures.h"
#include "BenchTable.h"
#include "bot/Bot.h"
#include "bot/WindowTexts.h"
#include "display/ChatPane.h"
#include "protection/ChannelGuard.h"
#include "protocol/EventLine.h"
#include "protocol/LineFramer.h"
#include "terminal/TerminalPane.h"

using namespace zarivok;
using namespace zarivok::bench;

namespace {

constexpr int kLines = 100000;
// What one read of a busy connection delivers: lines are cut across arrivals, as on TCP.
constexpr qsizetype kArrivalBytes = 64 * 1024;
constexpr int kChannelUsers = 200;
constexpr int kListedUsers = 100;
constexpr int kBanPatterns = 10000;
constexpr int kPhrases = 1000;
constexpr int kJoins = 10000;

class NullPane : public ChatPane {
  public:
    void AppendRun(const QString& text, ChatColour) override { benchmark::DoNotOptimize(text); }
    void ReplaceAll(const QString&) override {}
};

QByteArray Session() {
    QFile file(QStringLiteral(ZARIVOK_FIXTURES_DIR "/sessions/channel-session.bin"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray UserName(int i) { return "User" + QByteArray::number(i); }

QByteArray Talk(int i) {
    const char* text = kChannelTalk[i % kChannelTalkCount];
    return "1005 TALK " + UserName(i % kChannelUsers) + " 0010 \"" + text + "\"\r\n";
}

// A bot in a channel of kChannelUsers, with a user database of kListedUsers names (none of them
// talking here) and the day log writing to a real file in a temporary folder.
class PipelineBot {
  public:
    enum class Protection { Off, On };
    // pane: where the chat goes; by default nowhere. Protection on: every rule of the example
    // file, 10,000 ban patterns (a tenth with wildcards) and 1,000 phrases, none of which the
    // channel's talk or names match, so every line is scanned and counted and nobody acted on.
    explicit PipelineBot(ChatPane* pane = nullptr, Protection protection = Protection::Off)
        : bot_(pane ? *pane : pane_, texts_, paths_) {
        if (protection == Protection::On) WriteProtection();
        QByteArray users;
        for (int i = 0; i < kListedUsers; ++i) users += "Listed" + QByteArray::number(i) + "\r\n";
        QFile file(paths_.usersFile);
        if (file.open(QIODevice::WriteOnly)) file.write(users);
        file.close();
        bot_.UserList().Load();
        bot_.UpdateSettings([&](Settings& s) { s.intEnableNotifications = 1; });
        QByteArray entry = "1007 CHANNEL \"Lobby\"\r\n";
        for (int i = 0; i < kChannelUsers; ++i)
            entry += "1001 USER " + UserName(i) + " 0010 [CHAT]\r\n";
        bot_.ProcessReceivedData(entry);
    }

    void Feed(const QByteArray& bytes) {
        for (qsizetype at = 0; at < bytes.size(); at += kArrivalBytes) {
            bot_.ProcessReceivedData(bytes.mid(at, kArrivalBytes));
        }
    }

  private:
    void WriteProtection() {
        const auto write = [](const QString& path, const QByteArray& bytes) {
            QFile file(path);
            if (file.open(QIODevice::WriteOnly)) file.write(bytes);
        };
        write(paths_.protectionFile,
              "[Greet]\r\nEnabled=1\r\nText=Welcome to %channel%, %user%.\r\n[Lockdown]\r\n"
              "Enabled=0\r\n[Phrases]\r\nEnabled=1\r\nAction=kick\r\nReason=Watch it.\r\n"
              "[Flood]\r\nEnabled=1\r\nLines=5\r\nSeconds=5\r\nAction=kick\r\n");
        QByteArray bans;
        for (int i = 0; i < kBanPatterns; ++i) {
            bans += (i % 10 == 0 ? "*spam" + QByteArray::number(i) + "?bot*"
                                 : "Banned" + QByteArray::number(i)) +
                    " Go away\r\n";
        }
        write(paths_.banListFile, bans);
        QByteArray phrases;
        for (int i = 0; i < kPhrases; ++i) phrases += "zq" + QByteArray::number(i) + " qz\r\n";
        write(paths_.phrasesFile, phrases);
        bot_.Guard().Load();
    }

    QTemporaryDir profile_;
    ProfilePaths paths_ = ProfilePaths::ForFolder(profile_.path());
    NullPane pane_;
    NullTexts texts_;
    Bot bot_;
};

QByteArray TalkLines() {
    QByteArray bytes;
    for (int i = 0; i < kLines; ++i) bytes += Talk(i);
    return bytes;
}

// Every event code the bot handles, and lines that are not events, in the proportions of a busy
// channel: mostly talk, with people coming and going. The logon line (which reloads the user
// database) and the channel entry (which empties the roster) come once, at the start.
QByteArray EveryEvent() {
    QByteArray bytes = "2010 NAME bot1\r\n1007 CHANNEL \"Lobby\"\r\n";
    for (int i = 0; i < kChannelUsers; ++i)
        bytes += "1001 USER " + UserName(i) + " 0010 [CHAT]\r\n";
    const auto cycle = [](int i) -> QByteArray {
        const QByteArray guest = "Guest" + QByteArray::number(i);
        return "1002 JOIN " + guest + " 0010 [SEXP]\r\n" + Talk(i) + Talk(i + 1) + "1023 EMOTE " +
               UserName(i % kChannelUsers) + " 0010 \"waves\"\r\n" + "1004 WHISPER " + guest +
               " 0010 \"psst\"\r\n" + "1010 WHISPER " + guest + " 0010 \"hi back\"\r\n" +
               "1009 USER " + guest + " 0012\r\n" + "1009 USER " + guest + " 0010\r\n" +
               "1003 LEAVE " + guest + " 0010\r\n" +
               "1006 BROADCAST \"Announcement: the server restarts at midnight\"\r\n" +
               "1013 CHANNELFULL \"Tiny\"\r\n1014 CHANNELDOESNOTEXIST \"Nope\"\r\n" +
               "1015 CHANNELRESTRICTED \"Ops\"\r\n1016 INFO \"note\"\r\n" +
               "1018 INFO \"That user is not logged on.\"\r\n" +
               "1019 ERROR \"You are not a channel operator.\"\r\n3000 INFO \"info\"\r\n" +
               "Login failed.\r\nsome text that is not an event\r\n" + Talk(i + 2) + Talk(i + 3);
    };
    int lines = 0;
    for (int i = 0; lines < kLines; ++i) {
        const QByteArray piece = cycle(i);
        bytes += piece;
        lines += static_cast<int>(piece.count('\n'));
    }
    return bytes;
}

void BM_ReceiveTalkLines(benchmark::State& state) {
    const QByteArray bytes = TalkLines();
    PipelineBot bot;
    for (auto _ : state) bot.Feed(bytes);
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_ReceiveTalkLines)->Unit(benchmark::kMillisecond);

void BM_ReceiveTalkLinesProtected(benchmark::State& state) {
    const QByteArray bytes = TalkLines();
    PipelineBot bot(nullptr, PipelineBot::Protection::On);
    for (auto _ : state) bot.Feed(bytes);
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_ReceiveTalkLinesProtected)->Unit(benchmark::kMillisecond);

// Arrivals and departures held against 10,000 ban patterns.
QByteArray JoinsAndLeaves() {
    QByteArray bytes;
    for (int i = 0; i < kJoins; ++i) {
        const QByteArray guest = "Guest" + QByteArray::number(i);
        bytes += "1002 JOIN " + guest + " 0010 [CHAT]\r\n1003 LEAVE " + guest + " 0010\r\n";
    }
    return bytes;
}

void BM_ReceiveJoinsProtected(benchmark::State& state) {
    const QByteArray bytes = JoinsAndLeaves();
    PipelineBot bot(nullptr, PipelineBot::Protection::On);
    for (auto _ : state) bot.Feed(bytes);
    state.SetItemsProcessed(state.iterations() * kJoins);
}
BENCHMARK(BM_ReceiveJoinsProtected)->Unit(benchmark::kMillisecond);

void BM_ReceiveEveryEvent(benchmark::State& state) {
    const QByteArray bytes = EveryEvent();
    PipelineBot bot;
    for (auto _ : state) bot.Feed(bytes);
    state.SetItemsProcessed(state.iterations() * bytes.count('\n'));
}
BENCHMARK(BM_ReceiveEveryEvent)->Unit(benchmark::kMillisecond);

// The floor: the same bytes cut into lines with memchr, nothing else.
void BM_SplitLines(benchmark::State& state) {
    const QByteArray bytes = TalkLines();
    for (auto _ : state) {
        int lines = 0;
        const char* p = bytes.constData();
        const char* const end = p + bytes.size();
        while (const void* found = std::memchr(p, '\n', end - p)) {
            p = static_cast<const char*>(found) + 1;
            ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_SplitLines)->Unit(benchmark::kMillisecond);

// The real channel session through framing, decoding, parsing, handlers and the roster.
void BM_ReceiveSession(benchmark::State& state) {
    const QByteArray session = Session();
    QTemporaryDir profile;
    NullPane pane;
    NullTexts texts;
    Bot bot(pane, texts, ProfilePaths::ForFolder(profile.path()));
    bot.UpdateSettings([&](Settings& s) { s.intEnableNotifications = 1; });
    for (auto _ : state) bot.ProcessReceivedData(session);
    state.SetBytesProcessed(state.iterations() * session.size());
    state.SetItemsProcessed(state.iterations() * session.count('\n'));
}
BENCHMARK(BM_ReceiveSession);

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

int Table(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    std::string filter =
        "--benchmark_filter=^BM_(ReceiveTalkLines|ReceiveTalkLinesProtected|ReceiveJoinsProtected|"
        "ReceiveEveryEvent|SplitLines)$";
    args.push_back(filter.data());
    const auto medians = bench::RunMedians(static_cast<int>(args.size()), args.data());
    const auto perSecond = [&](const char* name, double items) {
        const auto found = medians.find(name);
        return found == medians.end() || found->second <= 0 ? 0.0 : items / found->second;
    };
    const double split = perSecond("BM_SplitLines", kLines) / 1e6;
    const double talk = perSecond("BM_ReceiveTalkLines", kLines) / 1e6;
    const double every = perSecond("BM_ReceiveEveryEvent", EveryEvent().count('\n')) / 1e6;
    // The baseline is faster, so the ratio reads as the share of the floor's speed.
    bench::PrintRow({"Receive pipeline: 100,000 talk lines, day log on", talk, "M lines/s",
                     "memchr split", split, ">= 2 M lines/s", bench::Verdict(talk >= 2), true});
    const double guarded = perSecond("BM_ReceiveTalkLinesProtected", kLines) / 1e6;
    const double joins = perSecond("BM_ReceiveJoinsProtected", kJoins) / 1e3;
    bench::PrintRow({"Receive pipeline: talk lines, protection on (10,000 patterns, 1,000 phrases)",
                     guarded, "M lines/s", "protection off", talk, ">= 2 M lines/s",
                     bench::Verdict(guarded >= 2), true});
    bench::PrintRow({"Receive pipeline: a join and a leave against 10,000 patterns", joins,
                     "k pairs/s", "", 0, "", "", false});
    bench::PrintRow({"Receive pipeline: every event code", every, "M lines/s", "memchr split",
                     split, "", "", true});
    return 0;
}

// Feeds one buffer once, for counting instructions under callgrind (the count of
// Bot::ProcessReceivedData divided by the lines): repeatable even while the machine is busy.
int Once(const char* which) {
    const QByteArray bytes = std::strcmp(which, "every") == 0 ? EveryEvent() : TalkLines();
    // "terminal": the headless program's pane, writing to /dev/null.
    std::FILE* sink = std::fopen("/dev/null", "w");
    TerminalPane terminal(sink);
    PipelineBot bot(std::strcmp(which, "terminal") == 0 ? &terminal : nullptr);
    bot.Feed(bytes);
    std::printf("%lld lines\n", static_cast<long long>(bytes.count('\n')));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--once") == 0) return Once(argv[2]);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--table") == 0) {
            std::vector<char*> rest(argv, argv + argc);
            rest.erase(rest.begin() + i);
            return Table(static_cast<int>(rest.size()), rest.data());
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
