#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include "ui/ChatPaneWidget.h"

namespace zarivok {
namespace {

// What the screen shows of the pane: the pixels the window system has, built up by shifting what
// was drawn and drawing what is new, compared with the pane drawn afresh from its text.
QImage Shown(ChatPaneWidget& pane) {
    QWidget* view = pane.viewport();
    const QPoint at = view->mapTo(pane.window(), QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(pane.window()->winId(), at.x(), at.y(), view->width(), view->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QImage Fresh(ChatPaneWidget& pane) {
    return pane.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Lines come one at a time, a few at a time and many at a time between two paints; however they
// came, the view ends at the newest line and shows exactly what drawing it anew shows.
TEST(ChatPaneWidgetTest, ShowsTheNewestLinesWhateverTheBurstsBetweenPaints) {
    ChatPaneWidget pane(Qt::black, Qt::white);
    pane.resize(505, 385);
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    const int bursts[] = {1, 1, 3, 1, 2, 40, 1, 7, 150, 1, 25, 26, 2};
    int line = 0;
    for (const int burst : bursts) {
        SCOPED_TRACE(burst);
        for (int i = 0; i < burst; ++i, ++line) {
            pane.AppendRuns(QStringLiteral("[9:05:03 PM] <User%1> ").arg(line % 7), kYellow,
                            QStringLiteral("line %1 of the channel\r\n").arg(line), kWhite);
        }
        const QScrollBar* scroll = pane.verticalScrollBar();
        EXPECT_EQ(scroll->value(), scroll->maximum());
        QCoreApplication::processEvents();
        EXPECT_EQ(Shown(pane), Fresh(pane));
    }
}

}  // namespace
}  // namespace zarivok
