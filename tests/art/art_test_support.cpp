#include "tests/art/art_test_support.h"

#include "device/view/picture_loader.h"
#include "tools/artgen/contact_sheet.h"
#include "tools/artgen/picture_files.h"

#include <QFile>

#include <stdexcept>

const std::vector<ComponentDef>& layoutComponents()
{
    static const LayoutResult layout = loadLayoutFile(ZERNO_ASSET_DIR "/device.layout");
    if (!layout)
        throw std::runtime_error(layout.error());
    return *layout;
}

const ComponentDef& component(const QString& name)
{
    for (const ComponentDef& def : layoutComponents())
        if (QString::fromStdString(def.name) == name)
            return def;
    throw std::runtime_error("no component " + name.toStdString());
}

QString picturePath(const QString& file)
{
    return QStringLiteral(ZERNO_ASSET_DIR "/pictures/") + file;
}

QImage decodeJpeg(const QString& path)
{
    const Expected<QImage> image = loadJpeg(path);
    return image ? *image : QImage();
}

QImage segmentPicture(const QString& name)
{
    const ComponentDef& def = component(pictureSource(layoutComponents(), name));
    return QImage(picturePath(QString::fromStdString(def.picture)));
}

QSet<QPoint> inkOf(const QString& name)
{
    const QImage picture = segmentPicture(name);
    const ComponentDef& def = component(name);
    QSet<QPoint> ink;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qGray(picture.pixel(x, y)) < 64)
                ink.insert(QPoint(def.rect.left + x, def.rect.top + y));
    return ink;
}

int pieces(const QSet<QPoint>& pixels)
{
    QSet<QPoint> left = pixels;
    int count = 0;
    while (!left.isEmpty()) {
        ++count;
        QList<QPoint> frontier{*left.begin()};
        left.remove(frontier.first());
        while (!frontier.isEmpty()) {
            const QPoint p = frontier.takeLast();
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const QPoint q = p + QPoint(dx, dy);
                    if (left.remove(q))
                        frontier.append(q);
                }
        }
    }
    return count;
}
