// Error codes the library reports through lastError_MBR and negative results.
#pragma once

namespace formant {

constexpr int kErrorMemory = -1;
constexpr int kErrorCommand = -2;
constexpr int kErrorSyntax = -3;
constexpr int kErrorRename = -6;
constexpr int kErrorPitchless = -21;
constexpr int kErrorVoiceNotFound = -40;
constexpr int kErrorVoiceVersion = -41;
constexpr int kErrorVoiceFormat = -42;
constexpr int kErrorNoSilence = -43;
constexpr int kErrorNotInitialised = -50;
constexpr int kErrorUnknownPhoneme = -63;

}  // namespace formant
