// The program's four windows, made in their order: the device window Form1 (the main window),
// the about dialog, the launcher, the key settings dialog. zerno-bros builds them once; the
// tests build them on a scratch store and a fake screen.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "device/view/gamepads.h"
#include "launcher/about_form.h"
#include "launcher/dialog_layout.h"
#include "launcher/first_tip.h"
#include "launcher/forms.h"
#include "launcher/keys_form.h"
#include "launcher/replay_banner.h"
#include "launcher/replay_player.h"
#include "launcher/splash_form.h"
#include "launcher/view_menu.h"
#include "script/game_recorder.h"

class ClockPort;
class QAction;
class Sound;
class StoreKey;

inline const char* const ProgramTitle = "Zerno Bros. (Korvista) Simulator";

struct ProgramSetup {
    QString assetDir;  // holds device.layout, dialogs.layout and pictures/
    StoreKey* keySettingsStore = nullptr;  // KeySettingsStorePath
    StoreKey* settingsStore = nullptr;     // SettingsStorePath
    Sound* sound = nullptr;
    ClockPort* clock = nullptr;
    // Where the SOUND folder, readme.txt and whatsnew.txt are looked for, in order: "" for the
    // current folder, which comes first as on the device, then the installed data folder.
    QStringList dataFolders{QString()};
    // The illustrated manual's index.html, opened by F4 where no Manual.EXE is found; empty: none.
    QString manual;
    // Whether PLAY starts reading gamepads (SDL2's game controller layer).
    bool gamepads = true;
    // A problem met while the program runs (the timer): what failed and why. Empty: standard error.
    std::function<void(const QString& what, const QString& why)> report;
    // Empty: the primary screen's size, and for the device window the available area of its
    // screen. Given, the whole of it is the device window's too.
    std::function<QSize()> screenSize;
    std::function<void()> quit;         // empty: QCoreApplication::quit
    // Where every game played is kept (replay_folder.h); empty: games are not kept.
    QString replayFolder;
    QString version;  // the program's, in each replay's header
    // Esc during a replay ends the program, not only the replay (zerno-bros --replay).
    bool escEndsProgram = false;
};

class ProgramWindows {
public:
    // Every pointer in setup must outlive the windows.
    explicit ProgramWindows(ProgramSetup setup);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    // Makes the four windows in their order, each running its creation handler. It fails when a
    // layout or a picture cannot be used, naming the file and what is wrong.
    Expected<void> create();

    // The same in two steps, so that the launcher can be on the screen before the rest is made.
    // The first reads both layouts, makes the device's state (its creation handler reads the
    // keys and the hiscores) and the launcher; the second loads the device window's pictures
    // and makes the about dialog and the key dialog, whose creation handler comes last.
    Expected<void> createLauncher();
    Expected<void> createRest();

    // Puts the launcher on display in the middle of the screen. The device window, laid out off
    // the screen with its cover showing, is not mapped until PLAY: a window manager would move an
    // off-screen window into sight, and some do not let a program place its windows at all.
    void show();

    // After createLauncher: shows the launcher, and once it has painted itself makes the rest,
    // then runs onMade. onFailure gets the error instead when that fails; the program cannot go
    // on then.
    void showAndCreateRest(std::function<void()> onMade, std::function<void(const QString&)> onFailure);

    // Plays a replay on the device window; keys but Esc and clicks on the device are ignored
    // meanwhile, and nothing is recorded or stored. Esc ends it with the device reset as by ACL;
    // at its end the device goes on from where the replay left it. It fails when the file cannot
    // be read or a line of its start is wrong.
    Expected<void> watchReplay(const QString& path);
    // "Watch best game": the best replay of the mode of the last game kept. A beep when none is;
    // the item is greyed then, from the start and whenever the menu opens.
    void watchBestGame();
    void stopWatching();
    bool watching() const { return player && player->playing(); }

    Forms forms;  // the four windows
    // The command menu's zoom and full screen items; they belong to the menu.
    ViewMenu* ViewCommands = nullptr;
    std::unique_ptr<FirstTip> Tip;
    std::unique_ptr<ReplayClock> clock;       // the device's clock port
    std::unique_ptr<GameRecorder> recorder;
    std::unique_ptr<ReplayPlayer> player;
    std::unique_ptr<ReplayBanner> Banner;  // says that a replay plays, and how to leave it
    // Made with the device window, started by PLAY; gone before the windows are.
    std::unique_ptr<Gamepads> gamepads;

private:
    class ReplayGuardedKey;
    // The recorder, the replay player and its banner on the device window, and a game under way
    // ended as the window closes.
    void keepGames();
    // Esc on the device window: ends a replay, else leaves full screen, else ends the program.
    void escape();
    void keepGame(const RecordedGame& game);
    // The file "Watch best game" plays; empty when no game is kept.
    std::string bestGame() const;
    void updateWatchItem();
    // Puts the window in or out of watching a replay: recorder, stored hiscores, input and menu.
    void setReplayShown(bool shown);

    // After PLAY: opens the gamepads once the device window has painted itself.
    void startGamepads();

    ProgramSetup setup_;
    QString pictureDir_;
    std::unique_ptr<DialogLayout> dialogs_;  // read by createLauncher, used up by createRest
    bool restStarted_ = false;
    std::unique_ptr<QObject> firstPaintWatch_;
    std::unique_ptr<ReplayGuardedKey> gameStore_;
    bool replayFailureTold_ = false;
    std::array<int, 2> playerHiscores_{};  // A and B, while a replay plays
    std::unique_ptr<QObject> devicePaintWatch_;
    QList<QAction*> shortcuts_;  // the menu's keys on the device window, put away during a replay
    bool gamepadsTried_ = false;
    std::unique_ptr<QObject> captionStates_;  // no window stays maximised or minimised against its caption
    std::unique_ptr<QObject> hintPointer_;    // a hint's window keeps its component's pointer
};
