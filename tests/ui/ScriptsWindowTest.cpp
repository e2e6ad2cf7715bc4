#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <QTreeWidget>

#include "scriptengine/JsRuntime.h"
#include "scripts/ScriptHost.h"
#include "ui/MainWindowFixture.h"
#include "ui/ScriptsWindow.h"

namespace zarivok {
namespace {

class ScriptsWindowTest : public testing::MainWindowFixture {
  protected:
    ScriptsWindowTest() {
        QDir(files.Folder()).mkdir(QStringLiteral("scripts"));
        bot().Scripts().SetRuntimeFactory(&MakeJsRuntime);
    }

    // Each row as "name state problem".
    QStringList Rows() const {
        QStringList rows;
        const QTreeWidget* list = window.Scripts()->lstScripts;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list->topLevelItem(i);
            rows.append(item->text(0) + u' ' + item->text(1) + u' ' + item->text(2));
        }
        return rows;
    }
};

// Files > Scripts lists every script with its state and last problem, follows the host, and
// reloads the one picked; the main window stays usable meanwhile.
TEST_F(ScriptsWindowTest, ListsTheScriptsAndReloadsThePickedOne) {
    files.WriteFile("scripts/good.js", "bot.print('loaded once');");
    files.WriteFile("scripts/bad.js", "null.x;");
    bot().Scripts().Start();
    window.show();
    window.mnuScripts->trigger();
    ScriptsWindow* scripts = window.Scripts();
    ASSERT_NE(scripts, nullptr);
    EXPECT_TRUE(scripts->isVisible());
    EXPECT_FALSE(scripts->isModal());
    EXPECT_EQ(Rows(), QStringList({"bad.js failed Script bad.js: TypeError: Cannot read property "
                                   "'x' of null (line 1)",
                                   "good.js loaded "}));
    EXPECT_FALSE(scripts->cmdReload->isEnabled());

    scripts->lstScripts->setCurrentItem(scripts->lstScripts->topLevelItem(1));
    ASSERT_TRUE(scripts->cmdReload->isEnabled());
    scripts->cmdReload->click();
    EXPECT_EQ(Pane().count("[good.js] loaded once"), 2);
    EXPECT_EQ(scripts->lstScripts->currentItem()->text(0), QStringLiteral("good.js"));

    // A script fixed on disk and reloaded from the list leaves the failed state.
    files.WriteFile("scripts/bad.js", "bot.print('mended');");
    scripts->lstScripts->setCurrentItem(scripts->lstScripts->topLevelItem(0));
    scripts->cmdReload->click();
    EXPECT_EQ(Rows(), QStringList({"bad.js loaded ", "good.js loaded "}));
    EXPECT_TRUE(Pane().contains("[bad.js] mended"));

    scripts->cmdClose->click();
    EXPECT_FALSE(scripts->isVisible());
}

}  // namespace
}  // namespace zarivok
