#pragma once

#include <string>

// The synthesizer library, loaded at run time and resolved by name.
namespace aravo {

#if defined(_WIN32)
#define MBROLA_CALL __stdcall
constexpr const char* kMbrolaLibrary = "mbrola.dll";
#else
#define MBROLA_CALL
constexpr const char* kMbrolaLibrary = "libmbrola.so";
#endif

struct MbrolaFunctions {
  int(MBROLA_CALL* init)(char* voicePath);
  int(MBROLA_CALL* initRename)(char* voicePath, char* rename, char* clone);
  int(MBROLA_CALL* write)(char* text);
  int(MBROLA_CALL* flush)();
  int(MBROLA_CALL* read)(void* buffer, int wanted);
  int(MBROLA_CALL* readType)(void* buffer, int wanted, int type);
  void(MBROLA_CALL* close)();
  int(MBROLA_CALL* reset)();
  int(MBROLA_CALL* lastError)();
  int(MBROLA_CALL* lastErrorText)(char* buffer, int size);
  void(MBROLA_CALL* setNoError)(int on);
  int(MBROLA_CALL* getNoError)();
  void(MBROLA_CALL* setFrequency)(int hz);
  int(MBROLA_CALL* getFrequency)();
  void(MBROLA_CALL* setVolumeRatio)(float ratio);
  float(MBROLA_CALL* getVolumeRatio)();
  int(MBROLA_CALL* getVersion)(char* buffer, int size);
  int(MBROLA_CALL* getDatabaseInfo)(char* buffer, int size, int index);
  void(MBROLA_CALL* setParser)(void* parser);
  void*(MBROLA_CALL* initPhone)(char* name, float lengthMs);
  void(MBROLA_CALL* resetPhone)(void* phone);
  void(MBROLA_CALL* closePhone)(void* phone);
  void(MBROLA_CALL* appendPitchToPhone)(void* phone, float posPercent, float hz);
};

// Loads the library and resolves all 23 functions; false (and nothing loaded) when the
// library is missing or lacks any of them. Binding again first unbinds.
bool MbrolaBind(const std::string& library = kMbrolaLibrary);
// Frees the library if it is loaded.
void MbrolaUnbind();
bool MbrolaBound();
// The resolved functions; every pointer is null while unbound.
const MbrolaFunctions& Mbrola();

}  // namespace aravo
