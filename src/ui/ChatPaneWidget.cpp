#include "ui/ChatPaneWidget.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "ui/ChatColours.h"

namespace zarivok {
namespace {

// The pane's blocks are its lines: a CR LF pair, and a CR or LF standing alone, each end one.
QString ToPaneText(const QString& text) {
    QString pane = text;
    pane.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    pane.replace(u'\r', u'\n');
    return pane;
}

}  // namespace

ChatPaneWidget::ChatPaneWidget(const QColor& background, const QColor& defaultText, QWidget* parent)
    : QPlainTextEdit(parent), defaultText_(defaultText) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, background);
    colours.setColor(QPalette::Text, defaultText);
    setPalette(colours);
}

void ChatPaneWidget::Insert(const QString& text, const QColor& colour) {
    QScrollBar* scroll = verticalScrollBar();
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(colour);
    end.insertText(ToPaneText(text), format);
    scroll->setValue(scroll->maximum());
}

void ChatPaneWidget::AppendRun(const QString& text, ChatColour colour) {
    Insert(text, ToQColor(colour));
}

void ChatPaneWidget::ReplaceAll(const QString& text) {
    clear();
    Insert(text, defaultText_);
}

QList<ChatPaneWidget::Run> ChatPaneWidget::Runs() const {
    QList<Run> runs;
    const auto add = [&runs](const QString& text, const QColor& colour) {
        if (!runs.isEmpty() && runs.last().colour == colour) {
            runs.last().text += text;
        } else {
            runs.append({text, colour});
        }
    };
    QColor last = defaultText_;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        // The line break before a block takes the colour of the text before it.
        if (block != document()->begin()) add(QStringLiteral("\r\n"), last);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            const QBrush brush = fragment.charFormat().foreground();
            last = brush.style() == Qt::NoBrush ? defaultText_ : brush.color();
            add(fragment.text(), last);
        }
    }
    return runs;
}

}  // namespace zarivok
