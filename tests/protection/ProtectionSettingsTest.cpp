#include <gtest/gtest.h>

#include <array>

#include "protection/ProtectionSettings.h"
#include "settings/IniFile.h"

namespace zarivok {
namespace {

constexpr char kExample[] =
    "[Greet]\r\nEnabled=1\r\nText=Welcome to %channel%, %user%.\r\n"
    "[Lockdown]\r\nEnabled=0\r\nReason=This channel is closed.\r\n"
    "[Phrases]\r\nEnabled=1\r\nAction=kick\r\nReason=Watch your language.\r\n"
    "[Flood]\r\nEnabled=1\r\nLines=5\r\nSeconds=5\r\nAction=kick\r\nReason=Flooding.\r\n";

const QString kFile = QStringLiteral("Protection.ini");

// Every feature switched on with good values: each case below spoils one of them.
ProtectionTexts AllOn() {
    return {.greetEnabled = "1",
            .greetText = "Hi %user%",
            .lockdownEnabled = "1",
            .lockdownReason = "Closed.",
            .phrasesEnabled = "1",
            .phrasesAction = "ban",
            .phrasesReason = "Language.",
            .floodEnabled = "1",
            .floodLines = "5",
            .floodSeconds = "10",
            .floodAction = "kick",
            .floodReason = "Flooding."};
}

// Greeting, lockdown, phrases, flood.
std::array<bool, 4> FeaturesOn(const ProtectionSettings& settings) {
    return {settings.greetEnabled, settings.lockdownEnabled, settings.phrasesEnabled,
            settings.floodEnabled};
}

TEST(ProtectionSettingsTest, TheExampleFileReadsAsWritten) {
    const ProtectionTexts texts = ReadProtectionTexts(IniFile::Parse(kExample));
    const ProtectionSettingsRead read = ParseProtectionTexts(texts, kFile);
    EXPECT_EQ(read.problems, QStringList());
    const ProtectionSettings& s = read.settings;
    EXPECT_TRUE(s.greetEnabled);
    EXPECT_EQ(s.greetText, "Welcome to %channel%, %user%.");
    EXPECT_FALSE(s.lockdownEnabled);
    EXPECT_EQ(s.lockdownReason, "This channel is closed.");
    EXPECT_TRUE(s.phrasesEnabled);
    EXPECT_EQ(s.phrasesAction, ProtectionAction::kKick);
    EXPECT_EQ(s.phrasesReason, "Watch your language.");
    EXPECT_TRUE(s.floodEnabled);
    EXPECT_EQ(s.floodLines, 5);
    EXPECT_EQ(s.floodSeconds, 5);
    EXPECT_EQ(s.floodAction, ProtectionAction::kKick);
    EXPECT_EQ(s.floodReason, "Flooding.");
}

TEST(ProtectionSettingsTest, KeysAreFoundAsTheIniReaderFindsThem) {
    const ProtectionTexts texts = ReadProtectionTexts(
        IniFile::Parse("[flood]\nlines = 7 \n[GREET]\r\n\tTEXT=  Hello  \r\n[Flood]\nLines=9\n"));
    EXPECT_EQ(texts.floodLines, "7");
    EXPECT_EQ(texts.greetText, "Hello");
    EXPECT_EQ(texts.floodSeconds, "");
}

TEST(ProtectionSettingsTest, GoodValuesAreTaken) {
    using T = ProtectionTexts;
    const struct {
        QString T::*key;
        const char* value;
        std::array<bool, 4> on;
    } cases[] = {
        {&T::greetEnabled, "+1", {true, true, true, true}},
        {&T::greetEnabled, " 01 ", {true, true, true, true}},
        {&T::greetEnabled, "0", {false, true, true, true}},
        {&T::lockdownEnabled, "2", {true, false, true, true}},
        {&T::phrasesEnabled, "-1", {true, true, false, true}},
        {&T::floodLines, "1", {true, true, true, true}},
        {&T::floodLines, "1000", {true, true, true, true}},
        {&T::floodSeconds, "3600", {true, true, true, true}},
        {&T::phrasesAction, "KICK", {true, true, true, true}},
        {&T::floodAction, "Ban", {true, true, true, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        ProtectionTexts texts = AllOn();
        texts.*c.key = c.value;
        const ProtectionSettingsRead read = ParseProtectionTexts(texts, kFile);
        EXPECT_EQ(read.problems, QStringList());
        EXPECT_EQ(FeaturesOn(read.settings), c.on);
    }
    ProtectionTexts texts = AllOn();
    texts.floodLines = "1000";
    texts.floodSeconds = "3600";
    texts.floodAction = "BAN";
    texts.phrasesAction = "Kick";
    const ProtectionSettings s = ParseProtectionTexts(texts, kFile).settings;
    EXPECT_EQ(s.floodLines, 1000);
    EXPECT_EQ(s.floodSeconds, 3600);
    EXPECT_EQ(s.floodAction, ProtectionAction::kBan);
    EXPECT_EQ(s.phrasesAction, ProtectionAction::kKick);
}

TEST(ProtectionSettingsTest, EachBadValueIsOneProblemAndTurnsItsFeatureOff) {
    using T = ProtectionTexts;
    const struct {
        QString T::*key;
        const char* value;
        int feature;  // the index in FeaturesOn of the feature that goes off
        const char* problem;
    } cases[] = {
        {&T::greetEnabled, "yes", 0,
         "Protection.ini: \"Greet/Enabled\" is \"yes\", not a whole number; the greeting is off."},
        {&T::lockdownEnabled, "1.0", 1,
         "Protection.ini: \"Lockdown/Enabled\" is \"1.0\", not a whole number; the lockdown is "
         "off."},
        {&T::phrasesEnabled, "on", 2,
         "Protection.ini: \"Phrases/Enabled\" is \"on\", not a whole number; phrase protection is "
         "off."},
        {&T::phrasesAction, "mute", 2,
         "Protection.ini: \"Phrases/Action\" is \"mute\", not \"kick\" or \"ban\"; phrase "
         "protection is off."},
        {&T::floodEnabled, "0x1", 3,
         "Protection.ini: \"Flood/Enabled\" is \"0x1\", not a whole number; flood protection is "
         "off."},
        {&T::floodLines, "five", 3,
         "Protection.ini: \"Flood/Lines\" is \"five\", not a whole number from 1 to 1000; flood "
         "protection is off."},
        {&T::floodLines, "0", 3,
         "Protection.ini: \"Flood/Lines\" is \"0\", not a whole number from 1 to 1000; flood "
         "protection is off."},
        {&T::floodLines, "1001", 3,
         "Protection.ini: \"Flood/Lines\" is \"1001\", not a whole number from 1 to 1000; flood "
         "protection is off."},
        {&T::floodSeconds, "-5", 3,
         "Protection.ini: \"Flood/Seconds\" is \"-5\", not a whole number from 1 to 3600; flood "
         "protection is off."},
        {&T::floodSeconds, "99999999999", 3,
         "Protection.ini: \"Flood/Seconds\" is \"99999999999\", not a whole number from 1 to "
         "3600; flood protection is off."},
        {&T::floodAction, "kick ban", 3,
         "Protection.ini: \"Flood/Action\" is \"kick ban\", not \"kick\" or \"ban\"; flood "
         "protection is off."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        ProtectionTexts texts = AllOn();
        texts.*c.key = c.value;
        const ProtectionSettingsRead read = ParseProtectionTexts(texts, kFile);
        EXPECT_EQ(read.problems, QStringList{c.problem});
        std::array<bool, 4> on = {true, true, true, true};
        on[c.feature] = false;
        EXPECT_EQ(FeaturesOn(read.settings), on);
    }
}

// A mistake shows even while its feature is switched off, before anyone relies on it.
TEST(ProtectionSettingsTest, ABadValueOfASwitchedOffFeatureIsStillReported) {
    ProtectionTexts texts = AllOn();
    texts.floodEnabled = "0";
    texts.floodSeconds = "soon";
    const ProtectionSettingsRead read = ParseProtectionTexts(texts, QStringLiteral("P.ini"));
    EXPECT_EQ(read.problems,
              QStringList{"P.ini: \"Flood/Seconds\" is \"soon\", not a whole number from 1 to "
                          "3600; flood protection is off."});
    EXPECT_FALSE(read.settings.floodEnabled);
}

TEST(ProtectionSettingsTest, MissingValuesAreOffOrEmptyWithoutAProblem) {
    using T = ProtectionTexts;
    const struct {
        QString T::*key;
        std::array<bool, 4> on;
    } cases[] = {
        {&T::greetEnabled, {false, true, true, true}},
        {&T::greetText, {true, true, true, true}},
        {&T::lockdownEnabled, {true, false, true, true}},
        {&T::lockdownReason, {true, true, true, true}},
        {&T::phrasesEnabled, {true, true, false, true}},
        {&T::phrasesAction, {true, true, true, true}},
        {&T::phrasesReason, {true, true, true, true}},
        {&T::floodEnabled, {true, true, true, false}},
        {&T::floodLines, {true, true, true, false}},
        {&T::floodSeconds, {true, true, true, false}},
        {&T::floodAction, {true, true, true, true}},
        {&T::floodReason, {true, true, true, true}},
    };
    for (const auto& c : cases) {
        ProtectionTexts texts = AllOn();
        SCOPED_TRACE((texts.*c.key).toStdString());
        texts.*c.key = QString();
        const ProtectionSettingsRead read = ParseProtectionTexts(texts, kFile);
        EXPECT_EQ(read.problems, QStringList());
        EXPECT_EQ(FeaturesOn(read.settings), c.on);
    }

    const ProtectionSettingsRead none = ParseProtectionTexts({}, kFile);
    EXPECT_EQ(none.problems, QStringList());
    EXPECT_EQ(FeaturesOn(none.settings), (std::array<bool, 4>{}));
    EXPECT_EQ(none.settings.phrasesAction, ProtectionAction::kKick);
    EXPECT_EQ(none.settings.floodAction, ProtectionAction::kKick);
    EXPECT_EQ(none.settings.greetText, "");
}

TEST(ProtectionSettingsTest, TheComposedFileIsTheExampleLayout) {
    const ProtectionTexts texts = ReadProtectionTexts(IniFile::Parse(kExample));
    const ProtectionFileContent content = ComposeProtectionFile(texts);
    EXPECT_EQ(content.brokenKey, "");
    EXPECT_EQ(content.bytes, QByteArray(kExample));
}

TEST(ProtectionSettingsTest, ComposedTextsReadBackUnchanged) {
    ProtectionTexts texts = AllOn();
    texts.greetText = QString::fromUtf8("Gr\u00fc\u00df dich, %user% \u2713 = [x]");
    texts.lockdownReason = "a=b=c";
    texts.floodLines = "not a number";
    texts.phrasesAction = "";
    const ProtectionFileContent content = ComposeProtectionFile(texts);
    ASSERT_EQ(content.brokenKey, "");
    EXPECT_EQ(ReadProtectionTexts(IniFile::Parse(content.bytes)), texts);
}

TEST(ProtectionSettingsTest, ATextWithALineBreakCannotBeComposed) {
    using T = ProtectionTexts;
    const struct {
        QString T::*key;
        const char* value;
        const char* brokenKey;
    } cases[] = {
        {&T::greetText, "Hi\r\n[Lockdown]", "Greet/Text"},
        {&T::lockdownEnabled, "1\n", "Lockdown/Enabled"},
        {&T::phrasesReason, "a\rb", "Phrases/Reason"},
        {&T::floodReason, "\n", "Flood/Reason"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.brokenKey);
        ProtectionTexts texts = AllOn();
        texts.*c.key = c.value;
        const ProtectionFileContent content = ComposeProtectionFile(texts);
        EXPECT_EQ(content.bytes, QByteArray());
        EXPECT_EQ(content.brokenKey, c.brokenKey);
    }
    ProtectionTexts twoBroken = AllOn();
    twoBroken.floodAction = "kick\n";
    twoBroken.phrasesReason = "\r";
    EXPECT_EQ(ComposeProtectionFile(twoBroken).brokenKey, "Phrases/Reason");
}

TEST(ProtectionSettingsTest, AsReadBackGivesWhatTheFileWouldGiveBack) {
    const QString emoji = QString::fromUtf8("\U0001F600");
    const struct {
        QString text;
        QString readBack;
    } cases[] = {
        {"Hello", "Hello"},
        {"  Hello there \t", "Hello there"},
        {QString::fromUtf8("\u00a0no-break\u00a0"), QString::fromUtf8("\u00a0no-break\u00a0")},
        {" = x = ", "= x ="},
        {"", ""},
        {QString(200, u'a'), QString(127, u'a')},
        {QString(126, u'a') + emoji + u'b', QString(126, u'a') + emoji},
        {QString(127, u'a') + emoji, QString(127, u'a')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(AsReadBack(c.text), c.readBack);
        // Stored in that form, a text survives the file unchanged.
        ProtectionTexts texts;
        texts.greetText = AsReadBack(c.text);
        EXPECT_EQ(ReadProtectionTexts(IniFile::Parse(ComposeProtectionFile(texts).bytes)).greetText,
                  texts.greetText);
    }
}

}  // namespace
}  // namespace zarivok
