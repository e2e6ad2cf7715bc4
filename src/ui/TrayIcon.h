#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

class QSystemTrayIcon;

namespace zarivok {

// The one notification-area icon that stands in for the minimised main window. It is made once
// and then only shown and hidden: its own click may be what removes it.
class TrayIcon : public QObject {
    Q_OBJECT
  public:
    // The longest tooltip the notification area of the classic platform takes.
    static constexpr qsizetype kToolTipLength = 63;

    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    // Shows the icon with the caption, cut to kToolTipLength characters, as its tooltip.
    void Add(const QIcon& icon, const QString& caption);
    void Remove();
    bool IsShown() const;
    QString ToolTip() const;

    // An alert's message from the icon, while it is shown: the title and the text, cut to
    // kMessageLength characters. Returns whether it was shown.
    static constexpr qsizetype kMessageLength = 100;
    bool ShowMessage(const QString& title, const QString& text);
    const QString& LastMessage() const { return lastMessage_; }

  Q_SIGNALS:
    // A click of the left button; every other click and a double click do nothing.
    void LeftButtonClicked();

  private:
    QSystemTrayIcon* icon_ = nullptr;
    QString lastMessage_;
};

}  // namespace zarivok
