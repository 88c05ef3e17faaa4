// The store's rules, which the file and the in-memory store share, and the reading of the
// REGEDIT4-style text both are built on.
#include "settings/store.h"
#include "settings/store_file.h"
#include "tests/settings/temp_folder.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

const char* const KeySettings = KeySettingsStorePath;
const char* const Game = SettingsStorePath;

// Each case runs on both stores: what the program does with its file, zerno-sim and the tests
// must see in memory.
class StoreRules : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override { load(""); }

    // Starts the store over with `text` as its contents.
    void load(const std::string& text)
    {
        if (GetParam() == "file") {
            path_ = folder_.path() + "/zerno-bros/settings.reg";
            std::filesystem::create_directories(folder_.path() + "/zerno-bros");
            std::filesystem::remove(path_);
            if (!text.empty())
                writeWholeFile(path_, text);
            store_ = std::make_unique<StoreFile>(path_);
        } else {
            const StoreParseResult parsed = StoreData::parse(text);
            ASSERT_TRUE(parsed.ok) << parsed.where();
            store_ = std::make_unique<MemoryStore>(parsed.data);
        }
        store_->setErrorReport([this](const StoreReport& report) { reports.push_back(report.text); });
    }

    // What the store holds, as the file would write it.
    std::string stored() const
    {
        if (GetParam() == "file")
            return readWholeFile(path_);
        return static_cast<const MemoryStore&>(*store_).data().toText();
    }

    Store& store() { return *store_; }

    std::vector<std::string> reports;

private:
    TempFolder folder_;
    std::string path_;
    std::unique_ptr<Store> store_;
};

INSTANTIATE_TEST_SUITE_P(Stores, StoreRules, testing::Values("memory", "file"),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

TEST_P(StoreRules, FirstRunWritesTheKeysInTheFileLayout)
{
    const auto keys = store().OpenKey(KeySettings);
    const int defaults[] = {17, 1, 16, 12};
    for (int n = 1; n <= 4; ++n) {
        const std::string name = "Key" + std::to_string(n);
        keys->WriteInteger(name, keys->ReadInteger(name, defaults[n - 1]));
    }
    store().OpenKey(Game)->WriteInteger("HiScoreA", 120);

    EXPECT_EQ(stored(), "REGEDIT4\n"
                        "\n"
                        "[HKEY_CURRENT_USER\\Software\\Brisquel\\Tessova]\n"
                        "\"Key1\"=\"17\"\n"
                        "\"Key2\"=\"1\"\n"
                        "\"Key3\"=\"16\"\n"
                        "\"Key4\"=\"12\"\n"
                        "\n"
                        "[HKEY_CURRENT_USER\\Software\\Brisquel\\ZernoBro]\n"
                        "\"HiScoreA\"=\"120\"\n");
    EXPECT_TRUE(reports.empty());
}

TEST_P(StoreRules, IntegersReadBackFromTheirOwnKey)
{
    const auto keys = store().OpenKey(KeySettings);
    const auto game = store().OpenKey(Game);
    keys->WriteInteger("Key1", 26);
    game->WriteInteger("SoundMode", -1);
    game->WriteInteger("Low", INT_MIN);
    game->WriteInteger("High", INT_MAX);
    keys->WriteInteger("Key1", 5);

    EXPECT_EQ(keys->ReadInteger("Key1", 0), 5);
    EXPECT_EQ(game->ReadInteger("Key1", 99), 99);
    EXPECT_EQ(game->ReadInteger("SoundMode", 7), -1);
    EXPECT_EQ(game->ReadInteger("Low", 0), INT_MIN);
    EXPECT_EQ(game->ReadInteger("High", 0), INT_MAX);
    EXPECT_EQ(store().OpenKey("Software\\Brisquel")->ReadInteger("Key1", 3), 3);
    EXPECT_TRUE(reports.empty());
}

TEST_P(StoreRules, NamesMatchWithoutCaseAndKeepTheirFirstSpelling)
{
    store().OpenKey(Game)->WriteInteger("HiScoreA", 120);
    EXPECT_EQ(store().OpenKey(Game)->ReadInteger("HiscoreA", 0), 120);
    EXPECT_EQ(store().OpenKey("SOFTWARE\\brisquel\\zernobro")->ReadInteger("hiscorea", 0), 120);

    store().OpenKey("software\\BRISQUEL\\ZernoBro")->WriteInteger("hiscorea", 130);
    EXPECT_EQ(store().OpenKey(Game)->ReadInteger("HiscoreA", 0), 130);
    EXPECT_EQ(stored(), "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Brisquel\\ZernoBro]\n\"HiScoreA\"=\"130\"\n");
}

TEST_P(StoreRules, MissingEmptyOrNonIntegerTextReadsAsTheDefault)
{
    load("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Brisquel\\ZernoBro]\n"
         "\"Empty\"=\"\"\n\"Letters\"=\"12abc\"\n\"Hex\"=\"0x10\"\n\"TooBig\"=\"2147483648\"\n"
         "\"TooSmall\"=\"-2147483649\"\n\"Split\"=\"1 2\"\n\"Sign\"=\"+\"\n\"Signs\"=\"+-5\"\n\"Fraction\"=\"1.5\"\n"
         "\"Padded\"=\"  12\t\"\n\"Plus\"=\"+7\"\n\"Zeros\"=\"007\"\n\"Least\"=\"-2147483648\"\n");
    const auto game = store().OpenKey(Game);
    for (const char* name : {"Missing", "Empty", "Letters", "Hex", "TooBig", "TooSmall", "Split", "Sign", "Signs", "Fraction"})
        EXPECT_EQ(game->ReadInteger(name, -5), -5) << name;
    EXPECT_EQ(game->ReadInteger("Padded", 0), 12);
    EXPECT_EQ(game->ReadInteger("Plus", 0), 7);
    EXPECT_EQ(game->ReadInteger("Zeros", 0), 7);
    EXPECT_EQ(game->ReadInteger("Least", 0), INT_MIN);
    EXPECT_TRUE(reports.empty());
}

TEST_P(StoreRules, ValueOfAnotherTypeIsReportedAndReadsAsTheDefault)
{
    load("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Brisquel\\Tessova]\n"
         "\"Key1\"=dword:00000078\n\"Key2\"=hex:31,00\n");
    const auto keys = store().OpenKey(KeySettings);
    EXPECT_EQ(keys->ReadInteger("key1", 17), 17);
    EXPECT_EQ(keys->ReadInteger("Key2", 1), 1);
    EXPECT_EQ(reports, (std::vector<std::string>{"Invalid data type for 'key1'", "Invalid data type for 'Key2'"}));

    // Writing replaces it with a string value under the name it had.
    keys->WriteInteger("KEY1", 5);
    EXPECT_EQ(keys->ReadInteger("Key1", 17), 5);
    EXPECT_EQ(reports.size(), 2u);
    EXPECT_NE(stored().find("\"Key1\"=\"5\""), std::string::npos) << stored();
    EXPECT_NE(stored().find("\"Key2\"=hex:31,00"), std::string::npos) << stored();
}

TEST_P(StoreRules, NamesThatWouldBreakTheFileAreRefusedAndOthersRoundTrip)
{
    const auto game = store().OpenKey(Game);
    game->WriteInteger("line\nbreak", 1);
    game->WriteInteger("rub\x7fout", 1);  // DEL would make the file read as binary
    store().OpenKey("Software\\Bad]\r\nKey")->WriteInteger("Key1", 1);
    EXPECT_EQ(reports, (std::vector<std::string>{"Failed to set data for 'line\nbreak'",
                                                 "Failed to set data for 'rub\x7fout'", "Failed to create key "}));
    EXPECT_EQ(StoreData::parse(stored()).data.sections().size(), 0u);

    // Quotes, backslashes, brackets and letters beyond ASCII are stored as they are.
    const std::string odd = "say \"hi\" C:\\dir\\ [x] \xc3\xa9";
    game->WriteInteger(odd, 4);
    store().OpenKey("Software\\[odd] key\\")->WriteInteger(odd, 6);
    EXPECT_EQ(game->ReadInteger(odd, 0), 4);
    EXPECT_EQ(store().OpenKey("Software\\[odd] key\\")->ReadInteger(odd, 0), 6);
    EXPECT_EQ(reports.size(), 3u);
}

TEST_P(StoreRules, OpeningAKeyStoresNothing)
{
    const auto keys = store().OpenKey(KeySettings);
    EXPECT_EQ(keys->ReadInteger("Key1", 17), 17);
    if (GetParam() == "file")
        EXPECT_FALSE(std::filesystem::exists(static_cast<StoreFile&>(store()).path()));
    else
        EXPECT_TRUE(static_cast<MemoryStore&>(store()).data().sections().empty());
}

// ---- Reading the text ----

TEST(StoreText, ReadsWhatRegistryEditorsWrite)
{
    const StoreParseResult parsed = StoreData::parse(
        "\xEF\xBB\xBFREGEDIT4\r\n\r\n; a comment\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n"
        "\"One\" = \"1\"\r\n@=\"top\"\r\n\"Bytes\"=hex(2):41,00,\\\r\n   42,00\r\n\"Gone\"=-\r\n"
        "[hkey_current_user\\software\\a]\r\n\"ONE\"=\"2\"\r\n[HKEY_CURRENT_USER\\Software\\B]\r\n");
    ASSERT_TRUE(parsed.ok) << parsed.where();
    ASSERT_EQ(parsed.data.sections().size(), 2u);
    const StoreSection& a = parsed.data.sections()[0];
    EXPECT_EQ(a.header, "HKEY_CURRENT_USER\\Software\\A");
    EXPECT_EQ(a.values, (std::vector<StoreValue>{{"One", "2", true},
                                                 {"", "top", true},
                                                 {"Bytes", "hex(2):41,00,42,00", false},
                                                 {"Gone", "-", false}}));
    EXPECT_TRUE(parsed.data.sections()[1].values.empty());
    EXPECT_EQ(StoreData::parse(parsed.data.toText()).data, parsed.data);
}

TEST(StoreText, RefusesWhatItCannotReadAndSaysWhere)
{
    struct Case {
        std::string text;
        std::string where;
    };
    const Case cases[] = {
        {"Windows Registry Editor Version 5.00\n", "line 1: it does not start with REGEDIT4"},
        {std::string("REGEDIT4\n\n[K]\n\"A\"=\"1") + '\0' + "\"\n", "line 4: it holds binary data, not text"},
        {"REGEDIT4\n[K]\r\r\n", "line 2: it holds binary data, not text"},
        {"REGEDIT4\n\"A\"=\"1\"\n", "line 2: a value comes before any key"},
        {"REGEDIT4\n[K\n", "line 2: a key name must stand between [ and ]"},
        {"REGEDIT4\n[]\n", "line 2: a key name must stand between [ and ]"},
        {"REGEDIT4\n[K]\nA=1\n", "line 3: this is not a key, a value or a comment"},
        {"REGEDIT4\n[K]\n\"A=\"1\"\n", "line 3: a value name is not followed by ="},
        {"REGEDIT4\n[K]\n\"A\n", "line 3: a value name has no closing quote"},
        {"REGEDIT4\n[K]\n\"A\"=\"1\\\"\n", "line 3: a value has no closing quote"},
        {"REGEDIT4\n[K]\n\"A\"=\"1\" x\n", "line 3: there is text after a value's closing quote"},
        {"REGEDIT4\n[K]\n\"A\"=12\n", "line 3: a value is neither a quoted text nor a typed value"},
        {"REGEDIT4\n[K]\n\"A\"=hex(z):00\n", "line 3: a value is neither a quoted text nor a typed value"},
        {"REGEDIT4\n[K]\n\"A\"=hex:00,\\\n01,\\", "line 3: a value goes on past the end of the file"},
        {"REGEDIT4\n" + std::string(StoreData::MaxFileSize, ';'), "it is larger than 1 MiB"},
    };
    for (const Case& c : cases) {
        const StoreParseResult parsed = StoreData::parse(c.text);
        EXPECT_FALSE(parsed.ok) << c.where;
        EXPECT_EQ(parsed.where(), c.where);
        EXPECT_TRUE(parsed.data.sections().empty());
    }
}

}  // namespace
