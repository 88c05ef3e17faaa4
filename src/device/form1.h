// TForm1: the device window's logic and components, toolkit-free. Segments are lit by being made
// visible; the game's state and its thirteen timers live here, and every handler of the device
// is a method. A Qt view (src/device/view) shows it and feeds it mouse and keys; zerno-sim drives
// the very same object on a virtual clock.
#pragma once

#include <array>
#include <limits>
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "device/layout.h"
#include "device/ports.h"
#include "device/random_source.h"
#include "device/scheduler.h"

enum class MouseButton { Left, Right, Middle };

// One component of the device window as it is now.
struct Component {
    ComponentDef def;
    Rect rect;          // where it is now (creation puts the cover at the left edge)
    int picture = -1;   // index into TForm1::pictures, -1 for none
    bool visible = false;
    std::string hint;
};

// The ports a TForm1 is created with. Every pointer must outlive the form.
struct DevicePorts {
    SoundPort* sound = nullptr;
    StoreKey* keySettingsStore = nullptr;  // KeySettingsStorePath
    StoreKey* settingsStore = nullptr;     // SettingsStorePath
    ClockPort* clock = nullptr;
    DeviceListener* listener = nullptr;    // may stay null
};

class TForm1 {
public:
    static constexpr int OpenWidth = DeviceWindowWidth;
    static constexpr int ClosedWidth = 372;
    static constexpr int ClientHeight = DeviceWindowHeight;

    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // ---- Window and start-up ----
    void FormCreate();
    void Im_FrontClick();
    void Im_BaseMouseDown(MouseButton button, int x, int y);
    void Im_BaseMouseMove(bool leftHeld, int x, int y);
    void FormClose();  // the view closes the window after this

    // Mouse events as the window delivers them to a component: x, y in its own coordinates.
    // The release goes to the component that received the press.
    void MouseDown(int component, MouseButton button, int x, int y);
    void MouseUp(int component, MouseButton button, int x, int y, bool pointerStillOver);
    void MouseMove(int component, bool leftHeld, int x, int y);
    // The topmost visible component at a point of the client area, or -1.
    int ComponentAt(int x, int y) const;
    // A press there with the left button drags the window.
    bool isDragSurface(int component) const;

    // ---- Keys ----
    void FormKeyDown(uint16_t key);
    void FormKeyUp(uint16_t key);

    // ---- Segment display ----
    void RiempiSchermo();
    void SvuotaSchermo();
    void MostraPackAll(bool on);
    void MostraPackBusAll(bool on);
    void MostraBusAll(bool on);
    void MostraFolkoAll(bool on);
    void MostraZernoAll(bool on);
    void MostraSceneAll(bool on);
    void MostraCharsOffAll(bool on);
    void MostraMiss(bool show, int count);
    // Shows a score (0..999) on the digits.
    void TrasformaScore(int number);
    // Adds the score step, past 999 from 0 again, and shows the score.
    void addScoreStep();
    // Every digit position shown, and the alarm time, 12:00, on them.
    void showAllDigits();
    void showTwelve();
    void MostraFolko(bool on);
    void MostraZerno(bool on);

    // ---- Game control ----
    void PreparaGioco();
    void BloccaTimers();
    void Puls_ACLMouseDown(MouseButton button);
    void Puls_ACLMouseUp(MouseButton button);
    void Puls_GameAMouseDown(MouseButton button);
    void Puls_GameAMouseUp(MouseButton button);
    void Puls_GameBMouseDown(MouseButton button);
    void Puls_GameBMouseUp(MouseButton button);
    void Puls_TimeMouseDown(MouseButton button);
    void Puls_TimeMouseUp(MouseButton button);

    // ---- Belt ----
    struct Level {
        int interval;
        int maxPacks;
    };
    void CalcolaLivelli();
    void TimerGiocoTimer();

    // ---- Workers ----
    void FolkoTake(int spot);
    void ZernoTake(int spot);
    void TimerFolkoMovePackTimer();
    void TimerZernoMovePackTimer();
    void TimerFolkoPackTimer();
    void TimerZernoPackTimer();

    // ---- Truck ----
    void TimerPackBusTimer();
    void TimerBusSmokeTimer();
    void TimerBonusTimer();

    // ---- Misses, chance time, game over ----
    void TimerMissTimer();
    void ProcChance();
    void TimerChanceTimer();
    void TimerBlinkTimer();
    void TimerOverTimer();

    // ---- Clock ----
    void TimerClockTimer();

    // ---- Settings ----
    void AssegnaWord(int n, int letterIndex);
    void SetPadHints();
    // The letter shown for a stored key: the character whose code is the letter index + 64,
    // whatever the index (a hand-edited value shows what it is rather than nothing), or '?'.
    static std::string letterOf(int letterIndex);
    // The letter of a worker move's stored key.
    std::string keyOf(InputAction move) const;

    // ---- Reading the display ----
    const std::vector<Component>& components() const { return components_; }
    int componentIndex(const std::string& name) const;  // -1 when unknown
    bool isLit(int index) const { return index >= 0 && components_[size_t(index)].visible; }
    // The digit a digit position shows, or -1 when it is blank.
    int digitShown(int position) const;
    // The four positions as text, '-' for a blank one ("---0"); the runner's `digits`.
    std::string digitsText() const;
    // Switches a segment; the runner's `light` and `dark`.
    void setLit(int index, bool on);
    // Gives a digit position the picture of a digit, or none for -1; the runner's `digits`.
    void showDigit(int position, int digit);
    int packageCount() const;

    // ---- Game state (names as the device has them) ----
    // What GameMode holds: the clock, a game of A or of B, the reset display after ACL. The
    // level table is indexed by the two game modes.
    static constexpr int ModeClock = 0, ModeGameA = 1, ModeGameB = 2, ModeReset = 3;
    // The score that starts chance time; the steps of the game-over animation.
    static constexpr int ChanceTimeScore = 300, GameOverSteps = 300;
    int GameMode = ModeClock;
    bool GameRunning = false;
    int Score = 0;
    int ScoreStep = 0;
    int MissCount = 0;
    int FolkoLevel = 0;
    int ZernoLevel = 0;
    bool FolkoFree = false;
    bool ZernoFree = false;
    int TickPhase = 0;
    int MissSpot = 0;
    int MissStep = 0;
    int CarrySpot = 0;
    int BonusStep = 0;
    int ChanceStep = 0;
    int BlinkPhase = 0;
    int OverStep = 0;
    int TruckLoad = 0;
    int TruckStep = 0;
    int MaxPacks = 0;
    bool DoubleScore = false;
    int HiscoreA = 0;
    int HiscoreB = 0;

    struct StateVariable {
        const char* name;
        std::variant<int TForm1::*, bool TForm1::*> member;
        // The values the device itself ever gives it (a flag: 0 and 1).
        int least = std::numeric_limits<int>::min();
        int most = std::numeric_limits<int>::max();
        // A script's `set` is held to that range too: the belt looks its level up by mode and
        // score, and a value outside would read past its table. Others may be set to anything.
        bool setHeldToRange = false;

        int get(const TForm1& form) const;
        void set(TForm1& form, int value) const;
        bool isFlag() const { return std::holds_alternative<bool TForm1::*>(member); }
    };
    // Every state variable, in the order the runner prints them.
    static const std::span<const StateVariable> StateTable;

    // Key letters (1 = A .. 26 = Z) and key codes, left up, left down, right up, right down.
    std::array<int, 5> KeyLetters{};      // index 1..4
    std::array<uint16_t, 5> KeyCodes{};   // index 1..4

    // ---- Window ----
    int Left = 0;
    int Top = 0;
    int ClientWidth = OpenWidth;
    bool Enabled = true;
    int DragOriginX = 0;
    int DragOriginY = 0;
    void setEnabled(bool on);
    // Puts the window's top left corner there and tells the view.
    void MoveTo(int left, int top);
    void setHint(int index, const std::string& text);

    // Picture files in the order they were first named by the layout; components hold indexes.
    std::vector<std::string> pictures;

    // ---- Timers ----
    // Every timer of the device, with its interval in milliseconds, in table order. Each calls
    // its handler of the same name with "Timer" after it (TimerGioco: TimerGiocoTimer).
#define TFORM1_TIMERS(X)                                                                          \
    X(TimerClock, 1) X(TimerGioco, 250) X(TimerZernoPack, 200) X(TimerFolkoPack, 200)              \
    X(TimerFolkoMovePack, 150) X(TimerZernoMovePack, 150) X(TimerPackBus, 200) X(TimerBusSmoke, 150) \
    X(TimerMiss, 1) X(TimerBonus, 1) X(TimerChance, 300) X(TimerBlink, 600) X(TimerOver, 1000)
    Scheduler& scheduler;
#define TFORM1_DECLARE_TIMER(name, interval) Timer name{scheduler, #name, interval};
    TFORM1_TIMERS(TFORM1_DECLARE_TIMER)
#undef TFORM1_DECLARE_TIMER
#define TFORM1_COUNT_TIMER(name, interval) +1
    static constexpr size_t TimerCount = 0 TFORM1_TIMERS(TFORM1_COUNT_TIMER);
#undef TFORM1_COUNT_TIMER
    std::array<Timer*, TimerCount> timers();

    // ---- Segment tables (-1 is an empty entry) ----
    std::array<int, 10> DigitImages{};
    std::array<int, 5> ScoreDigits{};      // 1..4
    std::array<int, 4> MissMarks{};
    std::array<std::array<int, 6>, 13> PackGrid{};  // [column][row], rows 1..5
    std::array<int, 16> TruckImages{};
    std::array<int, 9> FolkoImages{};
    std::array<int, 9> ZernoImages{};
    std::array<int, 4> MissLeftImages{};
    std::array<int, 5> MissRightImages{};
    std::array<int, 4> CharsOffImages{};
    std::array<int, 7> DropImages{};       // 1..6

    // LevelTable[mode][hundreds][band], mode ModeGameA or ModeGameB.
    std::array<std::array<std::array<Level, 5>, 10>, 3> LevelTable{};

#define TFORM1_DECLARE(name) int name = -1;
    TFORM1_NAMED_COMPONENTS(TFORM1_DECLARE)
#undef TFORM1_DECLARE

    RandomSource random;

private:
    // Builds the components from the layout; FormCreate then sets the device up. Only
    // DeviceFactory makes a device, so every device is wired and started the same way.
    friend class DeviceFactory;
    TForm1(std::vector<ComponentDef> layout, Scheduler& scheduler, DevicePorts ports);

    void Show(int index) { setLit(index, true); }
    void Hide(int index) { setLit(index, false); }
    void setAllLit(std::span<const int> segments, bool on);
    void switchScreen(bool on);
    void setPicture(int index, int picture);
    void changed(int index);
    void geometryChanged();
    int namedComponent(const std::string& name) const;
    void bindComponents();
    void buildTables();
    void buildLevelTable();
    void readSettings();
    void sharePictures();
    void Suona(Sample sample);
    void Silenzio();

    // Game-button press and release shared by GAME A and GAME B.
    void gameButtonDown(MouseButton mouseButton, int button, int mark, int& hiscore);
    void gameButtonUp(MouseButton mouseButton, int button, int mode, int firstInterval);
    void moveFolko(int delta);
    void moveZerno(int delta);
    void takeWaiting(bool folko);
    void handOver(int from, int readyPose, int to, int placingPose, Timer& armTimer);
    void armDown(int level, std::array<int, 3> placingPoses, std::array<int, 3> readyPoses, Timer& timer);
    void scorePoint(Sample sound);
    void leftTick();
    void rightTick();
    void missEnding();
    void normalEnding();
    void missResume();
    void gameOver();
    void beltEndsOff();

    std::vector<Component> components_;
    DevicePorts ports_;
    // Each worker's handover remembers its own drop spot, so two handovers 150 ms apart cannot
    // put one worker's parcel down at the other's spot. CarrySpot keeps the last one taken.
    int folkoCarrySpot_ = 0;
    int zernoCarrySpot_ = 0;
    bool chanceCaughtMiss_ = false;  // chance time began in the middle of a miss animation
};
