// Sounds die away into a silence (a comma, a sentence end, the end of the text): no click.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "mbrola.h"
#include "synth_support.h"

namespace formant_test {

TEST(FadeOut, SoundsDieAwayIntoSilenceAndOnsetsStayAsTheyAre) {
  LoadVoice();
  auto louder = [](int16_t a, int16_t b) { return std::abs(a) < std::abs(b); };
  for (const char* phone :
       {"a 120 50 220", "i 120", "u 120 50 100", "an 120 50 150", "oo 120 0 90", "m 120 0 110",
        "n 120 0 300", "l 120 0 90", "z 120", "r 120", "y 120"}) {
    for (const bool textEnds : {true, false}) {  // else a silence and more text follow
      const std::string pho = "_ 30\n" + std::string(phone) + (textEnds ? "\n" : "\n_ 40\ne 50\n");
      const auto s = Synthesize(pho);
      ASSERT_EQ(s.size(), (textEnds ? 150u : 240u) * 16) << pho;
      const int16_t *stop = s.data() + 150 * 16, *last = stop - 1;
      while (last > s.data() && *last == 0) --last;
      const int peak = std::abs(*std::max_element(s.data() + 30 * 16, stop, louder));
      EXPECT_LE(std::abs(*std::max_element(stop - 32, stop, louder)), peak / 10) << pho;  // 2 ms
      EXPECT_LE(std::abs(*last), peak * 3 / 100) << pho;  // the last step into silence
    }
  }
  const auto alone = Synthesize("_ 10\na 30\n_ 10\n"), goesOn = Synthesize("_ 10\na 30\na 30\n");
  EXPECT_TRUE(std::equal(alone.begin(), alone.begin() + 25 * 16, goesOn.begin()));  // same onset
  close_MBR();
}

}  // namespace formant_test
