#include "ui/IconSymbols.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace zarivok {
namespace {

QLinearGradient VerticalShade(qreal top, qreal bottom, const QColor& light, const QColor& dark) {
    QLinearGradient shade(0, top, 0, bottom);
    shade.setColorAt(0, light);
    shade.setColorAt(1, dark);
    return shade;
}

// A five-pointed star with its centre at `centre`, one point straight up.
QPainterPath Star(QPointF centre, qreal outer, qreal inner) {
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = i % 2 == 0 ? outer : inner;
        const qreal angle = M_PI * (i / 5.0 - 0.5);
        const QPointF point = centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
        if (i == 0) {
            star.moveTo(point);
        } else {
            star.lineTo(point);
        }
    }
    star.closeSubpath();
    return star;
}

}  // namespace

void DrawGavel(QPainter& painter) {
    // The sound block first, so the head rests on it.
    painter.setPen(QPen(QColor(0x4a2c12), 1));
    painter.setBrush(VerticalShade(10, 13, QColor(0xa8743c), QColor(0x6b4220)));
    painter.drawRoundedRect(QRectF(13.5, 10.5, 12, 3), 1, 1);

    painter.save();
    painter.translate(15.5, 5);
    painter.rotate(-35);
    // The handle leaves the middle of the head towards the lower left.
    painter.setPen(QPen(QColor(0x4a2c12), 1));
    painter.setBrush(QColor(0xc98a4b));
    painter.drawRoundedRect(QRectF(-14, -1.3, 13, 2.6), 1, 1);
    painter.setBrush(VerticalShade(-5, 5, QColor(0xc48447), QColor(0x7a4a1e)));
    painter.drawRoundedRect(QRectF(-2.5, -5, 5.5, 10), 1.2, 1.2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xe8c060));
    painter.drawRect(QRectF(-2, -3.4, 4.5, 1.1));
    painter.drawRect(QRectF(-2, 2.4, 4.5, 1.1));
    painter.restore();
}

void DrawRedCross(QPainter& painter) {
    const QLineF strokes[] = {{9, 2.5, 19, 11.5}, {19, 2.5, 9, 11.5}};
    // A darker rim under the bright stroke keeps the cross crisp on white.
    painter.setPen(QPen(QColor(0x8a0a0a), 4.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLines(strokes, 2);
    painter.setPen(QPen(QColor(0xe52222), 2.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLines(strokes, 2);
}

void DrawAdminShield(QPainter& painter) {
    QPainterPath shield;
    shield.moveTo(8.5, 1.5);
    shield.lineTo(19.5, 1.5);
    shield.lineTo(19.5, 6.5);
    shield.cubicTo(19.5, 10, 16.5, 12, 14, 13.2);
    shield.cubicTo(11.5, 12, 8.5, 10, 8.5, 6.5);
    shield.closeSubpath();
    painter.setPen(QPen(QColor(0x1c2f5e), 1));
    painter.setBrush(VerticalShade(1, 13, QColor(0x3f63b0), QColor(0x1c3470)));
    painter.drawPath(shield);
    painter.setPen(QPen(QColor(0x7a5410), 0.6));
    painter.setBrush(QColor(0xffd24a));
    painter.drawPath(Star(QPointF(14, 6.8), 4.2, 1.8));
}

void DrawNetworkGlobe(QPainter& painter) {
    const QPointF centre(14, 7);
    const QColor ringColour(0xf08a1c);
    const auto ring = [&](int startDegrees, int spanDegrees) {
        painter.save();
        painter.translate(centre);
        painter.rotate(-12);
        painter.setPen(QPen(ringColour, 1.6, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(QRectF(-12.5, -3.4, 25, 6.8), startDegrees * 16, spanDegrees * 16);
        painter.restore();
    };
    // The ring passes behind the globe at the top and in front of it at the bottom.
    ring(0, 180);
    QRadialGradient sea(centre - QPointF(2, 2), 7);
    sea.setColorAt(0, QColor(0x7cc4ff));
    sea.setColorAt(1, QColor(0x1a5fb4));
    painter.setPen(QPen(QColor(0x0f3b78), 1));
    painter.setBrush(sea);
    painter.drawEllipse(centre, 5.8, 5.8);
    painter.setPen(QPen(QColor(255, 255, 255, 190), 0.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, 2.4, 5.8);
    painter.drawLine(QPointF(8.4, 7), QPointF(19.6, 7));
    ring(180, 180);
}

void DrawMegaphone(QPainter& painter) {
    QPainterPath cone;
    cone.moveTo(6.5, 5);
    cone.lineTo(16.5, 1);
    cone.lineTo(16.5, 13);
    cone.lineTo(6.5, 9);
    cone.closeSubpath();
    painter.setPen(QPen(QColor(0x7a2a06), 1));
    painter.setBrush(QColor(0x5a5f66));
    painter.drawRoundedRect(QRectF(2.5, 5, 4, 4), 1, 1);
    painter.drawRect(QRectF(8.5, 9, 2, 3.5));
    painter.setBrush(VerticalShade(1, 13, QColor(0xff9a3c), QColor(0xc8400c)));
    painter.drawPath(cone);
    painter.setBrush(QColor(0xffd9a8));
    painter.drawEllipse(QRectF(15, 1, 3, 12));
    // The sound, as two arcs in front of the bell.
    painter.setPen(QPen(QColor(0x4a5058), 1.3, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(14, 2.5, 9, 9), -45 * 16, 90 * 16);
    painter.drawArc(QRectF(13, 0, 14, 14), -45 * 16, 90 * 16);
}

void DrawGlasses(QPainter& painter) {
    const QPointF left(8.5, 7.5);
    const QPointF right(19.5, 7.5);
    const QColor frame(0x222428);
    painter.setPen(QPen(frame, 1.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(4.2, 6), QPointF(1, 4));
    painter.drawLine(QPointF(23.8, 6), QPointF(27, 4));
    QPainterPath bridge;
    bridge.moveTo(12.8, 6.2);
    bridge.quadTo(14, 4.6, 15.2, 6.2);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(bridge);
    painter.setBrush(VerticalShade(3, 12, QColor(0xdff0ff), QColor(0x8cc2f0)));
    painter.drawEllipse(left, 4.4, 4.4);
    painter.drawEllipse(right, 4.4, 4.4);
    // A glint on each lens tells glass from a pair of rings.
    painter.setPen(QPen(Qt::white, 1.1, Qt::SolidLine, Qt::RoundCap));
    for (const QPointF& centre : {left, right}) {
        painter.drawLine(centre + QPointF(-2.2, -0.6), centre + QPointF(-0.8, -2.2));
    }
}

}  // namespace zarivok
