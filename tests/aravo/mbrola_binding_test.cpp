#include "speech/aravo/mbrola_binding.h"

#include <gtest/gtest.h>

#include <cstring>

namespace aravo {
namespace {

class MbrolaBinding : public ::testing::Test {
 protected:
  void TearDown() override { MbrolaUnbind(); }
};

TEST_F(MbrolaBinding, ResolvesEveryFunctionAndCallsThrough) {
  ASSERT_TRUE(MbrolaBind(MBROLA_LIBRARY));
  EXPECT_TRUE(MbrolaBound());
  const MbrolaFunctions& f = Mbrola();
  const void* pointers[sizeof(MbrolaFunctions) / sizeof(void*)];
  std::memcpy(pointers, &f, sizeof pointers);
  for (const void* pointer : pointers) EXPECT_NE(pointer, nullptr);
  char version[64] = {};
  EXPECT_EQ(f.getVersion(version, sizeof version), 64);
  EXPECT_GT(std::strlen(version), 0u);
  EXPECT_EQ(f.init(const_cast<char*>("/no/such/voice")), -40);
  EXPECT_EQ(f.lastError(), -40);
  MbrolaUnbind();
  EXPECT_FALSE(MbrolaBound());
  EXPECT_EQ(Mbrola().init, nullptr);
}

TEST_F(MbrolaBinding, MissingLibraryOrFunctionsFailAndLeaveNothingLoaded) {
  EXPECT_FALSE(MbrolaBind("/no/such/libmbrola.so"));
  EXPECT_FALSE(MbrolaBound());
  // A real library without the synthesizer's functions.
  EXPECT_FALSE(MbrolaBind("libm.so.6"));
  EXPECT_FALSE(MbrolaBound());
  EXPECT_EQ(Mbrola().init, nullptr);
  MbrolaUnbind();  // harmless when nothing is bound
  ASSERT_TRUE(MbrolaBind(MBROLA_LIBRARY));
  ASSERT_TRUE(MbrolaBind(MBROLA_LIBRARY));  // binding again replaces the first
  EXPECT_NE(Mbrola().read, nullptr);
}

}  // namespace
}  // namespace aravo
