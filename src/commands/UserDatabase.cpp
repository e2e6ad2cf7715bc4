#include "commands/UserDatabase.h"

#include <utility>

#include "base/Texts.h"

namespace zarivok {
namespace {

// The same for any two names that SameName holds for: Qt compares ignoring case code point by
// code point, each folded on its own.
size_t FoldedHash(QStringView name) {
    size_t hash = name.size();
    for (qsizetype i = 0; i < name.size(); ++i) {
        char32_t code = name[i].unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(name[i].unicode(), name[i + 1].unicode());
            ++i;
        }
        // ASCII, most names, folds without the Unicode tables.
        const char32_t folded = code >= 0x80                   ? QChar::toCaseFolded(code)
                                : code >= u'A' && code <= u'Z' ? code + (u'a' - u'A')
                                                               : code;
        hash = hash * 1000003u ^ folded;
    }
    return hash;
}

}  // namespace

UserDatabase::UserDatabase(QString path) : path_(std::move(path)) {}

void UserDatabase::Load(const std::function<void()>& afterEachLine) {
    // A missing or unreadable file is an empty database, silently: a fresh installation has no
    // Users.txt until the first name is added, and then only the master name may command.
    const ListFileText file = ReadListFile(path_).content;
    QStringList lines = SplitListLines(file.text);

    // The whole file is taken in before any event runs: a command run by afterEachLine then
    // finds the complete new list, and what it adds or removes (and saves at once) stays. Only
    // the number of lines is kept across the calls; nothing refers into the list, which such a
    // command may change or even replace with a nested Load.
    const qsizetype lineCount = lines.size();
    entries_ = std::move(lines);
    IndexEntries();
    encoding_ = file.encoding;
    if (!afterEachLine) return;
    for (qsizetype i = 0; i < lineCount; ++i) afterEachLine();
}

std::optional<QString> UserDatabase::Save() const {
    return WriteListFile(path_, JoinListLines(entries_), encoding_);
}

bool UserDatabase::IsAuthorizedUser(QStringView name) const {
    if (masterEnabled_ && name == QLatin1String(kMasterName)) return true;
    return foldedHashes_.contains(FoldedHash(name)) && Find(name) >= 0;
}

void UserDatabase::Append(const QString& name) {
    entries_.append(name);
    foldedHashes_.insert(FoldedHash(name));
}

qsizetype UserDatabase::Find(QStringView name) const {
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        if (SameName(entries_[i], name)) return i;
    }
    return -1;
}

void UserDatabase::RemoveUserAt(qsizetype index) {
    if (index < 0 || index >= entries_.size()) return;
    entries_.removeAt(index);
    // Other entries may share the hash, so the set is made anew; removals are rare.
    IndexEntries();
}

void UserDatabase::IndexEntries() {
    foldedHashes_.clear();
    for (const QString& entry : entries_) foldedHashes_.insert(FoldedHash(entry));
}

}  // namespace zarivok
