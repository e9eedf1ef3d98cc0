// Merging settings into VERANTO.INI.
#include "profile_merge.h"

#include <filesystem>
#include <system_error>

#include "platform/encoding.h"
#include "source_list.h"

namespace voicedata {
namespace {

// A line as the file holds it, without its '\n' (a CR stays).
struct Line {
  std::string bytes;
  bool unterminated = false;  // the file's last line, which had no line end
};

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return std::string();
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (platform::UpperCaseCp1252(static_cast<unsigned char>(a[i])) !=
        platform::UpperCaseCp1252(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// The section name of a "[NAME]" line, or false for any other line.
bool SectionName(const std::string& line, std::string& name) {
  const std::string text = Trimmed(line);
  if (text.empty() || text.front() != '[') return false;
  const std::size_t close = text.find(']');
  name = Trimmed(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
  return true;
}

// The key of a "KEY=value" line; false for comments, blanks and lines without '='.
bool KeyName(const std::string& line, std::string& key) {
  const std::string text = Trimmed(line);
  if (text.empty() || text.front() == ';') return false;
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos) return false;
  key = Trimmed(text.substr(0, equals));
  return true;
}

}  // namespace

std::string MergeProfile(const std::string& text, const std::vector<ProfileEntry>& entries) {
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back({text.substr(start, end - start), end == text.size()});
    start = end + 1;
  }

  for (const ProfileEntry& entry : entries) {
    // Find the first section of that name and the extent of its lines.
    std::size_t sectionLine = lines.size();
    std::size_t sectionEnd = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
      std::string name;
      if (!SectionName(lines[i].bytes, name)) continue;
      if (sectionLine == lines.size()) {
        if (SameName(name, entry.section)) sectionLine = i;
      } else {
        sectionEnd = i;
        break;
      }
    }
    const std::string added = entry.key + "=" + entry.value + "\r";
    if (sectionLine == lines.size()) {
      if (!lines.empty() && !Trimmed(lines.back().bytes).empty()) lines.push_back({"\r"});
      lines.push_back({"[" + entry.section + "]\r"});
      lines.push_back({added});
      continue;
    }
    bool present = false;
    std::size_t lastFilled = sectionLine;
    for (std::size_t i = sectionLine + 1; i < sectionEnd; ++i) {
      std::string key;
      if (KeyName(lines[i].bytes, key) && SameName(key, entry.key)) present = true;
      if (!Trimmed(lines[i].bytes).empty()) lastFilled = i;
    }
    if (!present) lines.insert(lines.begin() + static_cast<long>(lastFilled) + 1, {added});
  }

  std::string merged;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    merged += lines[i].bytes;
    const bool last = i + 1 == lines.size();
    if (!lines[i].unterminated) {
      merged += '\n';
    } else if (!last) {
      // The file's unterminated last line now has lines after it: end it as they end.
      if (lines[i].bytes.empty() || lines[i].bytes.back() != '\r') merged += '\r';
      merged += '\n';
    }
  }
  return merged;
}

bool MergeProfileFile(const std::string& path, const std::vector<ProfileEntry>& entries, bool& changed,
                      std::string& error) {
  changed = false;
  std::error_code code;
  std::string text;
  if (std::filesystem::exists(path, code)) {
    if (!ReadWholeFile(path, text)) {
      error = "cannot read " + path;
      return false;
    }
  } else {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, code);
  }
  const std::string merged = MergeProfile(text, entries);
  if (merged == text) return true;
  if (!WriteWholeFile(path, merged)) {
    error = "cannot write " + path;
    return false;
  }
  changed = true;
  return true;
}

}  // namespace voicedata
