// Belt tick timing in the real Qt event loop: a game of Game A in the real device window
// (offscreen), the player who watches the belts at the keys, and for every belt tick the moment
// its handler starts against the moment it was due. Beside it, in a thread of its own, a plain
// Qt::PreciseTimer QTimer with the belt's first interval, measured the same way. Both run once on
// a quiet machine and once with every other core kept busy.
//
//   bench_tick_timing [--ticks N]      (500 unless told)
#include <QApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <optional>
#include <thread>
#include <vector>

#include "tools/bench/device_harness.h"

namespace {

constexpr double OldPlatformGrainMs = 15.6;

// A periodic Qt::PreciseTimer in its own thread and event loop; each timeout's lateness is
// measured against start + k x interval, the moment Qt aims for.
class QTimerBaseline : public QThread {
public:
    QTimerBaseline(int intervalMs, int ticks) : interval_(intervalMs), ticks_(ticks) {}
    std::vector<double> lateness;

protected:
    void run() override
    {
        QEventLoop loop;
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(interval_);
        SteadyTime start;
        int k = 0;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            const SteadyTime now = std::chrono::steady_clock::now();
            ++k;
            lateness.push_back(msBetween(start + std::chrono::milliseconds(int64_t(k) * interval_), now));
            if (k == ticks_)
                loop.quit();
        });
        start = std::chrono::steady_clock::now();
        timer.start();
        loop.exec();
    }

private:
    int interval_;
    int ticks_;
};

struct Phase {
    Summary belt;
    Summary baseline;
    double baseUncertaintyMs = 0;
};

std::optional<Phase> measure(int ticks)
{
    DeviceHarness device;
    if (!device.opened())
        return std::nullopt;
    std::vector<double> belt;
    belt.reserve(size_t(ticks));
    QEventLoop loop;
    TForm1& form = device.form();
    // The timer host's base lies in [baseEarliest, baseLatest]: measuring from the earlier end
    // can only make a tick look later than it was, by at most the width of that interval.
    const SteadyTime base = device.baseEarliest;
    const Watch watch = device.scheduler().ticks.add([&](const Timer& timer) {
        if (&timer != &form.TimerGioco || int(belt.size()) >= ticks)
            return;
        const SteadyTime now = std::chrono::steady_clock::now();
        belt.push_back(msBetween(base + std::chrono::milliseconds(device.scheduler().now()), now));
        if (int(belt.size()) == ticks)
            QTimer::singleShot(0, &loop, [&] { loop.quit(); });
    });
    device.setAutoplay(true);
    QTimerBaseline baseline(form.LevelTable[1][0][0].interval, ticks);
    baseline.start();
    device.openAndClick("Puls_GameA");
    loop.exec();
    baseline.wait();
    device.setAutoplay(false);
    return Phase{summarize(belt), summarize(baseline.lateness), msBetween(device.baseEarliest, device.baseLatest)};
}

void report(const char* machine, const Phase& phase)
{
    std::printf("%s:\n", machine);
    printSummary("belt ticks (timerfd host), lateness", phase.belt);
    printSummary("plain Qt::PreciseTimer QTimer, lateness", phase.baseline);
    std::printf("  (belt lateness measured from at most %.3f ms before the host's base)\n", phase.baseUncertaintyMs);
    const std::string grain = format("; old platform grain %.1f ms", OldPlatformGrainMs);
    printRow(std::string("Belt tick lateness p99, ") + machine, ms(phase.belt.p99), "<= 1 ms",
             "QTimer " + ms(phase.baseline.p99) + grain, phase.belt.p99 <= 1.0);
    printRow(std::string("Belt tick lateness mean, ") + machine, ms(phase.belt.mean), "<= 0.3 ms",
             "QTimer " + ms(phase.baseline.mean) + grain, phase.belt.mean <= 0.3);
}

}  // namespace

int main(int argc, char** argv)
{
    const int ticks = int(optionValue(argc, argv, 1, "--ticks", 500));
    offscreenUnlessTold();
    QApplication app(argc, argv);

    std::printf("belt tick timing, %d belt ticks of Game A per run, the player at the keys\n", ticks);
    const std::optional<Phase> quiet = measure(ticks);
    if (!quiet)
        return 2;
    report("quiet machine", *quiet);

    // Every other core spins while the game plays.
    std::atomic<bool> spinning{true};
    std::vector<std::thread> spinners;
    const unsigned others = std::max(2u, std::thread::hardware_concurrency()) - 1;
    for (unsigned i = 0; i < others; ++i)
        spinners.emplace_back([&] {
            volatile unsigned long n = 0;
            while (spinning.load(std::memory_order_relaxed))
                n = n + 1;
        });
    const std::optional<Phase> busy = measure(ticks);
    spinning = false;
    for (std::thread& spinner : spinners)
        spinner.join();
    if (!busy)
        return 2;
    report("other core busy", *busy);
    return 0;
}
