#include "engine/segment_buffer.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/lexicon.h"
#include "core/gauge.h"
#include "core/options.h"
#include "engine/resolver_thread.h"
#include "engine/segment_lookup.h"
#include "engine/word_list.h"
#include "engine/word_lookup_cache.h"
#include "platform/usable_cores.h"

namespace quilor {

namespace {

bool English() { return !GeneralState || GeneralState->Language == kLanguageEnglish; }

}  // namespace

bool TSegmentBuffer::IsAbbreviation(const char* word) {
  if (!word[0]) return false;
  TCategoryRecord readings[kSlotReadings] = {};
  const int n = cache_.WordReadings(word, readings, nullptr);
  for (int r = 0; r < n; ++r)
    if (IsSubstantive(readings[r]) && SubField3HasBits0And1(readings[r])) return true;
  return false;
}

TSegmentBuffer::TSegmentBuffer() = default;

TSegmentBuffer::~TSegmentBuffer() = default;

void TSegmentBuffer::Init() {
  if (lookupWorkers_) lookupWorkers_->Drain();
  if (worker_) worker_->Drain();
  // The worker's resolver looks words up in the main dictionary of other
  // languages: only English texts are resolved beside the buffer. With one
  // processor the threads would only take turns on it: the caller does all.
  if (cores_ == 0) cores_ = UsableCores();  // once: Init runs for every file
  const bool threads = threadWanted_ && English() && cores_ > 1;
  if (threads && !worker_) {
    worker_ = std::make_unique<TResolverThread>(resolver_);
    // With the processors for it, the words are appended beside the resolving.
    if (!worker_->Start(cores_ > 4)) worker_.reset();
  } else if (worker_ && !threads) {
    lookupWorkers_.reset();
    worker_.reset();
  }
  // With a resolver beside it and a third processor the buffer only cuts
  // segments: workers of their own look them up. With two, the buffer looks
  // them up itself and hands them straight to the resolver.
  if (worker_ && !lookupWorkers_ && cores_ > 2) {
    lookupWorkers_ = std::make_unique<LookupWorkers>(*this, cores_);
    if (!lookupWorkers_->Start()) lookupWorkers_.reset();
  }
  Progress.cancelRequested = false;
  count_ = 0;
  mark_ = false;
  pushedNumber_ = TextWords.HighestPosition();
  for (TWordSlot& s : slots_) ClearWordSlot(s);
  ClearWordSlot(pending_);
  resolver_.Init();
  if (worker_) {
    if (!resolverCache_) resolverCache_ = std::make_unique<TWordLookupCache>();
    resolver_.SetLookupCache(resolverCache_.get());
  } else {
    resolver_.SetLookupCache(&lookup_.Cache());
  }
}

bool TSegmentBuffer::PushWord(const char* word, const char* tag) {
  return PushWord(word, word ? std::strlen(word) : 0, tag, {});
}

bool TSegmentBuffer::PushWord(const char* word, size_t length, const char* tag, std::string_view gap) {
  if (count_ < 0 || count_ >= kSlotArraySize) ClearSlots();
  TWordSlot& s = slots_[count_];
  ClearWordSlot(s);
  length = std::min<size_t>(length, kSlotTextSize - 1);
  if (word && length > 0) {
    SetSlotTag(s, tag);
    std::memcpy(s.text, word, length);
    s.text[length] = 0;
    mark_ = s.text[0] == '/';
    if (mark_) {
      s.readingCount = 0;
    } else {
      ++pushedNumber_;
      SetSlotWritten(s, gap, {});
    }
  } else {
    s.empty = 1;
    SetSlotTag(s, " ");
  }
  ++count_;
  ClearWordSlot(slots_[count_]);
  if (pending_.text[0] || pending_.empty) ClearWordSlot(pending_);
  // With its final mark a full segment fills the resolver's 125 slots.
  if (mark_ || count_ >= kSegmentSlots - 1 || CheckSentenceEnd(count_ - 1)) return ProcessSegment();
  return true;
}

void TSegmentBuffer::EndParagraph() {
  if (count_ < 0 || count_ >= kSlotArraySize) ClearSlots();
  TWordSlot& s = slots_[count_];
  ClearWordSlot(s);
  MakeMarkSlot(s);
  SetSlotTag(s, " ");
  if (count_ < kSlotArraySize - 1) ++count_;
  ClearWordSlot(slots_[count_]);
  if (!ProcessSegment()) Progress.cancelRequested = true;
}

void TSegmentBuffer::Finish(const char* trailing, std::string_view trailingGap) {
  // What was read before a stop is kept.
  const bool cancelled = Progress.cancelRequested;
  Progress.cancelRequested = false;
  CloseLastProposition(trailing, trailingGap);
  bool ok = ProcessSegment();
  if (lookupWorkers_) lookupWorkers_->Drain();
  if (worker_) ok = worker_->Drain() && ok;
  ok = resolver_.Finish() && ok;
  Progress.cancelRequested = cancelled || !ok;
}

void TSegmentBuffer::CloseLastProposition(const char* trailing, std::string_view trailingGap) {
  // The punctuation after the last word has no word to carry it: a mark
  // closes the last proposition with it, as a sentence's end closes the
  // others.
  char tag[kSlotTagSize] = {};
  size_t n = 0;
  for (const char* c = trailing; c && *c && n < sizeof tag - 1; ++c)
    if (static_cast<unsigned char>(*c) > ' ') tag[n++] = *c;
  if (n == 0 || count_ <= 0 || count_ >= kSlotArraySize - 1 || slots_[count_ - 1].IsMark()) return;
  TWordSlot& s = slots_[count_];
  ClearWordSlot(s);
  MakeMarkSlot(s);
  SetSlotTag(s, tag);
  // The mark shows what closes the text, as it stands there.
  SetSlotWritten(s, trailingGap, {});
  ++count_;
  ClearWordSlot(slots_[count_]);
}

bool TSegmentBuffer::CheckSentenceEnd(int i) {
  if (i < 2) return false;
  TWordSlot& s = slots_[i];
  if (std::strcmp(s.tag, ".") == 0) return false;
  // 3,5 and 10:30 are numbers to join, not sentence ends.
  if (s.tag[0] && !s.tag[1] && std::strchr(",.:/", s.tag[0]) && IsNumberWord(s.text) &&
      IsNumberWord(slots_[i - 1].text))
    return false;
  bool end = false;
  bool decided = false;
  for (int k = 0; k < 7 && s.tag[k] && !decided; ++k) {
    switch (s.tag[k]) {
      case ';':
      case '?':
      case '!': end = decided = true; break;
      case ':':
        decided = true;
        end = !(TSegmentResolver::IsAddressDot(slots_, count_, i - 1) || std::strncmp(s.tag, "://", 3) == 0);
        break;
      case ',':
        decided = true;
        end = i >= 96;
        break;
      case '.':
        decided = true;
        if (TSegmentResolver::IsAddressDot(slots_, count_, i - 1) ||
            TSegmentResolver::IsAddressDot(slots_, count_, i - 2))
          end = false;
        else
          end = std::strlen(slots_[i - 1].text) > 1 && !IsAbbreviation(slots_[i - 1].text) &&
                TSegmentResolver::IsSentenceDot(slots_, count_, i - 1);
        break;
      default: break;
    }
  }
  if (!end) return false;
  pending_ = s;
  MakeMarkSlot(s);
  return true;
}

bool TSegmentBuffer::ProcessSegment() {
  if (count_ <= 0 || Progress.cancelRequested) {
    if (count_ > 0) ClearSlots();
    return !Progress.cancelRequested;
  }
  if (count_ >= kSlotArraySize) count_ = kSlotArraySize - 1;
  bool ok = true;
  if (lookupWorkers_) {
    lookupWorkers_->Queue(slots_, count_);
  } else {
    lookup_.Process(slots_, count_);
    ok = HandToResolver(slots_, count_);
  }
  if (worker_ && worker_->Failed()) ok = false;
  ClearSlots();
  if (pending_.text[0]) {
    slots_[0] = pending_;
    SetSlotTag(slots_[0], " ");
    count_ = 1;
    ClearWordSlot(pending_);
  }
  if (!ok) Progress.cancelRequested = true;
  return ok;
}

bool TSegmentBuffer::HandToResolver(const TWordSlot* slots, int count) {
  bool ok = true;
  for (int i = 0; i <= count && ok; ++i) {
    const TWordSlot& s = slots[i];
    if (s.empty || !s.text[0]) continue;
    if (worker_) {
      worker_->Push(s);
    } else {
      ok = resolver_.PushSlot(s);
      if (ok && resolver_.RepetitionRequested()) ok = resolver_.PushSlot(s);
    }
    if (s.IsMark()) break;
  }
  return ok;
}

// ---------------------------------------------------------------------------
// The lookup workers: the segments cut by the buffer are looked up on
// threads of their own and handed, in order, to the resolver's worker.

TSegmentBuffer::LookupWorkers::LookupWorkers(TSegmentBuffer& buffer, unsigned cores)
    : buffer_(buffer),
      cores_(cores),
      pipe_([this](Batch& batch, size_t worker) { LookUp(batch, worker); }, [this](Batch& batch) { Deliver(batch); },
            "word lookup") {}

size_t TSegmentBuffer::LookupWorkers::WorkerCount() const { return cores_ >= 6 ? 2 : 1; }

bool TSegmentBuffer::LookupWorkers::Start() {
  // Each worker has a lookup and its cache of its own; the first is the buffer's.
  lookups_.push_back(&buffer_.lookup_);
  const size_t workers = WorkerCount();
  for (size_t w = 1; w < workers; ++w) {
    owned_.push_back(std::make_unique<TSegmentLookup>());
    lookups_.push_back(owned_.back().get());
  }
  return pipe_.Start(workers);
}

void TSegmentBuffer::LookupWorkers::Queue(const TWordSlot* slots, int count) {
  const size_t n = static_cast<size_t>(count) + 1;
  if (pipe_.Filling().used + n > Batch::kSlots) pipe_.HandOver();
  Batch& batch = pipe_.Filling();
  std::memcpy(static_cast<void*>(&batch.slots[batch.used]), slots, n * sizeof(TWordSlot));
  batch.used += n;
  batch.counts[batch.segments++] = static_cast<uint16_t>(count);
}

void TSegmentBuffer::LookupWorkers::LookUp(Batch& batch, size_t worker) {
  TSegmentLookup& lookup = *lookups_[worker];
  TWordSlot* segment = batch.slots.get();
  for (size_t k = 0; k < batch.segments; ++k) {
    lookup.Process(segment, batch.counts[k]);
    segment += batch.counts[k] + 1;
  }
}

void TSegmentBuffer::LookupWorkers::Deliver(Batch& batch) {
  const TWordSlot* segment = batch.slots.get();
  // After a failure the resolver takes nothing more.
  for (size_t k = 0; k < batch.segments && !buffer_.worker_->Failed(); ++k) {
    buffer_.HandToResolver(segment, batch.counts[k]);
    segment += batch.counts[k] + 1;
  }
}

void TSegmentBuffer::ClearSlots() {
  // A slot is cleared as a word or a mark takes it, and the slot after it
  // then: only the first needs it now.
  ClearWordSlot(slots_[0]);
  count_ = 0;
  mark_ = false;
}

namespace {

class MemoryTextSource : public TextBlockSource {
 public:
  MemoryTextSource(const unsigned char* text, size_t length) : text_(text), length_(length) {}
  void Attach(TWordScanner* scanner) { scanner_ = scanner; }
  bool NextTextBlock() override {
    if (done_ || !scanner_) return false;
    done_ = true;
    scanner_->SetBlock(text_, length_);
    return true;
  }

 private:
  const unsigned char* text_;
  size_t length_;
  TWordScanner* scanner_ = nullptr;
  bool done_ = false;
};

}  // namespace

void SegmentTextAsFile(const unsigned char* text, size_t length, bool lineMode, bool resolverThread,
                       TSegmentCounts* counts) {
  TextWords.Clear();
  MemoryTextSource source(text, length);
  auto segment = std::make_unique<TSegmentBuffer>();
  segment->UseResolverThread(resolverThread);
  segment->CountInto(counts);
  segment->Init();
  TWordScanner scanner(source, *segment);
  source.Attach(&scanner);
  scanner.ResetForFile();
  scanner.lineMode = lineMode;
  while (scanner.ScanTextBlock()) {
  }
  segment->Finish(scanner.PendingPunctuation(), scanner.PendingGap());
}

}  // namespace quilor
