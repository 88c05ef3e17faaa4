// The key settings dialog: the clash check, ACCEPT, and what the device does meanwhile.
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include "tests/launcher/launcher_test_support.h"

namespace launchertest {
namespace {

const char* const Tessova = KeySettingsStorePath;
const QColor White(255, 255, 255);
const QColor Red(255, 0, 0);

class KeysDialog : public ProgramTest {
protected:
    // The user starts the program, plays without sound and opens the key dialog from the menu.
    void openDialog()
    {
        start();
        play(QStringLiteral("(no sound)"));
        menuCommand(splash().PM_10Keys);
        ASSERT_TRUE(keys().isVisible());
    }

    QColor caption(int n) { return keys().La[size_t(n)]->palette().color(QPalette::WindowText); }
    // The four captions' colours as "WRWW".
    std::string captions()
    {
        std::string colours;
        for (int n = 1; n <= 4; ++n)
            colours += caption(n) == Red ? 'R' : caption(n) == White ? 'W' : '?';
        return colours;
    }
    bool acceptEnabled() { return keys().Puls_Accept->isEnabled(); }
    void pickLetter(int n, const char* letter) { pick(keys().CB[size_t(n)], QLatin1String(letter)); }
};

TEST_F(KeysDialog, OpensOnTheStoredLettersCentredWithTheDeviceDisabled)
{
    openDialog();
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(keys().CB[size_t(n)]->count(), 26);
    EXPECT_EQ(keys().CB[1]->currentText(), "Q");
    EXPECT_EQ(keys().CB[2]->currentText(), "A");
    EXPECT_EQ(keys().CB[3]->currentText(), "P");
    EXPECT_EQ(keys().CB[4]->currentText(), "L");
    EXPECT_EQ(captions(), "WWWW");
    EXPECT_TRUE(acceptEnabled());
    EXPECT_EQ(keys().size(), QSize(279, 129));
    EXPECT_EQ(keys().pos(), QPoint((1023 - 279) / 2, (767 - 129) / 2));
    EXPECT_FALSE(keys().isModal());
    EXPECT_FALSE(Form1().Enabled);
    EXPECT_FALSE(view().isEnabled());
    EXPECT_FALSE(keys().windowFlags() & Qt::WindowCloseButtonHint);

    // The window system's close is refused: the device would stay disabled otherwise.
    keys().close();
    EXPECT_TRUE(keys().isVisible());
}

TEST_F(KeysDialog, BelongsToTheDeviceWindowAndComesForwardWhenTheDisabledDeviceIsClicked)
{
    openDialog();
    ASSERT_NE(keys().windowHandle(), nullptr);
    EXPECT_EQ(keys().windowHandle()->transientParent(), view().windowHandle());
    view().activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view().isActiveWindow(); }, 1000));
    clickDevice("Im_Base");
    EXPECT_TRUE(QTest::qWaitFor([&] { return keys().isActiveWindow(); }, 1000));
}

TEST_F(KeysDialog, ALetterTakenTwiceTurnsBothRedUntilAFreeLetterIsPicked)
{
    openDialog();
    pickLetter(2, "Q");
    EXPECT_EQ(captions(), "RRWW");
    EXPECT_FALSE(acceptEnabled());
    pickLetter(2, "Z");
    EXPECT_EQ(captions(), "WWWW");
    EXPECT_TRUE(acceptEnabled());
}

TEST_F(KeysDialog, ThreeListsOnOneLetterTurnTheirThreeCaptionsRed)
{
    openDialog();
    pickLetter(1, "L");
    pickLetter(3, "L");
    EXPECT_EQ(captions(), "RWRR");
    EXPECT_FALSE(acceptEnabled());
    // Freeing one of three still leaves a clash.
    pickLetter(4, "M");
    EXPECT_EQ(captions(), "RWRW");
    EXPECT_FALSE(acceptEnabled());
}

TEST_F(KeysDialog, TwoClashingPairsTurnAllRedAndBreakingOnePairWhitensIt)
{
    openDialog();
    pickLetter(1, "A");
    pickLetter(3, "B");
    pickLetter(4, "B");
    EXPECT_EQ(captions(), "RRRR");
    EXPECT_FALSE(acceptEnabled());
    pickLetter(4, "C");
    EXPECT_EQ(captions(), "RRWW");
    EXPECT_FALSE(acceptEnabled());
}

TEST_F(KeysDialog, StoredClashShowsWhiteWithAcceptOnUntilAListChanges)
{
    store(Tessova, "Key1", 5);
    store(Tessova, "Key2", 5);
    store(Tessova, "Key3", 26);  // the last letter of the list is a letter too
    store(Tessova, "Key4", 1);
    openDialog();
    EXPECT_EQ(keys().CB[1]->currentText(), "E");
    EXPECT_EQ(keys().CB[2]->currentText(), "E");
    EXPECT_EQ(keys().CB[3]->currentText(), "Z");
    EXPECT_EQ(keys().CB[4]->currentText(), "A");
    EXPECT_EQ(captions(), "WWWW");
    EXPECT_TRUE(acceptEnabled());
    // Any change shows the clash, even one that does not touch it.
    pickLetter(4, "X");
    EXPECT_EQ(captions(), "RRWW");
    EXPECT_FALSE(acceptEnabled());
}

TEST_F(KeysDialog, TwoListsShowingNothingClashButOneStoresZeroAndKeepsItsKeyCode)
{
    store(Tessova, "Key1", 0);
    store(Tessova, "Key4", 27);
    openDialog();
    EXPECT_EQ(keys().CB[1]->currentIndex(), -1);
    EXPECT_EQ(keys().CB[4]->currentIndex(), -1);
    // Texts are compared: two empty lists are the same letter.
    pickLetter(2, "B");
    EXPECT_EQ(captions(), "RWWR");
    EXPECT_FALSE(acceptEnabled());

    pickLetter(4, "L");
    EXPECT_EQ(captions(), "WWWW");
    ASSERT_TRUE(acceptEnabled());
    Form1().KeyCodes[1] = 'Q';  // a code assigned earlier in the run
    click(keys().Puls_Accept);
    EXPECT_EQ(stored(Tessova, "Key1"), 0);
    EXPECT_EQ(Form1().KeyLetters[1], 0);
    EXPECT_EQ(Form1().KeyCodes[1], 'Q');
    EXPECT_EQ(stored(Tessova, "Key2"), 2);
    EXPECT_EQ(Form1().KeyCodes[2], 'B');
    EXPECT_EQ(stored(Tessova, "Key4"), 12);
    EXPECT_EQ(Form1().KeyCodes[4], 'L');
}

TEST_F(KeysDialog, AcceptActsOnTheNextKeyPressAndAfterARestart)
{
    openDialog();
    clickDevice("Im_Front");
    // The dialog holds the device: a click on it does nothing.
    EXPECT_TRUE(Form1().isLit(Form1().Im_Front));
    click(keys().Puls_Accept);
    clickDevice("Im_Front");
    ASSERT_FALSE(Form1().isLit(Form1().Im_Front));
    clickDevice("Puls_GameA");
    ASSERT_TRUE(Form1().GameRunning);
    ASSERT_EQ(Form1().FolkoLevel, 1);

    menuCommand(splash().PM_10Keys);
    pickLetter(1, "W");
    pickLetter(2, "S");
    click(keys().Puls_Accept);
    EXPECT_FALSE(keys().isVisible());
    EXPECT_TRUE(view().isEnabled());
    EXPECT_EQ(Form1().components()[size_t(Form1().Puls_Left)].hint, "Use W and S keys");
    EXPECT_EQ(Form1().components()[size_t(Form1().Puls_Right)].hint, "Use P and L keys");

    keyOnDevice(Qt::Key_Q);
    EXPECT_EQ(Form1().FolkoLevel, 1) << "the old key still moves Folko";
    keyOnDevice(Qt::Key_W);
    EXPECT_EQ(Form1().FolkoLevel, 2);
    keyOnDevice(Qt::Key_S);
    EXPECT_EQ(Form1().FolkoLevel, 1);

    EXPECT_EQ(stored(Tessova, "Key1"), 23);
    EXPECT_EQ(stored(Tessova, "Key2"), 19);
    restart();
    EXPECT_EQ(Form1().KeyCodes[1], 'W');
    EXPECT_EQ(Form1().KeyCodes[2], 'S');
    EXPECT_EQ(keys().CB[1]->currentText(), "W");
    EXPECT_EQ(keys().CB[2]->currentText(), "S");
}

TEST_F(KeysDialog, TheGameGoesOnWhileTheDialogIsShown)
{
    start();
    play(QStringLiteral("(no sound)"));
    clickDevice("Im_Front");
    clickDevice("Puls_GameA");
    ASSERT_TRUE(Form1().GameRunning);
    int beltTicks = 0;
    const Watch watch = windows->forms.device.scheduler.ticks.add([&](const Timer& timer) {
        beltTicks += &timer == &Form1().TimerGioco;
    });
    menuCommand(splash().PM_10Keys);
    EXPECT_TRUE(QTest::qWaitFor([&] { return beltTicks >= 2; }, 5000));
    EXPECT_TRUE(Form1().TimerGioco.enabled());
    const int level = Form1().FolkoLevel;
    keyOnDevice(Qt::Key_Q);
    EXPECT_EQ(Form1().FolkoLevel, level) << "a key reached the disabled device";
}

}  // namespace
}  // namespace launchertest
