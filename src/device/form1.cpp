// The device window: its components, its creation, opening, dragging and closing, and the
// routing of mouse events to the handlers of the component that was pressed.
#include "device/form1.h"
#include "device/input_actions.h"

#include <cassert>
#include <map>

const char* sampleName(Sample sample)
{
    switch (sample) {
    case Sample::SndPack: return "SndPack";
    case Sample::SndPoint: return "SndPoint";
    case Sample::SndBonus: return "SndBonus";
    case Sample::SndChar: return "SndChar";
    case Sample::SndMiss: return "SndMiss";
    case Sample::SndMiss2: return "SndMiss2";
    }
    return "?";
}

namespace {

const TForm1::StateVariable stateVariables[] = {
    {"GameMode", &TForm1::GameMode, TForm1::ModeClock, TForm1::ModeReset, true},
    {"GameRunning", &TForm1::GameRunning, 0, 1},
    {"Score", &TForm1::Score, 0, 999, true},
    // A score step past 2 would carry the score beyond what one fold past 999 brings back.
    {"ScoreStep", &TForm1::ScoreStep, 0, 2, true},
    {"MissCount", &TForm1::MissCount, 0, 3},
    {"FolkoLevel", &TForm1::FolkoLevel},
    {"ZernoLevel", &TForm1::ZernoLevel},
    {"FolkoFree", &TForm1::FolkoFree, 0, 1},
    {"ZernoFree", &TForm1::ZernoFree, 0, 1},
    {"TickPhase", &TForm1::TickPhase},
    {"MissSpot", &TForm1::MissSpot},
    {"MissStep", &TForm1::MissStep},
    {"CarrySpot", &TForm1::CarrySpot},
    {"BonusStep", &TForm1::BonusStep},
    {"ChanceStep", &TForm1::ChanceStep},
    {"BlinkPhase", &TForm1::BlinkPhase},
    {"OverStep", &TForm1::OverStep},
    {"TruckLoad", &TForm1::TruckLoad, 0, 8},
    {"TruckStep", &TForm1::TruckStep},
    {"MaxPacks", &TForm1::MaxPacks},
    {"DoubleScore", &TForm1::DoubleScore, 0, 1},
    {"HiscoreA", &TForm1::HiscoreA},
    {"HiscoreB", &TForm1::HiscoreB},
};

}  // namespace

const std::span<const TForm1::StateVariable> TForm1::StateTable = stateVariables;

int TForm1::StateVariable::get(const TForm1& form) const
{
    if (auto flag = std::get_if<bool TForm1::*>(&member))
        return form.*(*flag) ? 1 : 0;
    return form.*std::get<int TForm1::*>(member);
}

void TForm1::StateVariable::set(TForm1& form, int value) const
{
    if (auto flag = std::get_if<bool TForm1::*>(&member))
        form.*(*flag) = value != 0;
    else
        form.*std::get<int TForm1::*>(member) = value;
}

TForm1::TForm1(std::vector<ComponentDef> layout, Scheduler& scheduler_, DevicePorts ports)
    : scheduler(scheduler_), ports_(ports)
{
    assert(ports_.sound && ports_.keySettingsStore && ports_.settingsStore && ports_.clock);
    std::map<std::string, int> pictureIndex;
    for (ComponentDef& def : layout) {
        Component component;
        component.rect = def.rect;
        component.visible = def.startVisible;
        component.hint = def.hint;
        if (!def.picture.empty()) {
            auto [it, added] = pictureIndex.try_emplace(def.picture, int(pictures.size()));
            if (added)
                pictures.push_back(def.picture);
            component.picture = it->second;
        }
        component.def = std::move(def);
        components_.push_back(std::move(component));
    }
    bindComponents();

#define TFORM1_BIND_TIMER(name, interval) name.onTimer = [this] { name##Timer(); };
    TFORM1_TIMERS(TFORM1_BIND_TIMER)
#undef TFORM1_BIND_TIMER
}

std::array<Timer*, TForm1::TimerCount> TForm1::timers()
{
#define TFORM1_LIST_TIMER(name, interval) &name,
    return {TFORM1_TIMERS(TFORM1_LIST_TIMER)};
#undef TFORM1_LIST_TIMER
}

int TForm1::componentIndex(const std::string& name) const
{
    for (size_t i = 0; i < components_.size(); ++i)
        if (components_[i].def.name == name)
            return int(i);
    return -1;
}

int TForm1::namedComponent(const std::string& name) const
{
    // The layout reader has refused any device layout that lacks a name the code looks up.
    const int index = componentIndex(name);
    assert(index >= 0);
    return index;
}

void TForm1::bindComponents()
{
#define TFORM1_BIND(name) name = namedComponent(#name);
    TFORM1_NAMED_COMPONENTS(TFORM1_BIND)
#undef TFORM1_BIND
}

void TForm1::changed(int index)
{
    if (ports_.listener)
        ports_.listener->componentChanged(index);
}

void TForm1::MoveTo(int left, int top)
{
    Left = left;
    Top = top;
    geometryChanged();
}

void TForm1::geometryChanged()
{
    if (ports_.listener)
        ports_.listener->geometryChanged();
}

void TForm1::setLit(int index, bool on)
{
    if (index < 0)
        return;
    Component& component = components_[size_t(index)];
    if (component.visible == on)
        return;
    component.visible = on;
    changed(index);
}

void TForm1::setPicture(int index, int picture)
{
    Component& component = components_[size_t(index)];
    if (component.picture == picture)
        return;
    component.picture = picture;
    changed(index);
}

void TForm1::setEnabled(bool on)
{
    if (Enabled == on)
        return;
    Enabled = on;
    if (ports_.listener)
        ports_.listener->enabledChanged();
}

void TForm1::setHint(int index, const std::string& text)
{
    components_[size_t(index)].hint = text;
}

void TForm1::Suona(Sample sample)
{
    ports_.sound->Suona(sample);
}

void TForm1::Silenzio()
{
    ports_.sound->Silenzio();
}

void TForm1::FormCreate()
{
    Left = -800;
    Top = -500;
    ClientWidth = ClosedWidth;
    components_[size_t(Im_Front)].rect.left = 0;
    geometryChanged();
    sharePictures();
    buildTables();
    buildLevelTable();
    readSettings();
    GameRunning = false;
    FolkoFree = false;
    ZernoFree = false;
    GameMode = ModeReset;
}

void TForm1::Im_FrontClick()
{
    ClientWidth = OpenWidth;
    geometryChanged();
    Hide(Im_Front);
    for (int component : {Im_Base, Puls_Left, Puls_GameA, Puls_GameB, Puls_Time, Puls_Right, Puls_ACL,
                          Puls_Alarm, Im_SchermoLTop, Im_SchermoRTop})
        Show(component);
    showAllDigits();
    RiempiSchermo();
}

void TForm1::Im_BaseMouseDown(MouseButton, int x, int y)
{
    DragOriginX = x;
    DragOriginY = y;
}

void TForm1::Im_BaseMouseMove(bool leftHeld, int x, int y)
{
    if (!leftHeld)
        return;
    // The component moves with the window, so the grabbed point stays under the pointer.
    Top = Top + y - DragOriginY;
    Left = Left + x - DragOriginX;
    geometryChanged();
}

void TForm1::FormClose()
{
    BloccaTimers();
}

int TForm1::ComponentAt(int x, int y) const
{
    for (size_t i = components_.size(); i-- > 0;)
        if (components_[i].visible && components_[i].rect.contains(x, y))
            return int(i);
    return -1;
}

bool TForm1::isDragSurface(int component) const
{
    return component == Im_Base || component == Im_SchermoLTop || component == Im_SchermoRTop || component == Im_Front;
}

void TForm1::MouseDown(int component, MouseButton button, int x, int y)
{
    if (!Enabled || !isLit(component))
        return;
    if (isDragSurface(component))
        Im_BaseMouseDown(button, x, y);
    else if (component == Puls_ACL)
        Puls_ACLMouseDown(button);
    else if (component == Puls_GameA)
        Puls_GameAMouseDown(button);
    else if (component == Puls_GameB)
        Puls_GameBMouseDown(button);
    else if (component == Puls_Time)
        Puls_TimeMouseDown(button);
}

void TForm1::MouseUp(int component, MouseButton button, int /*x*/, int /*y*/, bool pointerStillOver)
{
    if (!Enabled || component < 0)
        return;
    if (component == Puls_ACL)
        Puls_ACLMouseUp(button);
    else if (component == Puls_GameA)
        Puls_GameAMouseUp(button);
    else if (component == Puls_GameB)
        Puls_GameBMouseUp(button);
    else if (component == Puls_Time)
        Puls_TimeMouseUp(button);
    else if (component == Im_Front && button == MouseButton::Left && pointerStillOver && isLit(Im_Front))
        Im_FrontClick();
}

void TForm1::MouseMove(int component, bool leftHeld, int x, int y)
{
    if (!Enabled)
        return;
    if (isDragSurface(component))
        Im_BaseMouseMove(leftHeld, x, y);
}

// ---- Settings ----

void TForm1::AssegnaWord(int n, int letterIndex)
{
    if (letterIndex >= 1 && letterIndex <= 26)
        KeyCodes[size_t(n)] = uint16_t(64 + letterIndex);
}

std::string TForm1::letterOf(int letterIndex)
{
    const int code = letterIndex + 64;
    return code < 32 || code > 126 ? "?" : std::string(1, char(code));
}

std::string TForm1::keyOf(InputAction move) const
{
    return letterOf(KeyLetters[size_t(inputAction(move).keyRole)]);
}

void TForm1::SetPadHints()
{
    setHint(Puls_Left, "Use " + keyOf(InputAction::FolkoUp) + " and " + keyOf(InputAction::FolkoDown) + " keys");
    setHint(Puls_Right, "Use " + keyOf(InputAction::ZernoUp) + " and " + keyOf(InputAction::ZernoDown) + " keys");
}

void TForm1::readSettings()
{
    StoreKey& keys = *ports_.keySettingsStore;
    for (const InputActionInfo& action : InputActions) {
        const int n = action.keyRole;
        if (n == 0)
            continue;
        const StoredValue& key = *stored::Keys[size_t(n)];
        KeyLetters[size_t(n)] = key.read(keys);
        key.write(keys, KeyLetters[size_t(n)]);
        AssegnaWord(n, KeyLetters[size_t(n)]);
    }
    SetPadHints();
    StoreKey& game = *ports_.settingsStore;
    HiscoreA = game.ReadInteger(stored::HiscoreA.readName, HiscoreA);
    HiscoreB = game.ReadInteger(stored::HiscoreB.readName, HiscoreB);
}
