#include <gtest/gtest.h>

#include <algorithm>
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

// A thousand phrases of ideographs: thousands of distinct characters, each of which once took a
// table column for every state.
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
    EXPECT_FALSE(matcher.ContainsAny(phrases[500].chopped(1)));
    int found = 0;
    for (int t = 0; t < 400; ++t) {
        // Half the texts run into a phrase's beginning, so that deep states are visited, and
        // half of those hold it whole.
        const QString& phrase = phrases[std::uniform_int_distribution<qsizetype>(0, 999)(random)];
        QString text = ideographs(5);
        if (t % 2 == 0) {
            text += t % 4 == 0
                        ? phrase
                        : phrase.first(std::uniform_int_distribution<qsizetype>(1, 9)(random));
            text += ideographs(3);
        }
        const bool expected = NaiveContainsAny(phrases, text);
        ASSERT_EQ(matcher.ContainsAny(text), expected) << t;
        found += expected ? 1 : 0;
    }
    EXPECT_GT(found, 50);
    EXPECT_FALSE(matcher.ContainsAny(u"plain latin text"));
}

// So many states, over so many classes, that only the shallowest have a table row: lines that
// run deep into the phrases go on through the trie, in either case of letters.
TEST(PhraseMatcherTest, AListPastTheTableAgreesWithLookingForEachPhrase) {
    QString letters;
    for (char16_t c = u'!'; c <= u'~'; ++c) letters += QChar(c);
    for (char16_t c = 0x0410; c < 0x0410 + 64; ++c) letters += QChar(c);   // Cyrillic, both cases
    for (char16_t c = 0x0391; c < 0x0391 + 25; ++c) letters += QChar(c);   // Greek capitals
    for (char16_t c = 0x4E00; c < 0x4E00 + 200; ++c) letters += QChar(c);  // ideographs
    std::mt19937 random(99);
    const auto letter = [&] {
        return letters[std::uniform_int_distribution<qsizetype>(0, letters.size() - 1)(random)];
    };
    QStringList phrases;
    QStringList foldedPhrases;
    for (int i = 0; i < 6000; ++i) {
        QString phrase;
        for (int k = 0; k < 30; ++k) phrase += letter();
        phrases.append(phrase);
        foldedPhrases.append(phrase.toCaseFolded());
    }
    const PhraseMatcher matcher(phrases);
    int found = 0;
    for (int t = 0; t < 600; ++t) {
        const QString& phrase = phrases[std::uniform_int_distribution<qsizetype>(0, 5999)(random)];
        QString text = QString(letter()) + letter();
        const qsizetype length =
            t % 2 == 0 ? 30 : std::uniform_int_distribution<qsizetype>(20, 29)(random);
        text += t % 3 == 0 ? phrase.first(length).toUpper() : phrase.first(length);
        if (t % 5 == 0) text += letter();
        const QString folded = text.toCaseFolded();
        const bool expected = std::any_of(foldedPhrases.cbegin(), foldedPhrases.cend(),
                                          [&](const QString& p) { return folded.contains(p); });
        ASSERT_EQ(matcher.ContainsAny(text), expected) << text.toStdString();
        found += expected ? 1 : 0;
    }
    EXPECT_GT(found, 200);
    EXPECT_LT(found, 400);
}

}  // namespace
}  // namespace zarivok
