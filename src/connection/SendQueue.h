#pragma once

#include <QString>
#include <QtGlobal>
#include <deque>
#include <functional>

namespace zarivok {

// Decides when each outgoing line may leave, so that the server's flood count never refuses a
// line or drops the connection. It only holds lines and time stamps; the caller owns the timer:
// after every Enqueue or Pump it arms a single-shot timer with MsUntilNextSend() and calls Pump
// when it fires.
//
// The server charges each line one unit per started 40 bytes (at least 1, twice for an emote),
// stamps each charge with the whole second it arrived in, forgets a charge once its stamp is 5
// seconds old, refuses a line that brings the total to 5 or more and disconnects at 10. So two
// lines are counted together only when they arrive less than 5000 ms apart, whatever the
// offset of the server's second boundary.
//
// The queue spends at most kBudgetUnits (4) within any kWindowMs (6000 ms) of its own send times.
// The server therefore never sees more than 4, one below its refusal, as long as the delay of
// the connection varies by at most 1000 ms between two lines: lines that the queue kept 6000 ms
// apart still arrive at least 5000 ms apart. A worse stall only lets lines be refused; reaching
// the disconnect would take three windows' worth of lines (over 12 s of sending) arriving within
// 5 s.
class SendQueue {
  public:
    // The flood budget, all in one place. Costs are counted on the UTF-8 bytes of the line
    // without its CR LF, as the server counts them.
    static constexpr int kBytesPerUnit = 40;
    static constexpr int kEmoteCostFactor = 2;
    static constexpr int kBudgetUnits = 4;
    static constexpr qint64 kWindowMs = 6000;
    // Well under the server's refusal of lines over 200 bytes, and exactly the longest plain line
    // whose cost (4 units) still fits the budget.
    static constexpr int kMaxLineBytes = 160;
    static constexpr qsizetype kMaxQueuedLines = 100;

    static_assert((kMaxLineBytes + kBytesPerUnit - 1) / kBytesPerUnit <= kBudgetUnits,
                  "a line of the maximum length must fit the budget, or it would never leave");

    using Clock = std::function<qint64()>;
    // tag: what the line was queued with (0: nothing in particular).
    using Transmit = std::function<void(const QString& line, quint64 tag)>;

    // clock: monotonic milliseconds. transmit: puts one line (never containing CR or LF) on the
    // wire; it may let events run and so call Enqueue or Clear on this queue.
    SendQueue(Clock clock, Transmit transmit);

    // Queues the text up to its first CR or LF: plain talk is split into lines of at most
    // kMaxLineBytes, a command (a line starting with "/") is cut, never split. Sends at once
    // whatever fits the budget. Returns how many lines were dropped because the queue was full.
    // Every line of the text carries tag, so that its sender can tell whether it still waits.
    int Enqueue(const QString& text, quint64 tag = 0);

    // Whether a line queued with this (non-zero) tag still waits, and how many do.
    bool Holds(quint64 tag) const;
    qsizetype CountHolding(quint64 tag) const;

    // Sends, in order, every waiting line that fits the budget now.
    void Pump();

    // -1 when nothing waits, else the milliseconds until the first waiting line fits (0: now).
    qint64 MsUntilNextSend() const;

    // Drops every waiting line. The charges of lines already sent are kept: the budget then errs
    // on the safe side when the server still counts them (same connection) and costs at most one
    // window of delay when it does not (a new connection).
    void Clear();

    qsizetype Pending() const { return static_cast<qsizetype>(waiting.size()); }

    // The units the server charges for this line, and whether it counts the line as an emote.
    static int LineCost(const QString& line);
    static bool IsEmote(const QString& line);

  private:
    struct Line {
        QString text;
        int cost;
        quint64 tag;
    };
    struct Charge {
        qint64 sentAt;
        int cost;
    };

    qint64 MsUntilFits(int cost, qint64 now) const;
    void ForgetOldCharges(qint64 now);

    Clock clock;
    Transmit transmit;
    std::deque<Line> waiting;
    std::deque<Charge> charges;  // oldest first
    bool pumping = false;
};

}  // namespace zarivok
