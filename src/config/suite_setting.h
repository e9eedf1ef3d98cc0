#pragma once

#include <string>

// The suite's reader of one VERANTO.INI value, with "@" folder references expanded.
namespace config {

// Records the folder the program started in (once, at start-up); a trailing separator is
// removed, so the root folder becomes empty text.
void RecordStartupFolder(const std::string& folder);
std::string StartupFolder();

// The value of `key` in `section` (empty section: "VERANTO") with every "@" reference
// expanded; empty text when the key or the file is absent.
std::string ReadSuiteSetting(const std::string& section, const std::string& key);

}  // namespace config
