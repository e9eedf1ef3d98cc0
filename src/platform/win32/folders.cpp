// The Windows folder, the program's folder, and private-profile (INI) values through Windows'
// own GetPrivateProfileStringA.

#include <algorithm>
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/win32/windows_api.h"

namespace platform {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// "C:\" and "\" are roots: they keep their separator.
bool IsRoot(const std::string& folder) {
  return folder.size() == 1 || (folder.size() == 3 && folder[1] == ':');
}

std::string WithoutTrailingSeparators(std::string folder) {
  while (!folder.empty() && IsSeparator(folder.back()) && !IsRoot(folder)) folder.pop_back();
  return folder;
}

std::string InFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return IsSeparator(folder.back()) ? folder + name : folder + kPathSeparator + name;
}

// Marks a key that is absent: Windows gives back the default it is handed, trimmed of trailing
// blanks, so the caller's own fallback could not be told from a value equal to it.
constexpr char kAbsent[] = "\x01VERANTO\x02" "absent\x03";

std::string chosenDataFolder;

}  // namespace

void SetDataFolder(const std::string& folder) { chosenDataFolder = folder; }

std::string WindowsFolder() {
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    const UINT length = ::GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return WithoutTrailingSeparators(std::string(buffer.data(), length));
    buffer.resize(length + 1);
  }
}

namespace {

std::string ProgramFolder() {
  const std::string program = ProgramPath();
  const std::size_t separator = program.find_last_of("\\/");
  if (separator == std::string::npos) return CurrentFolder();
  return WithoutTrailingSeparators(program.substr(0, separator + 1));
}

}  // namespace

std::string DataFolder() {
  if (!chosenDataFolder.empty()) return WithoutTrailingSeparators(chosenDataFolder);
  return ProgramFolder();
}

std::string WindowsFolderFile(const std::string& name) {
  const std::string inWindows = InFolder(WindowsFolder(), name);
  if (FileExists(inWindows)) return inWindows;
  const std::string besideProgram = InFolder(ProgramFolder(), name);
  if (FileExists(besideProgram)) return besideProgram;
  return inWindows;
}

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& fallback, int capacity, const std::string& file) {
  if (capacity <= 0) return {};
  const auto cut = [capacity](std::string text) {
    // The caller of the Windows function sees a C string: it ends at the first NUL byte.
    text.resize(std::min({text.size(), text.find('\0'), static_cast<std::size_t>(capacity - 1)}));
    return text;
  };
  if (file.empty()) return cut(fallback);
  const bool bareName = std::none_of(file.begin(), file.end(), IsSeparator);
  const std::string path = bareName ? WindowsFolderFile(file) : file;
  // Room for the marker, and for the whole of what the caller may keep; the cut is ours.
  constexpr std::size_t kMarkerRoom = sizeof kAbsent;
  constexpr std::size_t kLargestRoom = 1 << 20;
  std::vector<char> buffer(std::max(kMarkerRoom, std::min<std::size_t>(capacity, kLargestRoom)));
  const DWORD length = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), kAbsent, buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), path.c_str());
  const std::string value(buffer.data(), std::min<std::size_t>(length, buffer.size() - 1));
  if (value == kAbsent) return cut(fallback);
  return cut(value);
}

}  // namespace platform
