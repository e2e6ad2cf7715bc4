#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "bot/Bot.h"
#include "channel/RosterModel.h"
#include "ui/ChatColours.h"
#include "ui/Icons.h"
#include "ui/MainWindowFixture.h"
#include "ui/UserListView.h"

namespace zarivok {
namespace {

// The bot in Lobby with alice (no UDP: yellow) and Bob (operator: the gavel) listed after
// itself; the window shown, so that the list takes real mouse events.
class UserListTest : public testing::MainWindowFixture {
  protected:
    void SetUp() override {
        gateway.AddChannelUser("alice", "0010", "STAR");
        gateway.AddChannelUser("Bob", "0002", "CHAT");
        files.WriteFile("Users.txt", "carol\r\n");
        LogIn();
        ASSERT_TRUE(ChatGateway::WaitUntil([&] { return bot().Roster().Count() == 3; }));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        start = gateway.Received().size();
    }

    QPoint RowCentre(int row) {
        const QModelIndex index = window.ChannelUsers->model()->index(row, 0);
        return window.ChannelUsers->visualRect(index).center();
    }
    void Click(Qt::MouseButton button, int row) {
        QTest::mouseClick(window.ChannelUsers->viewport(), button, {}, RowCentre(row));
    }
    // Below the last row: the press hits no entry.
    QPoint Empty() { return {20, window.ChannelUsers->viewport()->height() - 5}; }

    QByteArray SentUntil(const QByteArray& last) {
        if (!ChatGateway::WaitUntil([&] { return gateway.Received().mid(start).endsWith(last); }))
            return "(not sent: " + last + ")";
        return gateway.Received().mid(start);
    }

    qsizetype start = 0;
};

TEST_F(UserListTest, ShowsEachUserWithIconAndColour) {
    const QAbstractItemModel* model = window.ChannelUsers->model();
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->index(1, 0).data().toString(), QStringLiteral("alice"));
    EXPECT_EQ(model->index(1, 0).data(Qt::ForegroundRole).value<QColor>(), ToQColor(kYellow));
    EXPECT_FALSE(model->index(2, 0).data(Qt::ForegroundRole).isValid());
    const QPixmap gavel = model->index(2, 0).data(Qt::DecorationRole).value<QPixmap>();
    EXPECT_EQ(gavel.toImage(), ChatIconPixmap(1).toImage());
    const QPixmap starcraft = model->index(1, 0).data(Qt::DecorationRole).value<QPixmap>();
    EXPECT_EQ(starcraft.toImage(), ChatIconPixmap(6).toImage());
}

TEST_F(UserListTest, ClicksPickTheUserAndTheRightButtonOpensThePopupOnAnEntryOnly) {
    // Nothing selected yet: a right click below the entries shows no menu.
    bot().PickUser(QStringLiteral("stale"));
    QTest::mouseClick(window.ChannelUsers->viewport(), Qt::RightButton, {}, Empty());
    EXPECT_EQ(bot().strList(), QString());
    EXPECT_FALSE(window.mnuList->isVisible());

    Click(Qt::LeftButton, 1);
    EXPECT_EQ(bot().strList(), QStringLiteral("alice"));
    EXPECT_FALSE(window.mnuList->isVisible());
    Click(Qt::RightButton, 1);
    EXPECT_EQ(bot().strList(), QStringLiteral("alice"));
    EXPECT_TRUE(window.mnuList->isVisible());
    window.mnuList->hide();

    // The pick outlives the user.
    gateway.SendLine(ChatGateway::LeaveLine("alice", "0010"));
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return bot().Roster().Count() == 2; }));
    EXPECT_EQ(bot().strList(), QStringLiteral("alice"));
}

TEST_F(UserListTest, DoubleClickAppendsTheNameAndWhisperSendsToThePickedUser) {
    // A double click is a click (which picks the user) and then the double click itself.
    const auto doubleClick = [&](int row) {
        Click(Qt::LeftButton, row);
        QTest::mouseDClick(window.ChannelUsers->viewport(), Qt::LeftButton, {}, RowCentre(row));
    };
    window.txtSend->setText(QStringLiteral("hello "));
    doubleClick(1);
    EXPECT_EQ(window.txtSend->text(), QStringLiteral("hello alice"));
    doubleClick(2);
    EXPECT_EQ(window.txtSend->text(), QStringLiteral("hello aliceBob"));

    Click(Qt::LeftButton, 1);
    window.txtSend->setText(QStringLiteral("hi"));
    window.cmdWhisper->click();
    EXPECT_EQ(SentUntil("/w alice hi\r\n"), QByteArray("/w alice hi\r\n"));
    EXPECT_EQ(window.txtSend->text(), QStringLiteral("hi"));
    EXPECT_FALSE(Pane().contains("/w alice"));  // commands are not echoed

    // With nobody picked the line still goes, with two blanks.
    bot().PickUser(QString());
    window.cmdWhisper->click();
    EXPECT_TRUE(SentUntil("/w  hi\r\n").endsWith("/w  hi\r\n"));
}

TEST_F(UserListTest, EachPopupItemActsOnThePickedUser) {
    Click(Qt::LeftButton, 2);
    ASSERT_EQ(bot().strList(), QStringLiteral("Bob"));
    for (QAction* item : {window.mnuBan, window.mnuKick, window.mnuDesignate, window.mnuSquelch,
                          window.mnuUnsquelch, window.mnuAdd}) {
        item->trigger();
    }
    EXPECT_EQ(SentUntil("User Bob has been added to database.\r\n"),
              QByteArray("/ban Bob\r\n/kick Bob\r\n/designate Bob\r\n/squelch Bob\r\n"
                         "/unsquelch Bob\r\nUser Bob has been added to database.\r\n"));
    ASSERT_TRUE(
        ChatGateway::WaitUntil([&] { return files.ReadFile("Users.txt") == "carol\r\nBob\r\n"; }));
    window.mnuRemove->trigger();
    window.mnuRemove->trigger();
    EXPECT_TRUE(SentUntil("Error: No such user, Bob\r\n")
                    .endsWith("User Bob has been deleted.\r\nError: No such user, Bob\r\n"));
    EXPECT_EQ(files.ReadFile("Users.txt"), QByteArray("carol\r\n"));
}

}  // namespace
}  // namespace zarivok
