#pragma once

#include <QObject>

#include "bot/InputHistory.h"
#include "bot/NameCompleter.h"

class QLineEdit;

namespace zarivok {

class Bot;

// The keys of the input line beyond editing: Up and Down walk through the lines sent, Escape
// brings back the line being typed, and Tab completes a user's name (or moves the focus on when
// there is nothing to complete).
class InputLineKeys : public QObject {
    Q_OBJECT
  public:
    InputLineKeys(QLineEdit& line, Bot& bot, QObject* parent = nullptr);

    // The line was sent: the next Up starts from the newest line again.
    void Sent() { walk_.Reset(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Show(const QString& text);

    QLineEdit& line_;
    Bot& bot_;
    HistoryWalk walk_;
    NameCompleter completer_;
};

}  // namespace zarivok
