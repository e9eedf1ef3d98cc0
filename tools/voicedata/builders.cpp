// The three builders and their stamps.
#include "builders.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

#include "diphone_database.h"
#include "espeak_voice.h"
#include "platform/encoding.h"
#include "recording.h"
#include "shaping.h"
#include "source_list.h"

namespace voicedata {
namespace {

// Raise when what the builders make from the same sources changes.
constexpr const char* kToolVersion = "voicedata 1";
constexpr const char* kStampName = ".voicedata-stamp";
constexpr const char* kDatabaseName = "DIFONES2";

std::string Join(const std::string& folder, const std::string& name) {
  return (std::filesystem::path(folder) / name).string();
}

// FNV-1a over the tool version, the voice version and every source's name and bytes.
std::string StampOf(const std::vector<std::pair<std::string, std::string>>& sources) {
  std::uint64_t hash = 14695981039346656037ULL;
  const auto add = [&hash](const std::string& bytes) {
    for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ULL;
    hash = (hash ^ 0xFF) * 1099511628211ULL;  // keeps "ab"+"c" apart from "a"+"bc"
  };
  add(kToolVersion);
  add(VoiceVersion());
  for (const auto& [name, bytes] : sources) {
    add(name);
    add(bytes);
  }
  char text[32];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return std::string(kToolVersion) + " " + text + "\n";
}

bool UpToDate(const std::string& outDir, const std::string& stamp, const std::vector<std::string>& outputs) {
  std::string written;
  if (!ReadWholeFile(Join(outDir, kStampName), written) || written != stamp) return false;
  std::error_code code;
  for (const std::string& name : outputs) {
    if (!std::filesystem::is_regular_file(Join(outDir, name), code)) return false;
  }
  return true;
}

bool PrepareFolder(const std::string& outDir, std::string& error) {
  std::error_code code;
  std::filesystem::create_directories(outDir, code);
  if (!std::filesystem::is_directory(outDir, code)) {
    error = "cannot create the folder " + outDir;
    return false;
  }
  // An interrupted build must not look finished next time.
  std::filesystem::remove(Join(outDir, kStampName), code);
  return true;
}

bool ReadSources(const std::string& dataDir, const std::vector<std::string>& relativePaths,
                 std::vector<std::pair<std::string, std::string>>& sources, std::string& error) {
  for (const std::string& relative : relativePaths) {
    std::string bytes;
    if (!ReadWholeFile(Join(dataDir, relative), bytes)) {
      error = "cannot read " + Join(dataDir, relative);
      return false;
    }
    sources.emplace_back(relative, std::move(bytes));
  }
  return true;
}

bool ParseSource(const std::pair<std::string, std::string>& source, std::vector<SourceEntry>& entries,
                 std::string& error) {
  if (ParseSourceList(source.second, entries, error)) return true;
  error = source.first + ": " + error;
  return false;
}

// Speaks every entry (as phoneme mnemonics or as text) and converts the whole set with one gain.
bool RecordSet(const std::vector<SourceEntry>& entries, bool mnemonics, std::vector<std::string>& converted,
               std::string& error) {
  std::vector<std::vector<float>> recorded(entries.size());
  float peak = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::string why;
    const bool ok = mnemonics ? RecordSounds(entries[i].text, recorded[i], why)
                              : RecordText(entries[i].text, recorded[i], why);
    if (!ok) {
      error = entries[i].name + " (" + platform::Cp1252ToUtf8(entries[i].text) + "): " + why;
      return false;
    }
    peak = std::max(peak, PeakOf(recorded[i]));
  }
  const double gain = GainForPeak(peak);
  converted.clear();
  for (const std::vector<float>& samples : recorded) converted.push_back(ToUnsigned8(samples, gain));
  return true;
}

// Letters, digits and "_": a recording's name never leaves its folder.
bool PlainFileName(const std::string& name) {
  for (char c : name) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    if (!plain) return false;
  }
  return !name.empty();
}

bool FinishBuild(const std::string& outDir, const std::string& stamp, std::string& error) {
  if (!WriteWholeFile(Join(outDir, kStampName), stamp)) {
    error = "cannot write " + Join(outDir, kStampName);
    return false;
  }
  return true;
}

bool BuildRecordings(const std::string& dataDir, const std::vector<std::string>& lists, const std::string& outDir,
                     bool force, BuildReport& report, std::string& error) {
  report = BuildReport();
  std::vector<std::pair<std::string, std::string>> sources;
  if (!ReadSources(dataDir, lists, sources, error)) return false;
  std::vector<SourceEntry> entries;
  for (const auto& source : sources) {
    std::vector<SourceEntry> listed;
    if (!ParseSource(source, listed, error)) return false;
    entries.insert(entries.end(), listed.begin(), listed.end());
  }
  std::set<std::string> names;
  std::vector<std::string> outputs;
  for (const SourceEntry& entry : entries) {
    if (!PlainFileName(entry.name) || !names.insert(entry.name).second) {
      error = platform::Cp1252ToUtf8(entry.name);
      error += ": not a plain file name (letters, digits, \"_\"), or given twice";
      return false;
    }
    outputs.push_back(entry.name + ".wav");
  }
  const std::string stamp = StampOf(sources);
  if (!force && UpToDate(outDir, stamp, outputs)) {
    report.skipped = true;
    report.files = static_cast<int>(outputs.size());
    return true;
  }
  std::vector<std::string> converted;
  if (!PrepareFolder(outDir, error) || !VoiceStart(error) || !RecordSet(entries, false, converted, error)) {
    return false;
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!WriteWholeFile(Join(outDir, outputs[i]), WaveFile8(converted[i]))) {
      error = "cannot write " + Join(outDir, outputs[i]);
      return false;
    }
    report.bytes += static_cast<long long>(converted[i].size());
  }
  report.files = static_cast<int>(entries.size());
  return FinishBuild(outDir, stamp, error);
}

}  // namespace

bool BuildDiphones(const std::string& dataDir, const std::string& outDir, bool force, BuildReport& report,
                   std::string& error) {
  report = BuildReport();
  std::vector<std::pair<std::string, std::string>> sources;
  if (!ReadSources(dataDir, {"diphone/segmentos.txt", "diphone/regras.rgr", "diphone/portug.exc"}, sources,
                   error)) {
    return false;
  }
  std::vector<SourceEntry> entries;
  if (!ParseSource(sources[0], entries, error)) return false;
  const std::string indexName = std::string(kDatabaseName) + ".IND";
  const std::string dataName = std::string(kDatabaseName) + ".DIF";
  const std::string stamp = StampOf(sources);
  if (!force && UpToDate(outDir, stamp, {indexName, dataName, "regras.rgr", "portug.exc"})) {
    report.skipped = true;
    report.files = static_cast<int>(entries.size());
    return true;
  }
  std::vector<std::string> converted;
  if (!PrepareFolder(outDir, error) || !VoiceStart(error) || !RecordSet(entries, true, converted, error)) {
    return false;
  }
  std::vector<Segment> segments;
  for (std::size_t i = 0; i < entries.size(); ++i) segments.push_back({entries[i].name, std::move(converted[i])});
  std::string index;
  std::string data;
  if (!BuildDiphoneFiles(std::move(segments), index, data, error)) return false;
  const std::pair<std::string, const std::string*> files[] = {
      {indexName, &index}, {dataName, &data}, {"regras.rgr", &sources[1].second}, {"portug.exc", &sources[2].second}};
  for (const auto& [name, bytes] : files) {
    if (!WriteWholeFile(Join(outDir, name), *bytes)) {
      error = "cannot write " + Join(outDir, name);
      return false;
    }
  }
  report.files = static_cast<int>(entries.size());
  report.bytes = static_cast<long long>(data.size());
  return FinishBuild(outDir, stamp, error);
}

bool BuildLetters(const std::string& dataDir, const std::string& outDir, bool force, BuildReport& report,
                  std::string& error) {
  return BuildRecordings(dataDir, {"recordings/letras.txt", "recordings/numeros.txt"}, outDir, force, report, error);
}

bool BuildPrompts(const std::string& dataDir, const std::string& outDir, bool force, BuildReport& report,
                  std::string& error) {
  return BuildRecordings(dataDir, {"recordings/audival.txt"}, outDir, force, report, error);
}

bool InstallAravoFiles(const std::string& dataDir, const std::string& outDir, bool force, BuildReport& report,
                       std::string& error) {
  report = BuildReport();
  const std::vector<std::pair<std::string, std::string>> files = {
      {"aravo/portug.nrl", "portug.nrl"}, {"aravo/portug.exc", "portug.exc"}, {"aravo/portug.abr", "portug.abr"},
      {"aravo/portug.pro", "portug.pro"}, {"aravo/portug.dfn", "portug.dfn"}, {"formant/br1.voice", "br1.voice"}};
  std::vector<std::string> sourceNames;
  std::vector<std::string> outputs;
  for (const auto& [source, output] : files) {
    sourceNames.push_back(source);
    outputs.push_back(output);
  }
  std::vector<std::pair<std::string, std::string>> sources;
  if (!ReadSources(dataDir, sourceNames, sources, error)) return false;
  const std::string stamp = StampOf(sources);
  report.files = static_cast<int>(files.size());
  if (!force && UpToDate(outDir, stamp, outputs)) {
    report.skipped = true;
    return true;
  }
  if (!PrepareFolder(outDir, error)) return false;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!WriteWholeFile(Join(outDir, outputs[i]), sources[i].second)) {
      error = "cannot write " + Join(outDir, outputs[i]);
      return false;
    }
  }
  return FinishBuild(outDir, stamp, error);
}

}  // namespace voicedata
