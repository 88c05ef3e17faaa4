// What must hold for any text handed to the settings file reader, whether it reads or not. The
// fuzz target runs it on generated input; the test suite replays the kept corpus through it.
#pragma once

#include <string>
#include <string_view>

// Empty when every check holds; otherwise what went wrong.
std::string checkStoreText(std::string_view text);
