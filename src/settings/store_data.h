// The contents of a settings store: keys (sections) holding named values, as the REGEDIT4-style
// file writes them:
//
//     REGEDIT4
//
//     [HKEY_CURRENT_USER\Software\Brisquel\Tessova]
//     "Key1"="17"
//
// Key headers and value names compare without regard to ASCII letter case; whatever is stored
// keeps the spelling it was first written with. A value is either a string value ("17") or a
// value of another type (dword:, hex:, ...), kept as its raw text so that a rewrite of the file
// loses nothing it did not understand.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct StoreValue {
    std::string name;      // as first written; empty for the key's default value (@)
    std::string data;      // the text of a string value, or the raw text after '=' (dword:0000007b)
    bool isString = true;

    bool operator==(const StoreValue&) const = default;
};

struct StoreSection {
    std::string header;    // between the brackets: HKEY_CURRENT_USER\Software\...
    std::vector<StoreValue> values;

    bool operator==(const StoreSection&) const = default;
};

struct StoreParseResult;

class StoreData {
public:
    // Files above this size are not read: no settings file of this program comes near it.
    static constexpr std::size_t MaxFileSize = 1 << 20;

    // Reads the file's text. Empty text (or only blanks) is an empty store; anything else must
    // start with the line REGEDIT4.
    static StoreParseResult parse(std::string_view text);

    // The file's text; parse() gives back an equal StoreData.
    std::string toText() const;

    const StoreValue* find(std::string_view header, std::string_view name) const;

    // Stores `text` as a string value, replacing a value of any type under that name, or adds it
    // at the end of its section (a new section goes at the end of the file).
    void setString(std::string_view header, std::string_view name, std::string_view text);

    const std::vector<StoreSection>& sections() const { return sections_; }

    bool operator==(const StoreData&) const = default;

private:
    // The section of that header, added at the end of the file when there is none.
    StoreSection& sectionFor(std::string_view header);
    std::vector<StoreSection> sections_;
};

struct StoreParseResult {
    bool ok = false;
    StoreData data;
    int line = 0;          // where the error is, counted from 1; 0 for the file as a whole
    std::string error;     // what is wrong, for a message; empty when ok

    // "line 3: a value outside any key", or the error alone when it has no line.
    std::string where() const;
};

// ASCII letters compare without regard to case; every other byte compares as it is.
bool sameStoreName(std::string_view a, std::string_view b);

// Whether a key path or a value name can be written into the file and read back the same:
// no control characters, which would break the file's lines.
bool storableName(std::string_view name);
