#pragma once

// The few POSIX calls the tests use, for the tests' Windows build, which includes this header
// in every test source (the build adds it with -include).
#if defined(_WIN32)
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

inline int setenv(const char* name, const char* value, int overwrite) {
  if (overwrite == 0 && std::getenv(name) != nullptr) return 0;
  return _putenv_s(name, value) == 0 ? 0 : -1;
}

// An empty value removes the variable on Windows.
inline int unsetenv(const char* name) { return _putenv_s(name, "") == 0 ? 0 : -1; }

namespace posix_on_windows {
// Replaces the trailing "XXXXXX" of `pattern` by a name not tried before in this process and
// calls `create` with it until it succeeds (true) or fails for another reason than a clash.
template <typename Create>
bool FillUniqueName(char* pattern, Create create) {
  const std::size_t length = std::strlen(pattern);
  if (length < 6 || std::strcmp(pattern + length - 6, "XXXXXX") != 0) {
    errno = EINVAL;
    return false;
  }
  static unsigned counter = 0;
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 10000; ++attempt) {
    unsigned value = (static_cast<unsigned>(_getpid()) << 12) ^ ++counter * 2654435761u;
    for (std::size_t i = length - 6; i < length; ++i) {
      pattern[i] = kLetters[value % 36];
      value /= 36;
    }
    if (create(pattern)) return true;
    if (errno != EEXIST) return false;
  }
  return false;
}
}  // namespace posix_on_windows

inline char* mkdtemp(char* pattern) {
  return posix_on_windows::FillUniqueName(pattern, [](const char* name) { return _mkdir(name) == 0; })
             ? pattern
             : nullptr;
}

inline int mkstemp(char* pattern) {
  int descriptor = -1;
  posix_on_windows::FillUniqueName(pattern, [&](const char* name) {
    descriptor = _open(name, _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY, _S_IREAD | _S_IWRITE);
    return descriptor >= 0;
  });
  return descriptor;
}
// A read-only stream over a copy of `size` bytes, through a temporary file.
inline std::FILE* fmemopen(void* bytes, std::size_t size, const char*) {
  std::FILE* file = std::tmpfile();
  if (file == nullptr) return nullptr;
  if (std::fwrite(bytes, 1, size, file) != size) {
    std::fclose(file);
    return nullptr;
  }
  std::rewind(file);
  return file;
}
#endif
