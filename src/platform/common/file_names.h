#pragma once

#include <string>

namespace platform {

// The name the file system knows a configured path by: backslashes read as the separator,
// Windows-1252 turned into UTF-8.
std::string FileSystemName(const std::string& path);

}  // namespace platform
