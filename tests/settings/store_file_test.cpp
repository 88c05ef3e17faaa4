// The settings file on disk: where it lives, files that are not what they should be, files and
// folders the user made read-only, writers that die mid-write and copies that write at once.
#include "settings/store_file.h"
#include "tests/settings/temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <optional>
#include <linux/capability.h>
#include <random>
#include <sys/file.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

// The files the suite has synced to disk, by path. This fsync stands in front of the C library's
// for the whole suite and passes every call on to it.
namespace {
std::mutex syncedMutex;
std::vector<std::string> syncedPaths;
}  // namespace

extern "C" int fsync(int fd)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[4096];
    const ssize_t length = ::readlink(link, target, sizeof target);
    if (length > 0) {
        const std::lock_guard<std::mutex> lock(syncedMutex);
        syncedPaths.emplace_back(target, std::size_t(length));
    }
    static const auto libcFsync = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    return libcFsync(fd);
}

namespace {

const char* const KeySettings = KeySettingsStorePath;
const char* const Game = SettingsStorePath;
const std::string GameHeader = std::string("HKEY_CURRENT_USER\\") + SettingsStorePath;
const std::string Stored = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Brisquel\\Tessova]\n\"Key1\"=\"5\"\n"
                           "\n[HKEY_CURRENT_USER\\Software\\Brisquel\\ZernoBro]\n\"HiScoreA\"=\"300\"\n";

// Root passes every permission check, and the suite runs as root in CI. While this lives, the
// test thread is bound by file permissions like any user (the powers come back afterwards).
class PermissionsEnforced {
public:
    PermissionsEnforced()
    {
        syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct lowered[2];
        std::memcpy(lowered, saved_, sizeof lowered);
        for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            lowered[cap / 32].effective &= ~(1u << (cap % 32));
        __user_cap_header_struct header = header_;
        syscall(SYS_capset, &header, lowered);
    }
    ~PermissionsEnforced()
    {
        __user_cap_header_struct header = header_;
        syscall(SYS_capset, &header, saved_);
    }
    PermissionsEnforced(const PermissionsEnforced&) = delete;
    PermissionsEnforced& operator=(const PermissionsEnforced&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
};

bool canOpenForWriting(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY);
    if (fd >= 0)
        ::close(fd);
    return fd >= 0;
}

bool canCreateIn(const std::string& folder)
{
    const std::string probe = folder + "/probe";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

// Runs `body` in a child process; its result is the child's exit status.
pid_t spawn(const std::function<int()>& body)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(body());
    return child;
}

int exitStatusOf(pid_t child)
{
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class StoreFileTest : public testing::Test {
protected:
    std::unique_ptr<StoreFile> open()
    {
        auto store = std::make_unique<StoreFile>(path);
        store->setErrorReport([this](const StoreReport& report) {
            reports.push_back(report.text);
            details.push_back(report.detail);
        });
        return store;
    }

    void putFile(const std::string& text)
    {
        fs::create_directories(folder);
        writeWholeFile(path, text);
    }

    // Two reads and a write on a store whose file has a problem: the reads give the defaults,
    // the problem is reported once, then the write's failure.
    void expectProblemOnceThenFailure(const std::string& problem, const std::string& failure)
    {
        const auto store = open();
        const auto game = store->OpenKey(Game);
        EXPECT_EQ(game->ReadInteger("HiscoreA", -1), -1);
        EXPECT_EQ(game->ReadInteger("HiscoreB", -1), -1);
        game->WriteInteger("HiScoreA", 1);
        ASSERT_EQ(reports.size(), 2u);
        EXPECT_NE(reports[0].find(problem), std::string::npos) << reports[0];
        EXPECT_EQ(reports[1], failure);
    }

    std::vector<std::string> badFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".bad")
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder temp;
    std::string folder = temp.path() + "/config/zerno-bros";
    std::string path = folder + "/settings.reg";
    std::vector<std::string> reports;
    std::vector<std::string> details;  // beside each report: the file and the system's reason
};

// ---- Where it lives ----

TEST_F(StoreFileTest, FirstWriteMakesAPrivateFolderAndTheFile)
{
    const auto store = open();
    store->OpenKey(KeySettings)->WriteInteger("Key1", 5);
    store->OpenKey(Game)->WriteInteger("HiScoreA", 300);
    EXPECT_EQ(StoreData::parse(readWholeFile(path)).data, StoreData::parse(Stored).data);
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
    EXPECT_TRUE(reports.empty());
}

TEST_F(StoreFileTest, AWriteIsOnTheDiskBeforeItReplacesTheFileAndTheRenameAfterIt)
{
    const auto store = open();
    syncedPaths.clear();
    store->OpenKey(Game)->WriteInteger("HiScoreA", 300);
    const std::string real = fs::canonical(folder).string();
    EXPECT_EQ(syncedPaths, (std::vector<std::string>{real + "/settings.reg.tmp", real}));
}

TEST_F(StoreFileTest, DefaultPathFollowsXdgConfigHome)
{
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string config = savedConfig ? savedConfig : "";
    const std::string home = savedHome ? savedHome : "";
    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_CONFIG_HOME", "/elsewhere/config", 1);
    EXPECT_EQ(defaultStorePath(), "/elsewhere/config/zerno-bros/settings.reg");
    ::setenv("XDG_CONFIG_HOME", "relative/config", 1);  // not absolute: ignored, as the standard says
    EXPECT_EQ(defaultStorePath(), "/home/someone/.config/zerno-bros/settings.reg");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(defaultStorePath(), "/home/someone/.config/zerno-bros/settings.reg");
    if (savedConfig)
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    if (savedHome)
        ::setenv("HOME", home.c_str(), 1);
    else
        ::unsetenv("HOME");
}

// ---- Files that are not settings ----

TEST_F(StoreFileTest, EmptyOrBlankFileIsAnEmptyStoreThatTheFirstWriteMends)
{
    for (const char* text : {"", "\n  \r\n\t\n", "REGEDIT4"}) {
        putFile(text);
        const auto store = open();
        const auto keys = store->OpenKey(KeySettings);
        EXPECT_EQ(keys->ReadInteger("Key1", 17), 17);
        keys->WriteInteger("Key1", 17);
        EXPECT_EQ(readWholeFile(path), "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Brisquel\\Tessova]\n\"Key1\"=\"17\"\n");
    }
    EXPECT_TRUE(reports.empty());
    EXPECT_TRUE(badFiles().empty());
}

TEST_F(StoreFileTest, BinaryFileIsKeptAsBadAndReportedThenTheStoreStartsEmpty)
{
    std::string garbage;
    std::mt19937 random(7);
    for (int i = 0; i < 4096; ++i)
        garbage += char(random());
    putFile(garbage);
    const auto store = open();
    const auto keys = store->OpenKey(KeySettings);

    EXPECT_EQ(keys->ReadInteger("Key1", 17), 17);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("'" + path + "'"), std::string::npos) << reports[0];
    EXPECT_NE(reports[0].find("binary data"), std::string::npos) << reports[0];
    EXPECT_NE(reports[0].find("'" + path + ".bad'"), std::string::npos) << reports[0];
    EXPECT_EQ(readWholeFile(path + ".bad"), garbage);
    EXPECT_FALSE(fs::exists(path));

    keys->WriteInteger("Key1", 17);
    EXPECT_EQ(keys->ReadInteger("Key1", 0), 17);
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(StoreFileTest, OversizedFileIsKeptAsBadWithoutReadingItAll)
{
    std::string huge = Stored;
    while (huge.size() < 10 * 1024 * 1024)
        huge += "\"Filler" + std::to_string(huge.size()) + "\"=\"1\"\n";
    putFile(huge);
    const auto store = open();
    EXPECT_EQ(store->OpenKey(Game)->ReadInteger("HiscoreA", 0), 0);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("larger than 1 MiB"), std::string::npos) << reports[0];
    EXPECT_EQ(fs::file_size(path + ".bad"), huge.size());
}

TEST_F(StoreFileTest, EarlierBadFilesAreNeverOverwritten)
{
    const auto store = open();
    putFile("first bad file\n");
    store->OpenKey(Game)->ReadInteger("HiscoreA", 0);
    putFile("second bad file\n");
    store->OpenKey(Game)->WriteInteger("HiScoreA", 9);
    putFile("third bad file\n");
    store->OpenKey(Game)->ReadInteger("HiscoreA", 0);

    EXPECT_EQ(badFiles(), (std::vector<std::string>{"settings.reg.2.bad", "settings.reg.3.bad", "settings.reg.bad"}));
    EXPECT_EQ(readWholeFile(path + ".bad"), "first bad file\n");
    EXPECT_EQ(readWholeFile(path + ".2.bad"), "second bad file\n");
    EXPECT_EQ(readWholeFile(path + ".3.bad"), "third bad file\n");
    EXPECT_EQ(reports.size(), 3u);
}

TEST_F(StoreFileTest, ReportsComeOnlyOnceTheLockIsLetGo)
{
    // The error box runs an event loop in which a timer may write again; other copies wait for
    // the lock meanwhile.
    putFile("not settings\n");
    StoreFile store(path);
    const auto game = store.OpenKey(Game);
    std::vector<bool> lockFree;
    store.setErrorReport([&](const StoreReport&) {
        const int fd = ::open((path + ".lock").c_str(), O_RDONLY | O_CLOEXEC);
        lockFree.push_back(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0);
        ::close(fd);
        if (lockFree.back())
            game->WriteInteger("HiScoreB", 7);
    });
    game->WriteInteger("HiScoreA", 5);
    EXPECT_EQ(lockFree, std::vector<bool>{true});
    EXPECT_EQ(game->ReadInteger("HiscoreA", 0), 5);
    EXPECT_EQ(game->ReadInteger("HiscoreB", 0), 7);
}

TEST_F(StoreFileTest, FolderInTheFilesPlaceIsReportedOnceAndLeftAlone)
{
    fs::create_directories(path + "/inside");
    expectProblemOnceThenFailure("'" + path + "' is a folder", "Failed to create key ");
    EXPECT_TRUE(fs::is_directory(path + "/inside"));
    EXPECT_TRUE(badFiles().empty());
}

TEST_F(StoreFileTest, FolderThatCannotBeMadeFailsToCreateTheKey)
{
    writeWholeFile(temp.path() + "/config", "a file where the folder should be");
    const auto store = open();
    EXPECT_EQ(store->OpenKey(Game)->ReadInteger("HiscoreA", 0), 0);
    store->OpenKey(Game)->WriteInteger("HiScoreA", 1);
    EXPECT_EQ(reports, std::vector<std::string>{"Failed to create key "});
    EXPECT_EQ(details, std::vector<std::string>{folder + ": Not a directory"});
}

TEST_F(StoreFileTest, WriteThatWouldPassTheSizeLimitFailsAndKeepsTheFile)
{
    std::string text = Stored + "\"Filler\"=\"";
    text += std::string(StoreData::MaxFileSize - text.size() - 40, 'x') + "\"\n";
    putFile(text);
    const auto store = open();
    store->OpenKey(Game)->WriteInteger("HiScoreB", 1);  // still fits
    store->OpenKey(Game)->WriteInteger("AnotherLongerValueName", 1234567);
    EXPECT_EQ(reports, std::vector<std::string>{"Failed to set data for 'AnotherLongerValueName'"});
    EXPECT_EQ(store->OpenKey(Game)->ReadInteger("HiscoreA", 0), 300);
    EXPECT_EQ(store->OpenKey(Game)->ReadInteger("HiscoreB", 0), 1);
    EXPECT_EQ(reports.size(), 1u);
}

// ---- Read-only files and folders ----

TEST_F(StoreFileTest, ReadOnlyFileReadsButKeepsItsContentsAlsoForRoot)
{
    putFile(Stored);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    for (const bool asRoot : {false, true}) {
        SCOPED_TRACE(asRoot ? "with root's powers" : "as a user");
        reports.clear();
        details.clear();
        std::optional<PermissionsEnforced> enforced;
        if (!asRoot) {
            enforced.emplace();
            ASSERT_FALSE(canOpenForWriting(path));
        }
        const auto store = open();
        const auto keys = store->OpenKey(KeySettings);
        EXPECT_EQ(keys->ReadInteger("Key1", 17), 5);
        keys->WriteInteger("Key1", 5);  // the start-up write-back of what is there changes nothing
        EXPECT_TRUE(reports.empty());
        keys->WriteInteger("Key1", 6);
        store->OpenKey(Game)->WriteInteger("HiScoreB", 10);
        EXPECT_EQ(reports, (std::vector<std::string>{"Failed to set data for 'Key1'", "Failed to set data for 'HiScoreB'"}));
        EXPECT_EQ(details, std::vector<std::string>(2, path + ": Permission denied"));
        EXPECT_EQ(readWholeFile(path), Stored);
        EXPECT_EQ(keys->ReadInteger("Key1", 17), 5);
    }
}

TEST_F(StoreFileTest, ASymbolicLinkIsWrittenThroughAndStays)
{
    const std::string real = temp.path() + "/dotfiles/zerno.reg";
    fs::create_directories(temp.path() + "/dotfiles");
    writeWholeFile(real, Stored);
    fs::create_directories(folder);
    fs::create_symlink("../../dotfiles/zerno.reg", path);
    open()->OpenKey(Game)->WriteInteger("HiScoreB", 11);
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_NE(readWholeFile(real).find("\"HiScoreB\"=\"11\""), std::string::npos) << readWholeFile(real);
    EXPECT_EQ(open()->OpenKey(Game)->ReadInteger("HiscoreB", 0), 11);
    EXPECT_FALSE(fs::exists(real + ".tmp"));
    EXPECT_TRUE(reports.empty());
}

TEST_F(StoreFileTest, ReadOnlyFolderReadsButKeepsItsContents)
{
    putFile(Stored);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    const PermissionsEnforced enforced;
    ASSERT_FALSE(canCreateIn(folder));

    const auto store = open();
    const auto game = store->OpenKey(Game);
    EXPECT_EQ(game->ReadInteger("HiscoreA", 0), 300);
    game->WriteInteger("HiScoreA", 301);
    EXPECT_EQ(reports, std::vector<std::string>{"Failed to set data for 'HiScoreA'"});
    EXPECT_EQ(readWholeFile(path), Stored);
    EXPECT_EQ(game->ReadInteger("HiscoreA", 0), 300);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST_F(StoreFileTest, FileThatCannotBeReadIsNeverReplaced)
{
    putFile(Stored);
    fs::permissions(path, fs::perms::none);
    const PermissionsEnforced enforced;
    expectProblemOnceThenFailure("'" + path + "' could not be read (Permission denied)",
                                 "Failed to set data for 'HiScoreA'");
    fs::permissions(path, fs::perms::owner_read);
    EXPECT_EQ(readWholeFile(path), Stored);
}

TEST_F(StoreFileTest, BadFileThatCannotBeMovedAsideIsReportedOnceAndKept)
{
    putFile("not settings at all\n");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    const PermissionsEnforced enforced;
    expectProblemOnceThenFailure("'" + path + "' could not be read (line 1: it does not start with REGEDIT4) "
                                 "and could not be moved aside (Permission denied)",
                                 "Failed to set data for 'HiScoreA'");
    EXPECT_EQ(readWholeFile(path), "not settings at all\n");
}

// ---- Writers that die, copies that write at once ----

// What a killed process wrote stays in the system's cache, so these writers need not wait for the
// disk; what they test is the lock, the re-read and the rename.
TEST_F(StoreFileTest, WriterKilledAtAnyMomentLeavesTheOldOrTheNewValue)
{
    open()->OpenKey(Game)->WriteInteger("Keep", 42);
    std::mt19937 random(2024);
    int stored = 0;
    int rounds = 0;
    int caughtBetweenRenameAndReturn = 0;
    while (stored < 500) {
        ++rounds;
        int confirmations[2];
        ASSERT_EQ(::pipe(confirmations), 0);
        const int first = stored + 1;
        const pid_t writer = spawn([&] {
            ::close(confirmations[0]);
            StoreFile store(path, StoreFile::Flush::ToCacheOnly);
            store.setErrorReport([](const StoreReport&) { ::_exit(3); });
            const auto game = store.OpenKey(Game);
            for (int value = first;; ++value) {
                game->WriteInteger("Counter", value);
                if (::write(confirmations[1], &value, sizeof value) != sizeof value)
                    return 4;
            }
        });
        ::close(confirmations[1]);
        // Once the writer is under way, let it run for a random while, mostly a few writes.
        int confirmed = stored;
        const bool started = ::read(confirmations[0], &confirmed, sizeof confirmed) == sizeof confirmed;
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 2000)(random));
        ::kill(writer, SIGKILL);
        ASSERT_EQ(exitStatusOf(writer), 128 + SIGKILL);
        ASSERT_TRUE(started);
        for (int value = 0; ::read(confirmations[0], &value, sizeof value) == sizeof value;)
            confirmed = value;
        ::close(confirmations[0]);

        const StoreParseResult file = StoreData::parse(readWholeFile(path));
        ASSERT_TRUE(file.ok) << "round " << rounds << ": " << file.where();
        const StoreValue* counter = file.data.find(GameHeader, "Counter");
        const int now = counter ? std::stoi(counter->data) : 0;
        ASSERT_TRUE(now == confirmed || now == confirmed + 1) << "round " << rounds << ": confirmed " << confirmed
                                                              << ", file holds " << now;
        ASSERT_NE(file.data.find(GameHeader, "Keep"), nullptr);
        EXPECT_EQ(file.data.find(GameHeader, "Keep")->data, "42");
        caughtBetweenRenameAndReturn += now == confirmed + 1;
        stored = now;
    }
    EXPECT_TRUE(badFiles().empty());
    std::printf("%d writes over %d kills, %d of them after the rename and before the writer heard of it\n",
                stored, rounds, caughtBetweenRenameAndReturn);
}

TEST_F(StoreFileTest, TwoCopiesTakingTurnsSeeAndKeepEachOthersWrites)
{
    constexpr int Turns = 1000;
    int aToB[2];
    int bToA[2];
    ASSERT_EQ(::pipe(aToB), 0);
    ASSERT_EQ(::pipe(bToA), 0);
    // On its turn each copy checks that the other's write is there, then writes the shared value
    // and one of its own.
    auto copy = [&](int me, int in, int out, int unusedIn, int unusedOut) {
        return [=, this] {
            // Without the other ends, a copy that dies ends its partner's wait.
            ::close(unusedIn);
            ::close(unusedOut);
            StoreFile store(path, StoreFile::Flush::ToCacheOnly);
            int failures = 0;
            store.setErrorReport([&failures](const StoreReport&) { ++failures; });
            const auto game = store.OpenKey(Game);
            for (int turn = me; turn < Turns; turn += 2) {
                int token = 0;
                if (turn > 0 && ::read(in, &token, sizeof token) != sizeof token)
                    return 2;
                if (turn > 0 && game->ReadInteger("shared", -1) != turn - 1)
                    return 3;
                game->WriteInteger("Shared", turn);
                game->WriteInteger(std::string(me == 0 ? "A" : "B").append(std::to_string(turn)), turn);
                if (turn + 1 < Turns && ::write(out, &turn, sizeof turn) != sizeof turn)
                    return 4;
            }
            return failures == 0 ? 0 : 5;
        };
    };
    const pid_t a = spawn(copy(0, bToA[0], aToB[1], aToB[0], bToA[1]));
    const pid_t b = spawn(copy(1, aToB[0], bToA[1], bToA[0], aToB[1]));
    for (int fd : {aToB[0], aToB[1], bToA[0], bToA[1]})
        ::close(fd);
    EXPECT_EQ(exitStatusOf(a), 0);
    EXPECT_EQ(exitStatusOf(b), 0);

    const StoreParseResult file = StoreData::parse(readWholeFile(path));
    ASSERT_TRUE(file.ok) << file.where();
    ASSERT_NE(file.data.find(GameHeader, "Shared"), nullptr);
    EXPECT_EQ(file.data.find(GameHeader, "Shared")->data, std::to_string(Turns - 1));
    int kept = 0;
    for (int turn = 0; turn < Turns; ++turn) {
        const StoreValue* own = file.data.find(GameHeader, std::string(turn % 2 == 0 ? "A" : "B").append(std::to_string(turn)));
        kept += own && own->data == std::to_string(turn);
    }
    EXPECT_EQ(kept, Turns);
}

TEST_F(StoreFileTest, ARaiseKeepsALargerValueAnotherCopyStoredAndGivesItBack)
{
    const auto copyA = open();
    const auto copyB = open();
    EXPECT_EQ(copyA->OpenKey(Game)->RaiseInteger("HiScoreA", 50), 50);
    EXPECT_EQ(copyB->OpenKey(Game)->RaiseInteger("hiscorea", 30), 50);
    EXPECT_EQ(copyB->OpenKey(Game)->RaiseInteger("HISCOREA", 70), 70);
    EXPECT_EQ(open()->OpenKey(Game)->ReadInteger("HiScoreA", 0), 70);
    EXPECT_TRUE(reports.empty());
}

TEST_F(StoreFileTest, TwoCopiesWritingAtOnceLoseNoWrite)
{
    constexpr int Writes = 1000;
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    auto copy = [&](const std::string& prefix) {
        return [=, this] {
            char go = 0;
            if (::read(start[0], &go, 1) != 1)
                return 2;
            StoreFile store(path, StoreFile::Flush::ToCacheOnly);
            int failures = 0;
            store.setErrorReport([&failures](const StoreReport&) { ++failures; });
            const auto game = store.OpenKey(Game);
            for (int n = 0; n < Writes; ++n)
                game->WriteInteger(prefix + std::to_string(n), n);
            return failures == 0 ? 0 : 5;
        };
    };
    const pid_t a = spawn(copy("A"));
    const pid_t b = spawn(copy("B"));
    ASSERT_EQ(::write(start[1], "gg", 2), 2);  // both start together
    ::close(start[0]);
    ::close(start[1]);
    EXPECT_EQ(exitStatusOf(a), 0);
    EXPECT_EQ(exitStatusOf(b), 0);

    const StoreParseResult file = StoreData::parse(readWholeFile(path));
    ASSERT_TRUE(file.ok) << file.where();
    int kept = 0;
    for (const char* prefix : {"A", "B"}) {
        for (int n = 0; n < Writes; ++n) {
            const StoreValue* value = file.data.find(GameHeader, prefix + std::to_string(n));
            kept += value && value->data == std::to_string(n);
        }
    }
    EXPECT_EQ(kept, 2 * Writes);
}

}  // namespace
