// The segments as the game lights them: on their screens, joined where they are one figure,
// apart where they are two, and standing on the scenery printed beneath them.
#include "tests/art/art_test_support.h"
#include "tools/artgen/contact_sheet.h"
#include "tools/artgen/palette.h"

#include <QRect>

#include <gtest/gtest.h>

namespace {

QRect glassRect(const QString& overlay)
{
    const ComponentDef& def = component(overlay);
    return QRect(def.rect.left, def.rect.top, def.rect.width, def.rect.height);
}

const QImage& body()
{
    static const QImage image = decodeJpeg(picturePath(QStringLiteral("Im_Base.jpg")));
    return image;
}

// Printed scenery is a grey clearly darker than the glass.
bool printed(int x, int y)
{
    return qGray(body().pixel(x, y)) < qGray(palette::glass.rgb()) - 25;
}

// Whether a component shows a picture, its own or a shared one.
bool hasPicture(const QString& name)
{
    for (const ComponentDef& def : layoutComponents())
        if (QString::fromStdString(def.name) == pictureSource(layoutComponents(), name))
            return !def.picture.empty();
    return false;
}

bool touches(const QSet<QPoint>& a, const QSet<QPoint>& b)
{
    for (const QPoint& p : a)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (b.contains(p + QPoint(dx, dy)))
                    return true;
    return false;
}

QSet<QPoint> inkOf(std::initializer_list<const char*> names)
{
    QSet<QPoint> ink;
    for (const char* name : names)
        ink |= ::inkOf(QLatin1String(name));
    return ink;
}

}  // namespace

TEST(Figures, EverySegmentStaysOnItsScreen)
{
    const QRect left = glassRect(QStringLiteral("Im_SchermoLTop")), right = glassRect(QStringLiteral("Im_SchermoRTop"));
    for (const ComponentDef& def : layoutComponents()) {
        const QString name = QString::fromStdString(def.name);
        if (!QString::fromStdString(def.picture).endsWith(QLatin1String(".png")) || name.startsWith(QLatin1String("Im_Num")))
            continue;
        for (const QPoint& p : ::inkOf(name)) {
            ASSERT_TRUE(left.contains(p) || right.contains(p)) << def.name << " sticks out of its screen at " << p.x() << "," << p.y();
        }
    }
}

TEST(Figures, EachPoseJoinsItsWorkerIntoOneFigure)
{
    const char* const figures[][2] = {
        {"Im_Folko1", "Im_Folko1A"}, {"Im_Folko1", "Im_Folko1B"}, {"Im_Folko2", "Im_Folko2A"}, {"Im_Folko2", "Im_Folko2B"},
        {"Im_Zerno1", "Im_Zerno1A"}, {"Im_Zerno1", "Im_Zerno1B"}, {"Im_Zerno2", "Im_Zerno2A"}, {"Im_Zerno2", "Im_Zerno2B"},
        {"Im_Zerno3", "Im_Zerno3A"}, {"Im_Zerno3", "Im_Zerno3B"}, {"Im_Folko3", "Im_Folko3"}, {"Im_Folko3A", "Im_Folko3A"},
    };
    for (const auto& figure : figures)
        EXPECT_EQ(pieces(inkOf({figure[0], figure[1]})), 1) << figure[0] << " with " << figure[1];
}

TEST(Figures, ScoldingScenesJoinTheirFigures)
{
    // The raised head and the pointing hand belong to the worker and the boss already standing
    // there; so do the bowed head and the hand, while the puffs of anger float above the hat.
    const char* const scenes[][2] = {{"Im_MissL2", "Im_MissL3"}, {"Im_MissL2", "Im_MissL4"},
                                     {"Im_MissR3", "Im_MissR4"}, {"Im_MissR3", "Im_MissR5"}};
    for (const auto& scene : scenes) {
        const QSet<QPoint> base = ::inkOf(QLatin1String(scene[0]));
        const int hatTop = std::min_element(base.begin(), base.end(), [](QPoint a, QPoint b) { return a.y() < b.y(); })->y();
        EXPECT_EQ(pieces(base), 2) << scene[0] << ": the boss and the worker";
        QSet<QPoint> attached;
        for (const QPoint& p : ::inkOf(QLatin1String(scene[1])))
            if (p.y() >= hatTop)
                attached.insert(p);
        EXPECT_EQ(pieces(base | attached), 2) << scene[1] << " adds a loose piece to " << scene[0];
    }
}

TEST(Figures, FiguresLitTogetherDoNotRunIntoEachOther)
{
    // A worker's hands and the parcel he reaches for, the truck and its load, a resting worker
    // and his sigh, a broken parcel and the worker above it.
    const char* const pairs[][2] = {
        {"Im_Folko1A", "Im_Pack0001"}, {"Im_Folko1B", "Im_Pack0002"}, {"Im_Folko2A", "Im_Pack0003"},
        {"Im_Folko2B", "Im_Pack0004"}, {"Im_Folko3", "Im_Pack0005"},  {"Im_Zerno1A", "Im_Pack1001"},
        {"Im_Zerno1B", "Im_Pack0901"}, {"Im_Zerno2A", "Im_Pack0902"}, {"Im_Zerno2B", "Im_Pack0903"},
        {"Im_Zerno3A", "Im_Pack0904"}, {"Im_Zerno3B", "Im_Pack0905"}, {"Im_FolkoOff1", "Im_FolkoOff2"},
        {"Im_ZernoOff1", "Im_ZernoOff2"}, {"Im_MissR2", "Im_Zerno1"},  {"Im_MissR2", "Im_Zerno1B"},
        {"Im_MissR1", "Im_Zerno1A"},   {"Im_MissL1", "Im_Folko1"},    {"Im_Bus5", "Im_Bus1"},
        {"Im_PackL1", "Im_Folko3A"},
    };
    for (const auto& pair : pairs)
        EXPECT_FALSE(touches(inkOf({pair[0]}), inkOf({pair[1]}))) << pair[0] << " runs into " << pair[1];
    // Held things may touch their holder, never cover him: the lifted parcel, the driver at
    // his window.
    const char* const held[][2] = {{"Im_Folko3A", "Im_PackR1"}, {"Im_Bus1", "Im_Bus2"}};
    for (const auto& pair : held)
        EXPECT_TRUE((inkOf({pair[0]}) & inkOf({pair[1]})).isEmpty()) << pair[1] << " covers " << pair[0];
    for (const char* load : {"Im_PackL2", "Im_PackL3", "Im_PackL4", "Im_PackL5", "Im_PackR2", "Im_PackR3", "Im_PackR4", "Im_PackR5"})
        EXPECT_TRUE((inkOf({load}) & inkOf({"Im_Bus1", "Im_Bus2"})).isEmpty()) << load << " overlaps the truck";
}

TEST(Figures, ParcelsOnABeltStayApart)
{
    // Neighbouring cells of a belt are lit together; an entry cell repeats the cell after it,
    // so it is left out.
    for (int row = 1; row <= 5; ++row) {
        QSet<QPoint> previous;
        for (int column = 0; column <= 12; ++column) {
            const QString name = QStringLiteral("Im_Pack%1%2").arg(column, 2, 10, QLatin1Char('0')).arg(row, 2, 10, QLatin1Char('0'));
            const bool entry = (row % 2 == 1 && column == 9) || (row % 2 == 0 && column == 0);
            if (entry || !hasPicture(name))
                continue;
            const QSet<QPoint> ink = ::inkOf(name);
            EXPECT_FALSE(touches(ink, previous)) << name.toStdString() << " runs into the cell before it";
            previous = ink;
        }
    }
}

TEST(Figures, BeltsArePrintedUnderTheirParcels)
{
    // Under every parcel cell of an ordinary belt position the belt's upper run is printed on
    // the row just below the cell; the drop spots, which tip over the belt's end, are left out.
    int cells = 0;
    for (const ComponentDef& def : layoutComponents()) {
        const QString name = QString::fromStdString(def.name);
        if (!name.startsWith(QLatin1String("Im_Pack")) || name.size() != 11 || def.rect.height > 9 || !hasPicture(name))
            continue;
        const QRect glass = glassRect(def.rect.left < 383 ? QStringLiteral("Im_SchermoLTop") : QStringLiteral("Im_SchermoRTop"));
        const int y = def.rect.top + def.rect.height;
        int onGlass = 0, underBelt = 0;
        for (int x = def.rect.left; x < def.rect.left + def.rect.width; ++x) {
            if (!glass.contains(x, y))
                continue;
            ++onGlass;
            underBelt += printed(x, y);
        }
        if (onGlass == 0)
            continue;
        ++cells;
        EXPECT_GE(underBelt * 10, onGlass * 9) << def.name << ": the belt is not printed under it";
        EXPECT_FALSE(printed(def.rect.left + def.rect.width / 2, y - 2)) << def.name << ": scenery printed inside the cell";
    }
    EXPECT_GT(cells, 40);
}

TEST(Figures, CellsPaintedWholeMatchTheGlassBeneath)
{
    // The bottom belt of the right screen is painted whole, light pixels included: they must
    // not show as a patch on the glass. The body's compression may leave a level or two.
    for (const ComponentDef& def : layoutComponents()) {
        if (def.transparent || !QString::fromStdString(def.name).startsWith(QLatin1String("Im_Pack")))
            continue;
        for (int y = def.rect.top; y < def.rect.top + def.rect.height; ++y)
            for (int x = def.rect.left; x < def.rect.left + def.rect.width; ++x) {
                const QColor beneath = body().pixelColor(x, y);
                ASSERT_LE(qAbs(beneath.red() - palette::glass.red()) + qAbs(beneath.green() - palette::glass.green())
                              + qAbs(beneath.blue() - palette::glass.blue()),
                          6)
                    << def.name << " at " << x << "," << y;
            }
    }
}

TEST(Figures, WorkersAndLoadStandOnSomething)
{
    // The feet of every standing figure rest on a printed floor; the bottom parcels of the load
    // rest on the truck's bed.
    for (const char* name : {"Im_Folko1", "Im_Folko2", "Im_Folko3", "Im_Folko3A", "Im_Zerno1", "Im_Zerno2", "Im_Zerno3"}) {
        const QSet<QPoint> ink = ::inkOf(QLatin1String(name));
        int bottom = 0;
        for (const QPoint& p : ink)
            bottom = std::max(bottom, p.y());
        int feet = 0, onFloor = 0;
        for (const QPoint& p : ink)
            if (p.y() == bottom) {
                ++feet;
                onFloor += printed(p.x(), bottom + 1);
            }
        EXPECT_EQ(onFloor, feet) << name << " floats above his floor";
    }
    const QSet<QPoint> truck = inkOf({"Im_Bus1"});
    for (const char* load : {"Im_PackL5", "Im_PackR5"}) {
        const ComponentDef& def = component(QLatin1String(load));
        int resting = 0;
        for (int x = def.rect.left + 1; x < def.rect.left + def.rect.width - 1; ++x)
            resting += truck.contains(QPoint(x, def.rect.top + def.rect.height));
        EXPECT_GE(resting, def.rect.width - 4) << load << " does not stand on the bed";
    }
}
