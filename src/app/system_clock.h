// The device's clock port on the real system clock.
#pragma once

#include "device/ports.h"

class SystemClock : public ClockPort {
public:
    TimeOfDay localTime() override;
    TimeOfDay utcTime() override;
};
