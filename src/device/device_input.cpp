#include "device/device_input.h"

void DeviceInput::press(int component, MouseButton button, int x, int y, bool heldButtonStillDown)
{
    if (held_ >= 0) {
        if (button != heldButton_ && heldButtonStillDown)
            return;
        endPress(false, x, y);
    }
    // A hidden component gets no press, and so no release either.
    held_ = form_.isLit(component) ? component : -1;
    heldButton_ = button;
    if (held_ < 0)
        return;
    const Rect& rect = form_.components()[size_t(held_)].rect;
    hand({InputEvent::Kind::Press, held_, button, x - rect.left, y - rect.top});
}

void DeviceInput::move(bool leftHeld, int x, int y)
{
    if (held_ < 0)
        return;
    const Rect& rect = form_.components()[size_t(held_)].rect;
    InputEvent event{InputEvent::Kind::Move, held_, heldButton_, x - rect.left, y - rect.top};
    event.leftHeld = leftHeld;
    hand(event);
}

void DeviceInput::release(int component, MouseButton button, int x, int y)
{
    if (held_ < 0 || button != heldButton_)
        return;
    endPress(component == held_, x, y);
}

void DeviceInput::endPress(bool over, int x, int y)
{
    if (held_ < 0)
        return;
    const int component = held_;
    held_ = -1;
    const Rect& rect = form_.components()[size_t(component)].rect;
    InputEvent event{InputEvent::Kind::Release, component, heldButton_, x - rect.left, y - rect.top};
    event.over = over;
    hand(event);
}

void DeviceInput::keyDown(uint16_t key)
{
    InputEvent event{InputEvent::Kind::KeyDown};
    event.key = key;
    hand(event);
}

void DeviceInput::keyUp(uint16_t key)
{
    InputEvent event{InputEvent::Kind::KeyUp};
    event.key = key;
    hand(event);
}

void DeviceInput::hand(const InputEvent& event)
{
    if (onInput)
        onInput(event);
    switch (event.kind) {
    case InputEvent::Kind::Press:
        form_.MouseDown(event.component, event.button, event.x, event.y);
        break;
    case InputEvent::Kind::Move:
        form_.MouseMove(event.component, event.leftHeld, event.x, event.y);
        break;
    case InputEvent::Kind::Release:
        form_.MouseUp(event.component, event.button, event.x, event.y, event.over);
        break;
    case InputEvent::Kind::KeyDown:
        form_.FormKeyDown(event.key);
        break;
    case InputEvent::Kind::KeyUp:
        form_.FormKeyUp(event.key);
        break;
    }
}
