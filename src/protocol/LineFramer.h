#pragma once

#include <QByteArray>
#include <QList>

namespace zarivok {

// One line as it came off the wire, without its line end.
struct FramedLine {
    QByteArray bytes;
    // True when the line had no line end but reached the longest length a server sends: the
    // server cut it, so its last character may be broken.
    bool cut = false;

    bool operator==(const FramedLine&) const = default;
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
    QList<FramedLine> Feed(const QByteArray& data);

    // Drops the unfinished tail: the connection closed or was reopened.
    void Reset() { tail_.clear(); }

    // The bytes of the unfinished line kept for the next arrival: always below kMaxLineBytes.
    qsizetype HeldBytes() const { return tail_.size(); }

  private:
    QByteArray tail_;
};

}  // namespace zarivok
