// Headless speed: zerno-sim playing one hour of virtual time from a script of key presses and
// game starts, its output thrown away, timed from process start to exit. The baseline is the
// hour itself.
//
//   bench_headless_speed ZERNO_SIM_PROGRAM [--runs N]      (5 unless told)
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "common/desktop.h"
#include "script/script_words.h"
#include "tools/bench/bench_report.h"

namespace {

constexpr int64_t HourMs = 3600LL * 1000;

// Game A started and restarted every five minutes; between starts a key of one of the two
// workers every 20 to 200 ms, as a busy player presses them.
void writeScript(const std::filesystem::path& path)
{
    std::ofstream script(path);
    std::mt19937 dice(2026);
    const std::string keys[] = {keyName('Q'), keyName('A'), keyName('P'), keyName('L')};
    script << word(Word::Click) << " Im_Front\n";
    for (int64_t t = 0; t < HourMs;) {
        if (t % (5 * 60 * 1000) < 200)
            script << word(Word::Press) << " Puls_GameA\n" << word(Word::Release) << " Puls_GameA\n";
        const std::string& key = keys[dice() % 4];
        script << word(Word::KeyDown) << ' ' << key << '\n' << word(Word::KeyUp) << ' ' << key << '\n';
        const int64_t wait = 20 + int64_t(dice() % 181);
        script << word(Word::Wait) << ' ' << wait << '\n';
        t += wait;
    }
    script << word(Word::State) << '\n';
}

double runOnce(const char* program, const std::filesystem::path& script)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (!std::freopen("/dev/null", "w", stdout))
            _exit(127);
        execl(program, program, script.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        printProblem(std::string(program) + " failed on the script");
        std::exit(2);
    }
    return seconds;
}

}  // namespace

int main(int argc, char** argv)
{
    if (!argumentsGiven(argc, 1, "bench_headless_speed ZERNO_SIM_PROGRAM [--runs N]"))
        return 2;
    const int runs = int(optionValue(argc, argv, 2, "--runs", 5));
    const std::filesystem::path script = std::filesystem::temp_directory_path()
                                       / ("zerno-hour-" + std::to_string(getpid()) + ".txt");
    writeScript(script);
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i)
        seconds.push_back(runOnce(argv[1], script));
    std::filesystem::remove(script);

    const Summary s = summarize(seconds);
    std::printf("zerno-sim, one virtual hour of scripted keys, %d runs: mean %.3f s, slowest %.3f s (%.0fx real time)\n",
                runs, s.mean, s.max, 3600.0 / s.max);
    printRow("Headless: one virtual hour in zerno-sim (slowest run)", format("%.3f s", s.max), "<= 1 s",
             "real time 3600 s", s.max <= 1.0);
    return 0;
}
