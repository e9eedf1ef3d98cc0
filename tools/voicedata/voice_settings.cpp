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
  int gap;          // INTERPAL: silence after a word, in samples (played at the playback rate)
  bool fast;        // RAPIDINHO: the player plays at 1.5 times the rate (and a fifth higher)
  int fullStop;     // PAUSAPONTO, ms
  int comma;        // PAUSAVIRG, ms
  int colon;        // PAUSADOISPONTOS, ms
};

// Speed 1 (slow) to 5 (fast): speed 1 lasts about 2.2 times as long as speed 5 on the same
// text (bench/run_diphone_speeds.sh measures it with `fala diphone --speed N`), each speed
// some 15 % or more faster than the one before.
//
// The segments are whole syllables of 130 to 320 ms (1 400 to 3 500 bytes); the consonant
// before the vowel takes up to 185 ms of them ($KW..., $NH..., $LH...; the 30 ms of closure
// set-up keeps before every segment included). A cut of 200 bytes with a floor of 1 400 keeps
// the consonant and at least half the vowel of every segment of the database
// (tests/voicedata/speed_tuning_test.cpp measures it); any deeper cut eats into the vowel of
// the long-onset syllables whatever floor short syllables get, so the cut stays there and the
// fast speeds come from fast playback, which shortens everything alike and cuts nothing, and
// from shorter gaps and pauses.
constexpr SpeedTuning kTuning[5] = {
    {0, 1400, 1600, false, 700, 450, 550},
    {100, 1400, 900, false, 450, 300, 350},
    {200, 1400, 300, false, 250, 150, 200},
    {0, 1400, 400, true, 250, 150, 200},
    {200, 1400, 0, true, 100, 50, 50},
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
    entries.push_back({"SINTETIZADOR", "RAPIDINHO" + n, t.fast ? "S" : "N"});
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

std::vector<ProfileEntry> PackageSettings() {
  // The letters and diphone folders are read without folder references.
  const auto readAsWritten = [](const ProfileEntry& entry) {
    return entry.section == "TRADUTOR" && (entry.key == "DIRLETRAS" || entry.key == "DIRDIFONES");
  };
  const std::string start = std::string("@") + platform::kPathSeparator;
  std::vector<ProfileEntry> entries = VoiceSettings("@", "");
  for (ProfileEntry& entry : entries) {
    if (entry.value.rfind(start, 0) != 0) continue;
    for (char& c : entry.value) {
      if (c == platform::kPathSeparator) c = '\\';
    }
    if (readAsWritten(entry)) entry.value.erase(0, 2);
  }
  return entries;
}

}  // namespace voicedata
