#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace zarivok {

// One line of Banlist.txt: a name pattern, then optionally a blank and the reason given with the
// ban.
struct BanEntry {
    QString pattern;
    QString reason;

    bool operator==(const BanEntry&) const = default;
};

// The ban list: name patterns in which "*" stands for any run of characters (none included) and
// "?" for exactly one character; every other character stands for itself, and letter case is
// ignored. Patterns without wildcards are looked up in a hash, so a list of thousands costs a
// join one lookup plus a walk over the patterns that do have wildcards.
class BanList {
  public:
    const QList<BanEntry>& Entries() const { return entries_; }
    qsizetype Size() const { return entries_.size(); }

    void SetEntries(QList<BanEntry> entries);
    // Adds the pattern, or gives an entry with the same pattern (ignoring letter case) the new
    // reason. Returns false for an empty pattern, which can never match anybody.
    bool Add(const QString& pattern, const QString& reason);
    // Removes the entry whose pattern equals pattern ignoring letter case; false when none does.
    bool Remove(QStringView pattern);

    // The first entry, in list order, whose pattern matches name; nullptr when none does.
    const BanEntry* Match(QStringView name) const;

    static bool HasWildcards(QStringView pattern);
    // Whether pattern matches the whole of name, ignoring letter case.
    static bool PatternMatches(QStringView pattern, QStringView name);

    // The file's lines as entries: the pattern up to the first blank, the reason after it
    // (without blanks around it). Lines with no pattern (empty, or starting with a blank) are
    // skipped.
    static QList<BanEntry> ParseLines(const QStringList& lines);
    // The entries as the file's lines: "pattern reason", or the bare pattern.
    static QStringList ToLines(const QList<BanEntry>& entries);

  private:
    void Reindex();

    QList<BanEntry> entries_;
    // Case-folded pattern of each entry without wildcards -> its first index.
    QHash<QString, qsizetype> exact_;
    // Indexes of the entries with wildcards, in list order, with their folded patterns.
    QList<qsizetype> wild_;
    QStringList wildFolded_;
};

}  // namespace zarivok
