// The caption buttons each dialog asks an X11 window manager for. Runs under Xvfb (ctest starts
// it there); on another platform there are no such hints to read.
#include <QGuiApplication>
#include <QTest>
#include <xcb/xcb.h>

#include "launcher_test_support.h"

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
