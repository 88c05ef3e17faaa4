#include "tests/reliability/soak.h"

#include <array>
#include <ostream>
#include <random>
#include <streambuf>

#include "script/sim_runner.h"
#include "settings/store.h"
#include "tests/reliability/device_invariants.h"
#include "tools/bench/player.h"

namespace {

// The runner's output (sounds, store writes) is not looked at here.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// The player's draws: raw std::mt19937 output modulo n, the same on every standard library.
class Dice {
public:
    explicit Dice(uint32_t seed) : engine_(seed) {}
    int roll(int n) { return int(engine_() % uint32_t(n)); }
    bool chance(int inN) { return roll(inN) == 0; }

private:
    std::mt19937 engine_;
};

class Soak {
public:
    Soak(std::vector<ComponentDef> layout, const SoakOptions& options)
        : options_(options),
          out_(&null_),
          keys_(store_.OpenKey(KeySettingsStorePath)),
          game_(store_.OpenKey(SettingsStorePath)),
          runner_(std::move(layout), *keys_, *game_, SimOptions{}, out_),
          form_(runner_.form()),
          invariants_(form_),
          dice_(options.seed)
    {
        tickWatch_ = runner_.scheduler().ticks.add([this](const Timer& timer) {
            // The previous handler has finished: this is the moment to look at what it left.
            checkAfter();
            beforeHandler(&timer);
        });
    }

    SoakReport run()
    {
        send("click Im_Front");
        while (report_.failure.empty() && runner_.scheduler().now() < options_.virtualMs)
            step();
        report_.virtualMs = runner_.scheduler().now();
        return std::move(report_);
    }

private:
    void step()
    {
        if (heldButton_.empty()) {
            if (!form_.GameRunning) {
                if (dice_.chance(patient_ ? 20000 : 100))
                    press(dice_.chance(3) ? "Puls_GameB" : "Puls_GameA", false);
            } else if (dice_.chance(3000)) {
                press(pickButton(), dice_.chance(5));
            }
            if (dice_.chance(interrupting_ ? 2000 : 200000))
                press("Puls_ACL", false);
            else if (dice_.chance(8000))
                press("Puls_Time", false);
        } else if (dice_.chance(heldLong_ ? 200 : 4)) {
            send("release " + heldButton_ + (heldRight_ ? " right" : ""));
            heldButton_.clear();
        }

        const int roll = dice_.roll(100);
        if (roll < sloppiness_) {
            const int key = dice_.roll(int(keys().size()) + 1);
            const uint16_t code = key < int(keys().size()) ? keys()[size_t(key)] : uint16_t('X');
            send("keydown " + std::to_string(code));
            if (!dice_.chance(10))
                send("keyup " + std::to_string(code));
        } else if (roll < sloppiness_ + skill_) {
            for (uint16_t code : {folkoMove(form_), zernoMove(form_)})
                if (code != 0) {
                    send("keydown " + std::to_string(code));
                    send("keyup " + std::to_string(code));
                }
        }
        send("wait " + std::to_string(1 + dice_.roll(120)));
    }

    std::array<uint16_t, 4> keys() const
    {
        return {form_.KeyCodes[1], form_.KeyCodes[2], form_.KeyCodes[3], form_.KeyCodes[4]};
    }

    const char* pickButton()
    {
        static const char* const buttons[] = {"Puls_GameA", "Puls_GameB", "Puls_Time", "Puls_ACL"};
        return buttons[dice_.roll(4)];
    }

    // A mouse press lands only on what can be seen; its release goes to the same component.
    void press(const std::string& button, bool right)
    {
        if (!form_.isLit(form_.componentIndex(button)))
            return;
        send("press " + button + (right ? " right" : ""));
        heldButton_ = button;
        heldRight_ = right;
        heldLong_ = dice_.chance(10);
    }

    void send(const std::string& line)
    {
        if (!report_.failure.empty())
            return;
        if (options_.keepScript)
            report_.script.push_back(line);
        ++report_.inputs;
        beforeHandler(nullptr);
        if (const Expected<void> ran = runner_.runLine(line); !ran) {
            report_.failure = "the runner refused '" + line + "': " + ran.error();
            return;
        }
        checkAfter();
    }

    void beforeHandler(const Timer* timer)
    {
        running_ = form_.GameRunning;
        score_ = form_.Score;
        missCount_ = form_.MissCount;
        chance_ = form_.TimerChance.enabled();
        bonus_ = form_.TimerBonus.enabled();
        over_ = form_.TimerOver.enabled();
        invariants_.before({timer, timer == &form_.TimerGioco && form_.TickPhase % 2 == 0});
    }

    void checkAfter()
    {
        ++report_.handlers;
        if (std::string broken = invariants_.after(); !broken.empty() && report_.failure.empty())
            report_.failure = broken;
        count();
    }

    void count()
    {
        if (!running_ && form_.GameRunning) {
            ++report_.games;
            // Each game gets a player of its own: a careful one who plays on past 999, one who
            // fumbles the keys, or one who soon reaches for ACL.
            const int plan = dice_.roll(10);
            sloppiness_ = plan < 4 ? 1 : plan < 8 ? 40 : 5;
            skill_ = plan < 4 ? 60 : plan < 8 ? 15 : 50;
            interrupting_ = plan >= 8;
        }
        if (form_.MissCount > missCount_)
            ++report_.misses;
        if (!chance_ && form_.TimerChance.enabled())
            ++report_.chanceTimes;
        if (!bonus_ && form_.TimerBonus.enabled() && form_.BonusStep == 1)
            ++report_.breaks;
        if (running_ && form_.GameRunning && form_.Score < score_)
            ++report_.wraps;
        if (!over_ && form_.TimerOver.enabled()) {
            ++report_.gameOvers;
            // Now and then the game-over animation is left to run into the clock.
            patient_ = dice_.chance(10);
        }
        report_.bestScore = std::max(report_.bestScore, form_.Score);
    }

    SoakOptions options_;
    NullBuffer null_;
    std::ostream out_;
    MemoryStore store_;
    std::unique_ptr<StoreKey> keys_;
    std::unique_ptr<StoreKey> game_;
    SimRunner runner_;
    Watch tickWatch_;
    TForm1& form_;
    DeviceInvariants invariants_;
    Dice dice_;
    SoakReport report_;

    std::string heldButton_;
    bool heldRight_ = false;
    bool heldLong_ = false;
    bool patient_ = false;
    int sloppiness_ = 2;  // percent of steps with a random key
    int skill_ = 60;      // percent of steps with the keys of someone watching the belts
    bool interrupting_ = false;

    bool running_ = false;
    int score_ = 0;
    int missCount_ = 0;
    bool chance_ = false;
    bool bonus_ = false;
    bool over_ = false;
};

}  // namespace

SoakReport runSoak(std::vector<ComponentDef> layout, const SoakOptions& options)
{
    return Soak(std::move(layout), options).run();
}
