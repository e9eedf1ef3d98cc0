// Fuzzes the profile reader: the input is "section\nkey\n" followed by the file's bytes; the first
// byte also picks the capacity. The reader must never crash and must keep to its capacity.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/system.h"

namespace {

std::string folder;

void MakeWindowsFolder() {
  char pattern[] = "/tmp/veranto-fuzz-XXXXXX";
  if (mkdtemp(pattern) == nullptr) std::abort();
  folder = pattern;
  setenv("VERANTO_WINDIR", folder.c_str(), 1);
  std::atexit([] {
    std::remove((folder + "/FUZZ.INI").c_str());
    rmdir(folder.c_str());
  });
}

std::string_view TakeLine(std::string_view& text) {
  const std::size_t end = text.find('\n');
  const std::string_view line = text.substr(0, end);
  text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (folder.empty()) MakeWindowsFolder();
  if (size == 0) return 0;
  const int capacity = static_cast<int>(static_cast<std::int8_t>(data[0])) + 8;
  std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string section(TakeLine(input));
  const std::string key(TakeLine(input));

  std::FILE* file = std::fopen((folder + "/FUZZ.INI").c_str(), "wb");
  if (file == nullptr) std::abort();
  std::fwrite(input.data(), 1, input.size(), file);
  std::fclose(file);

  const std::string value = platform::ReadProfileString(section, key, "fallback value", capacity, "FUZZ.INI");
  if (capacity <= 0 ? !value.empty() : static_cast<int>(value.size()) > capacity - 1) std::abort();
  if (value.find('\0') != std::string::npos) std::abort();
  return 0;
}
