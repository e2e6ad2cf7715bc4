#include "ui/DialogLook.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace zarivok {
namespace {

// The forms' controls were laid out for a small, narrow dialog font (8 points at 96 dots per
// inch); the usual desktop fonts are wider, and "Reconnect Delay:" or "Enable AutoClear; at"
// would not fit their fixed boxes.
constexpr int kFontPixels = 11;
constexpr int kFontStretch = QFont::SemiCondensed;

// Room between a frame's top edge and the title that interrupts it, on either side.
constexpr int kTitleGap = 8;

}  // namespace

SystemColours SystemColours::FromPalette(const QPalette& palette) {
    return {palette.color(QPalette::Active, QPalette::WindowText),
            palette.color(QPalette::Disabled, QPalette::Text),
            palette.color(QPalette::Active, QPalette::Button),
            palette.color(QPalette::Active, QPalette::Shadow),
            palette.color(QPalette::Active, QPalette::Highlight)};
}

void SetRole(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

void SetBoxText(QLineEdit* box, const QString& text) {
    box->setText(text);
    box->setCursorPosition(0);
}

void WrappingCheckBox::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_CheckBox, option);
    const QRect indicator = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    const QRect textRect = rect().adjusted(indicator.right() + kCaptionGap, 0, 0, 0);
    painter.drawItemText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, palette(),
                         isEnabled(), caption, QPalette::WindowText);
}

void DrawTitledFrame(QPainter& painter, const QRect& frame, const QLabel* title) {
    const int gapFrom = title->x() - kTitleGap;
    const int gapTo =
        title->x() + title->fontMetrics().horizontalAdvance(title->text()) + kTitleGap;
    painter.drawLine(frame.left(), frame.top(), frame.left(), frame.bottom());
    painter.drawLine(frame.left(), frame.top(), gapFrom, frame.top());
    painter.drawLine(gapTo, frame.top(), frame.right(), frame.top());
    painter.drawLine(frame.right(), frame.top(), frame.right(), frame.bottom());
    painter.drawLine(frame.left(), frame.bottom(), frame.right(), frame.bottom());
}

DialogLook::DialogLook(QWidget* dialog, const QString& title, QSize clientArea)
    : dialog_(dialog), colours_(SystemColours::FromPalette(QApplication::palette())) {
    dialog_->setWindowTitle(title);
    dialog_->setFixedSize(clientArea);
    QFont dialogFont = dialog_->font();
    dialogFont.setPixelSize(kFontPixels);
    dialogFont.setStretch(kFontStretch);
    dialog_->setFont(dialogFont);
    dialog_->setAutoFillBackground(true);
    SetRole(dialog_, QPalette::Window, colours_.windowText);
}

QLabel* DialogLook::Label(const char* name, const char* caption, const QRect& geometry) const {
    auto* widget = new QLabel(QString::fromUtf8(caption), dialog_);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    SetRole(widget, QPalette::WindowText, colours_.greyText);
    return widget;
}

QLineEdit* DialogLook::TextBox(const char* name, const QRect& geometry) const {
    auto* widget = new QLineEdit(dialog_);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    SetRole(widget, QPalette::Base, colours_.inactiveCaptionText);
    SetRole(widget, QPalette::Text, colours_.desktop);
    return widget;
}

QCheckBox* DialogLook::CheckBox(const char* name, const char* caption,
                                const QRect& geometry) const {
    QCheckBox* widget = new WrappingCheckBox(QString::fromUtf8(caption), dialog_);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    widget->setAutoFillBackground(true);
    SetRole(widget, widget->backgroundRole(), colours_.darkShadow);
    SetRole(widget, QPalette::WindowText, colours_.greyText);
    return widget;
}

QPushButton* DialogLook::Button(const char* name, const char* caption,
                                const QRect& geometry) const {
    auto* widget = new QPushButton(QString::fromUtf8(caption), dialog_);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    SetRole(widget, QPalette::Button, colours_.inactiveCaptionText);
    return widget;
}

QComboBox* DialogLook::ComboBox(const char* name, const QStringList& items,
                                const QRect& geometry) const {
    auto* widget = new QComboBox(dialog_);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    widget->addItems(items);
    // Drawn as the boxes are, face and list alike: a choice is a value like the typed ones.
    SetRole(widget, QPalette::Button, colours_.inactiveCaptionText);
    SetRole(widget, QPalette::ButtonText, colours_.desktop);
    SetRole(widget, QPalette::Base, colours_.inactiveCaptionText);
    SetRole(widget, QPalette::Text, colours_.desktop);
    return widget;
}

QPlainTextEdit* DialogLook::TextPane(const char* name, const QRect& geometry) const {
    auto* widget = new QPlainTextEdit(dialog_);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    widget->setTabChangesFocus(true);
    widget->setLineWrapMode(QPlainTextEdit::NoWrap);
    SetRole(widget, QPalette::Base, colours_.inactiveCaptionText);
    SetRole(widget, QPalette::Text, colours_.desktop);
    return widget;
}

}  // namespace zarivok
