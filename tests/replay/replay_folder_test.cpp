// The replays folder: file names, the header, and which games stay. (A folder that cannot be
// written is the launcher suite's replay check.)
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "settings/replay_folder.h"

namespace {

namespace fs = std::filesystem;

class ReplayFolderTest : public testing::Test {
protected:
    ReplayFolderTest()
    {
        std::string folder = (fs::temp_directory_path() / "zerno-replays-XXXXXX").string();
        EXPECT_NE(mkdtemp(folder.data()), nullptr);
        base = folder;
    }
    ~ReplayFolderTest() override { fs::remove_all(base); }

    static std::string fileName(const std::string& path) { return fs::path(path).filename().string(); }

    fs::path base;
};

TEST_F(ReplayFolderTest, AGameIsSavedUnderItsStartModeAndScoreWithAHeaderBeforeTheScript)
{
    ReplayFolder folder((base / "state/zerno-bros/replays").string());
    std::tm noon{};
    noon.tm_year = 126, noon.tm_mon = 11, noon.tm_mday = 8, noon.tm_hour = 14, noon.tm_min = 3, noon.tm_sec = 7;
    noon.tm_isdst = -1;
    const std::time_t start = std::mktime(&noon);
    const auto first = folder.save({TForm1::ModeGameB, 123, 5000, "time 14:03:07.250\nwait 5\n"}, start, "1.0.0");
    ASSERT_TRUE(first) << first.error();
    EXPECT_EQ(fileName(*first), "2026-12-08_14-03-07_game-b_123.sim");
    std::ifstream in(*first);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("# date: 2026-12-08 14:03:07\n# version: 1.0.0\n# mode: Game B\n# score: 123\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.rfind("\ntime ")), "\ntime 14:03:07.250\nwait 5\n");
    // A second game of the same second and score does not overwrite the first.
    const auto second = folder.save({TForm1::ModeGameB, 123, 10, ""}, start, "1.0.0");
    ASSERT_TRUE(second);
    EXPECT_EQ(fileName(*second), "2026-12-08_14-03-07_game-b_123_2.sim");
    EXPECT_EQ(parseReplayName(fileName(*second))->number, 2);
    for (const char* wrong : {"2026-12-08_14-03-07_game-c_1.sim", "2026-12-08_14-03-07_game-a_1.txt", "notes.sim"})
        EXPECT_FALSE(parseReplayName(wrong)) << wrong;
}

TEST_F(ReplayFolderTest, TheLastFiftyGamesAndEachModesBestStayOlderOnesGo)
{
    ReplayFolder folder(base.string());
    std::ofstream(base / "notes.sim") << "not a replay\n";
    // Game A's best comes first and Game B's second, then 60 games of lower scores.
    std::time_t start = 1700000000;
    ASSERT_TRUE(folder.save({TForm1::ModeGameA, 900, 0, ""}, start, "1"));
    ASSERT_TRUE(folder.save({TForm1::ModeGameB, 800, 0, ""}, start, "1"));
    for (int game = 0; game < 60; ++game) {
        const auto path = folder.save({game % 2 ? TForm1::ModeGameB : TForm1::ModeGameA, game, 0, ""}, start + 60 + game,
                                      "1");
        ASSERT_TRUE(path) << path.error();
    }
    const auto tie = folder.save({TForm1::ModeGameA, 900, 0, ""}, start + 500, "1");
    const std::vector<std::string> kept = folder.replays();
    ASSERT_EQ(kept.size(), 52u);
    EXPECT_EQ(fileName(kept[0]).substr(20), "game-a_900.sim");
    EXPECT_EQ(fileName(kept[1]).substr(20), "game-b_800.sim");
    EXPECT_EQ(kept.back(), *tie);
    // Of two equal bests, the one that reached the score first.
    EXPECT_EQ(folder.best(TForm1::ModeGameA), kept[0]);
    EXPECT_EQ(folder.best(TForm1::ModeGameB), kept[1]);
    EXPECT_TRUE(fs::exists(base / "notes.sim"));
    EXPECT_EQ(ReplayFolder((base / "none").string()).best(TForm1::ModeGameA), "");
}

}  // namespace
