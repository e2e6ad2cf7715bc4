#include <gtest/gtest.h>

#include "display/ChatOutput.h"
#include "settings/Settings.h"
#include "support/RecordingPane.h"

namespace zarivok {
namespace {

using testing::RecordingPane;

struct Output {
    Settings settings;
    RecordingPane pane;
    ChatOutput output{pane, settings};

    void Call(int times) {
        for (int i = 0; i < times; ++i) output.AppendChat(QStringLiteral("line\r\n"), kGreen);
    }
};

const QString kCleared = QStringLiteral("Chat has been Auto-Cleared.\r\n");

TEST(ChatOutputTest, ClearsWhenTheCountReachesTheThreshold) {
    Output o;
    o.settings.intEnableAutoClear = 1;
    o.settings.intAutoClearAtLine = 5;
    o.Call(4);
    EXPECT_EQ(o.pane.Text(), QString("line\r\n").repeated(4));
    o.Call(1);
    EXPECT_EQ(o.pane.Text(), kCleared);
    EXPECT_TRUE(o.pane.Runs().last().cleared);
    o.Call(1);
    EXPECT_EQ(o.pane.Text(), kCleared + "line\r\n");
    EXPECT_EQ(o.output.LineCount(), 1);
}

TEST(ChatOutputTest, SwitchAndThresholdTable) {
    struct Case {
        int enable, threshold, calls;
        bool clearedAtEnd;
    };
    const Case cases[] = {
        {1, 0, 3, true}, {1, 1, 3, true}, {0, 1, 50, false}, {2, 1, 50, false}, {-1, 1, 50, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.enable << "/" << c.threshold);
        Output o;
        o.settings.intEnableAutoClear = c.enable;
        o.settings.intAutoClearAtLine = c.threshold;
        o.Call(c.calls);
        EXPECT_EQ(o.pane.Text() == kCleared, c.clearedAtEnd);
    }
}

TEST(ChatOutputTest, SwitchingOnAfterPassingTheThresholdClearsAtTheNextCall) {
    Output o;
    o.settings.intAutoClearAtLine = 20;
    o.Call(50);
    EXPECT_EQ(o.output.LineCount(), 50);
    o.settings.intEnableAutoClear = 1;
    o.Call(1);
    EXPECT_EQ(o.pane.Text(), kCleared);
}

TEST(ChatOutputTest, TheCountNeverWraps) {
    Output o;
    o.settings.intAutoClearAtLine = 1;
    o.Call(40000);
    EXPECT_EQ(o.output.LineCount(), 40000);
    o.settings.intEnableAutoClear = 1;
    o.Call(1);
    EXPECT_EQ(o.pane.Text(), kCleared);
}

TEST(ChatOutputTest, EmptyRuns) {
    Output o;
    o.output.AppendChat(QStringLiteral("one\r\n"), kRed, QString(), kWhite);
    o.output.AppendChat(QString(), kRed, QStringLiteral("two\r\n"), kCyan);
    EXPECT_EQ(o.pane.Transcript().toStdString(), "red|one\\r\\n\nred|\ncyan|two\\r\\n\n");
}

}  // namespace
}  // namespace zarivok
