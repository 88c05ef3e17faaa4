#include "device/view/gamepads.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "common/sdl_library.h"
#include "device/view/device_view.h"

namespace {

constexpr size_t actionCount = InputActions.size();

}  // namespace

struct Gamepads::Pad {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID instance = -1;
    // Each stick's place: -1 pushed up, 1 pushed down, 0 resting.
    std::array<int, SDL_CONTROLLER_AXIS_MAX> sticks{};
    // How many of the pad's controls hold each action down.
    std::array<int, actionCount> holding{};
};

Gamepads::Gamepads(DeviceView& view) : view_(view)
{
    connect(&timer_, &QTimer::timeout, this, &Gamepads::poll);
}

Gamepads::~Gamepads()
{
    if (!sdl_)
        return;
    for (Pad& pad : pads_)
        sdl_->SDL_GameControllerClose(pad.controller);
    sdl_->SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

size_t Gamepads::attached() const
{
    return pads_.size();
}

Expected<void> Gamepads::start()
{
    if (sdl_)
        return {};
    const Expected<const SdlLibrary*> opened = sdlLibrary(sdlSoname);
    if (!opened)
        return failure(opened.error());
    const SdlLibrary* sdl = *opened;
    // SDL would otherwise take over SIGINT and SIGTERM. It knows nothing of our windows, so it
    // must not hold back a pad's events for want of a focused window of its own.
    sdl->SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sdl->SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (sdl->SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        return failure(sdl->SDL_GetError());
    sdl_ = sdl;
    // The pads already plugged in come as plug-in events, on the first read.
    timer_.start(0);
    return {};
}

void Gamepads::poll()
{
    if (!sdl_)
        return;
    SDL_Event event;
    while (sdl_->SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED:
            add(event.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            remove(event.cdevice.which);
            break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            if (Pad* pad = find(event.cbutton.which))
                button(*pad, event.cbutton.button, event.type == SDL_CONTROLLERBUTTONDOWN);
            break;
        case SDL_CONTROLLERAXISMOTION:
            if (Pad* pad = find(event.caxis.which))
                stick(*pad, event.caxis.axis, event.caxis.value);
            break;
        default:
            break;
        }
    }
    scheduleNext();
}

void Gamepads::scheduleNext()
{
    const int wait = pads_.empty() ? idleIntervalMs : playIntervalMs;
    if (timer_.interval() != wait || !timer_.isActive())
        timer_.start(wait);
}

void Gamepads::add(int deviceIndex)
{
    if (!sdl_->SDL_IsGameController(deviceIndex))
        return;
    SDL_GameController* controller = sdl_->SDL_GameControllerOpen(deviceIndex);
    if (!controller)
        return;
    const SDL_JoystickID instance = sdl_->SDL_JoystickInstanceID(sdl_->SDL_GameControllerGetJoystick(controller));
    if (find(instance)) {  // told twice: opened twice, closed once
        sdl_->SDL_GameControllerClose(controller);
        return;
    }
    pads_.push_back(Pad{controller, instance});
}

void Gamepads::remove(int32_t instance)
{
    // A pad pulled out with a control held has had it let go already: SDL sends the releases,
    // and the sticks back in the middle, before it tells of the removal.
    if (Pad* pad = find(instance)) {
        sdl_->SDL_GameControllerClose(pad->controller);
        pads_.erase(pads_.begin() + (pad - pads_.data()));
    }
}

Gamepads::Pad* Gamepads::find(int32_t instance)
{
    const auto pad = std::ranges::find(pads_, instance, &Pad::instance);
    return pad == pads_.end() ? nullptr : &*pad;
}

void Gamepads::button(Pad& pad, int button, bool down)
{
    PadButton control = PadButton::None;
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP: control = PadButton::DPadUp; break;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: control = PadButton::DPadDown; break;
    case SDL_CONTROLLER_BUTTON_Y: control = PadButton::North; break;
    case SDL_CONTROLLER_BUTTON_A: control = PadButton::South; break;
    case SDL_CONTROLLER_BUTTON_START: control = PadButton::Start; break;
    case SDL_CONTROLLER_BUTTON_BACK: control = PadButton::Back; break;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: control = PadButton::RightShoulder; break;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: control = PadButton::LeftShoulder; break;
    default: return;
    }
    for (const InputActionInfo& info : InputActions)
        if (info.padButton == control)
            return act(pad, info.action, down);
}

void Gamepads::stick(Pad& pad, int axis, int value)
{
    const PadStick control = axis == SDL_CONTROLLER_AXIS_LEFTY    ? PadStick::LeftY
                           : axis == SDL_CONTROLLER_AXIS_RIGHTY ? PadStick::RightY
                                                                : PadStick::None;
    if (control == PadStick::None)
        return;
    Action up = Action::FolkoUp;
    Action down = Action::FolkoDown;
    for (const InputActionInfo& info : InputActions)
        if (info.padStick == control)
            (info.stickDirection < 0 ? up : down) = info.action;
    int& place = pad.sticks[size_t(axis)];
    int next = place;
    if (std::abs(value) >= StickPush)
        next = value < 0 ? -1 : 1;
    else if (std::abs(value) < StickRest)
        next = 0;
    if (next == place)
        return;
    if (place != 0)
        act(pad, place < 0 ? up : down, false);
    place = next;
    if (place != 0)
        act(pad, place < 0 ? up : down, true);
}

void Gamepads::act(Pad& pad, Action action, bool down)
{
    // A control's release counts only after its press did; two controls of one action (the D-pad
    // and the stick) make one press until both are let go.
    int& holding = pad.holding[size_t(action)];
    if (!down && holding == 0)
        return;
    holding += down ? 1 : -1;
    if (holding > (down ? 1 : 0))
        return;
    TForm1* form = view_.form();
    DeviceInput* input = view_.input();
    if (!form || !input)
        return;
    const InputActionInfo& info = inputAction(action);
    const int keyRole = info.keyRole;
    const int component = info.component ? form->componentIndex(info.component) : -1;
    // A disabled device (the key dialog is up) gets no keys and no new presses, as its window gets
    // neither; a press it already holds is still let go.
    if (!form->Enabled && (down || keyRole > 0))
        return;
    // While a kept game plays back, the pads are as deaf as the keyboard and the mouse.
    if (view_.inputBlocked())
        return;
    if (keyRole > 0) {
        // The letter stored for that move now: the key dialog may have changed it since the start.
        const uint16_t key = form->KeyCodes[size_t(keyRole)];
        view_.deliver([&] { down ? input->keyDown(key) : input->keyUp(key); });
        return;
    }
    // A button is pressed where the pointer would press it, in its middle.
    const Rect& rect = form->components()[size_t(component)].rect;
    const int x = rect.left + rect.width / 2;
    const int y = rect.top + rect.height / 2;
    if (down) {
        view_.deliver([&] { input->press(component, MouseButton::Left, x, y); });
    } else if (input->held() == component && input->heldButton() == MouseButton::Left) {
        view_.deliver([&] { input->release(component, MouseButton::Left, x, y); });
    }
}
