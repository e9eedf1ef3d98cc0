// Reading one value from a private-profile (INI) file the way GetPrivateProfileStringA does.
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

#include "platform/encoding.h"
#include "platform/system.h"

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
  std::FILE* file = std::fopen(FileSystemName(path).c_str(), "rb");
  if (file == nullptr) return false;
  char chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) contents.append(chunk, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  return !failed;
}

// A file saved as UTF-8 with a byte-order mark holds the same text as its Windows-1252 form.
std::string AsWindows1252(std::string contents) {
  static constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  if (std::string_view(contents).substr(0, 3) == kUtf8Mark) return Utf8ToCp1252(contents.substr(3));
  return contents;
}

// Finds `key` in the first section called `section`; false when either is absent.
bool FindValue(std::string_view contents, std::string_view section, std::string_view key,
               std::string_view& value) {
  bool inSection = false;
  while (!contents.empty()) {
    const std::size_t end = contents.find('\n');
    std::string_view line = Trimmed(contents.substr(0, end));
    contents.remove_prefix(end == std::string_view::npos ? contents.size() : end + 1);

    if (!line.empty() && line.front() == '[') {
      const std::size_t close = line.rfind(']');
      if (close != std::string_view::npos) {
        if (inSection) return false;  // only the first section of that name is searched
        inSection = SameIgnoringCase(Trimmed(line.substr(1, close - 1)), section);
        continue;
      }
      // A header without its closing bracket is read as an ordinary line.
    }
    if (!inSection) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    if (SameIgnoringCase(Trimmed(line.substr(0, equals)), key)) {
      value = Trimmed(line.substr(equals + 1));
      return true;
    }
  }
  return false;
}

std::string_view WithoutQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value.remove_prefix(1);
    value.remove_suffix(1);
  }
  return value;
}

std::string CutToCapacity(std::string_view text, int capacity) {
  if (capacity <= 0) return {};
  // The caller of the Windows function sees a C string: it ends at the first NUL byte.
  text = text.substr(0, text.find('\0'));
  return std::string(text.substr(0, static_cast<std::size_t>(capacity - 1)));
}

}  // namespace

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& fallback, int capacity, const std::string& file) {
  const bool bareName = file.find('/') == std::string::npos && file.find('\\') == std::string::npos;
  const std::string path = bareName ? WindowsFolderFile(file) : file;
  std::string contents;
  std::string_view value;
  if (file.empty() || !ReadWholeFile(path, contents)) return CutToCapacity(fallback, capacity);
  contents = AsWindows1252(std::move(contents));
  if (!FindValue(contents, section, key, value)) return CutToCapacity(fallback, capacity);
  return CutToCapacity(WithoutQuotes(value), capacity);
}

}  // namespace platform
