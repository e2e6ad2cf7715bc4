#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace zarivok {

// Ctrl+F's find bar under the chat pane. Enter and F3 go to the next match, Shift+F3 to the
// previous one, round at either end; every match is marked and the pane scrolls to the current
// one. It only looks: the pane's text and colours, its line count and the day log stay as they
// are. Escape closes it and gives the focus back.
class FindBar : public QWidget {
    Q_OBJECT
  public:
    // At most this many matches are marked, so that a short word in a full pane stays quick.
    static constexpr int kMaxMarks = 1000;

    FindBar(QPlainTextEdit& pane, QWidget* parent = nullptr);

    void Open();
    void Close();
    // Forward (Enter, F3) or back (Shift+F3) from the current match.
    void FindNext(bool backward = false);

    QLineEdit* txtFind = nullptr;
    QLabel* lblFound = nullptr;

  Q_SIGNALS:
    void Closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Mark();

    QPlainTextEdit& pane_;
};

}  // namespace zarivok
