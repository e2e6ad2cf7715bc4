#include "display/ChatOutput.h"

#include "display/ChatPane.h"
#include "settings/Settings.h"

namespace zarivok {

void ChatOutput::AppendChat(const QString& firstText, ChatColour firstColour,
                            const QString& secondText, ChatColour secondColour) {
    pane_.AppendRun(firstText, firstColour);
    if (!secondText.isEmpty()) pane_.AppendRun(secondText, secondColour);
    ++intLineCount_;
    // Greater or equal, not equal: a count that passed the threshold while clearing was off
    // clears at the first call after it is switched on.
    if (intLineCount_ >= settings_.intAutoClearAtLine && settings_.intEnableAutoClear == 1) {
        pane_.ReplaceAll(QString::fromLatin1(kClearedText));
        intLineCount_ = 0;
    }
}

}  // namespace zarivok
