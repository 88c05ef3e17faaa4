#include "script/game_recorder.h"

#include <algorithm>
#include <stdexcept>

#include "script/script_words.h"

void ReplayClock::startFromWorld()
{
    startFrom(world_.localTime().msOfDay(), world_.utcTime().msOfDay());
}

void ReplayClock::startFrom(int64_t localMs, int64_t utcMs)
{
    counting_ = true;
    localStart_ = localMs;
    utcStart_ = utcMs;
    zero_ = scheduler_.now();
}

void GameRecorder::attach(TForm1& form)
{
    form_ = &form;
    // The screen's host ticks a timer that fell a whole interval behind once, where the virtual
    // clock would tick it for every interval missed: the script says where that happened.
    catchUpWatch_ = scheduler_.catchUps.add([this](int64_t time) {
        if (!recording_ && !starting_)
            return;
        waitUntilNow();
        add(word(Word::CatchUp) + ' ' + std::to_string(time - scheduler_.now()));
        written_ = time;
    });
}

void GameRecorder::setEnabled(bool on)
{
    if (!on && (recording_ || starting_)) {
        recording_ = starting_ = false;
        script_.clear();
        clock_.stop();
    }
    enabled_ = on;
}

void GameRecorder::add(const std::string& command)
{
    script_ += command + '\n';
}

void GameRecorder::waitUntilNow()
{
    if (scheduler_.now() > written_)
        add(word(Word::Wait) + ' ' + std::to_string(scheduler_.now() - written_));
    written_ = scheduler_.now();
}

std::string GameRecorder::name(int component) const
{
    return form_->components()[size_t(component)].def.name;
}

std::string GameRecorder::keysLine() const
{
    std::string line = word(Word::Keys);
    for (int n = 1; n <= 4; ++n)
        line += ' ' + keyName(form_->KeyCodes[size_t(n)]);
    return line;
}

// The state the next input starts from, as zerno-sim commands: the cover opened as a click opens
// it (that also gives the window its open width), the keys, the press the input may release,
// then every segment, digit, variable and timer as they stand.
std::string GameRecorder::startState()
{
    TForm1& form = *form_;
    std::string text;
    if (!form.isLit(form.Im_Front))
        text += word(Word::Click) + ' ' + name(form.Im_Front) + '\n';
    text += keysLine() + '\n';
    if (held_ >= 0)
        text += word(Word::Press) + ' ' + name(held_) + buttonWord(heldButton_) + '\n';
    return text + stateLines(form, scheduler_.now(), StateLines::Commands);
}

void GameRecorder::beforeInput()
{
    if (!form_ || !enabled_)
        return;
    if (starting_)
        afterEvent();
    // The last miss came in the ticks run just before this input.
    if (recording_ && !form_->GameRunning)
        finish();
    if (recording_) {
        waitUntilNow();
        const std::string keys = keysLine();
        if (keys != keysWritten_) {  // changed in the key dialog while the game went on
            add(keys);
            keysWritten_ = keys;
        }
        return;
    }
    if (form_->GameRunning || !form_->Enabled)
        return;
    // This input may start a game: keep the state it starts from, and the time of day from now.
    clock_.startFromWorld();
    script_ = timeLine(clock_.localStart(), clock_.utcStart()) + startState();
    keysWritten_ = keysLine();
    written_ = started_ = scheduler_.now();
    starting_ = true;
}

void GameRecorder::input(const InputEvent& event)
{
    if (event.kind == InputEvent::Kind::Move)  // it only drags the window: nothing of the game
        return;
    beforeInput();
    const bool keep = recording_ || starting_;
    switch (event.kind) {
    case InputEvent::Kind::Press:
        if (keep)
            add(word(Word::Press) + ' ' + name(event.component) + buttonWord(event.button));
        held_ = event.component;
        heldButton_ = event.button;
        break;
    case InputEvent::Kind::Release:
        if (keep) {
            // The line names the button let go, as a reader of the script looks for it. zerno-sim
            // takes a release over another component as let go elsewhere, and only the cover asks
            // where (a click opens it): a cover let go off itself is named as let go over the body.
            const bool offCover = event.component == form_->Im_Front && !event.over;
            const int over = offCover ? form_->Im_Base : event.component;
            add(word(Word::Release) + ' ' + name(over) + buttonWord(event.button));
        }
        held_ = -1;
        break;
    case InputEvent::Kind::KeyDown:
    case InputEvent::Kind::KeyUp:
        if (keep)
            add(word(event.kind == InputEvent::Kind::KeyDown ? Word::KeyDown : Word::KeyUp) + ' ' + keyName(event.key));
        break;
    case InputEvent::Kind::Move:
        break;
    }
}

void GameRecorder::setVariable(const std::string& name, int value)
{
    const auto variable = std::find_if(TForm1::StateTable.begin(), TForm1::StateTable.end(),
                                       [&](const TForm1::StateVariable& known) { return name == known.name; });
    if (variable == TForm1::StateTable.end())
        throw std::invalid_argument("no state variable " + name);
    if (recording_) {
        waitUntilNow();
        add(word(Word::Set) + ' ' + name + ' ' + std::to_string(value));
    }
    variable->set(*form_, value);
}

void GameRecorder::setLit(int component, bool on)
{
    if (recording_) {
        waitUntilNow();
        add(word(on ? Word::Light : Word::Dark) + ' ' + name(component));
    }
    form_->setLit(component, on);
}

void GameRecorder::afterEvent()
{
    if (!form_)
        return;
    if (starting_) {
        starting_ = false;
        recording_ = form_->GameRunning;
        if (!recording_) {
            script_.clear();
            clock_.stop();
            return;
        }
        mode_ = form_->GameMode;
    }
    if (recording_ && !form_->GameRunning)
        finish();
}

void GameRecorder::close()
{
    if (starting_)
        afterEvent();
    if (recording_)
        finish();
}

void GameRecorder::finish()
{
    waitUntilNow();
    RecordedGame game{mode_, form_->Score, scheduler_.now() - started_, std::move(script_)};
    script_.clear();
    recording_ = false;
    clock_.stop();
    if (onGameRecorded)
        onGameRecorded(game);
}
