#pragma once

#include "platform/win32/windows_api.h"

#include <objbase.h>

#include <string>

// What the Windows speech backends share: how their COM objects are made, and texts as COM
// takes them.
namespace engines {

// Makes a speech service's COM object, CoCreateInstance unless a test set another way.
using SpeechObjectCreator = HRESULT (*)(REFCLSID classId, DWORD context, REFIID interfaceId,
                                        void** object);
HRESULT CreateSpeechObject(REFCLSID classId, DWORD context, REFIID interfaceId, void** object);
// Replaces the creator (tests); null brings back CoCreateInstance.
void SetSpeechObjectCreator(SpeechObjectCreator creator);

// A Windows-1252 text in UTF-16, every control character made a blank (as ServiceText does).
std::wstring WideServiceText(const std::string& text);
// A UTF-16 text from a speech service in UTF-8, as the voice lists carry names.
std::string Utf8FromWide(const wchar_t* text);

// The name of a Windows language such as 0x416 ("pt-BR"); empty when Windows has none.
std::string LocaleName(LCID language);

// Releases `object` and sets it to null; nothing when it is null already.
template <typename Interface>
void ReleaseObject(Interface*& object) {
  if (object == nullptr) return;
  object->Release();
  object = nullptr;
}

}  // namespace engines
