#pragma once

#include <string>
#include <vector>

#include "profile_merge.h"

// The VERANTO.INI settings that make the suite speak with the generated voice data.
namespace voicedata {

// Folders below the data root where the generated data goes: the layout of the built-in
// Windows defaults (c:\lumivar\som\letras, c:\lumivar\som\difones) under the data folder.
std::string DiphoneFolder(const std::string& dataRoot);
std::string LettersFolder(const std::string& dataRoot);
std::string PromptsFolder(const std::string& dataRoot);
// The Aravo engine's language files and the formant voice.
std::string AravoFolder(const std::string& dataRoot);

// Every key set-up provides, for a data root and the suite's program folder (both
// Windows-1252; an empty program folder leaves PGMVERANTO out).
std::vector<ProfileEntry> VoiceSettings(const std::string& dataRoot, const std::string& programFolder);

// The keys of the Windows package's VERANTO.INI, whose data lies below the folder the
// programs start in: Windows paths, "@" (that folder) where the setting is read with folder
// references, a path relative to it where the setting is read as it stands.
std::vector<ProfileEntry> PackageSettings();

}  // namespace voicedata
