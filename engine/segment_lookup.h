// The dictionary's side of a segment: every word is looked up in the main
// dictionary, expressions, numbers and contractions are joined into single
// tokens and the English word rules applied. A segment needs nothing but its
// own slots and a lookup cache, so segments can be looked up on another
// thread than the one that cuts them.
#pragma once

#include <cstring>
#include <string_view>
#include <type_traits>

#include "engine/word_slot.h"
#include "engine/word_lookup_cache.h"

namespace quilor {

// Slot helpers shared by the segment buffer and the lookup.
// An empty slot is all zero bytes: cleared in place, without a temporary.
static_assert(std::is_trivially_copyable_v<TWordSlot>);
inline void ClearWordSlot(TWordSlot& s) { std::memset(static_cast<void*>(&s), 0, sizeof s); }
// The tag, cut to the slot's size; " " for none.
void SetSlotTag(TWordSlot& s, const char* tag);
// The slot becomes a proposition mark without readings (and nothing written).
void MakeMarkSlot(TWordSlot& s);
// The slot's gap and written word, each cut to its field's size (a written
// word that does not fit is left empty).
void SetSlotWritten(TWordSlot& s, std::string_view gap, std::string_view written);
// The word of slot `to` takes in the words after it up to slot `last`: its
// written form grows by what was written from there (gaps and words).
void JoinSlotWritten(TWordSlot* slots, int to, int last);

class TSegmentLookup {
 public:
  // slots[0..count) are the segment's words; slots[count] becomes its final
  // mark (the array holds at least count + 1 slots). The words joined into
  // another are left empty.
  void Process(TWordSlot* slots, int count);
  TWordLookupCache& Cache() { return cache_; }

 private:
  void LookupSegmentWords();
  void LookupReadings(TWordSlot& slot);
  void ApplyEnglishRules(int i);
  // The rules for the words whose kind their clause decides
  // (segment_clause_rules.cpp).
  void ApplyClauseRules(int i);
  // A word of the clause rules with its neighbours: the slots before (pi,
  // p) and after it (ni; n, null when a mark), whether n follows without
  // punctuation between (nJoined), whether the word ends its clause (last).
  struct ClauseWord {
    int i, pi, ni;
    TWordSlot& s;
    const TWordSlot* p;
    const TWordSlot* n;
    bool nJoined, last;
  };
  // The rule of each word ApplyClauseRules decides.
  void ApplyAsRule(const ClauseWord& c);
  void ApplyForRule(const ClauseWord& c);
  void ApplyHerRule(const ClauseWord& c);
  void ApplyOneRule(const ClauseWord& c);
  void ApplySinceRule(const ClauseWord& c);
  void ApplySoRule(const ClauseWord& c);
  void ApplyStillRule(const ClauseWord& c);
  void ApplyTooRule(const ClauseWord& c);
  void ApplyWhileRule(const ClauseWord& c);
  void ApplyWhichRule(const ClauseWord& c);
  void ApplyWellRule(const ClauseWord& c);
  void ApplyWillRule(const ClauseWord& c);
  void ApplyYetRule(const ClauseWord& c);
  void ApplyThatRule(int i);
  // Whether "that" at i opens the clause of the verb of saying or thinking
  // that stands at `before` (-1: none in its clause).
  bool OpensClauseOfSaying(int before, int i) const;
  // Whether slot i opens a sentence with a bare verb before its object.
  bool OpensOrder(int i) const;
  // Slot i opens a clause (the segment's first word, or punctuation before
  // it); slot i closes one (a mark or punctuation after it).
  bool ClauseStart(int i) const;
  // Slot i opens a sentence (the segment's first word, or a sentence's
  // punctuation before it).
  bool SentenceStart(int i) const;
  bool EndsClause(int i) const;
  // The finite verb of a clause whose subject begins at slot k; -1 when the
  // words from k do not read as a subject and its verb. nounPhraseAlone is
  // set when they read as a noun phrase that ends without one.
  int ClauseVerb(int k, bool* nounPhraseAlone = nullptr) const;
  // A comparison set up before slot i in its clause (as ... as, the same ... as).
  bool ComparisonBefore(int i) const;
  // The clause whose verb is slot v tells an action or a state, not a report.
  bool ClauseOfTime(int v) const;
  // A perfect (have and a past participle) before slot i in its clause.
  bool PerfectBefore(int i) const;
  // Whether the words of slots i..last may be joined into the expression
  // whose readings are given: not when the expression would take the verb
  // of its clause (The cat sleeps; he wound up with a dozen) or a
  // preposition the infinitive marker of the verb after it (so small as to
  // be).
  bool ExpressionFits(int i, int last, const TCategoryRecord* readings, int count) const;
  void JoinExpression(int i);
  int JoinNumber(int i);
  void ResolveParticiples();
  int NextWordSlot(int i) const;
  int PreviousWordSlot(int i) const;

  TWordSlot* slots_ = nullptr;
  int count_ = 0;
  TWordLookupCache cache_;
};

}  // namespace quilor
