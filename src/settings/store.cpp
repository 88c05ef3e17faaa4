#include "settings/store.h"

#include <charconv>

#include "common/desktop.h"
#include "common/text.h"

namespace {

std::optional<int> parseInteger(std::string_view text)
{
    text = trimBlanks(text);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

}  // namespace

class Store::Key : public StoreKey {
public:
    Key(Store& store, std::string header) : store_(store), header_(std::move(header)) {}

    int ReadInteger(const std::string& name, int defaultValue) override
    {
        const std::optional<StoreValue> value = store_.readValue(header_, name);
        if (!value)
            return defaultValue;
        if (!value->isString) {
            store_.report({"Invalid data type for '" + name + "'", {}});
            return defaultValue;
        }
        return parseInteger(value->data).value_or(defaultValue);
    }

    void WriteInteger(const std::string& name, int value) override { write(name, value, nullptr); }

    int RaiseInteger(const std::string& name, int value) override
    {
        int larger = value;
        write(name, value, [&](const StoreValue& stored) {
            const std::optional<int> number = stored.isString ? parseInteger(stored.data) : std::nullopt;
            if (!number || *number < value)
                return false;
            larger = *number;
            return true;
        });
        return larger;
    }

private:
    void write(const std::string& name, int value, const KeepStored& keep)
    {
        WriteResult result{WriteResult::DataNotSet, {}};
        if (!storableName(header_))
            result.kind = WriteResult::KeyNotCreated;
        else if (storableName(name))
            result = store_.writeValue(header_, name, std::to_string(value), keep);
        if (result.kind == WriteResult::KeyNotCreated)
            store_.report({"Failed to create key ", result.why});
        else if (result.kind == WriteResult::DataNotSet)
            store_.report({"Failed to set data for '" + name + "'", result.why});
    }

    Store& store_;
    std::string header_;
};

std::unique_ptr<StoreKey> Store::OpenKey(const std::string& keyPath)
{
    return std::make_unique<Key>(*this, "HKEY_CURRENT_USER\\" + keyPath);
}

void Store::report(const StoreReport& report)
{
    if (errorReport_)
        errorReport_(report);
    else
        printProblem(report.text, report.detail);
}

std::optional<StoreValue> MemoryStore::readValue(const std::string& header, const std::string& name)
{
    const StoreValue* value = data_.find(header, name);
    return value ? std::optional<StoreValue>(*value) : std::nullopt;
}

Store::WriteResult MemoryStore::writeValue(const std::string& header, const std::string& name, const std::string& text,
                                           const KeepStored& keep)
{
    const StoreValue* stored = data_.find(header, name);
    if (stored && keep && keep(*stored))
        return {WriteResult::Kept, {}};
    data_.setString(header, name, text);
    return {WriteResult::Stored, {}};
}
