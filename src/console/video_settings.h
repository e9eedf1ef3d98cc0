#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/window.h"

// The console's look from the [VIDEO] section of VERANTO.INI (and the Braille keyboard mode
// from [BRAILLE]), with the parsing rules of each key as separate pure functions.
namespace console::video {

// Colour number (0-15) -> palette index; an index above 15 draws black.
using ColourTable = std::array<std::uint8_t, 16>;

ColourTable IdentityColourTable();
// The RGB colour a colour number draws in, through the table.
platform::Rgb PaletteColour(const ColourTable& table, int colourNumber);

struct ParsedNumber {
  int value = 0;       // the digits read before the first bad character (0 when none)
  bool whole = false;  // the text was wholly a decimal integer
};
// A decimal integer with an optional sign; saturates instead of overflowing.
ParsedNumber ParseNumber(const std::string& text);

// TABCORES: entries separated by commas, each stored as a byte (so 256 wraps to 0); parsing
// stops at the first entry that is not a number and later entries keep their values.
void ParseColourTable(const std::string& text, ColourTable& table);

// The value's first character, upper-cased, is 'S'.
bool FirstLetterIsS(const std::string& text);
// CORFUNDO / CORLETRA: `emptyValue` for an empty value; otherwise the number's low four bits.
int ColourNumber(const std::string& text, int emptyValue);
// AMPLIF: the low three bits of the first character; 0 (or no character) gives 2.
int MagnifierFactor(const std::string& text);
// CANTOTELA: maximised unless the second character, upper-cased, is 'S'.
bool ShowMaximised(const std::string& text);
// [BRAILLE] MODO: the low two bits of the first character.
int BrailleMode(const std::string& text);
// LARGURALETRA / ALTURALETRA: the number when it is 1 to kLargestFontSize, else `fallback`.
constexpr int kLargestFontSize = 1000;
int FontSize(const std::string& text, int fallback);
// The font sizes computed from the work area when no size is configured.
int DefaultFontWidth(const platform::Rect& workArea);
int DefaultFontHeight(const platform::Rect& workArea);

constexpr const char* kConfigurationFile = "VERANTO.INI";
constexpr const char* kDefaultFontFace = "Lucida Console";

struct VideoSettings {
  ColourTable colourTable = IdentityColourTable();
  bool fixedColours = false;
  bool pixelScrolling = false;
  bool showMaximised = true;
  std::uint8_t attribute = 0x0F;  // background * 16 + foreground
  int magnifierFactor = 2;
  std::string fontFace = kDefaultFontFace;
  int fontWidth = 13;
  int fontHeight = 28;
  int brailleMode = 0;
};

// Reads every key from the configuration file in the Windows folder.
VideoSettings ReadVideoSettings(const platform::Rect& workArea);

}  // namespace console::video
