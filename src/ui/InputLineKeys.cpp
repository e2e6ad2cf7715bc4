#include "ui/InputLineKeys.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "bot/Bot.h"
#include "channel/RosterModel.h"

namespace zarivok {

InputLineKeys::InputLineKeys(QLineEdit& line, Bot& bot, QObject* parent)
    : QObject(parent), line_(line), bot_(bot), walk_(bot.History()) {
    line_.installEventFilter(this);
}

void InputLineKeys::Show(const QString& text) {
    line_.setText(text);
    line_.setCursorPosition(static_cast<int>(text.size()));
}

bool InputLineKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &line_ || event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier) return false;
    switch (key->key()) {
        case Qt::Key_Up:
            if (const auto older = walk_.Older(line_.text())) Show(*older);
            return true;
        case Qt::Key_Down:
            if (const auto newer = walk_.Newer()) Show(*newer);
            return true;
        case Qt::Key_Escape:
            if (const auto draft = walk_.Restore()) Show(*draft);
            return true;
        case Qt::Key_Tab: {
            const auto completed =
                completer_.Complete(line_.text(), line_.cursorPosition(), bot_.Roster().Names());
            if (!completed) return false;  // the focus moves on, as the tab order says
            line_.setText(completed->text);
            line_.setCursorPosition(static_cast<int>(completed->cursor));
            return true;
        }
        default:
            return false;
    }
}

}  // namespace zarivok
