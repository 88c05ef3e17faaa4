// zerno-shot --animate: the GIF read back frame by frame shows what the device showed, for as long
// as it showed it.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

TEST(Animate, FramesComposeToTheDevicesPicturesAndTheirDelaysAddUpToThePlay)
{
    std::string folder = (fs::temp_directory_path() / "zerno-animate-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    const std::string script = folder + "/play.sim", gif = folder + "/play.gif", png = folder + "/end.png";
    // The truck's break scene, then four seconds of the belt and the resting workers.
    std::ifstream scene(ZERNO_SCENES "/break.sim");
    std::ofstream(script) << scene.rdbuf() << "wait 4000\n";
    const std::string shot = "QT_QPA_PLATFORM=offscreen '" ZERNO_SHOT "' ";
    ASSERT_EQ(std::system((shot + "--animate '" + script + "' '" + gif + "' >/dev/null 2>&1").c_str()), 0);
    ASSERT_EQ(std::system((shot + "'" + script + "' '" + png + "' >/dev/null 2>&1").c_str()), 0);

    int error = 0;
    GifFileType* file = DGifOpenFileName(gif.c_str(), &error);
    ASSERT_NE(file, nullptr) << GifErrorString(error);
    ASSERT_EQ(DGifSlurp(file), GIF_OK);
    EXPECT_GT(file->ImageCount, 10);
    // Each frame drawn over the last, its see-through pixels leaving what was there.
    QImage shown(file->SWidth, file->SHeight, QImage::Format_RGB32);
    int totalCs = 0;
    for (int frame = 0; frame < file->ImageCount; ++frame) {
        GraphicsControlBlock control{};
        ASSERT_EQ(DGifSavedExtensionToGCB(file, frame, &control), GIF_OK);
        totalCs += control.DelayTime;
        const SavedImage& image = file->SavedImages[frame];
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : file->SColorMap;
        for (int y = 0; y < image.ImageDesc.Height; ++y)
            for (int x = 0; x < image.ImageDesc.Width; ++x) {
                const int index = image.RasterBits[y * image.ImageDesc.Width + x];
                if (index == control.TransparentColor)
                    continue;
                const GifColorType colour = map->Colors[index];
                shown.setPixel(image.ImageDesc.Left + x, image.ImageDesc.Top + y, qRgb(colour.Red, colour.Green, colour.Blue));
            }
    }
    DGifCloseFile(file, &error);
    // The break scene's 6450 ms and the 4000 after, then two seconds on the last picture.
    EXPECT_EQ(totalCs, 645 + 400 + 200);

    const QImage end = QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(end.width(), shown.width());
    int off = 0;
    for (int y = 0; y < end.height(); ++y)
        for (int x = 0; x < end.width(); ++x) {
            const QColor a(end.pixel(x, y)), b(shown.pixel(x, y));
            const bool far = std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) > 24;
            off += far;
        }
    // 255 colours for the whole device: a few rare ones (the dark rims of the orange buttons) take
    // a grey close by. A frame drawn in the wrong place or see-through where it should not be
    // would leave whole segments wrong.
    EXPECT_LT(off, end.width() * end.height() / 2000);
    fs::remove_all(folder);
}

}  // namespace
