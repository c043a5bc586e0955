#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace quilor {
namespace {

// ASCII runs are copied whole and the bytes between them converted: every
// byte converts as it would alone, at the start, between runs and at the end.
TEST(TextEncodingTest, Cp1252RunsAndSingleBytesConvertAlike) {
  EXPECT_EQ(Cp1252ToUtf8(""), "");
  EXPECT_EQ(Cp1252ToUtf8("plain"), "plain");
  EXPECT_EQ(Cp1252ToUtf8("Caf\xE9 \x80 5"), "Caf\xC3\xA9 \xE2\x82\xAC 5");
  EXPECT_EQ(Cp1252ToUtf8("\x93quoted\x94"), "\xE2\x80\x9Cquoted\xE2\x80\x9D");
  EXPECT_EQ(Cp1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
  std::string all;
  std::string oneByOne;
  for (int c = 1; c < 256; ++c) {
    const std::string byte(1, static_cast<char>(c));
    all += byte + "x";
    oneByOne += Cp1252ToUtf8(byte) + "x";
  }
  EXPECT_EQ(Cp1252ToUtf8(all), oneByOne);
}

// A UTF-16 unit gives the byte that converts back to it; the units of the
// C1 controls, the five undefined bytes' values among them, have no byte.
TEST(TextEncodingTest, UnitsTakeTheByteThatConvertsBackToThem) {
  for (int c = 0; c < 256; ++c) {
    const char32_t unit = Cp1252ToCodePoint(static_cast<unsigned char>(c));
    if (unit >= 0x80 && unit < 0xA0) continue;  // undefined byte
    EXPECT_EQ(UnicodeToAnsi(static_cast<char16_t>(unit)), c) << c;
  }
  for (int unit = 0x80; unit < 0xA0; ++unit) EXPECT_EQ(UnicodeToAnsi(static_cast<char16_t>(unit)), '?') << unit;
  EXPECT_EQ(UnicodeToAnsi(u'\u0152'), 0x8C);
  EXPECT_EQ(UnicodeToAnsi(u'\u4E2D'), '?');
  EXPECT_EQ(UnicodeToAnsi(0xFFFF), '?');
}

}  // namespace
}  // namespace quilor
