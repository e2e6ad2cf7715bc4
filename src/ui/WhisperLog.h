#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "display/ChatPane.h"
#include "display/WhisperLogPort.h"
#include "ui/WhisperWindow.h"

namespace zarivok {

class Bot;

// The whisper log's life: the bot's whisper pane, backed by the whisper window while it is
// loaded and by whisper.txt while it is not. The window is loaded (reading the file) by the first
// whisper or the first showing, saved and unloaded by its close box, emptied and saved by Clear,
// and emptied and saved when the main window closes. Exit and the quit command save nothing.
class WhisperLog : public QObject, public ChatPane, public WhisperLogPort {
    Q_OBJECT
  public:
    WhisperLog(Bot& bot, QString path, QObject* parent = nullptr);
    ~WhisperLog() override;

    // AppendWhisper's pane: loads the window (hidden) first when it is not loaded.
    void AppendRun(const QString& text, ChatColour colour) override;
    void AppendRuns(const QString& first, ChatColour firstColour, const QString& second,
                    ChatColour secondColour) override;
    void ReplaceAll(const QString& text) override;

    // The web console's Whisper Window: the window's runs, and its Clear.
    QList<RtfRun> WhisperRuns() override;
    void ClearWhispers() override { cmdClear_Click(); }

    // The Whisper Window menu item.
    void Show();
    // The main window is closing.
    void EmptyAndSave();

    bool IsLoaded() const { return window_ != nullptr; }
    WhisperWindow* Window() const { return window_; }

  private:
    WhisperWindow* Load();
    bool Save();
    bool Form_Unload();
    void cmdClear_Click();

    Bot& bot_;
    QString path_;
    QPointer<WhisperWindow> window_;
    // The file was there but could not be used when the window loaded: it stays as it is until
    // the operator saves the log (close box or Clear), not overwritten by the program's closing.
    bool fileKept_ = false;
};

}  // namespace zarivok
