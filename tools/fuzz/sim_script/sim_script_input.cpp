#include "tools/fuzz/sim_script/sim_script_input.h"

#include <algorithm>
#include <ostream>
#include <sstream>

#include "script/script_words.h"
#include "script/sim_runner.h"
#include "settings/store.h"

namespace {

// A wait longer than what is left of the budget becomes a wait for the rest of it. Waits the
// runner would refuse (not a number, negative, past the end of its clock) go through as written.
std::string withinBudget(const std::string& line, int64_t now, int64_t& left)
{
    std::optional<int64_t> ms = waitOf(splitLine(line), Word::Wait, now);
    if (!ms)
        return line;
    ms = std::min(*ms, left);
    left -= *ms;
    return word(Word::Wait) + ' ' + std::to_string(*ms);
}

}  // namespace

SimScriptResult runSimScript(const std::vector<ComponentDef>& layout, const uint8_t* data, size_t size)
{
    std::ostream out(nullptr);  // what the runner prints goes nowhere
    MemoryStore store;
    store.setErrorReport([](const StoreReport&) {});
    auto keys = store.OpenKey(KeySettingsStorePath);
    auto game = store.OpenKey(SettingsStorePath);
    SimRunner runner(layout, *keys, *game, SimOptions{}, out);

    SimScriptResult result;
    // Whatever a script sets, the runner must refuse what would send the belt's level lookup
    // outside its table: checked as every tick starts.
    const TForm1& form = runner.form();
    const Watch check = runner.scheduler().ticks.add([&](const Timer& timer) {
        if (!result.outsideLevelTable.empty())
            return;
        if (&timer == &form.TimerGioco && form.GameMode != TForm1::ModeGameA && form.GameMode != TForm1::ModeGameB)
            result.outsideLevelTable = "TimerGioco ticks with GameMode " + std::to_string(form.GameMode);
        for (const auto& variable : TForm1::StateTable)
            if (const int value = variable.get(form);
                variable.setHeldToRange && (value < variable.least || value > variable.most))
                result.outsideLevelTable = std::string(timer.name()) + " ticks with " + variable.name + ' '
                                         + std::to_string(value);
    });
    int64_t left = SimScriptVirtualBudgetMs;
    std::istringstream script(std::string(reinterpret_cast<const char*>(data), size));
    for (std::string line; readScriptLine(script, line);) {
        ++result.linesRun;
        const Expected<void> ran = runner.runLine(withinBudget(line, runner.scheduler().now(), left));
        if (!ran) {
            result.error = "line " + std::to_string(result.linesRun) + ": " + ran.error();
            break;
        }
    }
    // The state block reads every component, digit and timer: it must cope with whatever the
    // script left behind.
    runner.printState();
    return result;
}
