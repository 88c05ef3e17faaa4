// The device on screen, put together one way for the program, the benchmarks and the tests: the
// scheduler, the device window made on the given ports with the view as its listener, the timer
// host that runs the scheduler on the real clock, and the view attached to both.
#pragma once

#include <memory>

#include "device/device_factory.h"
#include "device/view/device_view.h"
#include "device/view/timer_host.h"

class DeviceSession {
public:
    // A view of one's own kind (a benchmark's timed view), or a plain one.
    explicit DeviceSession(std::unique_ptr<DeviceView> view = std::make_unique<DeviceView>()) : view(std::move(view)) {}

    // Makes the device on these ports, the view its listener, then attaches the view. The host's
    // clock starts before FormCreate starts the device's timers; afterHost runs just after it.
    void make(DeviceFactory& factory, DevicePorts ports, TimerHost::FailureReport report = {},
              const DeviceFactory::BeforeFormCreate& afterHost = {});

    // Gone in the reverse order: the host first, the scheduler last.
    Scheduler scheduler;
    std::unique_ptr<DeviceView> view;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<TimerHost> host;
};
