#include "display/ChatOutput.h"

#include "base/Texts.h"
#include "display/ChatPane.h"
#include "display/DayLog.h"
#include "settings/Settings.h"

namespace zarivok {

ChatOutput::ChatOutput(ChatPane& pane, const Settings& settings, DayLog* log)
    : pane_(pane), settings_(settings), log_(log) {
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(0);
    QObject::connect(&flushTimer_, &QTimer::timeout, [this] { FlushLog(); });
}

void ChatOutput::AppendChat(const QString& firstText, ChatColour firstColour,
                            const QString& secondText, ChatColour secondColour) {
    pane_.AppendRuns(firstText, firstColour, secondText, secondColour);
    if (log_) {
        log_->AppendRun(firstText);
        if (!secondText.isEmpty()) log_->AppendRun(secondText);
    }
    ++intLineCount_;
    // Greater or equal, not equal: a count that passed the threshold while clearing was off
    // clears at the first call after it is switched on.
    if (intLineCount_ >= settings_.intAutoClearAtLine && settings_.intEnableAutoClear == 1) {
        const QString cleared = QString::fromLatin1(kClearedText);
        pane_.ReplaceAll(cleared);
        if (log_) log_->ReplaceAll(cleared);
        intLineCount_ = 0;
    }
    if (log_) AfterLogged();
}

void ChatOutput::BeginArrival() { pane_.Hold(); }

void ChatOutput::EndArrival() {
    pane_.Release();
    FlushLog();
}

void ChatOutput::AfterLogged() {
    if (log_->HasProblem()) {
        SayLogProblem();
    } else if (log_->HasUnwritten() && !flushTimer_.isActive()) {
        flushTimer_.start();
    }
}

void ChatOutput::FlushLog() {
    if (!log_) return;
    log_->Flush();
    SayLogProblem();
}

void ChatOutput::RetryLog() {
    if (log_) log_->Retry();
}

void ChatOutput::SayLogProblem() {
    // The red line goes through the pane and the log like any other; the failed log drops it,
    // and has no second problem to say.
    const QString problem = log_->TakeProblem();
    if (!problem.isEmpty()) AppendChat(problem + kCrLf, kRed);
}

}  // namespace zarivok
