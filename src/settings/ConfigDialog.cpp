#include "settings/ConfigDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "core/Bot.h"
#include "core/Texts.h"
#include "core/Twips.h"
#include "settings/Settings.h"

namespace zarivok {
namespace {

// The system colours the form is drawn in, from the application's palette. Qt's palette has no
// roles for window captions or the desktop, so those take the nearest one:
//   window text             -> WindowText: the dialog's background
//   grey text               -> Text of the Disabled group, the grey Qt draws unavailable text in:
//                              the labels' and check boxes' text
//   inactive caption text   -> Button: the classic scheme gives it and the button face the same
//                              light grey; the frame lines, the boxes' background, button faces
//   dark 3-D shadow         -> Shadow: the fill of "Login" and of the check boxes
//   desktop                 -> Highlight: the theme's strong accent, as the desktop's backdrop
//                              was (both dark blues in the classic scheme): the boxes' text
struct SystemColours {
    QColor windowText, greyText, inactiveCaptionText, darkShadow, desktop;

    static SystemColours FromPalette(const QPalette& palette) {
        return {palette.color(QPalette::Active, QPalette::WindowText),
                palette.color(QPalette::Disabled, QPalette::Text),
                palette.color(QPalette::Active, QPalette::Button),
                palette.color(QPalette::Active, QPalette::Shadow),
                palette.color(QPalette::Active, QPalette::Highlight)};
    }
};

// Sets a role in every colour group, so the colours stay when the dialog is not the active
// window.
void SetRole(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// A check box whose caption wraps inside its fixed box, as the form's do; Qt's own draws one
// line and cuts it. The caption starts closer to the box than the style's spacing would put it,
// which the form's narrow boxes need. The whole box takes the click, caption included.
class WrappingCheckBox : public QCheckBox {
  public:
    using QCheckBox::QCheckBox;

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        const QString caption = option.text;
        option.text.clear();
        painter.drawControl(QStyle::CE_CheckBox, option);
        const QRect indicator =
            style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
        const QRect textRect = rect().adjusted(indicator.right() + kCaptionGap, 0, 0, 0);
        painter.drawItemText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                             palette(), isEnabled(), caption, QPalette::WindowText);
    }

    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

  private:
    static constexpr int kCaptionGap = 4;
};

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

// The form's controls were laid out for a small, narrow dialog font (8 points at 96 dots per
// inch); the usual desktop fonts are wider, and "Reconnect Delay:" or "Enable AutoClear; at"
// would not fit their fixed boxes.
constexpr int kFontPixels = 11;
constexpr int kFontStretch = QFont::SemiCondensed;

// Like a freshly filled box of the form: the start of a long value is what shows.
void SetBoxText(QLineEdit* box, const QString& text) {
    box->setText(text);
    box->setCursorPosition(0);
}

}  // namespace

ConfigDialog::ConfigDialog(Bot& bot, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      bot_(bot) {
    // A dialog window owned by the main window stays out of the task bar: window managers list
    // it under its owner. Without minimise and maximise buttons and with a fixed size, it is a
    // fixed dialog frame.
    setWindowTitle(QLatin1String(kProgramName) + QStringLiteral(" Config"));
    setFixedSize(kClientArea);
    QFont dialogFont = font();
    dialogFont.setPixelSize(kFontPixels);
    dialogFont.setStretch(kFontStretch);
    setFont(dialogFont);

    const SystemColours colours = SystemColours::FromPalette(QApplication::palette());
    lineColour_ = colours.inactiveCaptionText;
    setAutoFillBackground(true);
    SetRole(this, QPalette::Window, colours.windowText);

    const auto label = [&](const char* name, const char* caption, const QRect& geometry) {
        auto* widget = new QLabel(QString::fromLatin1(caption), this);
        widget->setObjectName(QLatin1String(name));
        widget->setGeometry(geometry);
        SetRole(widget, QPalette::WindowText, colours.greyText);
        return widget;
    };
    const auto textBox = [&](const char* name, const QRect& geometry) {
        auto* widget = new QLineEdit(this);
        widget->setObjectName(QLatin1String(name));
        widget->setGeometry(geometry);
        SetRole(widget, QPalette::Base, colours.inactiveCaptionText);
        SetRole(widget, QPalette::Text, colours.desktop);
        return widget;
    };
    const auto checkBox = [&](const char* name, const char* caption, const QRect& geometry) {
        QCheckBox* widget = new WrappingCheckBox(QString::fromLatin1(caption), this);
        widget->setObjectName(QLatin1String(name));
        widget->setGeometry(geometry);
        widget->setAutoFillBackground(true);
        SetRole(widget, widget->backgroundRole(), colours.darkShadow);
        SetRole(widget, QPalette::WindowText, colours.greyText);
        return widget;
    };
    const auto button = [&](const char* name, const char* caption, const QRect& geometry) {
        auto* widget = new QPushButton(QString::fromLatin1(caption), this);
        widget->setObjectName(QLatin1String(name));
        widget->setGeometry(geometry);
        SetRole(widget, QPalette::Button, colours.inactiveCaptionText);
        return widget;
    };

    // In tab order; the labels take no focus.
    Label1 = label("Label1", "Login", TwipRect(720, 240, 495, 255));
    Label1->setAutoFillBackground(true);
    SetRole(Label1, QPalette::Window, colours.darkShadow);
    Label2 = label("Label2", "Password:", TwipRect(480, 1080, 855, 255));
    Label3 = label("Label3", "Username:", TwipRect(480, 600, 855, 255));
    Label4 = label("Label4", "Server:", TwipRect(480, 1560, 855, 255));
    txtUsername = textBox("txtUsername", TwipRect(1440, 600, 1575, 285));
    txtPassword = textBox("txtPassword", TwipRect(1440, 1080, 1575, 285));
    txtServer = textBox("txtServer", TwipRect(1440, 1560, 1575, 285));
    Label5 = label("Label5", "Home Channel:", TwipRect(480, 2040, 855, 495));
    Label5->setWordWrap(true);
    txtHome = textBox("txtHome", TwipRect(1440, 2160, 1575, 285));
    Label6 = label("Label6", "Options", TwipRect(4080, 240, 615, 255));
    Label7 = label("Label7", "Idle Msg:", TwipRect(3840, 600, 735, 255));
    txtIdleMsg = textBox("txtIdleMsg", TwipRect(4680, 600, 2175, 285));
    Label8 = label("Label8", "Reconnect Delay:", TwipRect(4320, 1080, 1335, 255));
    txtRecon = textBox("txtRecon", TwipRect(5760, 1080, 615, 285));
    Label9 = label("Label9", "Trigger:", TwipRect(4800, 1560, 615, 255));
    txtTrigger = textBox("txtTrigger", TwipRect(5520, 1560, 375, 285));
    txtAutoClear = textBox("txtAutoClear", TwipRect(5760, 2040, 495, 315));
    Label10 = label("Label10", "lines.", TwipRect(6360, 2040, 495, 255));
    chkAutoClear =
        checkBox("chkAutoClear", "Enable AutoClear; at", TwipRect(3960, 2040, 1815, 255));
    chkNotifications = checkBox("chkNotifications", "Enable Join/Leave Notifications",
                                TwipRect(3960, 2400, 1935, 735));
    cmdSave = button("cmdSave", "Save", TwipRect(2760, 3720, 855, 375));
    cmdCancel = button("cmdCancel", "Cancel", TwipRect(3960, 3720, 855, 375));

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
