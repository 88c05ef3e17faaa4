// Memory: the peak resident memory of a process showing the open device during Game A (the
// sound layer's samples and thread included), against the bare Qt window, each a process of
// its own on the same platform: QT_QPA_PLATFORM's, offscreen when it is not set.
//
//   bench_memory BARE_WINDOW_PROGRAM [--seconds S]      (10 unless told)
//   bench_memory --device S                             the device's own process
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

int runDevice(int argc, char** argv, double seconds)
{
    QApplication app(argc, argv);
    DeviceHarness device;
    if (!device.ready()) {
        std::fprintf(stderr, "bench_memory: %s\n", qPrintable(device.error()));
        return 2;
    }
    device.setAutoplay(true);
    device.startGameA();
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    std::printf("peak %ld kB\n", peakResidentKb());
    return 0;
}

long peakOf(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    long kb = -1;
    std::sscanf(process.readAllStandardOutput().constData(), "peak %ld kB", &kb);
    return kb;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], "--device") == 0)
        return runDevice(argc, argv, std::atof(argv[2]));
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_memory BARE_WINDOW_PROGRAM [--seconds S]\n");
        return 2;
    }
    double seconds = 10;
    for (int i = 2; i < argc; ++i)
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            seconds = std::atof(argv[++i]);
    QCoreApplication app(argc, argv);
    const long device = peakOf(QCoreApplication::applicationFilePath(),
                               {QStringLiteral("--device"), QString::number(seconds)});
    const long bare = peakOf(QString::fromLocal8Bit(argv[1]),
                             {QStringLiteral("--memory-after"), QString::number(int(seconds * 1000))});
    if (device <= 0 || bare <= 0) {
        std::fprintf(stderr, "bench_memory: a measuring process did not report (device %ld, bare %ld)\n", device, bare);
        return 2;
    }
    const double ratio = double(device) / double(bare);
    std::printf("peak resident memory after %.0f s: device in Game A %ld kB, bare window %ld kB, ratio %.2f\n",
                seconds, device, bare, ratio);
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    printRow("Peak memory, open device in Game A (" + platform.toStdString() + ")",
             format("%.1f MB", double(device) / 1024) + format(" (%.2fx)", ratio),
             "<= 1.3x bare window", format("bare window %.1f MB", double(bare) / 1024), ratio <= 1.3);
    return 0;
}
