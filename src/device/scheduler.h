// Millisecond timers over one scheduler. The same scheduler runs on the virtual clock of the
// tests and zerno-sim and on the real clock of the program, so ticks due together fire in the
// same order everywhere: by due time, then by their place in the timer table.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class Scheduler;

// A watcher's place on a list: it is called until its Watch is let go or destroyed. Either may
// outlive the other.
class [[nodiscard]] Watch {
public:
    Watch() = default;
    explicit Watch(std::function<void()> leave) : leave_(std::move(leave)) {}
    Watch(Watch&& other) noexcept : leave_(std::exchange(other.leave_, nullptr)) {}
    Watch& operator=(Watch&& other) noexcept
    {
        if (this != &other) {
            reset();
            leave_ = std::exchange(other.leave_, nullptr);
        }
        return *this;
    }
    ~Watch() { reset(); }
    void reset()
    {
        if (leave_)
            std::exchange(leave_, nullptr)();
    }

private:
    std::function<void()> leave_;
};

// Everyone who watches one kind of moment, called in the order they came.
template <class... Args>
class Watchers {
public:
    Watch add(std::function<void(Args...)> watcher)
    {
        const int id = list_->nextId++;
        list_->entries.push_back({id, std::move(watcher)});
        return Watch([list = std::weak_ptr<List>(list_), id] {
            if (const auto held = list.lock())
                std::erase_if(held->entries, [id](const Entry& entry) { return entry.id == id; });
        });
    }
    bool empty() const { return list_->entries.empty(); }
    void operator()(Args... args) const
    {
        if (list_->entries.empty())
            return;
        // A watcher that leaves or adds another while it is told does not upset the round.
        const std::vector<Entry> round = list_->entries;
        for (const Entry& entry : round)
            entry.call(args...);
    }

private:
    struct Entry {
        int id;
        std::function<void(Args...)> call;
    };
    struct List {
        std::vector<Entry> entries;
        int nextId = 0;
    };
    std::shared_ptr<List> list_ = std::make_shared<List>();
};

class Timer {
public:
    Timer(Scheduler& scheduler, const char* name, int interval);
    // Leaves the scheduler, which may outlive it.
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const char* name() const { return name_; }
    bool enabled() const { return enabled_; }
    int interval() const { return interval_; }
    int64_t due() const { return due_; }

    // Enabling a disabled timer starts a full countdown; enabling an enabled one does nothing.
    void setEnabled(bool on);
    // A new interval restarts an enabled timer's countdown; the same interval changes nothing;
    // on a disabled timer it is only stored.
    void setInterval(int ms);
    // Puts the timer back as it stood at some moment: a replay's start rebuilds the device's
    // timers this way, each with its next tick due where it was.
    void restore(bool enabled, int interval, int64_t due);

    std::function<void()> onTimer;

private:
    friend class Scheduler;
    Scheduler& scheduler_;
    const char* name_;
    int interval_;
    bool enabled_ = false;
    int64_t due_ = 0;
};

class Scheduler {
public:
    // The current time in milliseconds; during a tick, the time the tick was due.
    int64_t now() const { return now_; }

    // Fires every tick due up to and including `time`, in order, then sets the clock to `time`.
    void advanceTo(int64_t time);

    // The same on the real clock, where the program may have stalled or the machine slept: a
    // timer more than one interval behind ticks once, at `time`, and its next tick is due one
    // interval after that, as window-system timers do. No burst of missed ticks is replayed.
    void catchUpTo(int64_t time);

    // The earliest due time of any enabled timer.
    std::optional<int64_t> nextDue() const;

    // Told before each tick's handler (zerno-sim's trace).
    Watchers<const Timer&> ticks;
    // Told by catchUpTo before it moves a timer that is a whole interval or more behind, with
    // the time it catches up to: a recording keeps that moment, so that its replay moves the same
    // timers at the same millisecond.
    Watchers<int64_t> catchUps;

private:
    friend class Timer;
    Timer* earliest() const;
    static bool isBehind(const Timer& timer, int64_t time);
    std::vector<Timer*> timers_;
    int64_t now_ = 0;
};
