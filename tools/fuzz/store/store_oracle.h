// What must hold for any text handed to the settings file reader, whether it reads or not. The
// fuzz target runs it on generated input; the test suite replays the kept corpus through it.
#pragma once

#include <string_view>

#include "common/expected.h"

// Holds when every check does; otherwise what went wrong.
Expected<void> checkStoreText(std::string_view text);
