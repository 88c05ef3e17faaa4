// Idle cost: the CPU the device window uses, all its threads together (the sound layer's mixing
// thread included), over a stretch of real time in clock mode and during Game A with the player
// at the keys. Beside it, at the same time as the clock run, the bare Qt window idling.
//
//   bench_idle_cost BARE_WINDOW_PROGRAM [--seconds S] [--without-sound]      (60 s unless told)
//
// --without-sound runs the device with its sound layer off, to show what the mixing thread costs.
#include <QApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <cstdlib>
#include <cstring>

#include "bench_report.h"
#include "device_harness.h"
#include "process_usage.h"

namespace {

// Runs the event loop for `seconds` and returns the CPU used meanwhile, in percent of one core.
double cpuPercentOver(double seconds)
{
    QEventLoop loop;
    const double start = cpuSeconds();
    const SteadyTime began = std::chrono::steady_clock::now();
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    const double elapsed = msBetween(began, std::chrono::steady_clock::now()) / 1000.0;
    return 100.0 * (cpuSeconds() - start) / elapsed;
}

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_idle_cost BARE_WINDOW_PROGRAM [--seconds S]\n");
        return 2;
    }
    const QString bareProgram = QString::fromLocal8Bit(argv[1]);
    double seconds = 60;
    bool withSound = true;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            seconds = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--without-sound") == 0)
            withSound = false;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QProcess bare;
    bare.start(bareProgram, {QStringLiteral("--idle-seconds"), QString::number(seconds)});

    double clockCpu = 0;
    {
        DeviceHarness device(withSound);
        if (!device.ready()) {
            std::fprintf(stderr, "bench_idle_cost: %s\n", qPrintable(device.error()));
            return 2;
        }
        device.view().show();
        device.click("Im_Front");
        device.click("Puls_Time");
        device.host().rearm();
        settle(1000);
        clockCpu = cpuPercentOver(seconds);
    }
    bare.waitForFinished(int(seconds * 1000) + 30000);
    double bareCpu = -1;
    std::sscanf(bare.readAllStandardOutput().constData(), "cpu %lf", &bareCpu);

    double gameCpu = 0;
    {
        DeviceHarness device(withSound);
        device.setAutoplay(true);
        device.startGameA();
        settle(1000);
        gameCpu = cpuPercentOver(seconds);
        device.setAutoplay(false);
    }

    std::printf("idle cost over %.0f s, CPU of all threads in percent of one core, sound %s\n", seconds,
                withSound ? "on" : "off");
    std::printf("  clock mode %.3f %%, Game A with the player at the keys %.3f %%, bare window idle %.3f %%\n",
                clockCpu, gameCpu, bareCpu);
    const std::string over = format(" over %.0f s", seconds);
    printRow("CPU in clock mode" + over, format("%.2f %% of a core", clockCpu), "<= 0.5 %",
             format("bare window %.2f %%", bareCpu), clockCpu <= 0.5);
    printRow("CPU during Game A" + over, format("%.2f %% of a core", gameCpu), "<= 2 %",
             format("bare window %.2f %%", bareCpu), gameCpu <= 2.0);
    return 0;
}
