// Memory: the peak resident memory of a process showing the open device during Game A (the
// sound layer's samples and thread included), against the bare Qt window, each a process of
// its own on the same platform: QT_QPA_PLATFORM's, offscreen when it is not set. Beside it, the
// shared libraries each has mapped by then: the device's after PLAY has started its sound.
//
//   bench_memory BARE_WINDOW_PROGRAM [--seconds S]      (10 unless told)
//   bench_memory --device S                             the device's own process
#include <QApplication>
#include <QProcess>
#include <cstring>

#include "common/desktop.h"
#include "tools/bench/device_harness.h"
#include "tools/bench/process_usage.h"

namespace {

int runDevice(int argc, char** argv, double seconds)
{
    QApplication app(argc, argv);
    DeviceHarness device;
    if (!device.opened())
        return 2;
    device.setAutoplay(true);
    device.openAndClick("Puls_GameA");
    runEventsFor(int(seconds * 1000));
    printMemoryUse();
    return 0;
}

struct Usage {
    long peakKb = -1;
    std::set<std::string> libraries;
};

Usage usageOf(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    Usage usage;
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        std::sscanf(line.constData(), "peak %ld kB", &usage.peakKb);
        if (line.startsWith("lib "))
            usage.libraries.insert(line.mid(4).toStdString());
    }
    return usage;
}

}  // namespace

int main(int argc, char** argv)
{
    offscreenUnlessTold();
    if (argc == 3 && std::strcmp(argv[1], "--device") == 0)
        return runDevice(argc, argv, std::atof(argv[2]));
    if (!argumentsGiven(argc, 1, "bench_memory BARE_WINDOW_PROGRAM [--seconds S]"))
        return 2;
    const double seconds = optionValue(argc, argv, 2, "--seconds", 10);
    QCoreApplication app(argc, argv);
    const Usage deviceUsage = usageOf(QCoreApplication::applicationFilePath(),
                                      {QStringLiteral("--device"), QString::number(seconds)});
    const Usage bareUsage = usageOf(QString::fromLocal8Bit(argv[1]),
                                    {QStringLiteral("--memory-after"), QString::number(int(seconds * 1000))});
    const long device = deviceUsage.peakKb;
    const long bare = bareUsage.peakKb;
    if (device <= 0 || bare <= 0) {
        printProblem(format("a measuring process did not report (device %ld, bare %ld)", device, bare));
        return 2;
    }
    const double ratio = double(device) / double(bare);
    std::printf("peak resident memory after %.0f s: device in Game A %ld kB, bare window %ld kB, ratio %.2f\n",
                seconds, device, bare, ratio);
    const std::string platform = qEnvironmentVariable("QT_QPA_PLATFORM").toStdString();
    // On X11 both processes load Qt's X11 support, so the same surplus is a smaller share there.
    const double target = platform == "offscreen" ? 1.25 : 1.2;
    printRow("Peak memory, open device in Game A (" + platform + ")",
             format("%.1f MB (%.2fx)", double(device) / 1024, ratio),
             format("<= %.2fx bare window", target), format("bare window %.1f MB", double(bare) / 1024),
             ratio <= target);

    std::printf("libraries mapped: device after PLAY %zu, bare window %zu; the device's own:\n",
                deviceUsage.libraries.size(), bareUsage.libraries.size());
    for (const std::string& library : deviceUsage.libraries)
        if (!bareUsage.libraries.count(library))
            std::printf("  %s\n", library.c_str());
    const long extra = long(deviceUsage.libraries.size()) - long(bareUsage.libraries.size());
    printRow("Libraries mapped after PLAY (" + platform + ")",
             format("%zu (bare + %ld)", deviceUsage.libraries.size(), extra), "<= bare window + 3",
             format("bare window %zu", bareUsage.libraries.size()), extra <= 3);
    return 0;
}
