#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace zarivok {

class Bot;

// The protection dialog: the rules of Protection.ini beside the two lists, Banlist.txt and
// Phrases.txt, all three saved together by the channel guard, which takes them up as its rules
// at once.
//
// Every opening reads the files again: the listed users' commands change the same files while
// the dialog is hidden, and edits kept from an earlier opening would undo those changes at the
// next Save. Save, Cancel and the close box only hide it, so a close that arrives while other
// code lets events run never deletes a window under a handler that is still running. A Save
// that fails (said in red by the guard) leaves it open with what was typed.
class ProtectionDialog : public QWidget {
  public:
    explicit ProtectionDialog(Bot& bot, QWidget* parent = nullptr);

    // The Protection menu item: reads the files and shows the dialog without making it modal,
    // with the focus on the first control, or brings it forward when it is shown already.
    void ShowProtection();

    // The controls keep their form names; the owner and the tests reach them as a form's are.
    QCheckBox* chkGreet = nullptr;
    QLineEdit* txtGreetText = nullptr;
    QCheckBox* chkLockdown = nullptr;
    QLineEdit* txtLockdownReason = nullptr;
    QCheckBox* chkPhrases = nullptr;
    QComboBox* cboPhrasesAction = nullptr;
    QLineEdit* txtPhrasesReason = nullptr;
    QCheckBox* chkFlood = nullptr;
    QLineEdit* txtFloodLines = nullptr;
    QLineEdit* txtFloodSeconds = nullptr;
    QComboBox* cboFloodAction = nullptr;
    QLineEdit* txtFloodReason = nullptr;
    QPlainTextEdit* txtBanList = nullptr;
    QPlainTextEdit* txtPhrases = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;

  protected:
    // The six open-topped frames around the groups.
    void paintEvent(QPaintEvent* event) override;

  private:
    struct Frame {
        QRect box;
        QLabel* title = nullptr;
    };

    void Form_Load();
    void cmdSave_Click();
    void cmdCancel_Click();

    Bot& bot_;
    std::array<Frame, 6> frames_;
    QColor lineColour_;
};

}  // namespace zarivok
