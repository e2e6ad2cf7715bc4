#pragma once

#include <QFileDevice>
#include <QList>
#include <QString>

namespace zarivok {

// Changes permissions for the lifetime of the object, then restores them. Root ignores
// permission bits, so a test process running as root also takes the user id of "nobody"
// meanwhile (root stays its saved user id, to which the destructor returns).
class FileProtection {
  public:
    FileProtection(const FileProtection&) = delete;
    FileProtection& operator=(const FileProtection&) = delete;

  protected:
    FileProtection() = default;
    ~FileProtection();

    void Set(const QString& path, QFileDevice::Permissions permissions);
    void DropRoot();

  private:
    struct Saved {
        QString path;
        QFileDevice::Permissions permissions;
    };

    QList<Saved> saved_;
    bool droppedRoot_ = false;
};

// The permission bits of a file or folder as chmod takes them (0600...), or -1 when it cannot be
// looked at.
int FileMode(const QString& path);

// Makes a file or a folder unwritable. A folder becomes read-only while the files in it become
// writable for everyone, and a file becomes read-only inside a folder that everyone may write:
// either way only the one protection under test stands in the way.
class WriteProtection : public FileProtection {
  public:
    explicit WriteProtection(const QString& path);
};

// Makes a file unreadable (and unwritable) inside a folder that everyone may enter and write.
class ReadProtection : public FileProtection {
  public:
    explicit ReadProtection(const QString& path);
};

}  // namespace zarivok
