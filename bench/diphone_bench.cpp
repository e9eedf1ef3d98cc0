// Synthesis speed of the internal voice: phoneme strings to samples, the player left out
// through the output sink. The text is translated with the shipped rules (not timed); a
// synthetic database is built holding every name the strings ask for (1500 to 2500 bytes
// each), so the run is as long as real speech. Prints times real time (seconds of sound per
// second of CPU).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "peer.h"
#include "platform/encoding.h"
#include "speech/diphone/synthesizer.h"
#include "speech/diphone/translator.h"

namespace {

constexpr double kRate = 11025.0;
constexpr double kTarget = 5000.0;
constexpr int kPasses = 5;

std::uint32_t NameHash(const std::string& name) {
  std::uint32_t hash = 2166136261u;
  for (const char c : name) hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
  return hash;
}

// Samples of a segment of 1500 to 2500 bytes: a shape that differs per name.
std::string SegmentBytes(const std::string& name) {
  const std::uint32_t hash = NameHash(name);
  std::string bytes(1500 + hash % 1001, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(128 + static_cast<int>((hash + i * 7) % 64) - 32);
  return bytes;
}

void Put(std::string& out, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out += static_cast<char>(value >> (8 * i));
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// BENCH.IND / BENCH.DIF with the database names, letter recordings for the "_" names.
std::size_t BuildDatabase(const std::set<std::string>& names, const std::filesystem::path& diphones,
                          const std::filesystem::path& letters) {
  std::string index;
  std::string data;
  std::size_t held = 0;
  for (const std::string& name : names) {
    const std::string samples = SegmentBytes(name);
    if (name[0] == '_') {
      std::string wave = "RIFF";
      Put(wave, static_cast<std::uint32_t>(36 + samples.size()), 4);
      wave += "WAVEfmt ";
      Put(wave, 16, 4);
      Put(wave, 1, 2);
      Put(wave, 1, 2);
      Put(wave, 11025, 4);
      Put(wave, 11025, 4);
      Put(wave, 1, 2);
      Put(wave, 8, 2);
      wave += "data";
      Put(wave, static_cast<std::uint32_t>(samples.size()), 4);
      WriteFile(letters / (platform::Cp1252ToUtf8(name) + ".wav"), wave + samples);
      ++held;
      continue;
    }
    if (name.size() > 8) continue;  // no index record can hold it: it falls back when spoken
    std::string record(1, static_cast<char>(name.size()));
    std::string padded = name;
    padded.resize(8, '\0');
    record += padded;
    Put(record, static_cast<std::uint32_t>(samples.size()), 2);
    Put(record, static_cast<std::uint32_t>(data.size()), 4);
    index += record;
    data += samples;
    ++held;
  }
  WriteFile(diphones / "BENCH.IND", index);
  WriteFile(diphones / "BENCH.DIF", data);
  return held;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: bench_diphone RULES_DIR TEXT.txt SCRATCH_DIR\n", stderr);
    return 2;
  }
  const std::filesystem::path rules = argv[1];
  const std::filesystem::path scratch = argv[3];
  const std::filesystem::path diphones = scratch / "difones";
  const std::filesystem::path letters = scratch / "letras";
  std::filesystem::create_directories(diphones);
  std::filesystem::create_directories(letters);
  std::filesystem::copy_file(rules / "regras.rgr", diphones / "regras.rgr", std::filesystem::copy_options::overwrite_existing);
  std::filesystem::copy_file(rules / "portug.exc", diphones / "portug.exc", std::filesystem::copy_options::overwrite_existing);
  setenv("VERANTO_WINDIR", scratch.c_str(), 1);
  WriteFile(scratch / "VERANTO.INI",
            "[TRADUTOR]\r\nDIRLETRAS=" + letters.string() + "\r\nDIRDIFONES=" + diphones.string() + "\r\n");

  // Translation is not what is measured: every line becomes its phoneme string first.
  if (!diphone::LoadRules((diphones / "regras.rgr").string()) ||
      !diphone::LoadExceptions((diphones / "portug.exc").string())) {
    std::fputs("bench_diphone: the rules cannot be read\n", stderr);
    return 1;
  }
  std::ifstream text(argv[2]);
  std::vector<std::string> strings;
  std::size_t characters = 0;
  for (std::string line; std::getline(text, line);) {
    strings.push_back(diphone::TranslateToPhonemes(platform::Utf8ToCp1252(line)));
    characters += line.size() + 1;
  }
  diphone::FreeRules();

  std::set<std::string> names;
  for (const std::string& phonemes : strings) {
    for (const std::string& name : diphone::DiphoneSegmentNames(phonemes, false)) names.insert(name);
  }
  const std::size_t held = BuildDatabase(names, diphones, letters);

  std::uint64_t samples = 0;
  diphone::DiphoneSetOutputSink([&samples](const std::uint8_t*, std::size_t count) { samples += count; });
  diphone::DiphoneSetDatabase("BENCH");
  if (diphone::DiphoneOpen() != diphone::kDiphoneReady) {
    std::fputs("bench_diphone: the synthetic database does not open\n", stderr);
    return 1;
  }
  const double start = bench::ProcessCpuSeconds();
  for (int pass = 0; pass < kPasses; ++pass) {
    for (const std::string& phonemes : strings) diphone::DiphoneSpeak(phonemes, false);
  }
  const double cpu = bench::ProcessCpuSeconds() - start;
  diphone::DiphoneClose();

  const double audio = static_cast<double>(samples) / kRate;
  const double times = cpu > 0 ? audio / cpu : 0;
  std::printf("text: %zu lines, %zu characters; %zu distinct names asked, %zu held\n", strings.size(),
              characters, names.size(), held);
  std::printf("%d passes: %.1f s of sound (%llu samples) in %.3f s of CPU\n", kPasses, audio,
              static_cast<unsigned long long>(samples), cpu);
  std::printf("internal voice: %.0fx real time (target %.0fx: %s)\n", times, kTarget,
              times >= kTarget ? "met" : "NOT met");
  return times >= kTarget ? 0 : 1;
}
