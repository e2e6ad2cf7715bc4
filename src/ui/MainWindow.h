#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "base/ProfilePaths.h"
#include "bot/WindowTexts.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;

namespace zarivok {

class Bot;
class ChatPaneWidget;
class ConfigDialog;
class DatabaseWindow;
class FindBar;
class InputLineKeys;
class ProtectionDialog;
class ScriptsWindow;
class TrayIcon;
class UserListView;
class WhisperLog;

// frmBot: the main window. A view on the bot: it is the bot's chat pane and window texts, and
// forwards its menu items, buttons and the user list's gestures to the connection, the outgoing
// side and the moderation actions. It owns the bot and every other window.
class MainWindow : public QWidget, public WindowTexts {
    Q_OBJECT
  public:
    // The client area below the menu bar, in pixels at 96 dots per inch.
    static constexpr int kClientWidth = 700;
    static constexpr int kClientHeight = 469;

    struct Options {
        // Whether the desktop has a notification area; without one, minimising leaves an
        // ordinary minimised window, so the window is never hidden with no way back.
        std::function<bool()> trayAvailable;
        // Whether the operator has the window in front; by default, that it is the active
        // window, shown and not minimised. An alert is raised only when not.
        std::function<bool()> inFront;
    };

    explicit MainWindow(const ProfilePaths& paths, Options options = {});
    ~MainWindow() override;

    Bot& bot() { return *bot_; }
    TrayIcon& Tray() { return *tray_; }
    WhisperLog& Whispers() { return *whisperLog_; }
    // The secondary windows, made when first opened; null before that.
    ConfigDialog* Config() const { return frmConfig_.get(); }
    DatabaseWindow* Database() const { return frmDatabase_.get(); }
    ProtectionDialog* Protection() const { return frmProtection_.get(); }
    ScriptsWindow* Scripts() const { return frmScripts_.get(); }
    QMenuBar* MenuBar() const { return menuBar_; }

    // WindowTexts
    void SetCaption(const QString& text) override;
    void SetUserCount(const QString& text) override;
    void SetColumnHeader(const QString& text) override;
    void SetStatusPanel(int panel, const QString& text) override;

    // The controls, by their names.
    ChatPaneWidget* txtChannel = nullptr;
    QLineEdit* Users = nullptr;
    UserListView* ChannelUsers = nullptr;
    QLineEdit* txtSend = nullptr;
    QPushButton* cmdSend = nullptr;
    QPushButton* cmdWhisper = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* statusPanels[3] = {};
    FindBar* findBar = nullptr;

    QMenu* mnuBot = nullptr;
    QAction* mnuConnect = nullptr;
    QAction* mnuReconnect = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuFiles = nullptr;
    QAction* mnuDatabase = nullptr;
    QAction* mnuConfig = nullptr;
    QAction* mnuProtection = nullptr;
    QAction* mnuScripts = nullptr;
    QMenu* mnuOptions = nullptr;
    QAction* mnuNotifications = nullptr;
    QAction* mnuAutoClear = nullptr;
    QAction* mnuAlerts = nullptr;
    QAction* mnuWhisper = nullptr;
    QMenu* mnuList = nullptr;
    QAction* mnuBan = nullptr;
    QAction* mnuKick = nullptr;
    QAction* mnuDesignate = nullptr;
    QAction* mnuSquelch = nullptr;
    QAction* mnuUnsquelch = nullptr;
    QAction* mnuAdd = nullptr;
    QAction* mnuRemove = nullptr;

    // The handlers, public so that tests can act as the operator does.
    void cmdSend_Click();
    void cmdWhisper_Click();
    void ChannelUsers_Click();
    void ChannelUsers_MouseUp(Qt::MouseButton button);
    void ChannelUsers_DblClick();
    void Tray_Click();
    // Ctrl+F: the find bar under the chat pane.
    void OpenFind();

  Q_SIGNALS:
    // An alert reached the operator (taskbar, and the notification area's message if shown).
    void Alerted(const QString& who, const QString& text);

  protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // The chat pane's place, and the find bar's under it while it is open.
    static constexpr QRect kPaneRect{8, 24, 505, 385};
    static constexpr int kFindBarHeight = 22;

    // The controls at their fixed places, and the menus (MainWindowControls.cpp).
    void BuildControls(QWidget* client);
    void BuildMenus();
    void Form_Resize();
    void mnuConfig_Click();
    void mnuDatabase_Click();
    void mnuProtection_Click();
    void mnuScripts_Click();
    void Form_Unload();
    void RaiseAlert(const QString& who, const QString& text);
    void CloseFind();

    Options options_;
    QMenuBar* menuBar_ = nullptr;
    std::unique_ptr<Bot> bot_;
    TrayIcon* tray_ = nullptr;
    WhisperLog* whisperLog_ = nullptr;
    InputLineKeys* inputKeys_ = nullptr;
    std::unique_ptr<ConfigDialog> frmConfig_;
    std::unique_ptr<DatabaseWindow> frmDatabase_;
    std::unique_ptr<ProtectionDialog> frmProtection_;
    std::unique_ptr<ScriptsWindow> frmScripts_;
    bool statusCentred_ = false;
};

}  // namespace zarivok
