// Plays a replay on the device window in real time: the script's opening lines rebuild the state
// the game started from, then every input comes at its millisecond, the device's own timers and
// sounds running between them as they ran in the game. The timer host follows the script's clock
// meanwhile, so the game on screen is the recorded one tick for tick.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/expected.h"

class DeviceView;
class ReplayClock;
class Scheduler;
class SimRunner;
class TForm1;
class TimerHost;

class ReplayPlayer : public QObject {
    Q_OBJECT
public:
    ReplayPlayer(TForm1& form, Scheduler& scheduler, TimerHost& host, DeviceView& view, ReplayClock& clock);
    ~ReplayPlayer() override;

    // Reads the replay and starts it. It fails, naming the file or line, when it cannot be read or
    // a line is wrong; the device is then left as it was.
    Expected<void> start(const QString& path);
    // Ends it where it is; the device's clock and timers go back to the real clock.
    void stop();
    bool playing() const { return runner_ != nullptr; }

signals:
    // The script has run to its end, or stopped at a line the device could not run (error then
    // names the file and line, and what is wrong). Not after stop(), nor for a start that failed.
    void finished(const QString& error);

private:
    // Runs lines up to the next wait, or to the end.
    void step();

    TForm1& form_;
    Scheduler& scheduler_;
    TimerHost& host_;
    DeviceView& view_;
    ReplayClock& clock_;
    QString path_;
    std::vector<std::string> lines_;
    size_t next_ = 0;
    std::ostringstream output_;  // what a `state` line prints goes nowhere
    std::unique_ptr<SimRunner> runner_;
    // A stall of the recorded window: the device stands still until it is over.
    QTimer stall_;
    int64_t stallEnd_ = 0;
    QString error_;  // the last line that went wrong
    bool starting_ = false;
};
