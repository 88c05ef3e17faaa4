// zerno-shot [--time HH:MM:SS] [--show SECONDS] SCRIPT OUT.png
// zerno-shot --animate SCRIPT OUT.gif [--zoom N]
// Runs a zerno-sim script on the device and saves what the device window shows then. With --show
// the window also stays on screen that long, for a screenshot of the real window. With --animate
// it saves an animated GIF of the whole run instead: a frame at each change of the display, each
// shown for as long as the device showed it.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/asset_dir.h"
#include "app/program_options.h"
#include "common/desktop.h"
#include "device/view/device_view.h"
#include "script/script_words.h"
#include "script/sim_runner.h"
#include "settings/store.h"
#include "tools/shots/gif_animation.h"

namespace {

const char* const usageText =
    "usage: zerno-shot [--time HH:MM:SS] [--show SECONDS] SCRIPT OUT.png\n"
    "       zerno-shot --animate SCRIPT OUT.gif [--zoom N]\n"
    "       zerno-shot --help | --version\n";

int usage()
{
    std::cerr << usageText;
    return 2;
}

// Tells whether the display changed since the last frame was taken.
class ChangeWatch : public DeviceListener {
public:
    explicit ChangeWatch(DeviceView& view) : view_(view) {}
    void componentChanged(int index) override
    {
        changed = true;
        view_.componentChanged(index);
    }
    void geometryChanged() override
    {
        changed = true;
        view_.geometryChanged();
    }
    bool changed = true;

private:
    DeviceView& view_;
};

// The window as it is, on a canvas as wide as the open device, enlarged zoom times.
QImage frame(DeviceView& view, int zoom)
{
    QImage canvas(TForm1::OpenWidth, TForm1::ClientHeight, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    painter.drawImage(0, 0, view.grab().toImage());
    painter.end();
    return canvas.scaled(canvas.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// Runs the script a line at a time; a wait runs tick by tick, and the display is taken each
// time the clock moves on from a moment that changed it.
int animate(SimRunner& runner, DeviceView& view, ChangeWatch& watch, std::istream& script, const std::string& out,
            int zoom)
{
    GifAnimation gif;
    // A file that cannot be made skips the run, to the problem at the end.
    Expected<void> written = gif.open(QString::fromStdString(out), TForm1::OpenWidth * zoom,
                                      TForm1::ClientHeight * zoom);
    Scheduler& scheduler = runner.scheduler();
    const auto take = [&] {
        if (!watch.changed)
            return Expected<void>();
        watch.changed = false;
        view.geometryChanged();
        return gif.add(frame(view, zoom), scheduler.now());
    };
    std::string line;
    for (int number = 1; written && readScriptLine(script, line); ++number) {
        const ScriptLine split = splitLine(line);
        if (const auto ms = waitOf(split, Word::Wait, scheduler.now())) {
            const int64_t end = scheduler.now() + *ms;
            for (auto due = scheduler.nextDue(); written && due && *due <= end; due = scheduler.nextDue()) {
                if (*due > scheduler.now())
                    written = take();
                scheduler.advanceTo(*due);
            }
            if (written && end > scheduler.now())
                written = take();
            scheduler.advanceTo(end);
            continue;
        }
        if (split.command == word(Word::CatchUp))
            written = take();
        if (const Expected<void> ran = runner.runLine(line); !ran) {
            std::cerr << "line " << number << ": " << ran.error() << '\n';
            return 2;
        }
    }
    // The last picture stays two seconds past the script's end.
    if (written)
        written = take();
    if (written)
        written = gif.finish(scheduler.now(), 2000);
    if (!written) {
        printProblem(written.error());
        return 1;
    }
    std::cout << "zerno-shot: " << gif.framesWritten() << " frames, " << scheduler.now() << " ms\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // The command line is read before any window system is opened.
    SimOptions options;
    double showSeconds = 0;
    bool animated = false;
    int zoom = 1;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << usageText;
            return 0;
        }
        if (arg == "--version") {
            std::cout << "zerno-shot " << programVersion() << '\n';
            return 0;
        }
        if (arg == "--time" && i + 1 < argc) {
            const std::optional<TimeOfDay> time = parseTimeOfDay(argv[++i]);
            if (!time) {
                printProblem("bad --time");
                return 2;
            }
            options.startTime = *time;
            options.startTimeGiven = true;
        } else if (arg == "--show" && i + 1 < argc) {
            // Up to an hour: a number of milliseconds the timer can hold.
            char* end = nullptr;
            showSeconds = std::strtod(argv[++i], &end);
            if (end == argv[i] || *end != '\0' || !(showSeconds >= 0 && showSeconds <= 3600)) {
                printProblem("--show takes 0..3600 seconds");
                return 2;
            }
        } else if (arg == "--animate") {
            animated = true;
        } else if (arg == "--zoom" && i + 1 < argc) {
            const std::optional<int64_t> times = parseInt(argv[++i]);
            if (!times || *times < 1 || *times > 8) {
                printProblem("--zoom takes 1..8");
                return 2;
            }
            zoom = int(*times);
        } else if (arg.size() > 1 && arg[0] == '-') {
            printProblem("unknown option '" + arg + "'");
            return usage();
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2)
        return usage();
    QApplication app(argc, argv);
    const std::string assets = findAssetDir(argv[0]);
    Expected<DeviceFactory> device = DeviceFactory::fromFile(assets + "/device.layout");
    if (!device) {
        printProblem(device.error());
        return 1;
    }
    std::ifstream script;
    if (!openScript(files[0], script)) {
        printProblem("cannot read " + files[0]);
        return 2;
    }

    MemoryStore store;
    auto keys = store.OpenKey(KeySettingsStorePath);
    auto game = store.OpenKey(SettingsStorePath);
    DeviceView view;
    ChangeWatch watch(view);
    options.listener = &watch;
    std::ostringstream log;
    SimRunner runner(std::move(*device), *keys, *game, options, log);
    TimerHost host(runner.scheduler());
    view.attach(runner.form(), host);
    if (Expected<void> loaded = view.loadPictures(QString::fromStdString(assets + "/pictures")); !loaded) {
        printProblem(loaded.error());
        return 1;
    }
    // The runner's clock is virtual: the view only paints, the host never runs the timers.
    if (animated)
        return animate(runner, view, watch, script, files[1], zoom);
    if (runner.run(script, std::cerr) != 0)
        return 2;
    view.geometryChanged();
    view.move(0, 0);
    if (!view.grab().save(QString::fromStdString(files[1]))) {
        printProblem("cannot write " + files[1]);
        return 1;
    }
    if (showSeconds <= 0)
        return 0;
    view.show();
    QTimer::singleShot(int(showSeconds * 1000), &app, &QApplication::quit);
    return app.exec();
}
