#include "ui/TrayIcon.h"

#include <QSystemTrayIcon>

namespace zarivok {

TrayIcon::TrayIcon(QObject* parent) : QObject(parent) {}

TrayIcon::~TrayIcon() = default;

void TrayIcon::Add(const QIcon& icon, const QString& caption) {
    if (!icon_) {
        icon_ = new QSystemTrayIcon(this);
        connect(icon_, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger) Q_EMIT LeftButtonClicked();
                });
    }
    icon_->setIcon(icon);
    icon_->setToolTip(caption.left(kToolTipLength));
    icon_->show();
}

void TrayIcon::Remove() {
    if (icon_) icon_->hide();
}

bool TrayIcon::IsShown() const { return icon_ && icon_->isVisible(); }

QString TrayIcon::ToolTip() const { return icon_ ? icon_->toolTip() : QString(); }

bool TrayIcon::ShowMessage(const QString& title, const QString& text) {
    if (!IsShown()) return false;
    lastMessage_ =
        text.size() > kMessageLength ? text.left(kMessageLength - 1) + QChar(0x2026) : text;
    icon_->showMessage(title, lastMessage_, QSystemTrayIcon::Information);
    return true;
}

}  // namespace zarivok
