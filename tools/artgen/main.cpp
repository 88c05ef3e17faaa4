// zerno-artgen: draws every picture of the device, the launcher and the about dialog from the
// sources beside it, and writes them where the program reads them. Running it twice writes the
// same files.
#include "common/desktop.h"
#include "tools/artgen/art_layout.h"
#include "tools/artgen/box_art.h"
#include "tools/artgen/contact_sheet.h"
#include "tools/artgen/device_art.h"
#include "tools/artgen/picture_files.h"
#include "tools/artgen/segments.h"

#include <QDir>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

namespace {

const char usage[] =
    "usage: zerno-artgen --layout FILE --grids DIR --pictures DIR [--icons DIR] [--contact-sheet DIR]\n"
    "  --layout FILE         the device window's layout table\n"
    "  --grids DIR           the segment pictures as text grids, one NAME.txt per picture\n"
    "  --pictures DIR        where the segment, device, box and photo pictures are written\n"
    "  --icons DIR           where the program icon is written (hicolor/NxN/apps/zerno-bros.png)\n"
    "  --contact-sheet DIR   also write review sheets: the segments enlarged, and scenes of the display\n";

int fail(const std::string& message)
{
    printProblem(message);
    return 1;
}

// The device's JPEG pictures by file name: the body with its buttons pressed, the cover, and
// each pad and button cut raised from the same drawing.
Expected<void> writeDevicePictures(const ArtLayout& layout, const QDir& out)
{
    const QImage pressed = renderDevice(layout, ButtonLook::Pressed);
    const QImage raised = renderDevice(layout, ButtonLook::Raised);
    for (const ComponentDef& def : layout.components()) {
        const QString file = QString::fromStdString(def.picture);
        if (!file.endsWith(QLatin1String(".jpg")))
            continue;
        const QString name = QString::fromStdString(def.name);
        QImage picture;
        if (name == QLatin1String("Im_Base"))
            picture = pressed;
        else if (name == QLatin1String("Im_Front"))
            picture = renderClosedDevice(QSize(def.rect.width, def.rect.height));
        else if (name.startsWith(QLatin1String("Puls_")))
            picture = raised.copy(toQRect(def.rect));
        else
            return failure(def.name + ": no drawing for this picture");
        if (picture.size() != QSize(def.rect.width, def.rect.height))
            return failure(def.name + ": drawn at the wrong size");
        // The body is kept at full quality: the cells of the bottom belt are painted whole over it,
        // and the glass around them must decode to exactly the glass colour they carry, which the
        // print of the belt just below would otherwise blur.
        const int quality = name == QLatin1String("Im_Base") ? 100 : 92;
        if (auto written = writeJpeg(picture, out.filePath(file), quality); !written)
            return written;
    }
    return {};
}

Expected<void> writeIcons(const QString& folder)
{
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(folder).arg(size);
        if (!QDir().mkpath(dir))
            return failure(dir.toStdString() + ": cannot be created");
        if (auto written = savePng(renderIcon(size), dir + QStringLiteral("/zerno-bros.png")); !written)
            return written;
    }
    return {};
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QString layoutPath, gridDir, pictureDir, iconDir, sheetDir;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        QString* target = arg == QLatin1String("--layout")          ? &layoutPath
                          : arg == QLatin1String("--grids")         ? &gridDir
                          : arg == QLatin1String("--pictures")      ? &pictureDir
                          : arg == QLatin1String("--icons")         ? &iconDir
                          : arg == QLatin1String("--contact-sheet") ? &sheetDir
                                                                    : nullptr;
        if (!target || i + 1 == args.size()) {
            std::fputs(usage, stderr);
            return 2;
        }
        *target = args[++i];
    }
    if (layoutPath.isEmpty() || gridDir.isEmpty() || pictureDir.isEmpty()) {
        std::fputs(usage, stderr);
        return 2;
    }

    const Expected<ArtLayout> loaded = ArtLayout::load(layoutPath);
    if (!loaded)
        return fail(loaded.error());
    const ArtLayout& layout = *loaded;
    const Expected<SegmentSet> segments = buildSegments(layout, gridDir);
    if (!segments)
        return fail(segments.error());

    const QDir out(pictureDir);
    if (!QDir().mkpath(pictureDir))
        return fail(pictureDir.toStdString() + ": cannot be created");
    for (const ComponentDef& def : layout.components()) {
        const QString name = QString::fromStdString(def.name);
        if (!segments->pictures.contains(name))
            continue;
        const QString path = out.filePath(QString::fromStdString(def.picture));
        if (auto saved = savePng(segments->pictures[name], path); !saved)
            return fail(saved.error());
    }
    Expected<void> written = writeDevicePictures(layout, out);
    for (const auto& [file, picture] : {std::pair{"Box1.jpg", renderBoxFront()}, std::pair{"Box2.jpg", renderBoxAlternate()},
                                        std::pair{"Foto.jpg", renderPhoto()}}) {
        if (written)
            written = writeJpeg(picture, out.filePath(QLatin1String(file)));
    }
    if (written && !iconDir.isEmpty())
        written = writeIcons(iconDir);
    if (written && !sheetDir.isEmpty())
        written = writeContactSheets(renderDevice(layout, ButtonLook::Pressed), layout, *segments, sheetDir);
    if (!written)
        return fail(written.error());
    return 0;
}
