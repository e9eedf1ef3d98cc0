// voicedata: builds the generated voice data with espeak-ng and points VERANTO.INI at it.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "builders.h"
#include "espeak_voice.h"
#include "platform/encoding.h"
#include "platform/system.h"
#include "profile_merge.h"
#include "recording.h"
#include "source_list.h"
#include "voice_settings.h"

namespace {

constexpr const char* kUsage =
    "usage: voicedata [--force] COMMAND ...\n"
    "  diphones DATA_DIR OUT_DIR     the diphone database DIFONES2 with the translator's files\n"
    "  letters DATA_DIR OUT_DIR      the character and number-word recordings\n"
    "  prompts DATA_DIR OUT_DIR      the microphone test's prompts\n"
    "  all DATA_DIR [DATA_ROOT]      all three into DATA_ROOT/lumivar/som/{difones,letras,audival},\n"
    "                                and the Aravo engine's files into DATA_ROOT/lumivar/aravotts\n"
    "                                (DATA_ROOT: the data folder, $VERANTO_DATA or ~/.local/share/veranto)\n"
    "  settings INI_FILE DATA_ROOT [PROGRAM_FOLDER]\n"
    "                                add the keys that point at the data to INI_FILE; values\n"
    "                                already there are kept\n"
    "  setup DATA_DIR [PROGRAM_FOLDER]\n"
    "                                `all` into the data folder, then `settings` on the\n"
    "                                VERANTO.INI of the Windows folder\n"
    "  package DATA_DIR FOLDER       `all` into FOLDER, and a VERANTO.INI there for Windows\n"
    "                                whose paths lead into FOLDER wherever it is unpacked\n"
    "  segments DATA_DIR             print each segment of the diphone list as the database\n"
    "                                holds it: name, bytes, and the byte its vowel begins at\n"
    "                                (-1: it has none), to judge how deep a cut may go\n"
    "DATA_DIR is the data folder of the source tree (with diphone/ and recordings/).\n"
    "Data already built from the same sources is not built again unless --force is given.\n";

bool force = false;

using Builder = bool (*)(const std::string&, const std::string&, bool, voicedata::BuildReport&, std::string&);

bool RunBuilder(const char* what, Builder builder, const std::string& dataDir, const std::string& outDir) {
  const auto start = std::chrono::steady_clock::now();
  voicedata::BuildReport report;
  std::string error;
  if (!builder(dataDir, outDir, force, report, error)) {
    std::fprintf(stderr, "voicedata: %s: %s\n", what, error.c_str());
    return false;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (report.skipped) {
    std::printf("%s: %s is up to date (%d)\n", what, outDir.c_str(), report.files);
  } else {
    std::printf("%s: %d into %s, %lld sample bytes, %.1f s\n", what, report.files, outDir.c_str(), report.bytes,
                seconds);
  }
  return true;
}

// Paths from the command line and the file system are UTF-8; paths inside the INI and the
// program's folders are Windows-1252.
bool BuildAll(const std::string& dataDir, const std::string& dataRoot1252) {
  return RunBuilder("diphones", voicedata::BuildDiphones, dataDir,
                    platform::Cp1252ToUtf8(voicedata::DiphoneFolder(dataRoot1252))) &&
         RunBuilder("letters", voicedata::BuildLetters, dataDir,
                    platform::Cp1252ToUtf8(voicedata::LettersFolder(dataRoot1252))) &&
         RunBuilder("prompts", voicedata::BuildPrompts, dataDir,
                    platform::Cp1252ToUtf8(voicedata::PromptsFolder(dataRoot1252))) &&
         RunBuilder("aravo", voicedata::InstallAravoFiles, dataDir,
                    platform::Cp1252ToUtf8(voicedata::AravoFolder(dataRoot1252)));
}

bool MergeSettings(const std::string& iniFile, const std::string& dataRoot1252, const std::string& program1252) {
  bool changed = false;
  std::string error;
  if (!voicedata::MergeProfileFile(iniFile, voicedata::VoiceSettings(dataRoot1252, program1252), changed, error)) {
    std::fprintf(stderr, "voicedata: settings: %s\n", error.c_str());
    return false;
  }
  std::printf("settings: %s %s\n", iniFile.c_str(), changed ? "completed" : "already complete");
  return true;
}

// Each segment recorded as BuildDiphones records it, with where its stressed sound begins.
bool PrintSegments(const std::string& dataDir) {
  std::vector<voicedata::SourceEntry> entries;
  std::string error;
  if (!voicedata::ReadSourceList(dataDir + "/diphone/segmentos.txt", entries, error) || !voicedata::VoiceStart(error)) {
    std::fprintf(stderr, "voicedata: segments: %s\n", error.c_str());
    return false;
  }
  for (const voicedata::SourceEntry& entry : entries) {
    std::vector<float> samples;
    long vowel = -1;
    if (!voicedata::RecordSounds(entry.text, samples, error, &vowel)) {
      std::fprintf(stderr, "voicedata: segments: %s: %s\n", entry.name.c_str(), error.c_str());
      return false;
    }
    std::printf("%s\t%zu\t%ld\n", entry.name.c_str(), samples.size(), vowel);
  }
  return true;
}

int Run(const std::vector<std::string>& args) {
  if (args.empty()) return -1;
  const std::string& command = args[0];
  const std::size_t count = args.size() - 1;
  if (command == "diphones" && count == 2) return RunBuilder("diphones", voicedata::BuildDiphones, args[1], args[2]) ? 0 : 1;
  if (command == "letters" && count == 2) return RunBuilder("letters", voicedata::BuildLetters, args[1], args[2]) ? 0 : 1;
  if (command == "prompts" && count == 2) return RunBuilder("prompts", voicedata::BuildPrompts, args[1], args[2]) ? 0 : 1;
  if (command == "all" && (count == 1 || count == 2)) {
    const std::string root = count == 2 ? platform::Utf8ToCp1252(args[2]) : platform::DataFolder();
    return BuildAll(args[1], root) ? 0 : 1;
  }
  if (command == "settings" && (count == 2 || count == 3)) {
    return MergeSettings(args[1], platform::Utf8ToCp1252(args[2]), count == 3 ? platform::Utf8ToCp1252(args[3]) : "")
               ? 0
               : 1;
  }
  if (command == "package" && count == 2) {
    // The data of the Windows package and its VERANTO.INI, in a folder of its own.
    const std::string folder = args[2];
    bool changed = false;
    std::string error;
    if (!BuildAll(args[1], platform::Utf8ToCp1252(folder))) return 1;
    if (!voicedata::MergeProfileFile(folder + "/VERANTO.INI", voicedata::PackageSettings(), changed, error)) {
      std::fprintf(stderr, "voicedata: package settings: %s\n", error.c_str());
      return 1;
    }
    return 0;
  }
  if (command == "segments" && count == 1) return PrintSegments(args[1]) ? 0 : 1;
  if (command == "setup" && (count == 1 || count == 2)) {
    const std::string ini = platform::Cp1252ToUtf8(platform::WindowsFolderFile("VERANTO.INI"));
    const std::string program = count == 2 ? platform::Utf8ToCp1252(args[2]) : "";
    return BuildAll(args[1], platform::DataFolder()) && MergeSettings(ini, platform::DataFolder(), program) ? 0 : 1;
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--force") == 0) {
      force = true;
    } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    } else {
      args.emplace_back(argv[i]);
    }
  }
  const int result = Run(args);
  voicedata::VoiceEnd();
  if (result < 0) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  return result;
}
