#include <gtest/gtest.h>

#include <cstring>

#include "core/chartables.h"

namespace quilor {
namespace {

TEST(CharTables, Classes) {
  ResetWorkingTables();
  const std::pair<unsigned char, decltype(CharClass(0))> classes[] = {
      {'a', kCharLetter},   {'$', kCharLetter}, {0xE9, kCharLetter}, {0xF7, kCharPunctuation}, {'_', kCharUnderscore},
      {'\n', kCharLineEnd}, {'7', kCharDigit},  {' ', kCharOther},   {0x92, kCharPunctuation}};
  for (auto [c, kind] : classes) EXPECT_EQ(CharClass(c), kind) << int(c);
  EXPECT_EQ(Tables.letterGroup[static_cast<unsigned char>('t')], 10);
  EXPECT_EQ(Tables.letterGroup[static_cast<unsigned char>('M')], 7);
  EXPECT_EQ(Tables.macToAnsi[0x80], 0xC4);
  EXPECT_EQ(Tables.macToAnsi[0x7F], ' ');
  EXPECT_EQ(Tables.collation[static_cast<unsigned char>('B')], 5);
  EXPECT_EQ(Tables.styleNorms[76], 0);
  EXPECT_EQ(Tables.styleNorms[0], 91);
}

TEST(CharTables, NormaliseKey) {
  char w[81] = "Two  'Words";
  NormaliseKey(w);
  EXPECT_STREQ(w, "two_words");
  std::strcpy(w, "_ice cream_");
  NormaliseKey(w);
  EXPECT_STREQ(w, "ice_cream");
  std::strcpy(w, "well-known");
  NormaliseKey(w);
  EXPECT_STREQ(w, "well-known");
  char longWord[81];
  std::memset(longWord, 'a', 80);
  longWord[80] = 0;
  NormaliseKey(longWord);
  EXPECT_EQ(std::strlen(longWord), 80u);
}

TEST(CharTables, NormaliseExpression) {
  std::string s = "(big house)";
  EXPECT_FALSE(NormaliseExpression(s, true));
  EXPECT_EQ(s, "big_house");
  s = "big  house";
  EXPECT_FALSE(NormaliseExpression(s, false));
  EXPECT_EQ(s, "big house");
  s = "plain";
  EXPECT_TRUE(NormaliseExpression(s, true));
  s = std::string(100, 'x');
  NormaliseExpression(s, false);
  EXPECT_EQ(s.size(), 79u);
}

TEST(CharTables, FoldAccents) {
  char w[80] =
      "\xE9t\xE9 stra\xDF"
      "e";
  EXPECT_TRUE(FoldAccents(w));
  EXPECT_STREQ(w, "ete strasse");
  char plain[80] = "plain";
  EXPECT_FALSE(FoldAccents(plain));
  char longWord[80];
  std::memset(longWord, 'b', 79);
  longWord[79] = 0;
  FoldAccents(longWord);
  EXPECT_EQ(std::strlen(longWord), 78u);
}

TEST(CharTables, XmlAndHex) {
  EXPECT_EQ(XmlEscape("a<b>&\"\xE9\x80"), "a&lt;b&gt;&amp;&quot;&#233;&#8364;");
  EXPECT_EQ(XmlEscape("a\tb\x01"
                      "c"),
            "a b c");
  // A long text ends on a whole reference.
  const std::string amps = XmlEscape(std::string(600, '&').c_str());
  EXPECT_EQ(amps.size(), 510u);
  EXPECT_EQ(amps.substr(amps.size() - 5), "&amp;");
  EXPECT_EQ(FormatHexWithSlash(0xFF), "0F/F");
  EXPECT_EQ(FormatHexWithSlash(0xABCDEF), "AB/CDEF");
}

TEST(CharTables, Utf8ToAnsi) {
  char out[16];
  EXPECT_EQ(Utf8ToAnsi("\xE2\x80\x99\xE2\x82\xAC", 6, out, sizeof out), 3u);
  EXPECT_STREQ(out, "\x92\x80");
  Utf8ToAnsi("caf\xC3\xA9", 5, out, sizeof out);
  EXPECT_STREQ(out, "caf\xE9");
  Utf8ToAnsi("a\xC3", 2, out, sizeof out);  // cut by the end
  EXPECT_STREQ(out, "a");
  Utf8ToAnsi("a\xC3z", 3, out, sizeof out);  // wrong continuation
  EXPECT_STREQ(out, "az");
  Utf8ToAnsi("\xF0\x9F\x98\x80!", 5, out, sizeof out);
  EXPECT_STREQ(out, "#!");
  Utf8ToAnsi("\xE4\xB8\xAD", 3, out, sizeof out);  // no Windows-1252 byte
  EXPECT_STREQ(out, "?");
  EXPECT_EQ(Utf8ToAnsi("abcdef", 6, out, 4), 4u);
  EXPECT_STREQ(out, "abc");
  EXPECT_EQ(Utf8ToAnsi("abc", 3, nullptr, 0), 0u);
}

TEST(CharTables, Utf8IncompleteTail) {
  EXPECT_EQ(Utf8IncompleteTail("abc", 3), 0u);
  EXPECT_EQ(Utf8IncompleteTail("ab\xC3", 3), 1u);
  EXPECT_EQ(Utf8IncompleteTail("ab\xE2\x80", 4), 2u);
  EXPECT_EQ(Utf8IncompleteTail("ab\xE2\x80\x99", 5), 0u);
  EXPECT_EQ(Utf8IncompleteTail("\xF0\x9F\x98", 3), 3u);
}

TEST(CharTables, WideConversionsAndByteOrder) {
  const char16_t units[] = {u'a', 0x2019, 0x20AC, 0x4E2D, 0xFFFF};
  char out[8];
  EXPECT_EQ(WideToAnsi(units, out, 5), 5u);
  EXPECT_STREQ(out, "a\x92\x80??");
  std::string utf8;
  size_t n = 0;
  WideToUtf8(units, 3, n, utf8);
  EXPECT_EQ(n, 3u);
  EXPECT_EQ(utf8, "a\xE2\x80\x99\xE2\x82\xAC");
  unsigned char be[] = {0x00, 0x41, 0x20, 0x19, 0x7};
  SwapByteOrder(be, 5);
  EXPECT_EQ(be[0], 0x41);
  EXPECT_EQ(be[3], 0x20);
  EXPECT_EQ(be[4], 0x7);

  const unsigned char bom8[] = {0xEF, 0xBB, 0xBF, 'a'};
  const unsigned char bomLe[] = {0xFF, 0xFE, 'a', 0};
  const unsigned char bomBe[] = {0xFE, 0xFF, 0, 'a'};
  EXPECT_EQ(DetectByteOrderMark(bom8, 4), 'd');
  EXPECT_EQ(DetectByteOrderMark(bomLe, 4), 'p');
  EXPECT_EQ(DetectByteOrderMark(bomBe, 4), 'o');
  EXPECT_EQ(DetectByteOrderMark(bom8, 3), 0);
}

}  // namespace
}  // namespace quilor
