// The names a phoneme string asks for (the split without a database), and the readers of the
// index and of letter recordings on hostile bytes.
#include <cstdio>

#include "speech/diphone/letter_recording.h"
#include "speech/diphone/segment_index.h"
#include "synthesizer_fixture.h"

namespace diphone_test {
namespace {

using Names = std::vector<std::string>;

TEST(SegmentNamesTest, SplitRulesGiveTheseNames) {
  const struct {
    const char* phonemes;
    bool keepPunctuation;
    Names names;
  } cases[] = {
      {"[ /_B][ /_C]", false, {"_66", "_67"}},
      {"[ /_,]", false, {}},
      {"[ /_,]", true, {"_44"}},
      {"[ /_!]", false, {"_33"}},
      {"[ /_\xe7]", false, {"_231"}},
      // Glides: a vowel before one splits off the unit's start; a mark keeps its form.
      {"[kaw]", false, {"$KA", "$AW"}},
      {"[ka^w]", false, {"$KACIRC", "$AWCIRC"}},
      {"[ka~w]", false, {"$KACIRC", "$AWTIL"}},
      {"[a~w]", false, {"$AWTIL"}},
      // Consonant clusters: split, except dj nh rr ks and tch.
      {"[tra]", false, {"$T", "$RA"}},
      {"[stra]", false, {"$S", "$T", "$RA"}},
      {"[nha]", false, {"$NHA"}},
      {"[dja]", false, {"$DJA"}},
      {"[ksa]", false, {"$KSA"}},
      {"[tcha]", false, {"$TCHA"}},
      {"[nhas]", false, {"$NHA", "$S"}},
      {"[karr]", false, {"$KA", "$RR"}},
      {"[kal]", false, {"$KA", "$L"}},
      {"[as]", false, {"$A", "$S"}},
      {"[ /_s]", false, {"_115"}},
      // Marks end a name inside a piece.
      {"[pa~o]", false, {"$PATIL", "$O"}},
      {"[me^]", false, {"$MECIRC"}},
      // Short units of a word merge across "/" until they pass 8 characters.
      {"[ka/sa/ta/ma/na]", false, {"$KASATAMANA"}},
      {"[ka/sa/ta/ma/na/ra]", false, {"$KASATAMANA", "$RA"}},
      // A space ends a unit; "|" is the dash unit; "_" takes whatever follows it.
      {"[ka /sa]", false, {"$KA", "$SA"}},
      {"[|]", false, {"_84"}},
      {"[ /_]]", false, {"_93"}},
      {"[ /_", false, {}},
      {"", false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.phonemes);
    EXPECT_EQ(diphone::DiphoneSegmentNames(c.phonemes, c.keepPunctuation), c.names);
  }
}

TEST(SegmentIndexTest, RecordsAreReadSafely) {
  std::string bytes = IndexRecord("$A", 10, 0) + IndexRecord("$KA", 20, 10) +
                      // A name length of 200 reads as 8 characters.
                      IndexRecord("$LONGNAM", 5, 30, 200) +
                      // Runs past a 40-byte data file.
                      IndexRecord("$Z", 11, 30) +
                      // An offset near 4 GiB that would wrap a 32-bit sum.
                      IndexRecord("$ZZ", 0xFFFF, 0xFFFFFFF0u) + "\x02$Q";  // 3 stray bytes
  const Bytes raw = AsBytes(bytes);
  const std::vector<diphone::detail::SegmentRecord> index =
      diphone::detail::ParseSegmentIndex(raw.data(), raw.size(), 40);
  ASSERT_EQ(index.size(), 3u);
  EXPECT_EQ(index[2].name, "$LONGNAM");
  const diphone::detail::SegmentRecord* ka = diphone::detail::FindSegment(index, "$KA");
  ASSERT_NE(ka, nullptr);
  EXPECT_EQ(ka->length, 20u);
  EXPECT_EQ(ka->offset, 10u);
  EXPECT_EQ(diphone::detail::FindSegment(index, "$K"), nullptr);
  EXPECT_EQ(diphone::detail::FindSegment(index, "$Z"), nullptr);
  EXPECT_EQ(diphone::detail::FindSegment(index, "$ZZ"), nullptr);
  EXPECT_NE(diphone::detail::FindSegment(index, "$A"), nullptr);
}

// FindWaveSamples on bytes held in memory.
bool FindInBytes(const std::string& bytes, diphone::detail::SampleSpan& span) {
  std::string copy = bytes;
  std::FILE* file = fmemopen(copy.data(), copy.size(), "rb");
  if (file == nullptr) return false;
  const bool found = diphone::detail::FindWaveSamples(file, copy.size(), span);
  std::fclose(file);
  return found;
}

TEST(LetterRecordingTest, FirstDataChunkBoundedByTheFile) {
  const std::string fmt = Chunk("fmt ", FmtBody(11025, 1, 8));
  const struct {
    const char* what;
    std::string bytes;
    bool found;
    std::uint64_t offset;
    std::uint64_t length;
  } cases[] = {
      {"canonical", WaveImage(11025, 1, 8, Bytes(100, 7)), true, 44, 100},
      {"size beyond the file", Riff(fmt + Chunk("data", std::string(10, 'x'), 70000)), true, 44, 10},
      {"32-bit size", Riff(fmt + Chunk("data", std::string(70000, 'x'))), true, 44, 70000},
      {"two data chunks", Riff(fmt + Chunk("data", "ab") + Chunk("data", "cde")), true, 44, 2},
      {"chunk before fmt", Riff(Chunk("LIST", "abcd") + fmt + Chunk("data", "z")), true, 56, 1},
      {"no data", Riff(fmt + Chunk("LIST", "abcd")), false, 0, 0},
      {"chunk length past the end", Riff(fmt + Chunk("LIST", "", 0xFFFFFFF0u) + Chunk("data", "z")), false, 0, 0},
      {"not RIFF", Riff(fmt + Chunk("data", "z"), std::nullopt, "RIFX"), false, 0, 0},
      {"not WAVE", Riff(fmt + Chunk("data", "z")).replace(8, 4, "AVI "), false, 0, 0},
      {"too short", "RIFF", false, 0, 0},
      {"empty", "", false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    diphone::detail::SampleSpan span;
    ASSERT_EQ(FindInBytes(c.bytes, span), c.found);
    if (!c.found) continue;
    EXPECT_EQ(span.offset, c.offset);
    EXPECT_EQ(span.length, c.length);
  }
}

}  // namespace
}  // namespace diphone_test
