#include "speech/aravo/letters.h"

namespace aravo {

unsigned char UpperCaseCharacter(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return c;
  }
}

unsigned char LowerCaseCharacter(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
  }
}

std::string UpperCase(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(UpperCaseCharacter(static_cast<unsigned char>(c)));
  return result;
}

std::string LowerCase(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(LowerCaseCharacter(static_cast<unsigned char>(c)));
  return result;
}

bool IsWordLetter(unsigned char c) {
  const unsigned char upper = UpperCaseCharacter(c);
  if (upper >= 'A' && upper <= 'Z') return true;
  switch (upper) {
    case 0xC0: case 0xC1: case 0xC2: case 0xC3:  // À Á Â Ã
    case 0xC7: case 0xC9: case 0xCA:              // Ç É Ê
    case 0xCC: case 0xCD: case 0xD1:              // Ì Í Ñ
    case 0xD3: case 0xD4: case 0xD5:              // Ó Ô Õ
    case 0xD9: case 0xDA: case 0xDC:              // Ù Ú Ü
      return true;
    default:
      return false;
  }
}

bool IsWordConsonant(unsigned char c) {
  const unsigned char upper = UpperCaseCharacter(c);
  if (upper >= 'A' && upper <= 'Z') {
    return upper != 'A' && upper != 'E' && upper != 'I' && upper != 'O' && upper != 'U';
  }
  return upper == 0xC7 || upper == 0xD1;  // Ç Ñ
}

}  // namespace aravo
