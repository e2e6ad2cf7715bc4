#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

namespace zarivok {

// Finds roster rows by name without scanning the roster: a channel of thousands asks for one
// at every leave and flags change. Rows keep their order under inserts and removals anywhere, so
// each row carries a key that grows from the top (a row's number would change with every
// removal above it), and each key is filed under the row's name as Qt compares names ignoring
// case: code point by code point, each folded on its own. The owner reports every change of its
// rows, in the order it makes them.
class RosterIndex {
  public:
    void Insert(qsizetype row, QStringView name);
    void Remove(qsizetype row, QStringView name);
    // The name of a row changes; the row keeps its place.
    void Rename(qsizetype row, QStringView oldName, QStringView newName);
    void Clear();

    // The first row from the top whose name equals name ignoring case and for which accept(row)
    // holds, or -1.
    template <typename Accept>
    qsizetype FirstMatch(QStringView name, Accept accept) const {
        const auto bucket = buckets_.constFind(Key(name));
        if (bucket == buckets_.cend()) return -1;
        for (const quint64 key : *bucket) {
            const qsizetype row = RowOf(key);
            if (accept(row)) return row;
        }
        return -1;
    }

  private:
    static QString Key(QStringView name) { return name.toString().toCaseFolded(); }
    qsizetype RowOf(quint64 key) const;
    // Spreads the keys evenly again when two neighbours leave no room between them.
    void Renumber();

    // One key per row, top to bottom, strictly increasing.
    QList<quint64> keys_;
    // The rows' keys by case-folded name, ascending.
    QHash<QString, QList<quint64>> buckets_;
};

}  // namespace zarivok
