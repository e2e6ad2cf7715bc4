#pragma once

#include <QColor>
#include <QPlainTextEdit>

#include "display/ChatPane.h"

namespace zarivok {

// A pane of coloured text runs: the chat pane and the whisper pane. Runs are added at the end
// only, at a cost that does not grow with what the pane holds (the plain text layout lays out
// only what is shown), and the newest line stays in view. Line breaks are the CR LF pairs of the
// runs.
class ChatPaneWidget : public QPlainTextEdit, public ChatPane {
    Q_OBJECT
  public:
    ChatPaneWidget(const QColor& background, const QColor& defaultText, QWidget* parent = nullptr);

    void AppendRun(const QString& text, ChatColour colour) override;
    void AppendRuns(const QString& first, ChatColour firstColour, const QString& second,
                    ChatColour secondColour) override;
    // Text without a colour of its own is drawn in the pane's default colour.
    void ReplaceAll(const QString& text) override;

    struct Run {
        QString text;  // line breaks as CR LF
        QColor colour;
        bool operator==(const Run&) const = default;
    };
    // Everything the pane shows, run by run, in order.
    QList<Run> Runs() const;
    QColor DefaultColour() const { return defaultText_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void Insert(const QString& text, const QColor& colour);
    void InsertAtEnd(QTextCursor& end, const QString& text, const QColor& colour);
    void ScrollToNewest();

    QColor defaultText_;
    // Lines the view has moved since it was last painted.
    int scrolledSincePaint_ = 0;
};

}  // namespace zarivok
