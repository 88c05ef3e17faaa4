// zerno-shot [--time HH:MM:SS] [--show SECONDS] SCRIPT OUT.png
// Runs a zerno-sim script on the device and saves what the device window shows then. With --show
// the window also stays on screen that long, for a screenshot of the real window.
#include <QApplication>
#include <QTimer>
#include <fstream>
#include <iostream>
#include <sstream>

#include "asset_dir.h"
#include "device_view.h"
#include "sim_runner.h"
#include "store.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SimOptions options;
    double showSeconds = 0;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--time" && i + 1 < argc) {
            if (!parseTimeOfDay(argv[++i], options.startTime)) {
                std::cerr << "zerno-shot: bad --time\n";
                return 2;
            }
        } else if (arg == "--show" && i + 1 < argc) {
            showSeconds = std::atof(argv[++i]);
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2) {
        std::cerr << "usage: zerno-shot [--time HH:MM:SS] [--show SECONDS] SCRIPT OUT.png\n";
        return 2;
    }
    const std::string assets = findAssetDir(argv[0]);
    DeviceFactory device(assets + "/device.layout");
    if (!device.error().empty()) {
        std::cerr << "zerno-shot: " << device.error() << '\n';
        return 1;
    }
    std::ifstream script(files[0]);
    if (!script) {
        std::cerr << "zerno-shot: cannot read " << files[0] << '\n';
        return 2;
    }

    MemoryStore store;
    auto keys = store.OpenKey(KeySettingsStorePath);
    auto game = store.OpenKey(SettingsStorePath);
    DeviceView view;
    options.listener = &view;
    std::ostringstream log;
    SimRunner runner(std::move(device), *keys, *game, options, log);
    TimerHost host(runner.scheduler());
    QString error;
    if (!view.attach(runner.form(), host, QString::fromStdString(assets + "/pictures"), &error)) {
        std::cerr << "zerno-shot: " << error.toStdString() << '\n';
        return 1;
    }
    if (runner.run(script, std::cerr) != 0)
        return 2;
    // The runner's clock is virtual: the view only paints, the host never runs the timers.
    view.geometryChanged();
    view.move(0, 0);
    if (!view.grab().save(QString::fromStdString(files[1]))) {
        std::cerr << "zerno-shot: cannot write " << files[1] << '\n';
        return 1;
    }
    if (showSeconds <= 0)
        return 0;
    view.show();
    QTimer::singleShot(int(showSeconds * 1000), &app, &QApplication::quit);
    return app.exec();
}
