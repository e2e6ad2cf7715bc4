#include "ui/WhisperWindow.h"

#include <QCloseEvent>
#include <QPushButton>

#include "ui/ChatPaneWidget.h"

namespace zarivok {

WhisperWindow::WhisperWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmWhisper"));
    setWindowTitle(QStringLiteral("Whisper Window"));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0x40, 0x40, 0x40));
    setPalette(colours);
    setAutoFillBackground(true);
    // A sizable border, but the controls keep their places whatever the size.
    resize(312, 213);

    // The dark 3-D shadow colour, where the style's is dark: the yellow and grey runs of the
    // whispers must stay readable on it.
    const QColor shadow = palette().color(QPalette::Shadow);
    rtbWhisper =
        new ChatPaneWidget(shadow.lightness() < 64 ? shadow : QColor(Qt::black), Qt::white, this);
    rtbWhisper->setObjectName(QStringLiteral("rtbWhisper"));
    rtbWhisper->setGeometry(8, 8, 297, 153);
    cmdClear = new QPushButton(QStringLiteral("Clear"), this);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    cmdClear->setGeometry(120, 176, 65, 25);
    setTabOrder(rtbWhisper, cmdClear);
}

void WhisperWindow::closeEvent(QCloseEvent* event) {
    if (onCloseBox && !onCloseBox()) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace zarivok
