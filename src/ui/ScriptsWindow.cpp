#include "ui/ScriptsWindow.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "scripts/ScriptHost.h"

namespace zarivok {
namespace {

enum Column { kName, kState, kProblem };

}  // namespace

ScriptsWindow::ScriptsWindow(ScriptHost& scripts, QWidget* parent)
    : QWidget(parent, Qt::Window), scripts_(scripts) {
    setWindowTitle(QStringLiteral("Scripts"));
    resize(560, 260);
    lstScripts = new QTreeWidget(this);
    lstScripts->setObjectName(QStringLiteral("lstScripts"));
    lstScripts->setHeaderLabels(
        {QStringLiteral("Script"), QStringLiteral("State"), QStringLiteral("Last problem")});
    lstScripts->setRootIsDecorated(false);
    lstScripts->setAllColumnsShowFocus(true);
    lstScripts->header()->setStretchLastSection(true);
    cmdReload = new QPushButton(QStringLiteral("&Reload"), this);
    cmdReload->setObjectName(QStringLiteral("cmdReload"));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdReload);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstScripts);
    layout->addLayout(buttons);

    connect(cmdReload, &QPushButton::clicked, this, &ScriptsWindow::cmdReload_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::hide);
    connect(lstScripts, &QTreeWidget::itemSelectionChanged, this,
            [this] { cmdReload->setEnabled(lstScripts->currentItem() != nullptr); });
    connect(&scripts_, &ScriptHost::StatesChanged, this, &ScriptsWindow::Fill);
    Fill();
}

void ScriptsWindow::ShowScripts() {
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    Fill();
    show();
    raise();
    activateWindow();
}

void ScriptsWindow::Fill() {
    // The pick survives the refill, so that Reload acts on what the operator chose.
    const QTreeWidgetItem* current = lstScripts->currentItem();
    const QString picked = current ? current->text(kName) : QString();
    lstScripts->clear();
    for (const ScriptState& state : scripts_.States()) {
        auto* item = new QTreeWidgetItem(lstScripts);
        item->setText(kName, state.name);
        item->setText(kState, state.loaded ? QStringLiteral("loaded") : QStringLiteral("failed"));
        item->setText(kProblem, state.lastError);
        item->setToolTip(kProblem, state.lastError);
        if (state.name == picked) lstScripts->setCurrentItem(item);
    }
    lstScripts->resizeColumnToContents(kName);
    lstScripts->resizeColumnToContents(kState);
    cmdReload->setEnabled(lstScripts->currentItem() != nullptr);
}

void ScriptsWindow::cmdReload_Click() {
    const QTreeWidgetItem* current = lstScripts->currentItem();
    if (current) scripts_.Reload(current->text(kName));
}

}  // namespace zarivok
