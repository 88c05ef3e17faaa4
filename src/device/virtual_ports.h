// Ports that run on the scheduler's virtual clock instead of the world: a time of day that moves
// with the virtual time and a log of what the device asks of its sound. zerno-sim and the tests
// drive the device with these.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "device/ports.h"
#include "device/scheduler.h"

// Something the device did at a virtual time: in the sound log a sample's name or "silence".
struct TimedEvent {
    int64_t time;
    std::string what;
};

// Every Suona and Silenzio with the virtual time it came at. With onEvent set, each is handed
// there instead of being kept.
class SoundLog : public SoundPort {
public:
    explicit SoundLog(const Scheduler& scheduler) : scheduler_(scheduler) {}
    void Suona(Sample sample) override { add({scheduler_.now(), sampleName(sample)}); }
    void Silenzio() override { add({scheduler_.now(), "silence"}); }

    std::vector<TimedEvent> events;
    std::function<void(const TimedEvent&)> onEvent;

private:
    void add(TimedEvent event)
    {
        if (onEvent)
            onEvent(event);
        else
            events.push_back(std::move(event));
    }
    const Scheduler& scheduler_;
};

// The time of day a virtual clock starts at when a script does not say: 10:00:00.000.
inline constexpr int64_t VirtualStartMs = 10 * 3600000;

// Local time and UTC each start at their own time of day (ms) and run with the virtual clock.
class VirtualClock : public ClockPort {
public:
    explicit VirtualClock(const Scheduler& scheduler, int64_t startMs = VirtualStartMs)
        : localStart(startMs), utcStart(startMs), scheduler_(scheduler)
    {
    }
    TimeOfDay localTime() override { return at(localStart); }
    TimeOfDay utcTime() override { return at(utcStart); }
    int64_t localStart;
    int64_t utcStart;

private:
    TimeOfDay at(int64_t start) const
    {
        return TimeOfDay::fromMs(start + scheduler_.now());
    }
    const Scheduler& scheduler_;
};
