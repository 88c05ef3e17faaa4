// Where the program's layout and pictures are: beside the installed program under
// share/zerno-bros, or in the source tree while developing.
#pragma once

#include <string>

// The folder that holds device.layout and pictures/; empty when none is found.
std::string findAssetDir(const char* argv0);
