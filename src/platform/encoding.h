#pragma once

#include <string>
#include <string_view>

// Windows-1252 inside the program, UTF-8 at its edges (window text input and rendering,
// terminals, Linux file names).
namespace platform {

std::string Cp1252ToUtf8(const std::string& text);
// A character that Windows-1252 cannot hold becomes '?'; malformed UTF-8 bytes become '?' too.
std::string Utf8ToCp1252(const std::string& text);
// The Unicode code point of one Windows-1252 byte (bytes 0x81, 0x8D, 0x8F, 0x90, 0x9D, which
// have none, map to themselves).
char32_t Cp1252ToCodePoint(unsigned char byte);
// The Windows-1252 byte of a code point, or -1 when it has none.
int CodePointToCp1252(char32_t codePoint);

// Upper and lower case of one Windows-1252 byte: ASCII letters, the accented letters
// 0xC0-0xFE (not the signs × and ÷) and š, œ, ž, ÿ; every other byte is its own case.
unsigned char UpperCaseCp1252(unsigned char byte);
unsigned char LowerCaseCp1252(unsigned char byte);
// Whether two Windows-1252 texts differ at most in case, as Windows compares names.
bool SameIgnoringCase(std::string_view a, std::string_view b);

}  // namespace platform
