#pragma once

#include <QStringView>
#include <array>

namespace zarivok {

// A server line taken apart. An event line starts with a code from 1001 to 3000 and has the
// shape: code, keyword, fields separated by blanks, then optionally a blank and a quoted message
// that runs to the line's last character.
//
// The fields and the message are views into the line they were parsed from and are valid as long
// as it is: a busy channel parses every line, and nothing of most lines is kept.
struct EventLine {
    // The most fields any handler takes; the others are only counted.
    static constexpr qsizetype kKeptFields = 5;

    bool isEvent = false;
    // Field 1 read as a number; 0 when there is no field.
    double code = 0;
    // How many fields the head has, cut at blanks, runs of blanks counting as one; field 1 is
    // the code.
    qsizetype fieldCount = 0;
    std::array<QStringView, kKeptFields> fields;
    // Everything after the first double quote but the line's last character (normally the
    // closing quote); quotes inside the message stay in it.
    QStringView message;

    // Field n counted from 1, as the protocol numbers them; n must be <= fieldCount and
    // <= kKeptFields.
    QStringView Field(qsizetype n) const { return fields[n - 1]; }
    bool HasField(qsizetype n) const { return n >= 1 && n <= fieldCount; }
};

inline constexpr int kFirstEventCode = 1001;
inline constexpr int kLastEventCode = 3000;

// Reads a number the lenient way servers' codes have always been read: blanks, tabs and line
// feeds are skipped wherever they stand, then an optional sign, digits, a decimal point and an
// exponent are read up to the first character that cannot continue the number. Text that does
// not start with a number reads as 0.
double LenientNumber(QStringView text);

// cut says the server cut the line short: its closing quote is missing, so the message runs to
// the line's end instead of losing a character of text (a quote that happens to end it is still
// taken as the closing one).
EventLine ParseEventLine(QStringView line, bool cut = false);

}  // namespace zarivok
