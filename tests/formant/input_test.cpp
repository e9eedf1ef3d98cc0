// Bad input and the library's calls: defined errors or silence, never a crash or a hang.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "mbrola.h"
#include "synth_support.h"

namespace formant_test {
namespace {

class Input : public ::testing::Test {
 protected:
  void SetUp() override { LoadVoice(); }
  void TearDown() override {
    setNoError_MBR(0);
    close_MBR();
  }
};

std::string LastMessage() {
  char text[256];
  lastErrorStr_MBR(text, sizeof text);
  return text;
}

TEST_F(Input, BadLinesGiveTheirErrorAfterTheGoodSamples) {
  struct Case {
    const char* line;
    int error;
  };
  const Case cases[] = {
      {"zz 100", -63},    {"a -5", -3},          {"a abc", -3},           {"a 100 50", -3},
      {"a 100 50 x", -3}, {"a 100 150 200", -3}, {"a 60001", -3},         {";; Q=3", -2},
      {";; T=0", -3},     {"a 1e999", -3},       {"\x01\xff\x80 7", -63},
  };
  for (const Case& c : cases) {
    reset_MBR();
    int error = 0;
    const auto samples = Synthesize(std::string("_ 10\n") + c.line + "\n_ 10\n", &error);
    EXPECT_EQ(error, c.error) << c.line;
    EXPECT_EQ(lastError_MBR(), c.error) << c.line;
    EXPECT_FALSE(LastMessage().empty()) << c.line;
    EXPECT_EQ(samples.size(), 160u) << c.line;  // the first silence, then the error
    // The error stays until reset; reset clears it.
    int16_t buffer[10];
    EXPECT_EQ(read_MBR(buffer, 10), c.error);
    EXPECT_EQ(reset_MBR(), 1);
    EXPECT_EQ(lastError_MBR(), 0);
  }
}

TEST_F(Input, UnknownPhonemeBecomesSilenceWithNoError) {
  setNoError_MBR(1);
  EXPECT_EQ(getNoError_MBR(), 1);
  int error = 0;
  const auto samples = Synthesize("a 50 50 200\nqq 100\na 50 50 200\n", &error);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(lastError_MBR(), -63);
  ASSERT_EQ(samples.size(), 200u * 16);
  for (size_t i = 50 * 16; i < 150 * 16; ++i) ASSERT_EQ(samples[i], 0) << i;
}

TEST_F(Input, ExtremeButValidLines) {
  // Zero duration: no samples. Sixty seconds: all of them, read in pieces.
  EXPECT_TRUE(Synthesize("a 0 50 200\n").empty());
  const auto minute = Synthesize("a 60000 0 200 100 150\n");
  EXPECT_EQ(minute.size(), 60000u * 16);
  // A thousand pitch points on one line.
  std::string line = "a 1000";
  for (int i = 0; i < 1000; ++i)
    line += " " + std::to_string(i / 10.0) + " " + std::to_string(150 + i % 100);
  int error = 0;
  EXPECT_EQ(Synthesize(line + "\n", &error).size(), 16000u);
  EXPECT_EQ(error, 0);
  // Comments, blank lines, tabs, CR LF and a renamed flush symbol.
  reset_MBR();
  EXPECT_EQ(Synthesize("; comment\n\n\ta\t100\t50\t200\r\n;; FLUSH %\n_ 10\n%\n").size(), 1760u);
}

TEST_F(Input, OverlongLinesAndGarbageNeverCrash) {
  const std::string longLine(200000, 'a');
  int error = 0;
  EXPECT_EQ(write_MBR(const_cast<char*>((longLine + "\n").c_str())), 200001);
  EXPECT_EQ(lastError_MBR(), -3);
  Synthesize("", &error);
  EXPECT_EQ(error, -3);
  // More pitch points than a phone may carry.
  reset_MBR();
  std::string crowded = "a 100";
  for (int i = 0; i < 3000; ++i) crowded += " 50 200";
  Synthesize(crowded + "\n", &error);
  EXPECT_EQ(error, -3);
  reset_MBR();
  std::string garbage;
  unsigned seed = 7;
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 1103515245 + 12345;
    char c = static_cast<char>((seed >> 16) & 0xff);
    garbage += c == 0 ? '\n' : c;
  }
  Synthesize(garbage, &error);
  EXPECT_LT(error, 0);
}

TEST_F(Input, FullQueueRefusesWholeStrings) {
  // Phones without pitch wait for a later point; the queue fills and write refuses.
  int taken = 0;
  int writes = 0;
  for (; writes < 10000; ++writes) {
    taken = write_MBR(const_cast<char*>("a 10\n"));
    if (taken == 0) break;
  }
  EXPECT_EQ(taken, 0);
  EXPECT_LT(writes, 10000);
  // Reading makes room again: a full queue is synthesized with the pitch known so far.
  int16_t buffer[1000];
  EXPECT_GT(read_MBR(buffer, 1000), 0);
  EXPECT_GT(write_MBR(const_cast<char*>("a 10\n")), 0);
}

TEST(Lifecycle, CallsBeforeInitAndAfterCloseAreErrors) {
  close_MBR();
  int16_t buffer[10];
  EXPECT_EQ(write_MBR(const_cast<char*>("a 100\n")), 0);
  EXPECT_LT(lastError_MBR(), 0);
  EXPECT_LT(read_MBR(buffer, 10), 0);
  EXPECT_EQ(getDatabaseInfo_MBR(nullptr, 0, 0), 0);
  close_MBR();  // twice is harmless
}

TEST(Lifecycle, MissingOrMalformedVoices) {
  EXPECT_EQ(init_MBR(const_cast<char*>("/nonexistent/voice")), -40);
  EXPECT_EQ(lastError_MBR(), -40);
  EXPECT_EQ(init_MBR(nullptr), -40);
  const char* path = "formant_test_bad.voice";
  const char* bodies[] = {"",
                          "\x7f"
                          "ELF garbage\n",
                          "formant-voice 9\n", "formant-voice 1\nphone a vowel f1=abc\n",
                          "formant-voice 1\nphone a vowel\n"};  // no silence
  const int codes[] = {-42, -42, -41, -42, -43};
  for (int i = 0; i < 5; ++i) {
    std::ofstream(path, std::ios::binary) << bodies[i];
    EXPECT_EQ(init_MBR(const_cast<char*>(path)), codes[i]) << i;
    int16_t buffer[10];
    EXPECT_LT(read_MBR(buffer, 10), 0);
  }
  std::remove(path);
}

TEST(Lifecycle, RenameAndClone) {
  char rename[] = "a A ee E";
  char clone[] = "i ii";
  ASSERT_EQ(init_rename_MBR(const_cast<char*>(VoicePath()), rename, clone), 0);
  int error = 0;
  EXPECT_EQ(Synthesize("A 10 50 200\nE 10\ni 10\nii 10\n", &error).size(), 640u);
  EXPECT_EQ(error, 0);
  reset_MBR();
  Synthesize("a 10\n", &error);
  EXPECT_EQ(error, -63);
  char odd[] = "a";
  EXPECT_EQ(init_rename_MBR(const_cast<char*>(VoicePath()), odd, nullptr), -6);
  close_MBR();
}

TEST(Lifecycle, VersionInformationAndSampleTypes) {
  LoadVoice();
  char text[100];
  EXPECT_EQ(getVersion_MBR(text, sizeof text), 100);
  EXPECT_GT(std::strlen(text), 0u);
  const int needed = getDatabaseInfo_MBR(nullptr, 0, 0);
  ASSERT_GT(needed, 1);
  EXPECT_EQ(getDatabaseInfo_MBR(text, sizeof text, 0), needed);
  EXPECT_EQ(static_cast<int>(std::strlen(text)) + 1, needed);
  EXPECT_EQ(getDatabaseInfo_MBR(text, sizeof text, 99), 0);
  EXPECT_EQ(getDatabaseInfo_MBR(text, 4, 0), 4);
  EXPECT_EQ(std::strlen(text), 3u);

  const std::string pho = "_ 10\na 50 50 200\n_ 10\n";
  const auto linear = Synthesize(pho);
  write_MBR(const_cast<char*>(pho.c_str()));
  flush_MBR();
  unsigned char bytes[2000];
  ASSERT_EQ(readtype_MBR(bytes, 2000, 1), 1120);
  for (size_t i = 0; i < 1120; ++i) ASSERT_EQ(bytes[i], 128 + (linear[i] >> 8));
  EXPECT_EQ(readtype_MBR(bytes, 10, 7), -2);
  close_MBR();
}

// A caller's own phone source in place of the .pho reader.
struct ListParser {
  PhoneParser parser;
  int next = 0;
  void* phones[3];
  bool closed = false;
};

TEST(Lifecycle, CustomParserSuppliesPhones) {
  LoadVoice();
  static ListParser list;
  list.phones[0] = init_Phone(const_cast<char*>("_"), 20);
  list.phones[1] = init_Phone(const_cast<char*>("a"), 100);
  appendf0_Phone(list.phones[1], 0, 200);
  appendf0_Phone(list.phones[1], 100, 200);
  list.phones[2] = init_Phone(const_cast<char*>("_"), 20);
  list.parser.self = &list;
  list.parser.reset = [](void* self) { static_cast<ListParser*>(self)->next = 0; };
  list.parser.close = [](void* self) { static_cast<ListParser*>(self)->closed = true; };
  list.parser.nextPhone = [](void* self, void** phone) {
    auto* l = static_cast<ListParser*>(self);
    if (l->next == 3) {
      ++l->next;
      return static_cast<int>(kParserFlush);
    }
    if (l->next > 3) return static_cast<int>(kParserWait);
    *phone = l->phones[l->next++];
    return static_cast<int>(kParserPhone);
  };
  setParser_MBR(&list.parser);
  int16_t buffer[4000];
  EXPECT_EQ(read_MBR(buffer, 4000), 140 * 16);
  EXPECT_EQ(read_MBR(buffer, 4000), 0);
  close_MBR();
  EXPECT_TRUE(list.closed);
  for (void* phone : list.phones) close_Phone(phone);
}

}  // namespace
}  // namespace formant_test
