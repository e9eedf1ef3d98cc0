// Many whole test runs, each with random keys (at random times and as answers), a random
// microphone signal and random device faults. Every run must end, leave no device open and no
// font alive, show only lines the program writes (with the measured numbers the signal
// gives) and play only the voice's recordings. A failing run is printed so it can be replayed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "audio/capture/capture.h"
#include "platform/events.h"
#include "platform/keys.h"
#include "platform/sim/sim.h"
#include "platform/wave.h"
#include "run_fixture.h"

namespace audival_test {
namespace {

constexpr unsigned kSeed = 20261210;
constexpr int kRuns = 80;

constexpr int kRate = 11025;
constexpr int kFramesPerBuffer = 1024;
constexpr int kMeasurementBuffers[3] = {54, 108, 108};
// Frames the device may take beyond a measurement's last buffer before it is stopped; they
// shift every later measurement's window by as much.
constexpr int kFramesPastEnd = 64;
// More Enters than the run can ever wait for: the first question, three line reads, a device
// problem and the output faults' messages. A run that still waits after them has hung.
constexpr int kClosingEnters = 10;
constexpr std::int64_t kLatestKeyMs = 50000;

// ---- the script of one run

struct Key {
  enum class When { kAnswer, kNextWait, kAt } when = When::kAnswer;
  std::int64_t atMs = 0;
  int virtualKey = 0;
  sim::Modifiers modifiers;
  std::string chord;  // non-empty: a Braille chord instead of one key
  std::string name;
};

struct Script {
  std::vector<Key> keys;
  std::vector<std::string> lines;  // what it scripts, for a replay
  std::string micScript;           // for audival::SetMicrophoneScript, when used
  std::vector<int> bufferLevels;
  std::vector<sim::LevelSpan> spans;
  std::vector<int> frameLevels;  // the level of every frame the microphone gives
  bool inputFault = false;
  bool outputMessages = false;  // a failed unprepare writes a message and waits for Enter
  bool blankMessages = false;   // ... a message with no text, so an echo may start anywhere
  int outputBusy = 0;
  std::vector<std::function<void()>> faults;
};

int Pick(std::mt19937& random, int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

std::vector<platform::Event> ChordEvents(const std::string& letters) {
  std::vector<platform::Event> events;
  for (const char c : letters) {
    events.push_back({.kind = platform::EventKind::KeyDown, .code = platform::VkLetter(static_cast<char>(c - 'a' + 'A'))});
    events.push_back({.kind = platform::EventKind::Char, .code = c});
  }
  for (const char c : letters) {
    events.push_back({.kind = platform::EventKind::KeyUp, .code = platform::VkLetter(static_cast<char>(c - 'a' + 'A'))});
  }
  return events;
}

Key MakeKey(int virtualKey, const std::string& name, sim::Modifiers modifiers = {}) {
  Key key;
  key.virtualKey = virtualKey;
  key.modifiers = modifiers;
  key.name = name;
  return key;
}

Key RandomKey(std::mt19937& random) {
  Key key;
  switch (Pick(random, 0, 7)) {
    case 0: key = MakeKey(platform::kVkEscape, "esc"); break;
    case 1: key = MakeKey(platform::kVkReturn, "enter"); break;
    case 2: {
      const char letter = static_cast<char>('A' + Pick(random, 0, 25));
      key = MakeKey(platform::VkLetter(letter), std::string(1, letter));
      break;
    }
    case 3: {
      const int digit = Pick(random, 0, 9);
      key = MakeKey(platform::VkDigit(digit), std::to_string(digit));
      break;
    }
    case 4: {
      const int n = Pick(random, 1, 12);
      key = MakeKey(platform::VkFunction(n), "f" + std::to_string(n));
      break;
    }
    case 5: {
      const int which = Pick(random, 0, 3);
      const int keys[] = {platform::kVkUp, platform::kVkDown, platform::kVkLeft, platform::kVkRight};
      const char* names[] = {"up", "down", "left", "right"};
      key = MakeKey(keys[which], names[which]);
      break;
    }
    case 6: {
      std::string letters;
      for (int n = Pick(random, 1, 4); n > 0; --n) letters += "fdsjkl"[Pick(random, 0, 5)];
      key = MakeKey(0, "chord:" + letters);
      key.chord = letters;
      break;
    }
    default:
      // Switches the keyboard to Braille chords, so later chords give Braille characters.
      key = MakeKey(platform::kVkF11, "ctrl+alt+f11", {.ctrl = true, .alt = true, .shift = false});
      break;
  }
  const int when = Pick(random, 0, 2);
  if (when == 0 && key.chord.empty()) {
    key.when = Key::When::kAnswer;
  } else if (when == 1) {
    key.when = Key::When::kNextWait;
    key.name += " (next wait)";
  } else {
    key.when = Key::When::kAt;
    key.atMs = Pick(random, 0, kLatestKeyMs);
    key.name += "@" + std::to_string(key.atMs);
  }
  return key;
}

std::string Join(const std::vector<int>& values) {
  std::string text;
  for (const int v : values) text += (text.empty() ? "" : " ") + std::to_string(v);
  return text;
}

void RandomMicrophone(std::mt19937& random, Script& script) {
  const int totalFrames = (54 + 108 + 108) * kFramesPerBuffer + 4 * kFramesPastEnd;
  script.frameLevels.assign(totalFrames, 0);
  switch (Pick(random, 0, 3)) {
    case 0: {
      // One level (or silence) per measurement. Each measurement's first frames are silent,
      // which absorbs the frames taken past the one before: its window is exact.
      std::vector<std::string> items;
      int start = 0;
      for (int m = 0, count = Pick(random, 0, 3); m < count; ++m) {
        const int level = Pick(random, 0, 4) == 0 ? 0 : Pick(random, 0, 128);
        items.push_back(level == 0 && Pick(random, 0, 1) == 0 ? "silence" : std::to_string(level));
        std::fill(script.frameLevels.begin() + start + 32,
                  script.frameLevels.begin() + start + kMeasurementBuffers[m] * kFramesPerBuffer, level);
        start += kMeasurementBuffers[m] * kFramesPerBuffer;
      }
      for (const std::string& item : items) script.micScript += (script.micScript.empty() ? "" : " ") + item;
      script.lines.push_back("microphone script: \"" + script.micScript + "\"");
      break;
    }
    case 1: {
      for (int n = Pick(random, 0, 300); n > 0; --n) script.bufferLevels.push_back(Pick(random, 0, 128));
      for (std::size_t k = 0; k < script.frameLevels.size() && k / kFramesPerBuffer < script.bufferLevels.size(); ++k) {
        script.frameLevels[k] = script.bufferLevels[k / kFramesPerBuffer];
      }
      script.lines.push_back("buffer levels: {" + Join(script.bufferLevels) + "}");
      break;
    }
    case 2: {
      std::string text;
      std::int64_t atMs = 0;
      for (int n = Pick(random, 0, 20); n > 0; --n) {
        const sim::LevelSpan span{Pick(random, 1, 4000), Pick(random, 0, 128)};
        script.spans.push_back(span);
        const std::int64_t from = atMs * kRate / 1000;
        const std::int64_t to = std::min<std::int64_t>((atMs + span.durationMs) * kRate / 1000, totalFrames);
        for (std::int64_t k = from; k < to; ++k) script.frameLevels[k] = span.level;
        atMs += span.durationMs;
        text += "{" + std::to_string(span.durationMs) + ", " + std::to_string(span.level) + "} ";
      }
      script.lines.push_back("level spans: {" + text + "}");
      break;
    }
    default:
      script.lines.push_back("microphone: silence");
      break;
  }
}

void RandomFaults(std::mt19937& random, Script& script) {
  if (Pick(random, 0, 5) == 0) {
    const int code = Pick(random, 0, 1) == 0 ? platform::kMmNoDriver : platform::kWaveBadFormat;
    const bool always = Pick(random, 0, 1) == 0;
    script.faults.push_back([=] { sim::FailWaveInOpen(code, always); });
    script.lines.push_back("FailWaveInOpen(" + std::to_string(code) + (always ? ", true)" : ")"));
    script.inputFault = true;
  }
  if (Pick(random, 0, 4) == 0) {
    const int buffers = Pick(random, 0, 280);
    script.faults.push_back([=] { sim::LoseWaveInAfter(buffers); });
    script.lines.push_back("LoseWaveInAfter(" + std::to_string(buffers) + ")");
    script.inputFault = true;
  }
  if (Pick(random, 0, 7) == 0) {
    const int codes[] = {platform::kMmNoDriver, platform::kWaveBadFormat, platform::kMmBadDeviceId};
    const int code = codes[Pick(random, 0, 2)];
    const bool always = Pick(random, 0, 1) == 0;
    script.faults.push_back([=] { sim::FailWaveOutOpen(code, always); });
    script.lines.push_back("FailWaveOutOpen(" + std::to_string(code) + (always ? ", true)" : ")"));
  }
  if (Pick(random, 0, 5) == 0) {
    script.outputBusy = Pick(random, 1, 150);
    const int attempts = script.outputBusy;
    script.faults.push_back([=] { sim::MakeWaveOutBusy(attempts); });
    script.lines.push_back("MakeWaveOutBusy(" + std::to_string(attempts) + ")");
  }
  if (Pick(random, 0, 5) == 0) {
    const int codes[] = {platform::kMmInvalidHandle, platform::kMmNoDriver, platform::kMmNoMemory,
                         platform::kWaveStillPlaying, platform::kMmError};
    const int code = codes[Pick(random, 0, 4)];
    const int count = Pick(random, 1, 3);
    script.faults.push_back([=] { sim::FailWaveOutUnprepare(code, count); });
    script.outputMessages = true;
    script.blankMessages = code == platform::kMmError;
    script.lines.push_back("FailWaveOutUnprepare(" + std::to_string(code) + ", " + std::to_string(count) + ")");
  }
}

Script RandomScript(std::mt19937& random) {
  Script script;
  std::string keys;
  for (int n = Pick(random, 0, 8); n > 0; --n) {
    script.keys.push_back(RandomKey(random));
    keys += script.keys.back().name + " ";
  }
  script.lines.push_back("keys: " + keys + "then " + std::to_string(kClosingEnters) + " answered enters");
  RandomMicrophone(random, script);
  RandomFaults(random, script);
  return script;
}

void Schedule(const Script& script) {
  for (const Key& key : script.keys) {
    if (!key.chord.empty()) {
      if (key.when == Key::When::kAt) {
        sim::QueueStepAt(key.atMs, ChordEvents(key.chord));
      } else {
        sim::Chord(key.chord);
      }
    } else if (key.when == Key::When::kAnswer) {
      sim::PressKeyWhenIdle(key.virtualKey, key.modifiers);
    } else if (key.when == Key::When::kNextWait) {
      sim::PressKey(key.virtualKey, key.modifiers);
    } else {
      sim::PressKeyAt(key.atMs, key.virtualKey, key.modifiers);
    }
  }
  for (int n = 0; n < kClosingEnters; ++n) sim::PressKeyWhenIdle(platform::kVkReturn);
  for (const auto& fault : script.faults) fault();
}

// ---- what the screen may show

struct Fragment {
  std::string text;
  bool lineReadFollows = false;  // what is typed next is echoed after it
};

const std::string kProblem = "Problemas, c\xF3" "digo ";

// Every text the test run, the level meter and the player write.
const std::vector<Fragment>& ProgramTexts() {
  static const std::vector<Fragment> texts = {
      {"Programa de medi\xE7\xE3o do volume do microfone."},
      {"Estarei obtendo o n\xEDvel de ru\xED" "do ambiente por 5 segundos."},
      {"Aperte Enter e fique em sil\xEAncio."},
      {"Ru\xED" "do ambiente: "},
      {" por cento."},
      {"Excelente."},
      {"Normal."},
      {"O ambiente est\xE1 muito ruidoso."},
      {"Aperte Enter, depois fale pelo menos tr\xEAs vezes a seguinte frase em voz normal:"},
      {"Estou testando o microfone.", true},
      {"Volume Normal: "},
      {"Volume Normal:"},
      {"Est\xE1 muito baixo."},
      {"Est\xE1 muito alto."},
      {"Aperte Enter e depois fale forte v\xE1rias vezes mas sem gritar:"},
      {"Porta, pato, pipoca, papai", true},
      {"Volume das plosivas: "},
      {"Est\xE1 muito baixo"},
      {"Est\xE1 muito alto"},
      {"Ok, aperte Enter para terminar."},
      {kProblem},
      {"Specified device handle is invalid.", true},
      {"No device driver is present.", true},
      {"Unable to allocate or lock memory.", true},
      {"The data block pointed to by the pwh parameter is still in queue", true},
  };
  return texts;
}


// A text that runs on over several rows, each row but the last padded to the full width.
struct LogicalLine {
  std::string text;
  std::vector<std::size_t> rowStarts;  // where its second and later rows begin
};

// The screen's rows joined where a row filled the width (but perhaps for a blank at its end,
// which the row's text leaves out) and went on in the next one.
std::vector<LogicalLine> LogicalLines(const std::vector<std::string>& rows) {
  const std::size_t width = static_cast<std::size_t>(console::Columns());
  std::vector<LogicalLine> lines;
  bool continues = false;
  for (const std::string& row : rows) {
    if (continues) {
      lines.back().text.resize(lines.back().text.size() + width - lines.back().text.size() % width, ' ');
      lines.back().rowStarts.push_back(lines.back().text.size());
      lines.back().text += row;
    } else {
      lines.push_back({row, {}});
    }
    continues = row.size() + 1 >= width;
  }
  return lines;
}

// Whether a line read follows `line` on the next row: it ends the last question or reports a
// device problem.
bool LineReadFollows(const LogicalLine& logical) {
  const std::string& line = logical.text;
  return line == "Ok, aperte Enter para terminar." || line.find(kProblem) != std::string::npos;
}

// Whether `line` is a sequence of the program's texts, numbers and bar pieces, ending in
// typed text only where a line read echoes it (`echoFirst`: from its start). The first line
// may begin inside a text that scrolled away.
bool IsProgramLine(const LogicalLine& logical, bool first, bool echoFirst) {
  const std::string& line = logical.text;
  enum State { kAny, kEchoAllowed, kStates };
  std::vector<std::vector<bool>> reached(line.size() + 1, std::vector<bool>(kStates, false));
  reached[0][first || echoFirst ? kEchoAllowed : kAny] = true;
  if (first) {
    for (const Fragment& f : ProgramTexts()) {
      for (std::size_t k = 1; k < f.text.size(); ++k) {
        if (line.compare(0, f.text.size() - k, f.text, k) == 0) reached[f.text.size() - k][kAny] = true;
      }
    }
  }
  for (std::size_t at = 0; at < line.size(); ++at) {
    for (int state = 0; state < kStates; ++state) {
      if (!reached[at][state]) continue;
      if (state == kEchoAllowed) return true;  // the rest was typed
      // The padding where a row ended on a blank.
      for (const std::size_t start : logical.rowStarts) {
        if (start > at && line.find_first_not_of(' ', at) >= start) reached[start][state] = true;
      }
      for (const Fragment& f : ProgramTexts()) {
        if (line.compare(at, f.text.size(), f.text) == 0) {
          reached[at + f.text.size()][f.lineReadFollows ? kEchoAllowed : kAny] = true;
        }
      }
      for (std::size_t end = at; end < line.size() && end - at < 3 && std::isdigit(static_cast<unsigned char>(line[end]));) {
        ++end;
        reached[end][kAny] = true;
      }
      for (std::size_t end = at; end < line.size() && (line[end] == '@' || line[end] == '.');) {
        ++end;
        reached[end][kAny] = true;
      }
    }
  }
  const std::vector<bool>& last = reached[line.size()];
  return last[kAny] || last[kEchoAllowed];
}

// ---- the measured numbers

// The percentages measurement `m` may show: the peak of its window of frames, which starts
// and ends up to kFramesPastEnd frames later per measurement before it.
std::vector<int> PossiblePercents(const Script& script, int m) {
  int start = 0;
  for (int i = 0; i < m; ++i) start += kMeasurementBuffers[i] * kFramesPerBuffer;
  const int end = start + kMeasurementBuffers[m] * kFramesPerBuffer;
  const int slack = script.micScript.empty() ? kFramesPastEnd : 0;
  const auto& frames = script.frameLevels;
  const int surely = *std::max_element(frames.begin() + start + slack * m, frames.begin() + end);
  std::vector<int> percents;
  for (int k = start; k < end + slack * (m + 1); ++k) {
    if (frames[k] >= surely) percents.push_back(audio::LevelPercent(frames[k]));
  }
  std::sort(percents.begin(), percents.end());
  percents.erase(std::unique(percents.begin(), percents.end()), percents.end());
  return percents;
}

// The number in "<label>N por cento.", or -1 when the line is not one.
int PercentAfter(const std::string& line, const std::string& label) {
  const std::string unit = " por cento.";
  if (line.rfind(label, 0) != 0 || line.size() <= label.size() + unit.size()) return -1;
  if (line.compare(line.size() - unit.size(), unit.size(), unit) != 0) return -1;
  const std::string digits = line.substr(label.size(), line.size() - label.size() - unit.size());
  if (digits.empty() || digits.size() > 3 || !std::all_of(digits.begin(), digits.end(), ::isdigit)) return -1;
  return std::stoi(digits);
}

std::string Quoted(const std::vector<std::string>& rows) {
  std::string text;
  for (const std::string& row : rows) text += "  |" + row + "|\n";
  return text;
}

class SoakTest : public TestRunTest {
 protected:
  // Empty when the run behaved, else what went wrong.
  std::string CheckRun(const sim::RunResult& result, const Script& script) {
    if (!result.exited) return "the run did not end: " + (result.stalled ? result.message : "it returned");
    if (result.exitCode != 0) return "exit code " + std::to_string(result.exitCode);
    if (platform::WaveOutIsOpen()) return "the output device was left open";
    if (platform::WaveInIsOpen()) return "the input device was left open";
    if (sim::LiveFontCount() != 0) return std::to_string(sim::LiveFontCount()) + " fonts left alive";
    int busyAnswers = 0;
    for (const sim::WaveOpenRecord& open : sim::WaveOutOpens()) busyAnswers += open.result == platform::kMmAllocated;
    if (busyAnswers > script.outputBusy) return "the output device was opened while open";
    for (const sim::WaveOpenRecord& open : sim::WaveInOpens()) {
      if (open.result == platform::kMmAllocated) return "the input device was opened while open";
    }
    for (const audival::HeardSound& sound : Sounds()) {
      if (sound.name.empty()) {
        return "a sound that is no recording, at " + std::to_string(static_cast<long long>(sound.startMs)) + " ms";
      }
    }

    const std::vector<LogicalLine> logical = LogicalLines(Rows());
    for (std::size_t i = 0; i < logical.size(); ++i) {
      if (!IsProgramLine(logical[i], i == 0, script.blankMessages || (i > 0 && LineReadFollows(logical[i - 1])))) {
        return "a line the program does not write: |" + logical[i].text + "|";
      }
    }
    std::vector<std::string> lines;
    for (const LogicalLine& line : logical) lines.push_back(line.text);
    if (script.inputFault) return "";
    const int measured = static_cast<int>(std::count_if(sim::WaveInOpens().begin(), sim::WaveInOpens().end(),
                                                        [](const sim::WaveOpenRecord& open) { return open.result == 0; }));
    // The results, where their lines show whole (an output fault's message may split them).
    bool shown[3] = {false, false, false};
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const int percents[3] = {PercentAfter(lines[i], "Ru\xED" "do ambiente: "),
                               lines[i] == "Volume Normal:" && i + 1 < lines.size() ? PercentAfter(lines[i + 1], "") : -1,
                               PercentAfter(lines[i], "Volume das plosivas: ")};
      for (int m = 0; m < 3; ++m) {
        if (percents[m] < 0) continue;
        shown[m] = true;
        const std::vector<int> possible = PossiblePercents(script, m);
        if (std::find(possible.begin(), possible.end(), percents[m]) == possible.end()) {
          return "measurement " + std::to_string(m + 1) + " shows " + std::to_string(percents[m]) +
                 " per cent; the signal gives {" + Join(possible) + "}";
        }
      }
    }
    // The first result may have scrolled away; the last two stay on the screen.
    if (measured == 3 && !script.outputMessages && (!shown[1] || !shown[2])) {
      return "three measurements, but their results are not shown";
    }
    return "";
  }
};

TEST_F(SoakTest, RandomKeysSignalsAndFaultsNeverBreakTheRun) {
  std::printf("soak: seed %u, %d runs\n", kSeed, kRuns);
  for (int run = 0; run < kRuns; ++run) {
    // Each run has its own generator, so a failing run can be replayed alone.
    std::mt19937 random(kSeed + static_cast<unsigned>(run));
    const Script script = RandomScript(random);
    const sim::RunResult result = RunProgram({}, [&] {
      if (!script.micScript.empty()) {
        std::string error;
        ASSERT_TRUE(audival::SetMicrophoneScript(script.micScript, Folder() + "/microfone.wav", error)) << error;
      } else if (!script.bufferLevels.empty()) {
        sim::SetMicrophoneBufferLevels(script.bufferLevels);
      } else if (!script.spans.empty()) {
        sim::SetMicrophoneLevels(script.spans);
      }
      Schedule(script);
    });
    const std::string failure = CheckRun(result, script);
    if (!failure.empty()) {
      std::string replay;
      for (const std::string& line : script.lines) replay += "  " + line + "\n";
      std::printf("soak run %d (generator seed %u) failed: %s\n%sscreen:\n%sheard:\n%s", run,
                  kSeed + static_cast<unsigned>(run), failure.c_str(), replay.c_str(), Quoted(Rows()).c_str(),
                  audival::FormatSoundLog(Sounds()).c_str());
      FAIL() << "soak run " << run << ": " << failure;
    }
  }
}

}  // namespace
}  // namespace audival_test
