// The device window on screen: what the view paints for the core's segments.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QImage>
#include <QTest>
#include <cerrno>
#include <dlfcn.h>
#include <sys/timerfd.h>

#include "device_factory.h"
#include "device_view.h"
#include "picture_loader.h"
#include "store.h"

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
        DeviceFactory device(ZERNO_ASSET_DIR "/device.layout");
        ASSERT_EQ(device.error(), "");
        ports.sound = &sound;
        ports.clock = &clock;
        ports.keySettingsStore = keys.get();
        ports.settingsStore = game.get();
        ports.listener = &view;
        form = device.make(scheduler, ports);
        QString error;
        ASSERT_TRUE(view.attach(*form, host, ZERNO_ASSET_DIR "/pictures", &error)) << error.toStdString();
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
    Scheduler scheduler;
    TimerHost host{scheduler};
    DeviceView view;
    DevicePorts ports;
    std::unique_ptr<TForm1> form;
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
    const QImage cover = loadPicture(ZERNO_ASSET_DIR "/pictures/Im_Front.jpg", nullptr);
    const QImage body = loadPicture(ZERNO_ASSET_DIR "/pictures/Im_Base.jpg", nullptr);
    ASSERT_FALSE(cover.isNull());
    ASSERT_FALSE(body.isNull());
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
    QString error;
    ASSERT_TRUE(view.loadPictures(copy.path(), &error)) << error.toStdString();
    QStringList reports;
    view.onPictureProblem = [&](const QString& what, const QString& why) { reports << what + " / " + why; };
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
