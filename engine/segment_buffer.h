// The segment buffer receives the scanner's words one by one with their
// punctuation tags, gathers them into segments cut at sentence ends, looks
// every word up in the main dictionary, joins expressions, numbers and
// contractions into single tokens, applies the English word rules and hands
// the slots one by one to the segment resolver.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "engine/batch_pipe.h"
#include "engine/segment_lookup.h"
#include "engine/segment_resolver.h"
#include "engine/word_lookup_cache.h"
#include "engine/word_scanner.h"

namespace quilor {

class TResolverThread;

class TSegmentBuffer : public TWordSink {
 public:
  static constexpr int kSegmentSlots = 125;

  TSegmentBuffer();
  ~TSegmentBuffer() override;
  TSegmentBuffer(const TSegmentBuffer&) = delete;
  TSegmentBuffer& operator=(const TSegmentBuffer&) = delete;

  // Looks the segments up on worker threads and resolves them on a thread
  // of its own from the next Init on (for English texts; others are looked
  // up and resolved on the caller's thread). The words then reach TextWords,
  // and the resolver's counts are complete, only once Finish has returned.
  void UseResolverThread(bool on) { threadWanted_ = on; }

  // Clears the run's cancel flag, the counters and the slots, and starts
  // the word number at TextWords' highest position.
  void Init();
  // Adds a word (tag: the punctuation before it). False when the segment it
  // completed could not be stored (the run is then cancelled by the caller).
  bool PushWord(const char* word, const char* tag);
  bool PushWord(const char* word, size_t length, const char* tag, std::string_view gap) override;
  // A paragraph ends (line mode): a mark, and the segment is processed.
  void EndParagraph() override;
  // Processes what remains at the end of a file and finishes the resolver;
  // trailing: the punctuation after the file's last word, which closes it;
  // trailingGap: all that stands there, as the reader sees it.
  void Finish(const char* trailing = nullptr, std::string_view trailingGap = {});

  // The number of the last word pushed (progress and the word cap).
  int32_t WordNumber() const { return pushedNumber_; }
  // Where the words and propositions handed to TextWords are counted.
  void CountInto(TSegmentCounts* counts) { resolver_.CountInto(counts); }
  // Whether the words of the Borders stay in the text.
  void ShowBorders(bool show) { resolver_.ShowBorders(show); }
  TSegmentResolver& Resolver() { return resolver_; }

 private:
  // Looks the segments up on worker threads and hands them, in order, to
  // the resolver's worker.
  class LookupWorkers {
   public:
    LookupWorkers(TSegmentBuffer& buffer, unsigned cores);
    bool Start();
    // A segment to look up: slots[0..count] copied.
    void Queue(const TWordSlot* slots, int count);
    // Waits until every segment queued is in the resolver's worker.
    void Drain() { pipe_.Drain(); }

   private:
    // Two workers where the machine has the cores for them beside the
    // reader, the resolver and the first semantic step; one elsewhere (a
    // third one on eight processors used more processor time for no wall
    // time gained).
    size_t WorkerCount() const;
    struct Batch {
      static constexpr size_t kSlots = 4096;
      std::unique_ptr<TWordSlot[]> slots{new TWordSlot[kSlots]};
      // Each segment's count: it takes count + 1 slots.
      std::unique_ptr<uint16_t[]> counts{new uint16_t[kSlots]};
      size_t segments = 0;
      size_t used = 0;
      bool Empty() const { return segments == 0; }
      void Clear() { segments = used = 0; }
    };
    void LookUp(Batch& batch, size_t worker);
    void Deliver(Batch& batch);
    TSegmentBuffer& buffer_;
    unsigned cores_;
    std::vector<TSegmentLookup*> lookups_;
    std::vector<std::unique_ptr<TSegmentLookup>> owned_;
    // Declared last: its workers end before the lookups go.
    TBatchPipe<Batch, 3> pipe_;
  };

  bool CheckSentenceEnd(int i);
  // Ends the file's last segment with a mark carrying the punctuation after
  // its last word (blanks left out), when there is any.
  void CloseLastProposition(const char* trailing, std::string_view trailingGap);
  bool IsAbbreviation(const char* word);
  bool ProcessSegment();
  // Pushes the looked-up segment's slots up to its first mark; false when
  // the resolver (on this thread) failed.
  bool HandToResolver(const TWordSlot* slots, int count);
  void ClearSlots();

  TWordSlot slots_[kSlotArraySize + 1];
  TWordSlot pending_;
  int count_ = 0;
  int32_t pushedNumber_ = 0;  // the last word pushed
  bool mark_ = false;
  TSegmentResolver resolver_;
  TSegmentLookup lookup_;
  // The cache of the abbreviation test (the lookup's may be on another thread).
  TWordLookupCache cache_;
  bool threadWanted_ = false;
  unsigned cores_ = 0;  // the processors the process may use (0: not asked yet)
  // The resolver's own lookup cache while it has a worker (which it outlives).
  std::unique_ptr<TWordLookupCache> resolverCache_;
  std::unique_ptr<TResolverThread> worker_;
  // Declared last: it goes first, while what it uses is still there.
  std::unique_ptr<LookupWorkers> lookupWorkers_;
};

// Scans and segments decoded text as one file, without the text loader
// (TextWords is cleared first and holds the result). For tools and tests;
// resolverThread resolves as the text loader does, on a thread of its own.
// The words and propositions go into counts when given.
void SegmentTextAsFile(const unsigned char* text, size_t length, bool lineMode, bool resolverThread = false,
                       TSegmentCounts* counts = nullptr);

}  // namespace quilor
