#include "protocol/EventLine.h"

#include <QByteArrayView>
#include <QVarLengthArray>

namespace zarivok {
namespace {

bool IsSkipped(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }
bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

}  // namespace

double LenientNumber(QStringView text) {
    // Collect the characters that form the number, skipping blanks anywhere, then convert.
    // Every received line asks twice; the usual code fits on the stack.
    QVarLengthArray<char, 32> number;
    enum class Stage { Sign, Integer, Fraction, ExponentSign, Exponent } stage = Stage::Sign;
    for (const QChar c : text) {
        if (IsSkipped(c)) continue;
        const char ch = c.unicode() < 128 ? static_cast<char>(c.unicode()) : '\0';
        if (stage == Stage::Sign && (ch == '+' || ch == '-')) {
            number.append(ch);
            stage = Stage::Integer;
        } else if (IsDigit(c) && stage != Stage::ExponentSign) {
            number.append(ch);
            if (stage == Stage::Sign) stage = Stage::Integer;
        } else if (IsDigit(c)) {
            number.append(ch);
            stage = Stage::Exponent;
        } else if (ch == '.' && (stage == Stage::Sign || stage == Stage::Integer)) {
            number.append(ch);
            stage = Stage::Fraction;
        } else if ((ch == 'e' || ch == 'E' || ch == 'd' || ch == 'D') &&
                   (stage == Stage::Integer || stage == Stage::Fraction)) {
            number.append('e');
            stage = Stage::ExponentSign;
        } else if ((ch == '+' || ch == '-') && stage == Stage::ExponentSign) {
            number.append(ch);
            stage = Stage::Exponent;
        } else {
            break;
        }
    }
    // An exponent marker without digits does not belong to the number.
    while (!number.isEmpty() &&
           (number.back() == 'e' || number.back() == '+' || number.back() == '-')) {
        number.removeLast();
    }
    // Read with the C locale whatever the user's locale says about decimal points.
    bool ok = false;
    const double value = QByteArrayView(number.constData(), number.size()).toDouble(&ok);
    return ok ? value : 0;
}

namespace {

// Four plain digits, by far the most common code field, read without collecting anything; -1
// for any other text, which takes the lenient reading.
int FourDigits(QStringView text) {
    if (text.size() != 4) return -1;
    int value = 0;
    for (const QChar c : text) {
        if (!IsDigit(c)) return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

double CodeOf(QStringView text) {
    const int digits = FourDigits(text);
    return digits >= 0 ? digits : LenientNumber(text);
}

}  // namespace

EventLine ParseEventLine(QStringView line, bool cut) {
    EventLine event;
    const double head4 = CodeOf(line.left(4));
    if (head4 < kFirstEventCode || head4 > kLastEventCode) return event;
    event.isEvent = true;

    const qsizetype quote = line.indexOf(u'"');
    QStringView head = line;
    if (quote >= 0) {
        // The character before the quote is the blank that separates it from the fields.
        head = line.left(quote > 0 ? quote - 1 : 0);
        const bool keepLast = cut && !line.endsWith(u'"');
        const qsizetype length = line.size() - quote - (keepLast ? 1 : 2);
        if (length > 0) event.message = line.sliced(quote + 1, length);
    }
    qsizetype at = 0;
    while (at < head.size()) {
        if (head[at] == u' ') {
            ++at;
            continue;
        }
        qsizetype end = at;
        while (end < head.size() && head[end] != u' ') ++end;
        if (event.fieldCount < EventLine::kKeptFields) {
            event.fields[event.fieldCount] = head.sliced(at, end - at);
        }
        ++event.fieldCount;
        at = end;
    }
    if (event.fieldCount > 0) event.code = CodeOf(event.fields[0]);
    return event;
}

}  // namespace zarivok
