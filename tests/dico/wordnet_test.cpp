#include "dico/wordnet.h"

#include <gtest/gtest.h>

namespace quilor::wordnet {
namespace {

TEST(WordNetParse, DataLineKeepsWordsMarkersAndPointers) {
  Synset s;
  std::string error;
  ASSERT_TRUE(ParseDataLine(
      "00019731 00 s 02 handy 0 ready_to_hand(p) 0 002 & 00019131 a 0000 + 04718999 n 0102 | easy to reach  ", s,
      error))
      << error;
  EXPECT_EQ(s.offset, 19731u);
  EXPECT_EQ(s.lexFile, 0);
  EXPECT_EQ(s.type, 's');
  ASSERT_EQ(s.words.size(), 2u);
  EXPECT_EQ(s.words[1].text, "ready_to_hand");
  EXPECT_EQ(s.words[1].marker, "p");
  ASSERT_EQ(s.pointers.size(), 2u);
  EXPECT_EQ(s.pointers[0].symbol, "&");
  EXPECT_EQ(s.pointers[0].pos, Pos::Adjective);
  EXPECT_EQ(s.pointers[1].source, 1);
  EXPECT_EQ(s.pointers[1].target, 2);
  EXPECT_EQ(s.gloss, "easy to reach");
  EXPECT_TRUE(s.HasPointer("+"));
}

TEST(WordNetParse, MalformedLinesAreRefused) {
  Synset s;
  IndexEntry e;
  SenseCount c;
  std::string form, error;
  std::vector<std::string> bases;
  // Word count larger than the words given, pointer cut short, bad hex, lexicographer file out of range.
  for (const char* line : {"00001740 29 v 03 breathe 0", "00001740 29 v 01 breathe 0 002 @ 00002 v",
                           "00001740 29 v 0g breathe 0 000", "00001740 99 v 01 breathe 0 000", "", "x"}) {
    EXPECT_FALSE(ParseDataLine(line, s, error)) << line;
    EXPECT_FALSE(error.empty());
  }
  EXPECT_FALSE(ParseIndexLine("walk v 2 0 2 1 01904948", e, error));  // one offset missing
  EXPECT_FALSE(ParseIndexLine("walk q 1 0 1 1 01904948", e, error));
  EXPECT_FALSE(ParseCountLine("walk%9:38:00:: 1 5", c, error));
  EXPECT_FALSE(ParseCountLine("walk 1 5", c, error));
  EXPECT_FALSE(ParseCountLine("walk%1:04:x0:: 1 5", c, error));  // no lexical id
  EXPECT_FALSE(ParseExceptionLine("went", form, bases, error));
}

TEST(WordNetParse, IndexCountAndExceptionLines) {
  IndexEntry e;
  std::string error;
  ASSERT_TRUE(ParseIndexLine("Walk v 2 2 @ ~ 2 1 01904948 01907094  ", e, error)) << error;
  EXPECT_EQ(e.lemma, "walk");
  EXPECT_EQ(e.synsets, (std::vector<uint32_t>{1904948, 1907094}));
  EXPECT_EQ(e.tagSenseCount, 1);
  SenseCount c;
  ASSERT_TRUE(ParseCountLine("cardinal%5:00:00:numerical:00 1 3", c, error)) << error;
  EXPECT_EQ(c.pos, Pos::Adjective);
  EXPECT_EQ(c.lexFile, 0);
  EXPECT_EQ(c.lexId, 0);
  EXPECT_EQ(c.count, 3);
  std::string form;
  std::vector<std::string> bases;
  ASSERT_TRUE(ParseExceptionLine("better good well", form, bases, error));
  EXPECT_EQ(bases, (std::vector<std::string>{"good", "well"}));
}

TEST(WordNetDatabase, LemmasSynsetsHypernymsAndCounts) {
  Database db;
  std::string error;
  ASSERT_TRUE(db.AddIndexFile(Pos::Noun, "  licence header\ndog n 1 1 @ 1 1 00000200\n", "index.noun", error)) << error;
  ASSERT_TRUE(db.AddDataFile(Pos::Noun,
                             "  licence header\n00000100 03 n 01 animal 0 000 | a living thing\n"
                             "00000200 05 n 02 dog 0 Canis_familiaris 0 001 @ 00000100 n 0000 | a dog\n",
                             "data.noun", error))
      << error;
  ASSERT_TRUE(db.AddCountFile("dog%1:05:00:: 2 40\ndog%1:05:01:: 1 2\n", "cntlist.rev", error)) << error;
  const IndexEntry* dog = db.FindLemma(Pos::Noun, "dog");
  ASSERT_NE(dog, nullptr);
  const Synset* s = db.FindSynset(Pos::Noun, dog->synsets[0]);
  ASSERT_NE(s, nullptr);
  EXPECT_STREQ(LexFileName(s->lexFile), "noun.animal");
  auto up = db.Hypernyms(*s);
  ASSERT_EQ(up.size(), 1u);
  EXPECT_EQ(up[0]->words[0].text, "animal");
  EXPECT_EQ(db.TaggedCount(Pos::Noun, "dog"), 42);
  // Per sense, by its sense key (lexicographer file and lexical id), whatever
  // sense number the count file gives it.
  EXPECT_EQ(db.SenseTagCount(Pos::Noun, "dog", 5, 0), 40);
  EXPECT_EQ(db.SenseTagCount(Pos::Noun, "dog", 5, 1), 2);
  EXPECT_EQ(db.SenseTagCount(Pos::Noun, "dog", *s), 40);
  EXPECT_EQ(db.SenseTagCount(Pos::Noun, "dog", 3, 0), 0);
  EXPECT_EQ(db.SenseTagCount(Pos::Verb, "dog", 5, 0), 0);
  EXPECT_EQ(db.FirstSenseLexFile(Pos::Noun, "dog"), 5);
  EXPECT_EQ(db.FirstSenseLexFile(Pos::Verb, "dog"), -1);
  EXPECT_EQ(LexFileNumber("verb.stative"), 42);
  // A bad line is reported with its file and line number.
  EXPECT_FALSE(db.AddDataFile(Pos::Noun, "00000100 03 n 01 animal 0 000\n00000300 03 n\n", "data.noun", error));
  EXPECT_NE(error.find("data.noun:2"), std::string::npos) << error;
}

TEST(WordNetDatabase, MissingFolderIsAnError) {
  Database db;
  std::string error;
  EXPECT_FALSE(db.Load("/nonexistent/wordnet", error));
  EXPECT_NE(error.find("index.noun"), std::string::npos);
}

}  // namespace
}  // namespace quilor::wordnet
