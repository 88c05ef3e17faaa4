// The one way to a ready device window: its layout read and checked, its ports plugged in, the
// window created and set up by FormCreate. The program, zerno-sim, the benchmarks and the tests
// all make their TForm1 here, so none of them can wire the device differently.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/form1.h"
#include "device/layout.h"

class DeviceFactory {
public:
    // A factory for the device layout file, read and checked as loadLayoutFile does.
    static Expected<DeviceFactory> fromFile(const std::string& layoutPath);
    // A layout already read and checked (the test suites read theirs once for many devices).
    // Not explicit: wherever a factory is asked for, the layout itself will do.
    DeviceFactory(std::vector<ComponentDef> layout);

    // Something that must happen after the window exists and before FormCreate starts its
    // timers: a timer host taking the moment the virtual clock starts from, a tick recorder.
    using BeforeFormCreate = std::function<void()>;

    // The device window on these ports, created and FormCreate'd; its components are moved out
    // of the factory, so a factory makes one device.
    std::unique_ptr<TForm1> make(Scheduler& scheduler, const DevicePorts& ports,
                                 const BeforeFormCreate& beforeFormCreate = {});

private:
    std::vector<ComponentDef> layout_;
    bool made_ = false;
};
