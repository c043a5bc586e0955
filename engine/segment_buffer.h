// The segment buffer receives the scanner's words one by one with their
// punctuation tags, gathers them into segments cut at sentence ends, looks
// every word up in the main dictionary, joins expressions, numbers and
// contractions into single tokens, applies the English word rules and hands
// the slots one by one to the segment resolver.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/segment_resolver.h"
#include "engine/word_lookup_cache.h"
#include "engine/word_scanner.h"

namespace quilor {

// Words and propositions handed to TextWords in this run (reset by Init).
extern uint32_t SegmentWordCounter;
extern uint32_t SegmentPropositionCounter;

class TResolverThread;

class TSegmentBuffer : public TWordSink {
 public:
  static constexpr int kSegmentSlots = 125;

  TSegmentBuffer();
  ~TSegmentBuffer() override;
  TSegmentBuffer(const TSegmentBuffer&) = delete;
  TSegmentBuffer& operator=(const TSegmentBuffer&) = delete;

  // Resolves the segments on a thread of its own from the next Init on (for
  // English texts; others are resolved on the caller's thread). The words
  // then reach TextWords, and the resolver's counts are complete, only once
  // Finish has returned.
  void UseResolverThread(bool on) { threadWanted_ = on; }

  // Clears the run's cancel flag, the counters and the slots, and starts
  // the word number at TextWords' highest position.
  void Init();
  // Adds a word (tag: the punctuation before it). False when the segment it
  // completed could not be stored (the run is then cancelled by the caller).
  bool PushWord(const char* word, const char* tag);
  bool PushWord(const char* word, size_t length, const char* tag) override;
  // A paragraph ends (line mode): a mark, and the segment is processed.
  void EndParagraph() override;
  // Processes what remains at the end of a file and finishes the resolver.
  void Finish();

  // The number of the last word pushed (progress and the word cap).
  int32_t WordNumber() const { return pushedNumber_; }
  TSegmentResolver& Resolver() { return resolver_; }

 private:
  bool CheckSentenceEnd(int i);
  bool IsAbbreviation(const char* word);
  bool ProcessSegment();
  void LookupSegmentWords();
  void LookupReadings(TWordSlot& slot);
  void ApplyEnglishRules(int i);
  void JoinExpression(int i);
  int JoinNumber(int i);
  void ResolveParticiples();
  void ClearSlots();
  int NextWordSlot(int i) const;
  int PreviousWordSlot(int i) const;

  TWordSlot slots_[kSlotArraySize + 1];
  TWordSlot pending_;
  int count_ = 0;
  int32_t wordNumber_ = 0;    // the last word handed to the resolver
  int32_t pushedNumber_ = 0;  // the last word pushed
  bool mark_ = false;
  TSegmentResolver resolver_;
  TWordLookupCache cache_;
  bool threadWanted_ = false;
  // The worker and the resolver's own lookup cache while it has one.
  std::unique_ptr<TResolverThread> worker_;
  std::unique_ptr<TWordLookupCache> resolverCache_;
};

// The segment buffer of the loading in progress (set by the text loader
// while it lives), which a stopped run finishes.
extern TSegmentBuffer* ActiveSegmentBuffer;

// Scans and segments decoded text as one file, without the text loader
// (TextWords is cleared first and holds the result). For tools and tests;
// resolverThread resolves as the text loader does, on a thread of its own.
void SegmentTextAsFile(const unsigned char* text, size_t length, bool lineMode, bool resolverThread = false);

}  // namespace quilor
