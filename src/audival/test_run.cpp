// The microphone test run, step by step: each line is written (flushed, so that it shows
// while its prompt plays) and announced by a recorded prompt; each measurement is drawn as a
// bar, written and spoken as a percentage, then graded on the level itself.
#include "audival/test_run.h"

#include <iostream>
#include <string>

#include "audio/capture/capture.h"
#include "config/suite_setting.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "speech/frontend/speech.h"

namespace audival {
namespace {

constexpr int kRows = 18;
constexpr int kYellow = 14;
constexpr int kLightGrey = 7;
constexpr int kEscape = 27;
constexpr int kAmbientSeconds = 5;
constexpr int kSpeechSeconds = 10;
constexpr int kSettleMs = 100;

// Ambient noise: below 10 is excellent, below 30 normal, the rest too noisy.
constexpr int kAmbientNormalFrom = 10;
constexpr int kAmbientNoisyFrom = 30;
// Normal speech and plosives: too low below 30; too high above 120 and above 126.
constexpr int kVolumeLowBelow = 30;
constexpr int kNormalSpeechHighAbove = 120;
constexpr int kPlosivesHighAbove = 126;

// The grades compare the level 0-128 itself, never the percentage.
enum class AmbientGrade { kExcellent, kNormal, kNoisy };
enum class VolumeGrade { kTooLow, kFine, kTooHigh };

AmbientGrade GradeAmbient(int level) {
  if (level < kAmbientNormalFrom) return AmbientGrade::kExcellent;
  if (level < kAmbientNoisyFrom) return AmbientGrade::kNormal;
  return AmbientGrade::kNoisy;
}

VolumeGrade GradeNormalSpeech(int level) {
  if (level < kVolumeLowBelow) return VolumeGrade::kTooLow;
  if (level > kNormalSpeechHighAbove) return VolumeGrade::kTooHigh;
  return VolumeGrade::kFine;
}

VolumeGrade GradePlosives(int level) {
  if (level < kVolumeLowBelow) return VolumeGrade::kTooLow;
  if (level > kPlosivesHighAbove) return VolumeGrade::kTooHigh;
  return VolumeGrade::kFine;
}

// A line: the text and a line end.
void Line(const std::string& text) { std::cout << text << std::endl; }
// Text without a line end, visible at once.
void Text(const std::string& text) { std::cout << text << std::flush; }
void Prompt(const std::string& name) { frontend::PlayPrompt(name); }

void LineAndPrompt(const std::string& text, const std::string& prompt) {
  Line(text);
  Prompt(prompt);
}

void TextAndPrompt(const std::string& text, const std::string& prompt) {
  Text(text);
  Prompt(prompt);
}

// Waits for Enter, echoing what is typed.
void ReadLine() {
  std::string line;
  std::getline(std::cin, line);
}

[[noreturn]] void EndProgram() {
  frontend::SpeechEnd();
  console::CloseConsole();
}

// Records for `seconds` with the live bar, then leaves the final bar on screen in yellow.
int Measure(int seconds) {
  const int level = audio::MicLevel(seconds);
  console::TextColor(kYellow);
  audio::DrawLevelBar(level);
  std::cout << std::endl;
  return level;
}

// "<n> por cento." after the label, spoken as the number and its recorded unit.
void SpeakPercent(int level) {
  frontend::SpeakNumber(audio::LevelPercent(level));
  LineAndPrompt(" por cento.", "AVPORCEN");
}

void MeasureAmbient() {
  const int level = Measure(kAmbientSeconds);
  TextAndPrompt("Ruído ambiente: ", "AVRUI2");
  SpeakPercent(level);
  switch (GradeAmbient(level)) {
    case AmbientGrade::kExcellent:
      LineAndPrompt("Excelente.", "AVEXEL");
      break;
    case AmbientGrade::kNormal:
      LineAndPrompt("Normal.", "AVNORMAL");
      break;
    case AmbientGrade::kNoisy:
      LineAndPrompt("O ambiente está muito ruidoso.", "AVMUIRUI");
      break;
  }
  console::TextColor(kLightGrey);
  Line("");
}

void MeasureNormalSpeech() {
  LineAndPrompt("Aperte Enter, depois fale pelo menos três vezes a seguinte frase em voz normal:",
                "AVENTNOR");
  TextAndPrompt("Estou testando o microfone.", "AVTESMIC");
  ReadLine();
  const int level = Measure(kSpeechSeconds);
  // This label ends its line: the number stands at the start of the next one.
  LineAndPrompt("Volume Normal: ", "AVVOLNOR");
  SpeakPercent(level);
  switch (GradeNormalSpeech(level)) {
    case VolumeGrade::kTooLow:
      LineAndPrompt("Está muito baixo.", "AVMUIBAI");
      break;
    case VolumeGrade::kTooHigh:
      LineAndPrompt("Está muito alto.", "AVMUIALT");
      break;
    case VolumeGrade::kFine:
      break;
  }
  console::TextColor(kLightGrey);
  Line("");
}

void MeasurePlosives() {
  LineAndPrompt("Aperte Enter e depois fale forte várias vezes mas sem gritar:", "AVENTFOR");
  TextAndPrompt("Porta, pato, pipoca, papai", "AVPPP");
  ReadLine();
  const int level = Measure(kSpeechSeconds);
  TextAndPrompt("Volume das plosivas: ", "AVVOLEXP");
  SpeakPercent(level);
  // The grade of this measurement is shown in light grey, and without a full stop.
  console::TextColor(kLightGrey);
  switch (GradePlosives(level)) {
    case VolumeGrade::kTooLow:
      LineAndPrompt("Está muito baixo", "AVMUIBAIX");
      break;
    case VolumeGrade::kTooHigh:
      LineAndPrompt("Está muito alto", "AVMUIALT");
      break;
    case VolumeGrade::kFine:
      break;
  }
  Line("");
}

}  // namespace

void RunMicrophoneTest() {
  frontend::SpeechStart(0, config::ReadSuiteSetting("AUDIVAL", "DIRAUDIVAL"));
  frontend::SetPunctuationAnnouncing(false);
  // The window is made on first output with the row count then in force.
  console::SetRows(kRows);

  LineAndPrompt("Programa de medição do volume do microfone.", "AVINIC");
  Line("");
  LineAndPrompt("Estarei obtendo o nível de ruído ambiente por 5 segundos.", "AVRUIAMB");
  TextAndPrompt("Aperte Enter e fique em silêncio.", "AVENTSIL");
  // Escape ends the program here; any other key starts the measurement, without echo. A
  // function or cursor key comes as two bytes and is taken whole: a second byte left queued
  // would silence every result of the measurement and land in the next line read.
  const int key = console::ReadKey();
  if (key == kEscape) EndProgram();
  if (key == 0) console::ReadKey();
  console::Delay(kSettleMs);

  MeasureAmbient();
  MeasureNormalSpeech();
  MeasurePlosives();

  LineAndPrompt("Ok, aperte Enter para terminar.", "AVOKTERM");
  ReadLine();
  EndProgram();
}

}  // namespace audival
