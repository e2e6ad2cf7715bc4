#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <optional>

#include "base/ListFile.h"

namespace zarivok {

// Whether two account names are the same entry: every lookup in the database ignores letter case.
inline bool SameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The accounts that may command the bot (UserList), mirrored to Users.txt: one name per line,
// each line ended by CR LF. Names stay exactly as read or added (no trimming, no case folding;
// duplicates and empty names allowed). The master name is accepted besides the list and is never
// stored in it.
class UserDatabase {
  public:
    explicit UserDatabase(QString path);

    const QStringList& Entries() const { return entries_; }

    // LoadUserDatabase: replaces the list by the lines of the file. afterEachLine runs once per
    // line read; the bot lets pending events run there, so it may change this same database.
    void Load(const std::function<void()>& afterEachLine = {});

    // SaveUserDatabase: rewrites the file from the list in one step. Returns std::nullopt on
    // success, else a one-line reason for the chat pane; the list keeps its content either way.
    std::optional<QString> Save() const;

    // True for the master name (exact case, unless switched off) and for any listed name,
    // ignoring letter case.
    bool IsAuthorizedUser(QStringView name) const;
    bool IsAuthorizedUser(const QString& name) const { return IsAuthorizedUser(QStringView(name)); }
    // Whoever can register the master name on a server can otherwise command every bot there;
    // switched off, the master name has no more rights than any other unlisted name.
    void SetMasterEnabled(bool enabled) { masterEnabled_ = enabled; }

    void Append(const QString& name);
    // The index of the first entry equal to name ignoring letter case, or -1.
    qsizetype Find(QStringView name) const;
    qsizetype Find(const QString& name) const { return Find(QStringView(name)); }
    // Removes one entry; later entries move down by one. An index out of range changes nothing.
    void RemoveUserAt(qsizetype index);

  private:
    void IndexEntries();

    bool masterEnabled_ = true;
    QString path_;
    QStringList entries_;
    // A hash of each entry's name with its letter case folded: every line of channel talk asks
    // whether its speaker may command, and nearly every speaker is not listed. A name whose hash
    // is missing cannot be listed; one whose hash is there is looked up for certain.
    QSet<size_t> foldedHashes_;
    // The code page the file was read in: saving writes it back while every name fits it, so an
    // untouched file keeps its bytes.
    TextEncoding encoding_ = TextEncoding::kUtf8;
};

}  // namespace zarivok
