#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

namespace zarivok {

// One line as it came off the wire, without its line end: a view into the bytes of the batch
// it belongs to.
struct FramedLine {
    QByteArrayView bytes;
    // True when the line had no line end but reached the longest length a server sends: the
    // server cut it, so its last character may be broken.
    bool cut = false;
};

// The lines that one arrival completes, in order. The batch keeps the bytes its lines point
// into (the arrival itself, shared rather than copied, and the one line that the previous
// arrival began), so it stays valid whatever the framer is fed next.
class FramedBatch {
  public:
    const std::vector<FramedLine>& Lines() const { return lines_; }

  private:
    friend class LineFramer;
    QByteArray data_;
    QByteArray joined_;
    std::vector<FramedLine> lines_;
};

// Cuts the byte stream of a connection into lines. TCP delivers a stream, so an arrival can end
// in the middle of a line: the unfinished tail is kept and put in front of the next arrival.
class LineFramer {
  public:
    // Real servers cut every line they send at 255 bytes including its line end, so 255 bytes
    // without a line end are a whole (cut) line and the next line starts right after them. This
    // also bounds what the framer holds.
    static constexpr qsizetype kMaxLineBytes = 255;

    // Returns every line that the arrival completes, in order. A line ends at CR LF, at a bare
    // CR or at a bare LF; empty lines are dropped. All complete lines are taken out before the
    // caller dispatches any, so a nested arrival during dispatch finds a consistent buffer.
    FramedBatch Feed(const QByteArray& data);

    // Drops the unfinished tail: the connection closed or was reopened.
    void Reset() { tail_.clear(); }
    // The unfinished line held for the next arrival: always less than kMaxLineBytes.
    qsizetype TailBytes() const { return tail_.size(); }

  private:
    QByteArray tail_;
};

}  // namespace zarivok
