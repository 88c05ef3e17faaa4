// Gamepads: game controllers play the device as its keys and buttons do. SDL2's game controller
// layer reads them; every press and release goes through the device window's own input path, so
// the pads have the keys' and buttons' pressed look, hold and release rules. A pad plugged in or
// pulled out at any time is picked up or let go at once.
//
// Which control does what is the input actions' table (input_actions.h): the D-pad and the left
// stick move Folko, the north and south face buttons and the right stick Zerno (by the stored key
// letters), Start and Back are GAME A and GAME B, the right and left shoulders TIME and ACL.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <string>
#include <vector>

#include "common/expected.h"
#include "device/input_actions.h"

class DeviceView;
struct SdlLibrary;

class Gamepads : public QObject {
    Q_OBJECT
public:
    using Action = InputAction;

    // Without a pad the hot-plug check wakes the program once a second, as the clock does; with
    // one, the pad is read about as often as the device's own timers could fire (their grain was
    // 15.6 ms): a press waits no longer for the device than a key did on it.
    static constexpr int idleIntervalMs = 1000;
    static constexpr int playIntervalMs = 16;

    explicit Gamepads(DeviceView& view);
    ~Gamepads() override;
    Gamepads(const Gamepads&) = delete;
    Gamepads& operator=(const Gamepads&) = delete;

    // Opens SDL2 (once for the program, shared with the sound) and its game controller layer, and
    // starts watching for pads. Fails when SDL2 or that layer cannot be had: the game is then
    // played without pads. A second call does nothing.
    Expected<void> start();

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
