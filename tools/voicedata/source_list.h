#pragma once

#include <string>
#include <vector>

// The lists in data/ that name each piece of generated voice data and what it says.
namespace voicedata {

struct SourceEntry {
  std::string name;  // a segment or recording name, Windows-1252
  std::string text;  // what is spoken, Windows-1252; "[[...]]" is espeak-ng phoneme input
};

// Parses a list: one entry a line, the name, a tab, the text and optionally a tab and a
// comment; blank lines and lines starting with ';' are skipped; CR LF or LF line ends.
// False, with `error` saying where, when a line has no tab, an empty name or an empty text,
// or a name appears twice.
bool ParseSourceList(const std::string& bytes, std::vector<SourceEntry>& entries, std::string& error);

// Reads and parses the list in `path` (a UTF-8 file-system name).
bool ReadSourceList(const std::string& path, std::vector<SourceEntry>& entries, std::string& error);

// The whole file's bytes; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);
// Writes the bytes as the whole file; false when it cannot be written completely.
bool WriteWholeFile(const std::string& path, const std::string& bytes);

}  // namespace voicedata
