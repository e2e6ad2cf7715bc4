#include "commands/UserDatabase.h"

#include <utility>

#include "core/Texts.h"

namespace zarivok {

UserDatabase::UserDatabase(QString path) : path_(std::move(path)) {}

void UserDatabase::Load(const std::function<void()>& afterEachLine) {
    // A missing or unreadable file is an empty database, silently: a fresh installation has no
    // Users.txt until the first name is added, and then only the master name may command.
    const UsersFileText file = ReadUsersFile(path_).content;
    QStringList lines = SplitUsersLines(file.text);

    // The whole file is taken in before any event runs: a command run by afterEachLine then
    // finds the complete new list, and what it adds or removes (and saves at once) stays. Only
    // the number of lines is kept across the calls; nothing refers into the list, which such a
    // command may change or even replace with a nested Load.
    const qsizetype lineCount = lines.size();
    entries_ = std::move(lines);
    encoding_ = file.encoding;
    if (!afterEachLine) return;
    for (qsizetype i = 0; i < lineCount; ++i) afterEachLine();
}

std::optional<QString> UserDatabase::Save() const {
    return WriteUsersFile(path_, JoinUsersLines(entries_), encoding_);
}

bool UserDatabase::IsAuthorizedUser(const QString& name) const {
    return name == QLatin1String(kMasterName) || Find(name) >= 0;
}

qsizetype UserDatabase::Find(const QString& name) const {
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        if (SameName(entries_[i], name)) return i;
    }
    return -1;
}

void UserDatabase::RemoveUserAt(qsizetype index) {
    if (index >= 0 && index < entries_.size()) entries_.removeAt(index);
}

}  // namespace zarivok
