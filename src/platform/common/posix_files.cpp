// Paths on a Linux file system. Inside the program paths are Windows-1252 text; the file
// system gets them as UTF-8.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/encoding.h"
#include "platform/system.h"

namespace platform {

std::string FileSystemName(const std::string& path) { return Cp1252ToUtf8(NativePath(path)); }

std::string FileNameText(const std::string& name) { return Utf8ToCp1252(name); }

std::string NativePath(const std::string& path) {
  std::string native = path;
  for (char& c : native) {
    if (c == '\\') c = kPathSeparator;
  }
  // A Windows drive ("c:", "c:\\lumivar") stands for the data folder, so the built-in
  // Windows defaults and settings written for Windows find the data set-up prepared.
  const bool hasDrive = native.size() >= 2 && native[1] == ':' &&
                        ((native[0] >= 'a' && native[0] <= 'z') || (native[0] >= 'A' && native[0] <= 'Z'));
  if (hasDrive) {
    std::string rest = native.substr(2);
    while (!rest.empty() && rest.front() == kPathSeparator) rest.erase(0, 1);
    const std::string data = DataFolder();
    native = rest.empty() ? data : (data == "/" ? std::string() : data) + kPathSeparator + rest;
  }
  return native;
}

std::string CurrentFolder() {
  std::vector<char> buffer(256);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  return FileNameText(buffer.data());
}

std::string AbsolutePath(const std::string& path) {
  const bool rooted = !path.empty() && (path.front() == '/' || path.front() == '\\');
  const bool hasDrive = path.size() >= 2 && path[1] == ':';
  if (path.empty() || rooted || hasDrive) return path;
  const std::string current = CurrentFolder();
  if (current.empty()) return path;
  return (current == "/" ? std::string() : current) + kPathSeparator + path;
}

bool SetCurrentFolder(const std::string& folder) {
  return !folder.empty() && chdir(FileSystemName(folder).c_str()) == 0;
}

bool FileExists(const std::string& path) {
  struct stat status {};
  return !path.empty() && stat(FileSystemName(path).c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace platform
