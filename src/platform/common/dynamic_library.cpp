// Dynamic libraries on Linux: dlopen, dlsym, dlclose.
#include <dlfcn.h>

#include "platform/system.h"

namespace platform {

void* LoadDynamicLibrary(const std::string& name) {
  if (name.empty()) return nullptr;
  return dlopen(FileSystemName(name).c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* FindLibrarySymbol(void* library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return dlsym(library, name);
}

void FreeDynamicLibrary(void* library) {
  if (library != nullptr) dlclose(library);
}

}  // namespace platform
