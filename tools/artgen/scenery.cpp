#include "tools/artgen/scenery.h"

#include "tools/artgen/palette.h"

namespace {

enum class End { Open, Spot, Glass };

// One belt: the cell it starts at and the cell it ends at, left to right, and one ordinary
// cell whose bottom edge the belt's surface runs along. An end at a drop spot stops under the
// middle of the spot, so its parcel tips over the end roller; an open end stops just past the
// cell; a glass end runs on to the edge of the screen, where the belt passes to the other one.
struct Belt {
    const char* first;
    End firstEnd;
    const char* last;
    End lastEnd;
    const char* ordinary;
};

const Belt belts[] = {
    {"Im_Pack0005", End::Spot, "Im_Pack0305", End::Glass, "Im_Pack0105"},
    {"Im_Pack0104", End::Open, "Im_Pack0404", End::Glass, "Im_Pack0104"},
    {"Im_Pack0003", End::Spot, "Im_Pack0303", End::Glass, "Im_Pack0103"},
    {"Im_Pack0102", End::Open, "Im_Pack0402", End::Glass, "Im_Pack0102"},
    {"Im_Pack0001", End::Spot, "Im_Pack0301", End::Glass, "Im_Pack0101"},
    {"Im_Pack0505", End::Glass, "Im_Pack0805", End::Open, "Im_Pack0605"},
    {"Im_Pack0604", End::Glass, "Im_Pack0904", End::Spot, "Im_Pack0604"},
    {"Im_Pack0503", End::Glass, "Im_Pack0803", End::Open, "Im_Pack0603"},
    {"Im_Pack0602", End::Glass, "Im_Pack0902", End::Spot, "Im_Pack0602"},
    {"Im_Pack0501", End::Glass, "Im_Pack0801", End::Open, "Im_Pack0601"},
    {"Im_Pack1001", End::Spot, "Im_Pack1201", End::Glass, "Im_Pack1101"},
};

void hline(QPainter& p, int x0, int x1, int y, const QColor& c)
{
    p.fillRect(QRect(QPoint(x0, y), QPoint(x1, y)), c);
}

void vline(QPainter& p, int x, int y0, int y1, const QColor& c)
{
    p.fillRect(QRect(QPoint(x, y0), QPoint(x, y1)), c);
}

// A roller seen from the side: a ring of the given diameter with its axle.
void roller(QPainter& p, int cx, int top, int diameter)
{
    p.setPen(Qt::NoPen);
    p.setBrush(palette::printDark);
    p.drawEllipse(QRectF(cx - diameter / 2.0 + 0.5, top, diameter, diameter));
    p.setBrush(palette::glass);
    const double inner = diameter - 2.0;
    p.drawEllipse(QRectF(cx - inner / 2.0 + 0.5, top + 1.0, inner, inner));
    p.fillRect(QRect(cx, top + diameter / 2, 1, 1), palette::printDark);
}

// The belt's upper run lies exactly on the row under its cells; below it sit the rollers and
// the lower run.
void drawBelt(QPainter& p, const ArtLayout& layout, const Belt& belt, const QRect& leftGlass,
              const QRect& rightGlass)
{
    const QRect first = layout.rect(QLatin1String(belt.first));
    const QRect last = layout.rect(QLatin1String(belt.last));
    const QRect& glass = first.center().x() < (leftGlass.right() + rightGlass.left()) / 2 ? leftGlass : rightGlass;
    const int y = layout.rect(QLatin1String(belt.ordinary)).bottom() + 1;
    const int x0 = belt.firstEnd == End::Spot    ? first.center().x()
                   : belt.firstEnd == End::Glass ? glass.left()
                                                 : first.left() - 1;
    const int x1 = belt.lastEnd == End::Spot    ? last.center().x()
                   : belt.lastEnd == End::Glass ? glass.right()
                                                : last.right() + 1;

    hline(p, x0, x1, y, palette::printDark);
    hline(p, x0 + 2, x1 - 2, y + 4, palette::printLight);
    // End rollers where the belt turns, small ones between.
    for (const auto& [x, inward, end] : {std::tuple{x0, 2, belt.firstEnd}, std::tuple{x1, -2, belt.lastEnd}})
        if (end != End::Glass) {
            roller(p, x + inward, y, 5);
            vline(p, x, y, y + 3, palette::printDark);
        }
    const int firstRoller = belt.firstEnd == End::Glass ? x0 + 3 : x0 + 9;
    const int lastRoller = belt.lastEnd == End::Glass ? x1 - 3 : x1 - 9;
    for (int x = firstRoller; x <= lastRoller; x += 7)
        roller(p, x, y + 1, 3);
}

// A floor a worker stands on: a slab on the row under his feet, with a short bracket below.
void drawFloor(QPainter& p, int x0, int x1, int y)
{
    hline(p, x0, x1, y, palette::printDark);
    hline(p, x0, x1, y + 1, palette::printLight);
    for (int x = x0 + 3; x < x1 - 1; x += 6)
        p.fillRect(QRect(x, y + 2, 2, 1), palette::printLight);
}

// A ladder: two rails with a rung every four rows.
void drawLadder(QPainter& p, int x, int top, int bottom)
{
    vline(p, x, top, bottom, palette::printLight);
    vline(p, x + 4, top, bottom, palette::printLight);
    for (int y = top + 2; y < bottom; y += 4)
        hline(p, x + 1, x + 3, y, palette::printLight);
}

}  // namespace

QRect leftGlass(const ArtLayout& layout)
{
    return layout.rect(QStringLiteral("Im_SchermoLTop"));
}

QRect rightGlass(const ArtLayout& layout)
{
    return layout.rect(QStringLiteral("Im_SchermoRTop"));
}

void drawScreens(QPainter& p, const ArtLayout& layout)
{
    const QRect left = leftGlass(layout);
    const QRect right = rightGlass(layout);
    p.save();
    p.fillRect(left, palette::glass);
    p.fillRect(right, palette::glass);

    p.setClipRect(left);
    p.setRenderHint(QPainter::Antialiasing, false);
    const auto rect = [&](const char* name) { return layout.rect(QLatin1String(name)); };
    const auto under = [&](const char* name) { return rect(name).bottom() + 1; };

    // Left screen: Folko's three floors at the ends of the belts, the truck's parking place
    // at the far left, the ground at the bottom.
    drawFloor(p, rect("Im_Folko3A").left() + 4, rect("Im_Pack0005").left() + 2, under("Im_Folko3A"));
    drawFloor(p, rect("Im_Folko2").left() - 2, rect("Im_Pack0003").left() + 2, under("Im_Folko2"));
    drawFloor(p, rect("Im_FolkoOff1").left() - 2, rect("Im_Pack0001").left() + 2, under("Im_Folko1"));
    // The truck's parking place: the road under its wheels, a kerb of short dashes below it and
    // a post at the bay's far end.
    const int road = under("Im_Bus1");
    const int bayEnd = rect("Im_Bus6").right() + 2;
    hline(p, left.left(), bayEnd, road, palette::printDark);
    for (int x = left.left() + 2; x < bayEnd - 2; x += 6)
        p.fillRect(QRect(x, road + 2, 3, 1), palette::printLight);
    vline(p, bayEnd, road - 6, road, palette::printDark);
    // A ladder from the top floor down to the bottom one, behind the worker's back.
    drawLadder(p, rect("Im_Folko2").left() - 6, under("Im_Folko3A") + 2, under("Im_Folko1"));
    hline(p, left.left(), left.right(), under("Im_MissL1"), palette::printDark);

    p.setClipRect(right);
    drawFloor(p, rect("Im_Zerno3").left() - 4, rect("Im_Zerno3").right() + 4, under("Im_Zerno3"));
    drawFloor(p, rect("Im_Zerno2").left() - 6, right.right(), under("Im_Zerno2"));
    drawFloor(p, rect("Im_Zerno1B").left() + 2, rect("Im_Zerno1A").right() + 2, under("Im_Zerno1"));
    hline(p, right.left(), right.right(), under("Im_MissR2"), palette::printDark);

    p.setClipRect(left.united(right));
    for (const Belt& belt : belts)
        drawBelt(p, layout, belt, left, right);
    p.restore();
}
