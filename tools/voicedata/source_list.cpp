// Reading the source lists of the generated voice data.
#include "source_list.h"

#include <cstdio>
#include <set>

namespace voicedata {

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char chunk[65536];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  const bool ok = std::ferror(file) == 0;
  std::fclose(file);
  return ok;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

bool ParseSourceList(const std::string& bytes, std::vector<SourceEntry>& entries, std::string& error) {
  entries.clear();
  std::set<std::string> seen;
  std::size_t start = 0;
  int lineNumber = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() == ';') continue;
    const std::size_t tab = line.find('\t');
    const std::size_t secondTab = tab == std::string::npos ? tab : line.find('\t', tab + 1);
    SourceEntry entry;
    if (tab != std::string::npos) {
      entry.name = line.substr(0, tab);
      entry.text = line.substr(tab + 1, secondTab == std::string::npos ? std::string::npos : secondTab - tab - 1);
    }
    if (tab == std::string::npos || entry.name.empty() || entry.text.empty()) {
      error = "line " + std::to_string(lineNumber) + ": expected NAME, a tab and the text";
      return false;
    }
    if (!seen.insert(entry.name).second) {
      error = "line " + std::to_string(lineNumber) + ": " + entry.name + " appears twice";
      return false;
    }
    entries.push_back(std::move(entry));
  }
  return true;
}

bool ReadSourceList(const std::string& path, std::vector<SourceEntry>& entries, std::string& error) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) {
    error = "cannot read " + path;
    return false;
  }
  if (!ParseSourceList(bytes, entries, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

}  // namespace voicedata
