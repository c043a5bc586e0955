#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/chartables.h"
#include "engine/segment_buffer.h"
#include "engine/word_list.h"
#include "engine/word_scanner.h"

namespace quilor {
namespace {

using Words = std::vector<std::pair<std::string, std::string>>;  // word, tag

// Feeds the scanner a text in pieces.
class PieceSource : public TextBlockSource {
 public:
  explicit PieceSource(std::vector<std::string> pieces) : pieces_(std::move(pieces)) {}
  void Attach(TWordScanner* scanner) { scanner_ = scanner; }
  bool NextTextBlock() override {
    if (next_ >= pieces_.size()) return false;
    const std::string& p = pieces_[next_++];
    scanner_->SetBlock(reinterpret_cast<const unsigned char*>(p.data()), p.size());
    return true;
  }

 private:
  std::vector<std::string> pieces_;
  size_t next_ = 0;
  TWordScanner* scanner_ = nullptr;
};

// Records what the scanner hands on.
class RecordingSink : public TWordSink {
 public:
  bool PushWord(const char* word, size_t length, const char* tag, std::string_view gap) override {
    // As TextWords keeps it: " " for no punctuation, at most 3 characters.
    std::string t = tag && tag[0] ? std::string(tag).substr(0, 3) : " ";
    words.emplace_back(std::string(word, length), t);
    gaps.emplace_back(gap);
    return true;
  }
  void EndParagraph() override {}
  Words words;
  std::vector<std::string> gaps;
};

Words ScanPieces(const std::vector<std::string>& pieces, bool lineMode = false) {
  PieceSource source(pieces);
  RecordingSink segment;
  TWordScanner scanner(source, segment);
  source.Attach(&scanner);
  scanner.ResetForFile();
  scanner.lineMode = lineMode;
  while (scanner.ScanTextBlock()) {
  }
  return segment.words;
}

Words Scan(const std::string& text) { return ScanPieces({text}); }

// The gaps handed on with the words of a text in pieces, and what is left after the last.
std::vector<std::string> Gaps(const std::vector<std::string>& pieces, std::string* trailing = nullptr) {
  PieceSource source(pieces);
  RecordingSink segment;
  TWordScanner scanner(source, segment);
  source.Attach(&scanner);
  scanner.ResetForFile();
  while (scanner.ScanTextBlock()) {
  }
  if (trailing) *trailing = scanner.PendingGap();
  return segment.gaps;
}

TEST(WordScanner, TagsCarryThePunctuationBeforeEachWord) {
  ResetWorkingTables();
  EXPECT_EQ(Scan("l'homme"), (Words{{"l", " "}, {"homme", "'"}}));
  EXPECT_EQ(Scan("Fin. Suite"), (Words{{"Fin", " "}, {"Suite", ". "}}));
  EXPECT_EQ(Scan("a, b"), (Words{{"a", " "}, {"b", ","}}));
  EXPECT_EQ(Scan("a b"), (Words{{"a", " "}, {"b", " "}}));
  EXPECT_EQ(Scan("a\tb\r\nc"), (Words{{"a", " "}, {"b", " "}, {"c", " "}}));
  EXPECT_EQ(Scan("a*b/c"), (Words{{"a", " "}, {"b", "*"}, {"c", "/"}}));
  // Right single quotation mark and acute accent are apostrophes.
  EXPECT_EQ(Scan("don\x92t it\xB4s"), (Words{{"don", " "}, {"t", "'"}, {"it", " "}, {"s", "'"}}));
  // The tag keeps at most three characters in the word list.
  EXPECT_EQ(Scan("a!?!?!?!?!b"), (Words{{"a", " "}, {"b", "!?!"}}));
  // Digits belong to words, a point between them is punctuation.
  EXPECT_EQ(Scan("3.5 kg"), (Words{{"3", " "}, {"5", "."}, {"kg", " "}}));
}

// What stands between two words reaches the next word as written: the
// characters the analysis does not read (curly quotes, dashes) too, each run
// of blanks as one blank, line ends as one or two, across the pieces.
TEST(WordScanner, GapsKeepWhatStandsBetweenTheWords) {
  std::string trailing;
  EXPECT_EQ(Gaps({"\x93So,\x94  he \x97 said\t(at", " home).\r\n\r\n\r\n  \x01Next_ _x!\x94\r\n"}, &trailing),
            (std::vector<std::string>{"\x93", ",\x94 ", " \x97 ", " (", " ", ").\n\n", " _"}));
  EXPECT_EQ(trailing, "!\x94\n");
  // A run longer than a gap holds is cut, not the words after it.
  const std::vector<std::string> gaps = Gaps({"a " + std::string(200, '-') + " b"});
  ASSERT_EQ(gaps.size(), 2u);
  EXPECT_EQ(gaps[1], " " + std::string(TWordScanner::kMaxGap - 1, '-'));
}

TEST(WordScanner, LigaturesJoinersAndLetters) {
  ResetWorkingTables();
  EXPECT_EQ(Scan("c\x9Cur \x8Cuvre"), (Words{{"coeur", " "}, {"Oeuvre", " "}}));
  EXPECT_EQ(Scan("encyclop\xE6"
                 "dia \xC6sop"),
            (Words{{"encyclopaedia", " "}, {"Aesop", " "}}));
  EXPECT_EQ(Scan("a_b_c _x"), (Words{{"a_b_c", " "}, {"x", " "}}));
  EXPECT_EQ(Scan("\xA3"
                 "5 $3 caf\xE9"),
            (Words{{"\xA3"
                    "5",
                    " "},
                   {"$3", " "},
                   {"caf\xE9", " "}}));
}

TEST(WordScanner, LongRunsGoOnAsTheNextWord) {
  ResetWorkingTables();
  std::string run(100, 'x');
  Words words = Scan(run + " next");
  ASSERT_EQ(words.size(), 3u);
  EXPECT_EQ(words[0].first, std::string(78, 'x'));
  EXPECT_EQ(words[1].first, std::string(22, 'x'));
  EXPECT_EQ(words[2], (std::pair<std::string, std::string>{"next", " "}));
  // Capitals, digits and ligatures at the limit go on the same way.
  words = Scan(std::string(77, 'x') + "\x9C\x9C");
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(words[0].first, std::string(77, 'x') + "o");
  EXPECT_EQ(words[1].first, "eoe");
  words = Scan(std::string(78, 'x') + "AB1");
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(words[1].first, "AB1");
  // A run of 200 letters keeps every letter.
  words = Scan(std::string(200, 'y'));
  size_t letters = 0;
  for (const auto& w : words) letters += w.first.size();
  EXPECT_EQ(letters, 200u);
  EXPECT_EQ(words.size(), 3u);
}

TEST(WordScanner, TheLastWordOfTheSourceIsKept) {
  ResetWorkingTables();
  EXPECT_EQ(Scan("alone"), (Words{{"alone", " "}}));
  EXPECT_EQ(Scan("two words"), (Words{{"two", " "}, {"words", " "}}));
  EXPECT_EQ(Scan("end."), (Words{{"end", " "}}));
  EXPECT_TRUE(Scan("").empty());
  EXPECT_TRUE(Scan(" ,;. \r\n").empty());
}

TEST(WordScanner, PiecesScanAsOneText) {
  ResetWorkingTables();
  const std::string text =
      "Fin. Suite, l'homme a_b c\x9C"
      "ur 3.5 " +
      std::string(90, 'y') + " z";
  Words whole = Scan(text);
  for (size_t cut = 0; cut <= text.size(); ++cut) {
    ASSERT_EQ(ScanPieces({text.substr(0, cut), "", text.substr(cut)}), whole) << "cut at " << cut;
  }
}

}  // namespace
}  // namespace quilor
