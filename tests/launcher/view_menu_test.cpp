// What the program adds around the device: zoom and full screen in the command menu, the stored
// zoom, the launcher without a mouse, and the tip the first open of the device gives.
#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <array>

#include "tests/launcher/launcher_test_support.h"

namespace launchertest {
namespace {

const char* const ZernoBro = SettingsStorePath;

class ViewCommands : public ProgramTest {
protected:
    ViewMenu& commands() { return *windows->ViewCommands; }
    using ProgramTest::keyOnDevice;
    void keyOnDevice(int key, Qt::KeyboardModifiers modifiers)
    {
        view().activateWindow();
        view().setFocus();
        QTest::keyClick(&view(), Qt::Key(key), modifiers);
    }
    // The global rectangle of a component of the open device as painted now.
    QRect onScreen(int component)
    {
        const Rect& rect = Form1().components()[size_t(component)].rect;
        const int scale = view().scale();
        return QRect(view().mapToGlobal(view().deviceOrigin() + QPoint(rect.left, rect.top) * scale),
                     QSize(rect.width, rect.height) * scale);
    }
};

// The items follow the device's own behind a separator. The keys work as keyboards send them: +
// shifted, the keypad's with its modifier. The zoom is stored at once, stops at 1 and 4, keeps
// the centre of the open device's place, and the next start opens the device at it.
TEST_F(ViewCommands, ZoomKeysAndItemsChangeTheWindowAndTheStoredZoom)
{
    screen = QSize(3840, 2160);
    start();
    const QList<QAction*> items = splash().PM_Menu->actions();
    const qsizetype block = items.indexOf(commands().PM_ZoomIn);
    EXPECT_GT(block, items.indexOf(splash().PM_12Exit) + 1);
    EXPECT_TRUE(items[block - 1]->isSeparator());
    EXPECT_EQ(items.mid(block, 3), (QList<QAction*>{commands().PM_ZoomIn, commands().PM_ZoomOut, commands().PM_FullScreen}));
    play(QStringLiteral("(no sound)"));
    const auto openCentre = [&] { return QRect(view().pos(), QSize(766, 416) * view().zoom()).center(); };
    const QPoint centre = openCentre();
    struct Step {
        int key;
        Qt::KeyboardModifiers modifiers;
        int zoom;
    };
    for (const Step& step : {Step{Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, 2},
                             Step{Qt::Key_Equal, Qt::ControlModifier, 3},
                             Step{Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier, 4},
                             Step{Qt::Key_Equal, Qt::ControlModifier, 4},
                             Step{Qt::Key_Minus, Qt::ControlModifier, 3}}) {
        keyOnDevice(step.key, step.modifiers);
        EXPECT_EQ(view().zoom(), step.zoom);
        EXPECT_EQ(view().size(), QSize(372, 416) * step.zoom);
        EXPECT_EQ(stored(ZernoBro, "Zoom"), step.zoom);
        EXPECT_LE((openCentre() - centre).manhattanLength(), 2 * step.zoom) << "zoom " << step.zoom;
    }
    menuCommand(commands().PM_ZoomOut);
    EXPECT_EQ(view().zoom(), 2);
    EXPECT_EQ(Form1().Left * 2, view().pos().x());

    restart();
    play(QStringLiteral("(no sound)"));
    EXPECT_EQ(view().size(), QSize(744, 832));
    clickDevice("Im_Front");
    EXPECT_EQ(view().size(), QSize(1532, 832));
}

// A number out of range is the right type, too far: told once, with the zoom kept instead.
TEST_F(ViewCommands, AStoredZoomOutsideOneToFourIsReportedOnceAndTheNearestKept)
{
    struct Case {
        int stored;
        int zoom;
    };
    screen = QSize(3840, 2160);
    for (const Case& each : {Case{3, 3}, Case{7, 4}, Case{0, 1}, Case{-2, 1}}) {
        SCOPED_TRACE(each.stored);
        store(ZernoBro, "Zoom", each.stored);
        for (const bool again : {false, true}) {
            reports.clear();
            start();
            EXPECT_EQ(view().zoom(), each.zoom);
            EXPECT_EQ(stored(ZernoBro, "Zoom"), each.zoom);
            const bool told = each.zoom != each.stored && !again;
            EXPECT_EQ(reports, told ? std::vector<std::string>{"The stored zoom " + std::to_string(each.stored)
                                                               + " is not one of 1 to 4; zoom "
                                                               + std::to_string(each.zoom) + " is kept instead."}
                                    : std::vector<std::string>{});
        }
    }
}

// A zoom kept from a bigger screen shows as the largest at which the open device fits this one,
// and stays kept for the bigger screen; no bigger zoom is offered.
TEST_F(ViewCommands, AKeptZoomTooBigForTheScreenShowsAsTheLargestThatFits)
{
    store(ZernoBro, "Zoom", 4);
    screen = QSize(1920, 1080);
    start();
    play(QStringLiteral("(no sound)"));
    clickDevice("Im_Front");
    EXPECT_EQ(view().zoom(), 2);
    EXPECT_TRUE(QRect(QPoint(), screen).contains(view().geometry()));
    EXPECT_FALSE(commands().PM_ZoomIn->isEnabled());
    keyOnDevice(Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(view().zoom(), 2);
    EXPECT_EQ(stored(ZernoBro, "Zoom"), 4);
    EXPECT_EQ(reports, std::vector<std::string>{});

    screen = QSize(3840, 2160);
    restart();
    play(QStringLiteral("(no sound)"));
    EXPECT_EQ(view().zoom(), 4);
}

// Outside full screen Esc still ends the program.
TEST_F(ViewCommands, F11FillsTheScreenAndF11OrEscGivesTheWindowBack)
{
    start();
    play(QStringLiteral("(no sound)"));
    clickDevice("Im_Front");
    const QRect window = view().geometry();
    for (int leave : {Qt::Key_F11, Qt::Key_Escape}) {
        keyOnDevice(Qt::Key_F11);
        EXPECT_TRUE(view().isFullScreen());
        EXPECT_TRUE(commands().PM_FullScreen->isChecked());
        EXPECT_FALSE(commands().PM_ZoomIn->isEnabled());
        keyOnDevice(leave);
        EXPECT_FALSE(view().isFullScreen());
        EXPECT_EQ(view().geometry(), window);
        EXPECT_TRUE(view().isVisible());
        EXPECT_EQ(quitRequests, 0);
    }
    menuCommand(commands().PM_FullScreen);
    EXPECT_TRUE(view().isFullScreen());
}

// A Wayland compositor sizes the window that leaves full screen: the window takes its windowed
// size only from that answer, then draws at it, so the desktop comes back at once.
TEST_F(ViewCommands, LeavingFullScreenOnWaylandWaitsForTheCompositorsSize)
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        GTEST_SKIP() << "only a Wayland compositor sizes the window";
    start();
    // Picked without the list's pop-up, which a test cannot open on Wayland.
    splash().CB_Sound->setCurrentText(QStringLiteral("(no sound)"));
    splash().Puls_Play->click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view()));
    const QSize windowed = view().size();
    // Keys reach only the window the compositor gives the keyboard to, which a test cannot ask
    // for: the item the keys trigger stands in for them, both times.
    for (int round = 0; round < 2; ++round) {
        commands().PM_FullScreen->trigger();
        ASSERT_TRUE(QTest::qWaitFor([&] { return view().size() == view().screen()->size(); }, 3000));
        commands().PM_FullScreen->trigger();
        EXPECT_EQ(view().size(), view().screen()->size()) << "resized before the compositor's answer";
        EXPECT_TRUE(QTest::qWaitFor([&] { return view().minimumSize() == windowed && view().maximumSize() == windowed; }, 3000));
        EXPECT_EQ(view().size(), windowed);
        EXPECT_FALSE(view().isFullScreen());
    }
}

// A Wayland compositor places a window as it comes on screen and never moves it: the device
// window has the open size from the start, what lies beyond the closed cover see-through and
// deaf to the pointer, so that opening never grows it past the screen's edge.
TEST_F(ViewCommands, TheDeviceWindowHasItsOpenSizeFromTheStartOnWayland)
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        GTEST_SKIP() << "only a Wayland compositor places the windows";
    start();
    splash().CB_Sound->setCurrentText(QStringLiteral("(no sound)"));
    splash().Puls_Play->click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view()));
    EXPECT_EQ(view().size(), QSize(766, 416));
    EXPECT_EQ(view().mask(), QRegion(0, 0, 372, 416));
    EXPECT_TRUE(view().testAttribute(Qt::WA_TranslucentBackground));
    clickDevice("Im_Front");
    EXPECT_EQ(Form1().ClientWidth, 766);
    EXPECT_EQ(view().size(), QSize(766, 416));
    EXPECT_TRUE(view().mask().isEmpty());
}

TEST_F(ViewCommands, TheLauncherPlaysFromTheKeyboard)
{
    start();
    splash().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&splash()));
    const auto key = [](int key) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(key)); };
    EXPECT_EQ(QApplication::focusWidget(), splash().CB_Sound);
    key(Qt::Key_Return);
    EXPECT_TRUE(splash().isVisible()) << "nothing picked yet";
    key(Qt::Key_Down);
    // The keyboard in use: a ring round the control it goes to, clear of it on every side.
    const QWidget* ring = splash().findChild<QWidget*>(QStringLiteral("FocusRing"));
    ASSERT_NE(ring, nullptr);
    const auto ringed = [&](const QWidget* widget) {
        const QRect inside = widget->geometry().adjusted(-1, -1, 1, 1);
        return ring->isVisible() && ring->geometry().contains(inside) && ring->geometry() != inside;
    };
    EXPECT_TRUE(ringed(splash().CB_Sound));
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), splash().Puls_Play);
    EXPECT_TRUE(ringed(splash().Puls_Play));
    for (int arrow : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up})
        key(arrow);
    EXPECT_EQ(splash().CB_Sound->currentText(), "DirectSound");
    EXPECT_EQ(QApplication::focusWidget(), splash().Puls_Play) << "an arrow moved the keyboard off PLAY";
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), splash().CB_Sound);
    key(Qt::Key_Return);
    EXPECT_FALSE(splash().isVisible());
    EXPECT_TRUE(view().isVisible());
    EXPECT_EQ(stored(ZernoBro, "SoundMode"), 1);
}

TEST_F(ViewCommands, TheFirstOpenTellsTheStoredKeysAndTheMenuOnceAwayFromTheScreens)
{
    for (int n : {1, 2, 3, 4})
        store(KeySettingsStorePath, "Key" + std::to_string(n), std::array{23, 19, 15, 11}[size_t(n - 1)]);
    start();
    play(QStringLiteral("(no sound)"));
    EXPECT_EQ(windows->Tip->label(), nullptr) << "shown before the device opened";
    clickDevice("Im_Front");
    QLabel* tip = windows->Tip->label();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->isVisible());
    for (const char* part : {"W up, S down", "O up, K down", "GAME A and let go", "Right-click"})
        EXPECT_TRUE(tip->text().contains(QLatin1String(part))) << tip->text().toStdString();
    for (int screen : {Form1().Im_SchermoLTop, Form1().Im_SchermoRTop})
        EXPECT_FALSE(tip->geometry().intersects(onScreen(screen)));
    EXPECT_TRUE(QRect(QPoint(), screen).contains(tip->geometry()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return stored(ZernoBro, "TipShown") == 1; }, 2000)) << "kept unseen";
    // A key the menu takes, which the game never sees, hides it too.
    keyOnDevice(Qt::Key_F1);
    EXPECT_FALSE(tip->isVisible()) << "still up once the player used a key";

    restart();
    play(QStringLiteral("(no sound)"));
    clickDevice("Im_Front");
    EXPECT_EQ(windows->Tip->label(), nullptr);
}

}  // namespace
}  // namespace launchertest
