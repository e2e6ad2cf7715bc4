#include <gtest/gtest.h>

#include <QString>

#include "display/Alerts.h"

namespace zarivok {
namespace {

TEST(AlertsTest, TheBotsNameCountsOnlyAsAWholeWordInAnyLetterCase) {
    struct Case {
        const char* text;
        const char* name;
        bool names;
    } const cases[] = {
        {"bot1", "bot1", true},
        {"hey BOT1, there?", "bot1", true},
        {"@bot1: hi", "bot1", true},
        {"bot12 and robot1", "bot1", false},
        {"robot1 then bot1", "bot1", true},
        {"my_bot1", "bot1", false},
        {"hi [xX]Ace!", "[xX]Ace", true},
        {"hi a[xX]Ace", "[xX]Ace", true},  // a name's own sign is its edge
        {"nothing here", "bot1", false},
        {"bot1", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(NamesWholeWord(QString::fromLatin1(c.text), QString::fromLatin1(c.name)),
                  c.names);
    }
}

}  // namespace
}  // namespace zarivok
