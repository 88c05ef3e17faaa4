// The bare Qt window the benchmarks compare the program with: a QApplication and one plain
// widget of the open device's size, shown, and nothing else.
//
//   bench_bare_window                       shows the window until it is closed or killed
//   bench_bare_window --idle-seconds S      prints the CPU it used and its wake-ups over S seconds,
//                                           shown and idle
//   bench_bare_window --memory-after MS     prints its peak resident memory and the libraries it
//                                           has mapped MS ms after showing
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "tools/bench/bench_report.h"
#include "tools/bench/process_usage.h"

int main(int argc, char** argv)
{
    const double idleSeconds = optionValue(argc, argv, 1, "--idle-seconds", 0);
    const int memoryAfterMs = int(optionValue(argc, argv, 1, "--memory-after", 0));
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.resize(766, 416);
    window.show();

    if (idleSeconds > 0) {
        QTimer::singleShot(1000, [idleSeconds] {
            const double start = cpuSeconds();
            const long switches = contextSwitches();
            QTimer::singleShot(int(idleSeconds * 1000), [start, switches, idleSeconds] {
                std::printf("cpu %.4f %% wakeups %.3f\n", 100.0 * (cpuSeconds() - start) / idleSeconds,
                            double(contextSwitches() - switches) / idleSeconds);
                std::fflush(stdout);
                QApplication::quit();
            });
        });
    } else if (memoryAfterMs > 0) {
        QTimer::singleShot(memoryAfterMs, [] {
            printMemoryUse();
            QApplication::quit();
        });
    }
    return app.exec();
}
