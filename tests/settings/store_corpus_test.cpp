// The fuzz corpus of the settings file reader: the seeds and every finding kept, replayed through
// the reader's checks and through the settings file itself.
#include "settings/store_file.h"
#include "tests/settings/temp_folder.h"
#include "tools/fuzz/store/store_oracle.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> corpus()
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(STORE_CORPUS_DIR))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(StoreCorpus, EveryKeptInputPassesTheReaderChecks)
{
    const std::vector<fs::path> files = corpus();
    ASSERT_GE(files.size(), 10u) << "the corpus is missing";
    for (const fs::path& file : files) {
        const Expected<void> checked = checkStoreText(readWholeFile(file.string()));
        EXPECT_TRUE(checked) << file.filename() << ": " << checked.error();
    }
}

// As the settings file, an input that reads keeps all it holds through a write; one that does
// not is kept aside unchanged; either way the write lands.
TEST(StoreCorpus, EveryKeptInputIsHandledSafelyAsTheSettingsFile)
{
    for (const fs::path& file : corpus()) {
        SCOPED_TRACE(file.filename().string());
        const TempFolder temp;
        const std::string path = temp.path() + "/settings.reg";
        const std::string text = readWholeFile(file.string());
        writeWholeFile(path, text);
        const StoreParseResult before = StoreData::parse(text);

        StoreFile store(path);
        int reports = 0;
        store.setErrorReport([&reports](const StoreReport&) { ++reports; });
        const auto game = store.OpenKey(SettingsStorePath);
        game->WriteInteger("HiScoreA", 123);
        EXPECT_EQ(game->ReadInteger("HiscoreA", 0), 123);

        const StoreParseResult after = StoreData::parse(readWholeFile(path));
        ASSERT_TRUE(after.ok) << after.where();
        if (before.ok) {
            EXPECT_EQ(reports, 0);
            for (const StoreSection& section : before.data.sections()) {
                for (const StoreValue& value : section.values) {
                    if (sameStoreName(value.name, "HiScoreA") &&
                        sameStoreName(section.header, std::string("HKEY_CURRENT_USER\\") + SettingsStorePath))
                        continue;
                    const StoreValue* kept = after.data.find(section.header, value.name);
                    EXPECT_TRUE(kept && *kept == value) << section.header << " " << value.name;
                }
            }
        } else {
            EXPECT_EQ(readWholeFile(path + ".bad"), text);
            EXPECT_EQ(reports, 1);
        }
    }
}

}  // namespace
