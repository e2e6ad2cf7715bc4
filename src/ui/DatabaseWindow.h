#pragma once

#include <QWidget>

#include "commands/DatabaseEditor.h"

class QLineEdit;
class QPushButton;
class QTextEdit;

namespace zarivok {

class Bot;

// frmDatabase
// The database editor: the editor's Users.txt as free text, one name per line, beside boxes to
// add and remove a name. Only Save writes the file, and hides the window; a save that fails (said
// in red in the chat pane) leaves the window open with its text. Cancel and the close box only
// hide it: every opening reloads the file. The main window owns it and shows it from its
// Database menu item; without an owner it is a window of its own.
class DatabaseWindow : public QWidget {
  public:
    explicit DatabaseWindow(Bot& bot, QWidget* parent = nullptr);

    // The Database menu item: shows the window without making it modal (or brings it forward
    // when it is shown already), then reloads the file into the pane, dropping unsaved text.
    void ShowDatabase();

    // Puts text after the pane's last character, in black, with the insertion point after it.
    void AppendDatabaseText(const QString& text);

    // The controls keep their form names; the owner and the tests reach them as a form's are.
    QTextEdit* rtbDatabase = nullptr;
    QLineEdit* txtAdd = nullptr;
    QPushButton* cmdAdd = nullptr;
    QLineEdit* txtRemove = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;

  private:
    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdSave_Click();
    void cmdCancel_Click();
    void rtbDatabase_DblClick();

    DatabaseEditor editor_;
};

}  // namespace zarivok
