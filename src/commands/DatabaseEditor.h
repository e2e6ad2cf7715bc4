#pragma once

#include <QString>
#include <optional>

#include "base/ListFile.h"

namespace zarivok {

class ChatOutput;
class UserDatabase;
struct ProfilePaths;

// What the database window does with its file, the editor's Users.txt (the working directory's),
// which it edits as free text. Text goes in and out in the pane's form: lines are separated by
// U+2029 (between paragraphs), U+2028 (a line break inside one, as Shift+Enter types) or LF,
// with or without a CR before it.
class DatabaseEditor {
  public:
    // paths: the editor's file, and the bot's own database file, which users holds in memory.
    DatabaseEditor(const ProfilePaths& paths, UserDatabase& users, ChatOutput& output);

    // The file's text for the pane. A missing file is an empty pane. One that cannot be read is
    // an empty pane too, with a red line in the chat pane naming the file and the reason; Save
    // is then refused until a Load succeeds, so the file is never replaced by an empty pane that
    // only stands for "could not read".
    QString Load();

    // Writes the pane's whole text as the file: every line break becomes CR LF and nothing is
    // added after the last character; the code page the file was read in is kept while every
    // name fits it, so an untouched file keeps every byte. The file is replaced in one step; a
    // failure is a red line naming the file and the reason. Returns whether the file was written.
    //
    // When the editor's file is the bot's own database file, the saved file becomes the bot's
    // list at once, as a logon loads it: otherwise the next add or remove by a command or the
    // popup menu would rewrite the file from the old list and silently drop what was saved.
    bool Save(const QString& paneText);

    struct Range {
        qsizetype start = 0;
        qsizetype end = 0;  // past the line end, if the line has one
    };
    // The first line of paneText equal to name, ignoring letter case as every lookup of the
    // database does, with its line end: what the Remove button deletes. As in the file, the line
    // end that closes the last line starts no further (empty) line.
    static std::optional<Range> FindLine(const QString& paneText, const QString& name);

  private:
    const ProfilePaths& paths_;
    UserDatabase& users_;
    ChatOutput& output_;
    TextEncoding encoding_ = TextEncoding::kUtf8;
    bool readFailed_ = false;
};

}  // namespace zarivok
