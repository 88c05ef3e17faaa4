#include "tools/artgen/grid.h"

#include "tools/artgen/palette.h"

#include <QFile>
#include <QStringList>

QImage blankSegment(int width, int height)
{
    QImage image(width, height, QImage::Format_Mono);
    image.setColorTable({palette::glass.rgb(), palette::ink.rgb()});
    image.fill(0);
    return image;
}

namespace {

Expected<QImage> parseGrid(const QString& text)
{
    struct Row { QString text; int line; };
    QList<Row> rows;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!line.startsWith(QLatin1Char(';')))
            rows.append({line, i + 1});
    }
    while (!rows.isEmpty() && rows.last().text.trimmed().isEmpty())
        rows.removeLast();
    if (rows.isEmpty())
        return failure("the grid has no rows");

    const int width = int(rows.first().text.size());
    if (width == 0)
        return failure("line " + std::to_string(rows.first().line) + ": an empty row");
    QImage image = blankSegment(width, int(rows.size()));
    for (int y = 0; y < rows.size(); ++y) {
        const Row& row = rows[y];
        if (row.text.size() != width)
            return failure(QStringLiteral("line %1: %2 columns where the first row has %3")
                               .arg(row.line).arg(row.text.size()).arg(width).toStdString());
        for (int x = 0; x < width; ++x) {
            const QChar c = row.text[x];
            if (c == QLatin1Char('#'))
                image.setPixel(x, y, 1);
            else if (c != QLatin1Char('.'))
                return failure(QStringLiteral("line %1: '%2' is neither '#' nor '.'")
                                   .arg(row.line).arg(c).toStdString());
        }
    }
    return image;
}

}  // namespace

Expected<QImage> loadGridFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return failure(path.toStdString() + ": cannot be read");
    Expected<QImage> grid = parseGrid(QString::fromUtf8(file.readAll()));
    if (!grid)
        return failure(path.toStdString() + ": " + grid.error());
    return grid;
}
