#include "config/suite_setting.h"

#include "config/folder_references.h"
#include "platform/system.h"

namespace config {
namespace {

// Values are mostly folders, so they are read with a path's room.
constexpr int kValueCapacity = platform::kPathCapacity;

std::string startupFolder;

std::string LocateSuiteFile() {
  const std::string candidate = platform::WindowsFolderFile("VERANTO.INI");
  return detail::SuiteFileName(platform::FileExists(candidate), startupFolder, platform::kPathSeparator);
}

}  // namespace

void RecordStartupFolder(const std::string& folder) {
  startupFolder = detail::WithoutTrailingSeparator(folder, platform::kPathSeparator);
}

std::string StartupFolder() { return startupFolder; }

std::string ReadSuiteSetting(const std::string& section, const std::string& key) {
  const std::string file = LocateSuiteFile();
  const std::string value = platform::ReadProfileString(section.empty() ? "VERANTO" : section, key, "",
                                                        kValueCapacity, file);
  return detail::ExpandFolderReferences(
      value, platform::kPathSeparator,
      [&file] { return platform::ReadProfileString("VERANTO", "PGMVERANTO", "", kValueCapacity, file); },
      startupFolder);
}

}  // namespace config
