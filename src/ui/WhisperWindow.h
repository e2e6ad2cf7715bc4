#pragma once

#include <QWidget>
#include <functional>

class QPushButton;

namespace zarivok {

class ChatPaneWidget;

// frmWhisper: the whisper log's window. It only shows the pane and the Clear button; when it is
// loaded, saved and unloaded is WhisperLog's business.
class WhisperWindow : public QWidget {
    Q_OBJECT
  public:
    explicit WhisperWindow(QWidget* parent = nullptr);

    ChatPaneWidget* rtbWhisper = nullptr;
    QPushButton* cmdClear = nullptr;

    // The close box: returns whether the window may close (it may not while its log could not
    // be saved, so nothing in it is lost).
    std::function<bool()> onCloseBox;

  protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace zarivok
