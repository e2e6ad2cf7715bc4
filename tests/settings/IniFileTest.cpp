#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "settings/IniFile.h"

namespace zarivok {
namespace {

QString WriteFile(const QTemporaryDir& dir, const QByteArray& bytes) {
    const QString path = dir.filePath(QStringLiteral("Config.ini"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

struct Lookup {
    const char* section;
    const char* key;
    QString value;
};

TEST(IniFileTest, MissingFileGivesEmptyValues) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Config.ini"));
    EXPECT_EQ(ReadSetting(path, QStringLiteral("Login"), QStringLiteral("User")), QString());
    EXPECT_EQ(ReadSetting(path, QStringLiteral("Options"), QStringLiteral("Trigger")), QString());
}

TEST(IniFileTest, FollowsTheLookupRules) {
    const IniFile ini = IniFile::Parse(
        "Orphan=before any section\r\n"
        "  [ Login ]  \r\n"
        "user=alice\r\n"
        "  Pass \t=\t s3=cret  \r\n"
        "\tServer=    \r\n"
        "Home\r\n"
        "Home=ignored, Home above has no value\r\n"
        "USER=second alice\r\n"
        "\r\n"
        "[OPTIONS]\n"
        "AutoClear At Line=     500\n"
        "Trigger = ! \r"
        "IdleMsg=say  two  blanks\r"
        "[Login]\r\n"
        "Extra=in a repeated section\r\n"
        "[Empty]\r\n"
        "Key=\r\n");
    const Lookup lookups[] = {
        {"Login", "User", "alice"},
        {"LOGIN", "uSeR", "alice"},
        {"Login", "Pass", "s3=cret"},
        {"Login", "Server", ""},
        {"Login", "Home", ""},
        {"Login", "Orphan", ""},
        {"Login", "Extra", ""},
        {"Login", "Missing", ""},
        {"Options", "autoclear at line", "500"},
        {"Options", "Trigger", "!"},
        {"Options", "IdleMsg", "say  two  blanks"},
        {"Options", "AutoClear At", ""},
        {"Empty", "Key", ""},
        {"Nowhere", "User", ""},
        {"", "Orphan", ""},
    };
    for (const Lookup& lookup : lookups) {
        SCOPED_TRACE(std::string(lookup.section) + "/" + lookup.key);
        EXPECT_EQ(ini.Value(QString::fromLatin1(lookup.section), QString::fromLatin1(lookup.key)),
                  lookup.value);
    }
}

TEST(IniFileTest, CutsLongValuesTo127Characters) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray longValue(200, 'x');
    const QString path = WriteFile(dir, "[Options]\r\nIdleMsg=  " + longValue + "  \r\n");
    EXPECT_EQ(ReadSetting(path, QStringLiteral("Options"), QStringLiteral("IdleMsg")),
              QString(127, u'x'));

    // A character outside the Basic Multilingual Plane counts once and is never split.
    const QByteArray wide = QByteArray(126, 'a') + "\xF0\x9F\x98\x80" + "bc";
    const QString expected = QString(126, u'a') + QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(IniFile::Parse("[Options]\r\nIdleMsg=" + wide)
                  .Value(QStringLiteral("Options"), QStringLiteral("IdleMsg")),
              expected);
}

TEST(IniFileTest, ReadsUtf8Windows1252AndBom) {
    struct Case {
        const char* name;
        QByteArray bytes;
        QString user;
    };
    const Case cases[] = {
        {"utf-8", "[Login]\r\nUser=J\xC3\xB6rg \xE2\x82\xAC\r\n",
         QString::fromUtf8("J\u00f6rg \u20ac")},
        {"windows-1252", "[Login]\r\nUser=J\xF6rg \x80\r\n", QString::fromUtf8("J\u00f6rg \u20ac")},
        {"utf-8 with bom", "\xEF\xBB\xBF[Login]\r\nUser=J\xC3\xB6rg\r\n",
         QString::fromUtf8("J\u00f6rg")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IniFile::Parse(c.bytes).Value(QStringLiteral("Login"), QStringLiteral("User")),
                  c.user);
    }
}

}  // namespace
}  // namespace zarivok
