#include <gtest/gtest.h>

#include <QString>

#include "display/EscapeControls.h"

namespace zarivok {
namespace {

// The bytes are appended after what the buffer holds, which stays.
QByteArray Escaped(const QString& text) {
    QByteArray out("kept:");
    AppendEscapedUtf8(text, out);
    return out;
}

QByteArray Expected(const QString& text) { return "kept:" + text.toUtf8(); }

TEST(EscapeControlsTest, ShowsControlCharactersVisibly) {
    struct Case {
        const char16_t* text;
        const char16_t* expected;
    };
    const Case cases[] = {
        {u"\x1b[2J\x1b]0;owned\x07", u"^[[2J^[]0;owned^G"},
        {u"a\bb\x7f", u"a^Hb^?"},
        {u"\r\n\v\f", u"^M^J^K^L"},
        {u"\x1f", u"^_"},
        {u"\x9b"
         u"31m \x85 \x80 \x9f",
         u"\xfffd"
         u"31m \xfffd \xfffd \xfffd"},
        {u"tab\there", u"tab\there"},
        {u"evil\x202egnp.exe \x2066x\x2069", u"evil\xfffdgnp.exe \xfffdx\xfffd"},
        {u"\x5e9\x5dc\x5d5\x5dd \x200f", u"\x5e9\x5dc\x5d5\x5dd \x200f"},
        {u"Gr\xfc\xdf"
         u"e \x4e2d \xa0 ~ \xd83d\xde00",
         u"Gr\xfc\xdf"
         u"e \x4e2d \xa0 ~ \xd83d\xde00"},
        // The edges of the two-, three- and four-byte forms.
        {u"\x7e\xa0\x7ff\x800\xfffd\xffff\xd800\xdc00\xdbff\xdfff",
         u"\x7e\xa0\x7ff\x800\xfffd\xffff\xd800\xdc00\xdbff\xdfff"},
        // Surrogates without their partner have no UTF-8 form.
        {u"a\xd83d", u"a\xfffd"},
        {u"\xde00\xd83d!", u"\xfffd\xfffd!"},
        {u"\xd83d\xd83d\xde00", u"\xfffd\xd83d\xde00"},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(Escaped(text), Expected(QString::fromUtf16(c.expected)));
    }
    // NUL does not fit the table's zero-terminated strings.
    EXPECT_EQ(Escaped(QString(QChar(0)) + QLatin1Char('x')), Expected(QStringLiteral("^@x")));
}

TEST(EscapeControlsTest, NoCodeUnitLeavesAControlCharacterBehind) {
    for (char32_t u = 0; u <= 0xFFFF; ++u) {
        const QString escaped =
            QString::fromUtf8(Escaped(QString(QChar(static_cast<char16_t>(u)))).mid(5));
        for (const QChar ch : escaped) {
            const char16_t out = ch.unicode();
            const bool control = (out < 0x20 && out != u'\t') || (out >= 0x7F && out <= 0x9F);
            ASSERT_FALSE(control) << "U+" << std::hex << static_cast<unsigned>(u);
        }
    }
}

}  // namespace
}  // namespace zarivok
