// The pieces the builders are made of: list parsing, the database files, trimming and the
// wave header, the settings per speed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "diphone_database.h"
#include "shaping.h"
#include "source_list.h"
#include "support/file_bytes.h"
#include "voice_settings.h"

namespace {

using test_support::LittleEndianField;

TEST(SourceListTest, ReadsNamesAndTextsAndRejectsMalformedLines) {
  std::vector<voicedata::SourceEntry> entries;
  std::string error;
  ASSERT_TRUE(voicedata::ParseSourceList("; comment\r\n\r\n$KA\tk'a\r\n_44\tv\xedrgula\t,\r\n_e\t[['i]]", entries,
                                         error))
      << error;
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "$KA");
  EXPECT_EQ(entries[0].text, "k'a");
  EXPECT_EQ(entries[1].text, "v\xedrgula");  // the third field is a comment
  EXPECT_EQ(entries[2].text, "[['i]]");

  const struct {
    const char* bytes;
    const char* where;
  } bad[] = {{"$KA k'a\r\n", "line 1"}, {"$KA\t\r\n", "line 1"}, {"x\ty\r\n\tk'a\r\n", "line 2"},
             {"$KA\tk'a\r\n;\r\n$KA\tk'&\r\n", "line 3"}};
  for (const auto& c : bad) {
    EXPECT_FALSE(voicedata::ParseSourceList(c.bytes, entries, error)) << c.bytes;
    EXPECT_NE(error.find(c.where), std::string::npos) << error;
  }
}

TEST(DiphoneDatabaseTest, WritesSortedFifteenByteRecordsOverTheSamples) {
  std::string index;
  std::string data;
  std::string error;
  ASSERT_TRUE(voicedata::BuildDiphoneFiles({{"$KACIRC", "ccc"}, {"$KA", "aa"}, {"$K", "k"}, {"$A", "xyz"}}, index,
                                           data, error))
      << error;
  ASSERT_EQ(index.size(), 4u * 15);
  const struct {
    const char* name;
    std::string samples;
  } expected[] = {{"$A", "xyz"}, {"$K", "k"}, {"$KA", "aa"}, {"$KACIRC", "ccc"}};
  std::string concatenated;
  for (int i = 0; i < 4; ++i) {
    const std::string record = index.substr(i * 15, 15);
    const std::string name = expected[i].name;
    EXPECT_EQ(static_cast<std::size_t>(record[0]), name.size());
    EXPECT_EQ(record.substr(1, name.size()), name);
    EXPECT_EQ(LittleEndianField(record, 9, 2), expected[i].samples.size());
    EXPECT_EQ(data.substr(LittleEndianField(record, 11, 4), expected[i].samples.size()), expected[i].samples);
    concatenated += expected[i].samples;
  }
  EXPECT_EQ(data, concatenated);

  const std::vector<std::vector<voicedata::Segment>> bad = {
      {{"$TCHICIRC", "x"}}, {{"", "x"}}, {{"$ka", "x"}}, {{"$KA", ""}}, {{"$KA", std::string(65536, 'x')}},
      {{"$KA", "x"}, {"$KA", "y"}}};
  for (const auto& segments : bad) {
    EXPECT_FALSE(voicedata::BuildDiphoneFiles(segments, index, data, error)) << segments[0].name;
    EXPECT_FALSE(error.empty());
  }
  // The longest segment a record can describe is accepted.
  EXPECT_TRUE(voicedata::BuildDiphoneFiles({{"$KA", std::string(65535, 'x')}}, index, data, error)) << error;
  EXPECT_EQ(LittleEndianField(index, 9, 2), 65535u);
}

TEST(ShapingTest, KeepsTheAudiblePartWithItsLeadAndTail) {
  // At 1000 Hz one sample is one millisecond.
  std::vector<std::int16_t> samples(100, 0);
  samples[40] = 1000;
  samples[60] = -1000;
  samples[70] = 200;  // below the threshold: silence
  const struct {
    int lead;
    int tail;
    std::size_t size;
    std::int16_t first;
  } cases[] = {{0, 0, 21, 1000}, {10, 5, 36, 0}, {50, 100, 100, 0}};
  for (const auto& c : cases) {
    const std::vector<std::int16_t> kept = voicedata::KeepAudible(samples, 1000, c.lead, c.tail);
    ASSERT_EQ(kept.size(), c.size) << c.lead;
    EXPECT_EQ(kept[static_cast<std::size_t>(std::min(c.lead, 40))], 1000) << c.lead;
    EXPECT_EQ(kept.front(), c.first);
  }
  EXPECT_TRUE(voicedata::KeepAudible(std::vector<std::int16_t>(50, 256), 1000, 10, 10).empty());
}

TEST(ShapingTest, ConvertsToUnsignedBytesAndHalvesTheRate) {
  EXPECT_EQ(voicedata::ToUnsigned8({0.0f, 256.0f, -256.0f, 40000.0f, -40000.0f}, 1.0),
            std::string("\x80\x81\x7f\xff\x00", 5));
  EXPECT_EQ(voicedata::ToUnsigned8({256.0f}, 2.0), "\x82");
  // A steady level passes the low-pass unchanged (away from the ends); a tone at the top of
  // the band is removed.
  const std::vector<float> steady = voicedata::HalveRate(std::vector<std::int16_t>(400, 1000));
  ASSERT_EQ(steady.size(), 200u);
  EXPECT_NEAR(steady[100], 1000.0f, 1.0f);
  std::vector<std::int16_t> alternating(400);
  for (std::size_t i = 0; i < alternating.size(); ++i) alternating[i] = i % 2 ? 10000 : -10000;
  EXPECT_LT(std::abs(voicedata::HalveRate(alternating)[100]), 50.0f);
}

// Each speed is faster than the one before in everything that is not speech: the gap after a
// word and the pauses last no longer in real time (the gap is played at the playback rate,
// raised by half with fast playback; the pauses are waited), and only speeds 4 and 5 play
// fast, so the default speed 3 keeps the voice's own pitch. How deep the cut may go is measured
// on the recordings (speed_tuning_test.cpp); how long a sentence lasts at each speed,
// bench/run_diphone_speeds.sh.
TEST(VoiceSettingsTest, PointsEverySpeedAtTheDatabaseAndIsFasterAtEachSpeed) {
  const std::vector<voicedata::ProfileEntry> entries = voicedata::VoiceSettings("/dados", "/fonte");
  const auto value = [&entries](const std::string& section, const std::string& key) {
    for (const auto& e : entries) {
      if (e.section == section && e.key == key) return e.value;
    }
    return std::string("(absent)");
  };
  EXPECT_EQ(value("VERANTO", "PGMVERANTO"), "/fonte");
  EXPECT_EQ(value("AUDIVAL", "DIRAUDIVAL"), "/dados/lumivar/som/audival");
  EXPECT_EQ(value("TRADUTOR", "DIRLETRAS"), "/dados/lumivar/som/letras");
  EXPECT_EQ(value("TRADUTOR", "DIRDIFONES"), "/dados/lumivar/som/difones");
  EXPECT_EQ(value("TRADUTOR", "VELOCIDADE"), "3");
  EXPECT_EQ(value("TRADUTOR", "SAPI"), "N");
  double lastGapMs = 1e9;
  int lastPauses[3] = {1 << 30, 1 << 30, 1 << 30};
  for (int speed = 1; speed <= 5; ++speed) {
    SCOPED_TRACE(speed);
    const std::string n = std::to_string(speed);
    EXPECT_EQ(value("SINTETIZADOR", "DIFONES" + n), "DIFONES2");
    for (const char* key : {"CORTEFON", "SOBRAFON", "INTERPAL", "PAUSAPONTO", "PAUSAVIRG", "PAUSADOISPONTOS"}) {
      const std::string text = value("SINTETIZADOR", key + n);
      EXPECT_EQ(text.find_first_not_of("0123456789"), std::string::npos) << key << n << "=" << text;
    }
    const std::string fastText = value("SINTETIZADOR", "RAPIDINHO" + n);
    ASSERT_TRUE(fastText == "S" || fastText == "N") << fastText;
    const bool fast = fastText == "S";
    EXPECT_EQ(fast, speed >= 4) << "the default speed and the slower ones keep the voice's pitch";
    const double rate = fast ? 11025 * 3 / 2 : 11025;
    const double gapMs = std::stoi(value("SINTETIZADOR", "INTERPAL" + n)) * 1000.0 / rate;
    EXPECT_LT(gapMs, lastGapMs);
    const int pauses[3] = {std::stoi(value("SINTETIZADOR", "PAUSAPONTO" + n)),
                           std::stoi(value("SINTETIZADOR", "PAUSAVIRG" + n)),
                           std::stoi(value("SINTETIZADOR", "PAUSADOISPONTOS" + n))};
    for (int i = 0; i < 3; ++i) {
      EXPECT_LE(pauses[i], lastPauses[i]) << i;
      lastPauses[i] = pauses[i];
    }
    lastGapMs = gapMs;
  }
  EXPECT_GT(std::stoi(value("SINTETIZADOR", "PAUSAPONTO1")), 2 * std::stoi(value("SINTETIZADOR", "PAUSAPONTO5")));
}

TEST(VoiceSettingsTest, WritesALongDataFolderAsItIs) {
  const std::string longRoot = "/home/" + std::string(300, 'u') + "/.local/share/veranto";
  std::string found;
  for (const auto& e : voicedata::VoiceSettings(longRoot, "")) {
    EXPECT_NE(e.key, "PGMVERANTO") << "an empty program folder is left out";
    if (e.key == "DIRLETRAS" || e.key == "DIRDIFONES") found += e.value + ";";
  }
  EXPECT_EQ(found, longRoot + "/lumivar/som/letras;" + longRoot + "/lumivar/som/difones;");
}

}  // namespace
