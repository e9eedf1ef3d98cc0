#include "speech/aravo/text_file.h"

#include <cstdio>
#include <string_view>

#include "platform/encoding.h"
#include "platform/system.h"

namespace aravo::detail {

bool ReadTextLines(const std::string& fileName, std::vector<std::string>& lines) {
  lines.clear();
  std::FILE* file = std::fopen(platform::FileSystemName(fileName).c_str(), "rb");
  if (file == nullptr) return false;
  std::string contents;
  char chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) contents.append(chunk, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return false;

  static constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  if (std::string_view(contents).substr(0, 3) == kUtf8Mark) {
    contents = platform::Utf8ToCp1252(contents.substr(3));
  }
  std::size_t start = 0;
  while (start < contents.size()) {
    std::size_t end = contents.find('\n', start);
    if (end == std::string::npos) end = contents.size();
    std::size_t lineEnd = end;
    if (lineEnd > start && contents[lineEnd - 1] == '\r') --lineEnd;
    lines.emplace_back(contents, start, lineEnd - start);
    start = end + 1;
  }
  return true;
}

}  // namespace aravo::detail
