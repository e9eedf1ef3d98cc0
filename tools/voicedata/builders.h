#pragma once

#include <string>

// Building each kind of generated voice data from the lists in the data folder of the source
// tree (`dataDir`: its diphone/ and recordings/ folders) into an output folder. A build is
// skipped when the output folder's stamp shows the same sources, tool and espeak-ng version
// and every file is there, unless `force` is set. Paths are UTF-8 file-system names.
namespace voicedata {

struct BuildReport {
  bool skipped = false;
  int files = 0;         // recordings written, or segments in the database
  long long bytes = 0;   // sample bytes written
};

// DIFONES2.IND and DIFONES2.DIF from diphone/segmentos.txt, and the translator's
// regras.rgr and portug.exc copied beside them.
bool BuildDiphones(const std::string& dataDir, const std::string& outDir, bool force, BuildReport& report,
                   std::string& error);
// "_" + code + ".wav" for every character of recordings/letras.txt and the number words of
// recordings/numeros.txt (with _MENOS): the letters folder.
bool BuildLetters(const std::string& dataDir, const std::string& outDir, bool force, BuildReport& report,
                  std::string& error);
// The test's prompts AVINIC ... AVOKTERM from recordings/audival.txt.
bool BuildPrompts(const std::string& dataDir, const std::string& outDir, bool force, BuildReport& report,
                  std::string& error);

// The Aravo engine's five language files (aravo/) and the formant voice (formant/br1.voice)
// copied into the engine's folder.
bool InstallAravoFiles(const std::string& dataDir, const std::string& outDir, bool force, BuildReport& report,
                       std::string& error);

}  // namespace voicedata
