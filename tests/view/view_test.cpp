// The device window on screen: what the view paints for the core's segments.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <dlfcn.h>
#include <sys/timerfd.h>

#include "device/view/device_session.h"
#include "device/view/device_view.h"
#include "device/view/picture_loader.h"
#include "settings/store.h"

namespace {

// While set, timerfd_create fails as when the process is out of file descriptors.
bool timerfdRefused = false;

}  // namespace

extern "C" int timerfd_create(int clockid, int flags) noexcept
{
    if (timerfdRefused) {
        errno = EMFILE;
        return -1;
    }
    using Create = int (*)(int, int);
    static const auto real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "timerfd_create"));
    return real(clockid, flags);
}

namespace {

class NoSound : public SoundPort {
public:
    void Suona(Sample) override {}
    void Silenzio() override {}
};

class NoonClock : public ClockPort {
public:
    TimeOfDay localTime() override { return {12, 0, 0, 0}; }
    TimeOfDay utcTime() override { return {12, 0, 0, 0}; }
};

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Expected<DeviceFactory> device = DeviceFactory::fromFile(ZERNO_ASSET_DIR "/device.layout");
        ASSERT_TRUE(device) << device.error();
        session.make(*device, {&sound, keys.get(), game.get(), &clock});
        const Expected<void> loaded = view.loadPictures(ZERNO_ASSET_DIR "/pictures");
        ASSERT_TRUE(loaded) << loaded.error();
    }

    QImage shot() { return view.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QPoint centreOf(const char* name)
    {
        const Rect& rect = form->components()[size_t(form->componentIndex(name))].rect;
        return QPoint(rect.left + rect.width / 2, rect.top + rect.height / 2);
    }

    // A pixel inside a component's rectangle that its picture paints dark.
    QPoint darkPixelOf(const std::string& name)
    {
        const Component& component = form->components()[size_t(form->componentIndex(name))];
        const QImage picture(QString::fromStdString(ZERNO_ASSET_DIR "/pictures/" + component.def.picture));
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (qGray(picture.pixel(x, y)) < 64)
                    return QPoint(component.rect.left + x, component.rect.top + y);
        ADD_FAILURE() << name << " has no dark pixel";
        return {};
    }

    MemoryStore store;
    std::unique_ptr<StoreKey> keys = store.OpenKey(KeySettingsStorePath);
    std::unique_ptr<StoreKey> game = store.OpenKey(SettingsStorePath);
    NoSound sound;
    NoonClock clock;
    DeviceSession session;
    DeviceView& view = *session.view;
    std::unique_ptr<TForm1>& form = session.form;
};

TEST_F(ViewTest, ClosedDeviceIsTheCoverAloneAndOpensToTheFullWidth)
{
    EXPECT_EQ(view.size(), QSize(TForm1::ClosedWidth, TForm1::ClientHeight));
    view.deliver([&] { form->Im_FrontClick(); });
    EXPECT_EQ(view.size(), QSize(TForm1::OpenWidth, TForm1::ClientHeight));
}

// The open device's body and the cover are let go while hidden (the body until the device opens,
// the cover once it has): each must paint exactly as its file whenever it shows.
TEST_F(ViewTest, TheBigPicturesPaintAsTheirFilesEachTimeTheyShow)
{
    const Expected<QImage> coverRead = loadPicture(ZERNO_ASSET_DIR "/pictures/Im_Front.jpg");
    const Expected<QImage> bodyRead = loadPicture(ZERNO_ASSET_DIR "/pictures/Im_Base.jpg");
    ASSERT_TRUE(coverRead);
    ASSERT_TRUE(bodyRead);
    const QImage& cover = *coverRead;
    const QImage& body = *bodyRead;
    // The columns left of the first parcel on the cover, and the body's bottom rows below the
    // screens and buttons: no other picture lies there.
    const auto coverShows = [&](const QImage& shot) {
        for (int y = 0; y < cover.height(); ++y)
            for (int x = 0; x < 280; ++x)
                if (shot.pixel(x, y) != cover.pixel(x, y))
                    return false;
        return true;
    };
    const auto bodyShows = [&](const QImage& shot) {
        for (int y = body.height() - 20; y < body.height(); ++y)
            for (int x = 0; x < body.width(); ++x)
                if (shot.pixel(x, y) != body.pixel(x, y))
                    return false;
        return true;
    };
    EXPECT_TRUE(coverShows(shot()));

    view.deliver([&] { form->Im_FrontClick(); });
    EXPECT_TRUE(bodyShows(shot()));

    view.deliver([&] { form->setLit(form->Im_Front, true); });
    EXPECT_TRUE(coverShows(shot()));
    view.deliver([&] { form->setLit(form->Im_Front, false); });
    EXPECT_TRUE(bodyShows(shot()));
}

// A big picture whose file went away after the start: the player is told once, whatever the
// repaints, and the rest of the device still paints.
TEST_F(ViewTest, ABigPictureThatCannotBeReadAgainIsReportedOnce)
{
    QTemporaryDir copy;
    ASSERT_TRUE(copy.isValid());
    for (const QFileInfo& file : QDir(ZERNO_ASSET_DIR "/pictures").entryInfoList(QDir::Files))
        ASSERT_TRUE(QFile::copy(file.filePath(), copy.filePath(file.fileName())));
    const Expected<void> loaded = view.loadPictures(copy.path());
    ASSERT_TRUE(loaded) << loaded.error();
    QStringList reports;
    QObject::connect(&view, &DeviceView::pictureProblem, [&](const QString& what, const QString& why) { reports << what + " / " + why; });
    ASSERT_TRUE(QFile::remove(copy.filePath("Im_Base.jpg")));

    view.deliver([&] { form->Im_FrontClick(); });
    shot();
    shot();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains("Im_Base.jpg")) << reports[0].toStdString();
}

TEST_F(ViewTest, ALitSegmentShowsItsDarkPixelsAndAnUnlitOneTheBodyBeneath)
{
    view.deliver([&] { form->Im_FrontClick(); });
    const QPoint folko = darkPixelOf("Im_Folko1");
    QImage lit = shot();
    EXPECT_LT(qGray(lit.pixel(folko)), 64);

    view.deliver([&] { form->MostraFolkoAll(false); });
    QImage dark = shot();
    EXPECT_GT(qGray(dark.pixel(folko)), 128) << "the glass shows where the worker was";
}

TEST_F(ViewTest, TransparentSegmentsLetTheBodyShowThroughTheirLightPixels)
{
    view.deliver([&] { form->Im_FrontClick(); });
    const QImage open = shot();
    // How many pictures the open display paints over each pixel of the body.
    std::vector<int> coverage(size_t(TForm1::OpenWidth * TForm1::ClientHeight), 0);
    for (const Component& component : form->components()) {
        if (!component.visible || component.picture < 0 || component.def.name == "Im_Base")
            continue;
        for (int y = component.rect.top; y < component.rect.top + component.rect.height; ++y)
            for (int x = component.rect.left; x < component.rect.left + component.rect.width; ++x)
                ++coverage[size_t(y * TForm1::OpenWidth + x)];
    }
    view.deliver([&] { form->SvuotaSchermo();
        form->setLit(form->Im_Bus1, false); });
    const QImage empty = shot();

    // Where a transparent segment alone covers the body, its light pixels must show the body
    // exactly as it is with the segment dark.
    int compared = 0, differing = 0;
    for (const Component& component : form->components()) {
        if (!component.def.transparent || component.picture < 0)
            continue;
        const QImage picture(QString::fromStdString(ZERNO_ASSET_DIR "/pictures/" + form->pictures[size_t(component.picture)]));
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QPoint at(component.rect.left + x, component.rect.top + y);
                if (qGray(picture.pixel(x, y)) < 128 || coverage[size_t(at.y() * TForm1::OpenWidth + at.x())] != 1)
                    continue;
                ++compared;
                differing += open.pixel(at) != empty.pixel(at);
            }
    }
    EXPECT_GT(compared, 1000);
    EXPECT_EQ(differing, 0);
}

TEST_F(ViewTest, DigitPositionsShowTheDigitPicturesTheyTake)
{
    view.deliver([&] { form->Im_FrontClick(); });
    view.deliver([&] {
        form->Score = 305;
        form->TrasformaScore(form->Score);
    });
    const QImage image = shot();
    const Component& units = form->components()[size_t(form->Im_NumPos4)];
    const QImage five(ZERNO_ASSET_DIR "/pictures/Im_Num5.png");
    for (int y = 0; y < five.height(); ++y)
        for (int x = 0; x < five.width(); ++x)
            ASSERT_EQ(qGray(image.pixel(units.rect.left + x, units.rect.top + y)) < 64, qGray(five.pixel(x, y)) < 64)
                << "at " << x << "," << y;
}

TEST_F(ViewTest, APressWhoseReleaseWentElsewhereLeavesNoPressBehind)
{
    view.show();
    view.deliver([&] { form->Im_FrontClick(); });
    // A drag of the body whose release the window manager took: the next click still counts.
    QTest::mousePress(&view, Qt::LeftButton, {}, centreOf("Im_Base"));
    QTest::mousePress(&view, Qt::LeftButton, {}, centreOf("Puls_GameA"));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, centreOf("Puls_GameA"));
    EXPECT_TRUE(form->GameRunning);
}

// Zoomed, on a normal or a high-density screen, every picture pixel is a sharp square: the window
// is exactly the 1× picture enlarged without smoothing.
TEST_F(ViewTest, ZoomedPicturesAreThePlainOnesEnlargedPixelByPixel)
{
    view.deliver([&] { form->Im_FrontClick(); });
    const QImage plain = shot();
    struct Case {
        int zoom;
        qreal pixelRatio;
    };
    for (const Case& each : {Case{2, 1}, Case{3, 1}, Case{1, 2}, Case{2, 2}}) {
        view.setZoom(each.zoom);
        ASSERT_EQ(view.size(), QSize(TForm1::OpenWidth, TForm1::ClientHeight) * each.zoom);
        const int factor = int(each.zoom * each.pixelRatio);
        QImage painted(plain.size() * factor, QImage::Format_RGB32);
        painted.setDevicePixelRatio(each.pixelRatio);
        view.render(&painted);
        painted.setDevicePixelRatio(1);
        EXPECT_TRUE(painted == plain.scaled(plain.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation))
            << "zoom " << each.zoom << " at pixel ratio " << each.pixelRatio;
    }
}

// Zoomed, the form still gets its own coordinates: the cover opens, the window grows to the right
// from where it stands, a drag keeps the grabbed picture pixel under the pointer, and the pointer
// shapes answer where they are painted.
TEST_F(ViewTest, ZoomedClicksDragsAndPointerShapesFindTheirComponents)
{
    const int zoom = 3;
    view.setZoom(zoom);
    view.placeAt(QPoint(31, 62));
    view.show();
    EXPECT_EQ(view.pos(), QPoint(30, 60)) << "placed in whole zoom steps";
    EXPECT_EQ(view.size(), QSize(TForm1::ClosedWidth, TForm1::ClientHeight) * zoom);
    QTest::mouseClick(&view, Qt::LeftButton, {}, centreOf("Im_Front") * zoom);
    EXPECT_EQ(view.size(), QSize(TForm1::OpenWidth, TForm1::ClientHeight) * zoom);
    EXPECT_EQ(view.pos(), QPoint(30, 60));

    const auto send = [&](QEvent::Type type, const QPoint& global, Qt::MouseButtons buttons) {
        QMouseEvent event(type, view.mapFromGlobal(global), global, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          buttons, {});
        QApplication::sendEvent(&view, &event);
    };
    const QPoint grabbed = QPoint(40, 300) * zoom + QPoint(2, 1);  // on the body
    const QPoint start = view.pos() + grabbed;
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    for (const QPoint& step : {QPoint(10, 5), QPoint(37, 22), QPoint(-50, -44)}) {
        send(QEvent::MouseMove, start + step, Qt::LeftButton);
        const QPoint under = start + step - view.pos();  // the window point under the pointer now
        EXPECT_EQ(QPoint(under.x() / zoom, under.y() / zoom), QPoint(grabbed.x() / zoom, grabbed.y() / zoom))
            << "after a move of " << step.x() << "," << step.y();
    }
    send(QEvent::MouseButtonRelease, start + QPoint(-50, -44), Qt::NoButton);

    send(QEvent::MouseMove, view.pos() + centreOf("Puls_Left") * zoom, Qt::NoButton);
    EXPECT_EQ(view.cursor().shape(), Qt::WhatsThisCursor);
}

// Full screen centres the device on black at the largest whole zoom that fits, takes clicks there
// and hides an idle pointer.
TEST_F(ViewTest, FullScreenCentresTheDeviceAndHidesAnIdlePointer)
{
    view.setZoom(2);
    view.placeAt(QPoint(40, 20));
    view.show();
    view.deliver([&] { form->Im_FrontClick(); });
    const QImage window = shot();
    view.setFullScreen(true);
    view.setFixedSize(1920, 1080);  // the screen the window system gives it
    EXPECT_EQ(view.scale(), 2);
    EXPECT_EQ(view.deviceOrigin(), QPoint((1920 - 1532) / 2, (1080 - 832) / 2));
    const QImage full = shot();
    EXPECT_TRUE(full.copy(QRect(view.deviceOrigin(), window.size())) == window);
    EXPECT_EQ(full.pixel(view.deviceOrigin() - QPoint(1, 1)), qRgb(0, 0, 0));
    QTest::mouseClick(&view, Qt::LeftButton, {}, view.deviceOrigin() + centreOf("Puls_GameB") * 2);
    EXPECT_TRUE(form->GameRunning);

    auto* pointerHide = view.findChild<QTimer*>("pointerHide");
    ASSERT_NE(pointerHide, nullptr);
    EXPECT_TRUE(pointerHide->isActive());
    EXPECT_EQ(pointerHide->interval(), 2000);
    QMetaObject::invokeMethod(pointerHide, "timeout");
    EXPECT_EQ(view.cursor().shape(), Qt::BlankCursor);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), view.mapToGlobal(QPointF(5, 5)), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(&view, &move);
    EXPECT_EQ(view.cursor().shape(), Qt::ArrowCursor);
}

TEST(TimerHostTest, ATimerfdThatCannotBeMadeIsReportedAndTheTicksStillCome)
{
    Scheduler scheduler;
    std::vector<std::string> reports;
    timerfdRefused = true;
    TimerHost host(scheduler, [&](const QString& what, const QString& why) { reports.push_back((what + " " + why).toStdString()); });
    timerfdRefused = false;
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("timerfd_create: Too many open files"), std::string::npos) << reports[0];
    Timer timer(scheduler, "T", 5);
    int ticks = 0;
    timer.onTimer = [&] { ++ticks; };
    timer.setEnabled(true);
    host.rearm();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 2000));
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
