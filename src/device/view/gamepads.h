// Gamepads: game controllers play the device as its keys and buttons do. SDL2's game controller
// layer reads them; every press and release goes through the device window's own input path, so
// the pads have the keys' and buttons' pressed look, hold and release rules. A pad plugged in or
// pulled out at any time is picked up or let go at once.
//
//   D-pad up / down, left stick up / down      Folko up / down (the stored key letters)
//   north / south face button, right stick     Zerno up / down
//   Start, Back                                GAME A, GAME B
//   right shoulder, left shoulder              TIME, ACL
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <string>
#include <vector>

class DeviceView;
struct SdlLibrary;

class Gamepads : public QObject {
    Q_OBJECT
public:
    // What a pad's control stands for.
    enum class Action { FolkoUp, FolkoDown, ZernoUp, ZernoDown, GameA, GameB, Time, ACL };

    // Without a pad the hot-plug check wakes the program once a second, as the clock does; with
    // one, the pad is read about as often as the device's own timers could fire (their grain was
    // 15.6 ms): a press waits no longer for the device than a key did on it.
    static constexpr int idleIntervalMs = 1000;
    static constexpr int playIntervalMs = 16;
    // A stick acts once when pushed past half way, and again only after it has come back within
    // a quarter of its travel: a stick resting near the middle, or wobbling at the edge, does
    // nothing more.
    static constexpr int stickPush = 16384;
    static constexpr int stickRest = 8192;

    explicit Gamepads(DeviceView& view);
    ~Gamepads() override;
    Gamepads(const Gamepads&) = delete;
    Gamepads& operator=(const Gamepads&) = delete;

    // Opens SDL2 (once for the program, shared with the sound) and its game controller layer, and
    // starts watching for pads. False, with whyNot set, when SDL2 or that layer cannot be had: the
    // game is then played without pads. A second call does nothing.
    bool start(std::string* whyNot = nullptr);

    // Reads what the pads did since the last call and hands it to the device; the timer calls it.
    void poll();

    // The pads in use now.
    size_t attached() const;
    // The wait before the next read.
    int interval() const { return timer_.interval(); }

private:
    struct Pad;
    void add(int deviceIndex);
    void remove(int32_t instance);
    Pad* find(int32_t instance);
    void button(Pad& pad, int button, bool down);
    void stick(Pad& pad, int axis, int value);
    void act(Pad& pad, Action action, bool down);
    void scheduleNext();

    DeviceView& view_;
    const SdlLibrary* sdl_ = nullptr;
    QTimer timer_;
    std::vector<Pad> pads_;
};
