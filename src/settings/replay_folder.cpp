#include "settings/replay_folder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>

#include "common/desktop.h"
#include "settings/store_file.h"

namespace fs = std::filesystem;

std::string defaultReplayFolder()
{
    return xdgBaseFolder("XDG_STATE_HOME", ".local/state") + "/zerno-bros/replays";
}

std::optional<ReplayName> parseReplayName(const std::string& fileName)
{
    static const std::regex pattern(R"(^(\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d)_game-([ab])_(\d{1,4})(_\d{1,6})?\.sim$)");
    std::smatch match;
    if (!std::regex_match(fileName, match, pattern))
        return std::nullopt;
    return ReplayName{match[1].str(), match[2].str() == "a" ? TForm1::ModeGameA : TForm1::ModeGameB,
                      std::stoi(match[3].str()), match[4].matched ? std::stoi(match[4].str().substr(1)) : 1};
}

namespace {

std::string systemError(const std::string& path, std::error_code error = {})
{
    return path + ": " + (error ? error.message() : std::string(std::strerror(errno)));
}

}  // namespace

std::vector<std::string> ReplayFolder::replays() const
{
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(path_, error))
        if (entry.is_regular_file(error) && parseReplayName(entry.path().filename().string()))
            found.push_back(entry.path().string());
    // The name starts with the date and time: its order is the games' order. Two games of one
    // second keep theirs through the number after the score.
    const auto order = [](const std::string& path) {
        const auto name = parseReplayName(fs::path(path).filename().string());
        return std::make_pair(name->started, name->number);
    };
    std::sort(found.begin(), found.end(), [&](const std::string& a, const std::string& b) { return order(a) < order(b); });
    return found;
}

std::string ReplayFolder::best(int mode) const
{
    std::string bestPath;
    int bestScore = -1;
    for (const std::string& path : replays()) {
        const auto name = parseReplayName(fs::path(path).filename().string());
        if (name->mode == mode && name->score > bestScore) {
            bestScore = name->score;
            bestPath = path;
        }
    }
    return bestPath;
}

Expected<std::string> ReplayFolder::save(const RecordedGame& game, std::time_t startedAt, const std::string& version)
{
    std::error_code failure;
    fs::create_directories(path_, failure);
    if (failure)
        return ::failure(systemError(path_, failure));
    std::tm parts{};
    localtime_r(&startedAt, &parts);
    char started[32], date[32];
    std::strftime(started, sizeof started, "%Y-%m-%d_%H-%M-%S", &parts);
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &parts);
    const bool gameB = game.mode == TForm1::ModeGameB;
    const std::string stem = path_ + '/' + started + (gameB ? "_game-b_" : "_game-a_") + std::to_string(game.score);
    std::string path = stem + ".sim";
    for (int number = 2; fs::exists(path, failure); ++number)
        path = stem + '_' + std::to_string(number) + ".sim";

    const std::string text = std::string("# Zerno Bros. (Korvista) Simulator: a game played in the window\n")
                           + "# date: " + date + "\n# version: " + version + "\n# mode: " + (gameB ? "Game B" : "Game A")
                           + "\n# score: " + std::to_string(game.score)
                           + "\n# watch it: zerno-bros --replay FILE; check it: zerno-sim FILE\n" + game.script;
    // Written whole beside its place, then renamed: a crash never leaves half a game.
    const std::string temporary = path + ".tmp";
    std::string why;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out || !(out << text) || !out.flush())
            why = systemError(temporary);
    }
    if (why.empty() && std::rename(temporary.c_str(), path.c_str()) != 0)
        why = systemError(path);
    if (!why.empty()) {
        fs::remove(temporary, failure);
        return ::failure(why);
    }
    prune();
    return path;
}

void ReplayFolder::prune()
{
    const std::vector<std::string> all = replays();
    if (all.size() <= KeptGames)
        return;
    const std::string bestA = best(TForm1::ModeGameA), bestB = best(TForm1::ModeGameB);
    std::error_code failure;
    for (size_t index = 0; index + KeptGames < all.size(); ++index)
        if (all[index] != bestA && all[index] != bestB)
            fs::remove(all[index], failure);
}
