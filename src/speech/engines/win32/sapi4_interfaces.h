#pragma once

#include "platform/win32/windows_api.h"

#include <objbase.h>

#include <cstddef>
#include <cstdint>

// The SAPI 4 text-to-speech interfaces in their ANSI form, as far as the backend and its
// tests use them; MinGW-w64 has no header of its own for them. Slot orders and layouts are
// the binary contract with the engines and must not change.
namespace engines {

using QWORD = std::uint64_t;

struct SDATA {
  PVOID pData;
  DWORD dwSize;
};

struct LANGUAGEA {
  WORD LanguageID;
  char szDialect[64];
};

constexpr std::size_t kTtsNameLength = 262;

struct TTSMODEINFOA {
  GUID gEngineID;
  char szMfgName[kTtsNameLength];
  char szProductName[kTtsNameLength];
  GUID gModeID;
  char szModeName[kTtsNameLength];
  LANGUAGEA language;
  char szSpeaker[kTtsNameLength];
  char szStyle[kTtsNameLength];
  WORD wGender;
  WORD wAge;
  DWORD dwFeatures;
  DWORD dwInterfaces;
  DWORD dwEngineFeatures;
};

// GUID aligns on 4 bytes on 32- and 64-bit Windows alike, so the layout is the same on both.
static_assert(sizeof(LANGUAGEA) == 66);
static_assert(offsetof(TTSMODEINFOA, gModeID) == 540);
static_assert(offsetof(TTSMODEINFOA, szModeName) == 556);
static_assert(offsetof(TTSMODEINFOA, language) == 818);
static_assert(offsetof(TTSMODEINFOA, szSpeaker) == 884);
static_assert(offsetof(TTSMODEINFOA, wGender) == 1408);
static_assert(offsetof(TTSMODEINFOA, dwFeatures) == 1412);
static_assert(offsetof(TTSMODEINFOA, dwEngineFeatures) == 1420);
static_assert(sizeof(TTSMODEINFOA) == 1424);

class ITTSCentralA;

class ITTSEnumA : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE Next(ULONG count, TTSMODEINFOA* modes, ULONG* fetched) = 0;
  virtual HRESULT STDMETHODCALLTYPE Skip(ULONG count) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
  virtual HRESULT STDMETHODCALLTYPE Clone(ITTSEnumA** copy) = 0;
  virtual HRESULT STDMETHODCALLTYPE Select(GUID modeId, ITTSCentralA** central,
                                           IUnknown* audioDestination) = 0;
};

class ITTSCentralA : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE Inject(const char* tag) = 0;
  virtual HRESULT STDMETHODCALLTYPE ModeGet(TTSMODEINFOA* mode) = 0;
  virtual HRESULT STDMETHODCALLTYPE Phoneme(DWORD charset, DWORD flags, SDATA text,
                                            SDATA* phonemes) = 0;
  virtual HRESULT STDMETHODCALLTYPE PosnGet(QWORD* position) = 0;
  virtual HRESULT STDMETHODCALLTYPE TextData(DWORD charset, DWORD flags, SDATA text,
                                             void* notifyInterface, IID notifyInterfaceId) = 0;
  virtual HRESULT STDMETHODCALLTYPE ToFileTime(QWORD* timestamp, FILETIME* fileTime) = 0;
  virtual HRESULT STDMETHODCALLTYPE AudioPause() = 0;
  virtual HRESULT STDMETHODCALLTYPE AudioResume() = 0;
  virtual HRESULT STDMETHODCALLTYPE AudioReset() = 0;
  virtual HRESULT STDMETHODCALLTYPE Register(void* notifyInterface, IID interfaceId,
                                             DWORD* key) = 0;
  virtual HRESULT STDMETHODCALLTYPE UnRegister(DWORD key) = 0;
};

class ITTSAttributesA : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE PitchGet(WORD* pitch) = 0;
  virtual HRESULT STDMETHODCALLTYPE PitchSet(WORD pitch) = 0;
  virtual HRESULT STDMETHODCALLTYPE RealTimeGet(DWORD* realTime) = 0;
  virtual HRESULT STDMETHODCALLTYPE RealTimeSet(DWORD realTime) = 0;
  virtual HRESULT STDMETHODCALLTYPE SpeedGet(DWORD* speed) = 0;
  virtual HRESULT STDMETHODCALLTYPE SpeedSet(DWORD speed) = 0;
  virtual HRESULT STDMETHODCALLTYPE VolumeGet(DWORD* volume) = 0;
  virtual HRESULT STDMETHODCALLTYPE VolumeSet(DWORD volume) = 0;
};

class IAudioFile : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE Register(IUnknown* sink) = 0;
  virtual HRESULT STDMETHODCALLTYPE Set(const wchar_t* file, DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE Add(const wchar_t* file, DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE Flush() = 0;
  virtual HRESULT STDMETHODCALLTYPE RealTimeSet(WORD realTime) = 0;
  virtual HRESULT STDMETHODCALLTYPE RealTimeGet(WORD* realTime) = 0;
};

class ITTSNotifySinkA : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE AttribChanged(DWORD attribute) = 0;
  virtual HRESULT STDMETHODCALLTYPE AudioStart(QWORD timestamp) = 0;
  virtual HRESULT STDMETHODCALLTYPE AudioStop(QWORD timestamp) = 0;
  virtual HRESULT STDMETHODCALLTYPE Visual(QWORD timestamp, char char1, char char2, DWORD flags,
                                           void* mouth) = 0;
};

class ITTSBufNotifySink : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE TextDataDone(QWORD timestamp, DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE TextDataStarted(QWORD timestamp) = 0;
  virtual HRESULT STDMETHODCALLTYPE BookMark(QWORD timestamp, DWORD mark) = 0;
  virtual HRESULT STDMETHODCALLTYPE WordPosition(QWORD timestamp, DWORD byteOffset) = 0;
};

constexpr GUID kAudioDeviceDestinationClass = {
    0xCB96B400, 0xC743, 0x11CD, {0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50}};
constexpr GUID kAudioDeviceDestinationInterface = {
    0xB68AD320, 0xC743, 0x11CD, {0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50}};
constexpr GUID kAudioFileDestinationClass = {
    0xD4623720, 0xE4B9, 0x11CF, {0x8D, 0x56, 0x00, 0xA0, 0xC9, 0x03, 0x4A, 0x7E}};
constexpr GUID kAudioFileInterface = {
    0xFD7C2320, 0x3D6D, 0x11B9, {0xC0, 0x00, 0xFE, 0xD6, 0xCB, 0xA3, 0xB1, 0xA9}};
constexpr GUID kTtsEnumeratorClass = {
    0xD67C0280, 0xC743, 0x11CD, {0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50}};
constexpr GUID kTtsEnumeratorInterface = {
    0x05EB6C6D, 0xDBAB, 0x11CD, {0xB3, 0xCA, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};
constexpr GUID kTtsNotifySinkInterface = {
    0x05EB6C6F, 0xDBAB, 0x11CD, {0xB3, 0xCA, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};
constexpr GUID kTtsBufNotifySinkInterface = {
    0xE4963D40, 0xC743, 0x11CD, {0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50}};
constexpr GUID kTtsAttributesInterface = {
    0x0FD6E2A1, 0xE77D, 0x11CD, {0xB3, 0xCA, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};

// The classes the backend creates, and the context they are created in (in-process server,
// in-process handler, local server).
constexpr DWORD kSapi4ObjectContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER |
                                      CLSCTX_LOCAL_SERVER;

}  // namespace engines
