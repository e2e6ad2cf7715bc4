#include "terminal/StdinReader.h"

#include <fcntl.h>
#include <unistd.h>

#include <QPointer>
#include <QSocketNotifier>
#include <cerrno>
#include <utility>

#include "base/TextCodec.h"

namespace zarivok {
namespace {

constexpr qsizetype kReadChunk = 16 * 1024;

}  // namespace

StdinReader::StdinReader(int fd, QObject* parent) : QObject(parent), fd_(fd) {
    if (fd_ < 0 || ::fcntl(fd_, F_GETFL) == -1) {
        // A closed standard input is simply an input that has ended; say so from the event
        // loop, like every other end, so that the caller has had the chance to connect.
        QMetaObject::invokeMethod(this, &StdinReader::Finish, Qt::QueuedConnection);
        return;
    }
    notifier_ = new QSocketNotifier(static_cast<qintptr>(fd_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &StdinReader::ReadAvailable);
}

StdinReader::~StdinReader() = default;

void StdinReader::ReadAvailable() {
    if (finished_) return;
    // A slot of LineRead may let events run; with the notifier off, this handler cannot run
    // again inside itself, and every line leaves the buffer before it is passed on.
    notifier_->setEnabled(false);

    char chunk[kReadChunk];
    ssize_t count;
    do {
        count = ::read(fd_, chunk, sizeof chunk);
    } while (count < 0 && errno == EINTR);
    const bool wouldBlock = count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    if (count > 0) buffer_.append(chunk, static_cast<qsizetype>(count));

    const QPointer<StdinReader> alive(this);
    QByteArray line;
    while (TakeLine(&line)) {
        emit LineRead(DecodeText(line));
        if (!alive) return;
    }
    if (count > 0 || wouldBlock) {
        notifier_->setEnabled(true);
        return;
    }
    // End of input or a read error. A last line without its line end still counts.
    if (!buffer_.isEmpty()) {
        line = std::exchange(buffer_, QByteArray());
        if (line.endsWith('\r')) line.chop(1);
        emit LineRead(DecodeText(line));
        if (!alive) return;
    }
    Finish();
}

void StdinReader::Finish() {
    if (finished_) return;
    finished_ = true;
    if (notifier_) notifier_->setEnabled(false);
    emit Finished();
}

bool StdinReader::TakeLine(QByteArray* line) {
    const qsizetype end = buffer_.indexOf('\n');
    if (end >= 0 && end <= kMaxLineBytes) {
        *line = buffer_.left(end);
        buffer_.remove(0, end + 1);
        if (line->endsWith('\r')) line->chop(1);
        return true;
    }
    if (buffer_.size() <= kMaxLineBytes) return false;
    // Cut an over-long line where a UTF-8 character ends, so no character is split between
    // two pieces; text that is not UTF-8 (one byte per character) is cut at the limit.
    qsizetype cut = ValidUtf8Prefix(buffer_.left(kMaxLineBytes));
    if (cut < kMaxLineBytes - 3) cut = kMaxLineBytes;
    *line = buffer_.left(cut);
    buffer_.remove(0, cut);
    return true;
}

}  // namespace zarivok
