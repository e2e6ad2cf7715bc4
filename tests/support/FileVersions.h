#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

namespace zarivok::testing {

// The files of a profile folder that the program replaces while it runs, each with two versions
// of clearly different length to save in turn: a file that holds neither version's bytes
// exactly was torn by a save.
enum class SavedFile { kConfig, kUsers, kWhisper };
inline constexpr SavedFile kSavedFiles[] = {SavedFile::kConfig, SavedFile::kUsers,
                                            SavedFile::kWhisper};

QString FileName(SavedFile file);

// Saves version 0 or 1 of the file in folder with the program's own save function; the problem
// it reports, if any.
std::optional<QString> SaveVersion(SavedFile file, int version, const QString& folder);

// The bytes of both versions, as the program's save functions write them.
std::array<QByteArray, 2> VersionBytes(SavedFile file);

}  // namespace zarivok::testing
