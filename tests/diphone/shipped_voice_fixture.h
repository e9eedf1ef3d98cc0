#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "platform/temp_folder.h"
#include "speech/diphone/translator.h"
#include "support/file_bytes.h"

// Tests of the internal voice's language data as it ships in data/diphone: regras.rgr and
// portug.exc are loaded before each test; afterwards the rules are freed and the exceptions
// emptied, so no other test sees them.
class ShippedVoiceDataTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    ASSERT_TRUE(diphone::LoadRules(DataPath("regras.rgr")));
    ASSERT_TRUE(diphone::LoadExceptions(DataPath("portug.exc")));
  }
  void TearDown() override {
    diphone::FreeRules();
    diphone::LoadExceptions(WriteFile("empty.exc", ""));
    TempFolderTest::TearDown();
  }


 public:
  static std::string DataPath(const std::string& name) {
    return std::string(DIPHONE_DATA_DIR) + "/" + name;
  }

  // The lines of a shipped file without their line ends; empty when it cannot be read.
  static std::vector<std::string> DataLines(const std::string& name) {
    const std::string bytes = test_support::ReadFileBytes(DataPath(name));
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
      std::size_t end = bytes.find('\n', start);
      if (end == std::string::npos) end = bytes.size();
      std::string line = bytes.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      start = end + 1;
    }
    return lines;
  }

  static bool IsComment(const std::string& line) { return line.empty() || line[0] == ';'; }
};
