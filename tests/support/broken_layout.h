// A layout file of the program's with one fault put in, and the message expected of it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "device/layout.h"

namespace brokenlayout {

// One fault: the text found replaced (or its line removed), and every problem expected, one a
// line; "@START:" stands for the line that starts with START.
struct Fault {
    const char* name;
    const char* find;
    const char* replace;
    const char* error;
};

// The name a parameterised test gives each case.
inline std::string nameOf(const testing::TestParamInfo<Fault>& info)
{
    return info.param.name;
}

// The text with find replaced, or with the whole line find starts in removed when replace is empty.
inline std::string broken(std::string text, const std::string& find, const std::string& replace)
{
    const size_t at = text.find(find);
    if (at == std::string::npos)
        return "(no " + find + " in the layout)";
    const size_t length = replace.empty() ? text.find('\n', at) + 1 - at : find.size();
    return text.replace(at, length, replace);
}

// Each "@START:" in expected becomes "line N:", N being the line of text that starts with START.
inline std::string withLineNumbers(const std::string& text, std::string expected)
{
    for (size_t at; (at = expected.find('@')) != std::string::npos;) {
        const size_t end = expected.find(':', at);
        const std::string start = expected.substr(at + 1, end - at - 1) + " ";
        const std::vector<std::string> lines = splitText(text, '\n');
        size_t line = 0;
        while (line < lines.size() && lines[line].rfind(start, 0) != 0)
            ++line;
        expected.replace(at, end - at, "line " + std::to_string(line + 1));
    }
    return expected;
}

}  // namespace brokenlayout
