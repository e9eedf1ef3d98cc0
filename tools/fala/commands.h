#pragma once

#include <string>
#include <vector>

// The subcommands of `fala`. Each takes its own arguments (after the subcommand's name) and
// returns the process exit code.
namespace fala {

struct Output {
  bool raw = false;  // write Windows-1252 bytes instead of UTF-8
};

// Writes Windows-1252 text to standard output, converted to UTF-8 unless raw.
void Print(const Output& output, const std::string& text);
// Reads an argument given in the terminal's UTF-8 (or as bytes when raw) as Windows-1252.
std::string ArgumentText(const Output& output, const std::string& argument);
// "NAME VALUE" taken out of the arguments into `value`; false when NAME comes without its
// value (an absent NAME leaves `value` as it was).
bool TakeOption(std::vector<std::string>& arguments, const std::string& name, std::string& value);
// The synthesizer library the Aravo engine binds: the one next to the program, else the one
// this build made, else the system's.
std::string SynthesizerLibraryPath();

int SettingCommand(const Output& output, const std::vector<std::string>& arguments);
int ConsoleCommand(const Output& output, const std::vector<std::string>& arguments);
int PlayCommand(const Output& output, const std::vector<std::string>& arguments);
int LevelCommand(const Output& output, const std::vector<std::string>& arguments);
int SynthCommand(const Output& output, const std::vector<std::string>& arguments);
int NormaliseCommand(const Output& output, const std::vector<std::string>& arguments);
int TokensCommand(const Output& output, const std::vector<std::string>& arguments);
int CodesCommand(const Output& output, const std::vector<std::string>& arguments);
int PhonemesCommand(const Output& output, const std::vector<std::string>& arguments);
int PhoCommand(const Output& output, const std::vector<std::string>& arguments);
int WavCommand(const Output& output, const std::vector<std::string>& arguments);
int TranslateCommand(const Output& output, const std::vector<std::string>& arguments);
int DiphoneCommand(const Output& output, const std::vector<std::string>& arguments);
int SayCommand(const Output& output, const std::vector<std::string>& arguments);
int NumwordsCommand(const Output& output, const std::vector<std::string>& arguments);
int VoicesCommand(const Output& output, const std::vector<std::string>& arguments);

}  // namespace fala
