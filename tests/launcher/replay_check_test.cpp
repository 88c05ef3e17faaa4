// The replay check: games played in a real device window, on the real-time timer host, driven by
// posted mouse and key events, are kept as replays that zerno-sim runs, with no options, to the
// very state the window showed when each game ended.
#include <QAction>
#include <QLabel>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "app/system_clock.h"
#include "script/sim_runner.h"
#include "settings/replay_folder.h"
#include "tests/launcher/launcher_test_support.h"
#include "tests/replay/player_bot.h"

namespace launchertest {
namespace {

// The system's clock read as on a busy machine: up to a few milliseconds after the tick was due.
class LateWallClock : public ClockPort {
public:
    TimeOfDay localTime() override { return late(system_.localTime()); }
    TimeOfDay utcTime() override { return late(system_.utcTime()); }

private:
    TimeOfDay late(TimeOfDay time)
    {
        const int64_t ms = (time.msOfDay() + ++reads_ % 4) % 86400000;
        return {int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60), int(ms % 1000)};
    }
    SystemClock system_;
    int reads_ = 0;
};

class ReplayCheck : public ProgramTest {
protected:
    void SetUp() override
    {
        replayFolder = QString::fromStdString((scratch / "replays").string());
        clockPort = &wallClock;
        start();
        play(QStringLiteral("(no sound)"));
        // What the window shows as each game is kept, before the program's own keeping.
        const auto keep = windows->recorder->onGameRecorded;
        windows->recorder->onGameRecorded = [this, keep](const RecordedGame& game) {
            std::ostringstream state;
            writeStateBlock(state, Form1(), 0);
            shown.push_back(state.str());
            keep(game);
        };
        tickWatch = windows->forms.device.scheduler.ticks.add([this](const Timer& timer) {
            ticked.insert(timer.name());
            beltTicks += &timer == &Form1().TimerGioco;
        });
    }

    // Posted as the window system would post them: handled in turn with the timer's ticks.
    void postMouse(QEvent::Type type, const char* component)
    {
        const int index = Form1().componentIndex(component);
        const Rect& rect = Form1().components()[size_t(index)].rect;
        const QPointF client(rect.left + rect.width / 2, rect.top + rect.height / 2);
        const QPointF global = client + QPointF(Form1().Left, Form1().Top);
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QCoreApplication::postEvent(&view(), new QMouseEvent(type, client, global, Qt::LeftButton, held, {}));
    }
    void postClick(const char* component)
    {
        postMouse(QEvent::MouseButtonPress, component);
        postMouse(QEvent::MouseButtonRelease, component);
    }
    void postKey(uint16_t key)
    {
        const QString text(QChar(key).toLower());
        QCoreApplication::postEvent(&view(), new QKeyEvent(QEvent::KeyPress, key, {}, text));
        QCoreApplication::postEvent(&view(), new QKeyEvent(QEvent::KeyRelease, key, {}, text));
    }
    // A state change the script keeps as its own line, made between two events of the window.
    void setVariable(const char* name, int value)
    {
        view().deliver([&] { windows->recorder->setVariable(name, value); });
    }

    // The player plays (or looks away) until `done`, for at most `ms`.
    bool playUntil(const std::function<bool()>& done, int ms, bool awake = true)
    {
        return QTest::qWaitFor([&] {
            if (awake)
                for (uint16_t key : replaytest::botKeys(Form1()))
                    postKey(key);
            return done();
        }, ms);
    }

    static std::string zernoSimState(const std::string& file)
    {
        const std::string command = "(cat '" + file + "'; echo state) | '" ZERNO_SIM "'";
        std::string out;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[4096];
            for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
                out.append(buffer, got);
            pclose(pipe);
        }
        const size_t state = out.rfind("state ");
        return state == std::string::npos ? out : "state 0" + out.substr(out.find('\n', state));
    }

    LateWallClock wallClock;
    std::vector<std::string> shown;
    std::set<std::string> ticked;
    Watch tickWatch;
    int beltTicks = 0;
};

TEST_F(ReplayCheck, GamesPlayedInTheWindowReplayInZernoSimToTheStateTheWindowShowed)
{
    TForm1& form = Form1();
    postClick("Im_Front");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.isLit(form.Im_Front); }, 2000));

    // Game A: near 300 points with seven parcels on the truck and one waiting at Folko's top
    // floor: the truck's break, then chance time; ACL ends it.
    postClick("Puls_GameA");
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.GameRunning; }, 2000));
    setVariable("Score", 298);
    setVariable("TruckLoad", 7);
    view().deliver([&] { windows->recorder->setLit(form.DropImages[6], true); });
    ASSERT_TRUE(playUntil([&] { return form.TimerChance.enabled(); }, 6000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticked.count("TimerChance") > 0; }, 6000));
    postClick("Puls_ACL");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.GameRunning; }, 2000));

    // Game B: two misses already, and the first tick finds a parcel at spot 1 with Zerno
    // upstairs while the player looks away: the third miss ends it.
    postClick("Puls_GameB");
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.GameRunning; }, 2000));
    setVariable("MissCount", 2);
    setVariable("TickPhase", 2);
    view().deliver([&] { windows->recorder->setLit(form.componentIndex("Im_Pack1001"), true); });
    ASSERT_TRUE(playUntil([&] { return !form.GameRunning; }, 6000, false));

    // Game B again, on the first hundred's fastest band, two parcels already coming in, left by
    // the window closing: every new parcel follows a draw seeded with the time of day the belt
    // read, a few milliseconds late here as on a busy machine.
    postClick("Puls_GameB");
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.GameRunning; }, 2000));
    setVariable("Score", 80);
    for (const char* parcel : {"Im_Pack1101", "Im_Pack0702"})
        view().deliver([&] { windows->recorder->setLit(form.componentIndex(parcel), true); });
    const int ticksBefore = beltTicks;
    ASSERT_TRUE(playUntil([&] { return beltTicks >= ticksBefore + 8; }, 20000));
    view().close();

    for (const char* timer : {"TimerBonus", "TimerChance", "TimerMiss"})
        EXPECT_TRUE(ticked.count(timer)) << timer;
    const std::vector<std::string> files = ReplayFolder(replayFolder.toStdString()).replays();
    ASSERT_EQ(files.size(), 3u);
    ASSERT_EQ(shown.size(), 3u);
    for (size_t game = 0; game < files.size(); ++game) {
        EXPECT_EQ(zernoSimState(files[game]), shown[game]) << files[game];
        // The game button is hidden while held, so the pointer is let go over the cover's place:
        // the line names the button all the same.
        std::ifstream file(files[game]);
        const std::string script{std::istreambuf_iterator<char>(file), {}};
        EXPECT_NE(script.find(game == 0 ? "\nrelease Puls_GameA\n" : "\nrelease Puls_GameB\n"), std::string::npos);
        EXPECT_EQ(script.find("release Im_Front"), std::string::npos) << files[game];
    }
}

// A kept game, written as the recorder would: from a start of Game A, with a score of its own.
void writeReplay(const fs::path& folder, const std::string& name, int score)
{
    fs::create_directories(folder);
    std::ofstream(folder / name) << "# score: " << score << "\ntime 09:00:00.000\nclick Im_Front\nclick Puls_GameA\n"
                                 << "set Score " << score << "\nwait 60000\n";
}

TEST_F(ReplayCheck, WatchBestGamePlaysTheBestOfTheLastModeDeafToKeysUntilEsc)
{
    const fs::path folder = replayFolder.toStdString();
    writeReplay(folder, "2026-01-01_10-00-00_game-a_9.sim", 9);
    writeReplay(folder, "2026-01-01_11-00-00_game-a_5.sim", 5);
    writeReplay(folder, "2026-01-01_09-00-00_game-b_50.sim", 50);
    // After the device's own items, behind a separator.
    const QList<QAction*> items = splash().PM_Menu->actions();
    const qsizetype watch = items.indexOf(splash().PM_WatchBest);
    ASSERT_GT(watch, items.indexOf(splash().PM_12Exit));
    EXPECT_TRUE(items[watch - 1]->isSeparator());
    EXPECT_EQ(items[watch]->text(), "Watch best game");

    menuCommand(splash().PM_WatchBest);
    ASSERT_TRUE(windows->watching());
    // The window says so, over the body above the screens and in its title.
    const QLabel* banner = windows->Banner->label();
    EXPECT_TRUE(banner->isVisible());
    EXPECT_TRUE(banner->text().contains(QLatin1String("Esc ends it")));
    EXPECT_LT(banner->geometry().bottom(), view().deviceOrigin().y() + Form1().components()[size_t(Form1().Im_SchermoLTop)].rect.top);
    EXPECT_TRUE(view().windowTitle().contains(QLatin1String("replay")));
    TForm1& form = Form1();
    EXPECT_EQ(form.Score, 9);
    EXPECT_EQ(form.GameMode, TForm1::ModeGameA);
    // The replay's keys only: the player's go nowhere, nor do the menu's.
    view().setFocus();
    QTest::keyPress(&view(), Qt::Key_P);
    EXPECT_TRUE(form.isLit(form.Puls_Right));
    QTest::keyRelease(&view(), Qt::Key_P);
    keyOnDevice(Qt::Key_F1);
    EXPECT_FALSE(about().isVisible());
    QTest::qWait(50);
    EXPECT_TRUE(windows->watching());
    // Nor can the keys or the hiscores change under it.
    EXPECT_FALSE(splash().PM_10Keys->isEnabled());
    EXPECT_FALSE(splash().PM_8Hiscore->isEnabled());

    keyOnDevice(Qt::Key_Escape);
    EXPECT_FALSE(windows->watching());
    EXPECT_FALSE(banner->isVisible());
    EXPECT_EQ(view().windowTitle().toStdString(), ProgramTitle);
    EXPECT_EQ(form.GameMode, TForm1::ModeReset);
    EXPECT_FALSE(form.GameRunning);
    EXPECT_TRUE(view().isVisible());
    // Nothing was kept of the replay; the player's own games are again.
    EXPECT_EQ(ReplayFolder(folder.string()).replays().size(), 3u);
    EXPECT_TRUE(splash().PM_10Keys->isEnabled());
    QTest::keyPress(&view(), Qt::Key_P);
    EXPECT_FALSE(form.isLit(form.Puls_Right));
    QTest::keyRelease(&view(), Qt::Key_P);
}

TEST_F(ReplayCheck, WatchBestGameIsGreyedUntilAGameIsKept)
{
    EXPECT_FALSE(splash().PM_WatchBest->isEnabled());
    clickDevice("Im_Front");
    clickDevice("Puls_GameB");
    EXPECT_FALSE(splash().PM_WatchBest->isEnabled()) << "a game under way is not kept yet";
    clickDevice("Puls_ACL");
    EXPECT_TRUE(splash().PM_WatchBest->isEnabled());
    // Taken away behind the program's back: greyed again when the menu opens.
    fs::remove_all(replayFolder.toStdString());
    QMenu& menu = *splash().PM_Menu;
    menu.popup(view().mapToGlobal(QPoint(20, 20)));
    EXPECT_FALSE(splash().PM_WatchBest->isEnabled());
    menu.hide();
}

// Whatever the replay's opening lines set and its game reached, the player's hiscores are the
// device's again once it is over, whether it ran to its end or Esc stopped it.
TEST_F(ReplayCheck, AReplayLeavesThePlayersHiscoresAsTheyWere)
{
    for (const bool toItsEnd : {true, false}) {
        SCOPED_TRACE(toItsEnd ? "to its end" : "stopped");
        const fs::path file = scratch / "hiscores.sim";
        std::ofstream(file) << "time 09:00:00.000\nclick Im_Front\nset HiscoreA 0\nset HiscoreB 8\n"
                            << (toItsEnd ? "wait 50\n" : "wait 60000\n");
        TForm1& form = Form1();
        view().deliver([&] {
            form.HiscoreA = 50;
            form.HiscoreB = 0;
        });
        const Expected<void> started = windows->watchReplay(QString::fromStdString(file.string()));
        ASSERT_TRUE(started) << started.error();
        EXPECT_EQ(form.HiscoreB, 8);
        if (toItsEnd)
            EXPECT_TRUE(QTest::qWaitFor([&] { return !windows->watching(); }, 2000));
        else
            keyOnDevice(Qt::Key_Escape);
        ASSERT_FALSE(windows->watching());
        EXPECT_EQ(form.HiscoreA, 50);
        EXPECT_EQ(form.HiscoreB, 0);
        pressDevice("Puls_GameA");
        EXPECT_EQ(form.digitsText(), "--50");
        releaseDevice("Puls_GameA");
        clickDevice("Puls_ACL");
    }
}

// A folder opens as a file would but holds no script: it is refused as a file that cannot be read.
TEST_F(ReplayCheck, AFolderIsRefusedAsAReplayAsAFileThatCannotBeRead)
{
    for (const fs::path& path : {scratch / "no-such.sim", scratch}) {
        const Expected<void> started = windows->watchReplay(QString::fromStdString(path.string()));
        ASSERT_FALSE(started);
        EXPECT_EQ(started.error(), path.string() + ": cannot be read.");
        EXPECT_FALSE(windows->watching());
        EXPECT_FALSE(windows->Banner->label()->isVisible());
    }
}

TEST_F(ReplayCheck, AReplayFolderThatCannotBeWrittenIsReportedOnceAndPlayGoesOn)
{
    replayFolder = QString::fromStdString((scratch / "in-the-way" / "replays").string());
    std::ofstream(scratch / "in-the-way") << "a file\n";
    restart();
    play(QStringLiteral("(no sound)"));
    TForm1& form = Form1();
    clickDevice("Im_Front");
    for (int game = 0; game < 2; ++game) {
        clickDevice("Puls_GameA");
        ASSERT_TRUE(form.GameRunning);
        clickDevice("Puls_ACL");
        ASSERT_FALSE(form.GameRunning);
    }
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "A game could not be kept as a replay; play goes on. (" + replayFolder.toStdString()
                              + ": Not a directory)");
}

}  // namespace
}  // namespace launchertest
