#include "channel/RosterIndex.h"

#include <algorithm>
#include <limits>

namespace zarivok {
namespace {

// Room for a million inserts between two neighbours before their keys must be spread again.
constexpr quint64 kSpacing = quint64{1} << 20;

void AddKey(QList<quint64>& bucket, quint64 key) {
    bucket.insert(std::lower_bound(bucket.begin(), bucket.end(), key) - bucket.begin(), key);
}

}  // namespace

void RosterIndex::Insert(qsizetype row, QStringView name) {
    const bool appending = row == keys_.size();
    const auto below = [&] { return row > 0 ? keys_[row - 1] : 0; };
    const bool room = appending ? std::numeric_limits<quint64>::max() - below() >= kSpacing
                                : keys_[row] - below() >= 2;
    if (!room) Renumber();
    // Appending, the common case, leaves the same room after every row.
    const quint64 key = appending ? below() + kSpacing : below() + (keys_[row] - below()) / 2;
    keys_.insert(row, key);
    AddKey(buckets_[Key(name)], key);
}

void RosterIndex::Remove(qsizetype row, QStringView name) {
    const quint64 key = keys_[row];
    keys_.removeAt(row);
    const auto bucket = buckets_.find(Key(name));
    if (bucket == buckets_.end()) return;
    bucket->removeOne(key);
    if (bucket->isEmpty()) buckets_.erase(bucket);
}

void RosterIndex::Rename(qsizetype row, QStringView oldName, QStringView newName) {
    const QString oldKey = Key(oldName);
    const QString newKey = Key(newName);
    if (oldKey == newKey) return;
    const quint64 key = keys_[row];
    const auto bucket = buckets_.find(oldKey);
    if (bucket != buckets_.end()) {
        bucket->removeOne(key);
        if (bucket->isEmpty()) buckets_.erase(bucket);
    }
    AddKey(buckets_[newKey], key);
}

void RosterIndex::Clear() {
    keys_.clear();
    buckets_.clear();
}

qsizetype RosterIndex::RowOf(quint64 key) const {
    return std::lower_bound(keys_.cbegin(), keys_.cend(), key) - keys_.cbegin();
}

void RosterIndex::Renumber() {
    // Row r gets (r + 1) * kSpacing; every filed key moves with its row, so the buckets stay
    // sorted.
    for (QList<quint64>& bucket : buckets_) {
        for (quint64& key : bucket) key = (static_cast<quint64>(RowOf(key)) + 1) * kSpacing;
    }
    for (qsizetype row = 0; row < keys_.size(); ++row) {
        keys_[row] = (static_cast<quint64>(row) + 1) * kSpacing;
    }
}

}  // namespace zarivok
