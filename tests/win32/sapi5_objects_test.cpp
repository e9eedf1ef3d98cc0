// Engine types 5 and 54 through real COM: a voice, its voice list and a file stream of the
// tests' own, registered under the SAPI 5 and 5.4 class identifiers.
#include "com_fakes.h"

#include <oleauto.h>
#include <sapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/events.h"
#include "platform/sim/sim.h"
#include "speech/engines/sapi5_backend.h"
#include "speech/engines/win32/sapi5_identifiers.h"

namespace {

using com_fakes::ReferenceCount;
using com_fakes::RegisteredClass;

constexpr DISPID kVoiceMember = 7;
constexpr DISPID kStreamMember = 8;

#define NOT_USED(signature) HRESULT STDMETHODCALLTYPE signature override { return E_NOTIMPL; }

// An object whose references are counted and never freed: the test owns it.
template <typename Interface>
class Counted : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    *object = nullptr;
    if (id != IID_IUnknown && id != IID_IDispatch && id != __uuidof(Interface) && !Also(id)) return E_NOINTERFACE;
    *object = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return references.Add(); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = references.Drop();
    if (left == 0) LastReleased();
    return left;
  }
  NOT_USED(GetTypeInfoCount(UINT*)) NOT_USED(GetTypeInfo(UINT, LCID, ITypeInfo**))
  NOT_USED(GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*))
  NOT_USED(Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*))
  ReferenceCount references;

 protected:
  virtual bool Also(REFIID) { return false; }
  virtual void LastReleased() {}
};

class Token : public Counted<ISpeechObjectToken> {
 public:
  explicit Token(const wchar_t* name) : name_(name) {}
  HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) override { return (*id = ::SysAllocString(name_)) ? S_OK : E_OUTOFMEMORY; }
  HRESULT STDMETHODCALLTYPE GetDescription(LONG, BSTR* text) override { return get_Id(text); }
  HRESULT STDMETHODCALLTYPE GetAttribute(BSTR, BSTR* value) override {
    return (*value = ::SysAllocString(L"416")) ? S_OK : E_OUTOFMEMORY;
  }
  NOT_USED(get_DataKey(ISpeechDataKey**)) NOT_USED(get_Category(ISpeechObjectTokenCategory**))
  NOT_USED(SetId(BSTR, BSTR, VARIANT_BOOL))
  NOT_USED(CreateInstance(IUnknown*, SpeechTokenContext, IUnknown**)) NOT_USED(Remove(BSTR))
  NOT_USED(GetStorageFileName(BSTR, BSTR, BSTR, SpeechTokenShellFolder, BSTR*))
  NOT_USED(RemoveStorageFileName(BSTR, BSTR, VARIANT_BOOL))
  NOT_USED(IsUISupported(const BSTR, const VARIANT*, IUnknown*, VARIANT_BOOL*))
  NOT_USED(DisplayUI(LONG, BSTR, const BSTR, const VARIANT*, IUnknown*))
  NOT_USED(MatchesAttributes(BSTR, VARIANT_BOOL*))

 private:
  const wchar_t* name_;
};

class Tokens : public Counted<ISpeechObjectTokens> {
 public:
  std::vector<Token*> voices;
  HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
    *count = static_cast<LONG>(voices.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Item(LONG index, ISpeechObjectToken** token) override {
    if (index < 0 || index >= static_cast<LONG>(voices.size())) return E_INVALIDARG;
    *token = voices[static_cast<std::size_t>(index)];
    (*token)->AddRef();
    return S_OK;
  }
  NOT_USED(get__NewEnum(IUnknown**))
};

class FileStream : public Counted<ISpeechFileStream> {
 public:
  std::wstring name;
  int mode = 0;
  bool doEvents = false;
  bool closed = false;
  HRESULT STDMETHODCALLTYPE Open(BSTR file, SpeechStreamFileMode fileMode, VARIANT_BOOL events) override {
    name = file;
    mode = fileMode;
    doEvents = events == VARIANT_TRUE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Close() override {
    closed = true;
    return S_OK;
  }
  NOT_USED(get_Format(ISpeechAudioFormat**)) NOT_USED(putref_Format(ISpeechAudioFormat*))
  NOT_USED(Read(VARIANT*, LONG, LONG*)) NOT_USED(Write(VARIANT, LONG*))
  NOT_USED(Seek(VARIANT, SpeechStreamSeekPositionType, VARIANT*))

 protected:
  bool Also(REFIID id) override { return id == __uuidof(ISpeechBaseStream); }
};

// Speaks until the test ends its speech: the speak-complete event is reset by each Speak and
// set by Finish or a purge.
class Voice : public Counted<ISpeechVoice> {
 public:
  Tokens tokens;
  std::vector<std::pair<std::wstring, long>> spoken;  // text, flags
  std::vector<std::string> calls;
  long eventInterests = 0;
  long rate = -99;
  IDispatch* chosen = nullptr;
  IDispatch* stream = nullptr;
  bool streamClosedFirst = false;
  bool speakFails = false;
  HANDLE done = ::CreateEventW(nullptr, TRUE, TRUE, nullptr);

  ~Voice() { ::CloseHandle(done); }
  void Finish() { ::SetEvent(done); }

  HRESULT STDMETHODCALLTYPE put_EventInterests(SpeechVoiceEvents interests) override {
    eventInterests = interests;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetVoices(BSTR, BSTR, ISpeechObjectTokens** list) override {
    *list = &tokens;
    tokens.AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE putref_Voice(ISpeechObjectToken* token) override { return Hold(chosen, token, "putref Voice"); }
  HRESULT STDMETHODCALLTYPE putref_AudioOutputStream(ISpeechBaseStream* output) override {
    return Hold(stream, output, "putref AudioOutputStream");
  }
  HRESULT STDMETHODCALLTYPE put_Rate(LONG value) override {
    rate = value;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SpeakCompleteEvent(LONG* handle) override {
    *handle = static_cast<LONG>(reinterpret_cast<std::intptr_t>(done));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Speak(BSTR text, SpeechVoiceSpeakFlags flags, LONG*) override {
    if (speakFails) return E_FAIL;
    spoken.emplace_back(std::wstring(text, ::SysStringLen(text)), flags);
    if (flags & SVSFPurgeBeforeSpeak) ::SetEvent(done);
    else ::ResetEvent(done);
    return S_OK;
  }
  // The 5.4 binding puts Voice and AudioOutputStream by name.
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* member) override {
    const std::wstring name = names[0];
    *member = name == L"Voice" ? kVoiceMember : name == L"AudioOutputStream" ? kStreamMember : DISPID_UNKNOWN;
    return *member == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    if (flags != DISPATCH_PROPERTYPUT || parameters->cArgs != 1 || parameters->rgvarg[0].vt != VT_DISPATCH ||
        parameters->cNamedArgs != 1 || parameters->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
      return DISP_E_MEMBERNOTFOUND;
    }
    IDispatch* value = parameters->rgvarg[0].pdispVal;
    return member == kVoiceMember ? Hold(chosen, value, "put Voice") : Hold(stream, value, "put AudioOutputStream");
  }

  NOT_USED(get_Status(ISpeechVoiceStatus**)) NOT_USED(get_Voice(ISpeechObjectToken**))
  NOT_USED(get_AudioOutput(ISpeechObjectToken**)) NOT_USED(putref_AudioOutput(ISpeechObjectToken*))
  NOT_USED(get_AudioOutputStream(ISpeechBaseStream**)) NOT_USED(get_Rate(LONG*)) NOT_USED(get_Volume(LONG*))
  NOT_USED(put_Volume(LONG)) NOT_USED(put_AllowAudioOutputFormatChangesOnNextSet(VARIANT_BOOL))
  NOT_USED(get_AllowAudioOutputFormatChangesOnNextSet(VARIANT_BOOL*))
  NOT_USED(get_EventInterests(SpeechVoiceEvents*)) NOT_USED(put_Priority(SpeechVoicePriority))
  NOT_USED(get_Priority(SpeechVoicePriority*)) NOT_USED(put_AlertBoundary(SpeechVoiceEvents))
  NOT_USED(get_AlertBoundary(SpeechVoiceEvents*)) NOT_USED(put_SynchronousSpeakTimeout(LONG))
  NOT_USED(get_SynchronousSpeakTimeout(LONG*))
  NOT_USED(SpeakStream(ISpeechBaseStream*, SpeechVoiceSpeakFlags, LONG*)) NOT_USED(Pause())
  NOT_USED(Resume()) NOT_USED(Skip(const BSTR, LONG, LONG*))
  NOT_USED(GetAudioOutputs(BSTR, BSTR, ISpeechObjectTokens**)) NOT_USED(WaitUntilDone(LONG, VARIANT_BOOL*))
  NOT_USED(IsUISupported(const BSTR, const VARIANT*, VARIANT_BOOL*))
  NOT_USED(DisplayUI(LONG, BSTR, const BSTR, const VARIANT*))

 protected:
  // The voice lets go of what it holds when its last reference goes, as a real one is freed.
  void LastReleased() override {
    streamClosedFirst = stream == nullptr || fileStream == nullptr || fileStream->closed;
    if (chosen != nullptr) chosen->Release();
    if (stream != nullptr) stream->Release();
    chosen = stream = nullptr;
  }

 public:
  FileStream* fileStream = nullptr;

 private:
  template <typename Held>
  HRESULT Hold(IDispatch*& slot, Held* value, const char* call) {
    calls.push_back(call);
    if (slot != nullptr) slot->Release();
    slot = value;
    if (slot != nullptr) slot->AddRef();
    return S_OK;
  }
};

// Both bindings, each with its own registered voice and file stream.
using engines::kSapi54FileStream;
using engines::kSapi54Voice;
using engines::kSapi5FileStream;
using engines::kSapi5Voice;

struct Binding {
  std::int32_t type;
  const GUID& voiceClass;
  const GUID& streamClass;
  const char* voiceCall;
  const char* streamCall;
};
const Binding kBindings[] = {{5, kSapi5Voice, kSapi5FileStream, "putref Voice", "putref AudioOutputStream"},
                             {54, kSapi54Voice, kSapi54FileStream, "put Voice", "put AudioOutputStream"}};

class Sapi5Objects : public ::testing::TestWithParam<Binding> {
 protected:
  void SetUp() override {
    sim::Reset();
    for (Token& token : tokens_) voice_.tokens.voices.push_back(&token);
    voice_.fileStream = &stream_;
    ASSERT_TRUE(voiceClass_.Registered() && streamClass_.Registered());
  }
  void TearDown() override { console::ConsoleStop(); }

  static HRESULT Give(IDispatch* object, REFIID id, void** out) { return object->QueryInterface(id, out); }

  // After close nothing the backend took is still held.
  void ExpectAllReleased() {
    EXPECT_EQ(voice_.references.Count(), 0);
    EXPECT_EQ(voice_.tokens.references.Count(), 0);
    for (Token& token : tokens_) EXPECT_EQ(token.references.Count(), 0);
    EXPECT_EQ(stream_.references.Count(), 0);
  }

  std::int32_t Type() const { return GetParam().type; }

  Token tokens_[3] = {Token(L"Um"), Token(L"Dois"), Token(L"Tr\u00eas")};
  Voice voice_;
  FileStream stream_;
  RegisteredClass voiceClass_{GetParam().voiceClass, [this](REFIID id, void** out) { return Give(&voice_, id, out); }};
  RegisteredClass streamClass_{GetParam().streamClass, [this](REFIID id, void** out) { return Give(&stream_, id, out); }};
};

TEST_P(Sapi5Objects, OpensTheVoiceNumberAtItsRateOrTheFirstAtRateZero) {
  struct Case {
    std::int32_t voice, speed;
    std::string name;
    int chosen;
    long rate;
  };
  const Case cases[] = {{2, 4, "", 1, 4}, {3, -2, "", 2, -2}, {0, 4, "", 0, 0},
                        {4, 4, "", 0, 0}, {1, 5, "DOIS", 1, 5}, {2, 5, "nenhuma", 0, 0}};
  for (const Case& c : cases) {
    ASSERT_TRUE(engines::Sapi5Open(Type(), c.voice, c.speed, 0, "", c.name)) << c.voice;
    EXPECT_EQ(voice_.eventInterests, 33790);
    EXPECT_EQ(voice_.chosen, static_cast<IDispatch*>(&tokens_[c.chosen])) << c.voice << " " << c.name;
    EXPECT_EQ(voice_.rate, c.rate) << c.voice;
    EXPECT_EQ(voice_.calls.back(), GetParam().voiceCall);
    sim::Run([&] { engines::Sapi5Close(Type()); });
    ExpectAllReleased();
  }
}

TEST_P(Sapi5Objects, SpeaksInTheBackgroundUntilTheVoiceEndsThenStopsAndCloses) {
  ASSERT_TRUE(engines::Sapi5Open(Type(), 1, 0, 0, ""));
  sim::Run([&] {
    engines::Sapi5Speak(Type(), "Ol\xE1");
    engines::Sapi5Speak(Type(), "");
    EXPECT_TRUE(engines::Sapi5Busy(Type()));
    bool woke = false;
    platform::Event event;
    while (platform::PeekEvent(event)) woke = woke || (event.kind == platform::EventKind::Wake && event.code == 2980);
    EXPECT_TRUE(woke);
    voice_.Finish();
    EXPECT_FALSE(engines::Sapi5Busy(Type()));
    engines::Sapi5Speak(Type(), "de novo");
    engines::Sapi5Stop(Type());
    std::string everyByte(255, ' ');
    for (int k = 0; k < 255; ++k) everyByte[static_cast<std::size_t>(k)] = static_cast<char>(k + 1);
    EXPECT_FALSE(engines::Sapi5Busy(Type()));
    engines::Sapi5Speak(Type(), everyByte);
    voice_.Finish();
    engines::Sapi5Close(Type());
  });
  ASSERT_EQ(voice_.spoken.size(), 5u);
  const std::vector<std::pair<std::wstring, long>> expected = {
      {L"Ol\u00e1", 17}, {L" ", 17}, {L"de novo", 17}, {L" ", 2}, voice_.spoken[4]};
  EXPECT_EQ(voice_.spoken, expected);
  // Every byte reaches the voice as one character, control characters as blanks.
  const std::wstring& all = voice_.spoken[4].first;
  ASSERT_EQ(all.size(), 255u);
  EXPECT_EQ(all.find_first_of(std::wstring(L"\x01\x1F\x7F", 3)), std::wstring::npos);
  EXPECT_EQ(all[0xE1 - 1], L'\u00e1');
  EXPECT_EQ(all[0x80 - 1], L'\u20ac');
  EXPECT_TRUE(sim::Beeps().empty());
  ExpectAllReleased();
}

TEST_P(Sapi5Objects, AnOutputFileIsOpenedForWritingAndClosedBeforeTheVoiceGoes) {
  ASSERT_TRUE(engines::Sapi5Open(Type(), 1, 0, 0, "sa\xED" "da.wav"));
  EXPECT_EQ(stream_.name, L"sa\u00edda.wav");
  EXPECT_EQ(stream_.mode, 3);
  EXPECT_TRUE(stream_.doEvents);
  EXPECT_EQ(voice_.stream, static_cast<IDispatch*>(&stream_));
  EXPECT_EQ(voice_.calls.back(), GetParam().streamCall);
  sim::Run([&] { engines::Sapi5Close(Type()); });
  EXPECT_TRUE(stream_.closed);
  EXPECT_TRUE(voice_.streamClosedFirst);
  ExpectAllReleased();
}

TEST_P(Sapi5Objects, FailuresOpenNothingBeepOrGiveUpWithoutHanging) {
  voice_.tokens.voices.clear();
  EXPECT_FALSE(engines::Sapi5Open(Type(), 1, 0, 0, ""));
  ExpectAllReleased();
  for (Token& token : tokens_) voice_.tokens.voices.push_back(&token);

  ASSERT_TRUE(engines::Sapi5Open(Type(), 1, 0, 0, ""));
  voice_.speakFails = true;
  sim::Run([&] { engines::Sapi5Speak(Type(), "perdido"); });
  EXPECT_EQ(sim::Beeps().size(), 1u);
  voice_.speakFails = false;
  // A voice that never sets its event: busy gives up once the text has had far longer than
  // it could sound, and close returns.
  sim::Run([&] {
    engines::Sapi5Speak(Type(), "sem fim");
    while (engines::Sapi5Busy(Type())) console::Delay(1000);
    voice_.Finish();
    ::ResetEvent(voice_.done);
    engines::Sapi5Close(Type());
  });
  EXPECT_GE(sim::Now(), engines::Sapi5LongestSoundingMs(7));
  EXPECT_LT(sim::Now(), engines::Sapi5LongestSoundingMs(7) + 2000);
  ExpectAllReleased();
}

INSTANTIATE_TEST_SUITE_P(Bindings, Sapi5Objects, ::testing::ValuesIn(kBindings),
                         [](const auto& info) { return "Sapi" + std::to_string(info.param.type); });

// Wine's own speech objects as they are: either a voice opens and speaks, or the open fails
// cleanly (then the internal voice speaks).
TEST(Sapi5WineObjects, OpenEitherSpeaksOrFailsCleanly) {
  sim::Reset();
  for (const std::int32_t type : {5, 54}) {
    std::vector<engines::ServiceVoice> voices;
    const bool listed = engines::Sapi5Voices(type, voices) && !voices.empty();
    const bool opened = engines::Sapi5Open(type, 1, 0, 0, "");
    EXPECT_LE(opened, listed) << type;
    if (!opened) continue;
    sim::Run([&] {
      engines::Sapi5Speak(type, "teste");
      engines::Sapi5Close(type);
    });
    EXPECT_FALSE(engines::Sapi5Busy(type));
  }
  console::ConsoleStop();
}

}  // namespace
