// The per-user settings store: keys opened by their path under the current user
// ("Software\Brisquel\Tessova"), each holding integers stored as decimal text.
//
// Two stores share these rules: StoreFile (store_file.h), the REGEDIT4-style file the program
// keeps, and MemoryStore, which zerno-sim uses without --store and the tests use.
//
// - Key paths and value names compare without regard to ASCII letter case; a value keeps the
//   spelling it was first written with ("HiScoreA" is read back through "HiscoreA", and a later
//   write through "hiscorea" leaves the stored name "HiScoreA").
// - ReadInteger gives the default for a missing value, an empty one, or text that is not a
//   decimal signed 32-bit integer. Blanks around the number and a leading + are allowed;
//   "12abc", "0x10" and "2147483648" are not integers. A value of another type (dword:, hex:)
//   is reported as "Invalid data type for 'NAME'" and reads as the default.
// - WriteInteger stores the decimal text at once. A failure is reported as "Failed to create key "
//   (the key cannot be made: no folder, or the file's place is taken by something else) or
//   "Failed to set data for 'NAME'" (the value could not be stored), with the file and the
//   system's reason beside it. Nothing is thrown; the caller goes on.
// - Opening a key changes nothing: a key appears in the store with its first value.
#pragma once

#include "device/ports.h"
#include "settings/store_data.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

// A failure or a bad file, as the store tells it.
struct StoreReport {
    std::string text;    // the device's own words for a failed write, or what is wrong with the file
    std::string detail;  // where and why, when the system said: "FILE: No space left on device"
};

class Store {
public:
    using ErrorReport = std::function<void(const StoreReport& report)>;

    Store() = default;
    virtual ~Store() = default;
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // The store must outlive every key it opened.
    std::unique_ptr<StoreKey> OpenKey(const std::string& keyPath);

    // Where failures and bad-file messages go (the program's error box). Without one they are
    // written to standard error.
    void setErrorReport(ErrorReport report) { errorReport_ = std::move(report); }

protected:
    struct WriteResult {
        enum Kind { Stored, Kept, KeyNotCreated, DataNotSet } kind = Stored;
        std::string why;  // for a failure: the file and the system's reason, when known
    };
    // Whether the value stored now stays instead of the write; asked under the write's lock.
    using KeepStored = std::function<bool(const StoreValue& stored)>;

    // `header` is the key's full name as the file writes it: HKEY_CURRENT_USER\<key path>.
    virtual std::optional<StoreValue> readValue(const std::string& header, const std::string& name) = 0;
    virtual WriteResult writeValue(const std::string& header, const std::string& name, const std::string& text,
                                   const KeepStored& keep) = 0;

    void report(const StoreReport& report);

private:
    class Key;
    ErrorReport errorReport_;
};

class MemoryStore : public Store {
public:
    explicit MemoryStore(StoreData data = {}) : data_(std::move(data)) {}

    const StoreData& data() const { return data_; }

protected:
    std::optional<StoreValue> readValue(const std::string& header, const std::string& name) override;
    WriteResult writeValue(const std::string& header, const std::string& name, const std::string& text,
                           const KeepStored& keep) override;

private:
    StoreData data_;
};
