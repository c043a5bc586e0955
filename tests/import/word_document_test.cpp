#include <gtest/gtest.h>

#include <algorithm>

#include "import/word_document.h"
#include "support/office_builders.h"

namespace quilor {
namespace {

using testing::BuildCompoundFile;
using testing::BuildWordFile;
using testing::BuildWordStreams;
using testing::Put32;
using testing::WordLayout;

const std::string kData = std::string(QUILOR_TEST_DATA) + "/import/convert/";

WordLayout MainOnly(const std::u16string& text) {
  WordLayout layout;
  layout.text = text;
  layout.ccp[0] = static_cast<uint32_t>(text.size());
  return layout;
}

WordErrorKind ErrorOf(const std::string& file, TMSWordDocument& doc, std::string* what = nullptr) {
  try {
    doc.ReadFromMemory(file, "test.doc");
  } catch (const WordDocumentError& e) {
    if (what) *what = e.what();
    return e.Kind();
  }
  ADD_FAILURE() << "no error";
  return WordErrorKind::kDamaged;
}

TEST(WordDocument, SavedDocumentGivesTheMainStoryOnly) {
  TMSWordDocument doc;
  doc.SetFileName(kData + "sample.doc");
  EXPECT_EQ(doc.DocVersion(), 8);
  std::string text = doc.MainTextString();
  // Curly apostrophe and quotes, accents: Windows-1252 bytes.
  EXPECT_NE(text.find("Caf\xE9 na\xEFve r\xE9sum\xE9: the writer\x92s \x93"
                      "best\x94 day."),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Main text continues here."), std::string::npos);
  EXPECT_NE(text.find("alpha beta"), std::string::npos);
  EXPECT_NE(text.find("gamma delta"), std::string::npos);
  EXPECT_NE(text.find("Visit the example site today."), std::string::npos);
  // Field instructions, footnotes and headers stay out of the main text.
  for (const char* absent : {"HYPERLINK", "http", "Footnote", "Running"})
    EXPECT_EQ(text.find(absent), std::string::npos) << absent;
  auto joined = [](const TextLines& lines) { return lines.Joined(); };
  EXPECT_NE(joined(doc.Footnotes).find("Footnote words hidden"), std::string::npos);
  EXPECT_NE(joined(doc.Headers).find("Running header words"), std::string::npos);
}

TEST(WordDocument, ControlCharactersFieldsAndTables) {
  // Cells a|b then the row mark; a nested field whose instructions vanish;
  // a manual line break; a picture mark inside a word.
  std::u16string text =
      u"a\x07"
      u"b\x07\x07"
      u"see \x13HYPERLINK \x13 PAGE \x14"
      u"9\x15 x\x14"
      u"link\x15 now\x0Bnext\x01word\r";
  TMSWordDocument doc;
  std::vector<int> kinds;
  doc.OnConvertSysChar = [&](int kind, std::string&, char) { kinds.push_back(kind); };
  doc.ReadFromMemory(BuildWordFile(MainOnly(text)), "t.doc");
  ASSERT_EQ(doc.MainText.size(), 3u);
  EXPECT_EQ(doc.MainText[0], "a b ");
  EXPECT_EQ(doc.MainText[1], "see link now");
  EXPECT_EQ(doc.MainText[2], "nextword");
  EXPECT_NE(std::find(kinds.begin(), kinds.end(), kSysCharRowEnd), kinds.end());
  EXPECT_NE(std::find(kinds.begin(), kinds.end(), kSysCharFieldBegin), kinds.end());

  doc.ConvertSysCharacters = false;
  doc.ReadFromMemory(BuildWordFile(MainOnly(u"x\x13y\r")), "t.doc");
  EXPECT_EQ(doc.MainText[0], "x\x13y");
}

TEST(WordDocument, PiecesOfBothWidthsAndCodePages) {
  WordLayout layout = MainOnly(u"one two three four five six seven\r");
  layout.pieces = 5;
  TMSWordDocument doc;
  doc.ReadFromMemory(BuildWordFile(layout), "t.doc");
  EXPECT_EQ(doc.MainTextString(), "one two three four five six seven");
  layout.eightBit = true;
  doc.ReadFromMemory(BuildWordFile(layout), "t.doc");
  EXPECT_EQ(doc.MainTextString(), "one two three four five six seven");

  // A character the code page lacks never glues two words.
  doc.ReadFromMemory(BuildWordFile(MainOnly(u"alpha\x4E2D"
                                            u"beta \x20AC\r")),
                     "t.doc");
  EXPECT_EQ(doc.MainTextString(), "alpha beta \x80");
  // A Russian document maps to code page 1251.
  WordLayout russian = MainOnly(u"\x0414\x0430\r");
  russian.lid = 0x0419;
  doc.ReadFromMemory(BuildWordFile(russian), "t.doc");
  EXPECT_EQ(doc.MainTextString(), "\xC4\xE0");
}

TEST(WordDocument, Word6DocumentKeepsItsPieceTableInTheMainStream) {
  std::string doc(0x400, '\0');
  testing::Put16(doc, 0, 0xA5DC);
  testing::Put16(doc, 2, 101);
  testing::Put16(doc, 0x0A, 0x0004);
  Put32(doc, 0x34, 11);  // main text
  Put32(doc, 0x38, 5);   // footnotes
  doc += "old words\r\rnote\r";
  size_t clx = doc.size();
  doc += '\x02';
  std::string plc(4 + 8 + 8 + 8, '\0');
  Put32(plc, 0, 0);
  Put32(plc, 4, 6);
  Put32(plc, 8, 16);
  Put32(plc, 14, 0x400);      // piece 1: "old wo"
  Put32(plc, 22, 0x400 + 6);  // piece 2: "rds\r\rnote\r"
  std::string lcb(4, '\0');
  Put32(lcb, 0, static_cast<uint32_t>(plc.size()));
  doc += lcb + plc;
  Put32(doc, 0x1A2, static_cast<uint32_t>(clx));
  Put32(doc, 0x1A6, static_cast<uint32_t>(doc.size() - clx));
  TMSWordDocument reader;
  reader.ReadFromMemory(BuildCompoundFile({{"WordDocument", doc}}), "old.doc");
  EXPECT_EQ(reader.DocVersion(), 6);
  EXPECT_EQ(reader.MainText, (std::vector<std::string>{"old words", ""}));
  EXPECT_EQ(reader.Footnotes, std::vector<std::string>{"note"});
}

TEST(WordDocument, StoriesGoToTheirOwnLists) {
  WordLayout layout;
  layout.text = u"main\rnote\rhead\r";
  layout.ccp = {5, 5, 5, 0, 0, 0, 0, 0};
  TMSWordDocument doc;
  doc.ReadFromMemory(BuildWordFile(layout), "t.doc");
  EXPECT_EQ(doc.MainText, std::vector<std::string>{"main"});
  EXPECT_EQ(doc.Footnotes, std::vector<std::string>{"note"});
  EXPECT_EQ(doc.Headers, std::vector<std::string>{"head"});
}

TEST(WordDocument, DamagedAndForeignFilesRaiseTheirErrors) {
  TMSWordDocument doc;
  std::string what;
  EXPECT_EQ(ErrorOf("just some text that is not a compound file", doc, &what), WordErrorKind::kNotWordDocument);
  EXPECT_EQ(what, "File test.doc is not valid MS Word document");
  try {
    doc.SetFileName("/nonexistent/x.doc");
    ADD_FAILURE();
  } catch (const WordDocumentError& e) {
    EXPECT_EQ(e.Kind(), WordErrorKind::kNotFound);
    EXPECT_STREQ(e.what(), "File /nonexistent/x.doc is not found.");
  }

  WordLayout secret = MainOnly(u"secret\r");
  secret.encrypted = true;
  EXPECT_EQ(ErrorOf(BuildWordFile(secret), doc), WordErrorKind::kPasswordProtected);
  EXPECT_TRUE(doc.MainText.empty());

  // Second piece points beyond the stream: the first piece's text is kept.
  WordLayout two = MainOnly(u"first half second half\r");
  two.pieces = 2;
  auto [stream, table] = BuildWordStreams(two);
  Put32(table, 5 + 3 * 4 + 8 + 2, 0x00FFFFF0);
  EXPECT_EQ(ErrorOf(BuildCompoundFile({{"WordDocument", stream}, {"1Table", table}}), doc, &what),
            WordErrorKind::kPieceBounds);
  EXPECT_EQ(what, "Piece Bounds out of range");
  ASSERT_EQ(doc.MainText.size(), 1u);
  EXPECT_EQ(doc.MainText[0], "first half ");

  // A piece table that claims more than its stream holds.
  auto [s2, t2] = BuildWordStreams(MainOnly(u"abc\r"));
  Put32(t2, 1, 0x7FFFFFF0);
  EXPECT_EQ(ErrorOf(BuildCompoundFile({{"WordDocument", s2}, {"1Table", t2}}), doc), WordErrorKind::kPieceBounds);
  // Positions that go backwards.
  WordLayout backwards = MainOnly(u"abcdef\r");
  backwards.pieces = 2;
  auto [s3, t3] = BuildWordStreams(backwards);
  Put32(t3, 9, 0xFFFFFFF0);
  EXPECT_EQ(ErrorOf(BuildCompoundFile({{"WordDocument", s3}, {"1Table", t3}}), doc), WordErrorKind::kPieceBounds);
  // No table stream at all.
  EXPECT_EQ(ErrorOf(BuildCompoundFile({{"WordDocument", s3}}), doc), WordErrorKind::kDamaged);
  // A cut file information block.
  EXPECT_EQ(ErrorOf(BuildCompoundFile({{"WordDocument", s3.substr(0, 0x50)}}), doc), WordErrorKind::kNotWordDocument);
}

TEST(WordDocument, TruncatedSavedDocumentFailsCleanlyAtEveryCut) {
  std::string whole = testing::ReadFileBytes(kData + "sample.doc");
  TMSWordDocument doc;
  doc.ReadFromMemory(whole, "whole.doc");
  const std::string full = doc.MainTextString();
  int failures = 0;
  for (size_t cut = 0; cut < whole.size(); cut += 256) {
    try {
      doc.ReadFromMemory(whole.substr(0, cut), "cut.doc");
    } catch (const WordDocumentError&) {
      ++failures;
    }
    // Whatever was read is a prefix of the real main text.
    std::string text = doc.MainTextString();
    EXPECT_EQ(full.substr(0, text.size()), text) << cut;
  }
  EXPECT_GT(failures, 0);
}

TEST(WordDocument, ManyPiecesAreBoundedByTheTableNotByACount) {
  std::u16string text;
  for (int i = 0; i < 800; ++i) text += u"w ";
  text += u"\r";
  WordLayout layout = MainOnly(text);
  layout.pieces = 700;
  TMSWordDocument doc;
  doc.ReadFromMemory(BuildWordFile(layout), "t.doc");
  EXPECT_EQ(doc.MainTextString().size(), 1600u);
}

TEST(WordDocument, SummaryAndMissingWordStream) {
  // A summary property set: title (string), page count (integer), created (file time).
  std::string s(48, '\0');
  Put32(s, 44, 48);
  std::string section(8 + 3 * 8, '\0');
  Put32(section, 4, 3);
  Put32(section, 8, 2);
  Put32(section, 12, 32);
  Put32(section, 16, 14);
  Put32(section, 20, 48);
  Put32(section, 24, 12);
  Put32(section, 28, 56);
  Put32(section, 32, 30);
  Put32(section, 36, 6);
  section += std::string("Title", 6);
  section.resize(48);
  Put32(section, 48, 3);
  Put32(section, 52, 7);
  Put32(section, 56, 64);
  // 2000-01-01 00:00:01 UTC as a file time.
  uint64_t ft = 116444736000000000ull + 946684801ull * 10000000ull;
  Put32(section, 60, static_cast<uint32_t>(ft));
  Put32(section, 64, static_cast<uint32_t>(ft >> 32));
  Put32(section, 36 + 100, 0);  // grows the section; the extra offset is harmless
  TMSWordDocument doc;
  doc.ReadFromMemory(BuildCompoundFile({{"\x05SummaryInformation", s + section}}), "t.doc");
  EXPECT_TRUE(doc.MainText.empty());
  EXPECT_EQ(doc.SummaryInformation.Title, "Title");
  EXPECT_EQ(doc.SummaryInformation.PageCount, 7);
  EXPECT_EQ(doc.SummaryInformation.Created, 946684800);
  TSMWordSummaryInformation copy;
  copy.Assign(doc.SummaryInformation);
  EXPECT_EQ(copy.Title, "Title");
}

// Each language's text is read with the code page of its script: Cyrillic
// Serbian and Bosnian apart from their Latin forms, every sub-language of a
// primary language alike, any other language as Western.
TEST(WordDocument, EachLanguageHasTheCodePageOfItsScript) {
  const std::pair<uint16_t, int> kLanguages[] = {
      {0x0C1A, 1251}, {0x1C1A, 1251}, {0x281A, 1251}, {0x201A, 1251},  // Serbian, Bosnian Cyrillic
      {0x081A, 1250}, {0x141A, 1250}, {0x041A, 1250},                  // Serbian, Bosnian Latin, Croatian
      {0x0405, 1250}, {0x040E, 1250}, {0x0415, 1250}, {0x0418, 1250}, {0x041B, 1250}, {0x041C, 1250},
      {0x0424, 1250}, {0x0402, 1251}, {0x0419, 1251}, {0x0819, 1251}, {0x0422, 1251}, {0x0423, 1251},
      {0x042F, 1251}, {0x043F, 1251}, {0x0440, 1251}, {0x0444, 1251}, {0x0450, 1251}, {0x041F, 1254},
      {0x042C, 1254}, {0x0443, 1254}, {0x040D, 1255}, {0x0401, 1256}, {0x0C01, 1256}, {0x0420, 1256},
      {0x0429, 1256}, {0x0425, 1257}, {0x0426, 1257}, {0x0427, 1257}, {0x041E, 874},  {0x0409, 1252},
      {0x0809, 1252}, {0x040C, 1252}, {0x0407, 1252}, {0x0408, 1252}, {0x0000, 1252}, {0xFFFF, 1252}};
  for (const auto& [lid, page] : kLanguages) EXPECT_EQ(CodePageOfLanguage(lid), page) << std::hex << lid;
}

}  // namespace
}  // namespace quilor
