#include "ui/DatabaseWindow.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <functional>

#include "base/ChatColour.h"
#include "base/Texts.h"
#include "bot/Bot.h"
#include "ui/ChatColours.h"
#include "ui/Twips.h"

namespace zarivok {
namespace {

// The text pane. A double click selects the word under the pointer, as the pane's own handling
// does, and only then tells the window, which takes that selection.
class DatabasePane : public QTextEdit {
  public:
    explicit DatabasePane(QWidget* parent) : QTextEdit(parent) {}

    std::function<void()> doubleClicked;

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        QTextEdit::mouseDoubleClickEvent(event);
        if (doubleClicked) doubleClicked();
    }
};

constexpr QSize kClientArea(TwipsToPixels(5925), TwipsToPixels(3120));

}  // namespace

DatabaseWindow::DatabaseWindow(Bot& bot, QWidget* parent)
    : QWidget(parent, Qt::Window), editor_(bot.Paths(), bot.UserList(), bot.Output()) {
    setWindowTitle(QStringLiteral("Database"));
    // The controls keep their places whatever the window's size.
    resize(kClientArea);

    const auto button = [this](const char* name, const char* caption, const QRect& geometry) {
        auto* widget = new QPushButton(QString::fromLatin1(caption), this);
        widget->setObjectName(QLatin1String(name));
        widget->setGeometry(geometry);
        return widget;
    };
    const auto textBox = [this](const char* name, const QRect& geometry) {
        auto* widget = new QLineEdit(this);
        widget->setObjectName(QLatin1String(name));
        widget->setGeometry(geometry);
        return widget;
    };

    // In tab order.
    cmdSave = button("cmdSave", "Save", TwipRect(3000, 2280, 855, 375));
    auto* pane = new DatabasePane(this);
    pane->doubleClicked = [this] { rtbDatabase_DblClick(); };
    rtbDatabase = pane;
    rtbDatabase->setObjectName(QStringLiteral("rtbDatabase"));
    rtbDatabase->setGeometry(TwipRect(240, 120, 2415, 2535));
    // The pane holds a plain text file: what is pasted comes in as text, and Tab moves on to the
    // next control as in the other boxes.
    rtbDatabase->setAcceptRichText(false);
    rtbDatabase->setTabChangesFocus(true);
    rtbDatabase->setLineWrapMode(QTextEdit::NoWrap);
    txtAdd = textBox("txtAdd", TwipRect(2760, 240, 1575, 285));
    cmdRemove = button("cmdRemove", "Remove", TwipRect(4560, 1200, 1095, 375));
    cmdAdd = button("cmdAdd", "Add", TwipRect(4560, 240, 1095, 375));
    txtRemove = textBox("txtRemove", TwipRect(2760, 1200, 1575, 285));
    cmdCancel = button("cmdCancel", "Cancel", TwipRect(4440, 2280, 855, 375));

    QWidget* const tabOrder[] = {cmdSave, rtbDatabase, txtAdd,   cmdRemove,
                                 cmdAdd,  txtRemove,   cmdCancel};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    connect(cmdAdd, &QPushButton::clicked, this, &DatabaseWindow::cmdAdd_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &DatabaseWindow::cmdRemove_Click);
    connect(cmdSave, &QPushButton::clicked, this, &DatabaseWindow::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &DatabaseWindow::cmdCancel_Click);
}

void DatabaseWindow::ShowDatabase() {
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    rtbDatabase->setPlainText(editor_.Load());
}

void DatabaseWindow::AppendDatabaseText(const QString& text) {
    QTextCursor cursor = rtbDatabase->textCursor();
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat black;
    black.setForeground(ToQColor(kBlack));
    cursor.insertText(text, black);
    rtbDatabase->setTextCursor(cursor);
}

void DatabaseWindow::cmdAdd_Click() {
    if (txtAdd->text().isEmpty()) return;
    AppendDatabaseText(txtAdd->text() + kCrLf);
    txtAdd->clear();
}

// Deletes the first line equal to the name in txtRemove, ignoring letter case, with its line
// end; nothing happens when no line matches. An empty txtRemove matches an empty line: an empty
// line in the file is an entry too (the empty name), and this is how to drop one.
void DatabaseWindow::cmdRemove_Click() {
    QTextDocument* const document = rtbDatabase->document();
    // The raw text keeps the document's positions: one character per line break.
    const auto line = DatabaseEditor::FindLine(document->toRawText(), txtRemove->text());
    if (!line) return;
    QTextCursor cursor(document);
    cursor.setPosition(static_cast<int>(line->start));
    cursor.setPosition(static_cast<int>(line->end), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void DatabaseWindow::rtbDatabase_DblClick() {
    txtRemove->setText(rtbDatabase->textCursor().selectedText());
}

void DatabaseWindow::cmdSave_Click() {
    // The raw text, not toPlainText(): that turns no-break spaces into spaces, and the file's
    // bytes would change.
    if (editor_.Save(rtbDatabase->document()->toRawText())) hide();
}

void DatabaseWindow::cmdCancel_Click() { hide(); }

}  // namespace zarivok
