#include <gtest/gtest.h>

#include <string>

#include "config/folder_references.h"

namespace {

using config::detail::ExpandFolderReferences;

struct Expansion {
  const char* value;
  const char* programFolder;  // PGMVERANTO as stored
  const char* startupFolder;
  const char* expected;
};

std::string Expand(const Expansion& e, char separator) {
  const std::string stored = e.programFolder;
  return ExpandFolderReferences(e.value, separator, [&] { return stored; }, e.startupFolder);
}

TEST(FolderReferencesTest, ExpandsWindowsValues) {
  const Expansion cases[] = {
      {"@\\som\\letras", "C:\\lumivar", "C:\\prog", "C:\\lumivar\\som\\letras"},
      {"x:@\\a", "C:\\lumivar", "C:\\prog", "x:C:\\lumivar\\a"},
      {"@som", "C:\\lumivar", "C:\\prog", "C:\\lumivarsom"},
      {"a@b", "C:\\lumivar", "C:\\prog", "a@b"},
      {"@\\x", "", "C:\\prog", "C:\\prog\\x"},
      {"@\\x", "@\\elsewhere", "C:\\prog", "C:\\prog\\x"},
      {"@", "C:\\lumivar", "", "C:\\lumivar"},
      {"", "C:\\lumivar", "", ""},
      {"plain\\path", "C:\\lumivar", "", "plain\\path"},
      {"@\\a;@\\b", "C:\\v", "", "C:\\v\\a;C:\\v\\b"},
      {"a@@\\b", "C:\\v", "", "a@C:\\v\\b"},
      {"@/x", "C:\\v", "", "C:\\v/x"},          // leading "@" whatever follows
      {"a@/x", "C:\\v", "", "a@/x"},            // "/" is no separator on Windows
      {"a@", "C:\\v", "", "a@"},
      // Inserted folder text is never expanded again, even when it holds a reference.
      {"@\\x", "C:\\a@\\b", "", "C:\\a@\\b\\x"},
      {"@@\\x", "C:\\v", "", "C:\\vC:\\v\\x"},
      // An empty start-up folder uncovers the next "@" at the start of the text.
      {"@@\\x", "", "", "\\x"},
      {"@@", "", "", ""},
      {"x:@\\a", "", "", "x:\\a"},
  };
  for (const Expansion& e : cases) EXPECT_EQ(Expand(e, '\\'), e.expected) << e.value << " with " << e.programFolder;
}

TEST(FolderReferencesTest, OnLinuxEitherSeparatorFollowsAReference) {
  const Expansion cases[] = {
      {"@/som/letras", "/opt/veranto", "/home/u", "/opt/veranto/som/letras"},
      {"@\\som\\letras", "/opt/veranto", "/home/u", "/opt/veranto\\som\\letras"},
      {"x:@\\a", "/opt/veranto", "/home/u", "x:/opt/veranto\\a"},
      {"a/@/b", "/opt/veranto", "/home/u", "a//opt/veranto/b"},
      {"a@b", "/opt/veranto", "/home/u", "a@b"},
      {"@/x", "", "/home/u", "/home/u/x"},
      {"@/x", "", "", "/x"},  // started in the root folder
  };
  for (const Expansion& e : cases) EXPECT_EQ(Expand(e, '/'), e.expected) << e.value;
}

TEST(FolderReferencesTest, ReadsTheProgramFolderAgainForEveryReference) {
  int reads = 0;
  const std::string result = ExpandFolderReferences(
      "@\\a@\\b", '\\', [&] { return "F" + std::to_string(++reads); }, "S");
  EXPECT_EQ(result, "F1\\aF2\\b");
  EXPECT_EQ(reads, 2);
  reads = 0;
  EXPECT_EQ(ExpandFolderReferences("none", '\\', [&] { return "F" + std::to_string(++reads); }, "S"), "none");
  EXPECT_EQ(reads, 0);
}

TEST(FolderReferencesTest, LocatesTheSuiteFile) {
  using config::detail::SuiteFileName;
  using config::detail::WithoutTrailingSeparator;
  EXPECT_EQ(SuiteFileName(true, "C:\\prog", '\\'), "VERANTO.INI");
  EXPECT_EQ(SuiteFileName(false, "C:\\prog", '\\'), "C:\\prog\\VERANTO.INI");
  EXPECT_EQ(SuiteFileName(false, WithoutTrailingSeparator("C:\\", '\\'), '\\'), "C:\\VERANTO.INI");
  EXPECT_EQ(SuiteFileName(false, WithoutTrailingSeparator("/", '/'), '/'), "/VERANTO.INI");
  EXPECT_EQ(WithoutTrailingSeparator("C:\\prog\\", '\\'), "C:\\prog");
  EXPECT_EQ(WithoutTrailingSeparator("/home/u//", '/'), "/home/u/");  // one separator only
  EXPECT_EQ(WithoutTrailingSeparator("/home/u", '/'), "/home/u");
  EXPECT_EQ(WithoutTrailingSeparator("", '/'), "");
}

}  // namespace
