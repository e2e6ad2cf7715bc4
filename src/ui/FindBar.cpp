#include "ui/FindBar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

namespace zarivok {
namespace {

const QColor kMarkColour(0x40, 0x40, 0x80);
const QColor kCurrentColour(0xA0, 0x80, 0x00);

}  // namespace

FindBar::FindBar(QPlainTextEdit& pane, QWidget* parent) : QWidget(parent), pane_(pane) {
    setObjectName(QStringLiteral("FindBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    auto* caption = new QLabel(QStringLiteral("Find:"), this);
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    lblFound = new QLabel(this);
    lblFound->setObjectName(QStringLiteral("lblFound"));
    layout->addWidget(caption);
    layout->addWidget(txtFind, 1);
    layout->addWidget(lblFound);
    txtFind->installEventFilter(this);
    connect(txtFind, &QLineEdit::textChanged, this, [this] {
        // Typing searches from the top of what is marked, as find-as-you-type does.
        QTextCursor start = pane_.textCursor();
        start.setPosition(start.selectionStart());
        pane_.setTextCursor(start);
        FindNext();
    });
    hide();
}

void FindBar::Open() {
    show();
    raise();
    txtFind->setFocus();
    txtFind->selectAll();
    Mark();
}

void FindBar::Close() {
    pane_.setExtraSelections({});
    QTextCursor cursor = pane_.textCursor();
    cursor.clearSelection();
    pane_.setTextCursor(cursor);
    hide();
    Q_EMIT Closed();
}

void FindBar::FindNext(bool backward) {
    const QString needle = txtFind->text();
    if (needle.isEmpty()) {
        Mark();
        return;
    }
    const QTextDocument::FindFlags flags =
        backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    QTextDocument* document = pane_.document();
    QTextCursor found = document->find(needle, pane_.textCursor(), flags);
    if (found.isNull()) {
        // Round at the end (or the start, going back).
        QTextCursor wrap(document);
        if (backward) wrap.movePosition(QTextCursor::End);
        found = document->find(needle, wrap, flags);
    }
    if (!found.isNull()) pane_.setTextCursor(found);
    Mark();
    if (!found.isNull()) pane_.ensureCursorVisible();
}

void FindBar::Mark() {
    QList<QTextEdit::ExtraSelection> marks;
    const QString needle = txtFind->text();
    int count = 0;
    if (!needle.isEmpty()) {
        QTextCursor at(pane_.document());
        while (count < kMaxMarks) {
            at = pane_.document()->find(needle, at);
            if (at.isNull()) break;
            QTextEdit::ExtraSelection mark;
            mark.cursor = at;
            const bool current = at.selectionStart() == pane_.textCursor().selectionStart() &&
                                 pane_.textCursor().hasSelection();
            mark.format.setBackground(current ? kCurrentColour : kMarkColour);
            marks.append(mark);
            ++count;
        }
    }
    pane_.setExtraSelections(marks);
    lblFound->setText(needle.isEmpty()     ? QString()
                      : count == 0         ? QStringLiteral("Not found")
                      : count >= kMaxMarks ? QStringLiteral("%1+ found").arg(kMaxMarks)
                                           : QStringLiteral("%1 found").arg(count));
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched != txtFind || event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            FindNext();
            return true;
        case Qt::Key_Escape:
            Close();
            return true;
        default:
            return false;
    }
}

}  // namespace zarivok
