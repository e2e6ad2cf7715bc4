#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

#include "base/ReplaceFile.h"

namespace zarivok {

// The profile's list files, one entry a line (Users.txt, Banlist.txt, Phrases.txt): how their
// bytes become text and back. Every reader and writer of such a file goes through these, so a
// file keeps its code page whoever saves it (the bot, the database window, the protection
// dialog). A UTF-8 file that starts with a byte order mark (Notepad writes one) keeps it.
enum class TextEncoding { kUtf8, kUtf8WithByteOrderMark, kWindows1252 };

struct ListFileText {
    QString text;
    // The code page the bytes were read in, to be written back in.
    TextEncoding encoding = TextEncoding::kUtf8;
};

// Valid UTF-8 is read as UTF-8, a byte order mark at its start not being part of the first entry;
// anything else was written in the old Windows code page, which maps every byte to a character,
// so nothing is ever lost.
ListFileText DecodeListFile(const QByteArray& bytes);
// Writes Windows-1252 back while every character fits it and the bytes read back as the same
// text, so an untouched file keeps its bytes; otherwise the whole file becomes UTF-8, which holds
// every entry and reads back as UTF-8. A byte order mark is written when the file had one, and
// whenever the text itself starts with U+FEFF, which would otherwise be taken for one.
QByteArray EncodeListFile(const QString& text, TextEncoding encoding);

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

struct ListFileRead {
    ListFileText content;
    // Set when the file exists but cannot be read: one line naming the file and the reason.
    std::optional<QString> problem;
};
// A missing file reads as an empty one without a problem: a fresh installation has no Users.txt
// until the first name is added, and no ban list until the first pattern.
ListFileRead ReadListFile(const QString& path);
// Replaces the file in one step, so a failed write leaves the old file whole. Returns
// std::nullopt on success, else one line naming the file and the reason.
std::optional<QString> WriteListFile(const QString& path, const QString& text,
                                     TextEncoding encoding, int newFileMode = kEveryoneMayRead);

// The entries of a list file's text: lines end at CR LF or a bare LF, and the line end that
// closes the last line adds no entry. A bare CR is part of the entry, so it is written back.
QStringList SplitListLines(const QString& text);
// The text of a list file for the entries: each one followed by CR LF.
QString JoinListLines(const QStringList& entries);

// An editor pane's text as a file's text: every line break a pane may hold (LF, with or without
// a CR before it, U+2029 between paragraphs, U+2028 as Shift+Enter types) becomes CR LF, and
// nothing is added after the last character.
QString FileTextFromPane(const QString& paneText);
bool IsPaneLineBreak(QChar c);

}  // namespace zarivok
