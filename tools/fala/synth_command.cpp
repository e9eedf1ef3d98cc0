// fala synth: .pho lines to a WAV file through the synthesizer library, loaded as the Aravo
// engine loads it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "platform/system.h"
#include "speech/aravo/mbrola_binding.h"

namespace fala {
namespace {

constexpr const char* kUsage =
    "usage: fala synth [FILE.pho|-] -o OUT.wav [--voice PATH]\n"
    "  reads .pho lines (standard input without FILE or with -) and writes 16-bit mono WAV\n"
    "  voice: --voice, else $VERANTO_VOICE, else the installed formant voice\n";
constexpr int kReadSamples = 16000;

std::string VoicePath(const std::string& given) {
  if (!given.empty()) return given;
  const char* fromEnvironment = std::getenv("VERANTO_VOICE");
  if (fromEnvironment != nullptr && *fromEnvironment != '\0') return fromEnvironment;
  return FALA_FORMANT_VOICE;
}

// The library next to the program first, then the one this build made, then the system's.
bool BindLibrary() {
  const std::string program = platform::ProgramPath();
  const size_t separator = program.rfind(platform::kPathSeparator);
  if (separator != std::string::npos) {
    const std::string besideProgram = program.substr(0, separator + 1) + aravo::kMbrolaLibrary;
    if (platform::FileExists(besideProgram) && aravo::MbrolaBind(besideProgram)) return true;
  }
  return aravo::MbrolaBind(FALA_MBROLA_LIBRARY) || aravo::MbrolaBind(aravo::kMbrolaLibrary);
}

void PutLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xff);
}

bool WriteWave(const std::string& path, const std::vector<int16_t>& samples, int rate) {
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::string header = "RIFF";
  PutLittleEndian(header, 36 + dataBytes, 4);
  header += "WAVEfmt ";
  PutLittleEndian(header, 16, 4);
  PutLittleEndian(header, 1, 2);  // PCM
  PutLittleEndian(header, 1, 2);  // mono
  PutLittleEndian(header, static_cast<uint32_t>(rate), 4);
  PutLittleEndian(header, static_cast<uint32_t>(rate) * 2, 4);
  PutLittleEndian(header, 2, 2);
  PutLittleEndian(header, 16, 2);
  header += "data";
  PutLittleEndian(header, dataBytes, 4);
  std::string body;
  body.reserve(dataBytes);
  for (int16_t sample : samples) PutLittleEndian(body, static_cast<uint16_t>(sample), 2);
  std::ofstream file(path, std::ios::binary);
  file << header << body;
  file.close();
  return static_cast<bool>(file);
}

std::string LastErrorText() {
  char text[256] = {};
  aravo::Mbrola().lastErrorText(text, sizeof text);
  return text;
}

// Reads every sample that is ready; false on a synthesis error.
bool Drain(std::vector<int16_t>& samples) {
  std::vector<int16_t> buffer(kReadSamples);
  for (;;) {
    const int count = aravo::Mbrola().read(buffer.data(), kReadSamples);
    if (count < 0) return false;
    if (count == 0) return true;
    samples.insert(samples.end(), buffer.begin(), buffer.begin() + count);
  }
}

int Synthesize(std::istream& input, const std::string& output, const std::string& voice) {
  if (!BindLibrary()) {
    std::fputs("fala synth: cannot load the synthesizer library\n", stderr);
    return 1;
  }
  const aravo::MbrolaFunctions& mbrola = aravo::Mbrola();
  const int initialised = mbrola.init(const_cast<char*>(voice.c_str()));
  if (initialised < 0) {
    std::fprintf(stderr, "fala synth: %s (%d)\n", LastErrorText().c_str(), initialised);
    aravo::MbrolaUnbind();
    return 1;
  }
  std::vector<int16_t> samples;
  std::string line;
  int lineNumber = 0;
  bool good = true;
  while (good && std::getline(input, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line += "\r\n";
    mbrola.write(const_cast<char*>(line.c_str()));
    good = mbrola.lastError() == 0 && Drain(samples);
  }
  if (good) {
    mbrola.flush();
    good = Drain(samples) && Drain(samples);
  }
  const int rate = mbrola.getFrequency();
  if (!good) {
    std::fprintf(stderr, "fala synth: line %d: %s (%d)\n", lineNumber, LastErrorText().c_str(),
                 mbrola.lastError());
  }
  mbrola.close();
  aravo::MbrolaUnbind();
  if (!good) return 1;
  if (!WriteWave(output, samples, rate)) {
    std::fprintf(stderr, "fala synth: cannot write %s\n", output.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int SynthCommand(const Output&, const std::vector<std::string>& arguments) {
  std::string input, output, voice;
  bool inputSeen = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if ((argument == "-o" || argument == "--voice") && i + 1 < arguments.size()) {
      (argument == "-o" ? output : voice) = arguments[++i];
    } else if (!inputSeen && (argument == "-" || argument.empty() || argument[0] != '-')) {
      input = argument;
      inputSeen = true;
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (output.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (input.empty() || input == "-") return Synthesize(std::cin, output, VoicePath(voice));
  std::ifstream file(input, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "fala synth: cannot read %s\n", input.c_str());
    return 1;
  }
  return Synthesize(file, output, VoicePath(voice));
}

}  // namespace fala
