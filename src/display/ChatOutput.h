#pragma once

#include <QString>

#include "display/ChatColour.h"

namespace zarivok {

class ChatPane;
struct Settings;

// The one writer of the chat pane. It counts its calls and clears the pane when the count
// reaches the configured line and clearing is switched on.
class ChatOutput {
  public:
    static constexpr char kClearedText[] = "Chat has been Auto-Cleared.\r\n";

    ChatOutput(ChatPane& pane, const Settings& settings) : pane_(pane), settings_(settings) {}

    // Appends firstText in firstColour (always, even when empty), then secondText in
    // secondColour when it is not empty. Callers end the last run with CR LF themselves.
    void AppendChat(const QString& firstText, ChatColour firstColour,
                    const QString& secondText = {}, ChatColour secondColour = 0);

    // Calls since the last automatic clear. 64 bits, so it never wraps, however long clearing
    // stays off.
    qint64 LineCount() const { return intLineCount_; }

  private:
    ChatPane& pane_;
    const Settings& settings_;
    qint64 intLineCount_ = 0;
};

}  // namespace zarivok
