// zerno-sim [--store FILE] [--time HH:MM:SS[.mmm]] [SCRIPT] | --help | --version
// The device core on a virtual clock, driven by a script (standard input without SCRIPT).
#include <fstream>
#include <iostream>
#include <memory>

#include "app/asset_dir.h"
#include "app/program_options.h"
#include "common/desktop.h"
#include "device/layout.h"
#include "script/sim_runner.h"
#include "settings/store.h"
#include "settings/store_file.h"

namespace {

const char* const Usage = "usage: zerno-sim [--store FILE] [--time HH:MM:SS[.mmm]] [SCRIPT]\n";

// A command line that is not understood: what is wrong, then the usage, on standard error.
int usageError(const std::string& what)
{
    printProblem(what);
    std::cerr << Usage;
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string storePath, scriptPath;
    SimOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--store" && i + 1 < argc) {
            storePath = argv[++i];
        } else if (arg == "--time" && i + 1 < argc) {
            const std::optional<TimeOfDay> time = parseTimeOfDay(argv[++i]);
            if (!time) {
                printProblem("--time takes HH:MM:SS or HH:MM:SS.mmm, not '" + std::string(argv[i]) + "'");
                return 2;
            }
            options.startTime = *time;
            options.startTimeGiven = true;
        } else if (arg == "--help" || arg == "-h") {
            std::cout << Usage
                      << "Runs the device on a virtual clock from SCRIPT (standard input without it or with -)\n"
                         "and prints its sounds, store writes and states; see zerno-sim(6).\n\n"
                         "  --store FILE          read and write the settings in FILE (default: in memory)\n"
                         "  --time HH:MM:SS[.mmm] the time of day at the start (default 10:00:00)\n"
                         "  -h, --help            print this help and exit\n"
                         "      --version         print the version and exit\n";
            return 0;
        } else if (arg == "--version") {
            std::cout << "zerno-sim " << programVersion() << '\n';
            return 0;
        } else if (arg == "--store" || arg == "--time") {
            return usageError("option '" + arg + "' needs a value");
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return usageError("unknown option '" + arg + "'");
        } else if (scriptPath.empty()) {
            scriptPath = arg;
        } else {
            return usageError("one script at most: '" + arg + "' is a second one");
        }
    }

    const std::string assets = findAssetDir(argv[0]);
    if (assets.empty()) {
        printProblem("cannot find the device layout (device.layout); set ZERNO_BROS_ASSETS");
        return 1;
    }
    Expected<DeviceFactory> device = DeviceFactory::fromFile(assets + "/device.layout");
    if (!device) {
        for (const std::string& problem : splitText(device.error(), '\n'))
            printProblem(problem);
        return 2;
    }

    const std::unique_ptr<Store> store = storePath.empty() ? std::unique_ptr<Store>(std::make_unique<MemoryStore>())
                                                           : std::make_unique<StoreFile>(storePath);
    // The output so far comes first: a problem stands after the line that met it.
    store->setErrorReport([](const StoreReport& report) {
        std::cout.flush();
        printProblem(report.text, report.detail);
    });
    auto keySettings = store->OpenKey(KeySettingsStorePath);
    auto game = store->OpenKey(SettingsStorePath);

    std::ifstream file;
    if (!scriptPath.empty() && scriptPath != "-" && !openScript(scriptPath, file)) {
        printProblem("cannot read " + scriptPath);
        return 2;
    }
    std::ios::sync_with_stdio(false);
    SimRunner runner(std::move(*device), *keySettings, *game, options, std::cout);
    const int status = runner.run(file.is_open() ? static_cast<std::istream&>(file) : std::cin, std::cerr);
    std::cout.flush();
    return status;
}
