// Speak with the internal voice: how a text is cut into words, numbers and signs, what each
// piece sounds as, the pauses after signs, and a key ending the text.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "frontend/frontend_fixture.h"
#include "platform/keys.h"
#include "support/console_rows.h"

namespace frontend_test {
namespace {

using Names = std::vector<std::string>;

class SpeakTest : public FrontendTest {
 protected:
  void SetUp() override {
    FrontendTest::SetUp();
    WriteSettings();
  }
};

TEST_F(SpeakTest, TextsAreCutIntoWordsNumbersAndSigns) {
  const struct {
    const char* text;
    bool announcing;
    Names heard;
  } cases[] = {
      // Leading zeros one by one, then the number.
      {"007", false, {"_zero", "_zero", "_sete"}},
      {"0", false, {"_zero"}},
      {"-5", false, {"_MENOS", "_cinco"}},
      {"casa-5", false, {kVoice, "_MENOS", "_cinco"}},
      // A hyphenated word: both parts, no minus.
      {"guarda-chuva", true, {kVoice, kVoice}},
      // A run with a "-" is spelled, and so are runs of seven digits or more.
      {"10-20", false, {"_49", "_48", "_45", "_50", "_48"}},
      {"5-", false, {"_53", "_45"}},
      {"1234567", false, {"_49", "_50", "_51", "_52", "_53", "_54", "_55"}},
      {"123456",
       false,
       {"_cento", "_e", "_vinte", "_e", "_tres", "_mil", "_e", "_quatroc", "_e", "_cinquen", "_e", "_seis"}},
      {"17", false, {"_dezeset"}},
      {"16", false, {"_dezesse"}},
      // "www" is spelled as written; the full stop inside the address is spelled, never a pause.
      {"www.site", false, {"_119", "_119", "_119", "_46", kVoice}},
      {"WWW.site", true, {"_87", "_87", "_87", "_46", kVoice}},
      {"casa://site", false, {kVoice, "_58", "_47", "_47", kVoice}},
      // A sign that ends a clause is a pause; one inside a token is spelled.
      {"Fim.", false, {kVoice}},
      {"Fim.", true, {kVoice, "_46"}},
      {"3.5", false, {"_tres", "_46", "_cinco"}},
      {"3.5", true, {"_tres", "_46", "_cinco"}},
      {"casa, casa", false, {kVoice, kVoice}},
      {"casa, casa", true, {kVoice, "_44", kVoice}},
      {"(casa); casa:", false, {kVoice, kVoice}},
      {"(casa); casa:", true, {"_40", kVoice, "_41", "_59", kVoice, "_58"}},
      {"casa - casa", false, {kVoice, kVoice}},
      {"casa - casa", true, {kVoice, "_45", kVoice}},
      // A "-" before anything else is said as the sign.
      {"-?", false, {"_45", "_63"}},
      // Two dashes: the first is spelled (no space after it), the second is a pause.
      {"--", false, {"_45"}},
      {"--", true, {"_45", "_45"}},
      // The first four of a run of equal signs are said, each further one is a click.
      {"!!!!!!", false, {"_33", "_33", "_33", "_33", kClick, kClick}},
      {"!!!!", false, {"_33", "_33", "_33", "_33"}},
      // Blanks never click, nor do they break a run of equal signs.
      {"ta te ti to tu fa", false, {kVoice, kVoice, kVoice, kVoice, kVoice, kVoice}},
      {"! ! ! !  !", false, {"_33", "_33", "_33", "_33", kClick}},
      // Nor do numbers between equal signs.
      {"!1!2!3!4!", false, {"_33", "_um", "_33", "_dois", "_33", "_tres", "_33", "_quatro", kClick}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HeardFor(c.text, c.announcing), c.heard) << c.text << (c.announcing ? " (announcing)" : "");
  }
}

// The time from the end of the block `before` to the start of the block after it.
double GapAfterBlock(std::size_t before) {
  const auto& blocks = sim::WaveBlocks();
  return blocks.at(before + 1).startMs - blocks.at(before).endMs;
}

TEST_F(SpeakTest, SignsEndingAClausePauseForTheirConfiguredTime) {
  const struct {
    const char* synthesizer;
    const char* text;
    double pause;
  } cases[] = {
      {"", "casa, casa", 150},
      {"PAUSAVIRG3=300\r\n", "casa, casa", 300},
      {"PAUSAVIRG3=abc\r\n", "casa, casa", 150},
      {"PAUSAVIRG3=40\r\n", "casa, casa", 0},  // less than one 50 ms step
      {"PAUSAVIRG3=120\r\n", "casa - casa", 100},
      {"", "casa. casa", 250},
      {"PAUSAPONTO3=500\r\n", "casa. casa", 500},
      {"", "casa: casa", 200},
      {"PAUSADOISPONTOS3=100\r\n", "casa; casa", 100},
      {"PAUSADOISPONTOS3=100\r\n", "(casa)casa", 100},
  };
  for (const auto& c : cases) {
    WriteSettings(Settings().Synthesizer(c.synthesizer));
    StartModules();
    const sim::RunResult result = sim::Run([&] {
      frontend::SpeechStart(0, "");
      frontend::SetPunctuationAnnouncing(false);
      const std::size_t first = sim::WaveBlocks().size();
      frontend::Speak(c.text);
      ASSERT_EQ(Heard(first), (Names{kVoice, kVoice})) << c.text;
      // The pause starts when the word before it has sounded to the end.
      const double gap = GapAfterBlock(first);
      EXPECT_GE(gap, c.pause) << c.synthesizer << c.text;
      EXPECT_LT(gap, c.pause + 1) << c.synthesizer << c.text;
    });
    EXPECT_FALSE(result.stalled) << result.message;
    diphone::DiphoneClose();
    audio::PlayerStop();
    console::ConsoleStop();
    sim::Reset();
  }
}

TEST_F(SpeakTest, AFullStopAtTheEndIsSaidThenPaused) {
  const sim::RunResult result = RunSpeech([] {
    const std::size_t first = sim::WaveBlocks().size();
    frontend::Speak("Fim.");
    ASSERT_EQ(Heard(first), (Names{kVoice, "_46"}));
    const double pauseEnd = static_cast<double>(sim::Now()) - std::ceil(sim::WaveBlocks().back().endMs);
    EXPECT_EQ(pauseEnd, 250);
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(SpeakTest, AKeyEndsALongTextAndStaysQueued) {
  int key = 0;
  std::size_t played = 0;
  const sim::RunResult result = RunSpeech([&] {
    const std::size_t first = sim::WaveBlocks().size();
    const std::int64_t keyAt = sim::Now() + 60;
    sim::PressKeyAt(keyAt, platform::VkLetter('A'));
    frontend::Speak("!?!?!?!?!?!?!?!?!?!?!?!?!?!?!?!?!?!? casa casa 1234567");
    played = sim::WaveBlocks().size() - first;
    for (std::size_t i = first; i < sim::WaveBlocks().size(); ++i) {
      EXPECT_LE(sim::WaveBlocks()[i].startMs, static_cast<double>(keyAt)) << "block " << i;
    }
    EXPECT_FALSE(frontend::SpeechPending());
    key = console::ReadKey();
  });
  EXPECT_FALSE(result.stalled) << result.message;
  EXPECT_GT(played, 0u);
  EXPECT_LT(played, 6u);
  EXPECT_EQ(key, 'a');
}

TEST_F(SpeakTest, AKeyAlreadyWaitingSaysNothing) {
  const sim::RunResult result = RunSpeech([] {
    const std::size_t first = sim::WaveBlocks().size();
    QueueKeyNow(platform::VkLetter('B'));
    frontend::Speak("casa 12 !");
    frontend::SpellText("abc");
    frontend::PlayPrompt("_MENOS");
    EXPECT_EQ(sim::WaveBlocks().size(), first);
    EXPECT_EQ(console::ReadKey(), 'b');
  });
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(SpeakTest, NumbersAreWrittenAtTheCursorThenSpoken) {
  std::vector<Names> heard;
  const sim::RunResult result = RunSpeech([&] {
    frontend::SetPunctuationAnnouncing(false);
    for (const std::int32_t value : {12, -12, 0, 1000000}) {
      const std::size_t first = sim::WaveBlocks().size();
      frontend::SpeakNumber(value);
      frontend::WaitForSpeech();
      heard.push_back(Heard(first));
      console::WriteText(" ", 1);
    }
    frontend::WriteAndSpeak("3.5");
  });
  EXPECT_FALSE(result.stalled) << result.message;
  EXPECT_EQ(test_support::BufferRow(0), "12 -12 0 1000000 3.5");
  ASSERT_EQ(heard.size(), 4u);
  EXPECT_EQ(heard[0], (Names{"_doze"}));
  EXPECT_EQ(heard[1], (Names{"_MENOS", "_doze"}));
  EXPECT_EQ(heard[2], (Names{"_zero"}));
  EXPECT_EQ(heard[3], (Names{"_49", "_48", "_48", "_48", "_48", "_48", "_48"}));
}

}  // namespace
}  // namespace frontend_test
