#include "display/RtfLog.h"

#include <QHash>
#include <charconv>
#include <iterator>

#include "base/TextCodec.h"
#include "display/RtfReader.h"

namespace zarivok {
namespace {

constexpr ChatColour kColourBits = 0xFFFFFF;

// Without a QByteArray per number: a long log holds one for every non-Windows-1252 character.
void AppendNumber(QByteArray& out, int number) {
    char digits[12];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), number).ptr;
    out.append(digits, end - digits);
}

void AppendHexByte(QByteArray& out, unsigned char byte) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out.append("\\'");
    out.append(kDigits[byte >> 4]);
    out.append(kDigits[byte & 0xF]);
}

// Every UTF-16 unit is written on its own, so a surrogate pair becomes two \u words and an
// unpaired surrogate one: the reader appends units as they come and gets the same string back.
void AppendText(QByteArray& out, const QString& text) {
    // One byte per unit, '?' where Windows-1252 has no byte for it.
    const QByteArray ansi = EncodeWindows1252(text);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        const auto byte = static_cast<unsigned char>(ansi[i]);
        if (unit == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            // A line end of the pane; the source line break after it only eases reading the file.
            out.append("\\par\r\n");
            ++i;
        } else if (unit == u'\t') {
            out.append("\\tab ");
        } else if (unit == u'\\' || unit == u'{' || unit == u'}') {
            out.append('\\').append(static_cast<char>(unit));
        } else if (unit >= 0x20 && unit < 0x7F) {
            out.append(static_cast<char>(unit));
        } else if (byte != '?') {
            // Controls (a lone CR or LF among them) too: raw ones would be dropped or misread.
            AppendHexByte(out, byte);
        } else {
            out.append("\\u");
            AppendNumber(out, static_cast<qint16>(unit));
            out.append('?');
        }
    }
}

}  // namespace

QByteArray WriteRtf(const QList<RtfRun>& runs) {
    const QList<RtfRun> merged = MergeRuns(runs);
    QList<ChatColour> colours;
    QHash<ChatColour, int> indexOf;
    for (const RtfRun& run : merged) {
        if (!indexOf.contains(run.colour)) {
            colours.append(run.colour);
            indexOf.insert(run.colour, static_cast<int>(colours.size()));
        }
    }
    qsizetype units = 0;
    for (const RtfRun& run : merged) units += run.text.size();
    QByteArray out;
    // Most text is one byte a unit; the rest grows as it must.
    out.reserve(128 + 32 * colours.size() + 8 * merged.size() + units);
    out.append(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\r\n"
        "{\\colortbl ;");
    for (const ChatColour colour : colours) {
        out.append("\\red");
        AppendNumber(out, RedOf(colour));
        out.append("\\green");
        AppendNumber(out, GreenOf(colour));
        out.append("\\blue");
        AppendNumber(out, BlueOf(colour));
        out.append(';');
    }
    out.append("}\r\n\\viewkind4\\pard\\f0\\fs20");
    for (const RtfRun& run : merged) {
        out.append("\\cf");
        AppendNumber(out, indexOf.value(run.colour));
        out.append(' ');
        AppendText(out, run.text);
    }
    out.append("}\r\n");
    return out;
}

std::optional<QList<RtfRun>> ReadRtf(const QByteArray& bytes) {
    QByteArrayView rest(bytes);
    if (rest.startsWith("\xEF\xBB\xBF")) rest = rest.sliced(3);
    while (!rest.isEmpty() && (rest.front() == ' ' || rest.front() == '\t' ||
                               rest.front() == '\r' || rest.front() == '\n')) {
        rest = rest.sliced(1);
    }
    if (!rest.startsWith("{\\rtf")) return std::nullopt;
    return ReadRtfGroups(rest);
}

QList<RtfRun> MergeRuns(const QList<RtfRun>& runs) {
    QList<RtfRun> merged;
    for (const RtfRun& run : runs) {
        if (run.text.isEmpty()) continue;
        const ChatColour colour = run.colour & kColourBits;
        if (!merged.isEmpty() && merged.constLast().colour == colour) {
            merged.last().text.append(run.text);
        } else {
            merged.append({run.text, colour});
        }
    }
    return merged;
}

}  // namespace zarivok
