#pragma once

#include <QWidget>

class QPushButton;
class QTreeWidget;

namespace zarivok {

class ScriptHost;

// frmScripts: the scripts of the profile's folder, each with its state and the last problem
// said for it, and a Reload button for the one picked. It never edits a script: an editor
// belongs to the operator. The list follows the host as scripts load, unload and fail.
class ScriptsWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ScriptsWindow(ScriptHost& scripts, QWidget* parent = nullptr);

    void ShowScripts();

    QTreeWidget* lstScripts = nullptr;
    QPushButton* cmdReload = nullptr;
    QPushButton* cmdClose = nullptr;

  private:
    void Fill();
    void cmdReload_Click();

    ScriptHost& scripts_;
};

}  // namespace zarivok
