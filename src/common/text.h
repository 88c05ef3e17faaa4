// Text and files, as every room of the program reads them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The whole of a text file, or nothing when it cannot be read.
std::optional<std::string> readTextFile(const std::string& path);

// The parts of text between separators, as reading it with std::getline would give them: a
// separator at the very end starts no further part.
std::vector<std::string> splitText(const std::string& text, char separator);

// The text without the spaces and tabs around it.
std::string_view trimBlanks(std::string_view text);

// A line without the carriage return a file written on Windows ends it with.
std::string_view withoutCarriageReturn(std::string_view line);
