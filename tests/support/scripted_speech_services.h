#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/sim/sim.h"
#include "speech/engines/speech_library.h"
#include "speech/engines/speech_service.h"
#ifdef _WIN32
#include "speech/engines/win32/speech_objects.h"
#endif

// Scripted stand-ins for the speech service and the synthesizer library, so that the system
// speech backends run on the simulated machine without touching the real ones.
namespace engines {

// ---- the speech service

struct ServiceScript {
  bool reachable = true;
  bool listFails = false;
  bool selectFails = false;
  bool languageFails = false;
  bool sayFails = false;
  bool alive = true;
  bool neverBegins = false;  // takes texts and never reports on them (its audio output failed)
  std::vector<ServiceVoice> voices = {{"Um", "pt-BR", "none"}, {"Dois", "pt", "none"}, {"Tres", "en", "none"}};
  // > 0: each text ends this many milliseconds after the one before it ended (or after it was
  // said, if the service was idle), its notices coming at those virtual times. 0: texts begin
  // when said and stay until Cancel or EndTexts.
  int textMs = 0;

  // What the backends did.
  std::vector<std::string> connectionNames;
  std::vector<std::string> calls;  // "language L", "voice NAME", "rate N", "say TEXT", "cancel", "close"
  std::vector<std::string> said;
  int openConnections = 0;

  // State of the service.
  struct Timed {
    std::int64_t at;
    ServiceNotice notice;
  };
  int noticeMessage = 0;
  int lastId = 0;
  std::vector<int> held;  // said and neither ended nor cancelled (textMs 0)
  std::vector<Timed> notices;
  std::int64_t lastEnd = 0;

  // A notice at virtual time `at`, woken for as the library's thread would.
  void Report(int id, ServiceNoticeKind kind, std::int64_t at) {
    notices.push_back({at, {id, kind}});
    platform::Event wake;
    wake.kind = platform::EventKind::Wake;
    wake.code = noticeMessage;
    if (at > sim::Now()) {
      sim::QueueStepAt(at, {wake});
    } else {
      platform::PostWake(noticeMessage);
    }
  }
  void EndHeld(int count, ServiceNoticeKind kind) {
    for (int k = 0; k < count && !held.empty(); ++k) {
      Report(held.front(), kind, sim::Now());
      held.erase(held.begin());
      if (kind == ServiceNoticeKind::End && !held.empty()) {
        Report(held.front(), ServiceNoticeKind::Begin, sim::Now());
      }
    }
  }
  // Ends the first `count` held texts.
  void EndTexts(int count) { EndHeld(count, ServiceNoticeKind::End); }
};

// Never destroyed: a backend left open holds a connection that reports here at exit.
inline ServiceScript& Service() {
  static ServiceScript* script = new ServiceScript;
  return *script;
}

class ScriptedConnection : public SpeechServiceConnection {
 public:
  explicit ScriptedConnection(int noticeMessage) : noticeMessage_(noticeMessage) {
    ++Service().openConnections;
  }
  ~ScriptedConnection() override {
    --Service().openConnections;
    Service().calls.push_back("close");
  }
  bool Alive() override { return Service().alive; }
  bool ListVoices(std::vector<ServiceVoice>& voices) override {
    if (Service().listFails) return false;
    voices = Service().voices;
    return true;
  }
  bool SetLanguage(const std::string& language) override {
    Service().calls.push_back("language " + language);
    return !Service().languageFails;
  }
  bool SelectVoice(const std::string& name) override {
    Service().calls.push_back("voice " + name);
    return !Service().selectFails;
  }
  bool SetRate(int rate) override {
    Service().calls.push_back("rate " + std::to_string(rate));
    return rate >= -100 && rate <= 100;
  }
  int Say(const std::string& text) override {
    ServiceScript& script = Service();
    if (script.sayFails || !script.alive) return 0;
    script.calls.push_back("say " + text);
    script.said.push_back(text);
    script.noticeMessage = noticeMessage_;
    const int id = ++script.lastId;
    if (script.neverBegins) return id;
    if (script.textMs > 0) {
      const std::int64_t begin = std::max(script.lastEnd, sim::Now());
      script.lastEnd = begin + script.textMs;
      script.Report(id, ServiceNoticeKind::Begin, begin);
      script.Report(id, ServiceNoticeKind::End, script.lastEnd);
    } else {
      script.held.push_back(id);
      if (script.held.size() == 1) script.Report(id, ServiceNoticeKind::Begin, sim::Now());
    }
    return id;
  }
  bool Cancel() override {
    ServiceScript& script = Service();
    script.calls.push_back("cancel");
    script.EndHeld(static_cast<int>(script.held.size()), ServiceNoticeKind::Cancel);
    return script.alive;
  }
  std::vector<ServiceNotice> TakeNotices() override {
    std::vector<ServiceScript::Timed>& pending = Service().notices;
    const auto isDue = [](const ServiceScript::Timed& t) { return t.at <= sim::Now(); };
    const auto later = std::stable_partition(pending.begin(), pending.end(), isDue);
    std::vector<ServiceNotice> due;
    for (auto it = pending.begin(); it != later; ++it) due.push_back(it->notice);
    pending.erase(pending.begin(), later);
    return due;
  }

 private:
  int noticeMessage_;
};

inline std::unique_ptr<SpeechServiceConnection> ConnectScripted(const std::string& name, int noticeMessage) {
  Service().connectionNames.push_back(name);
  if (!Service().reachable) return nullptr;
  return std::make_unique<ScriptedConnection>(noticeMessage);
}

// ---- the synthesizer library

class ScriptedLibrary : public SpeechLibrary {
 public:
  int rate = 22050;  // 0: the library cannot start
  bool listFails = false;
  bool selectFails = false;
  bool rateFails = false;
  bool synthFails = false;
  int samplesPerByte = 100;
  std::vector<ServiceVoice> voices = {{"Um", "pt-br", "roa/pt-BR"}, {"Dois", "pt", "roa/pt"},
                                      {"Tres", "en", "gmw/en"}};
  std::vector<std::string> calls;  // "start", "finish", "voice ID", "rate N", "pitch N", "synth TEXT"
  std::vector<std::string> texts;
  int running = 0;
  int streams = 0;

  int Start() override {
    calls.push_back("start");
    if (rate > 0) ++running;
    return rate;
  }
  void Finish() override {
    calls.push_back("finish");
    running = 0;
  }
  bool ListVoices(std::vector<ServiceVoice>& list) override {
    list = voices;
    return !listFails;
  }
  bool SelectVoice(const std::string& identifier) override {
    calls.push_back("voice " + identifier);
    return !selectFails;
  }
  bool SetRate(int wordsPerMinute) override {
    calls.push_back("rate " + std::to_string(wordsPerMinute));
    return !rateFails;
  }
  bool SetPitch(int pitch) override {
    calls.push_back("pitch " + std::to_string(pitch));
    return true;
  }
  bool Synthesize(const std::string& text, int startedMessage, std::vector<std::int16_t>& samples) override {
    calls.push_back("synth " + text);
    texts.push_back(text);
    if (synthFails) return false;
    platform::PostWake(startedMessage);
    samples.insert(samples.end(), text.size() * static_cast<std::size_t>(samplesPerByte), 1000);
    return true;
  }
  // Synthesizes the whole text before it returns.
  void StartStream(const std::string& text, int readyMessage, std::shared_ptr<SampleStream> stream) override {
    stream->failed = !Synthesize(text, readyMessage, stream->samples);
    stream->finished = true;
    ++streams;
  }
  void EndStream() override {}
};

inline ScriptedLibrary& Library() {
  static ScriptedLibrary* library = new ScriptedLibrary;
  return *library;
}

// A fresh service and library in place of the real ones. Unless `available`, they stand for a
// machine without either: the service cannot be reached and the library cannot start.
#ifdef _WIN32
// Windows' speech services are COM objects: on the simulated machine none can be made, so the
// system speech engines never open. The scripted services stand in on Linux alone.
inline HRESULT NoSpeechObject(REFCLSID, DWORD, REFIID, void**) { return REGDB_E_CLASSNOTREG; }

inline void InstallScriptedServices(bool = false) { SetSpeechObjectCreator(NoSpeechObject); }

inline void RemoveScriptedServices() { SetSpeechObjectCreator(nullptr); }
#else
inline void InstallScriptedServices(bool available = false) {
  Service() = ServiceScript();
  Library() = ScriptedLibrary();
  Service().reachable = available;
  if (!available) Library().rate = 0;
  SetSpeechServiceConnector(ConnectScripted);
  SetSpeechLibrary(&Library());
}

inline void RemoveScriptedServices() {
  SetSpeechServiceConnector(nullptr);
  SetSpeechLibrary(nullptr);
}
#endif

// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
inline bool IsValidUtf8(const std::string& text) {
  std::size_t k = 0;
  while (k < text.size()) {
    const auto byte = static_cast<unsigned char>(text[k]);
    int extra = 0;
    char32_t value = 0;
    if (byte < 0x80) {
      ++k;
      continue;
    } else if (byte >= 0xC2 && byte <= 0xDF) {
      extra = 1;
      value = byte & 0x1F;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      extra = 2;
      value = byte & 0x0F;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      extra = 3;
      value = byte & 0x07;
    } else {
      return false;
    }
    if (k + extra >= text.size()) return false;
    for (int n = 1; n <= extra; ++n) {
      const auto next = static_cast<unsigned char>(text[k + n]);
      if ((next & 0xC0) != 0x80) return false;
      value = (value << 6) | (next & 0x3F);
    }
    if ((extra == 2 && (value < 0x800 || (value >= 0xD800 && value <= 0xDFFF))) ||
        (extra == 3 && (value < 0x10000 || value > 0x10FFFF))) {
      return false;
    }
    k += extra + 1;
  }
  return true;
}

}  // namespace engines
