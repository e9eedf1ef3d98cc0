#include "speech/engines/win32/speech_objects.h"

#include "speech/engines/service_text.h"

namespace engines {
namespace {

SpeechObjectCreator creator = nullptr;

std::wstring WideFromUtf8(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

HRESULT CreateSpeechObject(REFCLSID classId, DWORD context, REFIID interfaceId, void** object) {
  *object = nullptr;
  if (creator != nullptr) return creator(classId, context, interfaceId, object);
  return ::CoCreateInstance(classId, nullptr, context, interfaceId, object);
}

void SetSpeechObjectCreator(SpeechObjectCreator replacement) { creator = replacement; }

std::wstring WideServiceText(const std::string& text) { return WideFromUtf8(ServiceText(text)); }

std::string Utf8FromWide(const wchar_t* text) {
  if (text == nullptr || *text == L'\0') return std::string();
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return std::string();
  std::string utf8(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
  utf8.resize(static_cast<std::size_t>(length - 1));
  return utf8;
}

std::string LocaleName(LCID language) {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  if (::LCIDToLocaleName(language, name, LOCALE_NAME_MAX_LENGTH, LOCALE_ALLOW_NEUTRAL_NAMES) <= 0) {
    return std::string();
  }
  return Utf8FromWide(name);
}

}  // namespace engines
