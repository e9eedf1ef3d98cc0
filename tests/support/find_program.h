#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

// The tests that start real programs find them as a shell would: a name with a slash as it
// stands, any other along PATH (and /usr/bin, /usr/sbin, where system services live).
namespace test_support {

inline std::optional<std::string> FindProgram(const std::string& name) {
  if (name.find('/') != std::string::npos) {
    if (access(name.c_str(), X_OK) == 0) return name;
    return std::nullopt;
  }
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/bin:/bin";
  folders += ":/usr/bin:/usr/sbin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    const std::size_t end = std::min(folders.find(':', start), folders.size());
    const std::string candidate = folders.substr(start, end - start) + "/" + name;
    if (end > start && access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return std::nullopt;
}

}  // namespace test_support
