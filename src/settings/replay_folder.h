// The replays folder, ${XDG_STATE_HOME:-~/.local/state}/zerno-bros/replays: every game played in
// the window kept as a zerno-sim script, named by the date and time it started, its mode and its
// final score (2026-12-08_14-03-07_game-a_123.sim). The last KeptGames games and each mode's best
// stay; older ones are removed after each save. Files of other names are never touched.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "common/expected.h"
#include "script/game_recorder.h"

// ${XDG_STATE_HOME:-~/.local/state}/zerno-bros/replays
std::string defaultReplayFolder();

// What a replay's file name tells.
struct ReplayName {
    std::string started;  // 2026-12-08_14-03-07
    int mode = 0;         // TForm1::ModeGameA or ModeGameB
    int score = 0;
    int number = 1;       // the second game saved in one second is _2, and so on
};

// The name's parts, or nothing when it is not a replay's name.
std::optional<ReplayName> parseReplayName(const std::string& fileName);

class ReplayFolder {
public:
    static constexpr size_t KeptGames = 50;

    explicit ReplayFolder(std::string path) : path_(std::move(path)) {}
    const std::string& path() const { return path_; }

    // Writes the game, with a header of comments (date, program version, mode, final score), as
    // a file of its own, then removes the games no longer kept. startedAt is when it started.
    // Returns the file's path, or fails saying which file and why.
    Expected<std::string> save(const RecordedGame& game, std::time_t startedAt, const std::string& version);

    // The best game of the mode: the highest score, the first to reach it. Empty when none.
    std::string best(int mode) const;

    // Every replay in the folder, oldest first.
    std::vector<std::string> replays() const;

private:
    void prune();

    std::string path_;
};
