#include "common/desktop.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

std::string xdgBaseFolder(const char* variable, const char* underHome)
{
    // The desktop takes the variable only when it holds an absolute path.
    const char* set = std::getenv(variable);
    if (set && set[0] == '/')
        return set;
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = ::getpwuid(::getuid());
        home = user && user->pw_dir ? user->pw_dir : ".";
    }
    return std::string(home) + "/" + underHome;
}

void printProblem(std::string_view text, std::string_view detail)
{
    std::string line = program_invocation_short_name + std::string(": ") + std::string(text);
    if (!detail.empty())
        line += " (" + std::string(detail) + ")";
    std::fprintf(stderr, "%s\n", line.c_str());
}
