// Speaking phoneme strings with a small database: sample-exact output of letters, gaps,
// pauses, stress, cut and floor, split factors and fallbacks.
#include "synthesizer_fixture.h"

#include <set>

#include "console/keyboard.h"

namespace diphone_test {
namespace {

class SpeakTest : public SynthesizerTest {
 protected:
  // The one block a short string gives, as played.
  void ExpectOneBlock(const Bytes& samples) {
    ASSERT_EQ(PlayedBlocks().size(), 1u);
    EXPECT_EQ(PlayedBlocks()[0], AsPlayed(samples));
    EXPECT_TRUE(AllBlocksInVoiceFormat());
  }
};

TEST_F(SpeakTest, SpelledLettersHaveTheGapBetweenThemAndNoneAfterTheLast) {
  const Bytes b = SegmentSamples("_66", 500);
  const Bytes c = SegmentSamples("_67", 700);
  WriteLetter(66, b);
  WriteLetter(67, c);
  WriteDatabase();
  Speak("[ /_B][ /_C]");
  ExpectOneBlock(Join({b, Silence(100), c}));
}

TEST_F(SpeakTest, GapIsWholeBlocksOfHundredSamples) {
  const Bytes b = SegmentSamples("_66", 500);
  const Bytes c = SegmentSamples("_67", 700);
  WriteLetter(66, b);
  WriteLetter(67, c);
  WriteDatabase();
  const struct {
    int gap;
    std::size_t silence;
  } cases[] = {{150, 100}, {99, 0}, {0, 0}, {250, 200}, {-100, 0}};
  for (const auto& c0 : cases) {
    SCOPED_TRACE(c0.gap);
    diphone::DiphoneSetGap(c0.gap);
    Speak("[ /_B][ /_C]");
    ExpectOneBlock(Join({b, Silence(c0.silence), c}));
  }
}

// The hyphen's rule "(-)=" writes nothing: "guarda-chuva" gave "...][][..." and a second gap.
TEST_F(SpeakTest, AnEmptyUnitAddsNoGap) {
  AddSegment("$KA", 600);
  AddSegment("$SA", 700);
  WriteDatabase();
  diphone::DiphoneSetGap(300);
  const Bytes& ka = Segment("$KA");
  const Bytes& sa = Segment("$SA");
  const struct {
    const char* phonemes;
    Bytes heard;
  } cases[] = {{"[kA ][][][ ][sA ]", Join({ka, Silence(300), sa})},
               {"[][kA ]", ka},
               {"[kA ][ /_,][sA ]", Join({ka, Silence(300), Silence(4000), Silence(300), sa})}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.phonemes);
    Speak(c.phonemes);
    ExpectOneBlock(c.heard);
  }
}

TEST_F(SpeakTest, PunctuationIsAPauseOrItsRecording) {
  const struct {
    char sign;
    std::size_t pause;
  } cases[] = {{',', 4000}, {'.', 8000}, {':', 8000}, {';', 6000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sign);
    const Bytes recording = SegmentSamples(std::string(1, c.sign), 300);
    WriteLetter(static_cast<std::uint8_t>(c.sign), recording);
    WriteDatabase();
    const std::string phonemes = std::string("[ /_") + c.sign + "]";
    Speak(phonemes, false);
    ExpectOneBlock(Silence(c.pause));
    Speak(phonemes, true);
    ExpectOneBlock(recording);
  }
}

TEST_F(SpeakTest, UnstressedSegmentsLoseTheCutDownToTheFloor) {
  AddSegment("$KA", 1000);
  AddSegment("$SA", 1000);
  AddSegment("$TA", 500);
  AddSegment("$K", 800);
  WriteDatabase();
  const Bytes& ka = Segment("$KA");
  const Bytes& sa = Segment("$SA");
  const Bytes& ta = Segment("$TA");
  const struct {
    const char* phonemes;
    int floor;
    Bytes expected;
  } cases[] = {
      // The stressed piece is whole; before it the word start, after it mode 0, both cut.
      {"[ka/ /sA]", 0, Join({Prefix(ka, 600), sa})},
      {"[sA/ /ka]", 0, Join({sa, Prefix(ka, 600)})},
      {"[kA]", 0, ka},
      // The floor: 1000 - 400 below 700 keeps 700; a segment shorter than the floor stays whole.
      {"[ka]", 700, Prefix(ka, 700)},
      {"[ta]", 700, ta},
      {"[ta/ /kA]", 0, Join({Prefix(ta, 100), ka})},
      // Names of two characters are never cut.
      {"[k]", 0, Segment("$K")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.phonemes);
    diphone::DiphoneSetFloor(c.floor);
    Speak(c.phonemes);
    ExpectOneBlock(c.expected);
  }
  // A negative cut never reads past the segment into its neighbour.
  diphone::DiphoneSetFloor(0);
  diphone::DiphoneSetCut(-500);
  Speak("[ka]");
  ExpectOneBlock(ka);
}

TEST_F(SpeakTest, ShortUnstressedSegmentIsNotHeardAtAll) {
  AddSegment("$TA", 300);
  WriteDatabase();
  Speak("[ta]");
  EXPECT_TRUE(PlayedBlocks().empty());
}

TEST_F(SpeakTest, SplitPiecesTakeTheirLengthFactors) {
  diphone::DiphoneSetCut(0);
  AddSegment("$KA", 1000);
  AddSegment("$AW", 1000);
  AddSegment("$A", 1000);
  AddSegment("$S", 500);
  AddSegment("$T", 400);
  AddSegment("$RA", 900);
  WriteDatabase();
  const struct {
    const char* phonemes;
    Bytes expected;
  } cases[] = {
      // A vowel-like character before a glide: "ka" at 0.6, then "aw" whole.
      {"[kaw]", Join({Prefix(Segment("$KA"), 600), Segment("$AW")})},
      // A final s: the rest at 0.7, then "s" whole.
      {"[as]", Join({Prefix(Segment("$A"), 700), Segment("$S")})},
      // Two split consonants: the first alone at 1.0.
      {"[tra]", Join({Segment("$T"), Segment("$RA")})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.phonemes);
    Speak(c.phonemes);
    ExpectOneBlock(c.expected);
  }
}

TEST_F(SpeakTest, MissingNamesFallBackToShorterOnes) {
  diphone::DiphoneSetCut(100);
  AddSegment("$KACIRC", 1000);
  AddSegment("$KI", 1000);
  AddSegment("$NN", 500);
  AddSegment("$K", 600);
  AddSegment("$ACIRC", 700);
  AddSegment("$KW", 800);
  AddSegment("$A", 900);
  WriteDatabase();
  const Bytes nn = Prefix(Segment("$NN"), 360);  // (500 - 100) × 0.9 in mode 1
  const struct {
    const char* phonemes;
    Bytes expected;
  } cases[] = {
      // $kaTIL: $kaCIRC stressed at 0.9, then $nn unstressed at 0.9.
      {"[ka~]", Join({Prefix(Segment("$KACIRC"), 900), nn})},
      // $kiTIL: an i keeps its own name and the stress mode of the moment.
      {"[ki~]", Join({Prefix(Segment("$KI"), 810), nn})},
      // $kwaCIRC: all but the last five at 0.9, then "$" + the last five ((800 - 100) × 0.9).
      {"[kwa^]", Join({Prefix(Segment("$KW"), 630), Prefix(Segment("$ACIRC"), 600)})},
      // $kwa: without its last vowel at 0.9, then the vowel alone.
      {"[kwa]", Join({Prefix(Segment("$KW"), 630), Segment("$A")})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.phonemes);
    Speak(c.phonemes);
    ExpectOneBlock(c.expected);
  }
}

TEST_F(SpeakTest, MissingShortNameIsANoiseBurstAndAMissingLongOneNothing) {
  AddSegment("$A", 500);
  WriteDatabase();
  Speak("[z]");
  ASSERT_EQ(PlayedBlocks().size(), 1u);
  const Bytes burst = PlayedBlocks()[0];
  ASSERT_EQ(burst.size(), 300u);
  EXPECT_TRUE(std::all_of(burst.begin(), burst.end() - 1, [](std::uint8_t b) { return b >= 88 && b <= 167; }));
  EXPECT_GT(std::set<std::uint8_t>(burst.begin(), burst.end()).size(), 20u) << "noise, not a constant";

  Speak("[kx]");
  EXPECT_TRUE(PlayedBlocks().empty());
}

TEST_F(SpeakTest, MissingLetterRecordingIsSkipped) {
  const Bytes c = SegmentSamples("_67", 400);
  WriteLetter(67, c);
  WriteDatabase();
  diphone::DiphoneSetGap(0);
  Speak("[ /_B][ /_C]");
  ExpectOneBlock(c);
}

TEST_F(SpeakTest, BufferIsPlayedWhereTheNextSegmentNoLongerFits) {
  AddSegment("$KA", 40000);
  AddSegment("$TA", 23956);
  AddSegment("$SA", 23955);
  WriteDatabase();
  // 44 + 40000 + 23956 reaches 64000: the buffer goes before $TA.
  Speak("[kA/ /tA]");
  ASSERT_EQ(PlayedBlocks().size(), 2u);
  EXPECT_EQ(PlayedBlocks()[0], AsPlayed(Segment("$KA")));
  EXPECT_EQ(PlayedBlocks()[1], AsPlayed(Segment("$TA")));
  // One byte less still fits.
  Speak("[kA/ /sA]");
  ExpectOneBlock(Join({Segment("$KA"), Segment("$SA")}));
}

TEST_F(SpeakTest, LongTextIsPlayedInSeveralBuffersWithNothingLost) {
  AddSegment("$KA", 30000);
  AddSegment("$NA", 20000);
  WriteDatabase();
  diphone::DiphoneSetGap(100);
  Speak("[kA][nA][kA][nA]");
  // 30000 + 100 + 20000 + 100 fit; the next 30000 no longer does.
  const Bytes first = Join({Segment("$KA"), Silence(100), Segment("$NA"), Silence(100)});
  const Bytes second = Join({Segment("$KA"), Silence(100), Segment("$NA")});
  ASSERT_EQ(PlayedBlocks().size(), 2u);
  EXPECT_EQ(PlayedBlocks()[0], AsPlayed(first));
  EXPECT_EQ(PlayedBlocks()[1], AsPlayed(second));
  // Each buffer sounds to its end before the next one is filled.
  EXPECT_GE(sim::WaveBlocks()[1].startMs, sim::WaveBlocks()[0].endMs);
}

TEST_F(SpeakTest, SegmentLargerThanTheBufferIsPlayedInPieces) {
  AddSegment("$A", 100);
  AddSegment("$BIA", 65000);
  WriteDatabase();
  Speak("[A/ /bIa]");
  ASSERT_EQ(PlayedBlocks().size(), 3u);
  EXPECT_EQ(PlayedBlocks()[0], AsPlayed(Segment("$A")));
  EXPECT_EQ(PlayedBlocks()[1], AsPlayed(Prefix(Segment("$BIA"), 63956)));
  EXPECT_EQ(PlayedBlocks()[2], AsPlayed(Bytes(Segment("$BIA").begin() + 63956, Segment("$BIA").end())));
}

TEST_F(SpeakTest, LetterRecordingsAreReadByTheirRealDataSize) {
  WriteDatabase();
  diphone::DiphoneSetGap(0);
  // 70000 bytes: a 16-bit reading of the size would give 4464.
  const Bytes big = SegmentSamples("_66", 70000);
  WriteLetter(66, big);
  Speak("[ /_B]");
  ASSERT_EQ(PlayedBlocks().size(), 2u);
  EXPECT_EQ(PlayedBlocks()[0], AsPlayed(Prefix(big, 63956)));
  EXPECT_EQ(PlayedBlocks()[1], AsPlayed(Bytes(big.begin() + 63956, big.end())));

  // A size that claims more than the file holds plays what is there; chunks before "data"
  // (and after "fmt ") are passed over.
  const Bytes c = SegmentSamples("_67", 600);
  WriteFile("letras/_67.wav", Riff(Chunk("LIST", "INFOxx") + Chunk("fmt ", FmtBody(11025, 1, 8)) +
                                   Chunk("fact", "1234") + Chunk("data", AsString(c), 100000)));
  Speak("[ /_C]");
  ASSERT_EQ(PlayedBlocks().size(), 1u);
  EXPECT_EQ(PlayedBlocks()[0], AsPlayed(c));

  // Not a wave file: nothing.
  WriteFile("letras/_68.wav", "RIFX1234WAVEfmt ");
  Speak("[ /_D]");
  EXPECT_TRUE(PlayedBlocks().empty());
}

TEST_F(SpeakTest, AKeyStopsTheSoundAndStaysQueued) {
  AddSegment("$KA", 30000);
  WriteDatabase();
  const sim::RunResult result = RunVoice([] {
    ASSERT_EQ(diphone::DiphoneOpen(), diphone::kDiphoneReady);
    sim::PressKeyAt(1000, 'A');
    // Three buffers' worth: the first is cut by the key, the rest never reach the device.
    diphone::DiphoneSpeak("[kA][kA][kA][kA][kA]", false);
    EXPECT_TRUE(console::KeyPressed());
    EXPECT_EQ(console::ReadKey(), 'a');
    EXPECT_TRUE(frontend::StopRequested());
  });
  ASSERT_FALSE(result.stalled) << result.message;
  ASSERT_EQ(sim::WaveBlocks().size(), 1u);
  EXPECT_TRUE(sim::WaveBlocks()[0].cut);
  EXPECT_NEAR(sim::WaveBlocks()[0].endMs, 1000, 1);
}

TEST_F(SpeakTest, OverLongUnitsAndNamesAreCut) {
  // 50 vowels: the unit keeps 40, its one name "$" and 11 of them.
  AddSegment("$AAAAAAA", 300);
  AddSegment("$A", 200);
  AddSegment("$ACIRC", 400);
  WriteDatabase();
  const std::string vowels(50, 'A');
  EXPECT_EQ(diphone::DiphoneSegmentNames("[" + vowels + "]", false),
            std::vector<std::string>{"$AAAAAAAAAAA"});
  EXPECT_EQ(diphone::DiphoneSegmentNames("[" + std::string(15, 'a') + "^]", false),
            std::vector<std::string>{"$AAAAAAAAAAACIRC"});
  // Spoken, the long name falls back vowel by vowel until the index holds the rest.
  Speak("[" + vowels + "]");
  const Bytes lastVowel = Segment("$A");
  ASSERT_EQ(PlayedBlocks().size(), 1u);
  // $AAAAAAA (stressed) at 0.9^4, then four single vowels at 0.9^3 .. 1.0.
  Bytes expected = Prefix(Segment("$AAAAAAA"), static_cast<std::size_t>(300 * (0.9 * 0.9 * 0.9 * 0.9)));
  for (double f : {0.9 * 0.9 * 0.9, 0.9 * 0.9, 0.9, 1.0}) {
    const Bytes piece = Prefix(lastVowel, static_cast<std::size_t>(200 * f));
    expected.insert(expected.end(), piece.begin(), piece.end());
  }
  EXPECT_EQ(PlayedBlocks()[0], AsPlayed(expected));
}

TEST_F(SpeakTest, NothingIsSpokenWhenNotOpen) {
  const sim::RunResult result = RunVoice([] { diphone::DiphoneSpeak("[kA]", false); });
  ASSERT_FALSE(result.stalled) << result.message;
  EXPECT_TRUE(sim::WaveBlocks().empty());
}

TEST_F(SpeakTest, OutputSinkReceivesEveryBufferInsteadOfThePlayer) {
  AddSegment("$KA", 40000);
  AddSegment("$TA", 30000);
  WriteDatabase();
  Bytes heard;
  int flushes = 0;
  diphone::DiphoneSetOutputSink([&](const std::uint8_t* samples, std::size_t count) {
    heard.insert(heard.end(), samples, samples + count);
    ++flushes;
  });
  Speak("[kA/ /tA]");
  EXPECT_TRUE(sim::WaveBlocks().empty());
  EXPECT_EQ(flushes, 2);
  EXPECT_EQ(heard, Join({Segment("$KA"), Segment("$TA")}));
}

}  // namespace
}  // namespace diphone_test
