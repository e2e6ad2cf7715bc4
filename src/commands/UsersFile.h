#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

#include "core/ReplaceFile.h"

namespace zarivok {

// How the bytes of a Users.txt become text and back. The bot's own database and the database
// window both read and write the file through these, so both keep a file's code page alike.
// A UTF-8 file that starts with a byte order mark (Notepad writes one) keeps it.
enum class TextEncoding { kUtf8, kUtf8WithByteOrderMark, kWindows1252 };

struct UsersFileText {
    QString text;
    // The code page the bytes were read in, to be written back in.
    TextEncoding encoding = TextEncoding::kUtf8;
};

// Valid UTF-8 is read as UTF-8, a byte order mark at its start not being part of the first name;
// anything else was written in the old Windows code page, which maps every byte to a character,
// so nothing is ever lost.
UsersFileText DecodeUsersFile(const QByteArray& bytes);
// Writes Windows-1252 back while every character fits it and the bytes read back as the same
// text, so an untouched file keeps its bytes; otherwise the whole file becomes UTF-8, which holds
// every name and reads back as UTF-8. A byte order mark is written when the file had one, and
// whenever the text itself starts with U+FEFF, which would otherwise be taken for one.
QByteArray EncodeUsersFile(const QString& text, TextEncoding encoding);

// The bytes of a file of the profile. A missing file reads as empty without a problem; one that
// exists but cannot be read gives one line naming it and the reason.
struct FileBytes {
    QByteArray bytes;
    std::optional<QString> problem;
};
FileBytes ReadFileBytes(const QString& path);
// Replaces the file in one step (ReplaceFile); std::nullopt on success, else one line naming the
// file and the reason.
std::optional<QString> SaveFileBytes(const QString& path, const QByteArray& bytes,
                                     int newFileMode = kEveryoneMayRead);
// "Could not save <path>: <reason>", for a save refused before any byte is written too.
QString SaveProblem(const QString& path, const QString& reason);

struct UsersFileRead {
    UsersFileText content;
    // Set when the file exists but cannot be read: one line naming the file and the reason.
    std::optional<QString> problem;
};
// A missing file reads as an empty one without a problem: a fresh installation has no Users.txt
// until the first name is added.
UsersFileRead ReadUsersFile(const QString& path);
// Replaces the file in one step, so a failed write leaves the old file whole. Returns
// std::nullopt on success, else one line naming the file and the reason.
std::optional<QString> WriteUsersFile(const QString& path, const QString& text,
                                      TextEncoding encoding, int newFileMode = kEveryoneMayRead);

// The entries of a Users.txt text: lines end at CR LF or a bare LF, and the line end that closes
// the last line adds no entry. A bare CR is part of the name, so it is written back.
QStringList SplitUsersLines(const QString& text);
// The text of a Users.txt for the entries: each one followed by CR LF.
QString JoinUsersLines(const QStringList& entries);

// An editor pane's text as a file's text: every line break a pane may hold (LF, with or without
// a CR before it, U+2029 between paragraphs, U+2028 as Shift+Enter types) becomes CR LF, and
// nothing is added after the last character.
QString FileTextFromPane(const QString& paneText);
bool IsPaneLineBreak(QChar c);

}  // namespace zarivok
