// The replay check: games played in a real device window, on the real-time timer host, driven by
// posted mouse and key events, are kept as replays that zerno-sim runs, with no options, to the
// very state the window showed when each game ended.
#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <cstdio>
#include <set>
#include <sstream>

#include "launcher_test_support.h"
#include "player_bot.h"
#include "replay_folder.h"
#include "sim_runner.h"
#include "system_clock.h"

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
        windows->scheduler.onTick = [this](const Timer& timer) { ticked.insert(timer.name()); };
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
    QTest::qWait(400);
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
    playUntil([] { return false; }, 2600);
    view().close();

    for (const char* timer : {"TimerBonus", "TimerChance", "TimerMiss"})
        EXPECT_TRUE(ticked.count(timer)) << timer;
    const std::vector<std::string> files = ReplayFolder(replayFolder.toStdString()).replays();
    ASSERT_EQ(files.size(), 3u);
    ASSERT_EQ(shown.size(), 3u);
    for (size_t game = 0; game < files.size(); ++game)
        EXPECT_EQ(zernoSimState(files[game]), shown[game]) << files[game];
}

}  // namespace
}  // namespace launchertest
