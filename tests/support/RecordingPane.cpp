#include "support/RecordingPane.h"

namespace zarivok::testing {

void RecordingPane::AppendRun(const QString& text, ChatColour colour) {
    runs_.append({text, colour, false});
}

void RecordingPane::ReplaceAll(const QString& text) { runs_.append({text, 0, true}); }

QString RecordingPane::Text() const {
    QString text;
    for (const Run& run : runs_) {
        if (run.cleared) text.clear();
        text += run.text;
    }
    return text;
}

QString RecordingPane::ColourName(ChatColour colour) {
    switch (colour) {
        case kRed:
            return QStringLiteral("red");
        case kGreen:
            return QStringLiteral("green");
        case kYellow:
            return QStringLiteral("yellow");
        case kCyan:
            return QStringLiteral("cyan");
        case kWhite:
            return QStringLiteral("white");
        case kGrey:
            return QStringLiteral("grey");
        case kBlack:
            return QStringLiteral("black");
        default:
            return QStringLiteral("0x%1").arg(colour, 6, 16, QLatin1Char('0'));
    }
}

QString RecordingPane::Transcript() const {
    QString out;
    for (const Run& run : runs_) {
        QString text = run.text;
        text.replace(u'\r', QLatin1String("\\r")).replace(u'\n', QLatin1String("\\n"));
        out += (run.cleared ? QStringLiteral("cleared") : ColourName(run.colour)) + u'|' + text +
               u'\n';
    }
    return out;
}

}  // namespace zarivok::testing
