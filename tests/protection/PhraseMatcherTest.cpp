#include <gtest/gtest.h>

#include <random>

#include "protection/PhraseMatcher.h"

namespace zarivok {
namespace {

// What the automaton must agree with: each phrase looked for on its own.
bool NaiveContainsAny(const QStringList& phrases, const QString& text) {
    const QString folded = text.toCaseFolded();
    for (const QString& phrase : phrases) {
        if (!phrase.isEmpty() && folded.contains(phrase.toCaseFolded())) return true;
    }
    return false;
}

std::string Describe(const QStringList& phrases, const QString& text) {
    return (phrases.join(u'|') + QStringLiteral(" in ") + text).toStdString();
}

TEST(PhraseMatcherTest, FindsAnyPhraseIgnoringLetterCase) {
    const QStringList heSheHers = {"he", "she", "hers"};
    const struct {
        QStringList phrases;
        QString text;
        bool found;
    } cases[] = {
        {heSheHers, "ushers", true},
        {heSheHers, "USHERS", true},
        {heSheHers, "sh", false},
        {heSheHers, "h e", false},
        {heSheHers, "", false},
        {{"hers"}, "ushe", false},
        {{"hers"}, "hehers", true},
        // A dead end in one phrase continues in another that shares its tail.
        {{"abcd", "bce"}, "xabce", true},
        {{"abcd", "bc"}, "abcx", true},
        {{"abcd", "bc"}, "xabc", true},
        {{"aab"}, "aaab", true},
        {{"longer than the text"}, "longer", false},
        {{"bad word"}, "a BAD WORD here", true},
        {{"bad word"}, "badword", false},
        {{QString::fromUtf8("sch\u00f6n")}, QString::fromUtf8("so SCH\u00d6N hier"), true},
        {{QString::fromUtf8("sch\u00f6n")}, "schon", false},
        {{QString::fromUtf8("\u03a3\u0391\u03a3")}, QString::fromUtf8("\u03c3\u03b1\u03c2!"), true},
        {{"k"}, QString::fromUtf8("\u212a"), true},
        {{QString::fromUtf8("\u212a")}, "K", true},
        {{QString::fromUtf8("\U00010400")}, QString::fromUtf8("a\U00010428b"), true},
        {{QString::fromUtf8("\U0001F600")}, QString::fromUtf8("\U0001F601"), false},
        {{QString::fromUtf8("\u00e9t\u00e9")}, QString::fromUtf8("l'\u00c9T\u00c9"), true},
        {{"", "x"}, "abc", false},
        {{"", "x"}, "abx", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Describe(c.phrases, c.text));
        ASSERT_EQ(NaiveContainsAny(c.phrases, c.text), c.found);
        EXPECT_EQ(PhraseMatcher(c.phrases).ContainsAny(c.text), c.found);
    }
}

TEST(PhraseMatcherTest, NoPhrasesMatchNothing) {
    for (const QStringList& phrases : {QStringList(), QStringList{""}, QStringList{"", ""}}) {
        SCOPED_TRACE(phrases.size());
        const PhraseMatcher matcher(phrases);
        EXPECT_TRUE(matcher.IsEmpty());
        EXPECT_FALSE(matcher.ContainsAny(u""));
        EXPECT_FALSE(matcher.ContainsAny(u"anything at all"));
    }
    EXPECT_TRUE(PhraseMatcher().IsEmpty());
    EXPECT_FALSE(PhraseMatcher().ContainsAny(u"x"));
    EXPECT_FALSE(PhraseMatcher({"x"}).IsEmpty());
}

// Few letters, so that phrases overlap and share prefixes and tails all the time: letters in
// both cases, ones whose folding leaves ASCII, and surrogate pairs with case.
TEST(PhraseMatcherTest, AgreesWithLookingForEachPhraseOnRandomTexts) {
    const QStringList alphabet = {
        "a",
        "b",
        "A",
        "B",
        " ",
        QString::fromUtf8("\u00e4"),
        QString::fromUtf8("\u00c4"),
        QString::fromUtf8("\u03c3"),
        QString::fromUtf8("\u03c2"),
        QString::fromUtf8("\u03a3"),
        QString::fromUtf8("\u212a"),
        "k",
        QString::fromUtf8("\U00010400"),
        QString::fromUtf8("\U00010428"),
        QString::fromUtf8("\U0001F600"),
    };
    std::mt19937 random(20240611);
    const auto word = [&](int shortest, int longest) {
        QString text;
        const int length = std::uniform_int_distribution<int>(shortest, longest)(random);
        for (int i = 0; i < length; ++i) {
            text +=
                alphabet[std::uniform_int_distribution<qsizetype>(0, alphabet.size() - 1)(random)];
        }
        return text;
    };
    int found = 0;
    int checked = 0;
    for (int list = 0; list < 200; ++list) {
        QStringList phrases;
        const int count = std::uniform_int_distribution<int>(1, list % 10 == 0 ? 300 : 8)(random);
        for (int i = 0; i < count; ++i) phrases.append(word(0, 6));
        const PhraseMatcher matcher(phrases);
        for (int t = 0; t < 100; ++t) {
            const QString text = word(0, 24);
            const bool expected = NaiveContainsAny(phrases, text);
            if (matcher.ContainsAny(text) != expected) {
                ADD_FAILURE() << Describe(phrases, text);
                return;
            }
            found += expected ? 1 : 0;
            ++checked;
        }
    }
    // Both answers came up often enough for the comparison to mean something.
    EXPECT_GT(found, checked / 10);
    EXPECT_LT(found, checked - checked / 10);
}

// A thousand phrases of ideographs would need a table of gigabytes: such a list is searched
// phrase by phrase, with the same answers.
TEST(PhraseMatcherTest, AListInAScriptOfThousandsOfCharactersAgreesToo) {
    std::mt19937 random(7);
    const auto ideographs = [&](int length) {
        QString text;
        for (int i = 0; i < length; ++i) {
            text += QChar(static_cast<char16_t>(
                std::uniform_int_distribution<int>(0x4E00, 0x4E00 + 3000)(random)));
        }
        return text;
    };
    QStringList phrases;
    for (int i = 0; i < 1000; ++i) phrases.append(ideographs(10));
    const PhraseMatcher matcher(phrases);
    EXPECT_TRUE(
        matcher.ContainsAny(QStringLiteral("Hi ") + phrases[500] + QStringLiteral(" there")));
    EXPECT_TRUE(matcher.ContainsAny(phrases.last()));
    for (int t = 0; t < 200; ++t) {
        const QString text = ideographs(20);
        ASSERT_EQ(matcher.ContainsAny(text), NaiveContainsAny(phrases, text)) << t;
    }
    EXPECT_FALSE(matcher.ContainsAny(u"plain latin text"));
}

}  // namespace
}  // namespace zarivok
