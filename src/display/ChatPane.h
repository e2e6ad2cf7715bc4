#pragma once

#include <QString>

#include "base/ChatColour.h"

namespace zarivok {

// What the core needs of a pane of coloured text: the chat pane and the whisper pane. Each front
// end implements it (a rich text widget, a terminal); the core decides every run and colour.
class ChatPane {
  public:
    virtual ~ChatPane() = default;

    // Adds one run of text at the end of the pane, shown in the given colour. Line breaks are
    // the CR LF pairs inside the text.
    virtual void AppendRun(const QString& text, ChatColour colour) = 0;

    // The runs of one pane line: first (always, even when empty), then second when it is not
    // empty. A pane that can show a line in one step (one layout, one scroll) does.
    virtual void AppendRuns(const QString& first, ChatColour firstColour, const QString& second,
                            ChatColour secondColour) {
        AppendRun(first, firstColour);
        if (!second.isEmpty()) AppendRun(second, secondColour);
    }

    // Replaces everything in the pane by text without a colour of its own (the pane's default).
    virtual void ReplaceAll(const QString& text) = 0;

    // Between Hold and Release (they nest), complete lines may wait in the pane until the
    // outermost Release: the lines of one arrival from the server then reach a reader at the
    // other end of a pipe in one write instead of one each. A pane that shows runs at once
    // ignores both.
    virtual void Hold() {}
    virtual void Release() {}
};

}  // namespace zarivok
