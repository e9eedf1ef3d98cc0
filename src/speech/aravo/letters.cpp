#include "speech/aravo/letters.h"

#include "platform/encoding.h"

namespace aravo {

unsigned char UpperCaseCharacter(unsigned char c) { return platform::UpperCaseCp1252(c); }

unsigned char LowerCaseCharacter(unsigned char c) { return platform::LowerCaseCp1252(c); }

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
