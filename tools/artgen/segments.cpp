#include "tools/artgen/segments.h"

#include "tools/artgen/grid.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Which of the seven segments each digit lights, as bits a (top) to g (middle).
enum : unsigned { A = 1, B = 2, C = 4, D = 8, E = 16, F = 32, G = 64 };
const unsigned digitSegments[10] = {
    A | B | C | D | E | F, B | C,         A | B | G | E | D, A | B | G | C | D, F | G | B | C,
    A | F | G | C | D,     A | F | G | E | C | D, A | B | C, A | B | C | D | E | F | G, A | B | C | D | F | G,
};

// Where each segment lies in the 9 x 17 cell: the horizontals are five pixels long, the
// verticals five (upper) and six (lower) pixels tall, all two thick, with the corners left
// open as on the glass.
struct Bar { unsigned bit; int x, y, w, h; };
const Bar bars[] = {
    {A, 2, 0, 5, 2}, {B, 7, 2, 2, 5}, {C, 7, 9, 2, 6}, {D, 2, 15, 5, 2},
    {E, 0, 9, 2, 6}, {F, 0, 2, 2, 5}, {G, 2, 7, 5, 2},
};

// A seven-segment digit, 9 x 17, every segment two pixels thick, upright.
QImage digitSegment(int digit)
{
    QImage image = blankSegment(9, 17);
    for (const Bar& bar : bars)
        if (digitSegments[digit] & bar.bit)
            for (int y = bar.y; y < bar.y + bar.h; ++y)
                for (int x = bar.x; x < bar.x + bar.w; ++x)
                    image.setPixel(x, y, 1);
    return image;
}

}  // namespace

Expected<SegmentSet> buildSegments(const ArtLayout& layout, const QString& gridDir)
{
    SegmentSet set;
    for (const ComponentDef& def : layout.components()) {
        const QString name = QString::fromStdString(def.name);
        const QString picture = QString::fromStdString(def.picture);
        if (!picture.endsWith(QLatin1String(".png")))
            continue;
        QImage image;
        if (name.startsWith(QLatin1String("Im_Num")) && name.size() == 7 && name[6].isDigit()) {
            image = digitSegment(name[6].digitValue());
        } else {
            const QString file = QFileInfo(picture).completeBaseName() + QLatin1String(".txt");
            const Expected<QImage> grid = loadGridFile(QDir(gridDir).filePath(file));
            if (!grid)
                return failure(grid.error());
            image = *grid;
        }
        if (image.size() != QSize(def.rect.width, def.rect.height))
            return failure(QStringLiteral("%1: the picture is %2 x %3, its rectangle %4 x %5")
                               .arg(name).arg(image.width()).arg(image.height()).arg(def.rect.width)
                               .arg(def.rect.height).toStdString());
        set.pictures.insert(name, image);
    }
    return set;
}
