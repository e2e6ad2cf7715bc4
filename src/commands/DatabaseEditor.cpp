#include "commands/DatabaseEditor.h"

#include <QFileInfo>

#include "base/ChatColour.h"
#include "base/ProfilePaths.h"
#include "base/Texts.h"
#include "commands/UserDatabase.h"
#include "display/ChatOutput.h"

namespace zarivok {
namespace {

// The same file under two names (a profile folder, the program started from its own folder, a
// link): only then do the editor's saves belong to the bot's list.
bool IsSameFile(const QString& a, const QString& b) {
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

}  // namespace

DatabaseEditor::DatabaseEditor(const ProfilePaths& paths, UserDatabase& users, ChatOutput& output)
    : paths_(paths), users_(users), output_(output) {}

QString DatabaseEditor::Load() {
    const ListFileRead read = ReadListFile(paths_.editorUsersFile);
    readFailed_ = read.problem.has_value();
    if (read.problem) output_.AppendChat(*read.problem + kCrLf, kRed);
    encoding_ = read.content.encoding;
    return read.content.text;
}

bool DatabaseEditor::Save(const QString& paneText) {
    const QString& path = paths_.editorUsersFile;
    if (readFailed_) {
        output_.AppendChat(QStringLiteral("Did not save %1: it could not be read when the Database "
                                          "window opened, and saving would replace it. Open the "
                                          "window again once the file can be read.")
                                   .arg(path) +
                               kCrLf,
                           kRed);
        return false;
    }
    if (const auto problem = WriteListFile(path, FileTextFromPane(paneText), encoding_)) {
        output_.AppendChat(*problem + kCrLf, kRed);
        return false;
    }
    // Without letting events run: no command may act on the old list after the save.
    if (IsSameFile(path, paths_.usersFile)) users_.Load();
    return true;
}

std::optional<DatabaseEditor::Range> DatabaseEditor::FindLine(const QString& paneText,
                                                              const QString& name) {
    qsizetype start = 0;
    while (start < paneText.size()) {
        qsizetype end = start;
        while (end < paneText.size() && !IsPaneLineBreak(paneText[end])) ++end;
        const bool crLf = end < paneText.size() && paneText[end] == u'\n' && end > start &&
                          paneText[end - 1] == u'\r';
        const bool last = end == paneText.size();
        if (SameName(paneText.mid(start, end - start - (crLf ? 1 : 0)), name)) {
            return Range{start, last ? end : end + 1};
        }
        if (last) break;
        start = end + 1;
    }
    return std::nullopt;
}

}  // namespace zarivok
