#include <gtest/gtest.h>

#include <QStringList>
#include <algorithm>
#include <deque>
#include <limits>
#include <ostream>
#include <random>
#include <utility>
#include <vector>

#include "connection/SendQueue.h"

// Failures then show the texts rather than their bytes.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace zarivok {
namespace {

struct Sent {
    qint64 at;
    QString line;
};

// The server's count, written from its rule rather than from the queue: each line costs one
// unit per started 40 bytes (at least 1, twice for "/me " and "/emote "), the charge is stamped
// with the whole second the line arrived in and forgotten once that stamp is 5 seconds old, and a
// line that brings the total to 5 or more is refused (and still counts).
struct ServerCount {
    int refused = 0;
    int highestTotal = 0;
    int overlong = 0;  // over the 200 bytes the server refuses outright
};

ServerCount ReplayOnServer(const std::vector<Sent>& arrivals) {
    ServerCount count;
    std::deque<std::pair<qint64, int>> charges;
    int total = 0;
    for (const Sent& arrival : arrivals) {
        const qint64 second = arrival.at / 1000;
        while (!charges.empty() && second >= charges.front().first + 5) {
            total -= charges.front().second;
            charges.pop_front();
        }
        const qsizetype bytes = arrival.line.toUtf8().size();
        if (bytes > 200) ++count.overlong;
        int cost = std::max<int>(1, static_cast<int>((bytes + 39) / 40));
        if (arrival.line.startsWith(u"/me ", Qt::CaseInsensitive) ||
            arrival.line.startsWith(u"/emote ", Qt::CaseInsensitive)) {
            cost *= 2;
        }
        charges.emplace_back(second, cost);
        total += cost;
        count.highestTotal = std::max(count.highestTotal, total);
        if (total >= 5) ++count.refused;
    }
    return count;
}

// The same sends as the server would see them: shifted against its second boundary, each
// delayed by up to maxDelayMs on the way but arriving in order, as over one TCP connection.
std::vector<Sent> Arrivals(const std::vector<Sent>& sent, qint64 offsetMs, std::mt19937* random,
                           int maxDelayMs) {
    std::uniform_int_distribution<int> delay(0, maxDelayMs);
    std::vector<Sent> arrivals;
    qint64 last = 0;
    for (const Sent& s : sent) {
        last = std::max(last, s.at + offsetMs + (random ? delay(*random) : 0));
        arrivals.push_back({last, s.line});
    }
    return arrivals;
}

QStringList Lines(const std::vector<Sent>& sent) {
    QStringList lines;
    for (const Sent& s : sent) lines.append(s.line);
    return lines;
}

class SendQueueTest : public ::testing::Test {
  protected:
    static constexpr qint64 kStart = 7'000'123;  // off any whole second

    // Plays the caller: enqueues each text at its time (relative to the start) and pumps when
    // the single-shot timer it armed with MsUntilNextSend would fire.
    void Run(const std::vector<std::pair<qint64, QString>>& schedule) {
        constexpr qint64 kNever = std::numeric_limits<qint64>::max();
        size_t next = 0;
        for (int round = 0; next < schedule.size() || queue.Pending() > 0; ++round) {
            ASSERT_LT(round, 100000) << "the queue stalled";
            const qint64 wait = queue.MsUntilNextSend();
            const qint64 timerAt = wait < 0 ? kNever : now + wait;
            const qint64 enqueueAt =
                next < schedule.size() ? kStart + schedule[next].first : kNever;
            if (enqueueAt <= timerAt) {
                now = std::max(now, enqueueAt);
                EXPECT_EQ(queue.Enqueue(schedule[next].second), 0);
                ++next;
            } else {
                now = timerAt;
                const qsizetype before = queue.Pending();
                queue.Pump();
                ASSERT_LT(queue.Pending(), before) << "the timer fired but nothing left";
            }
        }
    }

    QStringList SendAll(const QString& text) {
        sent.clear();
        Run({{now - kStart, text}});
        return Lines(sent);
    }

    void ExpectTheServerNeverRefuses() {
        for (qint64 offset = 0; offset < 1000; ++offset) {
            const ServerCount count = ReplayOnServer(Arrivals(sent, offset, nullptr, 0));
            ASSERT_EQ(count.refused, 0) << "server second boundary offset " << offset;
            ASSERT_LT(count.highestTotal, 5) << "server second boundary offset " << offset;
            ASSERT_EQ(count.overlong, 0);
        }
        // The budget leaves room for the delay of the connection to vary by a second.
        for (unsigned seed = 1; seed <= 300; ++seed) {
            std::mt19937 random(seed);
            const ServerCount count = ReplayOnServer(Arrivals(sent, seed % 1000, &random, 1000));
            ASSERT_EQ(count.refused, 0) << "random delays, seed " << seed;
        }
    }

    qint64 now = kStart;
    std::vector<Sent> sent;
    std::function<void(const QString&)> alsoOnTransmit;
    SendQueue queue{[this] { return now; },
                    [this](const QString& line, quint64 /*tag*/) {
                        sent.push_back({now, line});
                        if (alsoOnTransmit) alsoOnTransmit(line);
                    }};
};

TEST_F(SendQueueTest, TheServerCheckerCountsLikeTheServer) {
    // Without this the replays below could pass by checking nothing.
    const auto at = [](std::initializer_list<qint64> times, const QString& line) {
        std::vector<Sent> result;
        for (const qint64 t : times) result.push_back({t, line});
        return result;
    };
    EXPECT_EQ(ReplayOnServer(at({0, 0, 0, 0}, "x")).refused, 0);
    EXPECT_EQ(ReplayOnServer(at({0, 0, 0, 0, 0}, "x")).refused, 1);
    EXPECT_EQ(ReplayOnServer(at({999, 999, 999, 999, 5000, 5000}, "x")).refused, 0);
    EXPECT_EQ(ReplayOnServer(at({999, 999, 999, 999, 4999}, "x")).refused, 1);
    EXPECT_EQ(ReplayOnServer(at({0, 0, 0}, "/ME x")).highestTotal, 6);
    EXPECT_EQ(ReplayOnServer(at({0}, QString(201, u'x'))).overlong, 1);
}

TEST_F(SendQueueTest, OneLineLeavesInsideEnqueue) {
    EXPECT_EQ(queue.Enqueue("hello"), 0);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].line, "hello");
    EXPECT_EQ(queue.Pending(), 0);
    EXPECT_EQ(queue.MsUntilNextSend(), -1);
}

TEST_F(SendQueueTest, ABurstLeavesInOrderWithoutEverBeingRefused) {
    const QStringList kinds = {"hi",
                               QString(41, u'b'),
                               "/me waves",
                               QString(150, u'c'),
                               "",
                               "/EMOTE " + QString(70, u'd'),
                               QString(80, u'e'),
                               "/w someone a whisper"};
    std::vector<std::pair<qint64, QString>> burst;
    QStringList expected;
    for (int i = 0; i < 20; ++i) {
        const QString line = i % 8 == 4 ? QString() : kinds[i % 8] + QString::number(i);
        burst.emplace_back(0, line);
        expected.append(line);
    }
    Run(burst);
    EXPECT_EQ(Lines(sent), expected);
    ExpectTheServerNeverRefuses();
}

TEST_F(SendQueueTest, ATrickleOfRepliesNeverGetsRefused) {
    std::vector<std::pair<qint64, QString>> trickle;
    std::mt19937 random(42);
    std::uniform_int_distribution<int> gap(0, 900), length(0, 160);
    qint64 at = 0;
    for (int i = 0; i < 60; ++i) {
        at += gap(random);
        const int bytes = length(random);
        trickle.emplace_back(at,
                             i % 5 == 0 ? "/me " + QString(bytes / 2, u'm') : QString(bytes, u't'));
    }
    Run(trickle);
    ASSERT_EQ(sent.size(), trickle.size());
    ExpectTheServerNeverRefuses();
}

TEST_F(SendQueueTest, MsUntilNextSendIsExact) {
    queue.Enqueue("a");
    now += 1000;
    for (const char* line : {"b", "c", "d", "e", "f"}) queue.Enqueue(line);
    EXPECT_EQ(Lines(sent), QStringList({"a", "b", "c", "d"}));
    // "a" leaves the window 6000 ms after it was sent, which makes room for one unit.
    EXPECT_EQ(queue.MsUntilNextSend(), 5000);
    now += 4999;
    queue.Pump();
    EXPECT_EQ(sent.size(), 4u);
    EXPECT_EQ(queue.MsUntilNextSend(), 1);
    now += 1;
    EXPECT_EQ(queue.MsUntilNextSend(), 0);
    queue.Pump();
    EXPECT_EQ(Lines(sent), QStringList({"a", "b", "c", "d", "e"}));
    EXPECT_EQ(queue.MsUntilNextSend(), 1000);

    now += 1000;
    queue.Pump();
    EXPECT_EQ(Lines(sent).mid(5), QStringList({"f"}));
    EXPECT_EQ(queue.MsUntilNextSend(), -1);

    // A two-unit head waits for two charges to leave, and the line behind it, which would fit
    // earlier, does not overtake it.
    sent.clear();
    now += 60'000;
    for (const char* line : {"x1", "x2", "x3", "x4"}) {
        queue.Enqueue(line);
        now += 1000;
    }
    now -= 1000;
    const QString twoUnits(41, u'g');
    queue.Enqueue(twoUnits);
    queue.Enqueue("h");
    EXPECT_EQ(queue.MsUntilNextSend(), 4000);
    now += 3000;
    queue.Pump();
    EXPECT_EQ(sent.size(), 4u);
    EXPECT_EQ(queue.MsUntilNextSend(), 1000);
    now += 1000;
    queue.Pump();
    EXPECT_EQ(Lines(sent).mid(4), QStringList({twoUnits}));
    EXPECT_EQ(queue.MsUntilNextSend(), 1000);
}

struct SplitCase {
    const char* name;
    QString text;
    QStringList lines;
};

TEST_F(SendQueueTest, LongTalkIsSplitIntoShortLines) {
    const QString a150(150, u'a'), a159(159, u'a'), a160(160, u'a');
    const QString eAcute = QString::fromUtf8("\u00e9"), check = QString::fromUtf8("\u2713");
    const QString smile = QString::fromUtf8("\U0001F600");
    const SplitCase cases[] = {
        {"short", "hello there", {"hello there"}},
        {"exactly the limit", a160, {a160}},
        {"at the last blank that fits",
         a150 + " bb cc " + QString(20, u'd'),
         {a150 + " bb cc", QString(20, u'd')}},
        {"blank just past the limit", a160 + " bbb", {a160, "bbb"}},
        {"a trailing blank makes no empty line", a160 + " ", {a160}},
        {"hard split",
         QString(400, u'x'),
         {QString(160, u'x'), QString(160, u'x'), QString(80, u'x')}},
        {"two-byte letters",
         "a" + eAcute.repeated(100),
         {"a" + eAcute.repeated(79), eAcute.repeated(21)}},
        {"three-byte letters", check.repeated(60), {check.repeated(53), check.repeated(7)}},
        {"surrogate pairs",
         "ab" + smile.repeated(45),
         {"ab" + smile.repeated(39), smile.repeated(6)}},
        {"no piece starts as a command", a150 + " /ban someone x", {a150 + " /ban", "someone x"}},
        {"nor after a hard split", a160 + "/kick x", {a159, "a/kick x"}},
        {"empty text is an empty line", "", {""}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList lines = SendAll(c.text);
        EXPECT_EQ(lines, c.lines);
        for (const QString& line : lines) {
            EXPECT_LE(line.toUtf8().size(), SendQueue::kMaxLineBytes);
            EXPECT_EQ(QString::fromUtf8(line.toUtf8()), line) << "a character was cut in two";
        }
    }
    ExpectTheServerNeverRefuses();
}

TEST_F(SendQueueTest, ACommandIsCutNeverSplit) {
    const QString eAcute = QString::fromUtf8("\u00e9");
    const SplitCase cases[] = {
        {"long whisper", "/w someone " + QString(300, u'x'), {"/w someone " + QString(149, u'x')}},
        {"not inside a letter", "/w x " + eAcute.repeated(100), {"/w x " + eAcute.repeated(77)}},
        {"an emote is cut to what its double charge allows",
         "/me " + QString(100, u'x'),
         {"/me " + QString(76, u'x')}},
        {"in any letter case", "/EMOTE " + QString(100, u'x'), {"/EMOTE " + QString(73, u'x')}},
        {"multi-byte emote", "/Me " + eAcute.repeated(50), {"/Me " + eAcute.repeated(38)}},
        {"an emote that fits", "/me " + QString(76, u'x'), {"/me " + QString(76, u'x')}},
        {"not an emote", "/mention " + QString(100, u'x'), {"/mention " + QString(100, u'x')}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SendAll(c.text), c.lines);
    }
    ExpectTheServerNeverRefuses();
}

TEST_F(SendQueueTest, ChargesFollowTheServersCount) {
    const QString eAcute = QString::fromUtf8("\u00e9");
    const struct {
        QString line;
        int cost;
    } cases[] = {
        {"", 1},
        {QString(40, u'x'), 1},
        {QString(41, u'x'), 2},
        {QString(160, u'x'), 4},
        {eAcute.repeated(20), 1},
        {eAcute.repeated(21), 2},
        {"/me x", 2},
        {"/ME " + QString(40, u'x'), 4},
        {"/emote x", 2},
        {"/me", 2},
        {"/mex", 1},
        {"/w me x", 1},
        {"me x", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        EXPECT_EQ(SendQueue::LineCost(c.line), c.cost);
    }
}

TEST_F(SendQueueTest, ClearDropsWaitingLinesButKeepsTheCharges) {
    for (int i = 0; i < 10; ++i) queue.Enqueue(QString::number(i));
    ASSERT_EQ(sent.size(), 4u);
    queue.Clear();
    EXPECT_EQ(queue.Pending(), 0);
    EXPECT_EQ(queue.MsUntilNextSend(), -1);
    now += 60'000;
    queue.Pump();
    EXPECT_EQ(sent.size(), 4u);

    now -= 60'000;  // back to the moment of the clear: the four charges still count
    queue.Enqueue("after");
    EXPECT_EQ(sent.size(), 4u);
    EXPECT_EQ(queue.MsUntilNextSend(), 6000);
}

TEST_F(SendQueueTest, AFullQueueDropsAndCounts) {
    for (int i = 0; i < 4 + SendQueue::kMaxQueuedLines; ++i) {
        ASSERT_EQ(queue.Enqueue(QString::number(i)), 0);
    }
    EXPECT_EQ(queue.Pending(), SendQueue::kMaxQueuedLines);
    EXPECT_EQ(queue.Enqueue("one too many"), 1);
    EXPECT_EQ(queue.Pending(), SendQueue::kMaxQueuedLines);

    // Once one line has left there is room for one piece of a three-piece text.
    now += 6000;
    queue.Pump();
    const qsizetype room = SendQueue::kMaxQueuedLines - queue.Pending();
    ASSERT_GT(room, 0);
    const QString piece(160, u'p');
    EXPECT_EQ(queue.Enqueue(piece + " " + piece + " " + piece + " " + piece), 4 - room);

    sent.clear();
    Run({});
    ASSERT_EQ(sent.size(), static_cast<size_t>(SendQueue::kMaxQueuedLines));
    EXPECT_EQ(sent.front().line, QString::number(4 + room));
    EXPECT_EQ(sent.back().line, piece);
    EXPECT_FALSE(Lines(sent).contains("one too many"));
}

TEST_F(SendQueueTest, TextEndsAtTheFirstLineBreak) {
    const SplitCase cases[] = {
        {"CR LF", "hello\r\nworld", {"hello"}},
        {"LF", "a\nb\r\nc", {"a"}},
        {"CR", "x\ry", {"x"}},
        {"a break first leaves an empty line", "\r\nfoo", {""}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SendAll(c.text), c.lines);
    }
}

TEST_F(SendQueueTest, ATransmitThatEnqueuesKeepsTheOrder) {
    int depth = 0, deepest = 0;
    alsoOnTransmit = [&](const QString& line) {
        deepest = std::max(deepest, ++depth);
        if (line == "one") {
            EXPECT_EQ(queue.Enqueue("reply"), 0);
        }
        if (line == "l1") {
            EXPECT_EQ(queue.Enqueue("nested"), 0);
        }
        --depth;
    };
    queue.Enqueue("one");
    EXPECT_EQ(Lines(sent), QStringList({"one", "reply"}));

    now += 6000;
    for (const char* line : {"f1", "f2", "f3", "f4", "l1", "l2", "l3"}) queue.Enqueue(line);
    ASSERT_EQ(queue.Pending(), 3);
    now += 6000;
    queue.Pump();
    EXPECT_EQ(Lines(sent),
              QStringList({"one", "reply", "f1", "f2", "f3", "f4", "l1", "l2", "l3", "nested"}));
    EXPECT_EQ(deepest, 1) << "a transmit ran inside another";
}

TEST_F(SendQueueTest, ATransmitThatClearsStopsTheRest) {
    alsoOnTransmit = [&](const QString& line) {
        if (line != "l2") return;
        queue.Clear();
        queue.Enqueue("fresh");
    };
    for (const char* line : {"f1", "f2", "f3", "f4", "l1", "l2", "l3", "l4"}) queue.Enqueue(line);
    ASSERT_EQ(queue.Pending(), 4);
    sent.clear();
    now += 6000;
    queue.Pump();
    EXPECT_EQ(Lines(sent), QStringList({"l1", "l2", "fresh"}));
    EXPECT_EQ(queue.Pending(), 0);
    EXPECT_EQ(queue.MsUntilNextSend(), -1);
    now += 60'000;
    queue.Pump();
    EXPECT_EQ(sent.size(), 3u);
}

}  // namespace
}  // namespace zarivok
