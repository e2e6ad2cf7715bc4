#include "ui/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVBoxLayout>

#include "base/Texts.h"
#include "bot/Bot.h"
#include "display/Alerts.h"
#include "ui/ChatPaneWidget.h"
#include "ui/ConfigDialog.h"
#include "ui/DatabaseWindow.h"
#include "ui/FindBar.h"
#include "ui/Icons.h"
#include "ui/InputLineKeys.h"
#include "ui/ProtectionDialog.h"
#include "ui/ScriptsWindow.h"
#include "ui/TrayIcon.h"
#include "ui/UserListView.h"
#include "ui/WhisperLog.h"

namespace zarivok {
namespace {

// The client area paints the background picture from its top-left corner; the controls stand
// on it at fixed places.
class ClientArea : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawPixmap(0, 0, BackgroundPicture());
    }
};

}  // namespace

MainWindow::MainWindow(const ProfilePaths& paths, Options options)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      options_(std::move(options)) {
    if (!options_.trayAvailable) options_.trayAvailable = &QSystemTrayIcon::isSystemTrayAvailable;
    setObjectName(QStringLiteral("frmBot"));
    setWindowTitle(QLatin1String(kProgramName) + QStringLiteral(" 3.0b1 By ") +
                   QLatin1String(kMasterName));
    setWindowIcon(WindowIcon());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    menuBar_ = new QMenuBar(this);
    layout->setMenuBar(menuBar_);
    auto* client = new ClientArea(this);
    client->setFixedSize(kClientWidth, kClientHeight);
    layout->addWidget(client);

    BuildControls(client);
    bot_ = std::make_unique<Bot>(*txtChannel, *this, paths);
    whisperLog_ = new WhisperLog(*bot_, paths.whisperFile, this);
    bot_->SetWhisperPane(whisperLog_);
    bot_->SetWhisperLog(whisperLog_);
    ChannelUsers = new UserListView(bot_->Roster(), client);
    ChannelUsers->setObjectName(QStringLiteral("ChannelUsers"));
    ChannelUsers->setGeometry(520, 56, 177, 353);
    QPalette listColours = ChannelUsers->palette();
    listColours.setColor(QPalette::Base, Qt::black);
    listColours.setColor(QPalette::Text, QColor(0xC0, 0xC0, 0xC0));
    ChannelUsers->setPalette(listColours);
    connect(ChannelUsers, &UserListView::ButtonReleased, this, [this](Qt::MouseButton button) {
        if (button == Qt::LeftButton) ChannelUsers_Click();
        ChannelUsers_MouseUp(button);
    });
    connect(ChannelUsers, &UserListView::DoubleClicked, this, &MainWindow::ChannelUsers_DblClick);
    BuildMenus();

    setTabOrder(txtSend, cmdSend);
    setTabOrder(cmdSend, ChannelUsers);
    setTabOrder(ChannelUsers, txtChannel);
    setTabOrder(txtChannel, cmdWhisper);
    setTabOrder(cmdWhisper, Users);

    inputKeys_ = new InputLineKeys(*txtSend, *bot_, this);
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this,
            &MainWindow::OpenFind);
    for (const bool backward : {false, true}) {
        const QKeySequence key(backward ? Qt::SHIFT | Qt::Key_F3 : QKeyCombination(Qt::Key_F3));
        connect(new QShortcut(key, this), &QShortcut::activated, this, [this, backward] {
            if (!findBar->isVisible()) return OpenFind();
            findBar->FindNext(backward);
        });
    }
    connect(&bot_->GetAlerts(), &Alerts::Alert, this, &MainWindow::RaiseAlert);

    tray_ = new TrayIcon(this);
    connect(tray_, &TrayIcon::LeftButtonClicked, this, &MainWindow::Tray_Click);

    // Form_Load: the status panels, and the computer's uptime as of now. Nothing connects until
    // the operator chooses Connect.
    bot_->ShowComputerUptime();

    setFixedSize(sizeHint());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    txtSend->setFocus();
}

// The windows that act on the bot go first, then the bot, whose panes and texts are this
// window's.
MainWindow::~MainWindow() {
    frmConfig_.reset();
    frmDatabase_.reset();
    frmProtection_.reset();
    frmScripts_.reset();
    bot_->SetWhisperPane(nullptr);
    bot_->SetWhisperLog(nullptr);
    delete whisperLog_;
    bot_.reset();
}

void MainWindow::SetCaption(const QString& text) { setWindowTitle(text); }

void MainWindow::SetUserCount(const QString& text) { Users->setText(text); }

// The roster model carries the header; the list view shows it from there.
void MainWindow::SetColumnHeader(const QString&) {}

void MainWindow::SetStatusPanel(int panel, const QString& text) {
    if (panel < 1 || panel > 3) return;
    // Panel 2 is centred from the first channel entry on.
    if (panel == 2 && !statusCentred_) {
        statusPanels[1]->setAlignment(Qt::AlignCenter);
        statusCentred_ = true;
    }
    statusPanels[panel - 1]->setText(text);
}

void MainWindow::mnuConfig_Click() {
    if (!frmConfig_) frmConfig_ = std::make_unique<ConfigDialog>(*bot_);
    frmConfig_->ShowConfig();
}

void MainWindow::mnuDatabase_Click() {
    if (!frmDatabase_) frmDatabase_ = std::make_unique<DatabaseWindow>(*bot_);
    frmDatabase_->ShowDatabase();
}

void MainWindow::mnuScripts_Click() {
    if (!frmScripts_) frmScripts_ = std::make_unique<ScriptsWindow>(bot_->Scripts());
    frmScripts_->ShowScripts();
}

void MainWindow::mnuProtection_Click() {
    if (!frmProtection_) frmProtection_ = std::make_unique<ProtectionDialog>(*bot_);
    frmProtection_->ShowProtection();
}

void MainWindow::cmdSend_Click() {
    const QString text = txtSend->text();
    bot_->SendInputLine(text);
    inputKeys_->Sent();
    txtSend->clear();
}

void MainWindow::cmdWhisper_Click() {
    // The text stays in the box, unlike Send's.
    bot_->WhisperPickedUser(txtSend->text());
    inputKeys_->Sent();
}

void MainWindow::ChannelUsers_Click() { bot_->PickUser(ChannelUsers->SelectedName()); }

void MainWindow::ChannelUsers_MouseUp(Qt::MouseButton button) {
    if (button != Qt::RightButton) return;
    bot_->PickUser(ChannelUsers->SelectedName());
    if (!ChannelUsers->HasSelection()) return;
    mnuList->popup(QCursor::pos());
}

void MainWindow::ChannelUsers_DblClick() { txtSend->setText(txtSend->text() + bot_->strList()); }

void MainWindow::OpenFind() {
    txtChannel->setGeometry(kPaneRect.adjusted(0, 0, 0, -kFindBarHeight - 2));
    findBar->Open();
}

void MainWindow::CloseFind() {
    txtChannel->setGeometry(kPaneRect);
    txtSend->setFocus();
}

void MainWindow::RaiseAlert(const QString& who, const QString& text) {
    const bool inFront =
        options_.inFront ? options_.inFront() : isActiveWindow() && isVisible() && !isMinimized();
    if (inFront) return;
    if (options_.trayAvailable()) {
        // The notification area's message comes from the icon: shown for the alert when the
        // window is not hidden behind it, it goes again once the window is active.
        if (!tray_->IsShown()) tray_->Add(windowIcon(), windowTitle());
        tray_->ShowMessage(who, text);
    }
    QApplication::alert(this);
    Q_EMIT Alerted(who, text);
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) Form_Resize();
    // Only a minimised window keeps the icon; one an alert showed goes when the operator looks.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !isMinimized()) {
        tray_->Remove();
    }
}

void MainWindow::Form_Resize() {
    if (!isMinimized()) {
        tray_->Remove();
        return;
    }
    if (!options_.trayAvailable()) return;
    tray_->Add(windowIcon(), windowTitle());
    // Hidden from the event loop: hiding a window inside its own state change is not safe on
    // every platform.
    QTimer::singleShot(0, this, [this] {
        if (isMinimized() && tray_->IsShown()) hide();
    });
}

void MainWindow::Tray_Click() {
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void MainWindow::Form_Unload() {
    // Whispers do not outlive a normal close of the program, and the other windows close with
    // this one.
    whisperLog_->EmptyAndSave();
    if (frmConfig_) frmConfig_->hide();
    if (frmDatabase_) frmDatabase_->hide();
    if (frmProtection_) frmProtection_->hide();
    if (frmScripts_) frmScripts_->hide();
    // A pause may be running under this close: it finishes, but the bot says nothing more and
    // never reconnects, and the program ends when control is back in the main loop.
    bot_->Shutdown();
    tray_->Remove();
    QCoreApplication::exit(0);
}

}  // namespace zarivok
