#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "settings/Settings.h"

namespace zarivok {
namespace {

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString Path() const { return dir_.filePath(QStringLiteral("Config.ini")); }

    void Write(const QByteArray& bytes) const {
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir dir_;
};

TEST_F(SettingsTest, LoadsAllTenValues) {
    Write(
        "[Login]\r\nUser=alice\r\nPass=pw\r\nServer=chat.example.net\r\nHome=Op Home\r\n\r\n"
        "[Options]\r\nTrigger=!\r\nReconnect=+7000\r\nIdleMsg=still here\r\n"
        "Enable AutoClear=1\r\nAutoClear At Line= -32768 \r\nEnable Notifications=+0\r\n");
    Settings settings;
    EXPECT_EQ(LoadSettings(Path(), settings), QStringList());
    EXPECT_EQ(settings.strUser, "alice");
    EXPECT_EQ(settings.strPass, "pw");
    EXPECT_EQ(settings.strServer, "chat.example.net");
    EXPECT_EQ(settings.strHome, "Op Home");
    EXPECT_EQ(settings.strTrigger, "!");
    EXPECT_EQ(settings.strReconnect, "+7000");
    EXPECT_EQ(settings.strIdleMsg, "still here");
    EXPECT_EQ(settings.intEnableAutoClear, 1);
    EXPECT_EQ(settings.intAutoClearAtLine, -32768);
    EXPECT_EQ(settings.intEnableNotifications, 0);
}

TEST_F(SettingsTest, NoFileEmptiesTheTextsAndReportsEachFallback) {
    Settings settings{"u", "p", "s", "h", "t", "1", "i", 5, 6, 7};
    const QStringList problems = LoadSettings(Path(), settings);
    EXPECT_EQ(problems, QStringList({
                            "Config.ini: \"Reconnect\" is missing; using 10000.",
                            "Config.ini: \"Enable AutoClear\" is missing; using 0.",
                            "Config.ini: \"AutoClear At Line\" is missing; using 500.",
                            "Config.ini: \"Enable Notifications\" is missing; using 1.",
                        }));
    for (const QString* text : {&settings.strUser, &settings.strPass, &settings.strServer,
                                &settings.strHome, &settings.strTrigger, &settings.strIdleMsg}) {
        EXPECT_EQ(*text, QString());
    }
    EXPECT_EQ(settings.strReconnect, "10000");
    EXPECT_EQ(settings.intEnableAutoClear, 0);
    EXPECT_EQ(settings.intAutoClearAtLine, 500);
    EXPECT_EQ(settings.intEnableNotifications, 1);
}

struct NumberCase {
    const char* key;
    const char* text;     // nullptr: the key line is left out
    const char* problem;  // nullptr: the value is accepted
    int value;            // the value taken
};

TEST_F(SettingsTest, NumericKeysAcceptWholeNumbersInRangeAndFallBackOtherwise) {
    const NumberCase cases[] = {
        {"Enable AutoClear", "32767", nullptr, 32767},
        {"Enable AutoClear", "-0", nullptr, 0},
        {"Enable AutoClear", "32768",
         "Config.ini: \"Enable AutoClear\" is \"32768\", not a whole number from -32768 to 32767; "
         "using 0.",
         0},
        {"Enable AutoClear", "", "Config.ini: \"Enable AutoClear\" is missing; using 0.", 0},
        {"AutoClear At Line", "+5", nullptr, 5},
        {"AutoClear At Line", "0012", nullptr, 12},
        {"AutoClear At Line", "12x",
         "Config.ini: \"AutoClear At Line\" is \"12x\", not a whole number from -32768 to 32767; "
         "using 500.",
         500},
        {"AutoClear At Line", "-32769",
         "Config.ini: \"AutoClear At Line\" is \"-32769\", not a whole number from -32768 to "
         "32767; using 500.",
         500},
        {"AutoClear At Line", "1.5",
         "Config.ini: \"AutoClear At Line\" is \"1.5\", not a whole number from -32768 to 32767; "
         "using 500.",
         500},
        {"AutoClear At Line", nullptr, "Config.ini: \"AutoClear At Line\" is missing; using 500.",
         500},
        {"Enable Notifications", "0", nullptr, 0},
        {"Enable Notifications", "+",
         "Config.ini: \"Enable Notifications\" is \"+\", not a whole number from -32768 to 32767; "
         "using 1.",
         1},
        {"Enable Notifications", "1 0",
         "Config.ini: \"Enable Notifications\" is \"1 0\", not a whole number from -32768 to "
         "32767; using 1.",
         1},
        {"Reconnect", "0", nullptr, 0},
        {"Reconnect", "65535", nullptr, 65535},
        {"Reconnect", "65536",
         "Config.ini: \"Reconnect\" is \"65536\", not a whole number from 0 to 65535; using 10000.",
         10000},
        {"Reconnect", "-1",
         "Config.ini: \"Reconnect\" is \"-1\", not a whole number from 0 to 65535; using 10000.",
         10000},
        {"Reconnect", "0x10",
         "Config.ini: \"Reconnect\" is \"0x10\", not a whole number from 0 to 65535; using 10000.",
         10000},
        {"Reconnect", "99999999999999999999",
         "Config.ini: \"Reconnect\" is \"99999999999999999999\", not a whole number from 0 to "
         "65535; using 10000.",
         10000},
        {"Reconnect", nullptr, "Config.ini: \"Reconnect\" is missing; using 10000.", 10000},
        // Blanks of any kind around the digits: the reconnect timer must get the number too.
        {"Reconnect", "5000\xC2\xA0", nullptr, 5000},
        {"Reconnect", "\xE3\x80\x80+0700", nullptr, 700},
        {"Reconnect", "\v300", nullptr, 300},
    };
    const char* const numericKeys[] = {"Reconnect", "Enable AutoClear", "AutoClear At Line",
                                       "Enable Notifications"};
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " = " + (c.text ? c.text : "(no line)"));
        // The other three keys hold valid numbers, so only the key under test can complain.
        QByteArray file = "[Options]\r\n";
        for (const char* key : numericKeys) {
            if (qstrcmp(key, c.key) != 0) file += QByteArray(key) + "=2\r\n";
        }
        if (c.text) file += QByteArray(c.key) + "=" + c.text + "\r\n";
        Write(file);

        Settings settings;
        const QStringList problems = LoadSettings(Path(), settings);
        EXPECT_EQ(problems, c.problem ? QStringList{QString::fromUtf8(c.problem)} : QStringList());
        const QString key = QString::fromLatin1(c.key);
        if (key == "Reconnect") {
            EXPECT_EQ(settings.strReconnect,
                      c.problem ? QString::number(c.value) : QString::fromUtf8(c.text));
            EXPECT_EQ(ReconnectIntervalMs(settings), c.value);
        } else {
            const int taken = key == "Enable AutoClear"    ? settings.intEnableAutoClear
                              : key == "AutoClear At Line" ? settings.intAutoClearAtLine
                                                           : settings.intEnableNotifications;
            EXPECT_EQ(taken, c.value);
        }
    }
}

}  // namespace
}  // namespace zarivok
