#include "tools/artgen/box_art.h"

#include "tools/artgen/palette.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

const QString fontFamily = QStringLiteral("Liberation Sans");

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

void prepare(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
}

// A gradient from one point to another filling a rectangle: skies, walls, the sunset.
void fillGradient(QPainter& p, const QRectF& r, QPointF from, QPointF to, const QGradientStops& stops)
{
    QLinearGradient gradient(from, to);
    gradient.setStops(stops);
    p.fillRect(r, gradient);
}

// Lettering with a dark outline, as printed on a box.
void drawTitle(QPainter& p, const QRectF& box, const QString& text, int pixelSize, const QColor& fill,
               const QColor& outline, qreal outlineWidth, qreal italicShear = 0.0)
{
    QFont font(fontFamily);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    // Lettering wider than its box is narrowed to fit, as a designer would condense it.
    const qreal squeeze = qMin(1.0, (box.width() - outlineWidth * 2) / bounds.width());
    p.save();
    p.translate(box.center().x(), box.center().y());
    p.scale(squeeze, 1.0);
    p.translate(-bounds.center().x(), -bounds.center().y());
    if (italicShear != 0.0) {
        p.translate(bounds.center());
        p.shear(-italicShear, 0);
        p.translate(-bounds.center());
    }
    p.setPen(QPen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(path);
    p.restore();
}

// A parcel: a brown box with a paler tape band across it.
void drawParcel(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(QColor(0x4a, 0x2e, 0x12), qMax(0.8, r.width() / 14)));
    p.setBrush(QColor(0xc8, 0x8a, 0x48));
    p.drawRect(r);
    p.fillRect(QRectF(r.center().x() - r.width() * 0.1, r.top(), r.width() * 0.2, r.height()), QColor(0xe8, 0xd2, 0x9a));
}

// One of the two workers: cap, round face, overalls; arms up when lifting a parcel.
struct Worker {
    QColor cap;
    QColor shirt;
    bool facingRight;
    bool armsUp;
};

void drawWorker(QPainter& p, const QPointF& feet, qreal height, const Worker& w)
{
    const qreal u = height / 10.0;  // the figure is ten units tall
    const qreal dir = w.facingRight ? 1.0 : -1.0;
    const QColor skin(0xf0, 0xc0, 0x94);
    const QColor outline(0x22, 0x18, 0x12);
    p.save();
    p.translate(feet);
    p.setPen(QPen(outline, qMax(0.6, u * 0.18)));
    // Legs and shoes.
    p.setBrush(QColor(0x2c, 0x4a, 0x8a));
    p.drawRoundedRect(QRectF(-1.4 * u, -3.4 * u, 1.2 * u, 3.2 * u), 0.3 * u, 0.3 * u);
    p.drawRoundedRect(QRectF(0.2 * u, -3.4 * u, 1.2 * u, 3.2 * u), 0.3 * u, 0.3 * u);
    p.setBrush(outline);
    p.drawEllipse(QRectF(-1.6 * u + dir * 0.3 * u, -0.6 * u, 1.6 * u, 0.7 * u));
    p.drawEllipse(QRectF(0.0 * u + dir * 0.3 * u, -0.6 * u, 1.6 * u, 0.7 * u));
    // Body.
    p.setBrush(w.shirt);
    p.drawRoundedRect(QRectF(-1.8 * u, -6.8 * u, 3.6 * u, 3.8 * u), 1.0 * u, 1.0 * u);
    // Arms.
    p.setPen(QPen(outline, 1.1 * u, Qt::SolidLine, Qt::RoundCap));
    const QPointF shoulder(dir * 1.2 * u, -6.0 * u);
    const QPointF hand = w.armsUp ? QPointF(dir * 2.6 * u, -8.6 * u) : QPointF(dir * 2.8 * u, -4.6 * u);
    p.drawLine(shoulder, hand);
    p.setPen(QPen(w.shirt, 0.7 * u, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(shoulder, hand);
    p.setPen(QPen(outline, qMax(0.6, u * 0.18)));
    p.setBrush(skin);
    p.drawEllipse(hand, 0.55 * u, 0.55 * u);
    // Head, nose, eye and the cap with its peak to the front.
    p.drawEllipse(QPointF(0, -8.2 * u), 1.5 * u, 1.5 * u);
    p.drawEllipse(QPointF(dir * 1.5 * u, -8.0 * u), 0.45 * u, 0.4 * u);
    p.setBrush(outline);
    p.drawEllipse(QPointF(dir * 0.7 * u, -8.5 * u), 0.2 * u, 0.25 * u);
    p.setBrush(w.cap);
    QPainterPath cap;
    cap.moveTo(-1.6 * u, -8.6 * u);
    cap.cubicTo(-1.6 * u, -10.4 * u, 1.6 * u, -10.4 * u, 1.6 * u, -8.6 * u);
    cap.lineTo(dir * 2.7 * u, -8.6 * u);
    cap.lineTo(dir * 2.7 * u, -8.2 * u);
    cap.lineTo(-1.6 * u, -8.2 * u);
    cap.closeSubpath();
    p.drawPath(cap);
    p.restore();
}

// The delivery truck of the game: cab on the left, flat bed behind it with its load standing
// on it in a row.
void drawTruck(QPainter& p, const QRectF& r, const QColor& paint, int load)
{
    const QColor outline(0x1a, 0x1a, 0x1e);
    p.save();
    p.setPen(QPen(outline, qMax(0.8, r.height() / 28)));
    const qreal wheel = r.height() * 0.32;
    const QRectF cab(r.left(), r.top() + r.height() * 0.1, r.width() * 0.3, r.height() * 0.68);
    const QRectF bed(cab.right(), r.top() + r.height() * 0.52, r.width() * 0.7, r.height() * 0.2);
    p.setBrush(paint);
    p.drawRoundedRect(cab, 3, 3);
    p.drawRect(bed);
    p.setBrush(QColor(0xb8, 0xdc, 0xf0));
    p.drawRoundedRect(QRectF(cab.left() + cab.width() * 0.18, cab.top() + cab.height() * 0.12, cab.width() * 0.6, cab.height() * 0.36), 2, 2);
    for (qreal x : {cab.center().x(), bed.left() + bed.width() * 0.72}) {
        p.setBrush(QColor(0x30, 0x30, 0x34));
        p.drawEllipse(QPointF(x, r.bottom() - wheel / 2), wheel / 2, wheel / 2);
        p.setBrush(QColor(0xc0, 0xc0, 0xc4));
        p.drawEllipse(QPointF(x, r.bottom() - wheel / 2), wheel / 5, wheel / 5);
    }
    p.restore();
    const qreal size = bed.width() / 3.4;
    for (int i = 0; i < load; ++i)
        drawParcel(p, QRectF(bed.left() + 2 + i * (size + 1), bed.top() - size * 0.8, size, size * 0.8));
}

// A conveyor belt seen from the side, with its rollers.
void drawConveyor(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(QColor(0x20, 0x20, 0x24), 1.0));
    p.setBrush(QColor(0x50, 0x54, 0x5c));
    p.drawRoundedRect(r, r.height() / 2, r.height() / 2);
    p.setBrush(QColor(0xa0, 0xa4, 0xac));
    for (qreal x = r.left() + r.height() / 2; x < r.right() - r.height() / 4; x += r.height() * 1.2)
        p.drawEllipse(QPointF(x, r.center().y()), r.height() * 0.3, r.height() * 0.3);
}

// The scene both boxes show: belts between the two workers, parcels on the way, the truck.
void drawWarehouseScene(QPainter& p, const QRectF& r, bool lifting)
{
    const qreal h = r.height();
    for (int i = 0; i < 3; ++i) {
        const QRectF belt(r.left() + r.width() * 0.28, r.top() + h * (0.3 + 0.24 * i), r.width() * 0.44, h * 0.06);
        drawConveyor(p, belt);
        const qreal size = h * 0.13;
        drawParcel(p, QRectF(belt.left() + belt.width() * (0.15 + 0.3 * i), belt.top() - size, size * 1.3, size));
    }
    // Folko in his green cap on the left, Zerno in his red one on the right.
    const QColor shirt(0xe8, 0xe4, 0xd8);
    drawWorker(p, QPointF(r.left() + r.width() * 0.2, r.top() + h * 0.92), h * 0.5, {QColor(0x2e, 0x9a, 0x48), shirt, true, lifting});
    drawWorker(p, QPointF(r.left() + r.width() * 0.82, r.top() + h * 0.92), h * 0.5, {QColor(0xd8, 0x32, 0x2a), shirt, false, !lifting});
}

}  // namespace

QImage renderBoxFront()
{
    QImage image = canvas(200, 168);
    QPainter p(&image);
    prepare(p);
    fillGradient(p, image.rect(), {0, 0}, {0, 168}, {{0.0, QColor(0x1c, 0x3c, 0x8c)}, {1.0, QColor(0x5a, 0x9c, 0xe0)}});
    // Sunburst behind the title.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 26));
    for (int i = 0; i < 12; ++i) {
        p.save();
        p.translate(100, 40);
        p.rotate(i * 30.0);
        p.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(-12, -160), QPointF(12, -160)}));
        p.restore();
    }
    drawTitle(p, QRectF(0, 6, 200, 34), QStringLiteral("ZERNO BROS."), 30, QColor(0xff, 0xd2, 0x3a), QColor(0x30, 0x10, 0x08), 4.0, 0.12);
    p.fillRect(QRectF(0, 44, 200, 12), palette::accent);
    QFont small(fontFamily);
    small.setPixelSize(9);
    small.setBold(true);
    p.setFont(small);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 44, 200, 12), Qt::AlignCenter, QStringLiteral("TWIN SCREEN  \u00b7  GAME & CLOCK"));
    p.fillRect(QRectF(0, 128, 200, 40), QColor(0x8c, 0x6a, 0x4a));
    p.fillRect(QRectF(0, 128, 200, 2), QColor(0x5a, 0x40, 0x28));
    drawTruck(p, QRectF(4, 126, 58, 30), QColor(0xe8, 0x4a, 0x30), 2);
    drawWarehouseScene(p, QRectF(10, 58, 180, 94), false);
    // The maker's tag in the corner.
    p.setBrush(QColor(0xd8, 0x20, 0x20));
    p.setPen(QPen(Qt::white, 1.5));
    p.drawRoundedRect(QRectF(130, 146, 64, 16), 5, 5);
    p.setPen(Qt::white);
    p.drawText(QRectF(130, 146, 64, 16), Qt::AlignCenter, QStringLiteral("KORVISTA"));
    return image;
}

QImage renderBoxAlternate()
{
    QImage image = canvas(200, 168);
    QPainter p(&image);
    prepare(p);
    fillGradient(p, image.rect(), {0, 0}, {0, 168},
                 {{0.0, QColor(0x2a, 0x12, 0x3a)}, {0.6, QColor(0xc8, 0x4a, 0x3a)}, {1.0, QColor(0xf0, 0xa8, 0x48)}});
    p.fillRect(QRectF(0, 120, 200, 48), QColor(0x3a, 0x2a, 0x30));
    drawWarehouseScene(p, QRectF(10, 34, 180, 94), true);
    drawTruck(p, QRectF(120, 124, 72, 36), QColor(0x2a, 0x8a, 0xd8), 3);
    drawTitle(p, QRectF(0, 4, 200, 30), QStringLiteral("ZERNO BROS."), 26, Qt::white, QColor(0x1a, 0x08, 0x20), 4.0);
    drawTitle(p, QRectF(6, 134, 110, 26), QStringLiteral("KORVISTA"), 16, QColor(0xff, 0xd2, 0x3a), QColor(0x1a, 0x08, 0x20), 3.0, 0.15);
    return image;
}

QImage renderPhoto()
{
    QImage image = canvas(252, 84);
    QPainter p(&image);
    prepare(p);
    fillGradient(p, image.rect(), {0, 0}, {252, 84}, {{0.0, QColor(0x24, 0x3c, 0x5c)}, {1.0, QColor(0x10, 0x18, 0x28)}});
    // A window with a sunset, a shelf of boxes, and the author at his desk with the handheld.
    p.fillRect(QRectF(150, 10, 84, 50), QColor(0x18, 0x14, 0x20));
    fillGradient(p, QRectF(153, 13, 78, 44), {0, 12}, {0, 58}, {{0.0, QColor(0x3a, 0x4a, 0x9a)}, {1.0, QColor(0xf4, 0x9a, 0x4a)}});
    p.setBrush(QColor(0xff, 0xe0, 0x8a));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(200, 50), 9, 9);
    p.fillRect(QRectF(191, 13, 2, 44), QColor(0x18, 0x14, 0x20));
    for (int i = 0; i < 3; ++i)
        drawParcel(p, QRectF(12 + i * 15, 14 - (i == 1 ? 2 : 0), 13, 11));
    p.fillRect(QRectF(6, 26, 60, 3), QColor(0x6a, 0x4a, 0x30));
    p.fillRect(QRectF(0, 64, 252, 20), QColor(0x7a, 0x52, 0x30));
    p.fillRect(QRectF(0, 64, 252, 2), QColor(0xa4, 0x74, 0x48));
    // The author: a cartoon in a cap, glasses and a beard, looking up from the device.
    const QColor outline(0x20, 0x16, 0x10);
    p.setPen(QPen(outline, 1.2));
    p.setBrush(QColor(0x3a, 0x6a, 0xb0));
    p.drawRoundedRect(QRectF(92, 46, 48, 34), 12, 12);
    p.setBrush(QColor(0xf0, 0xc0, 0x94));
    p.drawEllipse(QPointF(116, 32), 15, 16);
    p.setBrush(QColor(0x5a, 0x38, 0x22));
    QPainterPath beard;
    beard.moveTo(102, 34);
    beard.cubicTo(104, 52, 128, 52, 130, 34);
    beard.cubicTo(124, 42, 108, 42, 102, 34);
    p.drawPath(beard);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(110, 30), 4.5, 4);
    p.drawEllipse(QPointF(122, 30), 4.5, 4);
    p.drawLine(QPointF(114.5, 30), QPointF(117.5, 30));
    p.setBrush(outline);
    p.drawEllipse(QPointF(111, 30.5), 1.4, 1.4);
    p.drawEllipse(QPointF(123, 30.5), 1.4, 1.4);
    p.setBrush(QColor(0x2e, 0x9a, 0x48));
    QPainterPath cap;
    cap.moveTo(100, 24);
    cap.cubicTo(100, 8, 132, 8, 132, 24);
    cap.lineTo(140, 25);
    cap.lineTo(139, 27);
    cap.lineTo(100, 26);
    cap.closeSubpath();
    p.drawPath(cap);
    // The handheld in his hands, open, its two screens lit.
    p.setBrush(QColor(0x26, 0x28, 0x2e));
    p.drawRoundedRect(QRectF(96, 58, 42, 18), 3, 3);
    p.setBrush(palette::glass);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(99, 61, 16, 10));
    p.drawRect(QRectF(119, 61, 16, 10));
    p.setBrush(QColor(0xf0, 0xc0, 0x94));
    p.setPen(QPen(outline, 1.0));
    p.drawEllipse(QPointF(96, 70), 4, 4);
    p.drawEllipse(QPointF(138, 70), 4, 4);
    return image;
}
