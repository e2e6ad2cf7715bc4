#include "ui/ConfigDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "base/Texts.h"
#include "bot/Bot.h"
#include "settings/Settings.h"
#include "ui/DialogLook.h"
#include "ui/Twips.h"

namespace zarivok {
namespace {

struct FrameLine {
    QPoint from, to;
};

// Two open-topped frames; each top edge leaves a gap for its group's title.
constexpr FrameLine kFrameLines[] = {
    {TwipPoint(360, 360), TwipPoint(360, 3240)},     // Line1: login frame, left edge
    {TwipPoint(600, 360), TwipPoint(360, 360)},      // Line2: top edge left of "Login"
    {TwipPoint(1200, 360), TwipPoint(3240, 360)},    // Line3: top edge right of "Login"
    {TwipPoint(3240, 3240), TwipPoint(3240, 360)},   // Line4: right edge
    {TwipPoint(360, 3240), TwipPoint(3240, 3240)},   // Line5: bottom edge
    {TwipPoint(3720, 3240), TwipPoint(3720, 360)},   // Line6: options frame, left edge
    {TwipPoint(3960, 360), TwipPoint(3720, 360)},    // Line7: top edge left of "Options"
    {TwipPoint(4680, 360), TwipPoint(7080, 360)},    // Line8: top edge right of "Options"
    {TwipPoint(7080, 3240), TwipPoint(7080, 360)},   // Line9: right edge
    {TwipPoint(3720, 3240), TwipPoint(7080, 3240)},  // Line10: bottom edge
};

constexpr QSize kClientArea(TwipsToPixels(7380), TwipsToPixels(4470));

}  // namespace

ConfigDialog::ConfigDialog(Bot& bot, QWidget* parent)
    : QWidget(parent, kFixedDialogFlags), bot_(bot) {
    const DialogLook look(this, QLatin1String(kProgramName) + QStringLiteral(" Config"),
                          kClientArea);
    const SystemColours& colours = look.Colours();
    lineColour_ = colours.inactiveCaptionText;

    // In tab order; the labels take no focus.
    Label1 = look.Label("Label1", "Login", TwipRect(720, 240, 495, 255));
    Label1->setAutoFillBackground(true);
    SetRole(Label1, QPalette::Window, colours.darkShadow);
    Label2 = look.Label("Label2", "Password:", TwipRect(480, 1080, 855, 255));
    Label3 = look.Label("Label3", "Username:", TwipRect(480, 600, 855, 255));
    Label4 = look.Label("Label4", "Server:", TwipRect(480, 1560, 855, 255));
    txtUsername = look.TextBox("txtUsername", TwipRect(1440, 600, 1575, 285));
    txtPassword = look.TextBox("txtPassword", TwipRect(1440, 1080, 1575, 285));
    txtServer = look.TextBox("txtServer", TwipRect(1440, 1560, 1575, 285));
    Label5 = look.Label("Label5", "Home Channel:", TwipRect(480, 2040, 855, 495));
    Label5->setWordWrap(true);
    txtHome = look.TextBox("txtHome", TwipRect(1440, 2160, 1575, 285));
    Label6 = look.Label("Label6", "Options", TwipRect(4080, 240, 615, 255));
    Label7 = look.Label("Label7", "Idle Msg:", TwipRect(3840, 600, 735, 255));
    txtIdleMsg = look.TextBox("txtIdleMsg", TwipRect(4680, 600, 2175, 285));
    Label8 = look.Label("Label8", "Reconnect Delay:", TwipRect(4320, 1080, 1335, 255));
    txtRecon = look.TextBox("txtRecon", TwipRect(5760, 1080, 615, 285));
    Label9 = look.Label("Label9", "Trigger:", TwipRect(4800, 1560, 615, 255));
    txtTrigger = look.TextBox("txtTrigger", TwipRect(5520, 1560, 375, 285));
    txtAutoClear = look.TextBox("txtAutoClear", TwipRect(5760, 2040, 495, 315));
    Label10 = look.Label("Label10", "lines.", TwipRect(6360, 2040, 495, 255));
    chkAutoClear =
        look.CheckBox("chkAutoClear", "Enable AutoClear; at", TwipRect(3960, 2040, 1815, 255));
    chkNotifications = look.CheckBox("chkNotifications", "Enable Join/Leave Notifications",
                                     TwipRect(3960, 2400, 1935, 735));
    cmdSave = look.Button("cmdSave", "Save", TwipRect(2760, 3720, 855, 375));
    cmdCancel = look.Button("cmdCancel", "Cancel", TwipRect(3960, 3720, 855, 375));

    QWidget* const tabOrder[] = {txtUsername,  txtPassword,      txtServer,  txtHome,
                                 txtIdleMsg,   txtRecon,         txtTrigger, txtAutoClear,
                                 chkAutoClear, chkNotifications, cmdSave,    cmdCancel};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    connect(cmdSave, &QPushButton::clicked, this, &ConfigDialog::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &ConfigDialog::cmdCancel_Click);
}

void ConfigDialog::ShowConfig() {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    if (!loaded_) Form_Load();
    show();
    raise();
    activateWindow();
    txtUsername->setFocus();
}

void ConfigDialog::Form_Load() {
    const SettingsTexts texts = ReadSettingsTexts(bot_.Paths().configFile);
    SetBoxText(txtUsername, texts.user);
    SetBoxText(txtPassword, texts.pass);
    SetBoxText(txtServer, texts.server);
    SetBoxText(txtHome, texts.home);
    SetBoxText(txtTrigger, texts.trigger);
    SetBoxText(txtRecon, texts.reconnect);
    SetBoxText(txtIdleMsg, texts.idleMsg);
    SetBoxText(txtAutoClear, texts.autoClearAtLine);
    chkAutoClear->setChecked(SwitchIsOn(texts.enableAutoClear));
    chkNotifications->setChecked(SwitchIsOn(texts.enableNotifications));
    loaded_ = true;
}

void ConfigDialog::cmdSave_Click() {
    // A failed write is said in red by the bot; the dialog stays open with what was typed.
    if (!bot_.WriteSettingsFile(txtUsername->text(), txtPassword->text(), txtServer->text(),
                                txtHome->text(), txtTrigger->text(), txtRecon->text(),
                                txtIdleMsg->text(), SwitchText(chkAutoClear->isChecked()),
                                txtAutoClear->text(), SwitchText(chkNotifications->isChecked()))) {
        return;
    }
    hide();
}

void ConfigDialog::cmdCancel_Click() { hide(); }

void ConfigDialog::closeEvent(QCloseEvent* event) {
    loaded_ = false;
    event->accept();
}

void ConfigDialog::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(lineColour_);
    for (const FrameLine& line : kFrameLines) painter.drawLine(line.from, line.to);
}

}  // namespace zarivok
