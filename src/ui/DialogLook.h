#pragma once

#include <QCheckBox>
#include <QColor>
#include <QPalette>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPainter;
class QPlainTextEdit;
class QPushButton;

namespace zarivok {

// The look the fixed settings dialogs share, so that one made later cannot drift from the first.
//
// The system colours the dialogs are drawn in, from the application's palette. Qt's palette has
// no roles for window captions or the desktop, so those take the nearest one:
//   window text             -> WindowText: the dialog's background
//   grey text               -> Text of the Disabled group, the grey Qt draws unavailable text in:
//                              the labels' and check boxes' text
//   inactive caption text   -> Button: the classic scheme gives it and the button face the same
//                              light grey; the frame lines, the boxes' background, button faces
//   dark 3-D shadow         -> Shadow: the fill of the check boxes
//   desktop                 -> Highlight: the theme's strong accent, as the desktop's backdrop
//                              was (both dark blues in the classic scheme): the boxes' text
struct SystemColours {
    QColor windowText, greyText, inactiveCaptionText, darkShadow, desktop;

    static SystemColours FromPalette(const QPalette& palette);
};

// Sets a role in every colour group, so the colours stay when the dialog is not the active
// window.
void SetRole(QWidget* widget, QPalette::ColorRole role, const QColor& colour);

// A dialog window owned by the main window stays out of the task bar: window managers list it
// under its owner. Without minimise and maximise buttons and with a fixed size, it is a fixed
// dialog frame.
inline constexpr Qt::WindowFlags kFixedDialogFlags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint |
                                                     Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                     Qt::WindowCloseButtonHint;

// Like a freshly filled box of a form: the start of a long value is what shows.
void SetBoxText(QLineEdit* box, const QString& text);

// A check box whose caption wraps inside its fixed box, as the forms' do; Qt's own draws one
// line and cuts it. The caption starts closer to the box than the style's spacing would put it,
// which the forms' narrow boxes need. The whole box takes the click, caption included.
class WrappingCheckBox : public QCheckBox {
  public:
    using QCheckBox::QCheckBox;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

  private:
    static constexpr int kCaptionGap = 4;
};

// An open-topped frame, in the painter's pen, whose top edge leaves a gap for the title label
// that sits on it.
void DrawTitledFrame(QPainter& painter, const QRect& frame, const QLabel* title);

// Makes a fixed dialog and its controls in the shared look, each control with its form name and
// its fixed place.
class DialogLook {
  public:
    // Gives the dialog its title, fixed size, font and background.
    DialogLook(QWidget* dialog, const QString& title, QSize clientArea);

    const SystemColours& Colours() const { return colours_; }

    QLabel* Label(const char* name, const char* caption, const QRect& geometry) const;
    QLineEdit* TextBox(const char* name, const QRect& geometry) const;
    QCheckBox* CheckBox(const char* name, const char* caption, const QRect& geometry) const;
    QPushButton* Button(const char* name, const char* caption, const QRect& geometry) const;
    QComboBox* ComboBox(const char* name, const QStringList& items, const QRect& geometry) const;
    // A box of many lines holding a plain text file: Tab moves on as in the other boxes.
    QPlainTextEdit* TextPane(const char* name, const QRect& geometry) const;

  private:
    QWidget* dialog_;
    SystemColours colours_;
};

}  // namespace zarivok
