#include "config/suite_setting.h"

#include "config/folder_references.h"
#include "platform/system.h"

namespace config {
namespace {

constexpr int kValueCapacity = 256;  // at most 255 characters, as the suite's programs read them

std::string startupFolder;

std::string LocateSuiteFile() {
  std::string candidate = platform::WindowsFolder();
  if (candidate.empty() || candidate.back() != platform::kPathSeparator) candidate += platform::kPathSeparator;
  candidate += "VERANTO.INI";
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
