// The caption buttons each dialog asks an X11 window manager for. Runs under Xvfb (ctest starts
// it there); on another platform there are no such hints to read.
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <xcb/xcb.h>

#include "launcher/caption_bar.h"
#include "launcher/focus_ring.h"
#include "tests/launcher/launcher_test_support.h"

namespace launchertest {
namespace {

// The window's _MOTIF_WM_HINTS: flags, functions, decorations; empty when it has none.
std::vector<uint32_t> motifHints(QWidget& window)
{
    xcb_connection_t* connection = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    static const char name[] = "_MOTIF_WM_HINTS";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, xcb_window_t(window.winId()), atom->atom, atom->atom, 0, 5), nullptr);
    std::vector<uint32_t> hints;
    if (reply && xcb_get_property_value_length(reply) >= 12) {
        const auto* words = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        hints.assign(words, words + 3);
    }
    std::free(reply);
    std::free(atom);
    return hints;
}

class CaptionButtons : public ProgramTest {};

TEST_F(CaptionButtons, EachWindowAllowsMovingAndOnlyTheAboutBoxClosing)
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("xcb")))
        GTEST_SKIP() << "no X11 window manager hints on " << QGuiApplication::platformName().toStdString();
    start();
    play(QStringLiteral("(no sound)"));
    menuCommand(splash().PM_10Keys);
    about().showAbout();
    const uint32_t move = 4, close = 32, functionsAndDecorations = 3, borderAndTitle = 2 | 8, menu = 16;
    EXPECT_EQ(motifHints(splash()), (std::vector<uint32_t>{functionsAndDecorations, move, borderAndTitle}));
    EXPECT_EQ(motifHints(keys()), (std::vector<uint32_t>{functionsAndDecorations, move, borderAndTitle}));
    EXPECT_EQ(motifHints(about()), (std::vector<uint32_t>{functionsAndDecorations, move | close, borderAndTitle | menu}));
}

}  // namespace
}  // namespace launchertest

namespace launchertest {
namespace {

// What a title bar's buttons ask of a window. Qt's own title bar on Wayland would offer minimise
// and maximise on every window, whatever the window's flags say, and a compositor may still
// maximise or minimise a window that shows neither.
class CaptionStates : public ProgramTest {
protected:
    // A click sent to the device window itself: on Wayland a test cannot know where a window is,
    // so the window system's own path for the mouse cannot be taken.
    void clickDeviceDirectly(const char* component)
    {
        const QPoint at = view().deviceOrigin() + deviceCentre(component) * view().scale();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, view().mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, {});
            QApplication::sendEvent(&view(), &event);
        }
    }
};

TEST_F(CaptionStates, EachFixedWindowComesBackFromMaximiseAndMinimise)
{
    const auto comesBack = [](QWidget* window) {
        SCOPED_TRACE(window->objectName().toStdString());
        const QSize fixed = window->size();
        ASSERT_EQ(window->minimumSize(), window->maximumSize());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        QWindow* handle = window->windowHandle();
        handle->setWindowStates(Qt::WindowMaximized);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return handle->windowStates() == Qt::WindowNoState && window->size() == fixed &&
                   window->maximumSize() == fixed;
        }, 3000)) << "left at " << window->width() << "x" << window->height() << " in state " << int(handle->windowStates());
        handle->setWindowStates(Qt::WindowMinimized);
        EXPECT_TRUE(QTest::qWaitFor([&] { return handle->windowStates() == Qt::WindowNoState && window->isVisible(); },
                                    3000));
    };
    start();
    comesBack(&splash());
    // The launcher goes at PLAY; the other two are met with a game under way. The sound mode is
    // picked and the dialog chosen without their pop-ups, which a test cannot open on Wayland.
    splash().CB_Sound->setCurrentText(QStringLiteral("(no sound)"));
    splash().Puls_Play->click();
    clickDeviceDirectly("Im_Front");
    clickDeviceDirectly("Puls_GameA");
    ASSERT_TRUE(Form1().GameRunning);
    splash().PM_10Keys->trigger();
    comesBack(&keys());
    about().showAbout();
    comesBack(&about());
    EXPECT_TRUE(Form1().GameRunning);
    EXPECT_FALSE(splash().isVisible());
}

// Qt's own title bar on Wayland offers minimise, maximise and close whatever a window asks, and
// cuts a long title off at its buttons. There each dialog has no title bar of Qt's but a plain one
// of its own: the whole title, a close button on the About box alone, no key taken from the
// dialog, and a press anywhere but the button left to move the window.
TEST_F(CaptionStates, EachDialogHasAPlainTitleBarOfItsOwnOnWayland)
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        GTEST_SKIP() << "the window system draws the title bars on " << QGuiApplication::platformName().toStdString();
    start();
    splash().PM_10Keys->trigger();
    about().showAbout();
    for (auto [window, closable] : {std::pair<QWidget*, bool>{&splash(), false}, {&keys(), false}, {&about(), true}}) {
        SCOPED_TRACE(window->objectName().toStdString());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        EXPECT_EQ(window->windowHandle()->frameMargins(), QMargins());
        auto* bar = window->findChild<CaptionBar*>();
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->geometry(), QRect(0, 0, window->width(), CaptionBar::Height));
        QLabel* title = bar->title();
        EXPECT_EQ(title->text(), window->windowTitle());
        EXPECT_GE(title->width(), title->fontMetrics().horizontalAdvance(title->text()));
        EXPECT_EQ(bar->childAt(title->geometry().center()), nullptr);
        EXPECT_EQ(bar->closeButton() != nullptr, closable);
        for (QWidget* part : bar->findChildren<QWidget*>())
            EXPECT_EQ(part->focusPolicy(), Qt::NoFocus) << part->objectName().toStdString();
        for (QWidget* component : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (component != bar && !qobject_cast<FocusRing*>(component)) {
                EXPECT_GE(component->y(), CaptionBar::Height) << component->objectName().toStdString();
            }
    }
    about().findChild<CaptionBar*>()->closeButton()->click();
    EXPECT_FALSE(about().isVisible());
}

}  // namespace
}  // namespace launchertest
