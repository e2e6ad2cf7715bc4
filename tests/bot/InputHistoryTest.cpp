#include <gtest/gtest.h>

#include "bot/InputHistory.h"
#include "bot/NameCompleter.h"

namespace zarivok {
namespace {

TEST(InputHistoryTest, KeepsTheLast100DistinctNeighboursNewestFirst) {
    InputHistory history;
    history.Add(QStringLiteral("one"));
    history.Add(QStringLiteral("one"));
    history.Add(QString());
    history.Add(QStringLiteral("two"));
    history.Add(QStringLiteral("one"));
    EXPECT_EQ(history.Lines(), (QStringList{"one", "two", "one"}));
    for (int i = 0; i < 150; ++i) history.Add(QString::number(i));
    EXPECT_EQ(history.Lines().size(), InputHistory::kMaxLines);
    EXPECT_EQ(history.Lines().front(), QStringLiteral("149"));
    EXPECT_EQ(history.Lines().back(), QStringLiteral("50"));
}

TEST(InputHistoryTest, AWalkGoesBackAndReturnsToTheDraft) {
    InputHistory history;
    HistoryWalk walk(history);
    EXPECT_FALSE(walk.Older(QStringLiteral("typing")));
    history.Add(QStringLiteral("first"));
    history.Add(QStringLiteral("second"));

    EXPECT_FALSE(walk.Newer());
    EXPECT_EQ(walk.Older(QStringLiteral("half a li")), QStringLiteral("second"));
    EXPECT_EQ(walk.Older(QStringLiteral("second")), QStringLiteral("first"));
    EXPECT_FALSE(walk.Older(QStringLiteral("first")));  // the oldest stays
    EXPECT_EQ(walk.Newer(), QStringLiteral("second"));
    EXPECT_EQ(walk.Newer(), QStringLiteral("half a li"));
    EXPECT_FALSE(walk.Walking());
    EXPECT_FALSE(walk.Newer());

    EXPECT_EQ(walk.Older(QStringLiteral("draft")), QStringLiteral("second"));
    EXPECT_EQ(walk.Older(QStringLiteral("second")), QStringLiteral("first"));
    EXPECT_EQ(walk.Restore(), QStringLiteral("draft"));
    EXPECT_FALSE(walk.Restore());
}

TEST(NameCompleterTest, CompletesThePrefixInListOrderAndCycles) {
    const QStringList names{"Zeratul", "alice", "Alistair", "bob", "[xX]Ace"};
    struct Case {
        const char* text;
        qsizetype cursor;
        std::vector<const char*> expected;  // each Tab in turn; none: Tab moves the focus
    } const cases[] = {
        {"al", 2, {"alice: ", "Alistair: ", "alice: "}},
        {"hi AL", 5, {"hi alice ", "hi Alistair ", "hi alice "}},
        {"ze what", 2, {"Zeratul: what"}},
        {"[x", 2, {"[xX]Ace: "}},
        {"hi ", 3, {}},
        {"", 0, {}},
        {"nobody", 6, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        NameCompleter completer;
        QString text = QString::fromLatin1(c.text);
        qsizetype cursor = c.cursor;
        if (c.expected.empty()) {
            EXPECT_FALSE(completer.Complete(text, cursor, names));
            continue;
        }
        for (const char* expected : c.expected) {
            const auto result = completer.Complete(text, cursor, names);
            ASSERT_TRUE(result);
            EXPECT_EQ(result->text, QString::fromLatin1(expected));
            text = result->text;
            cursor = result->cursor;
        }
    }
}

TEST(NameCompleterTest, TypingBetweenTabsStartsANewCompletion) {
    const QStringList names{"alice", "albert", "bob"};
    NameCompleter completer;
    auto first = completer.Complete(QStringLiteral("al"), 2, names);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->text, QStringLiteral("alice: "));
    EXPECT_EQ(first->cursor, 7);
    const QString typed = first->text + QStringLiteral("b");
    const auto second = completer.Complete(typed, typed.size(), names);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->text, QStringLiteral("alice: bob "));
}

}  // namespace
}  // namespace zarivok
