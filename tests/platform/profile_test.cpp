#include <string>

#include "platform/system.h"
#include "temp_folder.h"

namespace {

using ProfileTest = TempFolderTest;

struct Lookup {
  const char* name;
  std::string contents;
  std::string section;
  std::string key;
  std::string expected;
};

TEST_F(ProfileTest, FindsValuesLikeThePrivateProfileFunctions) {
  const Lookup cases[] = {
      {"plain", "[VIDEO]\nFONTE=Lucida\n", "VIDEO", "FONTE", "Lucida"},
      {"section in other case", "[Video]\nFONTE=x\n", "VIDEO", "FONTE", "x"},
      {"key in other case", "[VIDEO]\nfonte=x\n", "video", "FoNtE", "x"},
      {"accented names fold", "[SEÇÃO]\nDIREÇÃO=1\n", "seção", "direção", "1"},
      {"blanks around names", "  [ VIDEO ]  \n\t FONTE \t= x\n", "VIDEO", "FONTE", "x"},
      {"value trimmed", "[A]\nk=  \t some value \t \n", "A", "k", "some value"},
      {"double quotes removed", "[A]\nk= \" padded \" \n", "A", "k", " padded "},
      {"single quotes removed", "[A]\nk='x'\n", "A", "k", "x"},
      {"only one pair removed", "[A]\nk=\"\"x\"\"\n", "A", "k", "\"x\""},
      {"unmatched quotes kept", "[A]\nk=\"x'\n", "A", "k", "\"x'"},
      {"lone quote kept", "[A]\nk=\"\n", "A", "k", "\""},
      {"equals inside the value", "[A]\nk=a=b\n", "A", "k", "a=b"},
      {"empty value", "[A]\nk=\nk=second\n", "A", "k", ""},
      {"first key wins", "[A]\nk=1\nK=2\n", "A", "k", "1"},
      {"first section wins", "[A]\nj=1\n[a]\nk=2\n", "A", "k", "fallback"},
      {"key of another section not taken", "[A]\n[B]\nk=1\n", "A", "k", "fallback"},
      {"key before any section not taken", "k=1\n[A]\n", "A", "k", "fallback"},
      {"lines without equals ignored", "[A]\nk\nk 1\n; k=c\nk=2\n", "A", "k", "2"},
      {"CR LF lines", "[A]\r\nk=1\r\nj=2\r\n", "A", "j", "2"},
      {"no final newline", "[A]\nk=last", "A", "k", "last"},
      {"header without bracket is a line", "[A\nk=1\n", "A", "k", "fallback"},
      {"last bracket closes the header", "[A]x]\nk=1\n", "A]x", "k", "1"},
      {"missing section", "[A]\nk=1\n", "B", "k", "fallback"},
      {"missing key", "[A]\nk=1\n", "A", "j", "fallback"},
      {"empty file", "", "A", "k", "fallback"},
      {"UTF-8 file with byte-order mark", "\xEF\xBB\xBF[A]\nk=medi\xC3\xA7\xC3\xA3o\n", "A", "k",
       "medi\xE7\xE3o"},
      {"Windows-1252 bytes kept", "[A]\nk=medi\xE7\xE3o\n", "A", "k", "medi\xE7\xE3o"},
  };
  for (const Lookup& lookup : cases) {
    WriteFile("TEST.INI", lookup.contents);
    EXPECT_EQ(platform::ReadProfileString(lookup.section, lookup.key, "fallback", 256, "TEST.INI"),
              lookup.expected)
        << lookup.name;
  }
}

TEST_F(ProfileTest, CutsTheResultToTheCapacity) {
  WriteFile("TEST.INI", "[A]\nk=abcdef\n");
  EXPECT_EQ(platform::ReadProfileString("A", "k", "", 4, "TEST.INI"), "abc");
  EXPECT_EQ(platform::ReadProfileString("A", "k", "", 7, "TEST.INI"), "abcdef");
  EXPECT_EQ(platform::ReadProfileString("A", "k", "", 1, "TEST.INI"), "");
  EXPECT_EQ(platform::ReadProfileString("A", "k", "", 0, "TEST.INI"), "");
  EXPECT_EQ(platform::ReadProfileString("A", "k", "", -5, "TEST.INI"), "");
  EXPECT_EQ(platform::ReadProfileString("A", "missing", "fallback", 5, "TEST.INI"), "fall");
  EXPECT_EQ(platform::ReadProfileString("A", "missing", "fallback", 0, "TEST.INI"), "");
}

TEST_F(ProfileTest, LocatesTheFile) {
  const std::string path = WriteFile("sub/OTHER.INI", "[A]\nk=in sub\n");
  WriteFile("OTHER.INI", "[A]\nk=in windows folder\n");
  EXPECT_EQ(platform::ReadProfileString("A", "k", "", 256, "OTHER.INI"), "in windows folder");
  EXPECT_EQ(platform::ReadProfileString("A", "k", "", 256, path), "in sub");
  std::string windowsStyle = path;
  for (char& c : windowsStyle) {
    if (c == '/') c = '\\';
  }
  EXPECT_EQ(platform::ReadProfileString("A", "k", "", 256, windowsStyle), "in sub");
  EXPECT_EQ(platform::ReadProfileString("A", "k", "none", 256, "ABSENT.INI"), "none");
  EXPECT_EQ(platform::ReadProfileString("A", "k", "none", 256, Folder() + "/sub"), "none");  // a folder
  EXPECT_EQ(platform::ReadProfileString("A", "k", "none", 256, ""), "none");
}

TEST_F(ProfileTest, ReadsTheFileAfreshOnEveryCall) {
  WriteFile("TEST.INI", "[A]\nk=1\n");
  EXPECT_EQ(platform::ReadProfileString("A", "k", "", 256, "TEST.INI"), "1");
  WriteFile("TEST.INI", "[A]\nk=2\n");
  EXPECT_EQ(platform::ReadProfileString("A", "k", "", 256, "TEST.INI"), "2");
}

TEST_F(ProfileTest, SurvivesAnyBytes) {
  std::string garbage("[A]\n\0k=1\nk\0=2\nj=x\0y\n", 20);
  for (int byte = 0; byte < 256; ++byte) garbage += static_cast<char>(byte);
  garbage += std::string(1 << 20, 'z');  // a huge line
  garbage += "\n[B]\nlong=" + std::string(100000, 'v');
  WriteFile("TEST.INI", garbage);
  EXPECT_EQ(platform::ReadProfileString("A", "j", "", 256, "TEST.INI"), "x");  // ends at the NUL
  EXPECT_EQ(platform::ReadProfileString("B", "long", "", 256, "TEST.INI"), std::string(255, 'v'));
  EXPECT_EQ(platform::ReadProfileString("A", "missing", "d", 256, "TEST.INI"), "d");
}

}  // namespace
