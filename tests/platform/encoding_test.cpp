#include <gtest/gtest.h>

#include <string>

#include "platform/encoding.h"

namespace {

TEST(EncodingTest, EveryWindows1252ByteSurvivesARoundTrip) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  EXPECT_EQ(platform::Utf8ToCp1252(platform::Cp1252ToUtf8(all)), all);
  for (int byte = 0; byte < 256; ++byte) {
    EXPECT_EQ(platform::CodePointToCp1252(platform::Cp1252ToCodePoint(static_cast<unsigned char>(byte))), byte)
        << byte;
  }
}

TEST(EncodingTest, ConvertsKnownCharacters) {
  struct Case {
    std::string cp1252;
    std::string utf8;
  };
  const Case cases[] = {
      {"medi\xE7\xE3o", "medi\xC3\xA7\xC3\xA3o"},
      {"\x80", "\xE2\x82\xAC"},      // euro sign
      {"\x93x\x94", "\xE2\x80\x9Cx\xE2\x80\x9D"},  // curly quotes
      {"\x9F", "\xC5\xB8"},          // Y with diaeresis
      {"\xFF", "\xC3\xBF"},
      {"\x81", "\xC2\x81"},          // a byte without a character maps to itself
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::Cp1252ToUtf8(c.cp1252), c.utf8);
    EXPECT_EQ(platform::Utf8ToCp1252(c.utf8), c.cp1252);
  }
}

TEST(EncodingTest, ReplacesWhatWindows1252CannotHoldOrWhatIsMalformed) {
  struct Case {
    const char* name;
    std::string utf8;
    std::string cp1252;
  };
  const Case cases[] = {
      {"outside the set", "a\xE4\xB8\xAD" "b", "a?b"},        // a Chinese character
      {"four-byte character", "\xF0\x9F\x98\x80", "?"},
      {"lone continuation byte", "a\x80" "b", "a?b"},
      {"truncated sequence at the end", "a\xC3", "a?"},
      {"truncated sequence before text", "\xE2\x82" "x", "??x"},
      {"overlong encoding", "\xC0\xAF", "??"},
      {"surrogate", "\xED\xA0\x80", "???"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", "????"},
      {"invalid lead byte", "\xFF", "?"},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::Utf8ToCp1252(c.utf8), c.cp1252) << c.name;
  EXPECT_EQ(platform::CodePointToCp1252(0x4E2D), -1);
  EXPECT_EQ(platform::CodePointToCp1252(0x20AC), 0x80);
}

}  // namespace
