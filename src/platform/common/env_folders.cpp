// Where the stand-ins for Windows keep the Windows folder and the voice data: folders named by
// the environment (see system.h).
#include <dirent.h>

#include <cstdlib>
#include <string>

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

std::string chosenDataFolder;

}  // namespace

void SetDataFolder(const std::string& folder) { chosenDataFolder = folder; }

std::string DataFolder() {
  if (!chosenDataFolder.empty()) return WithoutTrailingSeparators(chosenDataFolder);
  std::string folder = Environment("VERANTO_DATA");
  if (folder.empty()) {
    const std::string dataHome = Environment("XDG_DATA_HOME");
    if (!dataHome.empty() && dataHome.front() == kPathSeparator) {
      folder = Subfolder(dataHome, "veranto");
    } else {
      folder = Subfolder(Subfolder(Subfolder(Environment("HOME"), ".local"), "share"), "veranto");
    }
  }
  return FileNameText(WithoutTrailingSeparators(folder));
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
  return FileNameText(WithoutTrailingSeparators(folder));
}

std::string WindowsFolderFile(const std::string& name) {
  const std::string folder = WindowsFolder();
  const std::string exact = Subfolder(folder, name);
  if (FileExists(exact)) return exact;
  DIR* listing = opendir(FileSystemName(folder).c_str());
  if (listing == nullptr) return exact;
  std::string found;
  while (const dirent* entry = readdir(listing)) {
    const std::string entryName = FileNameText(entry->d_name);
    if (SameIgnoringCase(entryName, name) && (found.empty() || entryName < found) &&
        FileExists(Subfolder(folder, entryName))) {
      found = entryName;
    }
  }
  closedir(listing);
  return found.empty() ? exact : Subfolder(folder, found);
}

}  // namespace platform
