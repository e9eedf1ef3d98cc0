#include "voice.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "errors.h"

namespace formant {
namespace {

constexpr int kVoiceVersion = 1;

struct Key {
  const char* name;
  int param;
};
constexpr Key kKeys[] = {
    {"f1", kF1},        {"f2", kF2},        {"f3", kF3},        {"f4", kF4},
    {"f5", kF5},        {"f6", kF6},        {"b1", kB1},        {"b2", kB2},
    {"b3", kB3},        {"b4", kB4},        {"b5", kB5},        {"b6", kB6},
    {"np", kNasalPole}, {"nz", kNasalZero}, {"av", kVoicing},   {"ah", kAspiration},
    {"af", kFrication}, {"a2", kParallel2}, {"a3", kParallel3}, {"a4", kParallel4},
    {"a5", kParallel5}, {"a6", kParallel6}, {"ab", kBypass},
};

struct ClassName {
  const char* name;
  PhoneClass phoneClass;
};
constexpr ClassName kClasses[] = {
    {"silence", PhoneClass::kSilence},
    {"vowel", PhoneClass::kVowel},
    {"glide", PhoneClass::kGlide},
    {"liquid", PhoneClass::kLiquid},
    {"tap", PhoneClass::kTap},
    {"nasal", PhoneClass::kNasal},
    {"fricative", PhoneClass::kFricative},
    {"stop", PhoneClass::kStop},
    {"affricate", PhoneClass::kAffricate},
    {"aspirate", PhoneClass::kAspirate},
};

bool ParseNumber(const std::string& text, float& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const double parsed = std::strtod(text.c_str(), &end);
  if (errno != 0 || *end != '\0' || !(parsed > -1e6 && parsed < 1e6)) return false;
  value = static_cast<float>(parsed);
  return true;
}

// Reads "key=value" words into a phoneme; false on an unknown key or a bad number.
bool ParseAssignments(std::istringstream& words, Phoneme& phoneme) {
  std::string word;
  while (words >> word) {
    const size_t equals = word.find('=');
    if (equals == std::string::npos) return false;
    const std::string key = word.substr(0, equals);
    float value = 0;
    if (!ParseNumber(word.substr(equals + 1), value)) return false;
    if (key == "burst") {
      phoneme.burstDb = value;
    } else if (key == "release") {
      phoneme.releaseMs = value;
    } else {
      bool known = false;
      for (const Key& candidate : kKeys) {
        if (key == candidate.name) {
          phoneme.targets[candidate.param] = value;
          known = true;
        }
      }
      if (!known) return false;
    }
  }
  return true;
}

bool ParseClass(const std::string& name, PhoneClass& phoneClass) {
  for (const ClassName& candidate : kClasses) {
    if (name == candidate.name) {
      phoneClass = candidate.phoneClass;
      return true;
    }
  }
  return false;
}

bool ParseSource(std::istringstream& words, Voice& voice) {
  std::string word;
  while (words >> word) {
    const size_t equals = word.find('=');
    float value = 0;
    if (equals == std::string::npos || !ParseNumber(word.substr(equals + 1), value)) {
      return false;
    }
    const std::string key = word.substr(0, equals);
    if (key == "oq" && value >= 0.2f && value <= 0.9f) {
      voice.openQuotient = value;
    } else if (key == "tilt" && value >= 0 && value < 1) {
      voice.tilt = value;
    } else if (key == "flutter" && value >= 0 && value <= 100) {
      voice.flutter = value;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int LoadVoice(const std::string& path, Voice& voice, std::string& message) {
  voice = Voice();
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    message = "voice not found: " + path;
    return kErrorVoiceNotFound;
  }
  Phoneme defaults;
  bool versionSeen = false;
  std::string line;
  int lineNumber = 0;
  while (std::getline(file, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string keyword;
    if (!(words >> keyword) || keyword[0] == '#') continue;
    bool good = true;
    if (!versionSeen) {
      int version = 0;
      if (keyword != "formant-voice" || !(words >> version)) {
        message = "not a formant voice: " + path;
        return kErrorVoiceFormat;
      }
      if (version != kVoiceVersion) {
        message = "wrong voice version in " + path;
        return kErrorVoiceVersion;
      }
      versionSeen = true;
      continue;
    }
    if (keyword == "rate") {
      good = static_cast<bool>(words >> voice.rate) && voice.rate >= 8000 && voice.rate <= 48000;
    } else if (keyword == "pitch") {
      good = static_cast<bool>(words >> voice.defaultPitch) && voice.defaultPitch >= 40 &&
             voice.defaultPitch <= 600;
    } else if (keyword == "gain") {
      good = static_cast<bool>(words >> voice.gain) && voice.gain > 0 && voice.gain < 100;
    } else if (keyword == "source") {
      good = ParseSource(words, voice);
    } else if (keyword == "info") {
      std::string text;
      std::getline(words, text);
      const size_t start = text.find_first_not_of(" \t");
      voice.info.push_back(start == std::string::npos ? std::string() : text.substr(start));
    } else if (keyword == "default") {
      good = ParseAssignments(words, defaults);
    } else if (keyword == "phone") {
      Phoneme phoneme = defaults;
      std::string className;
      good = static_cast<bool>(words >> phoneme.name >> className) && phoneme.name.size() <= 7 &&
             ParseClass(className, phoneme.phoneClass) && ParseAssignments(words, phoneme) &&
             voice.index.count(phoneme.name) == 0;
      if (good) {
        voice.index[phoneme.name] = static_cast<int>(voice.phonemes.size());
        voice.phonemes.push_back(phoneme);
      }
    } else {
      good = false;
    }
    if (!good) {
      message = "voice format error in " + path + " line " + std::to_string(lineNumber);
      return kErrorVoiceFormat;
    }
  }
  if (!versionSeen) {
    message = "not a formant voice: " + path;
    return kErrorVoiceFormat;
  }
  const auto silence = voice.index.find("_");
  if (silence == voice.index.end()) {
    message = "voice has no silence: " + path;
    return kErrorNoSilence;
  }
  voice.silence = silence->second;
  return 0;
}

int RenamePhonemes(Voice& voice, const char* pairs, bool clone, std::string& message) {
  if (pairs == nullptr) return 0;
  std::istringstream words(pairs);
  std::vector<std::string> names;
  std::string word;
  while (words >> word) names.push_back(word);
  if (names.size() % 2 != 0) {
    message = "odd number of names in phoneme renaming";
    return kErrorRename;
  }
  for (size_t i = 0; i < names.size(); i += 2) {
    const auto from = voice.index.find(names[i]);
    if (from == voice.index.end() || names[i + 1].size() > 7) {
      message = "cannot rename unknown phoneme " + names[i];
      return kErrorRename;
    }
    const int target = from->second;
    if (!clone) voice.index.erase(from);
    voice.index[names[i + 1]] = target;
  }
  voice.silence = voice.index.count("_") ? voice.index["_"] : voice.silence;
  return 0;
}

}  // namespace formant
