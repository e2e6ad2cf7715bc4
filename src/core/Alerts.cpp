#include "core/Alerts.h"

namespace zarivok {
namespace {

bool IsWordCharacter(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

}  // namespace

bool NamesWholeWord(QStringView text, QStringView name) {
    if (name.isEmpty()) return false;
    for (qsizetype at = text.indexOf(name, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(name, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = at + name.size();
        // A name that starts or ends with a sign ("[xX]") has its own edge there.
        const bool startsWord =
            at == 0 || !IsWordCharacter(text[at - 1]) || !IsWordCharacter(name.front());
        const bool endsWord =
            end == text.size() || !IsWordCharacter(text[end]) || !IsWordCharacter(name.back());
        if (startsWord && endsWord) return true;
    }
    return false;
}

}  // namespace zarivok
