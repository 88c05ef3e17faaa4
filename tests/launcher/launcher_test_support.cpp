#include "tests/launcher/launcher_test_support.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <unistd.h>

#include "sound/fmod.h"
#include "tests/support/list_pick.h"

namespace launchertest {

namespace {

void put16(std::string& bytes, int value)
{
    bytes += char(value & 0xFF);
    bytes += char((value >> 8) & 0xFF);
}

void put32(std::string& bytes, int value)
{
    put16(bytes, value & 0xFFFF);
    put16(bytes, (value >> 16) & 0xFFFF);
}

}  // namespace

OpenedUrls::OpenedUrls()
{
    for (const char* scheme : {"file", "http", "https", "mailto"})
        QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
}

OpenedUrls::~OpenedUrls()
{
    for (const char* scheme : {"file", "http", "https", "mailto"})
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
}

void writeWave(const fs::path& path)
{
    // 0.05 s of a quiet square wave, 16-bit mono at 22050 Hz.
    std::string samples;
    for (int i = 0; i < 1102; ++i)
        put16(samples, (i / 25) % 2 ? 2000 : -2000);
    std::string bytes = "RIFF";
    put32(bytes, 36 + int(samples.size()));
    bytes += "WAVEfmt ";
    put32(bytes, 16);
    put16(bytes, 1);
    put16(bytes, 1);
    put32(bytes, 22050);
    put32(bytes, 44100);
    put16(bytes, 2);
    put16(bytes, 16);
    bytes += "data";
    put32(bytes, int(samples.size()));
    bytes += samples;
    std::ofstream(path, std::ios::binary) << bytes;
}

ProgramTest::ProgramTest()
{
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    scratch = fs::temp_directory_path()
              / ("zerno-launcher-" + std::to_string(getpid()) + "-" + test->test_suite_name() + "-" + test->name());
    fs::remove_all(scratch);
    fs::create_directories(scratch / "config");
    // Nothing here may reach the user's own settings.
    setenv("XDG_CONFIG_HOME", (scratch / "config").c_str(), 1);
    storePath = scratch / "config" / "zerno-bros" / "settings.reg";
    soundFolder = scratch / "SOUND";
    fs::create_directories(soundFolder);
    for (const char* file : {"Pack.wav", "Point.wav", "Char.wav", "Miss.wav", "Miss2.wav"})
        writeWave(soundFolder / file);
    // The help files are looked for in the current folder.
    QDir::setCurrent(QString::fromStdString(scratch.string()));
}

ProgramTest::~ProgramTest()
{
    stop();
    QDir::setCurrent(QDir::tempPath());
    fs::remove_all(scratch);
}

void ProgramTest::start()
{
    storeFile = std::make_unique<StoreFile>(storePath.string());
    storeFile->setErrorReport([](const StoreReport& report) { ADD_FAILURE() << "store: " << report.text << " " << report.detail; });
    keySettingsStore = storeFile->OpenKey(KeySettingsStorePath);
    settingsStore = storeFile->OpenKey(SettingsStorePath);
    sound = std::make_unique<Sound>();
    calls.clear();
    fsound::setCallLog(&calls);

    ProgramSetup setup;
    setup.assetDir = QStringLiteral(ZERNO_TEST_ASSET_DIR);
    setup.keySettingsStore = keySettingsStore.get();
    setup.settingsStore = settingsStore.get();
    setup.sound = sound.get();
    setup.clock = clockPort;
    setup.replayFolder = replayFolder;
    setup.version = QStringLiteral("test");
    setup.dataFolders = dataFolders;
    setup.manual = manual;
    setup.screenSize = [this] { return screen; };
    setup.quit = [this] { ++quitRequests; };
    setup.report = [this](const QString& what, const QString& why) {
        reports.push_back((why.isEmpty() ? what : what + " (" + why + ")").toStdString());
    };
    windows = std::make_unique<ProgramWindows>(setup);
    const Expected<void> made = windows->create();
    ASSERT_TRUE(made) << made.error();
    windows->show();
}

void ProgramTest::stop()
{
    windows.reset();
    fsound::setCallLog(nullptr);
    FSOUND_Close();
    settingsStore.reset();
    keySettingsStore.reset();
    storeFile.reset();
    sound.reset();
}

void ProgramTest::restart()
{
    stop();
    start();
}

int ProgramTest::stored(const std::string& key, const std::string& name, int missing)
{
    StoreFile reader(storePath.string());
    return reader.OpenKey(key)->ReadInteger(name, missing);
}

void ProgramTest::store(const std::string& key, const std::string& name, int value)
{
    StoreFile writer(storePath.string());
    writer.OpenKey(key)->WriteInteger(name, value);
}

void ProgramTest::pick(QComboBox* list, const QString& text)
{
    const char* failure = pickFromList(list, text);
    ASSERT_EQ(failure, nullptr) << failure << ": " << text.toStdString();
}

void ProgramTest::click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

void ProgramTest::click(QWidget* widget, QPoint at)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}

QPoint ProgramTest::deviceCentre(const char* component)
{
    const int index = Form1().componentIndex(component);
    EXPECT_GE(index, 0) << component;
    const Rect& rect = Form1().components()[size_t(index)].rect;
    return QPoint(rect.left + rect.width / 2, rect.top + rect.height / 2);
}

void ProgramTest::clickDevice(const char* component)
{
    QTest::mouseClick(&view(), Qt::LeftButton, {}, deviceCentre(component));
}

void ProgramTest::pressDevice(const char* component)
{
    QTest::mousePress(&view(), Qt::LeftButton, {}, deviceCentre(component));
}

void ProgramTest::releaseDevice(const char* component)
{
    QTest::mouseRelease(&view(), Qt::LeftButton, {}, deviceCentre(component));
}

void ProgramTest::keyOnDevice(int key)
{
    view().activateWindow();
    view().setFocus();
    QTest::keyClick(&view(), Qt::Key(key));
}

void ProgramTest::play(const QString& mode)
{
    pick(splash().CB_Sound, mode);
    click(splash().Puls_Play);
}

void ProgramTest::menuCommand(QAction* item)
{
    QMenu* menu = splash().PM_Menu;
    QTest::mouseClick(&view(), Qt::RightButton, {}, QPoint(40, 40));
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); })) << "no menu on a right-click";
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); })) << "the menu stayed open";
}

}  // namespace launchertest
