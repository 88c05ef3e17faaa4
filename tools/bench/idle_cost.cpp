// Idle cost: the CPU the device window uses and how often it wakes, all its threads together
// (the sound layer's mixing thread included), over a stretch of real time in clock mode and
// during Game A with the player at the keys. Beside it, at the same time as the clock run, the
// bare Qt window idling, and in each run the device's own timer ticks over the same time. Then
// clock mode again with the gamepads watched: first with none plugged in (the hot-plug check
// alone), then with one of SDL's virtual pads attached and read.
//
//   bench_idle_cost BARE_WINDOW_PROGRAM [--seconds S] [--without-sound]      (60 s unless told)
//
// --without-sound runs the device with its sound layer off, to show what the mixing thread costs.
#include <QApplication>
#include <QProcess>
#include <SDL.h>

#include "common/desktop.h"
#include "device/view/gamepads.h"
#include "tools/bench/device_harness.h"
#include "tools/bench/process_usage.h"

namespace {

struct Usage {
    double cpuPercent = 0;   // of one core
    double wakeups = 0;      // context switches a second
    double ticks = 0;        // the device's timer ticks a second
};

// Runs the event loop for `seconds` and returns what the process used meanwhile.
Usage usageOver(DeviceHarness& device, double seconds)
{
    long ticks = 0;
    const Watch watch = device.scheduler().ticks.add([&ticks](const Timer&) { ++ticks; });
    const double start = cpuSeconds();
    const long switches = contextSwitches();
    const SteadyTime began = std::chrono::steady_clock::now();
    runEventsFor(int(seconds * 1000));
    const double elapsed = msBetween(began, std::chrono::steady_clock::now()) / 1000.0;
    return {100.0 * (cpuSeconds() - start) / elapsed, double(contextSwitches() - switches) / elapsed,
            double(ticks) / elapsed};
}

}  // namespace

int main(int argc, char** argv)
{
    if (!argumentsGiven(argc, 1, "bench_idle_cost BARE_WINDOW_PROGRAM [--seconds S] [--without-sound]"))
        return 2;
    const QString bareProgram = QString::fromLocal8Bit(argv[1]);
    const double seconds = optionValue(argc, argv, 2, "--seconds", 60);
    const bool withSound = std::find(argv + 2, argv + argc, std::string_view("--without-sound"))
                        == argv + argc;
    offscreenUnlessTold();
    QApplication app(argc, argv);

    QProcess bare;
    bare.start(bareProgram, {QStringLiteral("--idle-seconds"), QString::number(seconds)});

    Usage clock;
    {
        DeviceHarness device(withSound);
        if (!device.opened())
            return 2;
        device.openAndClick("Puls_Time");
        runEventsFor(1000);
        clock = usageOver(device, seconds);
    }
    bare.waitForFinished(int(seconds * 1000) + 30000);
    double bareCpu = -1;
    double bareWakeups = -1;
    std::sscanf(bare.readAllStandardOutput().constData(), "cpu %lf %% wakeups %lf", &bareCpu, &bareWakeups);

    Usage game;
    {
        DeviceHarness device(withSound);
        device.setAutoplay(true);
        device.openAndClick("Puls_GameA");
        runEventsFor(1000);
        game = usageOver(device, seconds);
        device.setAutoplay(false);
    }

    // Clock mode with the gamepads watched, without a pad and then with one.
    Usage watched;
    Usage padRead;
    {
        DeviceHarness device(withSound);
        device.openAndClick("Puls_Time");
        Gamepads pads(device.view());
        if (Expected<void> started = pads.start(); !started) {
            printProblem("no gamepads: " + started.error());
            return 2;
        }
        runEventsFor(1000);
        watched = usageOver(device, seconds);
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
        desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        desc.name = "bench pad";
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        runEventsFor(1500);
        if (index < 0 || pads.attached() != 1) {
            printProblem(std::string("the virtual pad was not picked up: ") + SDL_GetError());
            return 2;
        }
        padRead = usageOver(device, seconds);
        SDL_JoystickDetachVirtual(index);
    }

    std::printf("idle cost over %.0f s, CPU of all threads in percent of one core, sound %s\n", seconds,
                withSound ? "on" : "off");
    std::printf("  clock mode %.3f %%, Game A with the player at the keys %.3f %%, bare window idle %.3f %%\n",
                clock.cpuPercent, game.cpuPercent, bareCpu);
    std::printf("  wake-ups a second (context switches of all threads): clock mode %.2f (timer ticks %.2f), "
                "Game A %.2f (timer ticks %.2f), bare window idle %.2f\n",
                clock.wakeups, clock.ticks, game.wakeups, game.ticks, bareWakeups);
    const std::string over = format(" over %.0f s", seconds);
    printRow("CPU in clock mode" + over, format("%.3f %% of a core", clock.cpuPercent), "<= 0.1 %",
             format("bare window %.3f %%", bareCpu), clock.cpuPercent <= 0.1);
    printRow("CPU during Game A" + over, format("%.2f %% of a core", game.cpuPercent), "<= 2 %",
             format("bare window %.3f %%", bareCpu), game.cpuPercent <= 2.0);
    printRow("Wake-ups in clock mode" + over, format("%.2f a second", clock.wakeups), "<= 3 a second",
             format("timer ticks %.2f/s; bare window %.2f/s", clock.ticks, bareWakeups), clock.wakeups <= 3.0);
    printRow("Wake-ups during Game A" + over,
             format("%.2f a second (%.2fx ticks)", game.wakeups, game.ticks > 0 ? game.wakeups / game.ticks : 0.0),
             "<= 2x timer ticks", format("timer ticks %.2f/s", game.ticks), game.wakeups <= 2.0 * game.ticks);
    printRow("Wake-ups in clock mode, gamepads watched, none plugged in" + over, format("%.2f a second", watched.wakeups),
             "<= 3 a second", format("clock mode unwatched %.2f/s", clock.wakeups), watched.wakeups <= 3.0);
    printRow("CPU in clock mode with a gamepad read" + over, format("%.3f %% of a core", padRead.cpuPercent), "<= 0.5 %",
             format("clock mode without %.3f %%; %.1f wake-ups/s", clock.cpuPercent, padRead.wakeups),
             padRead.cpuPercent <= 0.5);
    return 0;
}
