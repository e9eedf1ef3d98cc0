// Paths and folders on a Linux file system. Inside the program paths are Windows-1252 text;
// the file system gets them as UTF-8.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/encoding.h"
#include "platform/system.h"

namespace platform {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::string WithoutTrailingSeparators(std::string folder) {
  while (folder.size() > 1 && folder.back() == kPathSeparator) folder.pop_back();
  return folder;
}

std::string Subfolder(const std::string& folder, const std::string& name) {
  const std::string base = WithoutTrailingSeparators(folder);
  return (base == "/" ? std::string() : base) + kPathSeparator + name;
}

}  // namespace

std::string FileSystemName(const std::string& path) { return Cp1252ToUtf8(NativePath(path)); }

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
    native = rest.empty() ? data : Subfolder(data, rest);
  }
  return native;
}

std::string DataFolder() {
  std::string folder = Environment("VERANTO_DATA");
  if (folder.empty()) {
    const std::string dataHome = Environment("XDG_DATA_HOME");
    if (!dataHome.empty() && dataHome.front() == kPathSeparator) {
      folder = Subfolder(dataHome, "veranto");
    } else {
      folder = Subfolder(Subfolder(Subfolder(Environment("HOME"), ".local"), "share"), "veranto");
    }
  }
  return Utf8ToCp1252(WithoutTrailingSeparators(folder));
}

std::string WindowsFolder() {
  std::string folder = Environment("VERANTO_WINDIR");
  if (folder.empty()) {
    // Only an absolute XDG_CONFIG_HOME counts; a relative one is to be ignored.
    const std::string configHome = Environment("XDG_CONFIG_HOME");
    if (!configHome.empty() && configHome.front() == kPathSeparator) {
      folder = Subfolder(configHome, "veranto");
    } else {
      folder = Subfolder(Subfolder(Environment("HOME"), ".config"), "veranto");
    }
  }
  return Utf8ToCp1252(WithoutTrailingSeparators(folder));
}

std::string WindowsFolderFile(const std::string& name) {
  const std::string folder = WindowsFolder();
  const std::string exact = Subfolder(folder, name);
  if (FileExists(exact)) return exact;
  DIR* listing = opendir(FileSystemName(folder).c_str());
  if (listing == nullptr) return exact;
  std::string found;
  while (const dirent* entry = readdir(listing)) {
    const std::string entryName = Utf8ToCp1252(entry->d_name);
    if (SameIgnoringCase(entryName, name) && (found.empty() || entryName < found) &&
        FileExists(Subfolder(folder, entryName))) {
      found = entryName;
    }
  }
  closedir(listing);
  return found.empty() ? exact : Subfolder(folder, found);
}

std::string CurrentFolder() {
  std::vector<char> buffer(256);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  return Utf8ToCp1252(buffer.data());
}

bool SetCurrentFolder(const std::string& folder) {
  return !folder.empty() && chdir(FileSystemName(folder).c_str()) == 0;
}

bool FileExists(const std::string& path) {
  struct stat status {};
  return !path.empty() && stat(FileSystemName(path).c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace platform
