// Numbers in words, and the number words played from their recordings as one utterance.
#include "speech/frontend/numbers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "frontend/frontend_fixture.h"
#include "platform/keys.h"

namespace frontend_test {
namespace {

using Names = std::vector<std::string>;

TEST(NumberToWords, BrazilianPortugueseWords) {
  const struct {
    std::uint32_t value;
    const char* words;
  } cases[] = {
      {0, "zero"},
      {1, "um"},
      {10, "dez"},
      {16, "dezesseis"},
      {17, "dezessete"},
      {20, "vinte"},
      {21, "vinte e um"},
      {100, "cem"},
      {101, "cento e um"},
      {105, "cento e cinco"},
      {110, "cento e dez"},
      {123, "cento e vinte e tres"},
      {200, "duzentos"},
      {999, "novecentos e noventa e nove"},
      {1000, "mil "},
      {1001, "mil e um"},
      {1100, "mil e cem"},
      {1234, "mil e duzentos e trinta e quatro"},
      {1500, "mil e quinhentos"},
      {2000, "dois mil "},
      {21000, "vinte e um mil "},
      {100000, "cem mil "},
      {101000, "cento e um mil "},
      {999999, "novecentos e noventa e nove mil e novecentos e noventa e nove"},
      {1000000, "um milhão "},
      {1001000, "um milhão e um mil "},
      {2000500, "dois milhões e quinhentos"},
      {1000000000, "um bilhão "},
      {2000000001, "dois bilhões e um"},
      {1002003004, "um bilhão dois milhões tres mil e quatro"},
      {4294967295u,
       "quatro bilhões duzentos e noventa e quatro milhões novecentos e sessenta e sete mil e duzentos e "
       "noventa e cinco"},
  };
  for (const auto& c : cases) EXPECT_EQ(frontend::NumberToWords(c.value), c.words) << c.value;
}

class SpeakWordsTest : public FrontendTest {
 protected:
  void SetUp() override {
    FrontendTest::SetUp();
    WriteSettings();
  }

  // The blocks played for each call of `body`'s SpeakWords.
  std::vector<std::vector<std::string>> HeardFromWords(const std::string& words, bool feminine) {
    std::vector<std::vector<std::string>> heard;
    const sim::RunResult result = RunSpeech([&] {
      frontend::SpeakWords(words, feminine);
      EXPECT_FALSE(frontend::SpeechPending()) << "returns when played";
      heard = HeardBlocks();
    });
    EXPECT_FALSE(result.stalled) << result.message;
    diphone::DiphoneClose();
    audio::PlayerStop();
    console::ConsoleStop();
    sim::Reset();
    return heard;
  }
};

TEST_F(SpeakWordsTest, WordsBecomeRecordingsPlayedAsOneBuffer) {
  const struct {
    std::uint32_t value;
    bool feminine;
    Names heard;
  } cases[] = {
      {0, false, {"_zero"}},
      {16, false, {"_dezesse"}},
      {17, false, {"_dezeset"}},
      {100, false, {"_cem"}},
      {101, false, {"_cento", "_e", "_um"}},
      {1100, false, {"_mil", "_e", "_cem"}},
      {21000, false, {"_vinte", "_e", "_um", "_mil"}},
      {1000000, false, {"_um", "_milhao"}},
      {2000500, false, {"_dois", "_milhoes", "_e", "_quinhen"}},
      {999999, false, {"_novecen", "_e", "_noventa", "_e", "_nove", "_mil", "_e", "_novecen", "_e", "_noventa", "_e", "_nove"}},
      {2000000000, false, {"_dois", "_bilhoes"}},
      {1000000000, false, {"_um", "_bilhao"}},
      {14000000, false, {"_quatorz", "_milhoes"}},
      // Feminine: only a last "um" or "dois" changes.
      {2, true, {"_duas"}},
      {21, true, {"_vinte", "_e", "_uma"}},
      {1, true, {"_uma"}},
      {200, true, {"_duzento"}},
      {2001, true, {"_dois", "_mil", "_e", "_uma"}},
      {12, true, {"_doze"}},
  };
  for (const auto& c : cases) {
    const auto heard = HeardFromWords(frontend::NumberToWords(c.value), c.feminine);
    EXPECT_EQ(heard, (std::vector<Names>{c.heard})) << c.value << (c.feminine ? " feminine" : "");
  }
}

TEST_F(SpeakWordsTest, TrilhoesAndOddTextsGiveTheirNames) {
  EXPECT_EQ(HeardFromWords("dois trilhões e um trilhão", false),
            (std::vector<Names>{{"_dois", "_trilhoe", "_e", "_um", "_trilhao"}}));
  EXPECT_EQ(HeardFromWords("  tres   sete  ", false), (std::vector<Names>{{"_tres", "_sete"}}));
  // The scan stops at an asterisk, as at the end.
  EXPECT_EQ(HeardFromWords("tres * sete", false), (std::vector<Names>{{"_tres"}}));
  EXPECT_TRUE(HeardFromWords("", false).empty());
  EXPECT_TRUE(HeardFromWords("   ", true).empty());
}

TEST_F(SpeakWordsTest, AMissingRecordingIsPassedOver) {
  std::filesystem::remove(LettersFolder() + "/_e.wav");
  std::filesystem::remove(LettersFolder() + "/_mil.wav");
  EXPECT_EQ(HeardFromWords(frontend::NumberToWords(21000), false), (std::vector<Names>{{"_vinte", "_um"}}));
  // A file shorter than a header holds no samples.
  WriteFile("letras/_um.wav", "RIFF");
  EXPECT_EQ(HeardFromWords("vinte um", false), (std::vector<Names>{{"_vinte"}}));
  // Nothing at all: nothing played.
  EXPECT_TRUE(HeardFromWords("mil e mil", false).empty());
}

TEST_F(SpeakWordsTest, ARecordingGivesExactlyTheSamplesOfItsDataChunk) {
  using namespace test_support;
  Bytes samples(300);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::uint8_t>(i * 7 + 3);
  const std::string fmt = Chunk("fmt ", FmtBody(11025, 1, 8));
  // Chunks around the samples; and a data length past the end of the file.
  WriteFile("letras/_um.wav",
            Riff(Chunk("LIST", "odd") + '\0' + fmt + Chunk("data", AsString(samples)) + Chunk("junk", "tail")));
  WriteFile("letras/_dois.wav", Riff(fmt + Chunk("data", AsString(samples), 5000)));
  RunSpeech([&] {
    frontend::SpeakWords("um", false);
    frontend::SpeakWords("dois", false);
  });
  samples.back() = 128;  // the player's silent last byte
  ASSERT_EQ(sim::WaveBlocks().size(), 2u);
  for (const sim::WaveBlockRecord& block : sim::WaveBlocks()) EXPECT_EQ(block.bytes, samples);
}

// Block lengths and the first and last sample value of each block.
struct BlockShape {
  std::size_t length;
  std::uint8_t first;
  std::uint8_t last;  // the one before the player's silenced last byte
  bool operator==(const BlockShape&) const = default;
};

std::vector<BlockShape> Shapes() {
  std::vector<BlockShape> shapes;
  for (const sim::WaveBlockRecord& block : sim::WaveBlocks()) {
    shapes.push_back({block.bytes.size(), block.bytes.front(), block.bytes[block.bytes.size() - 2]});
  }
  return shapes;
}

std::ostream& operator<<(std::ostream& out, const BlockShape& shape) {
  return out << "{" << shape.length << ", " << int{shape.first} << ", " << int{shape.last} << "}";
}

TEST_F(SpeakWordsTest, ABufferIsCutBetweenWordsAndALongRecordingIsPlayedInPieces) {
  // 12 000 samples each: two fit the 30 000-byte buffer, the third starts the next one.
  WriteRecording("_vinte", Bytes(12000, 21));
  WriteRecording("_e", Bytes(12000, 22));
  WriteRecording("_um", Bytes(12000, 23));
  WriteRecording("_mil", Bytes(70000, 24));
  WriteRecording("_tres", Bytes(100, 25));
  std::vector<BlockShape> shapes;
  const sim::RunResult result = RunSpeech([&] {
    frontend::SpeakWords("vinte e um", false);
    frontend::SpeakWords("tres mil tres", false);
    shapes = Shapes();
  });
  EXPECT_FALSE(result.stalled) << result.message;
  const std::vector<BlockShape> expected = {
      {24000, 21, 22}, {12000, 23, 23},
      // "tres" (100) is held and played before "mil" would overflow the buffer; "mil" does not
      // fit in one buffer and is played in pieces; the last piece is joined by the next word.
      {100, 25, 25}, {30000, 24, 24}, {30000, 24, 24}, {10100, 24, 25}};
  // A short block is padded to 256 bytes by the player.
  ASSERT_EQ(shapes.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const BlockShape want = expected[i].length < 256 ? BlockShape{256, expected[i].first, 128} : expected[i];
    EXPECT_EQ(shapes[i], want) << i;
  }
  for (const sim::WaveBlockRecord& block : sim::WaveBlocks()) {
    EXPECT_EQ(block.format.rate, 11025);
    EXPECT_EQ(block.format.bits, 8);
    EXPECT_EQ(block.format.channels, 1);
    EXPECT_FALSE(block.cut);
  }
}

TEST_F(SpeakWordsTest, AKeyStopsEveryBufferOfTheCallAndStaysQueued) {
  WriteRecording("_mil", Bytes(70000, 24));
  int key = 0;
  const sim::RunResult result = RunSpeech([&] {
    sim::PressKeyAt(sim::Now() + 100, platform::VkLetter('X'));
    frontend::SpeakWords("mil mil", false);
    key = console::ReadKey();
  });
  EXPECT_FALSE(result.stalled) << result.message;
  EXPECT_EQ(key, 'x');
  // The first buffer is cut by the key; each later one is stopped at once.
  ASSERT_FALSE(sim::WaveBlocks().empty());
  EXPECT_TRUE(sim::WaveBlocks()[0].cut);
  for (const sim::WaveBlockRecord& block : sim::WaveBlocks()) EXPECT_LE(block.startMs, 100.0);
}

}  // namespace
}  // namespace frontend_test
