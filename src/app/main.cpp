// zerno-bros: the simulator. Creates the device window and the other windows in their order and
// runs the event loop until the device window closes.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>

#include "asset_dir.h"
#include "device_view.h"
#include "form1.h"
#include "layout.h"
#include "sound.h"
#include "store_file.h"
#include "system_clock.h"
#include "timer_host.h"

namespace {

const char* const Title = "Zerno Bros. (Korvista) Simulator";

// The program's general error report: a failure of the store, or a broken installation.
void reportError(const QString& message)
{
    QMessageBox::critical(nullptr, QString::fromUtf8(Title), message);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zerno-bros"));
    QApplication::setApplicationDisplayName(QString::fromUtf8(Title));
    QGuiApplication::setDesktopFileName(QStringLiteral("zerno-bros"));

    const std::string assets = findAssetDir(argv[0]);
    if (assets.empty()) {
        reportError(QStringLiteral("The device's layout (device.layout) was not found. Reinstall the program."));
        return 1;
    }
    const QString assetDir = QString::fromStdString(assets);
    app.setWindowIcon(QIcon(assetDir + QStringLiteral("/icons/hicolor/256x256/apps/zerno-bros.png")));
    LayoutResult layout = loadLayoutFile(assets + "/device.layout");
    if (!layout.error.empty()) {
        reportError(QString::fromStdString(layout.error));
        return 1;
    }

    StoreFile store(defaultStorePath());
    store.setErrorReport([](const std::string& message) { reportError(QString::fromStdString(message)); });
    auto keySettingsStore = store.OpenKey("Software\\Brisquel\\Tessova");
    auto settingsStore = store.OpenKey("Software\\Brisquel\\ZernoBro");

    Sound sound;
    SystemClock clock;
    Scheduler scheduler;
    DeviceView view;
    DevicePorts ports;
    ports.sound = &sound;
    ports.keySettingsStore = keySettingsStore.get();
    ports.settingsStore = settingsStore.get();
    ports.clock = &clock;
    ports.listener = &view;
    TForm1 Form1(std::move(layout.components), scheduler, ports);
    TimerHost host(scheduler);
    Form1.FormCreate();
    QString error;
    if (!view.attach(Form1, host, assetDir + QStringLiteral("/pictures"), &error)) {
        reportError(QStringLiteral("A picture of the device cannot be used.\n%1").arg(error));
        return 1;
    }
    view.setWindowTitle(QString::fromUtf8(Title));
    view.onClosing = [&] {
        sound.release();
        QApplication::quit();
    };

    // Centred for the open device, while it is still closed.
    const QRect screen = view.screen() ? view.screen()->geometry() : QRect(0, 0, 1024, 768);
    view.deliver([&] {
        Form1.Left = (screen.width() - TForm1::OpenWidth) / 2;
        Form1.Top = (screen.height() - TForm1::ClientHeight) / 2;
    });
    view.geometryChanged();
    view.show();
    host.rearm();
    return app.exec();
}
