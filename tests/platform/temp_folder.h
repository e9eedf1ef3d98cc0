#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

// A fresh temporary folder that serves as the Windows folder (VERANTO_WINDIR) for one test,
// removed afterwards with the variable put back as it was.
class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "veranto-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    if (const char* old = std::getenv("VERANTO_WINDIR")) oldWindir_ = old;
    setenv("VERANTO_WINDIR", folder_.c_str(), 1);
  }

  void TearDown() override {
    if (oldWindir_) {
      setenv("VERANTO_WINDIR", oldWindir_->c_str(), 1);
    } else {
      unsetenv("VERANTO_WINDIR");
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  const std::string& Folder() const { return folder_; }

  // Writes `bytes` to `name` inside the folder (or to a path below it) and returns its path.
  std::string WriteFile(const std::string& name, const std::string& bytes) const {
    const std::filesystem::path path = std::filesystem::path(folder_) / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return path.string();
  }

 private:
  std::string folder_;
  std::optional<std::string> oldWindir_;
};
