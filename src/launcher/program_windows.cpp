#include "launcher/program_windows.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <ctime>
#include <filesystem>
#include <utility>

#include "common/desktop.h"
#include "device/device_factory.h"
#include "launcher/caption_buttons.h"
#include "launcher/dialog_layout.h"
#include "launcher/hint_pointer.h"
#include "settings/replay_folder.h"
#include "sound/sound.h"

// The game's key of the store as the device sees it. While a replay plays, the hiscore its game
// reaches is the recorded one's, as zerno-sim gives it, and is not stored as the player's.
class ProgramWindows::ReplayGuardedKey : public StoreKey {
public:
    explicit ReplayGuardedKey(StoreKey& key) : key_(key) {}
    int ReadInteger(const std::string& name, int defaultValue) override { return key_.ReadInteger(name, defaultValue); }
    void WriteInteger(const std::string& name, int value) override
    {
        if (!muted_)
            key_.WriteInteger(name, value);
    }
    int RaiseInteger(const std::string& name, int value) override
    {
        return muted_ ? value : key_.RaiseInteger(name, value);
    }
    // While muted, writes go nowhere and a raise keeps the value it is given.
    void setMuted(bool on) { muted_ = on; }
    bool muted() const { return muted_; }

private:
    StoreKey& key_;
    bool muted_ = false;
};

ProgramWindows::ProgramWindows(ProgramSetup setup)
    : setup_(std::move(setup)), captionStates_(keepCaptionStates()), hintPointer_(keepPointerUnderHints())
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

namespace {

// Runs whenDone once, in the event loop turn after the watched window's first paint, so that the
// paint has reached the screen before whenDone's work starts.
class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(QWidget* window, std::function<void()> whenDone) : whenDone_(std::move(whenDone))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && whenDone_) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, std::exchange(whenDone_, nullptr));
        }
        return false;
    }

private:
    std::function<void()> whenDone_;
};

}  // namespace

Expected<void> ProgramWindows::create()
{
    if (Expected<void> made = createLauncher(); !made)
        return made;
    return createRest();
}

Expected<void> ProgramWindows::createLauncher()
{
    pictureDir_ = setup_.assetDir + QStringLiteral("/pictures");
    Expected<DeviceFactory> device = DeviceFactory::fromFile((setup_.assetDir + QStringLiteral("/device.layout")).toStdString());
    if (!device)
        return failure(device.error());
    DialogLayoutResult dialogs = loadDialogLayoutFile((setup_.assetDir + QStringLiteral("/dialogs.layout")).toStdString());
    if (!dialogs)
        return failure(dialogs.error());
    // Its three windows are there: the layout is refused without one.
    dialogs_ = std::make_unique<DialogLayout>(std::move(*dialogs));

    // The device window: the main window. Its creation reads the key letters and the hiscores.
    // Its pictures come with the rest.
    DeviceSession& session = forms.device;
    DeviceView& view = *session.view;
    clock = std::make_unique<ReplayClock>(*setup_.clock, session.scheduler);
    gameStore_ = std::make_unique<ReplayGuardedKey>(*setup_.settingsStore);
    session.make(*device, {setup_.sound, setup_.keySettingsStore, gameStore_.get(), clock.get()}, setup_.report);
    if (setup_.report)
        QObject::connect(&view, &DeviceView::pictureProblem, &view, setup_.report);
    if (setup_.screenSize) {
        const std::function<QSize()> screenSize = setup_.screenSize;
        view.availableArea = [screenSize] { return QRect(QPoint(), screenSize()); };
    }
    // A borderless window shows no caption; the title is what the desktop calls the program.
    view.setWindowTitle(QString::fromUtf8(ProgramTitle));

    keepGames();

    // The launcher: reads the stored sound mode; its menu serves the device window.
    SplashPorts splashPorts;
    splashPorts.settingsStore = setup_.settingsStore;
    splashPorts.sound = setup_.sound;
    splashPorts.dataFolders = setup_.dataFolders;
    splashPorts.manual = setup_.manual;
    splashPorts.quit = setup_.quit;
    splashPorts.watchBestGame = [this] { watchBestGame(); };
    if (setup_.gamepads) {
        gamepads = std::make_unique<Gamepads>(view);
        splashPorts.deviceShown = [this] { startGamepads(); };
    }
    forms.SplashForm = std::make_unique<TSplashForm>(forms, std::move(splashPorts));
    if (Expected<void> built = forms.SplashForm->build(*dialogs_->find("SplashForm"), pictureDir_); !built)
        return built;
    forms.SplashForm->FormCreate();
    QObject::connect(&view, &DeviceView::menuRequested, forms.SplashForm.get(), &TSplashForm::popUpMenu);

    // Zoom and full screen: items of the menu after the device's own, and the stored zoom.
    const auto report = setup_.report;
    ViewCommands = new ViewMenu(*forms.SplashForm->PM_Menu, view, *setup_.settingsStore, [report](const QString& what) {
        if (report)
            report(what, QString());
        else
            printProblem(what.toStdString());
    });
    shortcuts_ = view.actions();
    auto* escKey = new QAction(&view);
    escKey->setShortcut(Qt::Key_Escape);
    QObject::connect(escKey, &QAction::triggered, &view, [this] { this->escape(); });
    view.addAction(escKey);
    updateWatchItem();
    QObject::connect(forms.SplashForm->PM_Menu, &QMenu::aboutToShow, forms.SplashForm.get(), [this] { updateWatchItem(); });
    Tip = std::make_unique<FirstTip>(view, *session.form, *setup_.settingsStore);
    QObject::connect(&view, &DeviceView::opened, Tip.get(), &FirstTip::deviceOpened);
    return {};
}

void ProgramWindows::keepGames()
{
    // Every game played is kept; the recorder sees every input the device gets and every batch
    // of ticks, and a replay plays through the same host.
    DeviceSession& session = forms.device;
    DeviceView& view = *session.view;
    recorder = std::make_unique<GameRecorder>(session.scheduler, *clock);
    recorder->attach(*session.form);
    recorder->onGameRecorded = [this](const RecordedGame& game) { keepGame(game); };
    GameRecorder* games = recorder.get();
    QObject::connect(session.host.get(), &TimerHost::ticked, &view, [games] { games->afterEvent(); });
    QObject::connect(&view, &DeviceView::delivered, &view, [games] { games->afterEvent(); });
    view.input()->onInput = [games](const InputEvent& event) { games->input(event); };
    player = std::make_unique<ReplayPlayer>(*session.form, session.scheduler, *session.host, view, *clock);
    QObject::connect(player.get(), &ReplayPlayer::finished, player.get(), [this](const QString& failure) {
        setReplayShown(false);
        if (!failure.isEmpty() && setup_.report)
            setup_.report(QStringLiteral("The replay cannot be played to its end."), failure);
    });
    Banner = std::make_unique<ReplayBanner>(view);

    Sound* sound = setup_.sound;
    const std::function<void()> quit = setup_.quit;
    // A game under way ends as the window closes, before the device stops its timers.
    QObject::connect(&view, &DeviceView::closing, &view, [this] {
        player->stop();
        recorder->close();
    });
    QObject::connect(&view, &DeviceView::closed, &view, [sound, quit] {
        sound->release();
        quit();
    });
}

void ProgramWindows::escape()
{
    if (watching() && setup_.escEndsProgram)
        forms.device.view->close();
    else if (watching())
        stopWatching();
    else if (forms.device.view->fullScreen())
        ViewCommands->PM_FullScreen->trigger();
    else
        forms.SplashForm->PM_12Exit->trigger();
}

Expected<void> ProgramWindows::createRest()
{
    if (Expected<void> loaded = forms.device.view->loadPictures(pictureDir_); !loaded)
        return loaded;

    forms.AboutForm = std::make_unique<TAboutForm>();
    if (Expected<void> built = forms.AboutForm->build(*dialogs_->find("AboutForm"), pictureDir_); !built)
        return built;

    // The key dialog, last: it fills its lists from the letters the device window read.
    forms.KeysForm = std::make_unique<TKeysForm>(forms, *setup_.keySettingsStore);
    if (Expected<void> built = forms.KeysForm->build(*dialogs_->find("KeysForm"), pictureDir_); !built)
        return built;
    forms.KeysForm->FormCreate();
    // The device is disabled while the key dialog is up; a click on it brings the dialog forward.
    TKeysForm* keys = forms.KeysForm.get();
    QObject::connect(forms.device.view.get(), &DeviceView::blockedClick, keys, [keys] {
        if (keys->isVisible()) {
            keys->raise();
            keys->activateWindow();
        }
    });
    dialogs_.reset();
    return {};
}

void ProgramWindows::startGamepads()
{
    // SDL2 is opened for the pads, in every sound mode, once the device has painted itself: the
    // player sees it no later for them. A desktop without SDL2 plays on without pads.
    const auto start = [this] {
        if (std::exchange(gamepadsTried_, true))
            return;
        if (Expected<void> started = gamepads->start(); !started)
            printProblem("no gamepads: " + started.error());
    };
    devicePaintWatch_ = std::make_unique<FirstPaintWatch>(forms.device.view.get(), start);
    // Should the window not be painted, the pads come a moment later all the same.
    QTimer::singleShot(1000, devicePaintWatch_.get(), start);
}

void ProgramWindows::show()
{
    forms.SplashForm->show();
    forms.device.host->rearm();
}

void ProgramWindows::showAndCreateRest(std::function<void()> onMade, std::function<void(const QString&)> onFailure)
{
    const auto createTheRest = [this, onMade, onFailure] {
        if (restStarted_)
            return;
        restStarted_ = true;
        if (Expected<void> made = createRest(); !made) {
            onFailure(QString::fromStdString(made.error()));
            return;
        }
        onMade();
    };
    firstPaintWatch_ = std::make_unique<FirstPaintWatch>(forms.SplashForm.get(), createTheRest);
    show();
    // Should the launcher not be painted (a window system that keeps it from the screen), the
    // rest is made a moment later all the same.
    auto* fallback = new QTimer(forms.SplashForm.get());
    fallback->setObjectName(QStringLiteral("RestFallback"));
    fallback->setSingleShot(true);
    QObject::connect(fallback, &QTimer::timeout, fallback, createTheRest);
    fallback->start(1000);
}

void ProgramWindows::keepGame(const RecordedGame& game)
{
    if (setup_.replayFolder.isEmpty())
        return;
    const std::time_t startedAt = std::time(nullptr) - std::time_t(game.lengthMs / 1000);
    const Expected<std::string> saved =
        ReplayFolder(setup_.replayFolder.toStdString()).save(game, startedAt, setup_.version.toStdString());
    if (saved) {
        updateWatchItem();
        return;
    }
    // Told once a run; the games go on, unkept, and each later failure goes to standard error.
    const QString what = QStringLiteral("A game could not be kept as a replay; play goes on.");
    if (replayFailureTold_ || !setup_.report)
        printProblem(what.toStdString(), saved.error());
    else
        setup_.report(what, QString::fromStdString(saved.error()));
    replayFailureTold_ = true;
}

Expected<void> ProgramWindows::watchReplay(const QString& path)
{
    // A game under way ends here, as when the window closes.
    recorder->close();
    setReplayShown(true);
    Expected<void> started = player->start(path);
    if (!started)
        setReplayShown(false);
    return started;
}

void ProgramWindows::setReplayShown(bool shown)
{
    // The replay's opening lines set the hiscores its game saw, and its end may raise one: the
    // player's own come back with the device, whatever the replay left.
    TForm1& form = *forms.device.form;
    if (shown && !gameStore_->muted()) {
        playerHiscores_ = {form.HiscoreA, form.HiscoreB};
    } else if (!shown && gameStore_->muted()) {
        form.HiscoreA = playerHiscores_[0];
        form.HiscoreB = playerHiscores_[1];
    }
    // While a kept game plays back nothing of it is kept or stored, the player's input goes
    // nowhere, and the menu offers no new keys (they would move its workers off their recorded
    // floors) and no hiscore reset (it would be lost with the muted store writes).
    recorder->setEnabled(!shown);
    gameStore_->setMuted(shown);
    // Every key but Esc is ignored, the menu's too.
    DeviceView& view = *forms.device.view;
    view.setInputBlocked(shown);
    for (QAction* key : shortcuts_)
        shown ? view.removeAction(key) : view.addAction(key);
    Banner->setShown(shown);
    if (!forms.SplashForm)
        return;
    forms.SplashForm->PM_10Keys->setEnabled(!shown);
    forms.SplashForm->PM_8Hiscore->setEnabled(!shown);
}

void ProgramWindows::stopWatching()
{
    if (!watching())
        return;
    player->stop();
    setReplayShown(false);
    // Back to the player with the device reset, as ACL leaves it.
    TForm1& form = *forms.device.form;
    forms.device.view->deliver([&] {
        form.Puls_ACLMouseDown(MouseButton::Left);
        form.Puls_ACLMouseUp(MouseButton::Left);
    });
}

std::string ProgramWindows::bestGame() const
{
    if (setup_.replayFolder.isEmpty())
        return {};
    const ReplayFolder folder(setup_.replayFolder.toStdString());
    const std::vector<std::string> games = folder.replays();
    if (games.empty())
        return {};
    return folder.best(parseReplayName(std::filesystem::path(games.back()).filename().string())->mode);
}

void ProgramWindows::updateWatchItem()
{
    if (forms.SplashForm)
        forms.SplashForm->PM_WatchBest->setEnabled(!bestGame().empty());
}

void ProgramWindows::watchBestGame()
{
    const std::string best = bestGame();
    if (best.empty()) {
        QApplication::beep();
    } else if (Expected<void> started = watchReplay(QString::fromStdString(best)); !started) {
        if (setup_.report)
            setup_.report(QStringLiteral("The replay cannot be played."), QString::fromStdString(started.error()));
    }
}
