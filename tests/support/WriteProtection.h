#pragma once

#include <QFileDevice>
#include <QList>
#include <QString>

namespace zarivok {

// Makes a file or a folder unwritable for the lifetime of the object, then restores it. A folder
// becomes read-only while the files in it become writable for everyone, and a file becomes
// read-only inside a folder that everyone may write: either way only the one protection under
// test stands in the way.
// Root ignores permission bits, so a test process running as root also takes the user id of
// "nobody" meanwhile (root stays its saved user id, to which the destructor returns).
class WriteProtection {
  public:
    explicit WriteProtection(const QString& path);
    ~WriteProtection();
    WriteProtection(const WriteProtection&) = delete;
    WriteProtection& operator=(const WriteProtection&) = delete;

  private:
    struct Saved {
        QString path;
        QFileDevice::Permissions permissions;
    };
    void Set(const QString& path, QFileDevice::Permissions permissions);

    QList<Saved> saved_;
    bool droppedRoot_ = false;
};

}  // namespace zarivok
