// The microphone test run end to end on the simulated machine: what the screen shows and
// which recordings are heard for each grade, each way of ending, and keys typed early.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/keys.h"
#include "platform/sim/sim.h"
#include "run_fixture.h"

namespace audival_test {
namespace {

using Names = std::vector<std::string>;

std::string Bar(int level) { return std::string(level / 2, '@') + std::string(64 - level / 2, '.'); }

test_support::VoiceDataOptions LongPrompts() {
  test_support::VoiceDataOptions options;
  options.promptBytes = 22050;  // 2 s
  return options;
}

test_support::VoiceDataOptions Installed(bool promptFolderSetting, bool database, bool rules) {
  test_support::VoiceDataOptions options;
  options.promptFolderSetting = promptFolderSetting;
  options.database = database;
  options.rules = rules;
  return options;
}

std::vector<audival::KeyPress> Answers(int count) {
  return std::vector<audival::KeyPress>(count, Answer(platform::kVkReturn));
}

// The foreground colour of a row's first character.
platform::Rgb RowColour(int row) { return sim::ScreenCell(0, row).foreground; }

TEST_F(TestRunTest, AWholeRunShowsEveryStepAndSaysEveryResult) {
  const sim::RunResult result = RunProgram(Answers(4), [&] { SetLevels({9, 30, 126}); });

  ASSERT_TRUE(result.exited) << result.message;
  EXPECT_EQ(result.exitCode, 0);
  // 22 lines (the last one empty, after the final Enter) on 18 rows: the first four have
  // scrolled away.
  const std::vector<std::string> expected = {
      Bar(9),
      "Ruído ambiente: 7 por cento.",
      "Excelente.",
      "",
      "Aperte Enter, depois fale pelo menos três vezes a seguinte frase em voz normal:",
      "Estou testando o microfone.",
      Bar(30),
      "Volume Normal:",
      "23 por cento.",
      "",
      "Aperte Enter e depois fale forte várias vezes mas sem gritar:",
      "Porta, pato, pipoca, papai",
      Bar(126),
      "Volume das plosivas: 98 por cento.",
      "",
      "Ok, aperte Enter para terminar.",
      "",
      "",
  };
  EXPECT_EQ(Rows(), expected);
  EXPECT_EQ(Heard(), (Names{"AVINIC", "AVRUIAMB", "AVENTSIL", "AVRUI2", "_sete", "AVPORCEN", "AVEXEL",
                            "AVENTNOR", "AVTESMIC", "AVVOLNOR", "_vinte", "_e", "_tres", "AVPORCEN",
                            "AVENTFOR", "AVPPP", "AVVOLEXP", "_noventa", "_e", "_oito", "AVPORCEN",
                            "AVOKTERM"}));
  // The final bars and the result lines are yellow; the questions light grey.
  for (const int row : {0, 1, 2, 6, 7, 8, 12, 13}) EXPECT_EQ(RowColour(row), kYellow) << row;
  for (const int row : {4, 5, 10, 11, 15}) EXPECT_EQ(RowColour(row), kLightGrey) << row;
  // Three measurements of 54, 108 and 108 buffers, each opening the device afresh.
  EXPECT_EQ(sim::WaveInOpens().size(), 3u);
  EXPECT_EQ(console::Rows(), 18);
}

TEST_F(TestRunTest, TheAmbientGradeComparesTheLevelNotThePercentage) {
  struct Case {
    int level;
    std::string result;
    Names words;
    std::string grade;
    std::string prompt;
  };
  const Case cases[] = {
      {9, "Ruído ambiente: 7 por cento.", {"_sete"}, "Excelente.", "AVEXEL"},
      {10, "Ruído ambiente: 7 por cento.", {"_sete"}, "Normal.", "AVNORMAL"},
      {29, "Ruído ambiente: 22 por cento.", {"_vinte", "_e", "_dois"}, "Normal.", "AVNORMAL"},
      {30, "Ruído ambiente: 23 por cento.", {"_vinte", "_e", "_tres"}, "O ambiente está muito ruidoso.",
       "AVMUIRUI"},
  };
  for (const Case& c : cases) {
    // Answer the first question only: the run waits at the next one.
    const sim::RunResult result = RunProgram(Answers(1), [&] { SetLevels({c.level, 0, 0}); });
    ASSERT_TRUE(result.stalled) << c.level;
    EXPECT_EQ(RowAfter("Ruído ambiente: ", 0), c.result) << c.level;
    EXPECT_EQ(RowAfter("Ruído ambiente: "), c.grade) << c.level;
    EXPECT_EQ(RowColour(RowOf("Ruído ambiente: ") + 1), kYellow) << c.level;
    EXPECT_EQ(RowAfter("Ruído ambiente: ", -1), Bar(c.level)) << c.level;
    Names said = {"AVRUI2"};
    said.insert(said.end(), c.words.begin(), c.words.end());
    said.insert(said.end(), {"AVPORCEN", c.prompt});
    EXPECT_EQ(HeardBetween("AVRUI2", "AVENTNOR"), said) << c.level;
  }
}

TEST_F(TestRunTest, NormalSpeechPutsTheNumberOnTheLineAfterItsLabel) {
  struct Case {
    int level;
    std::string percent;
    Names words;
    std::string remark;  // empty: the empty line that ends the step follows at once
    Names remarkPrompt;
  };
  const Case cases[] = {
      {29, "22 por cento.", {"_vinte", "_e", "_dois"}, "Está muito baixo.", {"AVMUIBAI"}},
      {30, "23 por cento.", {"_vinte", "_e", "_tres"}, "", {}},
      {120, "93 por cento.", {"_noventa", "_e", "_tres"}, "", {}},
      {121, "94 por cento.", {"_noventa", "_e", "_quatro"}, "Está muito alto.", {"AVMUIALT"}},
  };
  for (const Case& c : cases) {
    const sim::RunResult result = RunProgram(Answers(2), [&] { SetLevels({0, c.level, 0}); });
    ASSERT_TRUE(result.stalled) << c.level;
    ASSERT_NE(RowOf("Volume Normal:"), -1) << c.level;
    EXPECT_EQ(RowAfter("Volume Normal:", 0), "Volume Normal:") << c.level;
    EXPECT_EQ(RowAfter("Volume Normal:", -1), Bar(c.level)) << c.level;
    EXPECT_EQ(RowAfter("Volume Normal:", 1), c.percent) << c.level;
    EXPECT_EQ(RowAfter("Volume Normal:", 2), c.remark) << c.level;
    if (!c.remark.empty()) {
      EXPECT_EQ(RowAfter("Volume Normal:", 3), "") << c.level;
    }
    Names said = {"AVVOLNOR"};
    said.insert(said.end(), c.words.begin(), c.words.end());
    said.push_back("AVPORCEN");
    said.insert(said.end(), c.remarkPrompt.begin(), c.remarkPrompt.end());
    EXPECT_EQ(HeardBetween("AVVOLNOR", "AVENTFOR"), said) << c.level;
  }
}

TEST_F(TestRunTest, PlosivesAreGradedInLightGreyWithoutAFullStop) {
  struct Case {
    int level;
    std::string result;
    Names words;
    std::string remark;
    Names remarkPrompt;
  };
  const Case cases[] = {
      {29, "Volume das plosivas: 22 por cento.", {"_vinte", "_e", "_dois"}, "Está muito baixo", {"AVMUIBAIX"}},
      {126, "Volume das plosivas: 98 por cento.", {"_noventa", "_e", "_oito"}, "", {}},
      {127, "Volume das plosivas: 99 por cento.", {"_noventa", "_e", "_nove"}, "Está muito alto", {"AVMUIALT"}},
      {128, "Volume das plosivas: 100 por cento.", {"_cem"}, "Está muito alto", {"AVMUIALT"}},
  };
  for (const Case& c : cases) {
    const sim::RunResult result = RunProgram(Answers(3), [&] { SetLevels({0, 50, c.level}); });
    ASSERT_TRUE(result.stalled) << c.level;
    ASSERT_NE(RowOf("Volume das plosivas: "), -1) << c.level;
    EXPECT_EQ(RowAfter("Volume das plosivas: ", 0), c.result) << c.level;
    EXPECT_EQ(RowAfter("Volume das plosivas: ", -1), Bar(c.level)) << c.level;
    EXPECT_EQ(RowAfter("Volume das plosivas: "), c.remark) << c.level;
    if (!c.remark.empty()) {
      EXPECT_EQ(RowColour(RowOf("Volume das plosivas: ") + 1), kLightGrey) << c.level;
      EXPECT_EQ(RowAfter("Volume das plosivas: ", 2), "") << c.level;
    }
    EXPECT_EQ(RowAfter("Volume das plosivas: ", c.remark.empty() ? 2 : 3), "Ok, aperte Enter para terminar.")
        << c.level;
    Names said = {"AVVOLEXP"};
    said.insert(said.end(), c.words.begin(), c.words.end());
    said.push_back("AVPORCEN");
    said.insert(said.end(), c.remarkPrompt.begin(), c.remarkPrompt.end());
    said.push_back("AVOKTERM");
    EXPECT_EQ(HeardBetween("AVVOLEXP", ""), said) << c.level;
  }
}

TEST_F(TestRunTest, EscapeAtTheFirstQuestionEndsBeforeAnyMeasurement) {
  const sim::RunResult result = RunProgram({Answer(platform::kVkEscape)}, [] {});

  ASSERT_TRUE(result.exited) << result.message;
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_TRUE(sim::WaveInOpens().empty());
  EXPECT_EQ(Heard(), (Names{"AVINIC", "AVRUIAMB", "AVENTSIL"}));
  EXPECT_EQ(Rows()[0], "Programa de medição do volume do microfone.");
  EXPECT_EQ(Rows()[3], "Aperte Enter e fique em silêncio.");  // Escape is not echoed
  EXPECT_EQ(Rows()[4], "");
}

TEST_F(TestRunTest, AnyOtherKeyStartsTheAmbientMeasurementWithoutEcho) {
  const sim::RunResult result = RunProgram({Answer(platform::VkLetter('X'))}, [&] { SetLevels({40, 0, 0}); });

  ASSERT_TRUE(result.stalled);
  ASSERT_EQ(sim::WaveInOpens().size(), 1u);
  EXPECT_EQ(Rows()[3], "Aperte Enter e fique em silêncio." + std::string(47, '.'));
  EXPECT_EQ(Rows()[4], Bar(40));
}

TEST_F(TestRunTest, AFunctionKeyAtTheFirstQuestionIsTakenWhole) {
  // Its two bytes are read together: the second is not left to silence the results.
  const sim::RunResult result =
      RunProgram({Answer(platform::VkFunction(1)), Answer(platform::kVkReturn)}, [&] { SetLevels({40, 0, 0}); });
  ASSERT_TRUE(result.stalled);
  EXPECT_EQ(HeardBetween("AVRUI2", "AVTESMIC"),
            (Names{"AVRUI2", "_trinta", "_e", "_um", "AVPORCEN", "AVMUIRUI", "AVENTNOR"}));
  EXPECT_EQ(RowAfter("Estou testando o microfone.", 0), "Estou testando o microfone.");
}

TEST_F(TestRunTest, AKeyTypedDuringAPromptCutsItAndAnswersTheQuestion) {
  // Prompts of 2 s: AVINIC, AVRUIAMB, then AVENTSIL from 4 s to 6 s.
  RewriteVoiceData(LongPrompts());
  RunProgram({At(5000, platform::VkLetter('X'))}, [] {});

  const Names heard = Heard();
  ASSERT_GE(heard.size(), 4u);
  EXPECT_EQ(Names(heard.begin(), heard.begin() + 4), (Names{"AVINIC", "AVRUIAMB", "AVENTSIL (cut)", "AVRUI2"}));
  EXPECT_NEAR(Sounds()[2].endMs, 5000, 11);
  // The "x" answered the question: the measurement began 100 ms later, without a further key.
  ASSERT_EQ(sim::WaveInOpens().size(), 1u);
  EXPECT_NEAR(static_cast<double>(sim::WaveInOpens()[0].time), 5100, 11);
  EXPECT_EQ(Rows()[3], "Aperte Enter e fique em silêncio." + std::string(47, '.'));
}

TEST_F(TestRunTest, EnterDuringAQuestionSkipsTheRestOfItsPromptsAndEndsTheLineRead) {
  RewriteVoiceData(LongPrompts());
  // Where the question before the second measurement is asked when nobody interrupts it.
  RunProgram(Answers(1), [] {});
  double questionStart = -1;
  for (const audival::HeardSound& sound : Sounds()) {
    if (sound.name == "AVENTNOR") questionStart = sound.startMs;
  }
  ASSERT_GE(questionStart, 0);
  EXPECT_EQ(HeardBetween("AVENTNOR", ""), (Names{"AVENTNOR", "AVTESMIC"}));

  // Enter half a second into it cuts it, skips the sentence to repeat (the key is still
  // waiting when that prompt starts) and is the Enter the line read waits for.
  const std::int64_t keyTime = static_cast<std::int64_t>(questionStart) + 500;
  RunProgram({Answer(platform::kVkReturn), At(keyTime, platform::kVkReturn)}, [] {});

  EXPECT_EQ(HeardBetween("AVENTNOR (cut)", "AVPORCEN"), (Names{"AVENTNOR (cut)", "AVVOLNOR", "_zero"}));
  ASSERT_EQ(sim::WaveInOpens().size(), 2u);
  EXPECT_NEAR(static_cast<double>(sim::WaveInOpens()[1].time), static_cast<double>(keyTime), 11);
  EXPECT_EQ(RowAfter("Estou testando o microfone.", 1), Bar(0));
}

TEST_F(TestRunTest, WithoutAProgramFolderThePromptsComeFromTheCurrentFolder) {
  RewriteVoiceData(Installed(false, true, true));
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(Voice().prompts);
  RunProgram({Answer(platform::kVkEscape)}, [] {});
  std::filesystem::current_path(previous);

  EXPECT_EQ(Heard(), (Names{"AVINIC", "AVRUIAMB", "AVENTSIL"}));
}

TEST_F(TestRunTest, AMicrophoneThatCannotBeOpenedIsReportedAndEndsTheRunAfterEnter) {
  struct Case {
    int code;
    Names words;
  };
  const Case cases[] = {{platform::kMmNoDriver, {"_seis"}}, {platform::kWaveBadFormat, {"_trinta", "_e", "_dois"}}};
  for (const Case& c : cases) {
    const sim::RunResult result = RunProgram(Answers(2), [&] { sim::FailWaveInOpen(c.code, true); });

    ASSERT_TRUE(result.exited) << c.code << ": " << result.message;
    EXPECT_EQ(result.exitCode, 0);
    // The message follows the question's text, where the cursor stood.
    EXPECT_EQ(Rows()[3], "Aperte Enter e fique em silêncio.Problemas, código " + std::to_string(c.code));
    EXPECT_EQ(Rows()[4], "");
    Names said = {"AVINIC", "AVRUIAMB", "AVENTSIL"};
    said.insert(said.end(), c.words.begin(), c.words.end());
    EXPECT_EQ(Heard(), said) << c.code;
  }
}

// Unplugged six buffers into the normal-speech measurement: that measurement gives no level
// and no grade; the problem is written below its bar and said, and Enter ends the run.
TEST_F(TestRunTest, AMicrophoneLostWhileRecordingIsAProblemNotAGrade) {
  const sim::RunResult result = RunProgram(Answers(3), [&] {
    SetLevels({9, 90, 90});
    sim::LoseWaveInAfter(54 + 6);
  });

  ASSERT_TRUE(result.exited) << result.message;
  EXPECT_EQ(result.exitCode, 0);
  const std::vector<std::string>& rows = Rows();
  const auto problem = std::find(rows.begin(), rows.end(), "Problemas, código 6");
  ASSERT_NE(problem, rows.end());
  EXPECT_EQ(*(problem - 1), Bar(90));
  EXPECT_EQ(HeardBetween("AVTESMIC", ""), (Names{"AVTESMIC", "_seis"}));
  EXPECT_FALSE(platform::WaveInIsOpen());
}

TEST_F(TestRunTest, AVoiceThatCannotBeOpenedIsReportedAndEndsTheRunAfterEnter) {
  struct Case {
    test_support::VoiceDataOptions options;
    std::string error;
  };
  const Case cases[] = {
      {Installed(true, false, true), "Erro de inicialização: 1"},
      {Installed(true, true, false), "Erro de inicialização: 2"},
  };
  for (const Case& c : cases) {
    RewriteVoiceData(c.options);
    const sim::RunResult unanswered = RunProgram({}, [] {});
    EXPECT_TRUE(unanswered.stalled) << c.error;  // it waits for Enter

    const sim::RunResult result = RunProgram(Answers(1), [] {});
    ASSERT_TRUE(result.exited) << c.error << ": " << result.message;
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(Rows()[0], c.error);
    EXPECT_EQ(Rows()[1], "Banco de dados de voz: TESTE");
    EXPECT_EQ(Rows()[2], "");
    EXPECT_TRUE(Heard().empty());
    EXPECT_TRUE(sim::WaveInOpens().empty());
  }
}

}  // namespace
}  // namespace audival_test
