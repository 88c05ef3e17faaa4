#include "tools/fuzz/store/store_oracle.h"

#include "settings/store.h"
#include "settings/store_data.h"

#include <algorithm>

namespace {

std::string flipCase(std::string s)
{
    for (char& c : s) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return s;
}

const std::string_view CurrentUser = "HKEY_CURRENT_USER\\";

// Every value of `before` but the one just set must read the same in `after`.
Expected<void> checkOthersKept(const StoreData& before, const StoreData& after, const std::string& header,
                               const std::string& name)
{
    for (const StoreSection& section : before.sections()) {
        for (const StoreValue& value : section.values) {
            if (sameStoreName(section.header, header) && sameStoreName(value.name, name))
                continue;
            const StoreValue* kept = after.find(section.header, value.name);
            if (!kept || !(*kept == value))
                return failure("setting one value lost or changed another");
        }
    }
    return {};
}

// Reading through a key either gives the stored integer, whatever the default, or the default;
// a value of another type is reported.
Expected<void> checkReads(const StoreData& data)
{
    MemoryStore store(data);
    int reports = 0;
    store.setErrorReport([&reports](const StoreReport&) { ++reports; });
    for (const StoreSection& section : data.sections()) {
        if (!sameStoreName(std::string_view(section.header).substr(0, CurrentUser.size()), CurrentUser))
            continue;
        const auto key = store.OpenKey(section.header.substr(CurrentUser.size()));
        for (const StoreValue& value : section.values) {
            const int before = reports;
            const int one = key->ReadInteger(value.name, 1);
            const int two = key->ReadInteger(value.name, 2);
            if (one != two && (one != 1 || two != 2))
                return failure("a read depends on its default without giving it");
            if (!value.isString && (one != 1 || reports != before + 2))
                return failure("a value of another type was read without a report");
            if (value.isString && reports != before)
                return failure("a string value was reported");
        }
    }
    return {};
}

}  // namespace

Expected<void> checkStoreText(std::string_view text)
{
    const StoreParseResult first = StoreData::parse(text);
    if (!first.ok) {
        const long lines = 1 + std::count(text.begin(), text.end(), '\n');
        if (first.error.empty())
            return failure("a refusal without a reason");
        if (first.line < 0 || first.line > lines)
            return failure("a refusal pointing at line " + std::to_string(first.line) + " of "
                           + std::to_string(lines));
        return {};
    }

    const std::string written = first.data.toText();
    const StoreParseResult second = StoreData::parse(written);
    if (!second.ok)
        return failure("the written text does not read back: " + second.where());
    if (!(second.data == first.data))
        return failure("the written text reads back different");
    if (second.data.toText() != written)
        return failure("writing the read-back text gives other text");

    if (Expected<void> read = checkReads(first.data); !read)
        return read;

    // A value set under another spelling lands on the stored one and leaves the rest alone.
    const std::string header = first.data.sections().empty()
                                   ? std::string(CurrentUser) + SettingsStorePath
                                   : first.data.sections().front().header;
    std::string name = "HiScoreA";
    if (!first.data.sections().empty() && !first.data.sections().front().values.empty())
        name = first.data.sections().front().values.front().name;
    StoreData changed = first.data;
    changed.setString(flipCase(header), flipCase(name), "120");
    const StoreValue* set = changed.find(header, name);
    if (!set || !set->isString || set->data != "120")
        return failure("a value just set is not found");
    if (Expected<void> kept = checkOthersKept(first.data, changed, header, name); !kept)
        return kept;
    const StoreParseResult third = StoreData::parse(changed.toText());
    if (!third.ok || !(third.data == changed)) {
        // Only growing past the size limit may stop a changed store from reading back.
        if (changed.toText().size() <= StoreData::MaxFileSize)
            return failure("a changed store does not read back");
    }
    return {};
}
