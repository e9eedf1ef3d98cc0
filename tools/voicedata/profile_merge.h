#pragma once

#include <string>
#include <vector>

// Adding settings to a private-profile file (VERANTO.INI) without touching what is there.
namespace voicedata {

struct ProfileEntry {
  std::string section;
  std::string key;
  std::string value;
};

// The file's text with every entry whose key is missing added: into the first section of
// that name (after its last non-blank line) or, when the section is absent, into a new
// section at the end. Sections and keys match without regard to case, as the profile reader
// finds them; a key that is present keeps its value, even an empty one. Existing lines are
// kept byte for byte; added lines end in CR LF.
std::string MergeProfile(const std::string& text, const std::vector<ProfileEntry>& entries);

// MergeProfile on a file (a UTF-8 file-system name), created with its folder when absent and
// written only when something was added. False, with `error`, when it cannot be read or written.
bool MergeProfileFile(const std::string& path, const std::vector<ProfileEntry>& entries, bool& changed,
                      std::string& error);

}  // namespace voicedata
