// The picture files against the layout: every picture is there, at its rectangle's size, in the
// form the program reads; and the committed files are what the generator draws.
#include "tests/art/art_test_support.h"
#include "tools/artgen/contact_sheet.h"
#include "tools/artgen/palette.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString nameOf(const ComponentDef& def) { return QString::fromStdString(def.name); }
QString fileOf(const ComponentDef& def) { return QString::fromStdString(def.picture); }

bool isSegmentPicture(const ComponentDef& def) { return fileOf(def).endsWith(QLatin1String(".png")); }

// The bit depth a PNG file declares in its header.
int pngBitDepth(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray head = file.read(26);
    return head.size() == 26 ? int(uchar(head[24])) : -1;
}

// Components that show nothing of their own: the cells in the seam between the screens, the
// layers over the screens, the digit positions (they borrow a digit) and the two small buttons
// drawn on the body.
bool drawsNothing(const QString& name)
{
    static const QStringList names = {"Im_Pack0401", "Im_Pack0403", "Im_Pack0405", "Im_Pack0502", "Im_Pack0504",
                                      "Im_SchermoLTop", "Im_SchermoRTop", "Im_NumPos1", "Im_NumPos2", "Im_NumPos3",
                                      "Im_NumPos4", "Puls_ACL", "Puls_Alarm"};
    return names.contains(name);
}

}  // namespace

TEST(Pictures, EveryPictureTheLayoutNamesExists)
{
    for (const ComponentDef& def : layoutComponents()) {
        if (def.picture.empty())
            continue;
        EXPECT_TRUE(QFile::exists(picturePath(fileOf(def)))) << def.name << ": " << def.picture;
    }
}

TEST(Pictures, EveryComponentThatShowsSomethingHasAPictureOrSharesOne)
{
    for (const ComponentDef& def : layoutComponents()) {
        const QString name = nameOf(def);
        if (!def.picture.empty() || drawsNothing(name))
            continue;
        const QString source = pictureSource(layoutComponents(), name);
        ASSERT_NE(source, name) << def.name << " has neither a picture nor one to share";
        EXPECT_FALSE(component(source).picture.empty()) << def.name << " shares from " << source.toStdString() << ", which has none";
        EXPECT_EQ(component(source).rect.width, def.rect.width) << def.name;
        EXPECT_EQ(component(source).rect.height, def.rect.height) << def.name;
    }
    for (const char* name : {"Im_Pack0401", "Im_Pack0502", "Im_NumPos1", "Puls_ACL"})
        EXPECT_TRUE(component(QLatin1String(name)).picture.empty()) << name << " should show nothing of its own";
}

TEST(Pictures, SegmentPicturesAreOneBitAtTheirRectangleSize)
{
    int checked = 0;
    for (const ComponentDef& def : layoutComponents()) {
        if (!isSegmentPicture(def))
            continue;
        ++checked;
        const QString path = picturePath(fileOf(def));
        const QImage image(path);
        ASSERT_FALSE(image.isNull()) << def.picture;
        EXPECT_EQ(image.size(), QSize(def.rect.width, def.rect.height)) << def.picture;
        EXPECT_EQ(pngBitDepth(path), 1) << def.picture;
        ASSERT_EQ(image.colorCount(), 2) << def.picture;
        EXPECT_EQ(QColor(image.color(0)), palette::glass) << def.picture << ": index 0 is the glass";
        EXPECT_EQ(QColor(image.color(1)), palette::ink) << def.picture << ": index 1 is black";
        bool anyInk = false;
        for (int y = 0; y < image.height() && !anyInk; ++y)
            for (int x = 0; x < image.width() && !anyInk; ++x)
                anyInk = image.pixelIndex(x, y) == 1;
        EXPECT_TRUE(anyInk) << def.picture << " is blank";
    }
    EXPECT_EQ(checked, 74);
}

TEST(Pictures, JpegsDecodeAtTheirWindowSizes)
{
    for (const ComponentDef& def : layoutComponents()) {
        if (!fileOf(def).endsWith(QLatin1String(".jpg")))
            continue;
        const QImage image = decodeJpeg(picturePath(fileOf(def)));
        ASSERT_FALSE(image.isNull()) << def.picture << " does not decode";
        EXPECT_EQ(image.size(), QSize(def.rect.width, def.rect.height)) << def.picture;
    }
    for (const char* box : {"Box1.jpg", "Box2.jpg"})
        EXPECT_EQ(decodeJpeg(picturePath(QLatin1String(box))).size(), QSize(200, 168)) << box;
    EXPECT_EQ(decodeJpeg(picturePath(QStringLiteral("Foto.jpg"))).size(), QSize(252, 84));
}

TEST(Pictures, IconComesInEveryDesktopSize)
{
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QImage icon(QStringLiteral(ZERNO_ASSET_DIR "/icons/hicolor/%1x%1/apps/zerno-bros.png").arg(size));
        ASSERT_EQ(icon.size(), QSize(size, size)) << size;
        EXPECT_TRUE(icon.hasAlphaChannel()) << size;
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << size << ": the corners are transparent";
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255) << size << ": the device fills the middle";
    }
}

TEST(Pictures, DigitsAreSevenSegmentFiguresOfOneFamily)
{
    // Every digit lights a subset of the eight's segments, and no two digits look the same.
    QList<QImage> digits;
    for (int d = 0; d <= 9; ++d)
        digits << segmentPicture(QStringLiteral("Im_Num%1").arg(d));
    const QImage& eight = digits[8];
    for (int d = 0; d <= 9; ++d) {
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 9; ++x)
                if (digits[d].pixelIndex(x, y) == 1) {
                    ASSERT_EQ(eight.pixelIndex(x, y), 1) << "digit " << d << " at " << x << "," << y;
                }
        for (int e = 0; e < d; ++e)
            EXPECT_NE(digits[d], digits[e]) << d << " and " << e;
    }
    // The eight's strokes are two pixels thick: its middle bar fills exactly two rows.
    int middleRows = 0;
    for (int y = 3; y < 14; ++y)
        middleRows += eight.pixelIndex(4, y);
    EXPECT_EQ(middleRows, 2);
}

TEST(Pictures, CommittedPicturesAreWhatTheGeneratorDraws)
{
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    QProcess generator;
    generator.start(QStringLiteral(ZERNO_ARTGEN),
                    {"--layout", ZERNO_ASSET_DIR "/device.layout", "--grids", ZERNO_ARTGEN_GRIDS, "--pictures",
                     out.filePath("pictures"), "--icons", out.filePath("icons")});
    ASSERT_TRUE(generator.waitForFinished(60000));
    ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();

    const QStringList files = QDir(out.filePath("pictures")).entryList(QDir::Files);
    EXPECT_EQ(files.size(), QDir(ZERNO_ASSET_DIR "/pictures").entryList(QDir::Files).size());
    for (const QString& file : files) {
        const QString drawn = out.filePath("pictures/" + file), kept = picturePath(file);
        if (file.endsWith(QLatin1String(".png"))) {
            EXPECT_TRUE(QImage(drawn) == QImage(kept)) << file.toStdString() << " differs from its grid: run the artwork target";
            continue;
        }
        // JPEGs are compared decoded, allowing for a different build of the encoder.
        const QImage a = decodeJpeg(drawn), b = decodeJpeg(kept);
        ASSERT_EQ(a.size(), b.size()) << file.toStdString();
        qint64 difference = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                difference += qAbs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
        EXPECT_LT(double(difference) / (a.width() * a.height()), 1.0) << file.toStdString() << " differs from its drawing";
    }
}
