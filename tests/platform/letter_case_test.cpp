#include "platform/letter_case.h"

#include <gtest/gtest.h>

namespace quilor {
namespace {

TEST(LetterCase, CaseMapsAreInverseOnLetters) {
  for (int c = 0; c < 256; ++c) {
    if (IsUpperCaseLetter(static_cast<unsigned char>(c))) {
      unsigned char lower = ToLowerChar(static_cast<unsigned char>(c));
      EXPECT_NE(lower, c) << c;
      EXPECT_EQ(ToUpperChar(lower), c) << c;
    }
  }
  EXPECT_EQ(ToLowerChar(0x8C), 0x9C);  // OE ligature
  EXPECT_EQ(ToLowerChar(0x9F), 0xFF);  // Y diaeresis
  EXPECT_EQ(ToLowerChar(0xD7), 0xD7);  // multiplication sign is no letter
  EXPECT_EQ(ToUpperChar(0xF7), 0xF7);
}

}  // namespace
}  // namespace quilor
