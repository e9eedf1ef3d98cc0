// The older speech backend through real COM: an engine of the tests' own, registered under
// the SAPI 4 class identifiers of the engine enumerator and both audio destinations.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "com_fakes.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/sim/sim.h"
#include "platform/system.h"
#include "speech/engines/sapi4_backend.h"
#include "speech/engines/sapi5_backend.h"
#include "speech/engines/win32/sapi4_interfaces.h"

namespace engines {
namespace {

constexpr DWORD kKey = 0x5A5A;

#define NOT_USED(signature) HRESULT STDMETHODCALLTYPE signature override { return E_NOTIMPL; }

TTSMODEINFOA Mode(unsigned long number, const char* name, WORD language, const char* speaker) {
  TTSMODEINFOA mode = {};
  mode.gModeID = {number, 0x4444, 0x11D0, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x11, 0x22, 0x33}};
  std::strcpy(mode.szModeName, name);
  mode.language.LanguageID = language;
  std::strcpy(mode.szSpeaker, speaker);
  return mode;
}

// Enumerator, central, attributes and destination in one object with one reference count,
// logging its calls. Selecting a mode moves the current folder elsewhere, as engines that
// load their data do, and hands out the central even when it fails. `failing` names the call
// that fails.
class Engine : public ITTSEnumA, public ITTSCentralA, public ITTSAttributesA, public IAudioFile {
 public:
  std::vector<TTSMODEINFOA> modes = {Mode(1, "Um", 0x0416, "Ana"), Mode(2, "Dois", 0x0816, ""),
                                     Mode(3, "Tr\xEAs", 0x0409, "Rui")};
  std::size_t next = 0;
  std::string failing;
  std::vector<std::string> calls;
  std::vector<std::string> texts;
  std::vector<std::int64_t> times;
  void* sink = nullptr;
  int otherTexts = 0;  // not plain text without flags, or not the same buffer sink
  IUnknown* destination = nullptr;
  ITTSNotifySinkA* notify = nullptr;
  std::wstring file;
  com_fakes::ReferenceCount references;

  ITTSBufNotifySink* Buffer() const { return static_cast<ITTSBufNotifySink*>(sink); }
  HRESULT Result(const char* call) const { return failing == call ? E_FAIL : S_OK; }
  HRESULT Log(const std::string& call) { return calls.push_back(call), Result(call.substr(0, call.find(' ')).c_str()); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    *object = nullptr;
    if (id == IID_IUnknown || id == kTtsEnumeratorInterface) *object = static_cast<ITTSEnumA*>(this);
    if (id == kAudioDeviceDestinationInterface || id == kAudioFileInterface) *object = static_cast<IAudioFile*>(this);
    if (id == kTtsAttributesInterface && failing != "attributes") *object = static_cast<ITTSAttributesA*>(this);
    if (*object == nullptr) return E_NOINTERFACE;
    return AddRef(), S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return references.Add(); }
  ULONG STDMETHODCALLTYPE Release() override { return references.Drop(); }

  HRESULT STDMETHODCALLTYPE Next(ULONG, TTSMODEINFOA* out, ULONG* fetched) override {
    const bool more = next < modes.size() && failing != "Next";
    if (more) *out = modes[next++];
    if (fetched != nullptr) *fetched = more;
    return failing == "Next" ? E_FAIL : more ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override { return next = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE Select(GUID id, ITTSCentralA** out, IUnknown* where) override {
    destination = where;
    platform::SetCurrentFolder("C:\\windows");
    (*out = this)->AddRef();
    return Log("Select " + std::to_string(id.Data1));
  }
  HRESULT STDMETHODCALLTYPE TextData(DWORD charset, DWORD flags, SDATA text, void* to, IID id) override {
    otherTexts += charset != 0 || flags != 0 || id != kTtsBufNotifySinkInterface || (sink != nullptr && to != sink);
    texts.emplace_back(static_cast<const char*>(text.pData), text.dwSize);
    times.push_back(sim::Now());
    return sink = to, Result("TextData");
  }
  // A real engine holds the sink until UnRegister is given the key.
  HRESULT STDMETHODCALLTYPE Register(void* sink, IID id, DWORD* key) override {
    if (FAILED(Log("Register")) || id != kTtsNotifySinkInterface) return E_FAIL;
    (notify = static_cast<ITTSNotifySinkA*>(sink))->AddRef();
    return *key = kKey, S_OK;
  }
  HRESULT STDMETHODCALLTYPE UnRegister(DWORD key) override {
    if (key != kKey || notify == nullptr) return E_INVALIDARG;
    notify->Release();
    return notify = nullptr, Log("UnRegister");
  }
  HRESULT STDMETHODCALLTYPE AudioReset() override { return Log("AudioReset"); }
  HRESULT STDMETHODCALLTYPE SpeedSet(DWORD v) override { return Log("SpeedSet " + std::to_string(v)); }
  HRESULT STDMETHODCALLTYPE PitchSet(WORD v) override { return Log("PitchSet " + std::to_string(v)); }
  HRESULT STDMETHODCALLTYPE Set(const wchar_t* name, DWORD how) override {
    return file = name, Log("Set " + std::to_string(how));
  }
  HRESULT STDMETHODCALLTYPE Flush() override { return Log("Flush"); }

  NOT_USED(Skip(ULONG)) NOT_USED(Clone(ITTSEnumA**)) NOT_USED(Inject(const char*)) NOT_USED(ModeGet(TTSMODEINFOA*))
  NOT_USED(Phoneme(DWORD, DWORD, SDATA, SDATA*)) NOT_USED(PosnGet(QWORD*)) NOT_USED(ToFileTime(QWORD*, FILETIME*))
  NOT_USED(AudioPause()) NOT_USED(AudioResume()) NOT_USED(PitchGet(WORD*)) NOT_USED(RealTimeGet(DWORD*))
  NOT_USED(RealTimeSet(DWORD)) NOT_USED(SpeedGet(DWORD*)) NOT_USED(VolumeGet(DWORD*)) NOT_USED(VolumeSet(DWORD))
  NOT_USED(Register(IUnknown*)) NOT_USED(Add(const wchar_t*, DWORD)) NOT_USED(RealTimeSet(WORD))
  NOT_USED(RealTimeGet(WORD*))
};

class Sapi4Objects : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    ASSERT_TRUE(deviceClass_.Registered() && fileClass_.Registered() && enumeratorClass_.Registered());
  }
  void TearDown() override { Sapi4Close(), console::ConsoleStop(); }
  // After close nothing the backend took is still held, and the engine has its sink back.
  void ExpectAllReleased() {
    EXPECT_EQ(engine_.references.Count(), 0);
    EXPECT_EQ(engine_.notify, nullptr);
  }

  Engine engine_;
  com_fakes::RegisteredClass::Make give_ = [this](REFIID id, void** out) { return engine_.QueryInterface(id, out); };
  com_fakes::RegisteredClass deviceClass_{kAudioDeviceDestinationClass, give_};
  com_fakes::RegisteredClass fileClass_{kAudioFileDestinationClass, give_};
  com_fakes::RegisteredClass enumeratorClass_{kTtsEnumeratorClass, give_};
};

TEST_F(Sapi4Objects, TextsGoWithTheBufferSinkAndBusyFollowsTheNotifications) {
  ASSERT_TRUE(Sapi4Open(1, 0, 0, ""));
  sim::Run([&] {
    for (const char* text : {"  7  ", "12", " \t ", "a\x01" "b"}) Sapi4Speak(text);
    EXPECT_FALSE(Sapi4Busy(0));
    ITTSBufNotifySink* buffer = engine_.Buffer();
    buffer->TextDataStarted(0);
    engine_.notify->AudioStart(0);
    EXPECT_TRUE(Sapi4Busy(1));
    Sapi4Speak("Ol\xE1");  // after 20 ms, as a text is pending
    buffer->TextDataDone(0, 0);
    buffer->TextDataDone(0, 0);
    EXPECT_FALSE(Sapi4Busy(1));  // the audio still sounds
    EXPECT_TRUE(Sapi4Busy(0));
    buffer->TextDataStarted(0);  // one done too many left the count at 0, not below
    EXPECT_TRUE(Sapi4Busy(1));
    buffer->TextDataDone(0, 0);
    engine_.notify->AudioStop(0);
    EXPECT_FALSE(Sapi4Busy(0));
  });
  const std::vector<std::string> expected = {{"7.\0", 3}, {"12\0", 3}, {"a b\0", 4}, {"Ol\xE1\0", 4}};
  EXPECT_EQ(engine_.texts, expected);
  EXPECT_EQ(engine_.times, std::vector<std::int64_t>({0, 0, 0, 20}));
  EXPECT_EQ(engine_.otherTexts, 0);
}

TEST_F(Sapi4Objects, VoiceNumberOrNameChoosesTheModeAndSpeedAndPitchAreSetWhenNotZero) {
  struct Case {
    std::int32_t voice, speed, pitch;
    std::string name, file;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {0, 0, 0, "", "", {"Select 1", "Register", "UnRegister"}},
      {1, 150, 0, "", "", {"Select 1", "Register", "SpeedSet 150", "UnRegister"}},
      {3, 0, 90, "", "", {"Select 3", "Register", "PitchSet 90", "UnRegister"}},
      {-4, 7, 8, "", "", {"Select 1", "Register", "SpeedSet 7", "PitchSet 8", "UnRegister"}},
      {1, 0, 0, "DOIS", "", {"Select 2", "Register", "UnRegister"}},
      {1, 0, 0, "rui", "", {"Select 3", "Register", "UnRegister"}},
      {3, 0, 0, "nenhuma", "", {"Select 1", "Register", "UnRegister"}},
      {2, 0, 0, "", "sa\xED" "da.wav", {"Set 1", "Select 2", "Register", "Flush", "UnRegister"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.voice) + " " + c.name + c.file);
    engine_.calls.clear();
    ASSERT_TRUE(Sapi4Open(c.voice, c.speed, c.pitch, c.file, c.name));
    EXPECT_EQ(engine_.destination, static_cast<IAudioFile*>(&engine_));
    Sapi4Close();
    EXPECT_EQ(engine_.calls, c.calls);
    ExpectAllReleased();
  }
  EXPECT_EQ(engine_.file, L"sa\u00edda.wav");
  EXPECT_EQ(deviceClass_.Created(), 7);
  EXPECT_EQ(fileClass_.Created(), 1);
}

// A text the engine holds but has not begun to sound is silenced too; a refused text stops.
TEST_F(Sapi4Objects, StopResetsTheEngineWhenATextIsPendingOrSoundingAndClearsBoth) {
  ASSERT_TRUE(Sapi4Open(1, 0, 0, ""));
  const std::tuple<bool, bool, bool> cases[] = {
      {false, false, false}, {true, false, false}, {false, true, false}, {false, true, true}};
  sim::Run([&] {
    for (const auto& [started, audio, refused] : cases) {
      engine_.failing.clear();
      engine_.calls.clear();
      Sapi4Speak("texto");
      if (started) engine_.Buffer()->TextDataStarted(0);
      if (audio) engine_.notify->AudioStart(0);
      const std::int64_t before = sim::Now();
      if (refused) engine_.failing = "TextData";
      if (refused) Sapi4Speak("recusado");
      else Sapi4Stop();
      const bool sounding = started || audio;
      EXPECT_EQ(engine_.calls, std::vector<std::string>(sounding, "AudioReset"));
      EXPECT_EQ(sim::Now() - before, sounding ? 200 : 0);
      EXPECT_FALSE(Sapi4Busy(0));
    }
  });
}

TEST_F(Sapi4Objects, AFailedOpenReleasesEverythingAndRestoresTheFolder) {
  const std::tuple<std::string, std::string, std::int32_t> cases[] = {
      {"Set", "x.wav", 1},       {"Next", "", 1},       {"", "", 4},         {"Select", "", 2},
      {"Register", "", 1},       {"attributes", "", 1}, {"SpeedSet", "x.wav", 1}};
  const std::string started = platform::CurrentFolder();
  ASSERT_TRUE(platform::SetCurrentFolder("C:\\"));
  const std::string folder = platform::CurrentFolder();
  for (const auto& [failing, file, voice] : cases) {
    SCOPED_TRACE(failing);
    engine_.failing = failing;
    EXPECT_FALSE(Sapi4Open(voice, 100, 0, file));
    EXPECT_EQ(platform::CurrentFolder(), folder);
    ExpectAllReleased();
    sim::Run([] { Sapi4Speak("nada"); });
    EXPECT_TRUE(engine_.texts.empty());
  }
  platform::SetCurrentFolder(started);
}

TEST_F(Sapi4Objects, BusyEndsOnceATextHasHadFarLongerThanItCouldSound) {
  ASSERT_TRUE(Sapi4Open(1, 0, 0, ""));
  sim::Run([&] {
    Sapi4Speak("sem fim");
    engine_.Buffer()->TextDataStarted(0);
    engine_.notify->AudioStart(0);
    for (int k = 0; k < 60 && Sapi4Busy(0); ++k) console::Delay(1000);
    EXPECT_FALSE(Sapi4Busy(0));
  });
  EXPECT_GE(sim::Now(), Sapi5LongestSoundingMs(7));
  EXPECT_LE(sim::Now(), Sapi5LongestSoundingMs(7) + 1000 + 200);
  EXPECT_EQ(engine_.calls, std::vector<std::string>({"Select 1", "Register", "AudioReset"}));
}

TEST_F(Sapi4Objects, VoicesListTheModesInOrder) {
  std::vector<ServiceVoice> voices;
  ASSERT_TRUE(Sapi4Voices(voices));
  std::vector<std::tuple<std::string, std::string, std::string>> listed;
  for (const ServiceVoice& voice : voices) listed.emplace_back(voice.name, voice.language, voice.variant);
  const decltype(listed) expected = {{"Um", "pt-BR", "Ana"},
                                     {"Dois", "pt-PT", "{00000002-4444-11D0-8000-00AA00112233}"},
                                     {"Tr\xC3\xAAs", "en-US", "Rui"}};
  EXPECT_EQ(listed, expected);
  ExpectAllReleased();
}

// Wine has no SAPI 4 objects: the open fails cleanly and nothing speaks.
TEST(Sapi4WineObjects, OpenFailsWithoutTheSystemObjects) {
  std::vector<ServiceVoice> voices;
  EXPECT_FALSE(Sapi4Voices(voices));
  EXPECT_FALSE(Sapi4Open(1, 0, 0, ""));
  EXPECT_FALSE(Sapi4Open(1, 0, 0, "x.wav"));
  EXPECT_FALSE(Sapi4Busy(0));
}

}  // namespace
}  // namespace engines
