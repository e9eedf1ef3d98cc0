#pragma once

// Paths in the tests written with "/" between their parts, made the build's own: one expected
// value then checks both systems.
#include <string>

#include "platform/system.h"

namespace test_paths {

// Windows' file-name rules rather than Linux's: paths used as written, ANSI names, names that
// ignore case, files in use that cannot be removed, paths that stop at MAX_PATH.
#if defined(_WIN32)
constexpr bool kWindowsRules = true;
#else
constexpr bool kWindowsRules = false;
#endif

// `path` with every "/" replaced by platform::kPathSeparator.
inline std::string Native(std::string path) {
  for (char& c : path) {
    if (c == '/') c = platform::kPathSeparator;
  }
  return path;
}

}  // namespace test_paths
