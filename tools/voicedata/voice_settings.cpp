// The settings set-up writes.
#include "voice_settings.h"

#include "platform/system.h"

namespace voicedata {
namespace {

std::string Below(const std::string& root, const std::string& rest) {
  std::string folder = root;
  while (folder.size() > 1 && folder.back() == platform::kPathSeparator) folder.pop_back();
  if (folder != std::string(1, platform::kPathSeparator)) folder += platform::kPathSeparator;
  return folder + rest;
}

struct SpeedTuning {
  int cut;          // CORTEFON: bytes taken off the end of an unstressed segment
  int floor;        // SOBRAFON: what a cut segment keeps at least
  int gap;          // INTERPAL: silence between words, in samples
  int fullStop;     // PAUSAPONTO, ms
  int comma;        // PAUSAVIRG, ms
  int colon;        // PAUSADOISPONTOS, ms
};

// Speed 1 (slow) to 5 (fast). The segments are whole stressed syllables of about 200 to
// 300 ms (2 200 to 3 300 bytes); an unstressed syllable is shortened by the cut, and the
// floor of about 80 ms keeps short syllables from vanishing at the fast speeds.
constexpr SpeedTuning kTuning[5] = {
    {300, 1100, 1000, 450, 300, 350},
    {550, 1000, 700, 350, 220, 280},
    {800, 900, 400, 250, 150, 200},
    {1000, 900, 200, 200, 120, 150},
    {1200, 900, 100, 150, 100, 120},
};

}  // namespace

std::string DiphoneFolder(const std::string& dataRoot) { return Below(dataRoot, "lumivar/som/difones"); }
std::string LettersFolder(const std::string& dataRoot) { return Below(dataRoot, "lumivar/som/letras"); }
std::string PromptsFolder(const std::string& dataRoot) { return Below(dataRoot, "lumivar/som/audival"); }
std::string AravoFolder(const std::string& dataRoot) { return Below(dataRoot, "lumivar/aravotts"); }

std::vector<ProfileEntry> VoiceSettings(const std::string& dataRoot, const std::string& programFolder) {
  std::vector<ProfileEntry> entries;
  if (!programFolder.empty()) entries.push_back({"VERANTO", "PGMVERANTO", programFolder});
  entries.push_back({"AUDIVAL", "DIRAUDIVAL", PromptsFolder(dataRoot)});
  entries.push_back({"TRADUTOR", "DIRLETRAS", LettersFolder(dataRoot)});
  entries.push_back({"TRADUTOR", "DIRDIFONES", DiphoneFolder(dataRoot)});
  entries.push_back({"TRADUTOR", "VELOCIDADE", "3"});
  entries.push_back({"TRADUTOR", "SAPI", "N"});
  for (int speed = 1; speed <= 5; ++speed) {
    const SpeedTuning& t = kTuning[speed - 1];
    const std::string n = std::to_string(speed);
    entries.push_back({"SINTETIZADOR", "DIFONES" + n, "DIFONES2"});
    entries.push_back({"SINTETIZADOR", "CORTEFON" + n, std::to_string(t.cut)});
    entries.push_back({"SINTETIZADOR", "SOBRAFON" + n, std::to_string(t.floor)});
    entries.push_back({"SINTETIZADOR", "INTERPAL" + n, std::to_string(t.gap)});
    entries.push_back({"SINTETIZADOR", "CORTAFALA" + n, "N"});
    entries.push_back({"SINTETIZADOR", "RAPIDINHO" + n, "N"});
    entries.push_back({"SINTETIZADOR", "PAUSAPONTO" + n, std::to_string(t.fullStop)});
    entries.push_back({"SINTETIZADOR", "PAUSAVIRG" + n, std::to_string(t.comma)});
    entries.push_back({"SINTETIZADOR", "PAUSADOISPONTOS" + n, std::to_string(t.colon)});
  }
  // Linux has no registry to find the engine's voice by name: its path is the setting.
  entries.push_back({"ARAVOTTS", "MBROLA_DB", Below(AravoFolder(dataRoot), "br1.voice")});
  entries.push_back({"ARAVOTTS", "DIR", Below(AravoFolder(dataRoot), "")});
  entries.push_back({"ARAVOTTS", "BASE", "portug"});
  entries.push_back({"VIDEO", "CANTOTELA", "SIM"});
  entries.push_back({"BRAILLE", "MODO", "0"});
  return entries;
}

}  // namespace voicedata
