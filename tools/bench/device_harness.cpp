#include "tools/bench/device_harness.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QTimer>

#include "app/asset_dir.h"
#include "common/desktop.h"
#include "device/device_factory.h"
#include "tools/bench/player.h"

void offscreenUnlessTold()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

void runEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void TimedView::paintEvent(QPaintEvent* event)
{
    const SteadyTime start = std::chrono::steady_clock::now();
    DeviceView::paintEvent(event);
    const SteadyTime end = std::chrono::steady_clock::now();
    if (painted)
        painted(event->region(), start, end);
}

DeviceHarness::DeviceHarness(bool withSound)
{
    const std::string assets = findAssetDir(nullptr);
    if (assets.empty()) {
        opened_ = failure("the device layout was not found");
        return;
    }
    Expected<DeviceFactory> device = DeviceFactory::fromFile(assets + "/device.layout");
    if (!device) {
        opened_ = failure(device.error());
        return;
    }
    store_ = std::make_unique<MemoryStore>();
    keySettings_ = store_->OpenKey(KeySettingsStorePath);
    settings_ = store_->OpenKey(SettingsStorePath);
    baseEarliest = std::chrono::steady_clock::now();
    session_.make(*device, {&sound_, keySettings_.get(), settings_.get(), &clock_}, {},
                  [this] { baseLatest = std::chrono::steady_clock::now(); });
    if (Expected<void> loaded = view().loadPictures(QString::fromStdString(assets + "/pictures")); !loaded) {
        opened_ = failure(loaded.error());
        return;
    }
    // In the program's order: the device window is made at start, the sound starts at PLAY.
    if (withSound) {
        soundStarted_ = true;
        if (!sound_.startSound(1, ZERNO_SOUND_DIR)) {
            opened_ = failure("the sounds in " ZERNO_SOUND_DIR " did not load");
            return;
        }
        sound_.SoundOn = true;
    }
    QObject::connect(&host(), &TimerHost::ticked, &view(), [this] { afterTicks(); });
    view().deliver([this] { form().MoveTo(0, 0); });
}

DeviceHarness::~DeviceHarness()
{
    if (session_.form)
        form().FormClose();
    if (soundStarted_)
        sound_.release();
}

bool DeviceHarness::opened() const
{
    if (!opened_)
        printProblem(opened_.error());
    return bool(opened_);
}

void DeviceHarness::click(const char* component)
{
    const int index = form().componentIndex(component);
    view().deliver([&] {
        form().MouseDown(index, MouseButton::Left, 0, 0);
        form().MouseUp(index, MouseButton::Left, 0, 0, true);
    });
}

void DeviceHarness::pressKey(uint16_t key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(QChar(key)));
    QApplication::sendEvent(&view(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(QChar(key)));
    QApplication::sendEvent(&view(), &release);
}

void DeviceHarness::openAndClick(const char* button)
{
    view().show();
    click("Im_Front");
    click(button);
    host().rearm();
}

void DeviceHarness::afterTicks()
{
    if (!autoplay_)
        return;
    if (!form().GameRunning) {
        if (!restartPending_) {
            restartPending_ = true;
            QTimer::singleShot(0, &view(), [this] {
                restartPending_ = false;
                click("Puls_GameA");
            });
        }
        return;
    }
    // Posted, not sent: the keys arrive as the next events of the loop, as a real press would.
    for (uint16_t key : {folkoMove(form()), zernoMove(form())}) {
        if (key == 0)
            continue;
        QApplication::postEvent(&view(), new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, QString(QChar(key))));
        QApplication::postEvent(&view(), new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, QString(QChar(key))));
    }
}
