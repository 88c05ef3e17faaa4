#include "tests/reliability/device_invariants.h"

#include <algorithm>
#include <initializer_list>

namespace {

bool oneOf(int value, std::initializer_list<int> values)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

bool within(int value, int lowest, int highest)
{
    return value >= lowest && value <= highest;
}

std::string describe(const TForm1& form)
{
    std::string text;
    for (const auto& variable : TForm1::StateTable) {
        text += ' ';
        text += variable.name;
        text += '=';
        text += std::to_string(variable.get(form));
    }
    return text;
}

}  // namespace

DeviceInvariants::DeviceInvariants(TForm1& form) : form_(form) {}

void DeviceInvariants::before(const HandlerRun& run)
{
    run_ = run;
    runningBefore_ = form_.GameRunning;
    parcelsBefore_ = form_.packageCount();
}

std::string DeviceInvariants::after()
{
    std::string broken = checkState();
    if (broken.empty())
        for (Timer* timer : form_.timers())
            if (broken = checkTimer(*timer); !broken.empty())
                break;
    if (broken.empty())
        return {};
    const std::string handler = run_.timer ? run_.timer->name() : "an input";
    return "after " + handler + " at " + std::to_string(form_.scheduler.now()) + " ms: " + broken + "\n  state:"
         + describe(form_);
}

std::string DeviceInvariants::checkState()
{
    const TForm1& f = form_;
    for (const auto& variable : TForm1::StateTable)
        if (const int value = variable.get(f); !within(value, variable.least, variable.most))
            return std::string(variable.name) + ' ' + std::to_string(value) + " is outside "
                 + std::to_string(variable.least) + ".." + std::to_string(variable.most);

    if (!runningBefore_ || !f.GameRunning)
        return {};
    const int parcels = f.packageCount();
    const bool handover = run_.timer == &f.TimerFolkoMovePack || run_.timer == &f.TimerZernoMovePack;
    const bool feed = run_.timer == &f.TimerGioco && run_.rightTick;
    const bool missBlink = run_.timer == &f.TimerMiss;
    const int made = feed || handover || missBlink ? 1 : 0;
    if (missBlink && parcels > parcelsBefore_ && !f.isLit(f.DropImages[size_t(std::clamp(f.MissSpot, 1, 6))]))
        return "the miss animation lit a parcel away from the spot of the miss";
    if (parcels > parcelsBefore_ + made)
        return "the belts went from " + std::to_string(parcelsBefore_) + " to " + std::to_string(parcels)
             + " parcels; this handler may add " + std::to_string(made);
    const int limit = (f.GameMode == TForm1::ModeGameB ? 9 : 8) + 2;
    if (parcels > limit)
        return std::to_string(parcels) + " parcels on the belts, more than " + std::to_string(limit);
    return {};
}

bool DeviceInvariants::legalBeltInterval(int interval) const
{
    if (interval == 250)
        return true;
    for (int mode : {1, 2}) {
        if (form_.GameMode != mode && form_.GameRunning)
            continue;
        for (const auto& hundred : form_.LevelTable[size_t(mode)])
            for (const TForm1::Level& level : hundred)
                if (interval >= level.interval && (interval - level.interval) % 150 == 0)
                    return true;
    }
    return false;
}

bool DeviceInvariants::legalInterval(const Timer& timer) const
{
    const TForm1& f = form_;
    const int interval = timer.interval();
    if (&timer == &f.TimerClock)
        return oneOf(interval, {1, 1000});
    if (&timer == &f.TimerGioco)
        return legalBeltInterval(interval);
    if (&timer == &f.TimerMiss)
        return oneOf(interval, {1, 100, 200, 250, 400});
    if (&timer == &f.TimerBonus)
        return oneOf(interval, {1, 150, 350, 650, 800});
    if (&timer == &f.TimerZernoPack || &timer == &f.TimerFolkoPack || &timer == &f.TimerPackBus)
        return interval == 200;
    if (&timer == &f.TimerFolkoMovePack || &timer == &f.TimerZernoMovePack || &timer == &f.TimerBusSmoke)
        return interval == 150;
    if (&timer == &f.TimerChance)
        return interval == 300;
    if (&timer == &f.TimerBlink)
        return interval == 600;
    if (&timer == &f.TimerOver)
        return interval == 1000;
    return false;
}

std::string DeviceInvariants::checkTimer(const Timer& timer)
{
    if (!timer.enabled())
        return {};
    const TForm1& f = form_;
    const std::string name = timer.name();
    if (!legalInterval(timer))
        return name + " runs with an interval of " + std::to_string(timer.interval()) + " ms";
    const int64_t now = f.scheduler.now();
    if (timer.due() < now || timer.due() > now + timer.interval())
        return name + " is due at " + std::to_string(timer.due()) + " ms, not within one interval from now";

    const bool game = f.GameRunning && (f.GameMode == TForm1::ModeGameA || f.GameMode == TForm1::ModeGameB);
    const bool beltStopped = !f.TimerGioco.enabled();
    bool legal = true;
    if (&timer == &f.TimerClock)
        legal = f.GameMode == TForm1::ModeClock && !f.GameRunning;
    else if (&timer == &f.TimerGioco)
        legal = game && !f.TimerMiss.enabled() && !f.TimerChance.enabled() && !f.TimerBonus.enabled()
             && !f.TimerOver.enabled() && !f.TimerClock.enabled();
    else if (&timer == &f.TimerMiss)
        legal = game && within(f.MissSpot, 1, 6) && within(f.MissStep, 1, 13) && beltStopped;
    else if (&timer == &f.TimerChance)
        legal = game && within(f.ChanceStep, 1, 10) && beltStopped && !f.TimerMiss.enabled();
    else if (&timer == &f.TimerBonus)
        legal = game && f.TruckLoad == 8 && within(f.BonusStep, 1, 24) && beltStopped;
    else if (&timer == &f.TimerPackBus)
        legal = game && within(f.TruckLoad, 1, 8) && within(f.TruckStep, 1, 5);
    else if (&timer == &f.TimerBusSmoke)
        legal = game && within(f.TruckLoad, 6, 8) && within(f.BonusStep, 0, 12);
    else if (&timer == &f.TimerBlink)
        legal = game && f.DoubleScore && f.ScoreStep == 2;
    else if (&timer == &f.TimerFolkoMovePack || &timer == &f.TimerZernoMovePack)
        legal = game;
    else if (&timer == &f.TimerFolkoPack || &timer == &f.TimerZernoPack)
        legal = f.GameMode == TForm1::ModeGameA || f.GameMode == TForm1::ModeGameB;
    else if (&timer == &f.TimerOver)
        legal = !f.GameRunning && (f.GameMode == TForm1::ModeGameA || f.GameMode == TForm1::ModeGameB) && within(f.OverStep, 1, 299) && beltStopped
             && !f.TimerMiss.enabled() && !f.TimerChance.enabled() && !f.TimerClock.enabled();
    if (!legal)
        return name + " runs where it has no business";
    return {};
}
