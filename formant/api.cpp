// The exported C functions: one global engine holding the voice, the line being written,
// the phone queue and the last error.
#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "errors.h"
#include "mbrola.h"
#include "pho_reader.h"
#include "sample_codes.h"
#include "synthesizer.h"
#include "voice.h"

namespace formant {
namespace {

constexpr size_t kLongestLine = 32768;
constexpr const char* kVersion = "formant 1.0";

struct PhoneObject {
  std::string name;
  float lengthMs = 0;
  std::vector<PitchPoint> points;
};

struct Engine {
  bool initialised = false;
  Voice voice;
  Synthesizer synthesizer;
  std::string line;
  bool lineTooLong = false;
  std::string flushSymbol = "#";
  float timeRatio = 1;
  float frequencyRatio = 1;
  int outputRate = 16000;
  float volume = 1;
  bool noError = false;
  int lastError = 0;
  std::string lastMessage;
  PhoneParser* parser = nullptr;
};

Engine& State() {
  static Engine engine;
  return engine;
}

void SetError(int code, const std::string& message) {
  State().lastError = code;
  State().lastMessage = message;
}

void ClearInput() {
  Engine& e = State();
  e.synthesizer.Reset();
  e.line.clear();
  e.lineTooLong = false;
  e.timeRatio = 1;
  e.frequencyRatio = 1;
}

void QueuePhone(const std::string& name, float durationMs, std::vector<PitchPoint> points) {
  Engine& e = State();
  const auto found = e.voice.index.find(name);
  const float duration = std::min(durationMs * e.timeRatio, kLongestPhoneMs * 20);
  if (found != e.voice.index.end()) {
    e.synthesizer.AddPhone(found->second, duration, std::move(points), e.frequencyRatio);
    return;
  }
  SetError(kErrorUnknownPhoneme, "unknown phoneme \"" + name.substr(0, 16) + "\"");
  if (e.noError) {
    e.synthesizer.AddPhone(-1, duration, {}, e.frequencyRatio);
  } else {
    e.synthesizer.AddError(kErrorUnknownPhoneme);
  }
}

void TakeLine(const std::string& text) {
  Engine& e = State();
  const PhoLine line = ReadPhoLine(text, e.flushSymbol);
  switch (line.kind) {
    case PhoLine::kBlank:
      break;
    case PhoLine::kPhone:
      QueuePhone(line.name, line.durationMs, line.points);
      break;
    case PhoLine::kFlush:
      e.synthesizer.AddFlush();
      break;
    case PhoLine::kTimeRatio:
      e.timeRatio = line.ratio;
      break;
    case PhoLine::kFrequencyRatio:
      e.frequencyRatio = line.ratio;
      break;
    case PhoLine::kFlushSymbol:
      e.flushSymbol = line.name;
      break;
    case PhoLine::kError:
      SetError(line.error, line.message);
      e.synthesizer.AddError(line.error);
      break;
  }
}

void EndLine() {
  Engine& e = State();
  if (e.lineTooLong) {
    SetError(kErrorSyntax, "line too long");
    e.synthesizer.AddError(kErrorSyntax);
  } else {
    std::string text;
    text.swap(e.line);
    if (!text.empty() && text.back() == '\r') text.pop_back();
    TakeLine(text);
  }
  e.line.clear();
  e.lineTooLong = false;
}

int Write(const char* text) {
  Engine& e = State();
  if (!e.initialised) {
    SetError(kErrorNotInitialised, "no voice loaded");
    return 0;
  }
  if (text == nullptr) return 0;
  const size_t length = std::strlen(text);
  // Every line may add one item to the queue; a string that might not fit is refused whole.
  const size_t lines = static_cast<size_t>(std::count(text, text + length, '\n'));
  if (!e.synthesizer.HasRoomFor(lines + 1)) return 0;
  for (size_t i = 0; i < length; ++i) {
    const char c = text[i];
    if (c == '\n') {
      EndLine();
    } else if (e.line.size() < kLongestLine) {
      e.line += c;
    } else {
      e.lineTooLong = true;
    }
  }
  return static_cast<int>(std::min<size_t>(length, 0x7fffffff));
}

void PullFromParser() {
  Engine& e = State();
  while (e.parser != nullptr && e.synthesizer.HasRoomFor(1)) {
    void* phone = nullptr;
    const int result = e.parser->nextPhone(e.parser->self, &phone);
    if (result == kParserPhone && phone != nullptr) {
      const PhoneObject& object = *static_cast<const PhoneObject*>(phone);
      QueuePhone(object.name, object.lengthMs, object.points);
    } else if (result == kParserFlush) {
      e.synthesizer.AddFlush();
    } else if (result == kParserWait) {
      return;
    } else {
      const int code = result < 0 ? result : kErrorSyntax;
      SetError(code, "the phone parser failed");
      e.synthesizer.AddError(code);
      return;
    }
  }
}

int Read(void* buffer, int wanted, int type) {
  Engine& e = State();
  if (!e.initialised) {
    SetError(kErrorNotInitialised, "no voice loaded");
    return kErrorNotInitialised;
  }
  if (buffer == nullptr || wanted <= 0) return 0;
  if (type < kLinear16 || type > kALaw) {
    SetError(kErrorCommand, "unknown sample type");
    return kErrorCommand;
  }
  PullFromParser();
  if (type == kLinear16) {
    return e.synthesizer.Read(static_cast<int16_t*>(buffer), wanted, e.volume);
  }
  std::vector<int16_t> samples(static_cast<size_t>(std::min(wanted, 1 << 20)));
  const int count = e.synthesizer.Read(samples.data(), static_cast<int>(samples.size()), e.volume);
  auto* bytes = static_cast<uint8_t*>(buffer);
  for (int i = 0; i < count; ++i) {
    bytes[i] = type == kUnsigned8 ? ToUnsigned8(samples[i])
               : type == kMuLaw   ? ToMuLaw(samples[i])
                                  : ToALaw(samples[i]);
  }
  return count;
}

int Initialise(const char* path, const char* rename, const char* clone) {
  Engine& e = State();
  e.initialised = false;
  e.lastError = 0;
  e.lastMessage.clear();
  if (path == nullptr) {
    SetError(kErrorVoiceNotFound, "no voice path");
    return kErrorVoiceNotFound;
  }
  std::string message;
  int result = LoadVoice(path, e.voice, message);
  if (result == 0) result = RenamePhonemes(e.voice, rename, false, message);
  if (result == 0) result = RenamePhonemes(e.voice, clone, true, message);
  if (result != 0) {
    e.voice = Voice();
    SetError(result, message);
    return result;
  }
  e.outputRate = e.voice.rate;
  e.synthesizer.Configure(&e.voice, e.outputRate);
  ClearInput();
  e.initialised = true;
  return 0;
}

int CopyText(const std::string& text, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  const size_t copied = std::min(text.size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, text.data(), copied);
  buffer[copied] = '\0';
  return static_cast<int>(copied + 1);
}

}  // namespace
}  // namespace formant

using namespace formant;

extern "C" {

MBROLA_API int init_MBR(char* voicePath) { return init_rename_MBR(voicePath, nullptr, nullptr); }

MBROLA_API int init_rename_MBR(char* voicePath, char* rename, char* clone) {
  try {
    return Initialise(voicePath, rename, clone);
  } catch (const std::bad_alloc&) {
    State().initialised = false;
    SetError(kErrorMemory, "out of memory");
    return kErrorMemory;
  }
}

MBROLA_API void close_MBR(void) {
  Engine& e = State();
  if (e.parser != nullptr && e.parser->close != nullptr) e.parser->close(e.parser->self);
  e.parser = nullptr;
  ClearInput();
  e.synthesizer.Configure(nullptr, 16000);
  e.voice = Voice();
  e.initialised = false;
}

MBROLA_API int reset_MBR(void) {
  Engine& e = State();
  if (e.parser != nullptr && e.parser->reset != nullptr) e.parser->reset(e.parser->self);
  ClearInput();
  e.lastError = 0;
  e.lastMessage.clear();
  return 1;
}

MBROLA_API int write_MBR(char* text) {
  try {
    return Write(text);
  } catch (const std::bad_alloc&) {
    SetError(kErrorMemory, "out of memory");
    return 0;
  }
}

MBROLA_API int flush_MBR(void) {
  Engine& e = State();
  if (e.initialised && !e.line.empty()) {
    // A line still waiting for its end is complete now.
    const std::string pending = "\n";
    write_MBR(const_cast<char*>(pending.c_str()));
  }
  const std::string flush = e.flushSymbol + "\n";
  return write_MBR(const_cast<char*>(flush.c_str()));
}

MBROLA_API int read_MBR(void* buffer, int wanted) {
  return readtype_MBR(buffer, wanted, kLinear16);
}

MBROLA_API int readtype_MBR(void* buffer, int wanted, int type) {
  try {
    return Read(buffer, wanted, type);
  } catch (const std::bad_alloc&) {
    SetError(kErrorMemory, "out of memory");
    return kErrorMemory;
  }
}

MBROLA_API int lastError_MBR(void) { return State().lastError; }

MBROLA_API int lastErrorStr_MBR(char* buffer, int size) {
  return CopyText(State().lastMessage, buffer, size);
}

MBROLA_API void resetError_MBR(void) {
  State().lastError = 0;
  State().lastMessage.clear();
}

MBROLA_API void setNoError_MBR(int on) { State().noError = on != 0; }

MBROLA_API int getNoError_MBR(void) { return State().noError ? 1 : 0; }

MBROLA_API void setFreq_MBR(int hz) {
  Engine& e = State();
  if (hz < 4000 || hz > 96000) return;
  e.outputRate = hz;
  // Durations and pitch are counted at the new rate; pending input is dropped.
  if (e.initialised) {
    e.synthesizer.Configure(&e.voice, hz);
    ClearInput();
  }
}

MBROLA_API int getFreq_MBR(void) { return State().outputRate; }

MBROLA_API void setVolumeRatio_MBR(float ratio) {
  if (ratio >= 0 && ratio <= 100) State().volume = ratio;
}

MBROLA_API float getVolumeRatio_MBR(void) { return State().volume; }

MBROLA_API int getVersion_MBR(char* buffer, int size) {
  CopyText(kVersion, buffer, size);
  return buffer == nullptr || size <= 0 ? 0 : size;
}

MBROLA_API int getDatabaseInfo_MBR(char* buffer, int size, int index) {
  const Engine& e = State();
  if (!e.initialised || index < 0 || index >= static_cast<int>(e.voice.info.size())) return 0;
  const std::string& text = e.voice.info[static_cast<size_t>(index)];
  if (buffer == nullptr) return static_cast<int>(text.size() + 1);
  return CopyText(text, buffer, size);
}

MBROLA_API void setParser_MBR(void* parser) {
  Engine& e = State();
  if (e.parser != nullptr && e.parser->close != nullptr) e.parser->close(e.parser->self);
  e.parser = static_cast<PhoneParser*>(parser);
  ClearInput();
}

MBROLA_API void* init_Phone(char* name, float lengthMs) {
  if (name == nullptr || !(lengthMs >= 0 && lengthMs <= kLongestPhoneMs)) return nullptr;
  auto* phone = new (std::nothrow) PhoneObject;
  if (phone == nullptr) return nullptr;
  phone->name.assign(name, strnlen(name, 16));
  phone->lengthMs = lengthMs;
  return phone;
}

MBROLA_API void reset_Phone(void* phone) {
  if (phone != nullptr) static_cast<PhoneObject*>(phone)->points.clear();
}

MBROLA_API void close_Phone(void* phone) { delete static_cast<PhoneObject*>(phone); }

MBROLA_API void appendf0_Phone(void* phone, float posPercent, float hz) {
  if (phone == nullptr || !(posPercent >= 0 && posPercent <= 100) || !(hz >= 0 && hz <= 5000)) {
    return;
  }
  auto& points = static_cast<PhoneObject*>(phone)->points;
  if (points.size() < kMostPitchPoints) points.push_back({posPercent, hz});
}

}  // extern "C"
