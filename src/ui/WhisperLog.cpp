#include "ui/WhisperLog.h"

#include <QPushButton>

#include "base/Texts.h"
#include "bot/Bot.h"
#include "display/WhisperLogFile.h"
#include "ui/ChatColours.h"
#include "ui/ChatPaneWidget.h"
#include "ui/WhisperWindow.h"

namespace zarivok {

WhisperLog::WhisperLog(Bot& bot, QString path, QObject* parent)
    : QObject(parent), bot_(bot), path_(std::move(path)) {}

WhisperLog::~WhisperLog() { delete window_.data(); }

void WhisperLog::AppendRun(const QString& text, ChatColour colour) {
    Load()->rtbWhisper->AppendRun(text, colour);
}

void WhisperLog::AppendRuns(const QString& first, ChatColour firstColour, const QString& second,
                            ChatColour secondColour) {
    Load()->rtbWhisper->AppendRuns(first, firstColour, second, secondColour);
}

void WhisperLog::ReplaceAll(const QString& text) { Load()->rtbWhisper->ReplaceAll(text); }

void WhisperLog::Show() {
    WhisperWindow* window = Load();
    window->show();
    window->raise();
    window->activateWindow();
}

void WhisperLog::EmptyAndSave() {
    Load()->rtbWhisper->ReplaceAll(QString());
    if (!fileKept_) Save();
    window_->hide();
}

WhisperWindow* WhisperLog::Load() {
    if (window_) return window_;
    window_ = new WhisperWindow();
    window_->onCloseBox = [this] { return Form_Unload(); };
    connect(window_->cmdClear, &QPushButton::clicked, this, &WhisperLog::cmdClear_Click);
    const WhisperLogContent content = LoadWhisperLog(path_);
    fileKept_ = !content.problem.isEmpty();
    if (fileKept_) bot_.AppendChat(content.problem + kCrLf, kRed);
    for (const RtfRun& run : content.runs) window_->rtbWhisper->AppendRun(run.text, run.colour);
    return window_;
}

QList<RtfRun> WhisperLog::WhisperRuns() {
    QList<RtfRun> runs;
    for (const ChatPaneWidget::Run& run : Load()->rtbWhisper->Runs()) {
        runs.append({run.text, FromQColor(run.colour)});
    }
    return runs;
}

bool WhisperLog::Save() {
    if (const auto problem = SaveWhisperLog(path_, WhisperRuns())) {
        bot_.AppendChat(*problem + kCrLf, kRed);
        return false;
    }
    fileKept_ = false;
    return true;
}

bool WhisperLog::Form_Unload() {
    if (!Save()) return false;
    // Unloaded from the event loop: this runs inside the window's own close event.
    WhisperWindow* closing = window_;
    window_ = nullptr;
    closing->deleteLater();
    return true;
}

void WhisperLog::cmdClear_Click() {
    Load()->rtbWhisper->ReplaceAll(QString());
    Save();
}

}  // namespace zarivok
