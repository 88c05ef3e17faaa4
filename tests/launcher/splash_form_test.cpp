// The launcher: start-up, the sound list and PLAY, the box picture, the address labels.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QHelpEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>

#include "sound/fmod.h"
#include "tests/launcher/launcher_test_support.h"

namespace launchertest {
namespace {

const char* const ZernoBro = SettingsStorePath;

class Launcher : public ProgramTest {
protected:
    bool deviceClosedAt(int left, int top)
    {
        return Form1().Left == left && Form1().Top == top && view().pos() == QPoint(left, top)
               && view().size() == QSize(372, 416) && Form1().isLit(Form1().Im_Front);
    }
    // After PLAY with an output: the mode stored, the library started on the output type with the
    // six samples loaded, the closed device centred and the launcher gone.
    void expectSoundStarted(int storedMode, int outputType)
    {
        EXPECT_EQ(stored(ZernoBro, "SoundMode"), storedMode);
        EXPECT_TRUE(sound->SoundOn);
        ASSERT_GE(calls.size(), 8u);
        EXPECT_EQ(calls[0], "FSOUND_Init(22050, 64, 0)");
        EXPECT_EQ(calls[1], "FSOUND_SetOutput(" + std::to_string(outputType) + ")");
        EXPECT_EQ(callsNamed("FSOUND_Sample_Load").size(), 6u);
        EXPECT_NE(sound->SndPack, 0);
        EXPECT_NE(sound->SndMiss2, 0);
        EXPECT_TRUE(deviceClosedAt(128, 175));
        EXPECT_FALSE(splash().isVisible());
        EXPECT_EQ(quitRequests, 0);
    }
    std::vector<std::string> callsNamed(const std::string& prefix)
    {
        std::vector<std::string> found;
        for (const std::string& call : calls)
            if (call.rfind(prefix, 0) == 0)
                found.push_back(call);
        return found;
    }
};

TEST_F(Launcher, StartsWithTheDeviceOffScreenAndTheLauncherCentred)
{
    start();
    EXPECT_FALSE(view().isVisible()) << "mapped before PLAY, where a window manager may place it";
    EXPECT_TRUE(deviceClosedAt(-800, -500));
    EXPECT_TRUE(splash().isVisible());
    EXPECT_EQ(splash().windowTitle(), "About Zerno Bros. ...");
    EXPECT_EQ(splash().size(), QSize(246, 396));
    EXPECT_EQ(splash().minimumSize(), splash().maximumSize());
    EXPECT_EQ(splash().pos(), QPoint((1023 - 246) / 2, (767 - 396) / 2));
    EXPECT_FALSE(splash().windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint
                                           | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(about().isVisible());
    EXPECT_FALSE(keys().isVisible());
    EXPECT_TRUE(calls.empty()) << "the sound library was touched before PLAY";
}

// A hint's window that pops up keeps the pointer of the component it tells about (on Wayland it
// would otherwise set the plain arrow while the pointer is still over the component).
TEST_F(Launcher, AHintKeepsTheHandAndTheQuestionMarkPointers)
{
    start();
    const auto shownTipPointer = [](QWidget* component, QPoint at) {
        QTest::mouseMove(component, at);
        QHelpEvent help(QEvent::ToolTip, at, component->mapToGlobal(at));
        QApplication::sendEvent(component, &help);
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->windowType() == Qt::ToolTip && window->isVisible() && window->objectName() == "qtooltip_label")
                return window->cursor().shape();
        ADD_FAILURE() << "no hint shown";
        return Qt::BlankCursor;
    };
    auto* picture = splash().findChild<QWidget*>(QStringLiteral("Im_PiccinaTop"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(shownTipPointer(picture, QPoint(10, 10)), Qt::PointingHandCursor);
    play(QStringLiteral("(no sound)"));
    clickDevice("Im_Front");
    EXPECT_EQ(shownTipPointer(&view(), deviceCentre("Puls_Alarm") * view().scale()), Qt::WhatsThisCursor);
}

TEST_F(Launcher, FirstStartSelectsNothingAndPlayWaitsForAPick)
{
    start();
    EXPECT_EQ(splash().CB_Sound->currentIndex(), -1);
    EXPECT_EQ(splash().CB_Sound->currentText(), "");
    EXPECT_FALSE(splash().Puls_Play->isEnabled());
    click(splash().Puls_Play);
    EXPECT_TRUE(splash().isVisible());
    EXPECT_EQ(stored(ZernoBro, "SoundMode"), -999);

    pick(splash().CB_Sound, QStringLiteral("DirectSound"));
    EXPECT_TRUE(splash().Puls_Play->isEnabled());
    EXPECT_EQ(stored(ZernoBro, "SoundMode"), -999) << "picking alone stores nothing";
}

TEST_F(Launcher, PlayWithNoSoundStoresTwoStartsNoLibraryAndCentresTheClosedDevice)
{
    start();
    play(QStringLiteral("(no sound)"));
    EXPECT_EQ(stored(ZernoBro, "SoundMode"), 2);
    EXPECT_FALSE(sound->SoundOn);
    EXPECT_TRUE(calls.empty());
    EXPECT_FALSE(splash().isVisible());
    EXPECT_TRUE(view().isVisible());
    EXPECT_TRUE(deviceClosedAt(128, 175));
    EXPECT_EQ(quitRequests, 0);

    // The cover opens the device to the right of where it lies.
    clickDevice("Im_Front");
    EXPECT_EQ(view().geometry(), QRect(128, 175, 766, 416));
}

TEST_F(Launcher, PlayWithWindowsMMStoresZeroAndStartsOutputOne)
{
    start();
    play(QStringLiteral("Windows MM"));
    expectSoundStarted(0, 1);
}

TEST_F(Launcher, PlayWithDirectSoundStoresOneAndStartsOutputTwo)
{
    start();
    play(QStringLiteral("DirectSound"));
    expectSoundStarted(1, 2);
}

TEST_F(Launcher, ANarrowScreenPutsTheDevicePartlyOffItsLeftEdge)
{
    screen = QSize(639, 479);
    start();
    play(QStringLiteral("(no sound)"));
    EXPECT_TRUE(deviceClosedAt(-63, 31));
}

TEST_F(Launcher, SecondStartOpensOnTheStoredModeWithPlayEnabled)
{
    start();
    play(QStringLiteral("DirectSound"));
    restart();
    EXPECT_EQ(splash().CB_Sound->currentText(), "DirectSound");
    EXPECT_TRUE(splash().Puls_Play->isEnabled());
    click(splash().Puls_Play);
    EXPECT_EQ(calls.at(1), "FSOUND_SetOutput(2)");
    EXPECT_TRUE(deviceClosedAt(128, 175));
}

TEST_F(Launcher, StoredModeOutsideTheListSelectsNothing)
{
    for (int mode : {3, -1, -2}) {
        store(ZernoBro, "SoundMode", mode);
        start();
        EXPECT_EQ(splash().CB_Sound->currentIndex(), -1) << mode;
        EXPECT_FALSE(splash().Puls_Play->isEnabled()) << mode;
        restart();
    }
}

// What the first modal message box showed; the box is modal, so a timer looks at it and presses
// its button from inside its own loop.
struct SeenBox {
    QString title, text, details;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool modal = false;
    QTimer watcher;

    explicit SeenBox(const std::function<void(QAbstractButton*)>& click)
    {
        QObject::connect(&watcher, &QTimer::timeout, [this, click] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            watcher.stop();
            title = box->windowTitle();
            text = box->text();
            details = box->informativeText();
            icon = box->icon();
            modal = box->isModal();
            for (QAbstractButton* button : box->buttons())
                buttons << button->text().remove(QLatin1Char('&'));
            click(box->buttons().first());
        });
        watcher.start(10);
    }
};

TEST_F(Launcher, MissingPackWaveShowsTheErrorBoxForgetsTheModeAndEndsWithoutTheDevice)
{
    std::filesystem::remove(soundFolder / "Pack.wav");
    start();
    SeenBox box([this](QAbstractButton* button) { click(button); });
    play(QStringLiteral("Windows MM"));
    EXPECT_EQ(box.title, "Error");
    EXPECT_EQ(box.text, "Sound folder unproperly installed. Read instructions then reinstall.");
    EXPECT_TRUE(box.details.contains(QLatin1String("Pack.wav: "))) << box.details.toStdString();
    EXPECT_FALSE(box.details.contains(QLatin1String("Point.wav")));
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_TRUE(box.modal);
    EXPECT_EQ(box.buttons, QStringList{"OK"});
    EXPECT_EQ(stored(ZernoBro, "SoundMode"), -1);
    EXPECT_EQ(quitRequests, 1);
    EXPECT_TRUE(deviceClosedAt(-800, -500));
    EXPECT_TRUE(splash().isVisible());
    EXPECT_TRUE(callsNamed("FSOUND_Close").empty()) << "the device window's closing ran";

    restart();
    EXPECT_EQ(splash().CB_Sound->currentIndex(), -1);
    EXPECT_FALSE(splash().Puls_Play->isEnabled());
}

TEST_F(Launcher, WithoutASoundFolderHereTheInstalledOneIsPlayed)
{
    const fs::path installed = scratch / "share";
    fs::create_directories(installed);
    fs::rename(soundFolder, installed / "SOUND");
    dataFolders << QString::fromStdString(installed.string());
    start();
    play(QStringLiteral("Windows MM"));
    expectSoundStarted(0, 1);
    EXPECT_NE(calls[2].find((installed / "SOUND" / "Pack.wav").string()), std::string::npos) << calls[2];
}

TEST_F(Launcher, OtherUnreadableWavesAreNamedInAWarningAndThePlayGoesOnWithoutThem)
{
    std::filesystem::remove(soundFolder / "Point.wav");
    std::ofstream(soundFolder / "Miss2.wav", std::ios::binary) << "RIFF and then garbage";
    start();
    SeenBox box([this](QAbstractButton* button) { click(button); });
    play(QStringLiteral("Windows MM"));
    EXPECT_EQ(box.icon, QMessageBox::Warning);
    EXPECT_EQ(box.text, "These sounds cannot be played and stay silent:");
    const QStringList named = box.details.split(QLatin1Char('\n'));
    ASSERT_EQ(named.size(), 2) << box.details.toStdString();
    EXPECT_TRUE(named[0].contains(QLatin1String("Point.wav: "))) << named[0].toStdString();
    EXPECT_TRUE(named[1].contains(QLatin1String("Miss2.wav: "))) << named[1].toStdString();
    EXPECT_EQ(sound->SndPoint, 0);
    EXPECT_EQ(sound->SndMiss2, 0);
    EXPECT_NE(sound->SndPack, 0);
    EXPECT_EQ(quitRequests, 0);
    EXPECT_EQ(stored(ZernoBro, "SoundMode"), 0);
    EXPECT_TRUE(deviceClosedAt(128, 175));
}

TEST_F(Launcher, AnUnloadableSoundLibraryIsNamedAndThePlayGoesOnSilentKeepingTheMode)
{
    const std::string library = fsound::libraryName();
    std::ofstream(scratch / "libdamaged.so", std::ios::binary) << std::string(4096, 'x');
    const struct {
        std::string name;
        const char* reason;
    } cases[] = {{"libzerno-absent-sound.so.0", "cannot open shared object file"},
                 {(scratch / "libdamaged.so").string(), "invalid ELF header"}};
    for (const auto& c : cases) {
        fsound::setLibraryName(c.name);
        start();
        SeenBox box([this](QAbstractButton* button) { click(button); });
        play(QStringLiteral("DirectSound"));
        fsound::setLibraryName(library);
        EXPECT_EQ(box.icon, QMessageBox::Warning) << c.name;
        EXPECT_EQ(box.text, QStringLiteral("The sound library %1 cannot be loaded; the game goes on without sound.")
                                .arg(QString::fromStdString(c.name)));
        EXPECT_TRUE(box.details.contains(QLatin1String(c.reason))) << box.details.toStdString();
        EXPECT_FALSE(sound->SoundOn);
        EXPECT_EQ(callsNamed("FSOUND_Sample_Load").size(), 0u) << "the wave files were blamed";
        EXPECT_EQ(stored(ZernoBro, "SoundMode"), 1);
        EXPECT_EQ(quitRequests, 0);
        EXPECT_TRUE(deviceClosedAt(128, 175));
        restart();
    }
}

TEST_F(Launcher, GoodWavesShowNoWarning)
{
    start();
    SeenBox box([this](QAbstractButton* button) { click(button); });
    play(QStringLiteral("Windows MM"));  // a box would be up and answered before PLAY returns
    EXPECT_TRUE(box.title.isEmpty()) << box.text.toStdString();
    EXPECT_TRUE(sound->unreadableFiles.empty());
}

TEST_F(Launcher, TheBoxPictureTogglesOnEachClick)
{
    start();
    const QImage first = splash().Im_Piccina->pixmap().toImage();
    const QImage second = splash().Im_PiccinaAlt->pixmap().toImage();
    ASSERT_FALSE(first.isNull());
    ASSERT_NE(first, second);
    const auto shown = [&] { return splash().Im_PiccinaTop->pixmap().toImage(); };
    const int startIndex = splash().BoxArtIndex;
    ASSERT_TRUE(startIndex == 1 || startIndex == 2);
    EXPECT_EQ(shown(), startIndex == 1 ? first : second);
    click(splash().Im_PiccinaTop);
    EXPECT_EQ(splash().BoxArtIndex, 3 - startIndex);
    EXPECT_EQ(shown(), startIndex == 1 ? second : first);
    click(splash().Im_PiccinaTop);
    EXPECT_EQ(splash().BoxArtIndex, startIndex);
    EXPECT_EQ(shown(), startIndex == 1 ? first : second);
}

TEST_F(Launcher, TheAddressLabelsOpenTheirOwnText)
{
    start();
    click(splash().La_Http);
    click(splash().La_Email);
    ASSERT_EQ(opened.urls.size(), 2u);
    EXPECT_EQ(opened.urls[0].toString(), splash().La_Http->text());
    EXPECT_EQ(opened.urls[0].scheme(), "https");
    EXPECT_EQ(opened.urls[1].toString(), splash().La_Email->text());
    EXPECT_EQ(opened.urls[1].scheme(), "mailto");
    // A press that leaves the label before the release is no click.
    QTest::mousePress(splash().La_Http, Qt::LeftButton);
    QTest::mouseRelease(splash().La_Http, Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_EQ(opened.urls.size(), 2u);
}

TEST_F(Launcher, ALinkOrFileTheDesktopHasNoProgramForIsNamedInAWarning)
{
    std::ofstream(scratch / "readme.txt") << "readme";
    start();
    // Without the test's handlers the offscreen platform finds no program for anything.
    for (const char* scheme : {"file", "https"})
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    {
        SeenBox box([this](QAbstractButton* button) { click(button); });
        click(splash().La_Http);
        EXPECT_EQ(box.title, "Open");
        EXPECT_EQ(box.text, splash().La_Http->text() + " cannot be opened: no program to open it was found.");
        EXPECT_EQ(box.icon, QMessageBox::Warning);
    }
    play(QStringLiteral("(no sound)"));
    SeenBox box([this](QAbstractButton* button) { click(button); });
    keyOnDevice(Qt::Key_F2);
    EXPECT_EQ(box.text, QString::fromStdString((scratch / "readme.txt").string()) +
                            " cannot be opened: no program to open it was found.");
}

TEST_F(Launcher, ClosingTheLauncherFromTheWindowSystemEndsTheProgram)
{
    start();
    splash().close();
    EXPECT_FALSE(view().isVisible());
    EXPECT_EQ(quitRequests, 1);
    EXPECT_EQ(calls.back(), "FSOUND_Close()");
}

}  // namespace
}  // namespace launchertest
