#pragma once

#include <string>
#include <vector>

// Reading the engine's language files.
namespace aravo::detail {

// The lines of a Windows-1252 text file, without their line ends (LF or CR LF). A file that
// begins with a UTF-8 byte-order mark is read as UTF-8 and converted. False when the file
// cannot be opened or read (a folder, for one); `lines` is then empty.
bool ReadTextLines(const std::string& fileName, std::vector<std::string>& lines);

}  // namespace aravo::detail
