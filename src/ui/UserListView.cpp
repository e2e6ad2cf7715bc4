#include "ui/UserListView.h"

#include <QHeaderView>
#include <QMouseEvent>

#include "channel/RosterModel.h"
#include "ui/ChatColours.h"
#include "ui/Icons.h"

namespace zarivok {

QVariant RosterViewModel::data(const QModelIndex& index, int role) const {
    switch (role) {
        case Qt::DecorationRole:
            return ChatIconPixmap(QIdentityProxyModel::data(index, RosterModel::IconRole).toInt());
        case Qt::ForegroundRole: {
            const QVariant colour = QIdentityProxyModel::data(index, RosterModel::ColourRole);
            return colour.isValid() ? QVariant(ToQColor(colour.value<quint32>())) : QVariant();
        }
        default:
            return QIdentityProxyModel::data(index, role);
    }
}

UserListView::UserListView(RosterModel& roster, QWidget* parent) : QTreeView(parent) {
    view_.setSourceModel(&roster);
    setModel(&view_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    // Every row has the one icon height: the view then lays out any number of users at once.
    setUniformRowHeights(true);
    setIconSize(kChatIconSize);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(true);
    header()->setSectionsClickable(false);
}

QString UserListView::SelectedName() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? QString() : rows.first().data(Qt::DisplayRole).toString();
}

bool UserListView::HasSelection() const { return !selectionModel()->selectedRows().isEmpty(); }

void UserListView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    Q_EMIT ButtonReleased(event->button());
}

void UserListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) Q_EMIT DoubleClicked();
}

}  // namespace zarivok
