#include <gtest/gtest.h>

#include <QFile>
#include <algorithm>
#include <ostream>

#include "display/RtfLog.h"

namespace zarivok {

// Failure messages show the runs, with controls and non-ASCII as code points.
void PrintTo(const RtfRun& run, std::ostream* os) {
    *os << "{0x" << std::hex << run.colour << std::dec << " \"";
    for (const QChar ch : run.text) {
        const char16_t unit = ch.unicode();
        if (unit >= 0x20 && unit < 0x7F) {
            *os << static_cast<char>(unit);
        } else {
            *os << "<U+" << std::hex << static_cast<unsigned>(unit) << std::dec << ">";
        }
    }
    *os << "\"}";
}

namespace {

using Runs = QList<RtfRun>;

const QString kFixtures = QStringLiteral(ZARIVOK_FIXTURES_DIR "/rtf/");

QString FromUnits(std::initializer_list<char16_t> units) {
    QString text;
    for (const char16_t unit : units) text.append(QChar(unit));
    return text;
}

QByteArray ReadFixture(const QString& name) {
    QFile file(kFixtures + name);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

bool AllSevenBit(const QByteArray& bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Each case says what the pane keeps of the runs, so MergeRuns is checked and not only trusted.
TEST(RtfLogTest, RoundTripKeepsWhatMergeRunsKeeps) {
    struct Case {
        const char* name;
        Runs runs;
        Runs kept;
    };
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    const Case cases[] = {
        {"nothing: what Clear saves", {}, {}},
        {"only empty runs", {{"", kRed}, {"", kBlack}}, {}},
        {"one line", {{"hello\r\n", kYellow}}, {{"hello\r\n", kYellow}}},
        {"markup characters",
         {{"\\par {\\cf1 x} \\'41 \\u65? \\\\", kGrey}},
         {{"\\par {\\cf1 x} \\'41 \\u65? \\\\", kGrey}}},
        {"lone CR, lone LF, LF CR, CR CR LF",
         {{"a\rb\nc\n\rd\r\r\ne\r", kGreen}},
         {{"a\rb\nc\n\rd\r\r\ne\r", kGreen}}},
        {"a CR LF split between two colours",
         {{"one\r", kRed}, {"\ntwo", kCyan}},
         {{"one\r", kRed}, {"\ntwo", kCyan}}},
        {"a CR LF split between two runs of one colour",
         {{"one\r", kRed}, {"\ntwo", kRed}},
         {{"one\r\ntwo", kRed}}},
        {"tab, NUL and the other controls",
         {{FromUnits({0, 1, 8, 9, 11, 12, 0x1B, 0x1F, 0x7F}) + "\tx", kWhite}},
         {{FromUnits({0, 1, 8, 9, 11, 12, 0x1B, 0x1F, 0x7F}) + "\tx", kWhite}}},
        {"spaces where a control word ends",
         {{" lead", kRed}, {"\t word\r\n  \r\n", kWhite}},
         {{" lead", kRed}, {"\t word\r\n  \r\n", kWhite}}},
        {"Windows-1252 letters and its five holes",
         {{QString::fromUtf8("café € Š Ÿ ÿ ¤ ") + FromUnits({0x81, 0x8D, 0x8F, 0x90, 0x9D}), kRed}},
         {{QString::fromUtf8("café € Š Ÿ ÿ ¤ ") + FromUnits({0x81, 0x8D, 0x8F, 0x90, 0x9D}),
           kRed}}},
        {"C1 controls that Windows-1252 has no byte for",
         {{FromUnits({0x80, 0x85, 0x9F}), kRed}},
         {{FromUnits({0x80, 0x85, 0x9F}), kRed}}},
        {"beyond Windows-1252, next to '?' and digits",
         {{QString::fromUtf8("Привет? 中文5 ") + emoji + "?7", kCyan}},
         {{QString::fromUtf8("Привет? 中文5 ") + emoji + "?7", kCyan}}},
        {"the signed 16-bit edges",
         {{FromUnits({0x7FFF, 0x8000, 0xFFFE, 0xFFFF, 0xFEFF}), kRed}},
         {{FromUnits({0x7FFF, 0x8000, 0xFFFE, 0xFFFF, 0xFEFF}), kRed}}},
        {"unpaired and reversed surrogates",
         {{FromUnits({0xD800, 'a', 0xDC00, 0xDBFF}), kGreen}, {FromUnits({0xDFFF, 0xD83D}), kRed}},
         {{FromUnits({0xD800, 'a', 0xDC00, 0xDBFF}), kGreen}, {FromUnits({0xDFFF, 0xD83D}), kRed}}},
        {"black is a colour of its own",
         {{"b", kBlack}, {"w", kWhite}, {"b", kBlack}},
         {{"b", kBlack}, {"w", kWhite}, {"b", kBlack}}},
        {"neighbours of one colour merge, across empty runs too",
         {{"a", kRed}, {"b", kRed}, {"", kGreen}, {"c", kRed}, {"d", kGrey}},
         {{"abc", kRed}, {"d", kGrey}}},
        {"the top byte is no part of a colour",
         {{"a", 0xFF000000}, {"b", kBlack}, {"c", 0x12ABCDEF}},
         {{"ab", kBlack}, {"c", 0xABCDEF}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MergeRuns(c.runs), c.kept);
        const QByteArray document = WriteRtf(c.runs);
        EXPECT_TRUE(document.startsWith("{\\rtf1\\ansi\\ansicpg1252")) << document.constData();
        EXPECT_TRUE(AllSevenBit(document)) << document.constData();
        EXPECT_EQ(ReadRtf(document), std::optional<Runs>(c.kept)) << document.constData();
    }
}

TEST(RtfLogTest, RoundTripOfEveryUtf16UnitAndManyColours) {
    QString all;
    for (int unit = 0; unit <= 0xFFFF; ++unit) all.append(QChar(static_cast<char16_t>(unit)));
    Runs runs;
    for (qsizetype i = 0; i < all.size(); i += 97) {
        // Over 600 colours, so that the colour table has indices past 255.
        runs.append({all.mid(i, 97), static_cast<ChatColour>((i / 97) * 0x010305 % 0x1000000)});
    }
    ASSERT_GT(runs.size(), 600);
    const Runs kept = MergeRuns(runs);
    ASSERT_EQ(kept.size(), runs.size());
    const std::optional<Runs> read = ReadRtf(WriteRtf(runs));
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(*read == kept);  // a failure here would print 65536 characters
}

TEST(RtfLogTest, ReadsDocumentsOfOtherWriters) {
    struct Case {
        const char* name;
        QByteArray document;
        Runs runs;
    };
    const QByteArray table = "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";
    const Case cases[] = {
        {"no colour table", "{\\rtf1 plain}", {{"plain", kBlack}}},
        {"colours end with their group; \\plain resets",
         "{\\rtf1" + table + "a{\\cf1 b{\\cf2 c}d}e\\cf2 f\\plain g}",
         {{"a", kBlack},
          {"b", kRed},
          {"c", 0xFF0000},
          {"d", kRed},
          {"e", kBlack},
          {"f", 0xFF0000},
          {"g", kBlack}}},
        {"colours the table does not have read as black",
         "{\\rtf1{\\colortbl\\red9\\green9\\blue9;;\\red255;}\\cf0 a\\cf1 b\\cf2 c\\cf3 d\\cf-1 e"
         "\\cf99999999999999999999 f}",
         {{"ab", kBlack}, {"c", kRed}, {"def", kBlack}}},
        {"a space ends a control word and belongs to it; CR and LF are nothing",
         "{\\rtf1\\fs20 a\\b  b\\li-200x\r\ny\\par  z\\line\r\nw\\\r\nv}",
         {{"a bxy\r\n z\r\nw\r\nv", kBlack}}},
        {"symbols",
         "{\\rtf1\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\\~\\-\\_\\tab "
         "\\{\\}\\\\}",
         {{QString::fromUtf8("—–‘’“”•\u00A0\u00AD\u2011\t{}\\"), kBlack}}},
        {"hex escapes and raw bytes are Windows-1252",
         "{\\rtf1\\ansicpg1251 \\'e9\\'E9\\'80\\'4 \xE9\\'x}",
         {{QString::fromUtf8("éé€\x04 éx"), kBlack}}},
        {"the fallback after \\u",
         "{\\rtf1 \\u8364?a\\u-3913 b\\uc2\\u8364\\'80\\'80c\\u8364 \\'80{d}\\uc0\\u1055 e"
         "{\\uc3\\u1055 xyz}\\u1055 f\\u g}",
         {{QString::fromUtf8("€a\uF0B7€c€dПeППfg"), kBlack}}},
        {"a surrogate pair as LibreOffice writes it",
         "{\\rtf1\\uc1 \\uc0 \\u55357\\uc1 \\u56832\\'3f!}",
         {{QString::fromUtf8("\xF0\x9F\x98\x80!"), kBlack}}},
        {"binary data is skipped, braces in it too",
         "{\\rtf1 a{\\*\\blob\\bin5 }{\\x}}b\\bin3 {{{c\\bin-5 d}",
         {{"abcd", kBlack}}},
        {"groups without text",
         "{\\rtf1{\\fonttbl{\\f0\\fnil Arial;}}{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}"
         "{\\author A}}{\\*\\generator G;}{\\pict\\wmetafile8 0102ff}{\\header H}{\\footer F}"
         "{\\*\\unknown {nested {deeper}} text}{\\unknownword shown}"
         "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}",
         {{"shownlink", kBlack}}},
        {"nothing after the document's last brace", "{\\rtf1 a}b}c", {{"a", kBlack}}},
        {"cut off inside a group", "{\\rtf1" + table + "{\\cf1 a{\\b b", {{"ab", kRed}}},
        {"cut off inside a control word", "{\\rtf1 a\\'", {{"a", kBlack}}},
        {"cut off inside a table and an ignored group",
         "{\\rtf1 a{\\colortbl;\\red255",
         {{"a", kBlack}}},
        {"after a byte order mark and white space",
         "\xEF\xBB\xBF \r\n\t{\\rtf1 x}",
         {{"x", kBlack}}},
        {"an empty document", "{\\rtf}", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadRtf(c.document), std::optional<Runs>(c.runs));
    }
}

TEST(RtfLogTest, ReadsFilesOfCommonWriters) {
    struct Case {
        const char* file;
        Runs runs;
    };
    const Case cases[] = {
        // Written by hand in the shape Windows WordPad saves: its header, \uc1 with '?'
        // fallbacks, character formatting, and the CR LF and NUL it leaves after the last brace.
        {"wordpad.rtf",
         {{QString::fromUtf8("<ZarïVok> whispers: café € 5\r\n"), kRed},
          {"bold green ", 0x50B000},
          {QString::fromUtf8("mono Привет"), 0xFF0000},
          {"\r\n", kBlack},
          {QString::fromUtf8("“quoted” — {a\\b}\tend\r\n"), kRed}}},
        // Written by LibreOffice 7.4 (Debian 12) with "soffice --headless --convert-to rtf" from
        // a flat ODF text of two paragraphs with red, blue and bold green spans.
        {"libreoffice-7.4.rtf",
         {{QString::fromUtf8("<Zarïvok> whispers: café €5"), kRed},
          {" plain ", kBlack},
          {QString::fromUtf8("синий 中文 \xF0\x9F\x98\x80"), 0xFF0000},
          {"\r\n", kBlack},
          {"bold green", 0x008000},
          {QString::fromUtf8("\t“quoted” — done {a\\b}\r\n"), kBlack}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QByteArray document = ReadFixture(QString::fromLatin1(c.file));
        ASSERT_FALSE(document.isEmpty());
        EXPECT_EQ(ReadRtf(document), std::optional<Runs>(c.runs));
    }
}

TEST(RtfLogTest, BytesThatAreNoRtfDocument) {
    for (const QByteArray& bytes :
         {QByteArray(), QByteArray("hello"), QByteArray("{\\rt"), QByteArray("{ \\rtf1 x}"),
          QByteArray("\\rtf1 x}"), QByteArray("x{\\rtf1 x}"), QByteArray("{\\RTF1 x}"),
          QByteArray("\xEF\xBB{\\rtf1 x}"), QByteArray("\0{\\rtf1 x}", 10)}) {
        SCOPED_TRACE(bytes.toPercentEncoding().constData());
        EXPECT_EQ(ReadRtf(bytes), std::nullopt);
    }
}

TEST(RtfLogTest, NestingPastTheCapIsSkippedAndTheTextAfterItRead) {
    const int skipped = 100000;
    QByteArray document = "{\\rtf1 ";
    for (int depth = 2; depth <= kRtfMaxDepth; ++depth) document += "{\\cf1 x";
    for (int i = 0; i < skipped; ++i) document += "{y";
    document += QByteArray(skipped, '}') + "z";
    const auto read = ReadRtf(document);  // cut off: the outer groups never close
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, Runs({{QString(kRtfMaxDepth - 1, u'x') + "z", kBlack}}));
}

TEST(RtfLogTest, HugeCountsAllocateNothing) {
    // A \bin count past the end takes the rest of the bytes; a \u out of range is U+FFFD.
    const struct {
        QByteArray document;
        Runs runs;
    } cases[] = {
        {"{\\rtf1 a\\bin999999999999999999999 b}c}", {{"a", kBlack}}},
        {"{\\rtf1 a\\bin99 b}", {{"a", kBlack}}},
        {"{\\rtf1\\uc0 a\\u99999999999999 \\u-32769 \\u-99999999999999 b}",
         {{QString::fromUtf8("a\uFFFD\uFFFD\uFFFDb"), kBlack}}},
        {"{\\rtf1 \\uc999999999999\\u8364 " + QByteArray(300, 'x') + "}",
         {{QString::fromUtf8("€") + QString(300 - 255, u'x'), kBlack}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.document.left(60).constData());
        EXPECT_EQ(ReadRtf(c.document), std::optional<Runs>(c.runs));
    }
}

}  // namespace
}  // namespace zarivok
