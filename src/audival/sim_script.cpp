// Reading audival-sim's key and microphone scripts.
#include "audival/sim_script.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "audio/capture/capture.h"
#include "audio/player/wave_format.h"
#include "platform/keys.h"
#include "platform/sim/sim.h"

namespace audival {
namespace {

constexpr int kFramesPerBuffer = 1024;
constexpr int kRate = 11025;
constexpr int kSilence = 128;
constexpr int kFullScale = 128;
constexpr int kMeasurementSeconds[] = {5, 10, 10};
constexpr std::size_t kGuardFrames = 32;

std::vector<std::string> Words(const std::string& script) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : script) {
    if (c == ',' || std::isspace(static_cast<unsigned char>(c))) {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

bool ParseWhole(const std::string& text, long long& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return !text.empty() && error == std::errc() && stop == end;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The virtual-key code of a key word; 0 for none.
int KeyCode(const std::string& word) {
  const std::string name = Lower(word);
  if (name == "enter") return platform::kVkReturn;
  if (name == "esc") return platform::kVkEscape;
  if (name == "space") return platform::kVkSpace;
  if (name == "tab") return platform::kVkTab;
  if (name == "backspace") return platform::kVkBack;
  if (name == "up") return platform::kVkUp;
  if (name == "down") return platform::kVkDown;
  if (name == "left") return platform::kVkLeft;
  if (name == "right") return platform::kVkRight;
  if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') return platform::VkLetter(static_cast<char>(name[0] - 32));
  if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') return platform::VkDigit(name[0] - '0');
  long long function = 0;
  if (name.size() >= 2 && name[0] == 'f' && ParseWhole(name.substr(1), function) && function >= 1 &&
      function <= 12) {
    return platform::VkFunction(static_cast<int>(function));
  }
  return 0;
}

// The 8-bit deviations of a WAV file's frames as the microphone records them at 11 025 Hz:
// stereo mixed to the mean, frames repeated or skipped to meet the rate.
bool FileDeviations(const std::string& path, std::vector<int>& deviations, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  const std::vector<std::uint8_t> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  audio::WaveImageInfo info;
  const bool parsed = audio::ParseWaveBuffer(image.data(), image.size(), info);
  if (!parsed || (info.bits != 8 && info.bits != 16) || (info.channels != 1 && info.channels != 2) ||
      info.rate == 0) {
    error = path + " is not an 8- or 16-bit mono or stereo PCM WAV file";
    return false;
  }
  const std::size_t frameBytes = static_cast<std::size_t>(info.channels) * (info.bits / 8);
  const std::size_t fileFrames = info.dataLength / frameBytes;
  const std::uint8_t* data = image.data() + info.dataOffset;
  auto sampleAt = [&](std::size_t frame, int channel) {
    const std::uint8_t* p = data + frame * frameBytes + static_cast<std::size_t>(channel) * (info.bits / 8);
    if (info.bits == 8) return static_cast<int>(*p) - kSilence;
    const int value = static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | p[1] << 8));
    return value >> 8;
  };
  const std::size_t frames = fileFrames * kRate / info.rate;
  deviations.clear();
  for (std::size_t k = 0; k < frames; ++k) {
    const std::size_t frame = k * info.rate / kRate;
    if (frame >= fileFrames) break;
    int sum = 0;
    for (int c = 0; c < info.channels; ++c) sum += sampleAt(frame, c);
    deviations.push_back(sum / info.channels);
  }
  return true;
}

}  // namespace

bool ParseKeys(const std::string& script, std::vector<KeyPress>& keys, std::string& error) {
  keys.clear();
  for (const std::string& word : Words(script)) {
    std::string name = word;
    long long atMs = -1;
    const std::size_t at = word.rfind('@');
    if (at != std::string::npos && at > 0) {
      name = word.substr(0, at);
      if (!ParseWhole(word.substr(at + 1), atMs) || atMs < 0) {
        error = "bad time in key '" + word + "'";
        return false;
      }
    }
    std::vector<std::string> strokes{name};
    if (name.rfind("text:", 0) == 0) {
      strokes.clear();
      for (const char c : name.substr(5)) strokes.push_back(c == '_' ? "space" : std::string(1, c));
    }
    for (const std::string& stroke : strokes) {
      const int key = KeyCode(stroke);
      if (key == 0) {
        error = "unknown key '" + stroke + "' in '" + word + "'";
        return false;
      }
      keys.push_back({key, atMs});
    }
  }
  return true;
}

void ScheduleKeys(const std::vector<KeyPress>& keys) {
  for (const KeyPress& key : keys) {
    if (key.atMs >= 0) {
      sim::PressKeyAt(key.atMs, key.virtualKey);
    } else {
      sim::PressKeyWhenIdle(key.virtualKey);
    }
  }
}

bool BuildMicrophoneSignal(const std::string& script, std::vector<std::uint8_t>& samples,
                           std::string& error) {
  const std::vector<std::string> items = Words(script);
  if (items.size() > std::size(kMeasurementSeconds)) {
    error = "the test run measures three times; the script gives " + std::to_string(items.size());
    return false;
  }
  samples.clear();
  for (std::size_t m = 0; m < std::size(kMeasurementSeconds); ++m) {
    const std::size_t frames = static_cast<std::size_t>(audio::BufferCount(kMeasurementSeconds[m])) * kFramesPerBuffer;
    std::vector<int> deviations;
    const std::string item = m < items.size() ? items[m] : "silence";
    long long level = 0;
    if (Lower(item) == "silence") {
      deviations.assign(frames, 0);
    } else if (ParseWhole(item, level)) {
      if (level < 0 || level > kFullScale) {
        error = "level " + item + " is outside 0 to 128";
        return false;
      }
      for (std::size_t k = 0; k < frames; ++k) {
        // Alternating below and above the centre; full scale only fits below it (the byte 0).
        const bool above = k % 2 == 1 && level < kFullScale;
        deviations.push_back(above ? static_cast<int>(level) : -static_cast<int>(level));
      }
    } else if (item.rfind("file:", 0) == 0) {
      if (!FileDeviations(item.substr(5), deviations, error)) return false;
      deviations.resize(frames, 0);
    } else {
      error = "unknown microphone item '" + item + "'";
      return false;
    }
    std::fill_n(deviations.begin(), std::min(kGuardFrames, deviations.size()), 0);
    for (const int d : deviations) samples.push_back(static_cast<std::uint8_t>(std::clamp(kSilence + d, 0, 255)));
  }
  return true;
}

bool SetMicrophoneScript(const std::string& script, const std::string& scratchPath, std::string& error) {
  std::vector<std::uint8_t> samples;
  if (!BuildMicrophoneSignal(script, samples, error)) return false;
  std::string image = "RIFF";
  auto put = [&image](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) image += static_cast<char>(value >> (8 * i));
  };
  put(static_cast<std::uint32_t>(36 + samples.size()), 4);
  image += "WAVEfmt ";
  put(16, 4);     // format chunk size
  put(1, 2);      // PCM
  put(1, 2);      // mono
  put(kRate, 4);  // frames per second
  put(kRate, 4);  // bytes per second
  put(1, 2);      // block alignment
  put(8, 2);      // bits
  image += "data";
  put(static_cast<std::uint32_t>(samples.size()), 4);
  image.append(samples.begin(), samples.end());
  {
    std::ofstream out(scratchPath, std::ios::binary);
    out << image;
    if (!out) {
      error = "cannot write the microphone signal to " + scratchPath;
      return false;
    }
  }
  const bool set = sim::SetMicrophoneWaveFile(scratchPath);
  std::remove(scratchPath.c_str());
  if (!set) error = "the simulated microphone cannot read " + scratchPath;
  return set;
}

}  // namespace audival
