#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <deque>

#include "display/ChatPane.h"

class QTcpSocket;

namespace zarivok {

class Bot;

// What the browsers of the web console see, live: every run the chat pane gets, the roster's
// changes, the caption, the count box, the status panels and the menu captions. It listens to
// the bot as a second chat pane and keeps the pane's lines since the last clear (the last 1,000)
// for a browser that opens the console later.
//
// Changes are sent as one Server-Sent Event per turn of the event loop, encoded once for all
// browsers. Each browser's unsent bytes are bounded: one that falls behind is dropped (it
// reloads itself), so a slow or stuck browser never holds the bot up or fills its memory.
class LiveFeed : public QObject, public ChatPane {
    Q_OBJECT
  public:
    static constexpr qsizetype kHistoryLines = 1000;
    static constexpr qint64 kDefaultMaxQueuedBytes = 8 * 1024 * 1024;
    // Quiet streams get a comment now and then, so that proxies keep them open and a browser
    // that went away without closing is noticed.
    static constexpr int kKeepAliveMs = 25'000;

    explicit LiveFeed(Bot& bot, QObject* parent = nullptr);
    ~LiveFeed() override;

    void AppendRun(const QString& text, ChatColour colour) override;
    void AppendRuns(const QString& first, ChatColour firstColour, const QString& second,
                    ChatColour secondColour) override;
    void ReplaceAll(const QString& text) override;

    // "event: state": everything a browser shows, to start a stream with.
    QByteArray StateEvent() const;
    // A browser's stream: the response's headers are written; the state follows at once, then
    // every change.
    void AddStream(QTcpSocket* socket);
    qsizetype StreamCount() const { return streams_.size(); }
    void SetMaxQueuedBytes(qint64 bytes) { maxQueuedBytes_ = bytes; }

    // Sends what changed now, instead of when the event loop is back.
    void Flush();

  Q_SIGNALS:
    // A browser fell behind and was dropped.
    void StreamDropped();

  private:
    // A run kept for the pane's history, cut at its line ends: colour kDefaultColour is the
    // pane's own colour (the text of a clear).
    struct Run {
        QString text;
        ChatColour colour;
        bool endsLine;
    };
    static constexpr ChatColour kDefaultColour = 0xFFFFFFFFu;

    void Remember(const QString& text, ChatColour colour);
    void AppendRunOp(QByteArray& out, const QString& text, ChatColour colour) const;
    void AppendRow(QByteArray& out, int row) const;
    void AppendTexts(QByteArray& out) const;
    void AppendMenu(QByteArray& out) const;
    // Starts an operation in the pending batch; false when no browser listens.
    bool BeginOp();
    void ScheduleFlush();
    // A text sent whole at the next flush (caption, menu, header) changed.
    void MarkChanged(bool& changed);
    void RowsInserted(int first, int last);
    void RowsRemoved(int first, int last);
    void RowsChanged(int first, int last);
    void RosterReset();
    void Write(QTcpSocket* socket, const QByteArray& bytes);
    void KeepAlive();

    Bot& bot_;
    // The history as one run after another: no allocation per line, and whole lines leave from
    // the front.
    std::deque<Run> runs_;
    qsizetype lines_ = 0;
    // The last line has no line end yet.
    bool lastLineOpen_ = false;
    QList<QPointer<QTcpSocket>> streams_;
    // The batch event being built: its head, then the operations since the last flush,
    // comma-separated.
    QByteArray pending_;
    bool textsChanged_ = false;
    bool menuChanged_ = false;
    bool headerChanged_ = false;
    QTimer flushTimer_;
    QTimer keepAlive_;
    qint64 maxQueuedBytes_ = kDefaultMaxQueuedBytes;
};

}  // namespace zarivok
