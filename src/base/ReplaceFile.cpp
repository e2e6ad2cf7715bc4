#include "base/ReplaceFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <utility>

namespace zarivok {
namespace {

constexpr QLatin1String kSavingSuffix(".saving");
constexpr qsizetype kRandomLetters = 6;
constexpr int kNameAttempts = 100;

QString Reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    int Get() const { return fd_; }

  private:
    int fd_;
};

QString RandomLetters() {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString letters;
    for (qsizetype i = 0; i < kRandomLetters; ++i) {
        letters += QLatin1Char(
            kLetters[QRandomGenerator::global()->bounded(static_cast<int>(sizeof kLetters - 1))]);
    }
    return letters;
}

bool IsUnfinishedSave(const QString& candidate, const QString& fileName) {
    if (candidate.size() != fileName.size() + 1 + kRandomLetters + kSavingSuffix.size() ||
        !candidate.startsWith(fileName + u'.') || !candidate.endsWith(kSavingSuffix)) {
        return false;
    }
    for (const QChar c : QStringView(candidate).sliced(fileName.size() + 1, kRandomLetters)) {
        if (c.unicode() > 127 || !c.isLetterOrNumber()) return false;
    }
    return true;
}

// A save holds a lock on its unfinished file until the file has its final name, and the system
// drops the lock when the process ends, however it ends: an unlocked one was abandoned. (Another
// program's save caught in the moment between making its file and locking it loses the file; its
// rename then fails and says so, and the old file stays whole.)
void RemoveUnfinishedSaves(const QDir& folder, const QString& fileName) {
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!IsUnfinishedSave(name, fileName)) continue;
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        const Descriptor fd(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
        if (fd.Get() >= 0 && ::flock(fd.Get(), LOCK_EX | LOCK_NB) == 0) ::unlink(path.constData());
    }
}

bool WriteAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

std::optional<QString> ReplaceFile(const QString& path, const QByteArray& bytes, int newFileMode) {
    const QFileInfo given(path);
    const QString resolved = given.isSymLink() ? given.canonicalFilePath() : QString();
    const QFileInfo target(resolved.isEmpty() ? path : resolved);
    const QDir folder = target.absoluteDir();
    const QString fileName = target.fileName();
    const QByteArray targetPath = QFile::encodeName(target.absoluteFilePath());

    struct stat old {};
    const bool existed = ::stat(targetPath.constData(), &old) == 0;
    if (existed && ::access(targetPath.constData(), W_OK) != 0) return Reason(errno);
    RemoveUnfinishedSaves(folder, fileName);

    QByteArray unfinished;
    Descriptor fd;
    for (int attempt = 0; attempt < kNameAttempts && fd.Get() < 0; ++attempt) {
        unfinished =
            QFile::encodeName(folder.filePath(fileName + u'.' + RandomLetters() + kSavingSuffix));
        fd = Descriptor(::open(unfinished.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                               static_cast<mode_t>(existed ? 0600 : newFileMode)));
        if (fd.Get() < 0 && errno != EEXIST) return Reason(errno);
    }
    if (fd.Get() < 0) return Reason(EEXIST);
    ::flock(fd.Get(), LOCK_EX | LOCK_NB);

    const auto abandon = [&unfinished](int error) {
        ::unlink(unfinished.constData());
        return Reason(error);
    };
    if (existed && ::fchmod(fd.Get(), old.st_mode & 07777) != 0) return abandon(errno);
    if (!WriteAll(fd.Get(), bytes) || ::fsync(fd.Get()) != 0) return abandon(errno);
    if (::rename(unfinished.constData(), targetPath.constData()) != 0) return abandon(errno);
    // The new name is kept only once the folder reaches the disk too.
    const Descriptor dir(::open(QFile::encodeName(folder.absolutePath()).constData(),
                                O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) ::fsync(dir.Get());
    return std::nullopt;
}

}  // namespace zarivok
