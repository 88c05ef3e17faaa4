#include "device/device_factory.h"

#include <cassert>
#include <utility>

Expected<DeviceFactory> DeviceFactory::fromFile(const std::string& layoutPath)
{
    LayoutResult layout = loadLayoutFile(layoutPath);
    if (!layout)
        return failure(layout.error());
    return DeviceFactory(std::move(*layout));
}

DeviceFactory::DeviceFactory(std::vector<ComponentDef> layout) : layout_(std::move(layout)) {}

std::unique_ptr<TForm1> DeviceFactory::make(Scheduler& scheduler, const DevicePorts& ports,
                                            const BeforeFormCreate& beforeFormCreate)
{
    assert(!made_);
    made_ = true;
    // The constructor is private to this factory, so make_unique cannot reach it.
    std::unique_ptr<TForm1> form(new TForm1(std::move(layout_), scheduler, ports));
    if (beforeFormCreate)
        beforeFormCreate();
    form->FormCreate();
    return form;
}
