#include "tools/artgen/contact_sheet.h"

#include "device/device_factory.h"
#include "device/view/picture_loader.h"
#include "device/virtual_ports.h"
#include "settings/store.h"
#include "tools/artgen/picture_files.h"
#include "tools/artgen/scenery.h"

#include <QDir>
#include <QPainter>

#include <numeric>

namespace {

const char* const digitPositions[4] = {"Im_NumPos1", "Im_NumPos2", "Im_NumPos3", "Im_NumPos4"};

struct Scene {
    const char* name;
    const char* lit;
    int digits[4];
};

// The display a device shows when it is opened, by the device's own rule: every component it
// lights, the digit positions apart, which come back in `digits`.
QStringList resetDisplay(const ArtLayout& layout, int (&digits)[4])
{
    Scheduler scheduler;
    SoundLog sound(scheduler);
    VirtualClock clock(scheduler);
    MemoryStore store;
    const std::unique_ptr<StoreKey> keys = store.OpenKey(KeySettingsStorePath);
    const std::unique_ptr<StoreKey> settings = store.OpenKey(SettingsStorePath);
    const std::unique_ptr<TForm1> form =
        DeviceFactory(layout.components()).make(scheduler, {&sound, keys.get(), settings.get(), &clock});
    form->Im_FrontClick();
    QStringList lit;
    for (const Component& component : form->components())
        if (component.visible && !component.def.name.starts_with("Im_NumPos"))
            lit << QString::fromStdString(component.def.name);
    for (int position = 1; position <= 4; ++position)
        digits[position - 1] = form->digitShown(position);
    return lit;
}

const Scene scenes[] = {
    {"game", "Im_Bus1 Im_PackL5 Im_PackL4 Im_PackR5 Im_PackR4 Im_PackL1 Im_Folko2 Im_Folko2A Im_Zerno1 Im_Zerno1A "
             "Im_Pack0105 Im_Pack0305 Im_Pack0204 Im_Pack0404 Im_Pack0103 Im_Pack0202 Im_Pack0101 Im_Pack0301 "
             "Im_Pack0605 Im_Pack0805 Im_Pack0704 Im_Pack0503 Im_Pack0703 Im_Pack0802 Im_Pack0601 Im_Pack0801 "
             "Im_Pack1101 Im_Pack1001 Im_GameA Im_Miss0 Im_Miss1",
     {-1, 1, 2, 5}},
    {"game-placing", "Im_Bus1 Im_PackL5 Im_PackR5 Im_PackL4 Im_PackR4 Im_PackL3 Im_PackR1 Im_Folko3A Im_Zerno3 Im_Zerno3B "
                     "Im_Pack0905 Im_Pack0002 Im_Pack0204 Im_Pack0003 Im_Pack0501 Im_Pack0701 Im_Pack1201 Im_GameB",
     {-1, 3, 4, 0}},
    {"game-folko1", "Im_Bus1 Im_Bus2 Im_Bus5 Im_PackL5 Im_PackR5 Im_PackL4 Im_PackR4 Im_PackL3 Im_PackR3 Im_Folko1 Im_Folko1B Im_Pack0002 "
                    "Im_Zerno2 Im_Zerno2B Im_Pack0903 Im_GameA",
     {-1, -1, 8, 6}},
    {"game-ready", "Im_Bus1 Im_Bus2 Im_Bus5 Im_Bus6 Im_PackL5 Im_PackR5 Im_PackL4 Im_PackR4 Im_PackL3 Im_PackR3 Im_Folko1 Im_Folko1A Im_Pack0001 "
                   "Im_Zerno3 Im_Zerno3A Im_Pack0904 Im_GameA",
     {-1, -1, 8, 6}},
    {"miss-left", "Im_Bus1 Im_PackL5 Im_MissL2 Im_MissL3 Im_Zerno2 Im_Zerno2A Im_Pack0605 Im_Pack0801 Im_Miss0 Im_Miss1 Im_Miss2 Im_GameA", {-1, -1, 4, 2}},
    {"miss-left-bowed", "Im_Bus1 Im_PackL5 Im_MissL2 Im_MissL4 Im_MissL1 Im_Zerno2 Im_Zerno2A Im_Miss0 Im_Miss1 Im_GameA", {-1, -1, 4, 2}},
    {"miss-right", "Im_Bus1 Im_Folko2 Im_Folko2A Im_MissR3 Im_MissR4 Im_MissR1 Im_Pack0204 Im_Miss0 Im_Miss1 Im_GameB", {-1, -1, 4, 2}},
    {"miss-right-bowed", "Im_Bus1 Im_Folko2 Im_Folko2A Im_MissR3 Im_MissR5 Im_MissR2 Im_Miss0 Im_Miss1 Im_Miss2 Im_Miss3 Im_GameB", {-1, -1, 4, 2}},
    {"break", "Im_Bus3 Im_Bus5 Im_Bus6 Im_FolkoOff1 Im_FolkoOff2 Im_ZernoOff1 Im_ZernoOff2 Im_GameA", {-1, 1, 6, 0}},
    {"break-dust", "Im_Bus4 Im_FolkoOff1 Im_ZernoOff1 Im_GameA", {-1, 1, 7, 0}},
    {"truck-full", "Im_Bus1 Im_Bus2 Im_Bus5 Im_Bus6 Im_PackL2 Im_PackL3 Im_PackL4 Im_PackL5 Im_PackR2 Im_PackR3 Im_PackR4 Im_PackR5 "
                   "Im_Folko3 Im_Zerno1 Im_Zerno1B Im_Pack0901",
     {-1, -1, -1, 0}},
    {"callback", "Im_Bus1 Im_MissL2 Im_MissL3 Im_MissR3 Im_MissR4", {-1, 2, 0, 0}},
    {"clock", "Im_Bus1 Im_TimeAM Im_TimePP", {1, 0, 3, 0}},
    {"alarm-pm", "Im_Bus1 Im_TimePM Im_TimePP Im_Alarm", {1, 2, 0, 0}},
};

QImage enlarged(const QImage& image, int factor)
{
    return image.scaled(image.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// Every segment picture at four times its size, on a dark card with its name.
QImage segmentSheet(const ArtLayout& layout, const SegmentSet& segments)
{
    const int factor = 4, columns = 6, cell = 260, labelHeight = 14;
    QList<QString> names;
    QList<int> rowHeights;  // each row as tall as its tallest card
    for (const ComponentDef& def : layout.components()) {
        const QString name = QString::fromStdString(def.name);
        if (!segments.pictures.contains(name))
            continue;
        const int height = def.rect.height * factor + labelHeight + 10;
        if (names.size() % columns == 0)
            rowHeights << height;
        else
            rowHeights.last() = qMax(rowHeights.last(), height);
        names << name;
    }
    const int total = std::accumulate(rowHeights.begin(), rowHeights.end(), 0);
    QImage sheet(columns * cell, total, QImage::Format_RGB32);
    sheet.fill(QColor(0x30, 0x30, 0x34));
    QPainter p(&sheet);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(Qt::white);
    int y = 0;
    for (int i = 0; i < names.size(); ++i) {
        const int column = i % columns;
        if (i > 0 && column == 0)
            y += rowHeights[i / columns - 1];
        const QImage& picture = segments.pictures[names[i]];
        p.drawText(QPoint(column * cell + 6, y + labelHeight), QStringLiteral("%1 %2x%3").arg(names[i]).arg(picture.width()).arg(picture.height()));
        p.drawImage(QPoint(column * cell + 6, y + labelHeight + 4), enlarged(picture.convertToFormat(QImage::Format_RGB32), factor));
    }
    return sheet;
}

// The body with the named segments lit, in drawing order: transparent segments draw only their
// black pixels (as the device view draws them), the others their whole rectangle. digits gives
// the four digit positions left to right, -1 for blank.
QImage compositeDisplay(const QImage& body, const ArtLayout& layout, const SegmentSet& segments,
                        const QStringList& lit, const int (&digits)[4])
{
    QImage display = body.convertToFormat(QImage::Format_RGB32);
    QPainter p(&display);
    for (const ComponentDef& def : layout.components()) {
        const QString name = QString::fromStdString(def.name);
        const QPoint at(def.rect.left, def.rect.top);
        const auto draw = [&](const QImage& picture) { p.drawImage(at, def.transparent ? darkPixelsOnly(picture) : picture); };
        for (int i = 0; i < 4; ++i)
            if (name == QLatin1String(digitPositions[i]) && digits[i] >= 0)
                draw(segments.pictures.value(QStringLiteral("Im_Num%1").arg(digits[i])));
        if (!lit.contains(name))
            continue;
        const QImage picture = segments.pictures.value(pictureSource(layout.components(), name));
        if (!picture.isNull())
            draw(picture);
    }
    return display;
}

}  // namespace

QString pictureSource(const std::vector<ComponentDef>& components, const QString& segment)
{
    const std::string name = segment.toStdString();
    for (const ComponentDef& def : components)
        if (def.name == name && !def.pictureOf.empty())
            return QString::fromStdString(def.pictureOf);
    return segment;
}

Expected<void> writeContactSheets(const QImage& body, const ArtLayout& layout, const SegmentSet& segments,
                                  const QString& folder)
{
    if (!QDir().mkpath(folder))
        return failure(folder.toStdString() + ": cannot be created");
    Expected<void> written = savePng(segmentSheet(layout, segments), QDir(folder).filePath(QStringLiteral("segments.png")));
    const QRect screens[2] = {leftGlass(layout).adjusted(-4, -4, 4, 4), rightGlass(layout).adjusted(-4, -4, 4, 4)};
    auto writeScene = [&](const QString& name, const QStringList& lit, const int (&digits)[4]) {
        const QImage display = compositeDisplay(body, layout, segments, lit, digits);
        const QString base = QDir(folder).filePath(QStringLiteral("scene-") + name);
        Expected<void> e = savePng(display, base + QStringLiteral(".png"));
        if (e)
            e = savePng(enlarged(display.copy(screens[0]), 3), base + QStringLiteral("-left3x.png"));
        if (e)
            e = savePng(enlarged(display.copy(screens[1]), 3), base + QStringLiteral("-right3x.png"));
        if (written)
            written = e;
    };
    int resetDigits[4];
    writeScene(QStringLiteral("reset"), resetDisplay(layout, resetDigits), resetDigits);
    for (const Scene& scene : scenes)
        writeScene(QLatin1String(scene.name), QString::fromLatin1(scene.lit).split(QLatin1Char(' ')), scene.digits);
    return written;
}
