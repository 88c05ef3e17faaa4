#include "program_windows.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include "dialog_layout.h"
#include "layout.h"
#include "sound.h"

ProgramWindows::ProgramWindows(ProgramSetup setup) : setup_(std::move(setup))
{
    forms.screenSize = setup_.screenSize;
    if (!forms.screenSize)
        forms.screenSize = [] {
            const QScreen* screen = QGuiApplication::primaryScreen();
            return screen ? screen->geometry().size() : QSize(1024, 768);
        };
    if (!setup_.quit)
        setup_.quit = [] { QCoreApplication::quit(); };
}

ProgramWindows::~ProgramWindows() = default;

bool ProgramWindows::create(QString* error)
{
    const QString pictureDir = setup_.assetDir + QStringLiteral("/pictures");
    LayoutResult deviceLayout = loadLayoutFile((setup_.assetDir + QStringLiteral("/device.layout")).toStdString());
    if (!deviceLayout.error.empty()) {
        *error = QString::fromStdString(deviceLayout.error);
        return false;
    }
    const DialogLayout dialogs = loadDialogLayoutFile((setup_.assetDir + QStringLiteral("/dialogs.layout")).toStdString());
    if (!dialogs.error.empty()) {
        *error = QString::fromStdString(dialogs.error);
        return false;
    }
    const auto window = [&](const char* name) -> const DialogWindow* {
        const DialogWindow* found = dialogs.find(name);
        if (!found)
            *error = QStringLiteral("%1/dialogs.layout has no window %2.").arg(setup_.assetDir, QLatin1String(name));
        return found;
    };

    // The device window: the main window. Its creation reads the key letters and the hiscores.
    Form1View = std::make_unique<DeviceView>();
    DevicePorts ports;
    ports.sound = setup_.sound;
    ports.keySettingsStore = setup_.keySettingsStore;
    ports.settingsStore = setup_.settingsStore;
    ports.clock = setup_.clock;
    ports.listener = Form1View.get();
    Form1 = std::make_unique<TForm1>(std::move(deviceLayout.components), scheduler, ports);
    host = std::make_unique<TimerHost>(scheduler);
    Form1->FormCreate();
    if (!Form1View->attach(*Form1, *host, pictureDir, error))
        return false;
    // A borderless window shows no caption; the title is what the desktop calls the program.
    Form1View->setWindowTitle(QString::fromUtf8(ProgramTitle));
    forms.Form1 = Form1.get();
    forms.Form1View = Form1View.get();
    Sound* sound = setup_.sound;
    const std::function<void()> quit = setup_.quit;
    Form1View->onClosing = [sound, quit] {
        sound->release();
        quit();
    };

    AboutForm = std::make_unique<TAboutForm>();
    const DialogWindow* about = window("AboutForm");
    if (!about || !AboutForm->build(*about, pictureDir, error))
        return false;
    forms.AboutForm = AboutForm.get();

    // The launcher: reads the stored sound mode; its menu serves the device window.
    SplashPorts splashPorts;
    splashPorts.settingsStore = setup_.settingsStore;
    splashPorts.sound = setup_.sound;
    splashPorts.soundFolder = setup_.soundFolder;
    splashPorts.quit = setup_.quit;
    SplashForm = std::make_unique<TSplashForm>(forms, std::move(splashPorts));
    const DialogWindow* splash = window("SplashForm");
    if (!splash || !SplashForm->build(*splash, pictureDir, error))
        return false;
    forms.SplashForm = SplashForm.get();
    SplashForm->FormCreate();
    TSplashForm* launcher = SplashForm.get();
    Form1View->keyFilter = [launcher](QKeyEvent* event) { return launcher->menuShortcut(event); };
    Form1View->onContextMenu = [launcher](const QPoint& position) { launcher->popUpMenu(position); };

    // The key dialog, last: it fills its lists from the letters the device window read.
    KeysForm = std::make_unique<TKeysForm>(forms, *setup_.keySettingsStore);
    const DialogWindow* keys = window("KeysForm");
    if (!keys || !KeysForm->build(*keys, pictureDir, error))
        return false;
    forms.KeysForm = KeysForm.get();
    KeysForm->FormCreate();
    return true;
}

void ProgramWindows::show()
{
    if (DeviceView::canPlaceWindows())
        Form1View->show();
    SplashForm->show();
    host->rearm();
}
