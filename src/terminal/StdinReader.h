#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace zarivok {

// Reads the operator's lines from a file descriptor (standard input) on the event loop, so a
// slow typist never blocks the chat. Works on a terminal, a pipe, a regular file and /dev/null:
// for the last two the descriptor is always readable and read() gives the data, then 0.
// Reading starts at construction; connect the signals before control returns to the event loop.
// The descriptor is neither closed nor switched to non-blocking mode (standard input is shared
// with the shell that started the program): it is read only when the notifier says it is
// readable, one read() per notification.
class StdinReader : public QObject {
    Q_OBJECT

  public:
    // Longest line kept in memory: a longer one is passed on in pieces of about this size.
    static constexpr qsizetype kMaxLineBytes = 64 * 1024;

    explicit StdinReader(int fd, QObject* parent = nullptr);
    ~StdinReader() override;

    bool IsFinished() const { return finished_; }

  signals:
    // One line without its line end (LF, or CR LF), decoded as UTF-8 or else Windows-1252.
    void LineRead(const QString& line);
    // End of input or a read error: nothing more is read. Emitted once.
    void Finished();

  private:
    void ReadAvailable();
    void Finish();
    // Takes the next complete line (or an over-long piece) out of the buffer; false when none.
    bool TakeLine(QByteArray* line);

    int fd_;
    QSocketNotifier* notifier_ = nullptr;
    QByteArray buffer_;
    bool finished_ = false;
};

}  // namespace zarivok
