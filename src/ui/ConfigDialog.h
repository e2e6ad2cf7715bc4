#pragma once

#include <QColor>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zarivok {

class Bot;

// frmConfig
// The settings dialog: shows Config.ini and writes the whole file on Save. It never touches the
// running settings; the bot takes up what was saved at its next load (connect, reconnect).
//
// It lives as a loaded form does. It is filled from the file at its first opening; Save and
// Cancel only hide it, so the next opening shows the boxes as they were left, cancelled edits
// included. The close box unloads it: the edits are dropped and the next opening reads the file
// again. Unloading only marks the dialog for a reload, so a close that arrives while other code
// lets events run never deletes a window under a handler that is still running.
class ConfigDialog : public QWidget {
  public:
    explicit ConfigDialog(Bot& bot, QWidget* parent = nullptr);

    // The Config menu item: shows the dialog without making it modal, with the focus in
    // txtUsername, or brings it forward when it is shown already.
    void ShowConfig();

    // The controls keep their form names; the owner and the tests reach them as a form's are.
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* txtUsername = nullptr;
    QLineEdit* txtPassword = nullptr;
    QLineEdit* txtServer = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* txtHome = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* txtIdleMsg = nullptr;
    QLabel* Label8 = nullptr;
    QLineEdit* txtRecon = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* txtTrigger = nullptr;
    QLineEdit* txtAutoClear = nullptr;
    QLabel* Label10 = nullptr;
    QCheckBox* chkAutoClear = nullptr;
    QCheckBox* chkNotifications = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;
    // The two open-topped frames, Line1 to Line10.
    void paintEvent(QPaintEvent* event) override;

  private:
    void Form_Load();
    void cmdSave_Click();
    void cmdCancel_Click();

    Bot& bot_;
    bool loaded_ = false;
    QColor lineColour_;
};

}  // namespace zarivok
