#include "tools/artgen/device_art.h"

#include "tools/artgen/palette.h"
#include "tools/artgen/scenery.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

QFont labelFont(int pixelSize, bool bold = true)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// One half of the clamshell: dark plastic, lit from the top left, with a bevelled rim.
void drawShell(QPainter& p, const QRectF& r, qreal radius)
{
    QLinearGradient body(r.topLeft(), r.bottomRight());
    body.setColorAt(0.0, palette::caseMid);
    body.setColorAt(1.0, palette::caseDark);
    QPainterPath outline;
    outline.addRoundedRect(r, radius, radius);
    p.fillPath(outline, palette::caseEdge);
    QPainterPath inner;
    inner.addRoundedRect(r.adjusted(2, 2, -2, -2), radius - 2, radius - 2);
    p.fillPath(inner, body);
    // The soft highlight: a broad sheen over the upper left of the shell.
    QRadialGradient sheen(r.left() + r.width() * 0.25, r.top() + r.height() * 0.12, r.width() * 0.8);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 34));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillPath(inner, sheen);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(2.5, 2.5, -2.5, -2.5), radius - 2, radius - 2);
}

// The bezel around a screen's glass: a recessed dark frame with a thin lit lower edge.
void drawBezel(QPainter& p, const QRect& glass)
{
    const QRectF outer = QRectF(glass).adjusted(-13, -13, 13, 13);
    QPainterPath frame;
    frame.addRoundedRect(outer, 8, 8);
    QLinearGradient shade(outer.topLeft(), outer.bottomLeft());
    shade.setColorAt(0.0, QColor(0x10, 0x10, 0x12));
    shade.setColorAt(1.0, palette::bezel);
    p.fillPath(frame, shade);
    p.setPen(QPen(QColor(255, 255, 255, 30), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(outer.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    // The glass sits a step lower still: a dark rim one pixel around it.
    p.fillRect(QRectF(glass).adjusted(-2, -2, 2, 2), QColor(0x0c, 0x0c, 0x0e));
}

void drawLabel(QPainter& p, const QRect& box, const QString& text, int pixelSize, const QColor& colour)
{
    p.setFont(labelFont(pixelSize));
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
}

// A control pad: a tall rocker with an arrow at each end, up above and down below. The well it
// sits in is part of the body and looks the same either way; only the rocker itself changes.
void drawPad(QPainter& p, const QRect& r, ButtonLook look)
{
    const bool pressed = look == ButtonLook::Pressed;
    const QRectF well = QRectF(r).adjusted(-3, -3, 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x0a, 0x0a, 0x0c));
    p.drawRoundedRect(well, 9, 9);

    const QRectF rocker = QRectF(r).adjusted(1, pressed ? 2 : 1, -1, pressed ? 0 : -1);
    QLinearGradient face(rocker.topLeft(), rocker.topRight());
    face.setColorAt(0.0, pressed ? QColor(0x3a, 0x3c, 0x42) : QColor(0x6c, 0x70, 0x78));
    face.setColorAt(1.0, pressed ? QColor(0x1e, 0x1f, 0x23) : QColor(0x30, 0x32, 0x38));
    p.setBrush(face);
    p.drawRoundedRect(rocker, 7, 7);
    if (!pressed) {
        p.setPen(QPen(QColor(255, 255, 255, 70), 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(rocker.adjusted(0.5, 0.5, -0.5, -0.5), 6.5, 6.5);
    }
    // The two arrows, embossed.
    const QColor arrow = pressed ? QColor(0x8a, 0x8c, 0x90) : QColor(0xe0, 0xe2, 0xe6);
    const qreal cx = rocker.center().x();
    const qreal span = rocker.width() * 0.28;
    const qreal upTip = rocker.top() + 7, downTip = rocker.bottom() - 7;
    p.setPen(Qt::NoPen);
    for (const auto& [tip, depth] : {std::pair{upTip, span * 1.3}, std::pair{downTip, -span * 1.3}}) {
        QPainterPath head;
        head.moveTo(cx, tip);
        head.lineTo(cx + span, tip + depth);
        head.lineTo(cx - span, tip + depth);
        head.closeSubpath();
        p.fillPath(head, arrow);
    }
    // The rocker's pivot groove across the middle.
    p.fillRect(QRectF(rocker.left() + 3, rocker.center().y() - 0.5, rocker.width() - 6, 1.0), QColor(0, 0, 0, 120));
}

// A game button: an orange key standing out of a slot; pressed, it sinks and darkens.
void drawKey(QPainter& p, const QRect& r, ButtonLook look)
{
    const bool pressed = look == ButtonLook::Pressed;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x08, 0x08, 0x0a));
    p.drawRoundedRect(QRectF(r).adjusted(-2, -2, 2, 2), 5, 5);
    const QRectF key = QRectF(r).adjusted(1, pressed ? 2 : 1, -1, pressed ? -1 : -2);
    QLinearGradient face(key.topLeft(), key.bottomLeft());
    const QColor base = pressed ? palette::accent.darker(150) : palette::accent;
    face.setColorAt(0.0, pressed ? base.darker(115) : base.lighter(135));
    face.setColorAt(0.5, base);
    face.setColorAt(1.0, base.darker(pressed ? 105 : 140));
    p.setBrush(face);
    p.drawRoundedRect(key, 4, 4);
    if (!pressed) {
        // The raised key casts a shadow below and catches light along its top.
        p.fillRect(QRectF(key.left() + 1, key.bottom(), key.width() - 2, 1.5), QColor(0, 0, 0, 160));
        p.fillRect(QRectF(key.left() + 2, key.top() + 1, key.width() - 4, 1.0), QColor(255, 255, 255, 110));
    }
}

// ACL and ALARM: small round buttons sunk in the case, pressed with a fingertip or a pen.
void drawRoundButton(QPainter& p, const QRect& r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x08, 0x08, 0x0a));
    p.drawEllipse(QRectF(r).adjusted(-1.5, -1.5, 1.5, 1.5));
    QRadialGradient cap(QPointF(r.left() + r.width() * 0.4, r.top() + r.height() * 0.35), r.width() * 0.6);
    cap.setColorAt(0.0, QColor(0x7a, 0x7e, 0x86));
    cap.setColorAt(1.0, QColor(0x2c, 0x2e, 0x33));
    p.setBrush(cap);
    p.drawEllipse(QRectF(r).adjusted(1.5, 1.5, -1.5, -1.5));
}

void drawHinge(QPainter& p, const QRectF& r)
{
    QLinearGradient metal(r.topLeft(), r.topRight());
    metal.setColorAt(0.0, QColor(0x18, 0x18, 0x1b));
    metal.setColorAt(0.35, QColor(0x5a, 0x5d, 0x64));
    metal.setColorAt(0.5, QColor(0x80, 0x84, 0x8c));
    metal.setColorAt(0.7, QColor(0x3c, 0x3e, 0x44));
    metal.setColorAt(1.0, QColor(0x14, 0x14, 0x17));
    p.setPen(Qt::NoPen);
    p.setBrush(metal);
    // Three knuckles, alternately from each half, with dark gaps between.
    const qreal gap = 3;
    const qreal knuckle = (r.height() - 2 * gap) / 3;
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(r.left(), r.top() + i * (knuckle + gap), r.width(), knuckle), r.width() / 2.5, 4);
}

}  // namespace

QImage renderDevice(const ArtLayout& layout, ButtonLook look)
{
    QImage image(766, 416, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    drawShell(p, QRectF(4, 8, 362, 400), 22);
    drawShell(p, QRectF(400, 8, 362, 400), 22);
    drawHinge(p, QRectF(366, 34, 34, 348));

    const QRect lg = leftGlass(layout);
    const QRect rg = rightGlass(layout);
    drawBezel(p, lg);
    drawBezel(p, rg);
    drawScreens(p, layout);

    // The printed name plate under the left screen and the maker's name under the right one.
    drawLabel(p, QRect(lg.left(), lg.bottom() + 16, lg.width(), 22), QStringLiteral("ZERNO BROS."), 17, palette::accent);
    drawLabel(p, QRect(rg.left(), rg.bottom() + 16, rg.width(), 14), QStringLiteral("KORVISTA  TWIN SCREEN"), 10, palette::label);
    p.fillRect(QRectF(lg.left() + 30, lg.bottom() + 40, lg.width() - 60, 1.5), palette::accent);

    struct Labelled { const char* name; const char* text; };
    for (const Labelled& pad : {Labelled{"Puls_Left", "FOLKO"}, Labelled{"Puls_Right", "ZERNO"}}) {
        const QRect r = layout.rect(QLatin1String(pad.name));
        drawPad(p, r, look);
        drawLabel(p, QRect(r.left() - 20, r.bottom() + 5, r.width() + 40, 10), QLatin1String(pad.text), 8, palette::label);
    }
    for (const Labelled& key : {Labelled{"Puls_GameA", "GAME A"}, Labelled{"Puls_GameB", "GAME B"}, Labelled{"Puls_Time", "TIME"}}) {
        const QRect r = layout.rect(QLatin1String(key.name));
        drawKey(p, r, look);
        drawLabel(p, QRect(r.center().x() - 20, r.bottom() + 5, 41, 10), QLatin1String(key.text), 7, palette::label);
    }
    for (const Labelled& button : {Labelled{"Puls_ACL", "ACL"}, Labelled{"Puls_Alarm", "ALARM"}}) {
        const QRect r = layout.rect(QLatin1String(button.name));
        drawRoundButton(p, r);
        drawLabel(p, QRect(r.center().x() - 20, r.bottom() + 5, 41, 10), QLatin1String(button.text), 8, palette::label);
    }
    return image;
}

QImage renderClosedDevice(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size.width() / 372.0, size.height() / 416.0);  // the cover is drawn in its own 372 x 416 units
    const bool detailed = size.width() >= 96;

    drawShell(p, QRectF(4, 8, 346, 400), 22);
    drawHinge(p, QRectF(346, 34, 24, 348));

    // The brushed-metal plate of the lid.
    const QRectF plate(30, 40, 294, 336);
    QLinearGradient metal(plate.topLeft(), plate.bottomRight());
    metal.setColorAt(0.0, QColor(0xdc, 0xde, 0xe2));
    metal.setColorAt(0.5, QColor(0xa6, 0xaa, 0xb2));
    metal.setColorAt(1.0, QColor(0xc8, 0xcb, 0xd0));
    p.setPen(Qt::NoPen);
    p.setBrush(metal);
    p.drawRoundedRect(plate, 10, 10);
    if (detailed) {
        p.setPen(QPen(QColor(255, 255, 255, 40), 1.0));
        for (int y = int(plate.top()) + 4; y < plate.bottom() - 4; y += 3)
            p.drawLine(QPointF(plate.left() + 6, y), QPointF(plate.right() - 6, y));
    }
    // The orange band across the plate, and the dark window with the title.
    p.setPen(Qt::NoPen);
    p.fillRect(QRectF(plate.left(), 238, plate.width(), 18), palette::accent);
    p.fillRect(QRectF(plate.left(), 262, plate.width(), 4), palette::accent);
    const QRectF window(52, 70, 250, 140);
    p.setBrush(QColor(0x1a, 0x1b, 0x1f));
    p.drawRoundedRect(window, 6, 6);
    if (detailed) {
        p.setFont(labelFont(40));
        p.setPen(palette::accent);
        p.drawText(window.adjusted(0, 10, 0, -60), Qt::AlignCenter, QStringLiteral("ZERNO"));
        p.setPen(QColor(0xf2, 0xee, 0xe4));
        p.drawText(window.adjusted(0, 60, 0, -10), Qt::AlignCenter, QStringLiteral("BROS."));
        p.setFont(labelFont(16));
        p.setPen(QColor(0x30, 0x32, 0x38));
        p.drawText(QRectF(plate.left(), 286, plate.width(), 24), Qt::AlignCenter, QStringLiteral("KORVISTA"));
        p.setFont(labelFont(11, false));
        p.drawText(QRectF(plate.left(), 310, plate.width(), 18), Qt::AlignCenter, QStringLiteral("TWIN SCREEN  \u00b7  GAME & CLOCK"));
    } else {
        // Too small for letters: two bars stand for the title.
        p.fillRect(QRectF(80, 104, 194, 28), palette::accent);
        p.fillRect(QRectF(100, 148, 154, 24), QColor(0xf2, 0xee, 0xe4));
    }
    return image;
}

QImage renderIcon(int size)
{
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    const int width = qMax(1, qRound(size * 372.0 / 416.0));
    QPainter p(&icon);
    p.drawImage((size - width) / 2, 0, renderClosedDevice(QSize(width, size)));
    return icon;
}
