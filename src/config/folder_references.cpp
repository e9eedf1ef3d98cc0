#include "config/folder_references.h"

namespace config::detail {
namespace {

bool IsSeparator(char c, char separator) { return c == '\\' || c == separator; }

std::string SuiteProgramFolder(const std::function<std::string()>& programFolder,
                               const std::string& startupFolder) {
  std::string folder = programFolder();
  if (folder.empty() || folder.front() == '@') return startupFolder;
  return folder;
}

}  // namespace

std::string WithoutTrailingSeparator(const std::string& folder, char separator) {
  if (!folder.empty() && IsSeparator(folder.back(), separator)) return folder.substr(0, folder.size() - 1);
  return folder;
}

std::string SuiteFileName(bool inWindowsFolder, const std::string& startupFolder, char separator) {
  if (inWindowsFolder) return "VERANTO.INI";
  return startupFolder + separator + "VERANTO.INI";
}

std::string ExpandFolderReferences(std::string value, char separator,
                                   const std::function<std::string()>& programFolder,
                                   const std::string& startupFolder) {
  // Text before `scanFrom` is settled: it is inserted folder text or was already scanned.
  std::size_t scanFrom = 0;
  while (!value.empty()) {
    std::size_t at;
    if (scanFrom == 0 && value.front() == '@') {
      at = 0;
    } else {
      at = value.find('@', scanFrom);
      while (at != std::string::npos && (at + 1 >= value.size() || !IsSeparator(value[at + 1], separator))) {
        at = value.find('@', at + 1);
      }
      if (at == std::string::npos) break;
    }
    const std::string folder = SuiteProgramFolder(programFolder, startupFolder);
    value.replace(at, 1, folder);
    scanFrom = at + folder.size();
  }
  return value;
}

}  // namespace config::detail
