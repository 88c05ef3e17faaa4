// zerno-bros's command line: one table of options, read before any window is made, so that
// --help and --version answer on a machine without a display.
#pragma once

#include <string>

#include "common/expected.h"

// What the command line asked for.
struct ProgramOptions {
    bool help = false;
    bool version = false;
    std::string replay;  // --replay FILE: the device plays this kept game
};

// One row of the option table. An option with a value takes it as the next argument or after
// '=' ("--option VALUE", "--option=VALUE").
struct ProgramOption {
    const char* name;       // "--help"
    const char* shortName;  // "-h", or nullptr
    const char* valueName;  // the value's name in the usage ("FILE"), or nullptr: no value
    const char* meaning;    // the usage's text for it
    void (*take)(ProgramOptions& options, const std::string& value);
};

// Reads argv[1] onwards; a failure says what is wrong, naming the argument ("unknown option
// '--bogus'").
Expected<ProgramOptions> parseProgramOptions(int argc, const char* const* argv);

// The usage, one line for each option of the table.
std::string programUsage();

// The version of both programs, from the build ("1.0.0").
const char* programVersion();
