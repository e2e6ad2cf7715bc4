#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "terminal/TerminalTexts.h"
#include "terminal/TestStreams.h"

namespace zarivok {
namespace {

TEST(TerminalTextsTest, WritesEachChangeAsOneLine) {
    struct Case {
        const char* name;
        std::function<void(WindowTexts&)> change;
        std::string expected;
    };
    const Case cases[] = {
        {.name = "caption",
         .change = [](WindowTexts& t) { t.SetCaption(QStringLiteral("ZaRiVoK v3.0b1")); },
         .expected = "caption: ZaRiVoK v3.0b1\n"},
        {.name = "user count",
         .change = [](WindowTexts& t) { t.SetUserCount(QStringLiteral("Chat (4)")); },
         .expected = "users: Chat (4)\n"},
        {.name = "status panels",
         .change =
             [](WindowTexts& t) {
                 t.SetStatusPanel(1, QStringLiteral("Connected"));
                 t.SetStatusPanel(2, QStringLiteral("Bob in Chat"));
                 t.SetStatusPanel(3, QString());
             },
         .expected = "status1: Connected\nstatus2: Bob in Chat\nstatus3: \n"},
        {.name = "column header writes nothing",
         .change = [](WindowTexts& t) { t.SetColumnHeader(QStringLiteral("Chat")); },
         .expected = ""},
        {.name = "line breaks and controls stay inside the line",
         .change = [](WindowTexts& t) { t.SetCaption(QStringLiteral("a\r\nb\x1b]0;x\x07\u009b")); },
         .expected = "caption: a^M^Jb^[]0;x^G\uFFFD\n"},
        {.name = "UTF-8",
         .change = [](WindowTexts& t) { t.SetUserCount(QStringLiteral("Grüße (1)")); },
         .expected = "users: Grüße (1)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryStream out;
        TerminalTexts texts(out.Stream());
        c.change(texts);
        EXPECT_EQ(out.Contents(), c.expected);
    }
}

TEST(TerminalTextsTest, EachLineReachesThePipeWithoutAnExplicitFlush) {
    PipeStream out;
    ASSERT_TRUE(out.IsOpen());
    TerminalTexts texts(out.Stream());
    texts.SetStatusPanel(1, QStringLiteral("Disconnected"));
    EXPECT_EQ(out.Arrived(), "status1: Disconnected\n");
    texts.SetCaption(QStringLiteral("ZaRiVoK"));
    EXPECT_EQ(out.Arrived(), "caption: ZaRiVoK\n");
}

}  // namespace
}  // namespace zarivok
