#pragma once

#include <string>
#include <vector>

#include "commands.h"

// What the Aravo stage commands read: "--data DIR" (the folder of the language files,
// Windows-1252) and the texts, Windows-1252 too.
namespace fala {

struct AravoInput {
  std::string dataFolder;
  // The arguments joined by blanks as one text, or else each line of standard input.
  std::vector<std::string> texts;
};

// False, after a message on standard error, for a "--data" without its folder.
bool ReadAravoInput(const Output& output, const std::vector<std::string>& arguments,
                    AravoInput& input);

// The file `name` in the data folder.
std::string AravoDataFile(const AravoInput& input, const std::string& name);

// How far a command runs the pipeline, and so which language files it loads.
enum class AravoStage { kTokens, kCodes, kPhonemes, kPho };

// Loads the language files the stages up to `stage` read, from the input's data folder.
// False, after a message on standard error, when one cannot be loaded; the prosody loader's
// own messages go to standard error too.
bool LoadAravoFiles(const AravoInput& input, AravoStage stage);

// Prints each line followed by a line end.
void PrintLines(const Output& output, const std::vector<std::string>& lines);

}  // namespace fala
