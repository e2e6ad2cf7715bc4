#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/PaneLines.h"
#include "support/WithoutColours.h"
#include "terminal/TerminalPane.h"
#include "terminal/TestStreams.h"

namespace zarivok {
namespace {

using namespace std::string_literals;

// One call on the pane: a run in a colour, or (replace) ReplaceAll with the text.
struct Step {
    std::string text;  // UTF-8
    ChatColour colour = 0;
    bool replace = false;
};

struct Case {
    const char* name;
    std::vector<Step> steps;
    std::string expected;
};

QString TextOf(const Step& step) {
    return QString::fromUtf8(step.text.data(), static_cast<qsizetype>(step.text.size()));
}

void Apply(ChatPane& pane, const Step& step) {
    if (step.replace) {
        pane.ReplaceAll(TextOf(step));
    } else {
        pane.AppendRun(TextOf(step), step.colour);
    }
}

const std::string kRedOn = "\x1b[38;2;255;0;0m";
const std::string kWhiteOn = "\x1b[38;2;255;255;255m";
const std::string kOff = "\x1b[0m";

// Each case also holds for the day log, which keeps the same lines without the colours.
TEST(TerminalPaneTest, WritesRunsAsColouredSelfContainedLines) {
    const Case cases[] = {
        {.name = "one red line",
         .steps = {{"[t] hi\r\n", kRed}},
         .expected = "\x1b[38;2;255;0;0m[t] hi\x1b[0m\n"},
        {.name = "two runs make one line",
         .steps = {{"[9:05:03 PM] <Bob> ", kYellow}, {"hello\r\n", kWhite}},
         .expected =
             "\x1b[38;2;255;255;0m[9:05:03 PM] <Bob> \x1b[0m" + kWhiteOn + "hello" + kOff + "\n"},
        {.name = "colour bytes are 0x00BBGGRR",
         .steps = {{"c", kCyan}, {"g", kGrey}, {"k", kBlack}, {"x", 0x00336699}},
         .expected = "\x1b[38;2;0;255;255mc" + kOff + "\x1b[38;2;128;128;128mg" + kOff +
                     "\x1b[38;2;0;0;0mk" + kOff + "\x1b[38;2;153;102;51mx" + kOff},
        {.name = "CR LF in the middle restarts the colour",
         .steps = {{"one\r\ntwo\r\n", kRed}},
         .expected = kRedOn + "one" + kOff + "\n" + kRedOn + "two" + kOff + "\n"},
        {.name = "empty pieces get no sequences",
         .steps = {{"", kRed}, {"\r\n", kRed}, {"a\r\n\r\nb", kWhite}},
         .expected = "\n" + kWhiteOn + "a" + kOff + "\n\n" + kWhiteOn + "b" + kOff},
        {.name = "bare CR and bare LF end lines",
         .steps = {{"a\rb\nc\r\r\nd", kRed}},
         .expected = kRedOn + "a" + kOff + "\n" + kRedOn + "b" + kOff + "\n" + kRedOn + "c" + kOff +
                     "\n\n" + kRedOn + "d" + kOff},
        {.name = "CR LF split over two runs ends one line",
         .steps = {{"a\r", kRed}, {"", kRed}, {"\nb\r\n", kWhite}},
         .expected = kRedOn + "a" + kOff + "\n" + kWhiteOn + "b" + kOff + "\n"},
        {.name = "LF after a CR that was not at a run's end is a line of its own",
         .steps = {{"a\rb", kRed}, {"\nc", kRed}},
         .expected = kRedOn + "a" + kOff + "\n" + kRedOn + "b" + kOff + "\n" + kRedOn + "c" + kOff},
        {.name = "control characters are made visible",
         .steps = {{"\x1b[2J\x1b]0;x\x07 \x08\x7f nul\0!\tend\r\n"s, kRed}},
         .expected = kRedOn + "^[[2J^[]0;x^G ^H^? nul^@!\tend" + kOff + "\n"},
        {.name = "C1 controls become U+FFFD",
         .steps = {{"\u009b"
                    "31m\u0085",
                    kWhite}},
         .expected = kWhiteOn +
                     "\uFFFD"
                     "31m\uFFFD" +
                     kOff},
        {.name = "UTF-8 text passes through",
         .steps = {{"Grüße 中文 😀\r\n", kWhite}},
         .expected = kWhiteOn + "Grüße 中文 😀" + kOff + "\n"},
        {.name = "auto-clear text is uncoloured and follows what was printed",
         .steps = {{"x\r\n", kRed}, {"Chat has been Auto-Cleared.\r\n", 0, true}, {"y\r\n", kRed}},
         .expected =
             kRedOn + "x" + kOff + "\nChat has been Auto-Cleared.\n" + kRedOn + "y" + kOff + "\n"},
        {.name = "auto-clear text starts on a line of its own",
         .steps = {{"[t] ", kRed}, {"Chat has been Auto-Cleared.\r\n", 0, true}},
         .expected = kRedOn + "[t] " + kOff + "\nChat has been Auto-Cleared.\n"},
        {.name = "auto-clear text is escaped too",
         .steps = {{"\x1b"
                    "c\r\n",
                    0, true}},
         .expected = "^[c\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryStream out;
        TerminalPane pane(out.Stream());
        for (const Step& step : c.steps) Apply(pane, step);
        EXPECT_EQ(out.Contents(), c.expected);

        PaneLines plain(PaneLines::Colours::kLeftOut);
        QByteArray logged;
        for (const Step& step : c.steps) {
            if (step.replace) {
                plain.ReplaceAll(TextOf(step), logged);
            } else {
                plain.AppendRun(TextOf(step), step.colour, logged);
            }
        }
        EXPECT_EQ(logged, testing::WithoutColours(QByteArray::fromStdString(c.expected)));
    }
}

TEST(TerminalPaneTest, CompleteLinesReachThePipeWithoutAnExplicitFlush) {
    PipeStream out;
    ASSERT_TRUE(out.IsOpen());
    TerminalPane pane(out.Stream());

    pane.AppendRun(QStringLiteral("[t] "), kYellow);
    pane.AppendRun(QStringLiteral("hi\r\n"), kWhite);
    EXPECT_EQ(out.Arrived(), "\x1b[38;2;255;255;0m[t] " + kOff + kWhiteOn + "hi" + kOff + "\n");

    pane.AppendRun(QStringLiteral("one\r\ntwo\r\n"), kRed);
    EXPECT_EQ(out.Arrived(), kRedOn + "one" + kOff + "\n" + kRedOn + "two" + kOff + "\n");

    pane.ReplaceAll(QStringLiteral("Chat has been Auto-Cleared.\r\n"));
    EXPECT_EQ(out.Arrived(), "Chat has been Auto-Cleared.\n");
}

// The lines of one arrival are held (holds nest) and reach the pipe, unchanged and in order, at
// the outermost release; a line written outside any hold goes at once again.
TEST(TerminalPaneTest, HeldLinesReachThePipeAtTheOutermostRelease) {
    PipeStream out;
    ASSERT_TRUE(out.IsOpen());
    TerminalPane pane(out.Stream());

    pane.Hold();
    pane.Hold();
    pane.AppendRun(QStringLiteral("one\r\n"), kRed);
    pane.ReplaceAll(QStringLiteral("Chat has been Auto-Cleared.\r\n"));
    pane.Release();
    EXPECT_EQ(out.Arrived(), "") << "still held by the outer hold";
    pane.AppendRun(QStringLiteral("two\r\n"), kRed);
    pane.Release();
    EXPECT_EQ(out.Arrived(), kRedOn + "one" + kOff + "\nChat has been Auto-Cleared.\n" + kRedOn +
                                 "two" + kOff + "\n");

    pane.AppendRun(QStringLiteral("three\r\n"), kRed);
    EXPECT_EQ(out.Arrived(), kRedOn + "three" + kOff + "\n");
}

}  // namespace
}  // namespace zarivok
