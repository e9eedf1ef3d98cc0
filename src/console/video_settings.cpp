#include "console/video_settings.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>

#include "platform/system.h"

namespace console::video {
namespace {

constexpr platform::Rgb kPalette[16] = {
    {0, 0, 0},       {0, 0, 255},     {0, 255, 0},     {0, 255, 255},
    {255, 0, 0},     {142, 0, 142},   {68, 34, 34},    {192, 192, 192},
    {128, 128, 128}, {128, 128, 255}, {128, 255, 128}, {128, 255, 255},
    {255, 128, 128}, {255, 128, 255}, {255, 255, 0},   {255, 255, 255},
};

constexpr int kValueCapacity = 80;
constexpr int kMagnifierCapacity = 2;  // one character
constexpr int kFontFaceCapacity = 81;  // at most 80 characters

char UpperFirst(const std::string& text, std::size_t index) {
  if (index >= text.size()) return '\0';
  return static_cast<char>(std::toupper(static_cast<unsigned char>(text[index])));
}

std::string TrimBlanks(const std::string& text) {
  std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string ReadVideoKey(const char* key, const char* fallback, int capacity = kValueCapacity) {
  return platform::ReadProfileString("VIDEO", key, fallback, capacity, kConfigurationFile);
}

}  // namespace

ColourTable IdentityColourTable() {
  ColourTable table{};
  for (int i = 0; i < 16; ++i) table[i] = static_cast<std::uint8_t>(i);
  return table;
}

platform::Rgb PaletteColour(const ColourTable& table, int colourNumber) {
  int index = table[colourNumber & 15];
  if (index > 15) return kPalette[0];
  return kPalette[index];
}

ParsedNumber ParseNumber(const std::string& text) {
  ParsedNumber result;
  std::size_t position = 0;
  bool negative = false;
  if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
    negative = text[position] == '-';
    ++position;
  }
  std::int64_t magnitude = 0;
  std::size_t firstDigit = position;
  while (position < text.size() && text[position] >= '0' && text[position] <= '9') {
    magnitude = std::min<std::int64_t>(magnitude * 10 + (text[position] - '0'), INT_MAX);
    ++position;
  }
  result.value = static_cast<int>(negative ? -magnitude : magnitude);
  result.whole = position > firstDigit && position == text.size();
  return result;
}

void ParseColourTable(const std::string& text, ColourTable& table) {
  std::string rest = text + ",";
  for (int entry = 0; entry < 16; ++entry) {
    std::size_t comma = rest.find(',');
    if (comma == std::string::npos) return;
    // Blanks around an entry are tolerated, so "0, 1, 2" reads as meant.
    ParsedNumber number = ParseNumber(TrimBlanks(rest.substr(0, comma)));
    if (!number.whole) return;
    table[entry] = static_cast<std::uint8_t>(number.value & 0xFF);
    rest.erase(0, comma + 1);
  }
}

bool FirstLetterIsS(const std::string& text) { return UpperFirst(text, 0) == 'S'; }

int ColourNumber(const std::string& text, int emptyValue) {
  if (text.empty()) return emptyValue;
  return ParseNumber(text).value & 15;
}

int MagnifierFactor(const std::string& text) {
  int factor = text.empty() ? 0 : static_cast<unsigned char>(text[0]) & 7;
  return factor == 0 ? 2 : factor;
}

bool ShowMaximised(const std::string& text) { return UpperFirst(text, 1) != 'S'; }

int BrailleMode(const std::string& text) {
  return text.empty() ? 0 : static_cast<unsigned char>(text[0]) & 3;
}

int FontSize(const std::string& text, int fallback) {
  if (text.empty()) return fallback;
  int size = ParseNumber(text).value;
  if (size < 1 || size > kLargestFontSize) return fallback;
  return size;
}

int DefaultFontWidth(const platform::Rect& workArea) {
  if (workArea.Width() <= 0) return 13;
  return std::clamp(static_cast<int>(std::int64_t{workArea.Width()} * 13 / 1024), 1,
                    kLargestFontSize);
}

int DefaultFontHeight(const platform::Rect& workArea) {
  if (workArea.Height() <= 0) return 28;
  return std::clamp(static_cast<int>(std::int64_t{workArea.Height()} * 28 / 734), 1,
                    kLargestFontSize);
}

VideoSettings ReadVideoSettings(const platform::Rect& workArea) {
  VideoSettings settings;
  ParseColourTable(ReadVideoKey("TABCORES", "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15"),
                   settings.colourTable);
  settings.fixedColours = FirstLetterIsS(ReadVideoKey("CORESFIXAS", "N"));
  settings.pixelScrolling = FirstLetterIsS(ReadVideoKey("LENTO", "N"));
  int background = ColourNumber(ReadVideoKey("CORFUNDO", "0"), 0);
  int foreground = ColourNumber(ReadVideoKey("CORLETRA", "15"), 7);
  settings.attribute = static_cast<std::uint8_t>(background * 16 + foreground);
  settings.magnifierFactor = MagnifierFactor(ReadVideoKey("AMPLIF", "2", kMagnifierCapacity));
  settings.fontFace = ReadVideoKey("FONTE", kDefaultFontFace, kFontFaceCapacity);
  if (settings.fontFace.empty()) settings.fontFace = kDefaultFontFace;
  settings.fontWidth = FontSize(ReadVideoKey("LARGURALETRA", ""), DefaultFontWidth(workArea));
  settings.fontHeight = FontSize(ReadVideoKey("ALTURALETRA", ""), DefaultFontHeight(workArea));
  settings.showMaximised = ShowMaximised(ReadVideoKey("CANTOTELA", "SIM"));
  settings.brailleMode = BrailleMode(
      platform::ReadProfileString("BRAILLE", "MODO", "0", kValueCapacity, kConfigurationFile));
  return settings;
}

}  // namespace console::video
