// The older system speech backend on Windows: SAPI 4 text-to-speech through COM, in its ANSI
// form. The engine calls our two notification objects back while window messages are
// dispatched, on the program's own thread, so the counters they keep are plain variables.
#include "speech/engines/sapi4_backend.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "audio/player/player.h"
#include "console/keyboard.h"
#include "platform/encoding.h"
#include "platform/system.h"
#include "speech/engines/sapi5_backend.h"
#include "speech/engines/service_text.h"
#include "speech/engines/win32/sapi4_interfaces.h"
#include "speech/engines/win32/speech_objects.h"

namespace engines {
namespace {

constexpr std::uint16_t kPendingDelayMs = 20;
constexpr std::uint16_t kBeforeResetMs = 50;
constexpr std::uint16_t kAfterResetMs = 150;
// IAudioFile::Set's flag for a file that receives the speech.
constexpr DWORD kAudioFileSetFlag = 1;
// An enumerator that never ends its listing stops being asked after this many modes.
constexpr int kMostModes = 4096;

class TTSBufNotifySink;
class TTSNotifySink;

struct State {
  bool toFile = false;
  std::string outputFile;
  IAudioFile* audioFile = nullptr;
  IUnknown* audioDevice = nullptr;
  ITTSEnumA* enumerator = nullptr;
  std::unique_ptr<TTSMODEINFOA> mode;
  ITTSCentralA* central = nullptr;
  TTSNotifySink* notifySink = nullptr;
  TTSBufNotifySink* bufferSink = nullptr;
  bool registered = false;
  DWORD registerKey = 0;
  std::int32_t pendingTexts = 0;
  bool audioActive = false;
  // Since when the voice has been busy with the texts handed over since it was last idle,
  // and their length together: the bound on how long it may stay busy.
  std::int64_t busySince = 0;
  std::size_t busyCharacters = 0;
};

State state;

// Texts go to the engine from this buffer, with their terminating zero.
char textBuffer[kSapi4TextLimit + 1];

bool Speaking() { return state.pendingTexts > 0 || state.audioActive; }

// A notification object of ours: reference-counted, answering IUnknown and its own interface.
// Notifications that come after close (an engine may hold on to the object) change nothing.
template <typename Interface, const GUID& interfaceId>
class Sink : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID wanted, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (wanted == IID_IUnknown || wanted == interfaceId) {
      *object = static_cast<Interface*>(this);
      this->AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~Sink() = default;
  static bool Listening() { return state.central != nullptr; }

 private:
  ULONG references_ = 1;
};

class TTSBufNotifySink : public Sink<ITTSBufNotifySink, kTtsBufNotifySinkInterface> {
 public:
  HRESULT STDMETHODCALLTYPE TextDataDone(QWORD, DWORD) override {
    if (Listening() && state.pendingTexts > 0) --state.pendingTexts;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE TextDataStarted(QWORD) override {
    if (Listening()) ++state.pendingTexts;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE BookMark(QWORD, DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE WordPosition(QWORD, DWORD) override { return S_OK; }
};

class TTSNotifySink : public Sink<ITTSNotifySinkA, kTtsNotifySinkInterface> {
 public:
  HRESULT STDMETHODCALLTYPE AttribChanged(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE AudioStart(QWORD) override {
    if (Listening()) state.audioActive = true;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE AudioStop(QWORD) override {
    if (Listening()) state.audioActive = false;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Visual(QWORD, char, char, DWORD, void*) override { return S_OK; }
};

template <typename Interface>
bool Create(REFCLSID classId, REFIID interfaceId, Interface*& object) {
  void* made = nullptr;
  const HRESULT result = CreateSpeechObject(classId, kSapi4ObjectContext, interfaceId, &made);
  // A failed creation hands over no reference, whatever it left in `made`.
  object = SUCCEEDED(result) ? static_cast<Interface*>(made) : nullptr;
  return object != nullptr;
}

// The next mode of the listing; false when there is none or the enumerator fails.
bool NextMode(ITTSEnumA* enumerator, TTSMODEINFOA& mode) {
  ULONG fetched = 1;
  return enumerator->Next(1, &mode, &fetched) == S_OK && fetched == 1;
}

// A text field of a mode description, which need not end within its array.
std::string Field(const char* field, std::size_t size) {
  return platform::Cp1252ToUtf8(std::string(field, strnlen(field, size)));
}

std::string LanguageTag(WORD languageId) {
  if (languageId == 0) return std::string();
  const std::string name = LocaleName(MAKELCID(languageId, SORT_DEFAULT));
  if (!name.empty()) return name;
  char hex[8];
  std::snprintf(hex, sizeof hex, "%04x", static_cast<unsigned>(languageId));
  return hex;
}

ServiceVoice VoiceOfMode(const TTSMODEINFOA& mode) {
  ServiceVoice voice;
  voice.name = Field(mode.szModeName, sizeof mode.szModeName);
  voice.language = LanguageTag(mode.language.LanguageID);
  voice.variant = Field(mode.szSpeaker, sizeof mode.szSpeaker);
  if (voice.variant.empty()) {
    wchar_t id[40] = {};
    if (::StringFromGUID2(mode.gModeID, id, 40) > 0) voice.variant = Utf8FromWide(id);
  }
  return voice;
}

// Every mode from the start of the listing, in its order.
std::vector<ServiceVoice> ListModes(ITTSEnumA* enumerator) {
  std::vector<ServiceVoice> voices;
  enumerator->Reset();
  TTSMODEINFOA mode = {};
  while (static_cast<int>(voices.size()) < kMostModes && NextMode(enumerator, mode)) {
    voices.push_back(VoiceOfMode(mode));
  }
  return voices;
}

// Gives back every reference held, in the order that lets the engine finish its file first.
void ReleaseEngine(bool flushFile) {
  if (state.audioFile != nullptr && flushFile) state.audioFile->Flush();
  ReleaseObject(state.audioFile);
  ReleaseObject(state.audioDevice);
  if (state.enumerator != nullptr) state.enumerator->Release();  // the extra reference
  ReleaseObject(state.enumerator);
  ReleaseObject(state.bufferSink);
  if (state.registered && state.central != nullptr) state.central->UnRegister(state.registerKey);
  ReleaseObject(state.notifySink);
  ReleaseObject(state.central);
  state = State{};
}

// Takes the engine's objects into the state one by one; whatever fails leaves the rest to
// ReleaseEngine.
bool OpenEngine(std::int32_t voice, std::int32_t speed, std::int32_t pitch,
                const std::string& voiceName) {
  IUnknown* destination = nullptr;
  if (state.toFile) {
    if (!Create(kAudioFileDestinationClass, kAudioFileInterface, state.audioFile)) return false;
    const std::wstring file = WideServiceText(state.outputFile);
    if (state.audioFile->Set(file.c_str(), kAudioFileSetFlag) != S_OK) return false;
    destination = state.audioFile;
  } else {
    if (!Create(kAudioDeviceDestinationClass, kAudioDeviceDestinationInterface, state.audioDevice)) {
      return false;
    }
    destination = state.audioDevice;
  }
  if (!Create(kTtsEnumeratorClass, kTtsEnumeratorInterface, state.enumerator)) return false;
  state.enumerator->AddRef();

  if (!voiceName.empty()) {
    const int named = FindVoiceByName(ListModes(state.enumerator), voiceName);
    voice = named >= 0 ? named + 1 : 0;
  }
  if (voice < 1) voice = 1;
  state.mode = std::make_unique<TTSMODEINFOA>();
  state.enumerator->Reset();
  for (std::int32_t k = 0; k < voice; ++k) {
    if (!NextMode(state.enumerator, *state.mode)) return false;
  }
  if (FAILED(state.enumerator->Select(state.mode->gModeID, &state.central, destination)) ||
      state.central == nullptr) {
    return false;
  }

  state.bufferSink = new TTSBufNotifySink;
  state.notifySink = new TTSNotifySink;
  if (FAILED(state.central->Register(static_cast<ITTSNotifySinkA*>(state.notifySink),
                                     kTtsNotifySinkInterface, &state.registerKey))) {
    return false;
  }
  state.registered = true;

  void* found = nullptr;
  if (FAILED(state.central->QueryInterface(kTtsAttributesInterface, &found)) || found == nullptr) {
    return false;
  }
  ITTSAttributesA* attributes = static_cast<ITTSAttributesA*>(found);
  const bool set = (speed == 0 || SUCCEEDED(attributes->SpeedSet(static_cast<DWORD>(speed)))) &&
                   (pitch == 0 || SUCCEEDED(attributes->PitchSet(static_cast<WORD>(pitch))));
  attributes->Release();
  return set;
}

// Control characters become blanks: none can end the text early or reach the engine as
// something it was not meant to read.
std::size_t CopyToBuffer(const std::string& text) {
  const std::string clean = BlankedControls(text);
  std::memcpy(textBuffer, clean.data(), clean.size());
  textBuffer[clean.size()] = '\0';
  return clean.size();
}

bool HandOver(const std::string& text) {
  if (state.pendingTexts > 0) console::Delay(kPendingDelayMs);
  if (state.central == nullptr) return false;
  if (!Speaking()) {
    state.busySince = platform::ClockMilliseconds();
    state.busyCharacters = 0;
  }
  state.busyCharacters += text.size();
  const std::size_t length = CopyToBuffer(text);
  const SDATA data = {textBuffer, static_cast<DWORD>(length + 1)};
  return SUCCEEDED(state.central->TextData(0, 0, data,
                                           static_cast<ITTSBufNotifySink*>(state.bufferSink),
                                           kTtsBufNotifySinkInterface));
}

}  // namespace

bool Sapi4Open(std::int32_t voice, std::int32_t speed, std::int32_t pitch,
               const std::string& outputFile, const std::string& voiceName) {
  Sapi4Close();
  state.outputFile = outputFile;
  state.toFile = !outputFile.empty();
  // Engines may change the current folder while they load.
  const std::string folder = platform::CurrentFolder();
  const bool opened = OpenEngine(voice, speed, pitch, voiceName);
  platform::SetCurrentFolder(folder);
  if (!opened) ReleaseEngine(false);
  return opened;
}

void Sapi4Close() { ReleaseEngine(true); }

void Sapi4Speak(const std::string& text) {
  const std::vector<std::string> texts = Sapi4Texts(text);
  if (texts.empty() || state.central == nullptr) return;
  // A waiting key keeps back this text.
  if (audio::KeyInterrupt() && console::KeyPressed()) return;
  for (const std::string& piece : texts) {
    if (!HandOver(piece)) {
      Sapi4Stop();
      return;
    }
  }
}

bool Sapi4Busy(std::uint8_t queueOnly) {
  // A notification that never comes must not keep the voice busy for ever.
  if (Speaking() && platform::ClockMilliseconds() - state.busySince >
                        Sapi5LongestSoundingMs(state.busyCharacters)) {
    Sapi4Stop();
  }
  if (queueOnly == 1) return state.pendingTexts > 0;
  return Speaking();
}

void Sapi4Stop() {
  // A text the engine holds but has not begun to sound would still sound after a stop that
  // only looked at the audio.
  if (Speaking() && state.central != nullptr) {
    console::Delay(kBeforeResetMs);
    if (state.central != nullptr) state.central->AudioReset();
    console::Delay(kAfterResetMs);
  }
  state.audioActive = false;
  state.pendingTexts = 0;
}

bool Sapi4Voices(std::vector<ServiceVoice>& voices) {
  voices.clear();
  const std::string folder = platform::CurrentFolder();
  ITTSEnumA* enumerator = nullptr;
  const bool created = Create(kTtsEnumeratorClass, kTtsEnumeratorInterface, enumerator);
  if (created) voices = ListModes(enumerator);
  ReleaseObject(enumerator);
  platform::SetCurrentFolder(folder);
  return created;
}

}  // namespace engines
