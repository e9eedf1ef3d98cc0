#include "platform/encoding.h"

#include <cstddef>
#include <cstdint>

namespace platform {
namespace {

// Code points of bytes 0x80-0x9F; the rest of Windows-1252 equals Latin-1.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at text[i]; advances i. Returns -1 for a malformed sequence
// (one byte is then consumed).
std::int32_t DecodeUtf8(const std::string& text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  int extra;
  std::int32_t cp;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    cp = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    cp = lead & 0x07;
  } else {
    return -1;
  }
  std::size_t j = i;
  for (int k = 0; k < extra; ++k, ++j) {
    if (j >= text.size()) return -1;
    const auto next = static_cast<unsigned char>(text[j]);
    if ((next & 0xC0) != 0x80) return -1;
    cp = (cp << 6) | (next & 0x3F);
  }
  static constexpr std::int32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};
  if (cp < kSmallest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
  i = j;
  return cp;
}

}  // namespace

char32_t Cp1252ToCodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
  return byte;
}

int CodePointToCp1252(char32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
    return static_cast<int>(codePoint);
  }
  for (int k = 0; k < 32; ++k) {
    if (kHighControls[k] == codePoint) return 0x80 + k;
  }
  return -1;
}

unsigned char UpperCaseCp1252(unsigned char byte) {
  if (byte >= 'a' && byte <= 'z') return byte - 32;
  if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) return byte - 32;
  switch (byte) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return byte;
  }
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperCaseCp1252(static_cast<unsigned char>(a[i])) != UpperCaseCp1252(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

unsigned char LowerCaseCp1252(unsigned char byte) {
  if (byte >= 'A' && byte <= 'Z') return byte + 32;
  if (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7) return byte + 32;
  switch (byte) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return byte;
  }
}

std::string Cp1252ToUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToCp1252(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::int32_t cp = DecodeUtf8(text, i);
    const int byte = cp < 0 ? -1 : CodePointToCp1252(static_cast<char32_t>(cp));
    out += byte < 0 ? '?' : static_cast<char>(byte);
  }
  return out;
}

}  // namespace platform
