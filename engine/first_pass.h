// The first step of the semantic pass: the nouns with one reading are
// classified and counted, the verbs and adjectives counted. Each word needs
// only the words before it, so the step can walk the text while the loading
// is still appending to it, on a thread of its own: the semantic pass then
// finds it done.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "engine/form_table.h"
#include "engine/word_list.h"

namespace quilor {

class TOntologyEngine;

// The pass byte of an ambiguous noun whose reading value holds, until the
// second step takes it, the token of its readings (TOntologyEngine::TextToken).
constexpr uint8_t kPassReadingsBit = 8;

class TFirstPass {
 public:
  explicit TFirstPass(TOntologyEngine& engine) : engine_(engine) {}

  // The engine's counts and added classes of the previous text go; with
  // numbersAsWords, numerals are classified as the nouns they name.
  void Begin(bool numbersAsWords);
  // One node, words and marks in text order.
  void Take(TWordNode* n);
  // The memory of the forms goes.
  void End() { forms_ = {}; }
  // Words (not marks) taken since Begin.
  uint32_t Words() const { return words_; }
  // Beside the loading, with a processor of its own, the pass also looks up
  // the readings the second step will ask for by form (the forms it does
  // not classify, and the capitalised ones that a name may hold), so that
  // the engine keeps them (TOntologyEngine::ReadingsOf) before that step.
  void LookUpReadingsAhead() { readingsAhead_ = true; }

 private:
  bool ClassifySubstantive(TWordNode* n);
  bool readingsAhead_ = false;

  // What ClassifySubstantive made of a word form: the same form always gives
  // the same answer, so the engine is asked once per form and the later
  // occurrences are only counted.
  struct Classified {
    bool known = false;
    bool classified = false;
    uint32_t classes[4] = {};
    uint32_t baseForm = 0;
    int32_t value = 0;
    uint32_t readings = 0;  // an ambiguous noun's token of readings (the engine's TextToken)
  };
  struct FormResults {
    Classified byMark[2];  // the form without and with the proper-noun bit
  };
  TFormTable<FormResults> forms_;

  TOntologyEngine& engine_;
  bool numerals_ = false;
  uint32_t words_ = 0;
};

// The first pass following TextWords as the loading appends to it. The
// loading may look words up in the engine on its own threads meanwhile: its
// lookups only read the engine.
class TFirstPassBesideLoading {
 public:
  // Begins the pass (on the caller's thread) and starts following TextWords
  // from its first node (the list must hold only the words of this run:
  // the nodes there are taken at once); false when no thread could be
  // started (nothing then follows, and the engine's counts are as the pass
  // leaves them). numbersAsWords as for TFirstPass::Begin.
  bool Start(TOntologyEngine& engine, bool numbersAsWords);
  // The loading ended: every word it appended is taken, then the thread
  // ends. With complete false the thread ends at once.
  void Finish(bool complete);
  ~TFirstPassBesideLoading() { Finish(false); }

  // Whether every word of the text was taken; then the words counted.
  bool Done() const { return done_; }
  uint32_t Words() const { return words_; }

 private:
  void Follow();

  std::unique_ptr<TFirstPass> pass_;
  std::thread thread_;
  // Set by Finish (complete_ first, then finish_); the follower wakes on the
  // word list's announcements, which Finish makes too.
  std::atomic<bool> finish_{false};
  bool complete_ = false;
  bool done_ = false;
  uint32_t words_ = 0;
};

}  // namespace quilor
