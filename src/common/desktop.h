// The desktop around a program: the user's base folders, and standard error for what the program
// cannot tell its user any other way.
#pragma once

#include <string>
#include <string_view>

// A base folder of the desktop's: the variable's value where it is an absolute path, else
// underHome in the user's home folder ("XDG_STATE_HOME", ".local/state").
std::string xdgBaseFolder(const char* variable, const char* underHome);

// One line a problem on standard error, starting with the program's own name: "zerno-bros: TEXT
// (DETAIL)".
void printProblem(std::string_view text, std::string_view detail = {});
