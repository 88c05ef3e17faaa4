#include "device/view/device_session.h"

void DeviceSession::make(DeviceFactory& factory, DevicePorts ports, TimerHost::FailureReport report,
                         const DeviceFactory::BeforeFormCreate& afterHost)
{
    ports.listener = view.get();
    form = factory.make(scheduler, ports, [&] {
        host = std::make_unique<TimerHost>(scheduler, std::move(report));
        if (afterHost)
            afterHost();
    });
    view->attach(*form, *host);
}
