// The word-search command parser: a typed command (words with the operators
// '+', ',' and '-' between them) becomes meaning lines, one per class a word
// has on the four levels of the ontology engine, or one per lexicon reading.
// The lines go to OnMeaningLine, which a subclass overrides; the parser also
// remembers the classes chosen recently, so that the meaning shown checked
// for an ambiguous word is the one seen last. Texts are Windows-1252.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/category.h"

namespace quilor {

constexpr int kMsgOtherMeanings = 7200;
constexpr int kMaxCriteriaWords = 100;
constexpr size_t kCriteriaWordMax = 80;
constexpr int kRecentSlots = 101;
constexpr int kMaxMeanings = 18;

struct CriteriaWord {
  std::string text;  // at most 80 characters, lower case
  char op = 0;       // the operator before the word, 0 when none
  std::string ops;   // every operator met before the word (at most 8)
};

// One meaning of a word: its classes on levels 1 to 3 and its Scenario entry.
struct Meaning {
  std::array<uint32_t, 4> cls{};
  bool preferred = false;
};

// What OnMeaningLine receives.
struct MeaningLine {
  std::string text;      // the line as displayed
  int meaning = 0;       // 0..17, 0 for lines without a class
  bool greyed = false;   // lemma lines: shown, never chosen
  bool checked = false;  // the preferred line
  char op = 0;           // the operator before the word
  TCategoryRecord category;
  std::string className;              // class name, word or lemma
  int32_t classIndex = 0;             // the class at the level (0 none)
  int level = 0;                      // 1..4 class lines, 0 word or lemma lines
  std::array<uint32_t, 4> classes{};  // the meaning's classes (levels 1-3, Scenario entry)
};

class TParseCmdCriteres {
 public:
  virtual ~TParseCmdCriteres() = default;

  // Clears the recency ring and everything a run fills.
  void InitParser();
  void RunCriteria(std::string_view text);

  // Receives one line; false stops the enumeration of the current word.
  virtual bool OnMeaningLine(const MeaningLine& line);
  // May a class found in the recency ring make its meaning the preferred one?
  virtual bool AcceptRecentClass(const std::string& text, int32_t classIndex, int level);
  // Score of a meaning when no recent class decides (four levels).
  virtual int MeaningScore(int32_t classIndex);

  // The chosen meaning's classes go into the ring, which then advances.
  void PushRecentClass(const std::array<uint32_t, 4>& classes);

  // The words of the last run (record 1 first); count as the split left it.
  const std::vector<CriteriaWord>& Words() const { return words_; }
  int WordCount() const { return wordCount_; }

  // Tells whether the lexicon knows a word (compound joining); by default
  // the program's lexicon.
  std::function<bool(const std::string&)> lexiconKnows;
  // Numerals are words ("3.5" one word, a numeral's lemma a noun), as the
  // analysis takes them when the options normalise numbers.
  bool numbersAsWords = false;

 protected:
  void SplitCriteria(std::string_view text);
  void JoinCompoundWords();
  void RunCriteriaWord(int number);
  bool EnumerateWordClasses(const std::string& word, bool mayCheck);
  void ChooseMeaningByRecency(int levels);
  bool EmitScenarioMeanings(const std::string& word);
  void EmitLexiconReadings(const std::string& word);
  bool EmitLemmaLine(const std::string& word, const TCategoryRecord& record);
  bool Give(MeaningLine line);

 private:
  bool Knows(const std::string& word) const;

  std::array<std::array<uint32_t, 4>, kRecentSlots> ring_{};
  int ringPosition_ = 0;
  std::vector<CriteriaWord> words_;
  int wordCount_ = 0;
  std::vector<Meaning> meanings_;
  // Per word.
  bool checkedGiven_ = false;
  bool noFallback_ = false;
  bool grammatical_ = false;
  int linesOfWord_ = 0;
  char op_ = 0;
  TCategoryRecord record_;
  int runWordCounter_ = 0;
  std::array<bool, 20> wordIndexed_{};
};

// The word search's parser: it keeps the lines (at most 200) with their
// meaning records for the window.
class TScenParser : public TParseCmdCriteres {
 public:
  struct Record {
    MeaningLine line;
    std::string shown;    // the text the list shows
    bool enabled = true;  // greyed lines cannot be checked
  };
  static constexpr size_t kMaxRecords = 200;

  void Clear() { records_.clear(); }
  const std::vector<Record>& Records() const { return records_; }
  bool operatorOption = false;  // a blank operator is shown as '+'

  bool OnMeaningLine(const MeaningLine& line) override;
  // The Scenario entry given to a verb or adjective lemma (0 none).
  std::function<uint32_t(const MeaningLine&)> indexClassOfLine;
  std::function<std::string(uint32_t)> scenarioGroupName;

 private:
  std::vector<Record> records_;
};

}  // namespace quilor
