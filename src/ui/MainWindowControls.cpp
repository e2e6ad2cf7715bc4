// The main window's controls at their fixed places and its menus, each wired to what it does in
// the core or to the window's own handler: what the window is made of, apart from what it does.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

#include "bot/Bot.h"
#include "commands/Moderation.h"
#include "connection/Connection.h"
#include "ui/ChatPaneWidget.h"
#include "ui/FindBar.h"
#include "ui/MainWindow.h"
#include "ui/WhisperLog.h"

namespace zarivok {
namespace {

constexpr int kStatusPanelWidths[] = {168, 333, 200};

}  // namespace

void MainWindow::BuildControls(QWidget* client) {
    txtChannel = new ChatPaneWidget(Qt::black, Qt::white, client);
    txtChannel->setObjectName(QStringLiteral("txtChannel"));
    txtChannel->setGeometry(kPaneRect);
    findBar = new FindBar(*txtChannel, client);
    findBar->setGeometry(kPaneRect.left(), kPaneRect.bottom() + 1 - kFindBarHeight,
                         kPaneRect.width(), kFindBarHeight);
    connect(findBar, &FindBar::Closed, this, &MainWindow::CloseFind);

    Users = new QLineEdit(client);
    Users->setObjectName(QStringLiteral("Users"));
    Users->setGeometry(520, 24, 177, 19);
    Users->setAlignment(Qt::AlignCenter);
    Users->setReadOnly(true);
    QPalette countColours = Users->palette();
    countColours.setColor(QPalette::Base, Qt::black);                 // the window frame colour
    countColours.setColor(QPalette::Text, QColor(0xC8, 0xC8, 0xC8));  // the scroll bar colour
    Users->setPalette(countColours);

    txtSend = new QLineEdit(client);
    txtSend->setObjectName(QStringLiteral("txtSend"));
    txtSend->setGeometry(8, 416, 505, 21);
    QPalette sendColours = txtSend->palette();
    sendColours.setColor(QPalette::Base, Qt::black);
    sendColours.setColor(QPalette::Text, Qt::white);
    txtSend->setPalette(sendColours);

    cmdSend = new QPushButton(QStringLiteral("Send"), client);
    cmdSend->setObjectName(QStringLiteral("cmdSend"));
    cmdSend->setGeometry(544, 424, 57, 17);
    cmdSend->setDefault(true);
    connect(cmdSend, &QPushButton::clicked, this, &MainWindow::cmdSend_Click);
    // The default button of a window: Enter in the input line presses it.
    connect(txtSend, &QLineEdit::returnPressed, cmdSend, &QPushButton::click);

    cmdWhisper = new QPushButton(QStringLiteral("Whisper"), client);
    cmdWhisper->setObjectName(QStringLiteral("cmdWhisper"));
    cmdWhisper->setGeometry(624, 424, 57, 17);
    connect(cmdWhisper, &QPushButton::clicked, this, &MainWindow::cmdWhisper_Click);

    StatusBar1 = new QStatusBar(client);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setGeometry(0, 452, kClientWidth, 17);
    StatusBar1->setSizeGripEnabled(false);
    // Plain panels on the window's own colour, not on the picture, so their text reads.
    StatusBar1->setAutoFillBackground(true);
    // The panels keep their fixed widths; a small face lets the longest state text fit them.
    QFont panelFont = StatusBar1->font();
    panelFont.setPixelSize(11);
    for (int panel = 0; panel < 3; ++panel) {
        statusPanels[panel] = new QLabel(StatusBar1);
        statusPanels[panel]->setFont(panelFont);
        statusPanels[panel]->setFixedWidth(kStatusPanelWidths[panel]);
        StatusBar1->addWidget(statusPanels[panel]);
    }
}

void MainWindow::BuildMenus() {
    Connection& connection = bot_->GetConnection();

    mnuBot = menuBar_->addMenu(QStringLiteral("&Bot"));
    mnuConnect = mnuBot->addAction(connection.ConnectCaption());
    connect(mnuConnect, &QAction::triggered, this,
            [&connection] { connection.ConnectMenuClick(); });
    mnuReconnect = mnuBot->addAction(QStringLiteral("&Reconnect"));
    connect(mnuReconnect, &QAction::triggered, this,
            [&connection] { connection.ReconnectMenuClick(); });
    mnuBot->addSeparator();
    mnuExit = mnuBot->addAction(QStringLiteral("E&xit"));
    connect(mnuExit, &QAction::triggered, this, [&connection] { connection.ExitMenuClick(); });

    mnuFiles = menuBar_->addMenu(QStringLiteral("&Files"));
    mnuDatabase = mnuFiles->addAction(QStringLiteral("&Database"));
    connect(mnuDatabase, &QAction::triggered, this, &MainWindow::mnuDatabase_Click);
    mnuConfig = mnuFiles->addAction(QStringLiteral("&Config"));
    connect(mnuConfig, &QAction::triggered, this, &MainWindow::mnuConfig_Click);
    mnuProtection = mnuFiles->addAction(QStringLiteral("&Protection"));
    connect(mnuProtection, &QAction::triggered, this, &MainWindow::mnuProtection_Click);
    mnuScripts = mnuFiles->addAction(QStringLiteral("&Scripts"));
    connect(mnuScripts, &QAction::triggered, this, &MainWindow::mnuScripts_Click);

    mnuOptions = menuBar_->addMenu(QStringLiteral("&Options"));
    mnuNotifications = mnuOptions->addAction(bot_->NotificationsCaption());
    connect(mnuNotifications, &QAction::triggered, bot_.get(), &Bot::ClickNotifications);
    mnuAutoClear = mnuOptions->addAction(bot_->AutoClearCaption());
    connect(mnuAutoClear, &QAction::triggered, bot_.get(), &Bot::ClickAutoClear);
    mnuAlerts = mnuOptions->addAction(bot_->AlertsCaption());
    connect(mnuAlerts, &QAction::triggered, bot_.get(), &Bot::ClickAlerts);
    // The web console clicks the same items: the captions follow the bot, whoever clicked.
    connect(bot_.get(), &Bot::MenuCaptionsChanged, this, [this, &connection] {
        mnuConnect->setText(connection.ConnectCaption());
        mnuNotifications->setText(bot_->NotificationsCaption());
        mnuAutoClear->setText(bot_->AutoClearCaption());
        mnuAlerts->setText(bot_->AlertsCaption());
    });
    mnuWhisper = mnuOptions->addAction(QStringLiteral("&Whisper Window"));
    connect(mnuWhisper, &QAction::triggered, whisperLog_, &WhisperLog::Show);

    // Popup items may pause (the database changes let events run): they run from the event
    // loop, after the menu has closed, never inside its mouse handling.
    mnuList = new QMenu(QStringLiteral("List"), this);
    const auto item = [this](const QString& caption, void (Moderation::*action)()) {
        QAction* added = mnuList->addAction(caption);
        connect(
            added, &QAction::triggered, this, [this, action] { (bot_->Moderate().*action)(); },
            Qt::QueuedConnection);
        return added;
    };
    mnuBan = item(QStringLiteral("Ban"), &Moderation::BanUser);
    mnuKick = item(QStringLiteral("Kick"), &Moderation::KickUser);
    mnuDesignate = item(QStringLiteral("Designate"), &Moderation::DesignateUser);
    mnuList->addSeparator();
    mnuSquelch = item(QStringLiteral("Squelch"), &Moderation::SquelchUser);
    mnuUnsquelch = item(QStringLiteral("Unsquelch"), &Moderation::UnsquelchUser);
    mnuList->addSeparator();
    mnuAdd = item(QStringLiteral("Add To Database"), &Moderation::AddPickedUserToDatabase);
    mnuRemove =
        item(QStringLiteral("Remove From Database"), &Moderation::RemovePickedUserFromDatabase);
}

}  // namespace zarivok
