// zarivok_art OUTDIR: renders every picture of the desktop window to PNG files, for the install
// (the window icon at every size of the icon theme, in OUTDIR/hicolor) and for looking at the
// drawings while working on them.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "channel/ProductIcons.h"
#include "ui/Icons.h"

using namespace zarivok;

namespace {

constexpr int kZoom = 8;
constexpr int kSheetColumns = 6;
constexpr int kCellPadding = 24;

bool Save(const QPixmap& pixmap, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    if (pixmap.save(path, "PNG")) return true;
    std::fprintf(stderr, "zarivok_art: cannot write %s\n", qPrintable(path));
    return false;
}

// All icons zoomed with hard pixel edges on the list's white, numbered, and below them the same
// icons at their real size on white and on a light grey, as a list shows them.
QPixmap IconSheet() {
    const QSize zoomed = kChatIconSize * kZoom;
    const QSize cell = zoomed + QSize(kCellPadding, kCellPadding);
    const int rows = (kChatIconCount + kSheetColumns - 1) / kSheetColumns;
    constexpr int kRealSizeStrip = 40;
    QImage sheet(cell.width() * kSheetColumns + kCellPadding,
                 cell.height() * rows + kCellPadding + 2 * kRealSizeStrip,
                 QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    QFont font;
    font.setPixelSize(14);
    painter.setFont(font);
    for (int number = 1; number <= kChatIconCount; ++number) {
        const int index = number - 1;
        const QPoint corner(kCellPadding + (index % kSheetColumns) * cell.width(),
                            kCellPadding + (index / kSheetColumns) * cell.height());
        painter.setPen(QColor(0x808080));
        painter.drawText(corner + QPoint(0, -6), QString::number(number));
        painter.drawPixmap(QRect(corner, zoomed), ChatIconPixmap(number));
    }
    const int stripTop = kCellPadding + rows * cell.height();
    painter.fillRect(0, stripTop + kRealSizeStrip, sheet.width(), kRealSizeStrip, QColor(0xececec));
    for (int strip = 0; strip < 2; ++strip) {
        for (int number = 1; number <= kChatIconCount; ++number) {
            painter.drawPixmap(kCellPadding + (number - 1) * (kChatIconSize.width() + 8),
                               stripTop + strip * kRealSizeStrip + 13, ChatIconPixmap(number));
        }
    }
    painter.end();
    return QPixmap::fromImage(sheet);
}

}  // namespace

int main(int argc, char** argv) {
    // Runs at build time, where there is no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zarivok_art OUTDIR\n");
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "zarivok_art: cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = true;
    for (int number = 1; number <= kChatIconCount; ++number) {
        ok &= Save(ChatIconPixmap(number), dir,
                   QStringLiteral("chat-icon-%1.png").arg(number, 2, 10, QLatin1Char('0')));
    }
    ok &= Save(IconSheet(), dir, QStringLiteral("chat-icons-sheet.png"));
    ok &= Save(WindowIconPixmap(), dir, QStringLiteral("window-icon.png"));
    ok &= Save(WindowIconPixmap().scaled(WindowIconPixmap().size() * kZoom), dir,
               QStringLiteral("window-icon-zoomed.png"));
    ok &= Save(BackgroundPicture(), dir, QStringLiteral("background.png"));
    // The icon theme's tree, as it is installed under share/icons.
    for (const int size : kWindowIconSizes) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        ok &= dir.mkpath(folder);
        ok &=
            Save(WindowIconPixmap(size), QDir(dir.filePath(folder)), QStringLiteral("zarivok.png"));
    }
    return ok ? 0 : 1;
}
