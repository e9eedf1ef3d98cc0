// The program file, the registry, message boxes, component services, sleeping and the clock
// on Windows.

#include <objbase.h>

#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/win32/win32_internal.h"
#include "platform/win32/windows_api.h"

namespace platform {

std::string ProgramPath() {
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    // A name cut to the buffer fills it whole; a longer buffer is tried then.
    if (length < buffer.size() - 1) return std::string(buffer.data(), length);
    if (buffer.size() > 32768) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

bool ReadRegistryString(const std::string& key, const std::string& valueName, std::string& value) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
    return false;
  }
  const char* name = valueName.c_str();
  DWORD type = 0;
  DWORD size = 0;
  LONG status = ::RegQueryValueExA(opened, name, nullptr, &type, nullptr, &size);
  std::vector<char> data;
  // The value may change between the two calls: grow and ask again while it does not fit.
  for (int attempt = 0; status == ERROR_SUCCESS && attempt < 8; ++attempt) {
    if (type != REG_SZ && type != REG_EXPAND_SZ) break;
    data.assign(static_cast<std::size_t>(size) + 1, '\0');
    DWORD got = size;
    status = ::RegQueryValueExA(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
    if (status == ERROR_MORE_DATA) {
      size = got > size ? got : size * 2 + 16;
      status = ERROR_SUCCESS;
      continue;
    }
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) break;
    // A string stored without its terminator ends at the value's last byte: the extra byte
    // of the buffer, still 0, ends it.
    data.resize(got < data.size() ? got : data.size());
    std::string text(data.begin(), data.end());
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    ::RegCloseKey(opened);
    value = text;
    return true;
  }
  ::RegCloseKey(opened);
  return false;
}

void MessageBox(const std::string& title, const std::string& text) {
  win32::ShowPendingDrawing();
  ::MessageBoxA(win32::ConsoleWindow(), text.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
}

void StartComponentServices() {
  static bool started = false;
  if (started) return;
  started = true;
  // S_FALSE (already started on this thread) is as good as S_OK; a failure leaves the system
  // speech services unable to start, which they report themselves.
  static_cast<void>(::CoInitialize(nullptr));
}

void Sleep(int milliseconds) {
  win32::ShowPendingDrawing();
  if (milliseconds > 0) ::Sleep(static_cast<DWORD>(milliseconds));
}

std::int64_t ClockMilliseconds() {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER value;
    return ::QueryPerformanceFrequency(&value) && value.QuadPart > 0 ? value.QuadPart : 0;
  }();
  if (frequency == 0) return static_cast<std::int64_t>(::GetTickCount64());
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  // Whole seconds and the rest apart, so the product never overflows.
  const LONGLONG seconds = now.QuadPart / frequency;
  const LONGLONG rest = now.QuadPart % frequency;
  return static_cast<std::int64_t>(seconds * 1000 + rest * 1000 / frequency);
}

}  // namespace platform
