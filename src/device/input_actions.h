// The device's input actions, each declared once with its default key and gamepad controls. Every
// source of input (the keyboard through the stored letters, a gamepad, a touch on a pad) and every
// text that names a key reads this table.
#pragma once

#include <array>
#include <cstddef>

enum class InputAction { FolkoUp, FolkoDown, ZernoUp, ZernoDown, GameA, GameB, Time, ACL };

// A gamepad's controls in the standard layout every pad API maps its pads to (SDL's game
// controller, the browser's "standard" mapping): the face buttons by where they sit.
enum class PadButton { None, DPadUp, DPadDown, North, South, Start, Back, LeftShoulder, RightShoulder };
enum class PadStick { None, LeftY, RightY };

struct InputActionInfo {
    InputAction action;
    const char* name;         // as the key dialog labels it ("Folko up"); a button's caption
    int keyRole;              // 1..4: the stored key letter (Key1..Key4) that moves a worker; 0 for a button
    int defaultLetter;        // 1 = A .. 26 = Z, for a worker move; 0 for a button
    const char* component;    // the device's button the action presses; nullptr for a worker move
    PadButton padButton;      // the pad's button for it
    PadStick padStick;        // the stick that moves that worker too, up for an up move
    int stickDirection;       // -1: pushed up, 1: pushed down, 0: no stick
};

inline constexpr std::array<InputActionInfo, 8> InputActions{{
    {InputAction::FolkoUp, "Folko up", 1, 17, nullptr, PadButton::DPadUp, PadStick::LeftY, -1},
    {InputAction::FolkoDown, "Folko down", 2, 1, nullptr, PadButton::DPadDown, PadStick::LeftY, 1},
    {InputAction::ZernoUp, "Zerno up", 3, 16, nullptr, PadButton::North, PadStick::RightY, -1},
    {InputAction::ZernoDown, "Zerno down", 4, 12, nullptr, PadButton::South, PadStick::RightY, 1},
    {InputAction::GameA, "GAME A", 0, 0, "Puls_GameA", PadButton::Start, PadStick::None, 0},
    {InputAction::GameB, "GAME B", 0, 0, "Puls_GameB", PadButton::Back, PadStick::None, 0},
    {InputAction::Time, "TIME", 0, 0, "Puls_Time", PadButton::RightShoulder, PadStick::None, 0},
    {InputAction::ACL, "ACL", 0, 0, "Puls_ACL", PadButton::LeftShoulder, PadStick::None, 0},
}};

// The number of worker moves, each with its stored key: roles 1..KeyRoleCount.
inline constexpr int KeyRoleCount = 4;

constexpr const InputActionInfo& inputAction(InputAction action)
{
    return InputActions[std::size_t(action)];
}

// The worker move whose stored key is role 1..KeyRoleCount: the table lists them first, in order.
constexpr const InputActionInfo& workerMove(int role)
{
    return InputActions[std::size_t(role - 1)];
}
static_assert(workerMove(1).keyRole == 1 && workerMove(KeyRoleCount).keyRole == KeyRoleCount);

// A stick acts once when pushed past half way, and again only after it has come back within a
// quarter of its travel: a stick resting near the middle, or wobbling at the edge, does nothing
// more. As fractions of the full travel, in 1/32768.
inline constexpr int StickPush = 16384;
inline constexpr int StickRest = 8192;
inline constexpr int StickTravel = 32768;
