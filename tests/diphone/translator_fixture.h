#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/temp_folder.h"
#include "speech/diphone/translator.h"

// A translator test writes its own small rules and exceptions files; afterwards the rules are
// freed and the exceptions emptied, so no test sees another's.
class TranslatorTest : public TempFolderTest {
 protected:
  void TearDown() override {
    diphone::FreeRules();
    diphone::LoadExceptions(WriteFile("empty.exc", ""));
    TempFolderTest::TearDown();
  }

  void UseRules(const std::string& lines) {
    ASSERT_TRUE(diphone::LoadRules(WriteFile("regras.rgr", lines)));
  }
  void UseExceptions(const std::string& lines) {
    ASSERT_TRUE(diphone::LoadExceptions(WriteFile("portug.exc", lines)));
  }

  // One rule a letter, "(A)=a" to "(Z)=z": the output shows the word's letters one a unit,
  // with the stressed vowel upper-case.
  static std::string LetterRules() {
    std::string lines;
    for (char c = 'A'; c <= 'Z'; ++c) {
      lines += '(';
      lines += c;
      lines += ")=";
      lines += static_cast<char>(c + 32);
      lines += '\n';
    }
    return lines;
  }
};
