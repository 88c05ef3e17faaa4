// The device window put together as the program puts it together: the layout and pictures
// from the assets, an in-memory settings store, the system clock, the sound layer, the
// scheduler with its timerfd host, and the Qt view, shown on whatever platform Qt runs on
// (offscreen in the benchmarks). The view records how long each of its paints takes.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "app/system_clock.h"
#include "common/expected.h"
#include "device/view/device_session.h"
#include "settings/store.h"
#include "sound/sound.h"
#include "tools/bench/bench_report.h"

// Qt on the offscreen platform unless QT_QPA_PLATFORM names another; before the QApplication.
void offscreenUnlessTold();

// Runs the event loop for `ms` milliseconds.
void runEventsFor(int ms);

class TimedView : public DeviceView {
public:
    // Told at the end of every paint: the region painted, when the paint began and ended.
    std::function<void(const QRegion&, SteadyTime, SteadyTime)> painted;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class DeviceHarness {
public:
    // With sound, the samples are loaded from the source tree's SOUND folder and played on
    // whatever SDL_AUDIODRIVER says.
    explicit DeviceHarness(bool withSound = true);
    ~DeviceHarness();

    // Whether the device could be put together; if not, says why on standard error.
    bool opened() const;

    TForm1& form() { return *session_.form; }
    TimedView& view() { return static_cast<TimedView&>(*session_.view); }
    TimerHost& host() { return *session_.host; }
    Scheduler& scheduler() { return session_.scheduler; }

    // The timer host counts its milliseconds from a moment between these two.
    SteadyTime baseEarliest;
    SteadyTime baseLatest;

    // A left click on a component, delivered as the view delivers the mouse.
    void click(const char* component);
    // A key pressed and released, as events sent to the view.
    void pressKey(uint16_t key);
    // Shows the window, opens the device and clicks a button: Puls_GameA starts Game A,
    // Puls_Time shows the clock.
    void openAndClick(const char* button);

    // After every batch of ticks: the keys of the player who watches the belts, and a new
    // game when the last one is over.
    void setAutoplay(bool on) { autoplay_ = on; }

private:
    void afterTicks();

    Expected<void> opened_;
    std::unique_ptr<MemoryStore> store_;
    std::unique_ptr<StoreKey> keySettings_;
    std::unique_ptr<StoreKey> settings_;
    Sound sound_;
    bool soundStarted_ = false;
    SystemClock clock_;
    DeviceSession session_{std::make_unique<TimedView>()};
    bool autoplay_ = false;
    bool restartPending_ = false;
};
