#pragma once

#include <string>

#include "platform/temp_folder.h"
#include "support/voice_data.h"

namespace test_support {

// A fresh Windows folder (VERANTO_WINDIR) holding a whole voice installation.
class VoiceFixtureTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    folders_ = WriteVoiceData(Folder());
  }
  // Replaces the installation by one written with other options.
  void RewriteVoiceData(const VoiceDataOptions& options) {
    for (const std::string& folder : {folders_.prompts, folders_.letters, folders_.diphones}) {
      std::filesystem::remove_all(folder);
    }
    folders_ = WriteVoiceData(Folder(), options);
  }

  const VoiceDataFolders& Voice() const { return folders_; }

 private:
  VoiceDataFolders folders_;
};

}  // namespace test_support
