#include <gtest/gtest.h>

#include "protection/BanList.h"

namespace zarivok {
namespace {

// The reason of the entry the name matches, "-" when it matches none.
QString Matched(const BanList& list, QStringView name) {
    const BanEntry* entry = list.Match(name);
    return entry ? entry->reason : QStringLiteral("-");
}

TEST(BanListTest, PatternsMatchWholeNamesIgnoringLetterCase) {
    const QString manyA(5000, u'a');
    const struct {
        QString pattern;
        QString name;
        bool matches;
    } cases[] = {
        {"alice", "alice", true},
        {"alice", "ALICE", true},
        {"alice", "alice2", false},
        {"alice", "malice", false},
        {"", "", true},
        {"", "a", false},
        {"*", "", true},
        {"*", "Anybody[at]all", true},
        {"**", "x", true},
        {"a*", "a", true},
        {"*a", "ba", true},
        {"*a", "ab", false},
        {"?", "", false},
        {"?", "x", true},
        {"??", "x", false},
        {"a?c", "ABC", true},
        {"a?c", "ac", false},
        {"a*b*c", "axxbyyc", true},
        {"a*b*c", "abcbc", true},
        {"a*b*c", "abcab", false},
        {"a*b*c", "acb", false},
        // The first star must give back what it took too early.
        {"*ab", "aab", true},
        {"*a?", "aab", true},
        {"*.bot", "x.bot", true},
        {"a.b", "axb", false},
        {"[x]*", "[X]y", true},
        {QString::fromUtf8("J\u00d6RG*"), QString::fromUtf8("j\u00f6rgen"), true},
        {QString::fromUtf8("\u03a3\u0391\u03a3"), QString::fromUtf8("\u03c3\u03b1\u03c2"), true},
        {"k*", QString::fromUtf8("\u212a9"), true},
        // A surrogate pair is one character.
        {"a?b", QString::fromUtf8("a\U0001F600b"), true},
        {"?", QString::fromUtf8("\U0001F600"), true},
        {"??", QString::fromUtf8("\U0001F600"), false},
        {"*?", QString::fromUtf8("\U0001F600"), true},
        {"*?b", QString::fromUtf8("\U0001F600\U0001F600b"), true},
        {QString::fromUtf8("\U00010400?"), QString::fromUtf8("\U00010428x"), true},
        {"*a*a*a*a*a*b", manyA, false},
        {"*a*a*a*a*a*b", manyA + u'b', true},
        {"*a*a*a*a*a*", manyA, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 / %2").arg(c.pattern, c.name.left(20)).toStdString());
        EXPECT_EQ(BanList::PatternMatches(c.pattern, c.name), c.matches);
        // The same through the list, whose index splits exact patterns from wildcard ones.
        BanList list;
        list.SetEntries({{c.pattern, "why"}});
        EXPECT_EQ(Matched(list, c.name), c.matches ? "why" : "-");
    }
}

TEST(BanListTest, MatchGivesTheFirstMatchingEntryInListOrder) {
    BanList list;
    list.SetEntries({
        {"*bot", "bots"},
        {"EvilBot", "evil"},
        {"Evil*", "evil family"},
        {"alice", "alice"},
        {"a?ice", "look-alike"},
        {"bob", "first bob"},
        {"BOB", "second bob"},
    });
    const struct {
        const char16_t* name;
        const char* reason;
    } cases[] = {
        {u"evilbot", "bots"},     {u"EVILBOB", "evil family"}, {u"Alice", "alice"},
        {u"abice", "look-alike"}, {u"bob", "first bob"},       {u"carol", "-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.name).toStdString());
        EXPECT_EQ(Matched(list, c.name), c.reason);
    }
}

TEST(BanListTest, ALongListFindsEachNameAndNothingElse) {
    QList<BanEntry> entries;
    for (int i = 0; i < 10000; ++i) {
        entries.append({QStringLiteral("Name%1").arg(i), QString::number(i)});
        if (i % 1000 == 999)
            entries.append({QStringLiteral("*wild%1").arg(i), QStringLiteral("w")});
    }
    BanList list;
    list.SetEntries(entries);
    for (const int i : {0, 4321, 9999}) {
        EXPECT_EQ(Matched(list, QStringLiteral("NAME%1").arg(i)), QString::number(i));
    }
    EXPECT_EQ(Matched(list, u"x.WILD9999"), "w");
    EXPECT_EQ(Matched(list, u"Name10000"), "-");
}

TEST(BanListTest, AddKeepsOnePatternAndUpdatesItsReason) {
    BanList list;
    EXPECT_TRUE(list.Add("Evil*", "spam"));
    EXPECT_TRUE(list.Add("Bob", "flood"));
    EXPECT_TRUE(list.Add("EVIL*", "still spam"));
    EXPECT_TRUE(list.Add("bob", ""));
    EXPECT_TRUE(list.Add("carol", "new"));
    EXPECT_FALSE(list.Add("", "nobody"));
    EXPECT_EQ(list.Entries(),
              (QList<BanEntry>{{"Evil*", "still spam"}, {"Bob", ""}, {"carol", "new"}}));
    EXPECT_EQ(Matched(list, u"Carol"), "new");
    EXPECT_EQ(Matched(list, u"evilcarol"), "still spam");
}

TEST(BanListTest, RemoveTakesThePatternIgnoringCaseAndKeepsTheRestFindable) {
    BanList list;
    list.SetEntries({{"Evil*", "e"}, {"bob", "b1"}, {"a?c", "abc"}, {"BOB", "b2"}, {"dave", "d"}});
    EXPECT_TRUE(list.Remove(u"evil*"));
    EXPECT_TRUE(list.Remove(u"Bob"));
    EXPECT_FALSE(list.Remove(u"bob"));
    EXPECT_FALSE(list.Remove(u"a*c"));
    EXPECT_EQ(list.Entries(), (QList<BanEntry>{{"a?c", "abc"}, {"dave", "d"}}));
    EXPECT_EQ(Matched(list, u"evilx"), "-");
    EXPECT_EQ(Matched(list, u"bob"), "-");
    EXPECT_EQ(Matched(list, u"DAVE"), "d");
    EXPECT_EQ(Matched(list, u"axc"), "abc");
    // An entry added after a removal is found at its new place.
    EXPECT_TRUE(list.Add("erin", "e2"));
    EXPECT_EQ(Matched(list, u"Erin"), "e2");
}

TEST(BanListTest, LinesSplitAtTheFirstBlankIntoPatternAndReason) {
    const struct {
        QString line;
        QList<BanEntry> entries;
    } cases[] = {
        {"bob", {{"bob", ""}}},
        {"bob spamming the channel", {{"bob", "spamming the channel"}}},
        {"bob   spaced  reason  ", {{"bob", "spaced  reason"}}},
        {"bob\tTabbed", {{"bob", "Tabbed"}}},
        {"bob ", {{"bob", ""}}},
        {"*x?", {{"*x?", ""}}},
        {QString::fromUtf8("J\u00f6rg Gr\u00fcnde"),
         {{QString::fromUtf8("J\u00f6rg"), QString::fromUtf8("Gr\u00fcnde")}}},
        {"", {}},
        {" leading blank", {}},
        {"\tleading tab", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        EXPECT_EQ(BanList::ParseLines({c.line}), c.entries);
    }
}

TEST(BanListTest, EntriesBecomeLinesThatReadBackTheSame) {
    const QList<BanEntry> entries = {{"bob", ""}, {"*bot", "bots are not welcome"}, {"a?c", "x"}};
    const QStringList lines = BanList::ToLines(entries);
    EXPECT_EQ(lines, (QStringList{"bob", "*bot bots are not welcome", "a?c x"}));
    EXPECT_EQ(BanList::ParseLines(lines), entries);
}

}  // namespace
}  // namespace zarivok
