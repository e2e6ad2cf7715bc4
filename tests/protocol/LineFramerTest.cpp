#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>
#include <string>

#include "protocol/LineFramer.h"

namespace zarivok {
namespace {

// The lines of one batch, a cut one marked with "~" after it.
std::string Lines(const FramedBatch& batch) {
    std::string out;
    for (const FramedLine& line : batch.Lines()) {
        out += std::string(line.bytes.data(), static_cast<size_t>(line.bytes.size()));
        out += line.cut ? "~|" : "|";
    }
    return out;
}

TEST(LineFramerTest, ArrivalsBecomeWholeLinesWhateverTheirPieces) {
    const struct Case {
        const char* name;
        QList<QByteArray> arrivals;
        // The lines each arrival completes.
        QList<std::string> lines;
    } cases[] = {
        {"CR LF, bare CR and bare LF end lines; empty lines are dropped",
         {"a\r\nb\rc\n\r\n\r\nd\r\n"},
         {"a|b|c|d|"}},
        {"an unfinished line waits for the rest", {"ab", "c\r", "\nd\r\n"}, {"", "abc|", "d|"}},
        {"a line end split between arrivals ends one line", {"a\r", "\nb\r\n"}, {"a|", "b|"}},
        {"an empty arrival completes nothing", {"", "a"}, {"", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LineFramer framer;
        for (qsizetype i = 0; i < c.arrivals.size(); ++i) {
            EXPECT_EQ(Lines(framer.Feed(c.arrivals[i])), c.lines[i]);
        }
    }
}

// Servers cut every line at 255 bytes with its line end: so many bytes without one are a whole,
// cut line, and the framer never holds more than a line.
TEST(LineFramerTest, TwoHundredFiftyFiveBytesWithoutALineEndAreACutLine) {
    LineFramer framer;
    const QByteArray full(LineFramer::kMaxLineBytes, 'x');
    EXPECT_EQ(Lines(framer.Feed(full.left(100))), "");
    EXPECT_EQ(framer.TailBytes(), 100);
    EXPECT_EQ(Lines(framer.Feed(full.mid(100) + "next\r\n")), full.toStdString() + "~|next|");
    EXPECT_EQ(framer.TailBytes(), 0);
}

// A handler may let events run, so that the framer is fed again while the lines of an earlier
// batch are still being dispatched: they must stay as they were.
TEST(LineFramerTest, ABatchStaysValidWhateverIsFedNext) {
    LineFramer framer;
    framer.Feed("he");
    const FramedBatch first = framer.Feed("llo\r\nwor");
    const FramedBatch second = framer.Feed("ld\r\n");
    framer.Reset();
    framer.Feed("other\r\n");
    EXPECT_EQ(Lines(first), "hello|");
    EXPECT_EQ(Lines(second), "world|");
}

}  // namespace
}  // namespace zarivok
