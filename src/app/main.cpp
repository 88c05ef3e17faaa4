// zerno-bros: the simulator. Makes the four windows in their order (the device window, the about
// dialog, the launcher, the key settings dialog) and runs the event loop until the device window,
// the main window, closes.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPixmap>
#include <QComboBox>
#include <iostream>
#include <vector>

#include "app/asset_dir.h"
#include "app/display_check.h"
#include "app/program_options.h"
#include "app/system_clock.h"
#include "device/view/picture_loader.h"
#include "launcher/problem_reports.h"
#include "launcher/program_windows.h"
#include "launcher/termination_signals.h"
#include "settings/replay_folder.h"
#include "settings/store_file.h"
#include "sound/sound.h"

namespace {

// A broken installation, before the event loop runs.
void reportError(const QString& message)
{
    QMessageBox::critical(nullptr, QString::fromUtf8(ProgramTitle), message);
}

void cannotStart(const QString& why)
{
    reportError(QStringLiteral("The program cannot start: a file it needs cannot be used.\n%1").arg(why));
}

}  // namespace

int main(int argc, char** argv)
{
    const Expected<ProgramOptions> read = parseProgramOptions(argc, argv);
    if (!read) {
        std::cerr << "zerno-bros: " << read.error() << "\nTry 'zerno-bros --help' for more information.\n";
        return 2;
    }
    const ProgramOptions& options = *read;
    if (options.help) {
        std::cout << programUsage();
        return 0;
    }
    if (options.version) {
        std::cout << "zerno-bros " << programVersion() << '\n';
        return 0;
    }

    // Without a window system Qt would abort, telling the player to reinstall the program. Its
    // platform plugins are looked for in Qt's plugin folders; a folder of them given by
    // QT_QPA_PLATFORM_PLUGIN_PATH is left to Qt.
    std::vector<std::string> pluginFolders;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM_PLUGIN_PATH"))
        for (const QString& folder : QCoreApplication::libraryPaths())
            pluginFolders.push_back(folder.toStdString());
    if (!displayFound(pluginFolders)) {
        std::cerr << noDisplayMessage("zerno-bros");
        return 1;
    }

    QApplication app(argc, argv);
    // The title is the device window's, the main window; an application display name would be
    // appended to every window's caption on this desktop.
    QApplication::setApplicationName(QStringLiteral("zerno-bros"));
    // The desktop entry is named after the program's id (its metainfo's), as the desktop matches
    // a window to its entry, its name and its icon by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.zerno_bros"));
    // The program ends when its main window closes, whatever else is still open.
    QApplication::setQuitOnLastWindowClosed(false);

    const std::string assets = findAssetDir(argv[0]);
    if (assets.empty()) {
        reportError(QStringLiteral("The device's layout (device.layout) was not found. Reinstall the program."));
        return 1;
    }

    // A failure of the store or of the timer, told once the handler that met it has returned.
    ProblemReports problems(QString::fromUtf8(ProgramTitle));
    StoreFile store(defaultStorePath());
    store.setErrorReport([&problems](const StoreReport& report) {
        problems.report(QString::fromStdString(report.text), QString::fromStdString(report.detail));
    });
    auto keySettingsStore = store.OpenKey(KeySettingsStorePath);
    auto settingsStore = store.OpenKey(SettingsStorePath);

    Sound sound;
    SystemClock clock;
    ProgramSetup setup;
    setup.assetDir = QString::fromStdString(assets);
    setup.keySettingsStore = keySettingsStore.get();
    setup.settingsStore = settingsStore.get();
    setup.sound = &sound;
    setup.clock = &clock;
    setup.dataFolders = {QString(), QString::fromStdString(dataDirOf(assets))};
    setup.manual = QString::fromStdString(findManual(assets));
    setup.report = [&problems](const QString& what, const QString& why) { problems.report(what, why); };
    setup.replayFolder = QString::fromStdString(defaultReplayFolder());
    setup.version = QString::fromLatin1(programVersion());
    setup.escEndsProgram = !options.replay.empty();
    ProgramWindows windows(setup);
    if (Expected<void> made = windows.createLauncher(); !made) {
        cannotStart(QString::fromStdString(made.error()));
        return 1;
    }
    // Asked to end by the session, whatever box is open: the device window closes as by its close
    // button, so a game under way is kept; before PLAY the program simply ends.
    TerminationSignals termination([&windows, &problems] {
        problems.endBoxes();
        if (windows.forms.device.view && windows.forms.device.view->isVisible())
            windows.forms.device.view->close();
        else
            QCoreApplication::quit();
    });
    // zerno-bros --replay FILE: the device comes up without the launcher, in the sound mode last
    // chosen, and plays the kept game; Esc ends the program.
    if (!options.replay.empty()) {
        if (Expected<void> made = windows.createRest(); !made) {
            cannotStart(QString::fromStdString(made.error()));
            return 1;
        }
        TSplashForm& launcher = *windows.forms.SplashForm;
        if (launcher.CB_Sound->currentIndex() < 0)
            launcher.CB_Sound->setCurrentIndex(0);
        launcher.Puls_PlayClick();
        if (Expected<void> started = windows.watchReplay(QString::fromLocal8Bit(options.replay.c_str())); !started) {
            reportError(QStringLiteral("The replay cannot be played.\n%1").arg(QString::fromStdString(started.error())));
            return 1;
        }
        return termination.received() ? 0 : app.exec();
    }
    // The launcher is on the screen first; the rest, and the icon the task bar shows, are made
    // while the player looks at it.
    windows.showAndCreateRest(
        [&] {
            if (const std::string file = findIcon(assets, argv[0]); !file.empty()) {
                const Expected<QImage> icon = loadPicture(QString::fromStdString(file));
                QApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon ? *icon : QImage())));
            }
        },
        [&](const QString& why) {
            cannotStart(why);
            QCoreApplication::exit(1);
        });
    return app.exec();
}
