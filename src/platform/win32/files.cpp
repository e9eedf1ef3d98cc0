// Paths, files and dynamic libraries on Windows. Inside the program paths are Windows-1252
// text, which the ANSI file functions take as they are.
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/win32/windows_api.h"

namespace platform {

std::string NativePath(const std::string& path) { return path; }

std::string FileSystemName(const std::string& path) { return path; }

std::string FileNameText(const std::string& name) { return name; }

std::string CurrentFolder() {
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD length = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return {};
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty()) return path;
  const bool rooted = path.front() == '\\' || path.front() == '/' || (path.size() >= 2 && path[1] == ':');
  if (rooted) return path;
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD length = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return path;
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

bool SetCurrentFolder(const std::string& folder) {
  return !folder.empty() && ::SetCurrentDirectoryA(folder.c_str()) != 0;
}

bool FileExists(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void* LoadDynamicLibrary(const std::string& name) {
  if (name.empty()) return nullptr;
  // A library that cannot be found or loaded must not bring up the system's error box.
  const UINT previousMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE library = ::LoadLibraryA(name.c_str());
  ::SetErrorMode(previousMode);
  return reinterpret_cast<void*>(library);
}

void* FindLibrarySymbol(void* library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(library), name));
}

void FreeDynamicLibrary(void* library) {
  if (library != nullptr) ::FreeLibrary(static_cast<HMODULE>(library));
}

}  // namespace platform
