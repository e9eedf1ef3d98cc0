// Engine types 5 and 54 on Windows: a SAPI 5 voice object through its automation interface.
#include "speech/engines/sapi5_backend.h"

#include "speech/engines/win32/sapi5_identifiers.h"
#include "speech/engines/win32/speech_objects.h"

#include <oleauto.h>
#include <sapi.h>

#include <cstdint>
#include <cstdlib>

#include "console/keyboard.h"
#include "platform/events.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "speech/engines/aravo_adapter.h"
#include "speech/engines/service_text.h"

namespace engines {
namespace {

constexpr DWORD kObjectContext = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER;
constexpr long kAllVoiceEvents = 33790;
constexpr long kSpeakAsyncNotXml = 17;
constexpr long kSpeakPurge = 2;
constexpr long kCreateForWrite = 3;
constexpr std::uint16_t kStopSettleMs = 50;

// Receives the voice's events, which nothing here acts on: the service raises them to a
// connected sink, as to the automation wrapper the voice was made for.
class VoiceEventSink final : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) override {
    if (interfaceId == IID_IUnknown || interfaceId == IID_IDispatch || interfaceId == kVoiceEvents) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return S_OK;
  }

 private:
  LONG references_ = 1;
};

struct Binding {
  const GUID& voiceClass;
  const GUID& fileStreamClass;
  bool setsByName;  // Voice and AudioOutputStream are put through the dispatch interface
  ISpeechVoice* voice = nullptr;
  ISpeechFileStream* fileStream = nullptr;
  IConnectionPoint* events = nullptr;
  DWORD eventsCookie = 0;
  HANDLE speakComplete = nullptr;
  long voiceCount = 0;
  // What was handed over since the voice was last silent, for the time-out of a voice whose
  // speak-complete event never comes.
  std::size_t heldCharacters = 0;
  std::int64_t heldSince = 0;
};

Binding bindings[2] = {{kSapi5Voice, kSapi5FileStream, false}, {kSapi54Voice, kSapi54FileStream, true}};

Binding& BindingOf(std::int32_t engineType) { return bindings[engineType == 54 ? 1 : 0]; }

class Bstr {
 public:
  explicit Bstr(const std::wstring& text)
      : text_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { ::SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return text_; }
  explicit operator bool() const { return text_ != nullptr; }

 private:
  BSTR text_;
};

std::string TakeText(BSTR text) {
  const std::string utf8 = Utf8FromWide(text);
  ::SysFreeString(text);
  return utf8;
}

// A property put by name through the dispatch interface, with one object argument. Properties
// that hold objects are put by reference in the voice's type library, so a put it does not
// know is tried again as one.
bool PutByName(IDispatch* target, const wchar_t* name, IDispatch* value) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID member = 0;
  if (FAILED(target->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member))) return false;
  VARIANT argument;
  ::VariantInit(&argument);
  argument.vt = VT_DISPATCH;
  argument.pdispVal = value;
  DISPID putName = DISPID_PROPERTYPUT;
  DISPPARAMS parameters = {&argument, &putName, 1, 1};
  HRESULT result = target->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                                  &parameters, nullptr, nullptr, nullptr);
  if (result == DISP_E_MEMBERNOTFOUND) {
    result = target->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUTREF,
                            &parameters, nullptr, nullptr, nullptr);
  }
  return SUCCEEDED(result);
}

bool SetVoice(Binding& binding, ISpeechObjectToken* token) {
  if (binding.setsByName) return PutByName(binding.voice, L"Voice", token);
  return SUCCEEDED(binding.voice->putref_Voice(token));
}

bool SetOutputStream(Binding& binding) {
  if (binding.setsByName) return PutByName(binding.voice, L"AudioOutputStream", binding.fileStream);
  return SUCCEEDED(binding.voice->putref_AudioOutputStream(binding.fileStream));
}

void ConnectEvents(Binding& binding) {
  IConnectionPointContainer* container = nullptr;
  if (FAILED(binding.voice->QueryInterface(IID_IConnectionPointContainer,
                                           reinterpret_cast<void**>(&container))) ||
      container == nullptr) {
    return;
  }
  if (SUCCEEDED(container->FindConnectionPoint(kVoiceEvents, &binding.events)) && binding.events != nullptr) {
    VoiceEventSink* sink = new VoiceEventSink;
    if (FAILED(binding.events->Advise(sink, &binding.eventsCookie))) ReleaseObject(binding.events);
    sink->Release();
  }
  container->Release();
}

void Release(Binding& binding) {
  if (binding.fileStream != nullptr) binding.fileStream->Close();
  ReleaseObject(binding.fileStream);
  if (binding.events != nullptr) binding.events->Unadvise(binding.eventsCookie);
  ReleaseObject(binding.events);
  ReleaseObject(binding.voice);
  // The event belongs to the voice, which closes it.
  binding.speakComplete = nullptr;
  binding.voiceCount = 0;
  binding.heldCharacters = 0;
}

// The installed voices, all of them (no attributes required or wanted).
ISpeechObjectTokens* InstalledVoices(ISpeechVoice* voice, long& count) {
  ISpeechObjectTokens* tokens = nullptr;
  const Bstr none(L"");
  count = 0;
  if (!none || FAILED(voice->GetVoices(none.get(), none.get(), &tokens)) || tokens == nullptr) return nullptr;
  if (FAILED(tokens->get_Count(&count)) || count < 0) count = 0;
  return tokens;
}

std::string LanguageOf(ISpeechObjectToken* token) {
  const Bstr attribute(L"Language");
  BSTR value = nullptr;
  if (!attribute || FAILED(token->GetAttribute(attribute.get(), &value))) return std::string();
  // A list of hexadecimal language identifiers, the first the voice's own: "416;816".
  const std::string codes = TakeText(value);
  const LCID language = static_cast<LCID>(std::strtoul(codes.c_str(), nullptr, 16));
  const std::string name = language != 0 ? LocaleName(language) : std::string();
  return name.empty() ? codes : name;
}

// The descriptions, identifiers and languages of the first `count` tokens of a list.
bool ListTokens(ISpeechObjectTokens* tokens, long count, std::vector<ServiceVoice>& voices) {
  for (long k = 0; k < count; ++k) {
    ISpeechObjectToken* token = nullptr;
    if (FAILED(tokens->Item(k, &token)) || token == nullptr) return false;
    ServiceVoice entry;
    BSTR text = nullptr;
    if (SUCCEEDED(token->GetDescription(0, &text))) entry.name = TakeText(text);
    text = nullptr;
    if (SUCCEEDED(token->get_Id(&text))) entry.variant = TakeText(text);
    entry.language = LanguageOf(token);
    voices.push_back(entry);
    token->Release();
  }
  return true;
}

bool ListVoices(ISpeechVoice* voice, std::vector<ServiceVoice>& voices) {
  long count = 0;
  ISpeechObjectTokens* tokens = InstalledVoices(voice, count);
  if (tokens == nullptr) return false;
  const bool listed = ListTokens(tokens, count, voices);
  tokens->Release();
  return listed;
}

ISpeechVoice* MakeVoice(const Binding& binding) {
  ISpeechVoice* voice = nullptr;
  if (FAILED(CreateSpeechObject(binding.voiceClass, kObjectContext, kVoiceInterface,
                                reinterpret_cast<void**>(&voice)))) {
    return nullptr;
  }
  return voice;
}

bool Choose(Binding& binding, ISpeechObjectTokens* tokens, std::int32_t voice) {
  ISpeechObjectToken* token = nullptr;
  if (FAILED(tokens->Item(voice - 1, &token)) || token == nullptr) return false;
  const bool chosen = SetVoice(binding, token);
  token->Release();
  return chosen;
}

bool OpenFileStream(Binding& binding, const std::string& outputFile) {
  if (FAILED(CreateSpeechObject(binding.fileStreamClass, kObjectContext, kFileStreamInterface,
                                reinterpret_cast<void**>(&binding.fileStream))) ||
      binding.fileStream == nullptr) {
    return false;
  }
  const Bstr name(WideServiceText(outputFile));
  if (!name || FAILED(binding.fileStream->Open(name.get(), static_cast<SpeechStreamFileMode>(kCreateForWrite),
                                               VARIANT_TRUE))) {
    ReleaseObject(binding.fileStream);
    return false;
  }
  return SetOutputStream(binding);
}

bool Speak(Binding& binding, const std::string& text, long flags) {
  const Bstr said(WideServiceText(text));
  long stream = 0;
  return said && SUCCEEDED(binding.voice->Speak(said.get(), static_cast<SpeechVoiceSpeakFlags>(flags), &stream));
}

bool Sounding(Binding& binding) {
  return ::WaitForSingleObject(binding.speakComplete, kSapi5BusyWaitMs) == WAIT_TIMEOUT;
}

}  // namespace

bool Sapi5Open(std::int32_t engineType, std::int32_t voice, std::int32_t speed, std::int32_t,
               const std::string& outputFile, const std::string& voiceName) {
  Binding& binding = BindingOf(engineType);
  Release(binding);
  binding.voice = MakeVoice(binding);
  if (binding.voice == nullptr) return false;
  ConnectEvents(binding);
  binding.voice->put_EventInterests(static_cast<SpeechVoiceEvents>(kAllVoiceEvents));
  ISpeechObjectTokens* tokens = InstalledVoices(binding.voice, binding.voiceCount);
  bool opened = tokens != nullptr && binding.voiceCount > 0;
  if (opened && !voiceName.empty()) {
    std::vector<ServiceVoice> voices;
    const int named = ListTokens(tokens, binding.voiceCount, voices) ? FindVoiceByName(voices, voiceName) : -1;
    voice = named >= 0 ? named + 1 : 0;
  }
  if (opened && (voice < 1 || voice > binding.voiceCount)) {
    voice = 1;
    speed = 0;
  }
  if (opened) opened = Choose(binding, tokens, voice);
  if (tokens != nullptr) tokens->Release();
  // A rate the voice refuses leaves it at its default rate.
  if (opened) binding.voice->put_Rate(speed);
  long event = 0;
  opened = opened && SUCCEEDED(binding.voice->SpeakCompleteEvent(&event)) && event != 0;
  binding.speakComplete = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(event));
  if (opened && !outputFile.empty()) opened = OpenFileStream(binding, outputFile);
  if (!opened) Release(binding);
  return opened;
}

void Sapi5Close(std::int32_t engineType) {
  Binding& binding = BindingOf(engineType);
  while (Sapi5Busy(engineType)) console::Delay(kSapi5CloseStepMs);
  Release(binding);
}

void Sapi5Speak(std::int32_t engineType, const std::string& text) {
  Binding& binding = BindingOf(engineType);
  if (binding.voice == nullptr) return;
  const std::string said = text.empty() ? std::string(" ") : text;
  if (!Speak(binding, said, kSpeakAsyncNotXml)) {
    platform::Beep();
    return;
  }
  if (binding.heldCharacters == 0) binding.heldSince = platform::ClockMilliseconds();
  binding.heldCharacters += said.size();
}

bool Sapi5Busy(std::int32_t engineType) {
  Binding& binding = BindingOf(engineType);
  if (binding.voice == nullptr) return false;
  if (!Sounding(binding)) {
    binding.heldCharacters = 0;
    return false;
  }
  // Nothing handed over is sounding: what the voice says is not ours to wait for.
  if (binding.heldCharacters == 0) return false;
  // A voice that never reports the end of its speech would hold every wait for ever.
  if (platform::ClockMilliseconds() - binding.heldSince > Sapi5LongestSoundingMs(binding.heldCharacters)) {
    Speak(binding, " ", kSpeakPurge);
    binding.heldCharacters = 0;
    return false;
  }
  platform::PostWake(kEngineWakeMessage);
  return true;
}

void Sapi5Stop(std::int32_t engineType) {
  Binding& binding = BindingOf(engineType);
  if (binding.voice == nullptr) return;
  Speak(binding, " ", kSpeakPurge);
  binding.heldCharacters = 0;
  console::Delay(kStopSettleMs);
}

bool Sapi5Voices(std::int32_t engineType, std::vector<ServiceVoice>& voices) {
  Binding& binding = BindingOf(engineType);
  voices.clear();
  if (binding.voice != nullptr) return ListVoices(binding.voice, voices);
  ISpeechVoice* voice = MakeVoice(binding);
  if (voice == nullptr) return false;
  const bool listed = ListVoices(voice, voices);
  voice->Release();
  return listed;
}

}  // namespace engines
