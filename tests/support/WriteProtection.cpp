#include "support/WriteProtection.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zarivok {
namespace {

constexpr uid_t kNobody = 65534;

constexpr QFileDevice::Permissions kReadOnly = QFileDevice::ReadOwner | QFileDevice::ReadUser |
                                               QFileDevice::ReadGroup | QFileDevice::ReadOther;
constexpr QFileDevice::Permissions kEnter =
    QFileDevice::ExeOwner | QFileDevice::ExeUser | QFileDevice::ExeGroup | QFileDevice::ExeOther;
constexpr QFileDevice::Permissions kWrite = QFileDevice::WriteOwner | QFileDevice::WriteUser |
                                            QFileDevice::WriteGroup | QFileDevice::WriteOther;

}  // namespace

int FileMode(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0
               ? static_cast<int>(status.st_mode & 07777)
               : -1;
}

FileProtection::~FileProtection() {
    if (droppedRoot_ && setresuid(0, 0, 0) != 0) ADD_FAILURE() << "could not return to root";
    while (!saved_.isEmpty()) {
        const Saved saved = saved_.takeLast();
        QFile::setPermissions(saved.path, saved.permissions);
    }
}

void FileProtection::Set(const QString& path, QFileDevice::Permissions permissions) {
    saved_.append(Saved{path, QFile::permissions(path)});
    if (!QFile::setPermissions(path, permissions))
        ADD_FAILURE() << "cannot chmod " << path.toStdString();
}

void FileProtection::DropRoot() {
    if (geteuid() != 0) return;
    // The real user id changes too: Qt asks access(), which checks the real one.
    droppedRoot_ = setresuid(kNobody, kNobody, 0) == 0;
    if (!droppedRoot_) ADD_FAILURE() << "could not take the user id of nobody";
}

WriteProtection::WriteProtection(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) {
        for (const QFileInfo& file : QDir(path).entryInfoList(QDir::Files | QDir::Hidden)) {
            Set(file.filePath(), kReadOnly | kWrite);
        }
        Set(path, kReadOnly | kEnter);
    } else {
        Set(info.absolutePath(), kReadOnly | kEnter | kWrite);
        Set(path, kReadOnly);
    }
    DropRoot();
}

ReadProtection::ReadProtection(const QString& path) {
    Set(QFileInfo(path).absolutePath(), kReadOnly | kEnter | kWrite);
    Set(path, {});
    DropRoot();
}

}  // namespace zarivok
