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

void ChatPaneWidget::InsertAtEnd(QTextCursor& end, const QString& text, const QColor& colour) {
    QTextCharFormat format;
    format.setForeground(colour);
    end.insertText(ToPaneText(text), format);
}

void ChatPaneWidget::ScrollToNewest() {
    QScrollBar* scroll = verticalScrollBar();
    const int lines = scroll->maximum() - scroll->value();
    if (lines == 0) return;
    // Moving the view shifts the pixels already drawn (a copy of the whole viewport) so that
    // only the new lines need drawing. Once the view has moved a screenful since it was last
    // painted, every pixel will be drawn anew anyway: a burst of lines then moves the view
    // without shifting pixels nobody will see, and the whole viewport waits for the next paint.
    const int screenful = viewport()->height() / qMax(1, fontMetrics().lineSpacing());
    const bool redrawn = scrolledSincePaint_ >= screenful;
    scrolledSincePaint_ += lines;
    if (!redrawn) {
        scroll->setValue(scroll->maximum());
        return;
    }
    viewport()->setUpdatesEnabled(false);
    scroll->setValue(scroll->maximum());
    // Enabling updates again marks the whole viewport for the next paint.
    viewport()->setUpdatesEnabled(true);
}

void ChatPaneWidget::paintEvent(QPaintEvent* event) {
    scrolledSincePaint_ = 0;
    QPlainTextEdit::paintEvent(event);
}

void ChatPaneWidget::Insert(const QString& text, const QColor& colour) {
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    InsertAtEnd(end, text, colour);
    ScrollToNewest();
}

void ChatPaneWidget::AppendRun(const QString& text, ChatColour colour) {
    Insert(text, ToQColor(colour));
}

void ChatPaneWidget::AppendRuns(const QString& first, ChatColour firstColour, const QString& second,
                                ChatColour secondColour) {
    // One edit: the document lays the line out once, not once per run.
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.beginEditBlock();
    InsertAtEnd(end, first, ToQColor(firstColour));
    if (!second.isEmpty()) InsertAtEnd(end, second, ToQColor(secondColour));
    end.endEditBlock();
    ScrollToNewest();
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
