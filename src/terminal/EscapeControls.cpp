#include "terminal/EscapeControls.h"

namespace zarivok {
namespace {

constexpr char16_t kTab = 0x09;
constexpr char16_t kDelete = 0x7F;

// Embeddings, overrides and isolates change the order in which a terminal draws the rest of the
// line: a name could make a line read as something it is not. Plain right-to-left text needs none
// of them.
bool IsBidiControl(char16_t u) {
    return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

}  // namespace

QString EscapeControls(QStringView text) {
    QString visible;
    visible.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if ((u < 0x20 && u != kTab) || u == kDelete) {
            visible.append(QLatin1Char('^'));
            visible.append(QChar(u ^ 0x40));  // 0x1B becomes '[', 0x7F becomes '?'
        } else if ((u >= 0x80 && u <= 0x9F) || IsBidiControl(u)) {
            visible.append(QChar(QChar::ReplacementCharacter));
        } else {
            visible.append(ch);
        }
    }
    return visible;
}

}  // namespace zarivok
