#include "import/rtf_reader.h"

#include <gtest/gtest.h>

#include "tests/import/block_feed.h"

namespace quilor {
namespace {

using testing::ReadInBlocks;
using testing::ReadWithCut;

std::string Read(std::string_view text) {
  RtfReader reader;
  return ReadInBlocks(reader, text, 0);
}

TEST(RtfReader, HeaderFontTableAndParagraphs) {
  EXPECT_EQ(Read("{\\rtf1\\ansi{\\fonttbl{\\f0\\froman Times;}}Hello\\par World}"), "Hello  World");
  // A paragraph mark right after the header still separates the words.
  EXPECT_EQ(Read("{\\rtf1\\ansi Hello\\par World}"), "Hello  World");
  EXPECT_EQ(Read("{\\rtf1 a\\tab b\\line c\\cell d\\~e\\page f}"), "a b c d e  f");
  EXPECT_EQ(Read("{\\rtf1 a\\\nb\\\r\nc}"), "a  b  c");
  EXPECT_EQ(Read("{\\rtf1 end\\par}"), "end  ");
}

TEST(RtfReader, ControlWordsEndAtTheirDelimiter) {
  EXPECT_EQ(Read("{\\rtf1 \\b bold\\b0  plain}"), "bold plain");
  EXPECT_EQ(Read("{\\rtf1 a\\par.b}"), "a  .b");
  EXPECT_EQ(Read("{\\rtf1 \\fs-24 x\\ABC y\\DEF  z}"), "xy z");
  EXPECT_EQ(Read("{\\rtf1 \\" + std::string(200, 'z') + " x}"), "x");
}

TEST(RtfReader, Escapes) {
  EXPECT_EQ(Read("{\\rtf1 caf\\'e9}"), "caf\xE9");
  EXPECT_EQ(Read("{\\rtf1 caf\\'E9s}"), "caf\xE9s");
  EXPECT_EQ(Read("{\\rtf1 a\\'zzb}"), "ab");  // not hexadecimal: nothing
  EXPECT_EQ(Read("{\\rtf1 a\\'4 b}"), "ab");  // cut short by a delimiter
  EXPECT_EQ(Read("{\\rtf1 a\\'4\\par b}"), "a  b");
  EXPECT_EQ(Read("{\\rtf1 l\\'92homme \\rquote x\\lquote \\ldblquote y\\rdblquote}"), "l'homme 'x'\"y\"");
  EXPECT_EQ(Read("{\\rtf1 \\u8217\\'92s}"), "'s");  // the ANSI stand-in of a Unicode character
}

TEST(RtfReader, LiteralBracesAndBackslashLeaveTheDepthAlone) {
  RtfReader reader;
  EXPECT_EQ(ReadInBlocks(reader, "{\\rtf1 a\\{b\\}c\\\\d{\\*\\x hidden}e}", 0), "a{b}c\\de");
  EXPECT_EQ(reader.depth(), 0);
}

TEST(RtfReader, DroppedDestinationsStayDroppedInNestedGroups) {
  EXPECT_EQ(Read("{\\rtf1 a{\\*\\fldinst {HYPERLINK \"http://x.org\"}}b}"), "ab");
  EXPECT_EQ(Read("{\\rtf1 a{\\pict{\\*\\blipuid 00}0123abcd}b}"), "ab");
  EXPECT_EQ(Read("{\\rtf1 {\\stylesheet{\\s1 Normal;}{\\s2\\sbasedon1 Heading;}}x}"), "x");
  EXPECT_EQ(Read("{\\rtf1 {\\info{\\title T}{\\author A}}{\\colortbl;\\red0;}x}"), "x");
  // An escape inside a dropped group is dropped too.
  EXPECT_EQ(Read("{\\rtf1 a{\\*\\gen caf\\'e9}b}"), "ab");
}

TEST(RtfReader, FieldResultsAndDeepTextAreKept) {
  EXPECT_EQ(Read("{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt {\\ul\\cf1 the link}}} now}"),
            "see the link now");
  EXPECT_EQ(Read("{\\rtf1 {{{{{deep}}}}} text}"), "deep text");
}

TEST(RtfReader, BinaryDataIsSkippedExactly) {
  std::string doc = "{\\rtf1 a{\\bin5 }{\\}x}b\\bin3 q\\zc}";
  EXPECT_EQ(Read(doc), "abc");
  EXPECT_EQ(Read("{\\rtf1 a\\bin0 b}"), "ab");
  EXPECT_EQ(Read("{\\rtf1 a\\bin-4 b}"), "ab");
  EXPECT_EQ(Read("{\\rtf1 a\\bin99999999999999 b}"), "a");
}

TEST(RtfReader, CodePagesOfTheHeader) {
  RtfReader reader;
  // Macintosh: 0x8E is e acute.
  EXPECT_EQ(ReadInBlocks(reader, "{\\rtf1\\mac caf\\'8e caf\x8E}", 0), "caf\xE9 caf\xE9");
  EXPECT_EQ(reader.codePage(), RtfReader::kMacintosh);
  // DOS: 0x82 is e acute; line drawing separates words.
  reader.Reset();
  EXPECT_EQ(ReadInBlocks(reader, "{\\rtf1\\pc caf\\'82\xC4x}", 0), "caf\xE9 x");
  reader.Reset();
  EXPECT_EQ(ReadInBlocks(reader, "{\\rtf1\\pca \\'85}", 0), "\xE0");
  // After the first inner brace the code page is settled.
  reader.Reset();
  EXPECT_EQ(ReadInBlocks(reader, "{\\rtf1{\\fonttbl}\\mac \\'8e}", 0), "\x8E");
  EXPECT_EQ(reader.codePage(), RtfReader::kAnsi);
}

TEST(RtfReader, HostileNesting) {
  std::string open(100000, '{');
  std::string close(100010, '}');
  EXPECT_EQ(Read(open + "x" + close + "y"), "xy");
  EXPECT_EQ(Read("}}}\\*a{b}c"), "abc");  // a starred word outside any group drops nothing
}

TEST(RtfReader, UnicodeCharactersAndTheirFallbacks) {
  EXPECT_EQ(Read("{\\rtf1 na\\u239?ve}"), "na\xEFve");
  EXPECT_EQ(Read("{\\rtf1 \\u8364 ?5}"),
            "\x80"
            "5");                                                      // the blank ends the control word
  EXPECT_EQ(Read("{\\rtf1 \\uc2 caf\\u233\\'65\\'27s}"), "caf\xE9s");  // two fallback bytes
  EXPECT_EQ(Read("{\\rtf1 \\uc0 caf\\u233 s}"), "caf\xE9s");           // none
  EXPECT_EQ(Read("{\\rtf1 x\\u-3913?y}"), "x?y");  // U+F0B7 has no character here: the fallback stays
  EXPECT_EQ(Read("{\\rtf1 \\u20013 ?}"), "?");     // nor has a CJK character
  // \uc holds for its group only; a brace ends the fallback.
  EXPECT_EQ(Read("{\\rtf1 {\\uc3 a}\\u233 bc}"),
            "a\xE9"
            "c");
  EXPECT_EQ(Read("{\\rtf1 \\uc3\\u233{b}c}"),
            "\xE9"
            "bc");
  // A control word in the fallback counts as one character.
  EXPECT_EQ(Read("{\\rtf1 \\u233\\par x}"), "\xE9x");
}

TEST(RtfReader, AnyCutGivesTheSameText) {
  const std::string doc =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times;}}{\\colortbl;\\red255;}"
      "\\pard Caf\\'e9 \\{x\\} \\\\ {\\b bo}ld\\par {\\*\\bkmkstart a}{\\field{\\*\\fldinst {HYPERLINK x}}"
      "{\\fldrslt link}}\\u8217\\'92s na\\uc1\\u239?ve \\bin4 {}\\\\tail\\tab end\\par}";
  RtfReader reader;
  const std::string whole = ReadInBlocks(reader, doc, 0);
  EXPECT_EQ(testing::Squeeze(whole), "Caf\xE9 {x} \\ bold link's na\xEFve tail end");
  for (size_t cut = 0; cut <= doc.size(); ++cut) {
    reader.Reset();
    ASSERT_EQ(ReadWithCut(reader, doc, cut), whole) << "cut " << cut;
  }
  for (size_t block = 1; block < 8; ++block) {
    reader.Reset();
    ASSERT_EQ(ReadInBlocks(reader, doc, block), whole) << "block " << block;
  }
}

}  // namespace
}  // namespace quilor
