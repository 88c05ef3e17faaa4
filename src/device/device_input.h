// DeviceInput: how pointer buttons and keys reach the device, whoever sends them: the window,
// zerno-sim's script, a gamepad or a replay. The device itself only knows which component got
// a press or a release; the rules for who gets what live here once.
#pragma once

#include <cstdint>
#include <functional>

#include "device/form1.h"

// One input as it was handed to the device, for whoever watches (a recorder).
struct InputEvent {
    enum class Kind { Press, Move, Release, KeyDown, KeyUp };
    Kind kind = Kind::Press;
    int component = -1;  // the component the press, move or release went to
    MouseButton button = MouseButton::Left;
    int x = 0;  // in the component's own coordinates
    int y = 0;
    bool leftHeld = false;  // a move: the left button is down
    bool over = false;      // a release: let go over the component that got the press
    uint16_t key = 0;
};

class DeviceInput {
public:
    explicit DeviceInput(TForm1& form) : form_(form) {}

    // A button went down over `component` (-1 for none) at (x, y) of the window's client area.
    // While a component holds a press of another button still down, the new one goes nowhere. When the held
    // button is no longer down, its release went elsewhere (a window manager that took it for a
    // move): that press ends there, let go off its component, and this one counts.
    void press(int component, MouseButton button, int x, int y, bool heldButtonStillDown = true);
    // The same, at a point of the client area: the topmost lit component there gets it.
    void pressAt(MouseButton button, int x, int y, bool heldButtonStillDown = true)
    {
        press(form_.ComponentAt(x, y), button, x, y, heldButtonStillDown);
    }
    // The pointer moved to (x, y) of the client area: the component holding the press follows it.
    void move(bool leftHeld, int x, int y);
    // A button came up with the pointer over `component` (-1 for none) at (x, y) of the client
    // area. Only the held button's release counts, and it goes to the component that got the
    // press, wherever it is let go.
    void release(int component, MouseButton button, int x, int y);
    void releaseAt(MouseButton button, int x, int y) { release(form_.ComponentAt(x, y), button, x, y); }
    // The press in progress is over without a release of ours (the window system took the
    // button): its component gets the release, as let go over it or not.
    void endPress(bool over, int x, int y);

    void keyDown(uint16_t key);
    void keyUp(uint16_t key);

    // The component holding a press, or -1, and its button.
    int held() const { return held_; }
    MouseButton heldButton() const { return heldButton_; }
    bool holding(MouseButton button) const { return held_ >= 0 && heldButton_ == button; }

    // Told of every input handed to the device, in the order it got them.
    std::function<void(const InputEvent&)> onInput;

private:
    void hand(const InputEvent& event);

    TForm1& form_;
    int held_ = -1;
    MouseButton heldButton_ = MouseButton::Left;
};
