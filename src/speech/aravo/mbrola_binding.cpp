#include "speech/aravo/mbrola_binding.h"

#include "platform/system.h"

namespace aravo {
namespace {

void* library = nullptr;
MbrolaFunctions functions{};

// Resolves one name into a function pointer; false when the library lacks it.
template <typename Function>
bool Resolve(const char* name, Function& target) {
  void* symbol = platform::FindLibrarySymbol(library, name);
  target = reinterpret_cast<Function>(symbol);
  return symbol != nullptr;
}

}  // namespace

bool MbrolaBind(const std::string& name) {
  MbrolaUnbind();
  library = platform::LoadDynamicLibrary(name);
  if (library == nullptr) return false;
  MbrolaFunctions& f = functions;
  const bool resolved =
      Resolve("init_MBR", f.init) && Resolve("init_rename_MBR", f.initRename) &&
      Resolve("write_MBR", f.write) && Resolve("flush_MBR", f.flush) &&
      Resolve("read_MBR", f.read) && Resolve("readtype_MBR", f.readType) &&
      Resolve("close_MBR", f.close) && Resolve("reset_MBR", f.reset) &&
      Resolve("lastError_MBR", f.lastError) && Resolve("lastErrorStr_MBR", f.lastErrorText) &&
      Resolve("setNoError_MBR", f.setNoError) && Resolve("getNoError_MBR", f.getNoError) &&
      Resolve("setFreq_MBR", f.setFrequency) && Resolve("getFreq_MBR", f.getFrequency) &&
      Resolve("setVolumeRatio_MBR", f.setVolumeRatio) &&
      Resolve("getVolumeRatio_MBR", f.getVolumeRatio) && Resolve("getVersion_MBR", f.getVersion) &&
      Resolve("getDatabaseInfo_MBR", f.getDatabaseInfo) && Resolve("setParser_MBR", f.setParser) &&
      Resolve("init_Phone", f.initPhone) && Resolve("reset_Phone", f.resetPhone) &&
      Resolve("close_Phone", f.closePhone) && Resolve("appendf0_Phone", f.appendPitchToPhone);
  if (!resolved) {
    MbrolaUnbind();
    return false;
  }
  return true;
}

void MbrolaUnbind() {
  if (library != nullptr) platform::FreeDynamicLibrary(library);
  library = nullptr;
  functions = MbrolaFunctions{};
}

bool MbrolaBound() { return library != nullptr; }

const MbrolaFunctions& Mbrola() { return functions; }

}  // namespace aravo
