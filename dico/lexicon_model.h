// The English lexicon in memory: every word form with its readings (category
// codes, most frequent first), built from WordNet and the word lists, plus
// the verb and adjective name indexes (base form -> other forms).
#pragma once

#include <iosfwd>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/lexicon.h"
#include "dico/lists.h"
#include "dico/wordnet.h"

namespace quilor::dico {

// Where a reading comes from; ties in frequency keep this order.
enum class ReadingOrigin : uint8_t { ClosedList = 0, WordNetLemma = 1, WordNetForm = 2 };

struct Candidate {
  TCategoryCode code = 0;
  ReadingOrigin origin = ReadingOrigin::WordNetLemma;
  int weight = 0;  // WordNet tagged count of the lemma, or the closed-list rank
};

// The frequency-list columns that accept a reading of a code's class;
// `adverbsAreModalities`: the word has a modality reading, which alone takes
// the adverb column.
int FrequencyScore(TCategoryCode code, const FrequencyCounts& counts, bool adverbsAreModalities = false);

// A word with at least this many counted tokens loses the readings of a
// class none of them has.
constexpr int kUnseenClassTokens = 500;
// A noun read after an adjective reading names alone (kNamesAloneBit) when
// its tokens are at least 1/kNamesAloneShare of the adjective's, or when at
// least kSeldomVerbShare common noun tokens are half that share.
constexpr int kNamesAloneShare = 5;
// A word with a noun and a verb reading is seldom a verb (kSeldomVerbBit on
// the noun) when fewer than 1/kSeldomVerbShare of at least that many counted
// tokens are verbs.
constexpr int kSeldomVerbShare = 20;
// An -ing form's noun names after a preposition (kGerundNamesBit) when it
// has at least kSeldomVerbShare tokens and kGerundNounShare times the
// verb's.
constexpr int kGerundNounShare = 8;

// Orders a word's candidates (frequency list first, then origin, then weight),
// drops duplicates and, for closed-class words, WordNet readings the
// frequency list does not support (for other words, those of a class never
// met in kUnseenClassTokens tokens or more); keeps at most kMaxReadings. The
// codes carry no ambiguity bit.
std::vector<TCategoryCode> OrderReadings(std::vector<Candidate> candidates, const FrequencyCounts* counts);

// Regular inflections (no doubling: WordNet's exception lists hold those).
std::string RegularPlural(const std::string& noun);
std::string ThirdPersonSingular(const std::string& verb);
std::string RegularPast(const std::string& verb);
std::string PresentParticiple(const std::string& verb);
// Comparative and superlative of short adjectives; empty when the adjective
// takes "more" and "most".
std::string Comparative(const std::string& adjective);
std::string Superlative(const std::string& adjective);

// The spelling under which the segment buffer joins an expression cut at an
// apostrophe or a dot (o'clock: o_clock; st._louis: st_louis); empty when
// the word has none or keeps other apostrophes or dots.
std::string JoinedSpelling(const std::string& word);

// Which WordNet expressions (lemmas of several words) the lexicon keeps. The
// segment buffer joins every expression it finds, and a joined expression
// gives all its words one class; these rules leave out the expressions that
// are chance sequences of grammatical words rather than units:
//  - made only of closed-class words (in_this, to_it, as_well_as), unless
//    closed.txt lists the expression itself (in_order_to, of_course);
//  - beginning with an article (the_city, a_lot): the article belongs to the
//    noun phrase, not to the name;
//  - a verb followed only by closed-class words (look_at, depend_on, give_up):
//    the verb stays a verb and the particle keeps its own class;
//  - listed in excluded_expressions.txt (calibrated on the corpus).
// Closed-list expressions are never left out.
class ExpressionFilter {
 public:
  enum Verdict { kKept, kFunctionWords, kArticleInitial, kVerbParticle, kListed };
  explicit ExpressionFilter(const WordLists& lists);
  // `verb`: the lemma is read as a verb (a WordNet verb lemma).
  Verdict Judge(const std::string& lemma, bool verb = false) const;
  bool Keeps(const std::string& lemma, bool verb = false) const { return Judge(lemma, verb) == kKept; }

 private:
  std::set<std::string> closedWords_, closedExpressions_;
  const std::set<std::string>& excluded_;
};

class LexiconModel {
 public:
  void Build(const wordnet::Database& wn, const WordLists& lists);

  // Word -> stored codes, most frequent first; bit 15 on all but the last.
  const std::map<std::string, std::vector<TCategoryCode>>& Entries() const { return entries_; }
  // Base form -> other forms, for the verb and adjective name indexes.
  const std::map<std::string, std::vector<std::string>>& VerbForms() const { return verbForms_; }
  const std::map<std::string, std::vector<std::string>>& AdjectiveForms() const { return adjectiveForms_; }
  // The base form a form belongs to in the name indexes: of the bases that
  // have it, the one with the most tagged senses (found: find, not found).
  const std::string& VerbOfForm(const std::string& form) const;
  const std::string& AdjectiveOfForm(const std::string& form) const;

  // The readings the verb-kind and adjective-kind rules give a lemma.
  static VerbKind KindOfVerb(const wordnet::Database& wn, const WordLists& lists, const std::string& lemma);
  static AdjectiveKind KindOfAdjective(const wordnet::Database& wn, const WordLists& lists, const std::string& lemma);

  // One line a word: word TAB codes (hex) TAB readable readings.
  void Dump(std::ostream& out) const;

 private:
  void Add(const std::string& word, TCategoryCode code, ReadingOrigin origin, int weight);
  void AddNouns(const wordnet::Database& wn, const ExpressionFilter& keep);
  void AddVerbs(const wordnet::Database& wn, const WordLists& lists, const ExpressionFilter& keep);
  void AddAdjectives(const wordnet::Database& wn, const WordLists& lists, const ExpressionFilter& keep);
  void AddAdverbs(const wordnet::Database& wn, const ExpressionFilter& keep);
  void Finish(const WordLists& lists);

  std::map<std::string, std::vector<Candidate>> candidates_;
  std::map<std::string, std::vector<TCategoryCode>> entries_;
  std::map<std::string, std::vector<std::string>> verbForms_, adjectiveForms_;
  std::map<std::string, std::pair<std::string, int>> verbOfForm_, adjectiveOfForm_;  // form -> base, its weight
  static void Claim(std::map<std::string, std::pair<std::string, int>>& owners, const std::string& form,
                    const std::string& base, int weight);
};

// A readable form of a code ("verb factive present indicative", "connector cause"...).
std::string DescribeCode(TCategoryCode code);

}  // namespace quilor::dico
