#include "launcher/replay_player.h"

#include <climits>
#include <fstream>

#include "device/view/device_view.h"
#include "device/view/timer_host.h"
#include "device/virtual_ports.h"
#include "script/game_recorder.h"
#include "script/script_words.h"
#include "script/sim_runner.h"

ReplayPlayer::ReplayPlayer(TForm1& form, Scheduler& scheduler, TimerHost& host, DeviceView& view, ReplayClock& clock)
    : form_(form), scheduler_(scheduler), host_(host), view_(view), clock_(clock)
{
    connect(&host_, &TimerHost::scriptStepReached, this, &ReplayPlayer::step);
    stall_.setSingleShot(true);
    stall_.setTimerType(Qt::PreciseTimer);
    connect(&stall_, &QTimer::timeout, this, [this] {
        if (host_.nowMs() < stallEnd_) {
            stall_.start(int(stallEnd_ - host_.nowMs()));
            return;
        }
        view_.deliver([this] { scheduler_.catchUpTo(stallEnd_); });
        step();
    });
}

ReplayPlayer::~ReplayPlayer()
{
    stop();
}

Expected<void> ReplayPlayer::start(const QString& path)
{
    stop();
    std::ifstream file;
    if (!openScript(path.toStdString(), file))
        return failure(QStringLiteral("%1: cannot be read.").arg(path).toStdString());
    lines_.clear();
    for (std::string line; readScriptLine(file, line);)
        lines_.push_back(line);
    path_ = path;
    next_ = 0;
    // Time starts where the device is now; the script's times count from here.
    view_.deliver([] {});
    runner_ = std::make_unique<SimRunner>(form_, scheduler_, [this](int64_t localMs, int64_t utcMs) {
        clock_.startFrom(localMs, utcMs);
    }, output_);
    // A replay without a time line reads the time of day zerno-sim would.
    clock_.startFrom(VirtualStartMs, VirtualStartMs);
    host_.followScript(scheduler_.now());
    error_.clear();
    starting_ = true;
    step();
    starting_ = false;
    if (!error_.isEmpty())
        return failure(error_.toStdString());
    return {};
}

void ReplayPlayer::step()
{
    if (!runner_ || stall_.isActive())
        return;
    while (next_ < lines_.size()) {
        const std::string& line = lines_[next_++];
        const ScriptLine split = splitLine(line);
        if (const auto ms = waitOf(split, Word::Wait, scheduler_.now())) {
            // The host runs the ticks in between and comes back at the step's millisecond.
            host_.followScript(scheduler_.now() + *ms);
            host_.rearm();
            return;
        }
        if (const auto ms = waitOf(split, Word::CatchUp, scheduler_.now())) {
            stallEnd_ = scheduler_.now() + *ms;
            stall_.start(int(std::min<int64_t>(*ms, INT_MAX)));
            return;
        }
        Expected<void> ran;
        view_.deliver([&] { ran = runner_->runLine(line); });
        if (!ran) {
            error_ = QStringLiteral("%1: line %2: %3").arg(path_).arg(next_).arg(QString::fromStdString(ran.error()));
            stop();
            if (!starting_)
                emit finished(error_);
            return;
        }
    }
    stop();
    emit finished(QString());
}

void ReplayPlayer::stop()
{
    if (!runner_)
        return;
    stall_.stop();
    runner_.reset();
    host_.followScript(std::nullopt);
    clock_.stop();
    host_.rearm();
}
