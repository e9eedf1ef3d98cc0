// The internal voice: opening the database and the translator's files, and speaking a
// phoneme string by playing the segments its units ask for, with the fallbacks for names the
// database does not hold.
#include "speech/diphone/synthesizer.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>

#include "platform/system.h"
#include "speech/diphone/letter_recording.h"
#include "speech/diphone/output_buffer.h"
#include "speech/diphone/segment_index.h"
#include "speech/diphone/translator.h"
#include "speech/diphone/unit_split.h"

namespace diphone {
namespace {

using detail::SegmentRecord;

constexpr const char* kSettingsFile = "VERANTO.INI";
constexpr const char* kSection = "TRADUTOR";
constexpr std::size_t kDatabaseNameCapacity = 8;
constexpr double kFallbackFactor = 0.9;

struct Settings {
  std::string database = "DIFONES2";
  int cut = 400;
  int floor = 0;
  int gap = 100;
};

struct SynthesizerState {
  std::string lettersFolder;
  std::string diphoneFolder;
  std::vector<SegmentRecord> index;
  std::FILE* data = nullptr;
  bool rulesHeld = false;
};

Settings settings;
SynthesizerState state;

bool HasDrive(const std::string& folder) {
  return folder.size() >= 2 && folder[1] == ':' && std::isalpha(static_cast<unsigned char>(folder[0]));
}

std::string WithSeparator(std::string folder) {
  if (folder.empty() || (folder.back() != '\\' && folder.back() != platform::kPathSeparator)) {
    folder += platform::kPathSeparator;
  }
  return folder;
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::FILE* OpenForReading(const std::string& path) {
  return std::fopen(platform::FileSystemName(path).c_str(), "rb");
}

// Bytes from the current position to the end; the position is left at the start.
std::uint64_t FileSize(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return 0;
  const long size = std::ftell(file);
  std::rewind(file);
  return size < 0 ? 0 : static_cast<std::uint64_t>(size);
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::FILE* file = OpenForReading(path);
  if (file == nullptr) return false;
  std::uint8_t chunk[4096];
  for (std::size_t read; (read = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
    bytes.insert(bytes.end(), chunk, chunk + read);
  }
  std::fclose(file);
  return true;
}

// Puts the program's folder back (and, first, the folder the letters folder's drive had),
// however the open ends.
class FolderRestorer {
 public:
  FolderRestorer() : programFolder_(platform::CurrentFolder()) {}
  ~FolderRestorer() {
    if (!driveFolder_.empty()) platform::SetCurrentFolder(driveFolder_);
    platform::SetCurrentFolder(programFolder_);
  }
  FolderRestorer(const FolderRestorer&) = delete;
  FolderRestorer& operator=(const FolderRestorer&) = delete;

  void RememberDriveFolder() { driveFolder_ = platform::CurrentFolder(); }

 private:
  std::string programFolder_;
  std::string driveFolder_;
};

// The folders, the index and the data file; the current folder is restored on every path.
bool OpenDatabaseFiles() {
  FolderRestorer restorer;
  // Both folders are read, and a relative one taken from the current folder, before the
  // first change of folder: otherwise the second would be looked for inside the first.
  const std::string letters = platform::AbsolutePath(
      platform::ReadProfileString(kSection, "DIRLETRAS", "c:\\lumivar\\som\\letras", platform::kPathCapacity, kSettingsFile));
  const std::string diphones = platform::AbsolutePath(
      platform::ReadProfileString(kSection, "DIRDIFONES", "c:\\lumivar\\som\\difones", platform::kPathCapacity, kSettingsFile));
  if (HasDrive(letters)) {
    if (!platform::SetCurrentFolder(letters.substr(0, 2))) return false;
    restorer.RememberDriveFolder();
  }
  if (!platform::SetCurrentFolder(letters)) return false;
  state.lettersFolder = WithSeparator(letters);

  if (!platform::SetCurrentFolder(diphones)) return false;
  state.diphoneFolder = WithSeparator(diphones);

  const std::string base = state.diphoneFolder + settings.database;
  std::vector<std::uint8_t> indexBytes;
  if (!ReadWholeFile(base + ".IND", indexBytes)) return false;
  state.data = OpenForReading(base + ".DIF");
  if (state.data == nullptr) return false;
  state.index = detail::ParseSegmentIndex(indexBytes.data(), indexBytes.size(), FileSize(state.data));
  return true;
}

void PlayLetterRecording(const std::string& name) {
  std::FILE* file = OpenForReading(state.lettersFolder + name + ".wav");
  if (file == nullptr) return;
  detail::SampleSpan span;
  if (detail::FindWaveSamples(file, FileSize(file), span) &&
      std::fseek(file, static_cast<long>(span.offset), SEEK_SET) == 0) {
    detail::OutputAppendFromFile(file, span.length);
  }
  std::fclose(file);
}

// Plays one name in `stressMode` with length factor `factor`; a name the database lacks is
// replaced by shorter ones, or by a noise burst when it is already short.
void PlayName(const std::string& name, int stressMode, double factor) {
  if (name.empty()) return;
  if (name[0] == '_') {
    PlayLetterRecording(name);
    return;
  }
  if (const SegmentRecord* record = detail::FindSegment(state.index, Upper(name))) {
    const long whole = record->length;
    long length = whole;
    if (stressMode < detail::kStressed && name.size() > 2) {
      length -= settings.cut;
      if (length < settings.floor) length = std::min<long>(whole, settings.floor);
    }
    // Whatever the tuning, never more than the segment and never less than nothing.
    length = std::clamp<long>(length, 0, whole);
    const auto count = static_cast<std::uint64_t>(static_cast<double>(length) * factor);
    if (count > 0 && record->offset <= static_cast<std::uint32_t>(LONG_MAX) &&
        std::fseek(state.data, static_cast<long>(record->offset), SEEK_SET) == 0) {
      detail::OutputAppendFromFile(state.data, std::min<std::uint64_t>(count, record->length));
    }
    return;
  }
  if (name.size() <= 2) {
    detail::OutputNoiseBurst();
    return;
  }
  const double shorter = kFallbackFactor * factor;
  const std::size_t n = name.size();
  const char last = name[n - 1];
  if (detail::IsVowelLike(last)) {
    PlayName(name.substr(0, n - 1), stressMode, shorter);
    PlayName(std::string("$") + last, stressMode, factor);
  } else if (n >= 7 && name.compare(n - 4, 4, "CIRC") == 0) {
    PlayName(name.substr(0, n - 5), stressMode, shorter);
    std::string closedVowel = "$";
    closedVowel.append(name, n - 5, std::string::npos);
    PlayName(closedVowel, stressMode, factor);
  } else if (name.compare(n - 3, 3, "TIL") == 0) {
    // A nasal vowel missing: its closed form, stressed, then a short nasal consonant.
    std::string closed = name.substr(0, n - 3);
    int closedMode = stressMode;
    const char vowel = closed.empty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(closed.back())));
    if (vowel != 'I' && vowel != 'U') {
      closed += "CIRC";
      closedMode = detail::kStressed;
    }
    PlayName(closed, closedMode, shorter);
    PlayName("$nn", detail::kWordStart, kFallbackFactor);
  }
}

void ReleaseAll() {
  detail::OutputRelease();
  if (state.rulesHeld) FreeRules();
  if (state.data != nullptr) std::fclose(state.data);
  state.data = nullptr;
  state.rulesHeld = false;
  state.index.clear();
  state.index.shrink_to_fit();
}

}  // namespace

void DiphoneStart() { settings = Settings(); }

void DiphoneSetDatabase(const std::string& name) { settings.database = name.substr(0, kDatabaseNameCapacity); }
void DiphoneSetCut(int bytes) { settings.cut = bytes; }
void DiphoneSetFloor(int bytes) { settings.floor = bytes; }
void DiphoneSetGap(int samples) { settings.gap = samples; }

void DiphoneSetOutputSink(std::function<void(const std::uint8_t* samples, std::size_t count)> sink) {
  detail::OutputSetSink(std::move(sink));
}

int DiphoneOpen() {
  ReleaseAll();
  if (!OpenDatabaseFiles()) {
    ReleaseAll();
    return kDiphoneFilesMissing;
  }
  state.rulesHeld = true;
  if (!LoadRules(state.diphoneFolder + "regras.rgr") || !LoadExceptions(state.diphoneFolder + "portug.exc")) {
    ReleaseAll();
    return kDiphoneRulesMissing;
  }
  if (!detail::OutputAllocate()) {
    ReleaseAll();
    return kDiphoneFilesMissing;
  }
  return kDiphoneReady;
}

void DiphoneClose() { ReleaseAll(); }

std::string DiphoneLettersFolder() { return state.lettersFolder; }

void DiphoneSpeak(const std::string& phonemes, bool keepPunctuation) {
  if (state.data == nullptr || !detail::OutputAllocated()) return;
  detail::OutputBegin();
  const detail::PhonemeWalker walker{PlayName, detail::OutputSilence};
  detail::WalkPhonemes(phonemes, keepPunctuation, settings.gap, walker);
  detail::OutputFlush();
}

std::vector<std::string> DiphoneSegmentNames(const std::string& phonemes, bool keepPunctuation) {
  std::vector<std::string> names;
  const detail::PhonemeWalker walker{
      [&names](const std::string& name, int, double) { names.push_back(name[0] == '_' ? name : Upper(name)); },
      [](int) {}};
  detail::WalkPhonemes(phonemes, keepPunctuation, settings.gap, walker);
  return names;
}

}  // namespace diphone
