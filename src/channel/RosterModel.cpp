#include "channel/RosterModel.h"

#include "base/ChatColour.h"

namespace zarivok {

int RosterModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QVariant RosterModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const RosterEntry& entry = entries_[index.row()];
    switch (role) {
        case Qt::DisplayRole:
            return entry.name;
        case IconRole:
            return entry.icon;
        case ColourRole:
            return entry.highlighted ? QVariant::fromValue<quint32>(kYellow) : QVariant();
        default:
            return {};
    }
}

QVariant RosterModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole) return header_;
    return {};
}

QHash<int, QByteArray> RosterModel::roleNames() const {
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(IconRole, "icon");
    names.insert(ColourRole, "colour");
    return names;
}

void RosterModel::Insert(qsizetype row, const QString& name, int icon, bool provisional) {
    if (row < 0 || row > entries_.size()) return;
    beginInsertRows({}, static_cast<int>(row), static_cast<int>(row));
    entries_.insert(row, RosterEntry{name, icon, false, provisional, 0, {}});
    index_.Insert(row, name);
    endInsertRows();
}

void RosterModel::RemoveAt(qsizetype row) {
    if (row < 0 || row >= entries_.size()) return;
    beginRemoveRows({}, static_cast<int>(row), static_cast<int>(row));
    index_.Remove(row, entries_[row].name);
    entries_.removeAt(row);
    endRemoveRows();
}

void RosterModel::Replace(qsizetype row, const QString& name, int icon, bool provisional) {
    if (row < 0 || row >= entries_.size()) return;
    index_.Rename(row, entries_[row].name, name);
    RosterEntry& entry = entries_[row];
    entry = RosterEntry{name, icon, false, provisional, entry.flags, std::move(entry.product)};
    const QModelIndex changed = index(static_cast<int>(row));
    Q_EMIT dataChanged(changed, changed);
}

void RosterModel::SetFlags(qsizetype row, int flags) {
    if (row >= 0 && row < entries_.size()) entries_[row].flags = flags;
}

void RosterModel::SetProduct(qsizetype row, QStringView product) {
    if (row < 0 || row >= entries_.size()) return;
    constexpr qsizetype kMostProducts = 32;
    for (const QString& known : products_) {
        if (known == product) {
            entries_[row].product = known;
            return;
        }
    }
    entries_[row].product = product.toString();
    if (products_.size() < kMostProducts) products_.append(entries_[row].product);
}

void RosterModel::SetHighlighted(qsizetype row, bool highlighted) {
    if (row < 0 || row >= entries_.size() || entries_[row].highlighted == highlighted) return;
    entries_[row].highlighted = highlighted;
    const QModelIndex changed = index(static_cast<int>(row));
    Q_EMIT dataChanged(changed, changed, {ColourRole});
}

void RosterModel::Clear() {
    if (entries_.isEmpty()) return;
    beginResetModel();
    entries_.clear();
    index_.Clear();
    endResetModel();
}

qsizetype RosterModel::FindIgnoringCase(QStringView name) const {
    return index_.FirstMatch(name, [](qsizetype) { return true; });
}

qsizetype RosterModel::FindExact(QStringView name) const {
    if (name.isEmpty()) return -1;
    return index_.FirstMatch(name, [&](qsizetype row) { return entries_[row].name == name; });
}

qsizetype RosterModel::FindProvisional(QStringView name) const {
    return index_.FirstMatch(name, [&](qsizetype row) {
        return entries_[row].provisional && entries_[row].name == name;
    });
}

QStringList RosterModel::Names() const {
    QStringList names;
    names.reserve(entries_.size());
    for (const RosterEntry& entry : entries_) names.append(entry.name);
    return names;
}

void RosterModel::SetHeader(const QString& text) {
    if (header_ == text) return;
    header_ = text;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, 0);
}

}  // namespace zarivok
