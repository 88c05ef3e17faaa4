// The command menu: its items, its shortcut keys on the device window, and its commands.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTest>
#include <fstream>

#include "tests/launcher/launcher_test_support.h"

namespace launchertest {
namespace {

const char* const ZernoBro = SettingsStorePath;

class CommandMenu : public ProgramTest {
protected:
    void startAndPlay()
    {
        start();
        play(QStringLiteral("(no sound)"));
    }
    std::string digits() { return Form1().digitsText(); }
};

TEST_F(CommandMenu, F1OnTheDeviceWindowShowsTheAboutDialogInTheTopLeftCorner)
{
    startAndPlay();
    keyOnDevice(Qt::Key_F1);
    EXPECT_TRUE(about().isVisible());
    EXPECT_FALSE(about().isModal());
    EXPECT_EQ(about().pos(), QPoint(0, 0));
    EXPECT_EQ(about().size(), QSize(275, 224));
    EXPECT_EQ(about().windowTitle(), "About the author...");
    EXPECT_TRUE(about().windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(about().windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    // The device goes on taking input while it is shown.
    clickDevice("Im_Front");
    EXPECT_FALSE(Form1().isLit(Form1().Im_Front));

    about().close();
    EXPECT_FALSE(about().isVisible());
    menuCommand(splash().PM_1About);
    EXPECT_TRUE(about().isVisible());
}

TEST_F(CommandMenu, EscOnTheDeviceWindowClosesItReleasesTheSoundAndEndsTheProgram)
{
    startAndPlay();
    keyOnDevice(Qt::Key_Escape);
    EXPECT_FALSE(view().isVisible());
    EXPECT_EQ(quitRequests, 1);
    EXPECT_EQ(calls, (std::vector<std::string>{"FSOUND_Sample_Free(0)", "FSOUND_Sample_Free(0)",
                                               "FSOUND_Sample_Free(0)", "FSOUND_Sample_Free(0)",
                                               "FSOUND_Sample_Free(0)", "FSOUND_Sample_Free(0)",
                                               "FSOUND_Close()"}));
}

TEST_F(CommandMenu, ExitFromTheMenuEndsTheProgramLikeEsc)
{
    startAndPlay();
    menuCommand(splash().PM_12Exit);
    EXPECT_FALSE(view().isVisible());
    EXPECT_EQ(quitRequests, 1);
    EXPECT_EQ(calls.back(), "FSOUND_Close()");
}

TEST_F(CommandMenu, ShortcutKeysActBeforeTheGameAndOnlyOnTheDeviceWindow)
{
    startAndPlay();
    clickDevice("Im_Front");
    clickDevice("Puls_GameA");
    // F1 on another window is that window's key, not the menu's.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    QTest::keyClick(&other, Qt::Key_F1);
    EXPECT_FALSE(about().isVisible());
    // A worker key still reaches the game.
    keyOnDevice(Qt::Key_Q);
    EXPECT_EQ(Form1().FolkoLevel, 2);
}

TEST_F(CommandMenu, FunctionKeysOpenTheHelpFilesOfTheCurrentFolderThenTheInstalledOneAndIgnoreMissingOnes)
{
    const fs::path installed = scratch / "share";
    fs::create_directories(installed);
    QFile installedReadme(QString::fromStdString((installed / "readme.txt").string()));
    ASSERT_TRUE(installedReadme.open(QIODevice::WriteOnly));
    dataFolders << QString::fromStdString(installed.string());
    startAndPlay();
    keyOnDevice(Qt::Key_F2);
    keyOnDevice(Qt::Key_F3);
    keyOnDevice(Qt::Key_F4);
    ASSERT_EQ(opened.urls.size(), 1u);
    EXPECT_EQ(opened.urls[0], QUrl::fromLocalFile(installedReadme.fileName()));

    for (const char* file : {"readme.txt", "whatsnew.txt", "Manual.EXE"}) {
        QFile help(QString::fromStdString((scratch / file).string()));
        ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    }
    keyOnDevice(Qt::Key_F2);
    keyOnDevice(Qt::Key_F3);
    menuCommand(splash().PM_6Instruct);
    ASSERT_EQ(opened.urls.size(), 4u);
    EXPECT_EQ(opened.urls[1], QUrl::fromLocalFile(QString::fromStdString((scratch / "readme.txt").string())));
    EXPECT_EQ(opened.urls[2], QUrl::fromLocalFile(QString::fromStdString((scratch / "whatsnew.txt").string())));
    EXPECT_EQ(opened.urls[3], QUrl::fromLocalFile(QString::fromStdString((scratch / "Manual.EXE").string())));
}

TEST_F(CommandMenu, F4OpensTheIllustratedManualUnlessAManualExeIsThere)
{
    const fs::path page = scratch / "manual" / "index.html";
    fs::create_directories(page.parent_path());
    std::ofstream(page) << "<html></html>";
    manual = QString::fromStdString(page.string());
    startAndPlay();
    keyOnDevice(Qt::Key_F4);
    ASSERT_EQ(opened.urls.size(), 1u);
    EXPECT_EQ(opened.urls[0], QUrl::fromLocalFile(manual));

    std::ofstream(scratch / "Manual.EXE") << "MZ";
    keyOnDevice(Qt::Key_F4);
    ASSERT_EQ(opened.urls.size(), 2u);
    EXPECT_EQ(opened.urls[1], QUrl::fromLocalFile(QString::fromStdString((scratch / "Manual.EXE").string())));
}

TEST_F(CommandMenu, ResetHiscoresStoresZerosAndLeavesTheDisplayAlone)
{
    store(ZernoBro, "HiScoreA", 120);
    store(ZernoBro, "HiScoreB", 45);
    startAndPlay();
    clickDevice("Im_Front");
    ASSERT_EQ(Form1().HiscoreA, 120);
    ASSERT_EQ(Form1().HiscoreB, 45);
    ASSERT_EQ(digits(), "1200");
    menuCommand(splash().PM_8Hiscore);
    EXPECT_EQ(Form1().HiscoreA, 0);
    EXPECT_EQ(Form1().HiscoreB, 0);
    EXPECT_EQ(stored(ZernoBro, "HiscoreA"), 0);
    EXPECT_EQ(stored(ZernoBro, "HiscoreB"), 0);
    EXPECT_EQ(digits(), "1200");
    // The next press of a game button shows the hiscore now held.
    pressDevice("Puls_GameB");
    EXPECT_EQ(digits(), "---0");
}

TEST_F(CommandMenu, ARightClickStillLeavesTheDeviceTakingClicks)
{
    startAndPlay();
    QMenu* menu = splash().PM_Menu;
    QTest::mouseClick(&view(), Qt::RightButton, {}, QPoint(40, 40));
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }));
    QTest::keyClick(menu, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }));
    EXPECT_TRUE(view().isVisible()) << "Esc in the open menu closes the menu only";
    clickDevice("Im_Front");
    EXPECT_FALSE(Form1().isLit(Form1().Im_Front));
}

}  // namespace
}  // namespace launchertest
