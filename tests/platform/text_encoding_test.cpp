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

// Text from the edges comes back to the program's bytes: every byte that
// converts to UTF-8 converts back to itself, and what is no well-formed UTF-8
// (stray and missing continuation bytes, cut and overlong sequences,
// surrogates, lead bytes above F4) or has no byte in the code page becomes one
// '?' a byte or a character.
TEST(TextEncodingTest, Utf8ComesBackToItsBytesAndBadSequencesToQuestionMarks) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"a\x80z", "a?z"},             // stray continuation byte
      {"a\xC3z", "a?z"},             // lead byte without its continuation
      {"a\xE2\x82", "a??"},          // cut at the end
      {"\xC0\xAF", "??"},            // overlong '/'
      {"\xE0\x80\xAF", "???"},       // overlong '/' in three bytes
      {"\xED\xA0\x80", "???"},       // a surrogate
      {"\xF5\x80\x80\x80", "????"},  // beyond U+10FFFF
      {"\xE4\xB8\xAD", "?"},         // a character the code page has no byte for
      {"\xF0\x9F\x98\x80!", "?!"},   // four bytes, one character
      {"\xE2\x82\xAC \xC5\x93", "\x80 \x9C"},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToCp1252(c.in), c.out) << c.in;
}

// A name shown to the user keeps its well-formed characters and writes every
// other byte as an escape, so that no name can forge a line or smuggle bytes
// that are no UTF-8.
TEST(TextEncodingTest, DisplayNamesEscapeWhatIsNoWellFormedText) {
  EXPECT_EQ(DisplayFileName("caf\xC3\xA9.txt"), "caf\xC3\xA9.txt");
  EXPECT_EQ(DisplayFileName("a\tb\nc\\d"), "a\\tb\\nc\\\\d");
  EXPECT_EQ(DisplayFileName("\xC2\x85"), "\\xc2\\x85");  // C1 control
  EXPECT_EQ(DisplayFileName("\xC0\xAF"), "\\xc0\\xaf");  // overlong
  EXPECT_EQ(DisplayFileName("\xF5\x80\x80"), "\\xf5\\x80\\x80");
  EXPECT_EQ(DisplayFileName("x\xE2\x82"), "x\\xe2\\x82");
}

}  // namespace
}  // namespace quilor
