#include <gtest/gtest.h>

#include "base/TextCodec.h"

namespace zarivok {
namespace {

struct DecodeCase {
    const char* name;
    QByteArray bytes;
    QString text;
};

TEST(TextCodecTest, DecodesUtf8WhereValidAndWindows1252Otherwise) {
    const DecodeCase cases[] = {
        {"ascii", "hello", "hello"},
        {"utf8", "h\xc3\xa9llo \xe2\x9c\x93", QString::fromUtf8("h\u00e9llo \u2713")},
        {"four-byte utf8", "\xf0\x9f\x98\x80", QString::fromUtf8("\U0001F600")},
        {"raw latin-1 byte", "caf\xe9 latin-1 byte", QString::fromUtf8("caf\u00e9 latin-1 byte")},
        {"windows-1252 quotes and euro", "\x93hi\x94 \x80",
         QString::fromUtf8("\u201chi\u201d \u20ac")},
        {"undefined 1252 byte keeps its value", "\x81", QString(QChar(0x81))},
        {"overlong utf8 is not utf8", "\xc0\xaf", QString::fromUtf8("\u00c0\u00af")},
        {"encoded surrogate is not utf8", "\xed\xa0\x80", QString::fromUtf8("\u00ed\u00a0\u20ac")},
        {"mixed line falls back whole", "\xc3\xa9 \xe9", QString::fromUtf8("\u00c3\u00a9 \u00e9")},
        {"latin-1 letter at the end", "caf\xe9", QString::fromUtf8("caf\u00e9")},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecodeText(c.bytes), c.text);
    }
}

TEST(TextCodecTest, ACutLineKeepsItsUtf8) {
    EXPECT_EQ(DecodeText("ok \xe2\x9c", true), QString::fromUtf8("ok \ufffd"));
    EXPECT_EQ(DecodeText("ok \xe2\x9c", false), QString::fromUtf8("ok \u00e2\u0153"));
    EXPECT_EQ(DecodeText("caf\xe9 x", true), QString::fromUtf8("caf\u00e9 x"));
}

TEST(TextCodecTest, Windows1252RoundTripsEveryByte) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
    bool ok = false;
    EXPECT_EQ(EncodeWindows1252(DecodeWindows1252(all), &ok), all);
    EXPECT_TRUE(ok);
    EXPECT_EQ(EncodeWindows1252(QString::fromUtf8("\u2713"), &ok), QByteArray("?"));
    EXPECT_FALSE(ok);
}

TEST(TextCodecTest, SendsUtf8) {
    EXPECT_EQ(EncodeText(QString::fromUtf8("\u00fcn\u2713")), QByteArray("\xc3\xbcn\xe2\x9c\x93"));
}

}  // namespace
}  // namespace zarivok
