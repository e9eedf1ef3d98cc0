#pragma once

#include <functional>
#include <string>

// The string work of the suite setting reader, free of files and of the platform's separator
// so that it can be checked with Windows paths as well as Linux ones.
namespace config::detail {

// `folder` without one trailing separator ('\\' or `separator`).
std::string WithoutTrailingSeparator(const std::string& folder, char separator);

// The file name handed to the profile reader: the bare "VERANTO.INI" when the Windows folder
// holds one, else the one in the start-up folder.
std::string SuiteFileName(bool inWindowsFolder, const std::string& startupFolder, char separator);

// Expands the "@" references of `value`: a leading "@", and "@" followed by a separator
// (a backslash always counts as one, so values written for Windows work everywhere).
// `programFolder` gives PGMVERANTO as stored; it is asked again for every reference, and when
// it is empty or begins with "@" the start-up folder stands in. Inserted folder text is never
// expanded again.
std::string ExpandFolderReferences(std::string value, char separator,
                                   const std::function<std::string()>& programFolder,
                                   const std::string& startupFolder);

}  // namespace config::detail
