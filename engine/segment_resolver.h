// The segment resolver takes the slots of the segment buffer, gathers them
// into a segment again, cuts it into propositions, chooses one reading for
// every ambiguous word by context rules and the dictionary matrix, filters
// the text through the Borders and appends the words with their categories
// and the proposition marks ("/") to TextWords, counting the categories.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/category.h"
#include "core/gauge.h"
#include "engine/batch_pipe.h"
#include "engine/segment_counts.h"
#include "engine/word_slot.h"

namespace quilor {

// Lines of its own: while a file is read the resolver may work on a thread
// of its own, beside an owner written by another.
class alignas(64) TSegmentResolver {
 public:
  static constexpr int kSegmentSlots = 125;
  static constexpr int kContentWordsPerMark = 20;

  // Clears the counters and the slots and starts the word number at
  // TextWords' highest position.
  void Init();
  // Takes one slot; processes the segment at a sentence end, at 125 slots
  // or when finishing. False when an append failed (the run is cancelled).
  bool PushSlot(const TWordSlot& slot);
  // Processes what remains (at the end of each file).
  bool Finish();
  // Set after a push whose word was replaced by the segment's final mark:
  // the same word must be pushed again to begin the next segment.
  bool RepetitionRequested() const { return repetition_; }

  // The chosen reading of slot i of the current segment (for tests and tools).
  int ChooseCategoryReading(int i, bool useLeft, bool useRight);
  // Whether a dot before slot i + 1 ends a sentence after slot i's word
  // (not a decimal point, not after an abbreviation), and whether slot i
  // belongs to a web or mail address. The slots are those given.
  static bool IsSentenceDot(const TWordSlot* slots, int count, int i);
  static bool IsAddressDot(const TWordSlot* slots, int count, int i);

  // Where the lexical entries of verbs and adjectives are remembered.
  void SetLookupCache(class TWordLookupCache* cache) { cache_ = cache; }

  uint32_t FilteredPropositions() const { return filteredPropositions_; }
  // Whether the words of the Borders stay in the text (the run's setting).
  void ShowBorders(bool show) { showBorders_ = show; }
  // Where the words and propositions are counted (the resolver's own
  // counts when none is given; the counts given outlive the resolving).
  void CountInto(TSegmentCounts* counts) { counts_ = counts ? counts : &ownCounts_; }
  const TSegmentCounts& Counts() const { return *counts_; }

  // The flag a failed append sets and that stops the resolving: by default
  // the run's Progress.cancelRequested; a resolver on a thread of its own has its own.
  void SetCancelFlag(bool* flag) { cancel_ = flag ? flag : &Progress.cancelRequested; }

  // With on, a thread of its own appends the resolved segments to TextWords
  // (with their lexical entries, counts and Borders) in their order, while
  // the segments after them are resolved: the resolving thread then only
  // cuts and chooses. False when no thread could be started (the resolver
  // then appends itself). Called between files, with nothing pushed.
  bool UseAppendThread(bool on);
  // Hands the segments resolved so far to the appending thread (a batch is
  // otherwise handed over only once full).
  void HandOverAppends();
  // Waits until every segment resolved is appended; false when an append
  // failed since the last wait (the failure is then forgotten, and
  // nothing more was appended after it).
  bool DrainAppends();

 private:
  bool CheckResolverSentenceEnd();
  bool ResolveSegment();
  void DisambiguateSpans();
  // Whether the readings of slot i changed.
  bool PreferVerbReading(int i);
  // ChooseCategoryReading with the following ambiguous slots (at most
  // kLookAhead) given the readings they would take.
  int ChooseWithLookAhead(int i);
  static constexpr int kLookAhead = 4;
  // ChooseCategoryReading(j, true, true) for the look-ahead, remembered in
  // the current window while the readings it reads stay the same.
  int ChooseRemembered(int j);
  struct TChoiceMemo {
    uint32_t generation = 0;  // 0: nothing remembered
    uint64_t context[6] = {};
    int chosen = 0;
  };
  void SetLexicalEntry(TWordSlot& slot);
  void CutPropositions();
  bool VerbFollows(int i) const;
  bool ConnectorMayCut(int i, int words, int first) const;
  // Appends a resolved segment: slots[0..count) with their text lengths
  // and the proposition starts; false when an append failed.
  bool AppendSegment(TWordSlot* slots, const uint8_t* length, const uint8_t* starts, int count);
  bool AppendProposition(TWordSlot* slots, const uint8_t* length, int first, int last, int next);
  bool AppendWord(const char* text, size_t length, const char* tag, uint32_t entry, const TWordCategoryData& data,
                  const char* gap = "", const char* written = "");
  int ClassOf(int i) const;
  // The phases of ChooseCategoryReading: what the words around slot i give
  // every reading alike (its English rules, its rows of the matrix), then
  // each reading's score; the hand-set weights are kCategoryWeights.
  struct TChoiceContext;
  void AddEnglishRules(int i, TChoiceContext& c) const;
  void AddMatrixRows(int i, bool useLeft, bool useRight, TChoiceContext& c) const;
  int32_t ReadingScore(const TChoiceContext& ctx, const TCategoryRecord& c, int r) const;
  void ClearSlots();

  TWordSlot slots_[kSlotArraySize + 1];
  uint8_t length_[kSlotArraySize + 1] = {};  // the length of each slot's text
  TChoiceMemo memo_[kSlotArraySize + 2];
  uint32_t memoGeneration_ = 0;
  int count_ = 0;
  int32_t wordNumber_ = 0;
  int windowFirst_ = 0;
  int windowLast_ = 0;
  uint8_t propositionStart_[kSlotArraySize + 1] = {};
  uint16_t weakMarks_[kSlotArraySize + 1] = {};
  bool finishing_ = false;
  bool repetition_ = false;
  bool excluding_ = false;
  uint32_t filteredPropositions_ = 0;
  bool showBorders_ = false;
  TSegmentCounts ownCounts_;
  TSegmentCounts* counts_ = &ownCounts_;
  class TWordLookupCache* cache_ = nullptr;
  bool* cancel_ = &Progress.cancelRequested;

  // The appending thread's batches: whole segments, in order.
  struct TAppendBatch {
    static constexpr size_t kSlots = 4096;
    std::unique_ptr<TWordSlot[]> slots{new TWordSlot[kSlots]};
    std::unique_ptr<uint8_t[]> length{new uint8_t[kSlots]};
    std::unique_ptr<uint8_t[]> starts{new uint8_t[kSlots]};
    std::unique_ptr<uint16_t[]> counts{new uint16_t[kSlots]};
    size_t segments = 0;
    size_t used = 0;
    bool Empty() const { return segments == 0; }
    void Clear() { segments = used = 0; }
  };
  // Copies the current segment into the appending thread's batch.
  void QueueAppend();
  void AppendBatch(TAppendBatch& batch);
  std::unique_ptr<TBatchPipe<TAppendBatch>> appends_;
  // An append on the appending thread failed: it appends nothing more, and
  // the resolving stops at its next segment.
  std::atomic<bool> appendFailed_{false};
};

}  // namespace quilor
