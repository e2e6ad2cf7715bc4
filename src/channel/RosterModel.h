#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include "channel/RosterIndex.h"

namespace zarivok {

struct RosterEntry {
    QString name;              // exactly as the server sent it
    int icon = 0;              // a ChatIcon number
    bool highlighted = false;  // shown in yellow instead of the list's normal colour
    // Added by a flags change before the user's own entry arrived (servers send a user's flags
    // ahead of the user at times): the user's entry then takes this place instead of doubling it.
    bool provisional = false;
    // The user's latest flags, and the product code without its brackets ("CHAT"), as the
    // channel's events gave them; nothing shows them, scripts read them.
    int flags = 0;
    QString product;

    bool operator==(const RosterEntry&) const = default;
};

}  // namespace zarivok

// Rows leave from anywhere in a channel of thousands: the list moves the entries after a removed
// one as plain memory instead of one by one.
Q_DECLARE_TYPEINFO(zarivok::RosterEntry, Q_RELOCATABLE_TYPE);

namespace zarivok {

// The users of the channel the bot is in, in the order they were inserted (never sorted, no
// key: the same name may stand twice). Any view can show it; the row text is the name.
class RosterModel : public QAbstractListModel {
    Q_OBJECT
  public:
    enum Role {
        IconRole = Qt::UserRole + 1,  // int, a ChatIcon number
        // The chat colour (0x00BBGGRR) of a highlighted row; no value for the normal colour.
        ColourRole,
    };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    qsizetype Count() const { return entries_.size(); }
    const RosterEntry& At(qsizetype row) const { return entries_[row]; }
    const QList<RosterEntry>& Entries() const { return entries_; }
    // The names of every row, in the list's order.
    QStringList Names() const;

    void Insert(qsizetype row, const QString& name, int icon, bool provisional = false);
    void Append(const QString& name, int icon, bool provisional = false) {
        Insert(Count(), name, icon, provisional);
    }
    void RemoveAt(qsizetype row);
    // Puts a new entry with the normal colour in place of the one at row; its flags and product
    // stay.
    void Replace(qsizetype row, const QString& name, int icon, bool provisional = false);
    // Neither changes what a view shows.
    void SetFlags(qsizetype row, int flags);
    void SetProduct(qsizetype row, QStringView product);
    void SetHighlighted(qsizetype row, bool highlighted);
    void Clear();

    // The first row whose name equals name ignoring letter case, or -1.
    qsizetype FindIgnoringCase(QStringView name) const;
    // The first row with a non-empty name equal to name exactly, or -1.
    qsizetype FindExact(QStringView name) const;
    // The first provisional row named name exactly, or -1.
    qsizetype FindProvisional(QStringView name) const;

    const QString& Header() const { return header_; }
    void SetHeader(const QString& text);

  private:
    QList<RosterEntry> entries_;
    RosterIndex index_;
    // The product codes seen, shared by every row that has one: a channel of thousands holds a
    // handful of them.
    QList<QString> products_;
    QString header_;
};

}  // namespace zarivok
