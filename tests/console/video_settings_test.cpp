#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "console/video_settings.h"
#include "platform/temp_folder.h"

namespace console::video {
namespace {

TEST(VideoNumbers, DigitsBeforeTheFirstBadCharacter) {
  struct Case {
    const char* text;
    int value;
    bool whole;
  };
  const Case cases[] = {
      {"12", 12, true},       {"12x", 12, false},   {"x", 0, false},
      {"", 0, false},         {"-3", -3, true},     {"+7", 7, true},
      {"-", 0, false},        {" 5", 0, false},     {"7 ", 7, false},
      {"99999999999", INT_MAX, true},               {"-99999999999", -INT_MAX, true},
  };
  for (const Case& c : cases) {
    ParsedNumber number = ParseNumber(c.text);
    EXPECT_EQ(number.value, c.value) << '"' << c.text << '"';
    EXPECT_EQ(number.whole, c.whole) << '"' << c.text << '"';
  }
}

TEST(VideoColourTable, EntriesStoredAsBytesUntilTheFirstBadOne) {
  struct Case {
    const char* text;
    ColourTable expected;
  };
  const Case cases[] = {
      {"0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15",
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
      {"0,1,2,3,4,5,6,7,8,9,10,11,12,13,0,15",
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 0, 15}},
      // Later entries keep their values.
      {"5", {5, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
      {"9,9,x,9", {9, 9, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
      {"9,9,3x,9", {9, 9, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
      {",9", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
      {"", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
      // A byte store wraps.
      {"256,-1,300,271", {0, 255, 44, 15, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
      // Blanks around entries are tolerated.
      {"15, 14 ,13", {15, 14, 13, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
      // Only sixteen entries exist.
      {"1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
  };
  for (const Case& c : cases) {
    ColourTable table = IdentityColourTable();
    ParseColourTable(c.text, table);
    EXPECT_EQ(table, c.expected) << '"' << c.text << '"';
  }
}

TEST(VideoColourTable, PaletteThroughTheTable) {
  ColourTable table = IdentityColourTable();
  EXPECT_EQ(PaletteColour(table, 14), (platform::Rgb{255, 255, 0}));
  EXPECT_EQ(PaletteColour(table, 5), (platform::Rgb{142, 0, 142}));
  EXPECT_EQ(PaletteColour(table, 6), (platform::Rgb{68, 34, 34}));
  EXPECT_EQ(PaletteColour(table, 7), (platform::Rgb{192, 192, 192}));
  // Only the low four bits of a colour number count.
  EXPECT_EQ(PaletteColour(table, 14 + 16), (platform::Rgb{255, 255, 0}));
  table[14] = 1;
  EXPECT_EQ(PaletteColour(table, 14), (platform::Rgb{0, 0, 255}));
  table[14] = 16;
  EXPECT_EQ(PaletteColour(table, 14), (platform::Rgb{0, 0, 0}));
  table[14] = 255;
  EXPECT_EQ(PaletteColour(table, 14), (platform::Rgb{0, 0, 0}));
}

TEST(VideoFlags, SingleCharacterRules) {
  struct Case {
    const char* text;
    bool firstLetterS;
    bool maximised;
    int magnifier;
    int braille;
  };
  const Case cases[] = {
      {"SIM", true, true, 3, 3},   // 'S' = 83: low three bits 3, low two bits 3
      {"sim", true, true, 3, 3},   {"N", false, true, 6, 2},
      {"NAO", false, true, 6, 2},  {"NS", false, false, 6, 2},
      {"ns", false, false, 6, 2},  {"S", true, true, 3, 3},
      {"", false, true, 2, 0},     {"0", false, true, 2, 0},
      {"1", false, true, 1, 1},    {"2", false, true, 2, 2},
      {"5", false, true, 5, 1},    {"7", false, true, 7, 3},
      {"8", false, true, 2, 0},    {"35", false, true, 3, 3},
      {" S", false, false, 2, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FirstLetterIsS(c.text), c.firstLetterS) << '"' << c.text << '"';
    EXPECT_EQ(ShowMaximised(c.text), c.maximised) << '"' << c.text << '"';
    EXPECT_EQ(MagnifierFactor(c.text), c.magnifier) << '"' << c.text << '"';
    EXPECT_EQ(BrailleMode(c.text), c.braille) << '"' << c.text << '"';
  }
}

TEST(VideoColourNumbers, EmptyValueAndLowFourBits) {
  EXPECT_EQ(ColourNumber("", 7), 7);
  EXPECT_EQ(ColourNumber("", 0), 0);
  EXPECT_EQ(ColourNumber("14", 7), 14);
  EXPECT_EQ(ColourNumber("12abc", 7), 12);
  EXPECT_EQ(ColourNumber("abc", 7), 0);
  EXPECT_EQ(ColourNumber("99", 7), 3);
  EXPECT_EQ(ColourNumber("16", 7), 0);
  EXPECT_EQ(ColourNumber("-1", 7), 15);
}

TEST(VideoFontSizes, ConfiguredOrComputedFromTheWorkArea) {
  const platform::Rect workArea{0, 0, 1024, 738};
  EXPECT_EQ(DefaultFontWidth(workArea), 13);
  EXPECT_EQ(DefaultFontHeight(workArea), 28);
  EXPECT_EQ(DefaultFontWidth({0, 30, 1600, 900}), 20);   // 1600 / 1024 * 13 = 20.3
  EXPECT_EQ(DefaultFontHeight({0, 30, 1600, 900}), 33);  // 870 / 734 * 28 = 33.2
  EXPECT_EQ(DefaultFontWidth({0, 0, 50, 20}), 1);
  EXPECT_EQ(DefaultFontHeight({0, 0, 50, 20}), 1);
  EXPECT_EQ(DefaultFontWidth({}), 13);
  EXPECT_EQ(DefaultFontHeight({}), 28);

  struct Case {
    const char* text;
    int size;
  };
  const Case cases[] = {{"", 13},  {"10", 10},  {"10px", 10},   {"0", 13},
                        {"-5", 13}, {"x", 13},  {"1000", 1000}, {"1001", 13},
                        {"99999999999", 13}};
  for (const Case& c : cases) EXPECT_EQ(FontSize(c.text, 13), c.size) << '"' << c.text << '"';
}

using VideoSettingsFile = TempFolderTest;

TEST_F(VideoSettingsFile, DefaultsWithoutAFile) {
  VideoSettings settings = ReadVideoSettings({0, 0, 1024, 738});
  EXPECT_EQ(settings.colourTable, IdentityColourTable());
  EXPECT_FALSE(settings.fixedColours);
  EXPECT_FALSE(settings.pixelScrolling);
  EXPECT_TRUE(settings.showMaximised);
  EXPECT_EQ(settings.attribute, 0x0F);
  EXPECT_EQ(settings.magnifierFactor, 2);
  EXPECT_EQ(settings.fontFace, "Lucida Console");
  EXPECT_EQ(settings.fontWidth, 13);
  EXPECT_EQ(settings.fontHeight, 28);
  EXPECT_EQ(settings.brailleMode, 0);
}

TEST_F(VideoSettingsFile, EveryKeyRead) {
  WriteFile("VERANTO.INI",
            "[video]\n"
            "tabcores=0,1,2,3,4,5,6,7,8,9,10,11,12,13,0,15\n"
            "CORESFIXAS=Sim\n"
            "LENTO=s\n"
            "CORFUNDO=1\n"
            "CORLETRA=14\n"
            "AMPLIF=35\n"
            "FONTE=DejaVu Sans Mono\n"
            "LARGURALETRA=9\n"
            "ALTURALETRA=18\n"
            "CANTOTELA=NS\n"
            "[BRAILLE]\n"
            "MODO=2\n");
  VideoSettings settings = ReadVideoSettings({0, 0, 1024, 738});
  EXPECT_EQ(settings.colourTable[14], 0);
  EXPECT_TRUE(settings.fixedColours);
  EXPECT_TRUE(settings.pixelScrolling);
  EXPECT_FALSE(settings.showMaximised);
  EXPECT_EQ(settings.attribute, 0x1E);
  EXPECT_EQ(settings.magnifierFactor, 3);  // read with room for one character
  EXPECT_EQ(settings.fontFace, "DejaVu Sans Mono");
  EXPECT_EQ(settings.fontWidth, 9);
  EXPECT_EQ(settings.fontHeight, 18);
  EXPECT_EQ(settings.brailleMode, 2);
}

TEST_F(VideoSettingsFile, EmptyAndOddValues) {
  WriteFile("VERANTO.INI",
            "[VIDEO]\n"
            "CORFUNDO=\n"
            "CORLETRA=\n"
            "AMPLIF=\n"
            "FONTE=\n"
            "LARGURALETRA=\n"
            "ALTURALETRA=0\n"
            "CANTOTELA=\n"
            "TABCORES=\n");
  VideoSettings settings = ReadVideoSettings({0, 0, 1024, 738});
  EXPECT_EQ(settings.attribute, 0x07);  // empty CORLETRA: light grey on black
  EXPECT_EQ(settings.magnifierFactor, 2);
  EXPECT_EQ(settings.fontWidth, 13);
  EXPECT_EQ(settings.fontHeight, 28);
  EXPECT_TRUE(settings.showMaximised);
  EXPECT_EQ(settings.colourTable, IdentityColourTable());
  // An empty face falls back to the default face.
  EXPECT_EQ(settings.fontFace, "Lucida Console");
}

TEST_F(VideoSettingsFile, LongFontFaceCutToEightyCharacters) {
  WriteFile("VERANTO.INI", "[VIDEO]\nFONTE=" + std::string(100, 'f') + "\n");
  EXPECT_EQ(ReadVideoSettings({0, 0, 1024, 738}).fontFace, std::string(80, 'f'));
}

}  // namespace
}  // namespace console::video
