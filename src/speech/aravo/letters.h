#pragma once

#include <string>
#include <string_view>

// Letter case and letter classes of Windows-1252 text, shared by the language stages.
namespace aravo {

// Upper and lower case by the Windows ANSI rules: a-z, the accented letters à-þ (not ÷),
// and š œ ž ÿ.
unsigned char UpperCaseCharacter(unsigned char c);
unsigned char LowerCaseCharacter(unsigned char c);
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);

// The letters a word is made of: A-Z, a-z and À Á Â Ã Ç É Ê Ì Í Ñ Ó Ô Õ Ù Ú Ü in either case.
bool IsWordLetter(unsigned char c);
// Word letters that are not vowels: B-D, F-H, J-N, P-T, V-Z in either case, Ç and Ñ.
bool IsWordConsonant(unsigned char c);

}  // namespace aravo
