#pragma once

#include <QList>
#include <QString>

#include "display/ChatPane.h"

namespace zarivok::testing {

// A chat pane that keeps every call, so tests compare what a user would have seen, run by run.
class RecordingPane : public ChatPane {
  public:
    struct Run {
        QString text;
        ChatColour colour = 0;
        bool cleared = false;  // a ReplaceAll: text without a colour of its own

        bool operator==(const Run&) const = default;
    };

    void AppendRun(const QString& text, ChatColour colour) override;
    void ReplaceAll(const QString& text) override;

    const QList<Run>& Runs() const { return runs_; }
    void Clear() { runs_.clear(); }
    // The pane's visible text: everything since the last ReplaceAll.
    QString Text() const;
    // One line per run, "colour|text" with CR and LF written as \r and \n: the snapshot form.
    QString Transcript() const;

    static QString ColourName(ChatColour colour);

  private:
    QList<Run> runs_;
};

}  // namespace zarivok::testing
