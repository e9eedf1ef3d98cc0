// A Windows console program: the console is switched to UTF-8 (code page 65001) both ways,
// and the arguments are taken from the wide command line, since the ANSI one cannot hold
// every character typed.
#include "platform/system.h"
#include "platform/win32/windows_api.h"

#include <shellapi.h>

namespace platform {
namespace {

std::string Utf8OfWide(const wchar_t* text) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string utf8(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
  utf8.pop_back();
  return utf8;
}

}  // namespace

std::vector<std::string> TerminalProgramArguments(int argc, char** argv) {
  ::SetConsoleOutputCP(CP_UTF8);
  ::SetConsoleCP(CP_UTF8);
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
  std::vector<std::string> words;
  for (int i = 1; i < count; ++i) words.push_back(Utf8OfWide(wide[i]));
  ::LocalFree(wide);
  return words;
}

}  // namespace platform
