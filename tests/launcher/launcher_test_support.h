// The program's four windows on a scratch folder: a settings file of their own, a sound folder,
// a screen of a chosen size, and a record of what the program asked the desktop to open and
// whether it asked to end. Each start makes a new store object on the same file, as a new run of
// the program would.
#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QStringList>
#include <QUrl>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "launcher/program_windows.h"
#include "settings/store_file.h"
#include "sound/sound.h"

class QAction;
class QComboBox;
class QWidget;

namespace launchertest {

namespace fs = std::filesystem;

// What the program handed to the desktop's "open".
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    OpenedUrls();
    ~OpenedUrls() override;
    std::vector<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.push_back(url); }
};

class FixedClock : public ClockPort {
public:
    TimeOfDay localTime() override { return {10, 0, 0, 0}; }
    TimeOfDay utcTime() override { return {10, 0, 0, 0}; }
};

// A short, valid wave file.
void writeWave(const fs::path& path);

class ProgramTest : public testing::Test {
protected:
    ProgramTest();
    ~ProgramTest() override;

    // A program start: a new store object on the settings file, new sound, the four windows made
    // and shown.
    void start();
    // The program ends (its windows go) and starts again on the same settings file.
    void restart();

    // What a fresh store object reads from the settings file, or `missing` for a value never
    // written.
    int stored(const std::string& key, const std::string& name, int missing = -999);
    // Writes a value to the settings file before a start.
    void store(const std::string& key, const std::string& name, int value);

    // The user picks an item of a drop-down list with the mouse: opens the list, clicks the item.
    void pick(QComboBox* list, const QString& text);
    // A left click on a widget, in its middle or at a point.
    void click(QWidget* widget);
    void click(QWidget* widget, QPoint at);
    // Left press and release on a component of the device window.
    void clickDevice(const char* component);
    void pressDevice(const char* component);
    void releaseDevice(const char* component);
    // A key press and release on the device window, which has the keyboard focus.
    void keyOnDevice(int key);

    // The user picks a sound mode in the launcher and clicks PLAY.
    void play(const QString& mode);
    // A right-click on the device window, then a click on the menu item.
    void menuCommand(QAction* item);

    // The sound library calls made since the last start (or clearCalls).
    std::vector<std::string> calls;

    TForm1& Form1() { return *windows->forms.device.form; }
    DeviceView& view() { return *windows->forms.device.view; }
    TSplashForm& splash() { return *windows->forms.SplashForm; }
    TKeysForm& keys() { return *windows->forms.KeysForm; }
    TAboutForm& about() { return *windows->forms.AboutForm; }

    fs::path scratch;
    fs::path storePath;
    fs::path soundFolder;
    QStringList dataFolders{QString()};  // the program's: the current folder (scratch), then these
    QString manual;                      // the illustrated manual's page; empty: none
    QSize screen{1023, 767};
    int quitRequests = 0;
    std::vector<std::string> reports;  // problems the program reported, "what (why)"
    OpenedUrls opened;

    std::unique_ptr<StoreFile> storeFile;
    std::unique_ptr<StoreKey> keySettingsStore;
    std::unique_ptr<StoreKey> settingsStore;
    std::unique_ptr<Sound> sound;
    FixedClock clock;
    ClockPort* clockPort = &clock;  // the clock the next start plugs in
    QString replayFolder;           // where the next start keeps its games; empty: none
    std::unique_ptr<ProgramWindows> windows;

    // The middle of a component of the device window, in the device's own pixels.
    QPoint deviceCentre(const char* component);

private:
    void stop();
};

}  // namespace launchertest
