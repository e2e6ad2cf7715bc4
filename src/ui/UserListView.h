#pragma once

#include <QIdentityProxyModel>
#include <QTreeView>

namespace zarivok {

class RosterModel;

// The roster as a list view shows it: the icon number becomes its picture, a highlighted row
// takes its colour. Everything else passes through unchanged.
class RosterViewModel : public QIdentityProxyModel {
    Q_OBJECT
  public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};

// ChannelUsers: the channel roster in one column whose header is the channel's name. It only
// reports the mouse; what a click means is the main window's business.
class UserListView : public QTreeView {
    Q_OBJECT
  public:
    explicit UserListView(RosterModel& roster, QWidget* parent = nullptr);

    // The text of the selected entry; empty when no entry is selected.
    QString SelectedName() const;
    bool HasSelection() const;

  Q_SIGNALS:
    // A button was released over the list (the click of a left button; the popup's right one).
    void ButtonReleased(Qt::MouseButton button);
    void DoubleClicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    RosterViewModel view_;
};

}  // namespace zarivok
