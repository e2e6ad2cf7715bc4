#include <gtest/gtest.h>

#include "ui/ChatColours.h"

namespace zarivok {
namespace {

TEST(ChatColoursTest, BlueIsTheHighByteBothWays) {
    for (const ChatColour colour :
         {kRed, kGreen, kYellow, kCyan, kWhite, kGrey, kBlack, ChatColour{0x123456}}) {
        SCOPED_TRACE(colour);
        EXPECT_EQ(FromQColor(ToQColor(colour)), colour);
    }
    EXPECT_EQ(ToQColor(kRed), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(kCyan), QColor(0, 255, 255));
    EXPECT_EQ(ToQColor(kYellow), QColor(255, 255, 0));
}

}  // namespace
}  // namespace zarivok
