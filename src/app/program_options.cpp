#include "app/program_options.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// Every option zerno-bros knows; the usage lists them in this order.
constexpr std::array Options{
    ProgramOption{"--help", "-h", nullptr, "print this help and exit",
                  [](ProgramOptions& options, const std::string&) { options.help = true; }},
    ProgramOption{"--version", nullptr, nullptr, "print the version and exit",
                  [](ProgramOptions& options, const std::string&) { options.version = true; }},
    ProgramOption{"--replay", nullptr, "FILE", "play a kept game on the device (Esc ends it)",
                  [](ProgramOptions& options, const std::string& file) { options.replay = file; }},
};

}  // namespace

Expected<ProgramOptions> parseProgramOptions(int argc, const char* const* argv)
{
    ProgramOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.size() < 2 || arg[0] != '-')
            return failure("unexpected argument '" + std::string(arg) + "'");
        const std::size_t equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        const auto option = std::ranges::find_if(Options, [name](const ProgramOption& option) {
            return name == option.name || (option.shortName && name == option.shortName);
        });
        if (option == Options.end())
            return failure("unknown option '" + std::string(name) + "'");
        std::string value;
        if (!option->valueName) {
            if (equals != std::string_view::npos)
                return failure("option '" + std::string(name) + "' takes no value");
        } else if (equals != std::string_view::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            return failure("option '" + std::string(name) + "' needs a value (" + option->valueName + ")");
        }
        option->take(options, value);
    }
    return options;
}

std::string programUsage()
{
    std::string usage = "usage: zerno-bros [OPTION]...\n"
                        "The two-screen clamshell LCD game: the launcher, then the device.\n\n";
    for (const ProgramOption& option : Options) {
        std::string left = option.shortName ? std::string("  ") + option.shortName + ", " : std::string("      ");
        left += option.name;
        if (option.valueName)
            left += std::string(" ") + option.valueName;
        left.resize(std::max<std::size_t>(left.size() + 2, 22), ' ');
        usage += left + option.meaning + '\n';
    }
    return usage;
}

const char* programVersion()
{
    return ZERNO_VERSION;
}
