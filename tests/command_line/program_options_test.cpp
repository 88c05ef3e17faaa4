// zerno-bros's option table: what each command line asks for, and the message that names a wrong
// argument.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/program_options.h"

namespace {

struct Case {
    std::vector<const char*> args;
    std::string error;  // empty: accepted
    bool help;
    bool version;
};

TEST(ProgramOptions, ReadsTheTableOrNamesTheArgumentAtFault)
{
    const Case cases[] = {
        {{}, "", false, false},
        {{"--help"}, "", true, false},
        {{"-h"}, "", true, false},
        {{"--version"}, "", false, true},
        {{"--version", "--help"}, "", true, true},
        {{"--bogus"}, "unknown option '--bogus'", false, false},
        {{"--help", "-x"}, "unknown option '-x'", true, false},
        {{"--help=yes"}, "option '--help' takes no value", false, false},
        {{"--versions"}, "unknown option '--versions'", false, false},
        {{"game.sim"}, "unexpected argument 'game.sim'", false, false},
        {{"-"}, "unexpected argument '-'", false, false},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv{"zerno-bros"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const Expected<ProgramOptions> options = parseProgramOptions(static_cast<int>(argv.size()), argv.data());
        const std::string line = argv.size() > 1 ? argv[1] : "(none)";
        EXPECT_EQ(options ? "" : options.error(), c.error) << line;
        if (options) {
            EXPECT_EQ(options->help, c.help) << line;
            EXPECT_EQ(options->version, c.version) << line;
        }
    }
}

TEST(ProgramOptions, UsageHasALineForEveryOption)
{
    const std::string usage = programUsage();
    EXPECT_EQ(usage.rfind("usage: zerno-bros", 0), 0u) << usage;
    for (const char* line : {"  -h, --help ", "      --version "})
        EXPECT_NE(usage.find(line), std::string::npos) << line << " is missing from\n" << usage;
}

}  // namespace
