#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <limits>

#include "channel/ProductIcons.h"
#include "ui/Icons.h"

namespace zarivok {
namespace {

QImage OnWhite(const QPixmap& pixmap) {
    QImage image(pixmap.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawPixmap(0, 0, pixmap);
    return image;
}

TEST(IconsTest, EveryChatIconNumberHasAPictureOfTheListSize) {
    for (int number = 1; number <= kChatIconCount; ++number) {
        SCOPED_TRACE(number);
        const QPixmap pixmap = ChatIconPixmap(number);
        ASSERT_FALSE(pixmap.isNull());
        EXPECT_EQ(pixmap.size(), kChatIconSize);
    }
}

TEST(IconsTest, NumbersOutsideTheListHaveNoPicture) {
    for (const int number : {0, kChatIconCount + 1, -1, std::numeric_limits<int>::min(),
                             std::numeric_limits<int>::max()}) {
        SCOPED_TRACE(number);
        EXPECT_TRUE(ChatIconPixmap(number).isNull());
    }
}

TEST(IconsTest, NoTwoChatIconsLookAlike) {
    for (int first = 1; first <= kChatIconCount; ++first) {
        for (int second = first + 1; second <= kChatIconCount; ++second) {
            SCOPED_TRACE(testing::Message() << first << " and " << second);
            EXPECT_NE(ChatIconPixmap(first).toImage(), ChatIconPixmap(second).toImage());
        }
    }
}

// A picture that draws nothing, or only a faint smudge, passes every size check; on the list's
// white it must leave a clear mark.
TEST(IconsTest, EveryChatIconShowsOnTheListsWhite) {
    constexpr int kMinimumInk = 40;  // pixels, of 392; the sparsest pictures have about 120
    for (int number = 1; number <= kChatIconCount; ++number) {
        SCOPED_TRACE(number);
        const QImage image = OnWhite(ChatIconPixmap(number));
        int ink = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (QColor(image.pixel(x, y)).lightness() < 180) ++ink;
            }
        }
        EXPECT_GE(ink, kMinimumInk);
    }
}

TEST(IconsTest, PicturesAreDrawnOnceAndReused) {
    EXPECT_EQ(ChatIconPixmap(6).cacheKey(), ChatIconPixmap(6).cacheKey());
    EXPECT_EQ(WindowIconPixmap().cacheKey(), WindowIconPixmap().cacheKey());
    EXPECT_EQ(BackgroundPicture().cacheKey(), BackgroundPicture().cacheKey());
}

TEST(IconsTest, TheWindowIconIsDrawnAtEverySizeOfTheTheme) {
    const QPixmap pixmap = WindowIconPixmap();
    ASSERT_EQ(pixmap.size(), QSize(32, 32));
    EXPECT_EQ(WindowIconPixmap(32).toImage(), pixmap.toImage());
    const QIcon icon = WindowIcon();
    ASSERT_FALSE(icon.isNull());
    for (const int size : kWindowIconSizes) {
        SCOPED_TRACE(size);
        const QImage image = WindowIconPixmap(size).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));
        EXPECT_EQ(icon.pixmap(QSize(size, size)).toImage(), image);
        // A tile with its corners cut round: opaque in the middle, clear in the corner.
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255);
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    }
}

// The chat pane and the user list sit on it; what shows between them must be as calm and dark as
// the black pane, and nothing of the window below may shine through.
TEST(IconsTest, TheBackgroundIsOpaqueAndDarkAllOver) {
    const QImage image = BackgroundPicture().toImage();
    ASSERT_EQ(image.size(), QSize(700, 500));
    int brightest = 0;
    bool opaque = true;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            opaque = opaque && qAlpha(pixel) == 255;
            brightest = std::max(brightest, QColor(pixel).lightness());
        }
    }
    EXPECT_TRUE(opaque);
    EXPECT_LT(brightest, 100);
}

}  // namespace
}  // namespace zarivok
