#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace zarivok {

// Replaces the file at path with bytes in one step: the bytes go into a new file beside it,
// reach the disk, and only then take the old file's name, so that a crash, a kill or a power cut
// at any moment leaves either the old content or the new, never a mix. The new file keeps the old
// one's permissions; a file that may not be written is not replaced. A link is followed, and the
// file it names is replaced. Returns std::nullopt on success, else the reason, with the old file
// untouched.
//
// A save cut short leaves its unfinished file beside the target, named
// "<name>.<six letters or digits>.saving"; the next save of the same name removes every such file
// that no running save still holds, so they never pile up.
//
// A file that did not exist gets newFileMode, less the process's umask; a file that holds a
// password or anything else private is made with kOwnerOnly.
inline constexpr int kEveryoneMayRead = 0666;
inline constexpr int kOwnerOnly = 0600;
std::optional<QString> ReplaceFile(const QString& path, const QByteArray& bytes,
                                   int newFileMode = kEveryoneMayRead);

}  // namespace zarivok
