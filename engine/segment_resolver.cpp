#include "engine/segment_resolver.h"

#include <array>
#include <climits>
#include <cstring>
#include <string_view>

#include "core/borders.h"
#include "core/tuning.h"
#include "core/chartables.h"
#include "core/inflection.h"
#include "core/lexicon.h"
#include "core/name_index.h"
#include "core/gauge.h"
#include "engine/category_counters.h"
#include "engine/dictionary_matrix.h"
#include "engine/reading_exclusions.h"
#include "engine/run_flags.h"
#include "core/options.h"
#include "engine/slot_readings.h"
#include "engine/word_list.h"
#include "engine/word_lookup_cache.h"
#include "import/text_loader.h"

namespace quilor {

namespace {

void ClearSlot(TWordSlot& s) { s = TWordSlot{}; }

// The slot after the last of a segment is read only as a neighbour: whether
// it is a mark and its first reading. A push overwrites it whole.
void ClearFollowingSlot(TWordSlot& s) {
  s.text[0] = 0;
  s.empty = 0;
  s.readings[0] = TCategoryRecord{};
}

// The length of a slot's text, read eight bytes at a time (the text is
// NUL-terminated within its buffer; at most the buffer's size less one).
uint8_t SlotTextLength(const char (&text)[kSlotTextSize]) {
  static_assert(kSlotTextSize % 8 == 0);
  for (size_t i = 0; i < kSlotTextSize; i += 8) {
    uint64_t v;
    std::memcpy(&v, text + i, sizeof v);
    const uint64_t zero = (v - 0x0101010101010101ull) & ~v & 0x8080808080808080ull;
    if (zero) return static_cast<uint8_t>(i + (__builtin_ctzll(zero) >> 3));
  }
  return kSlotTextSize - 1;
}

// What a punctuation character of a tag does, by its code (Windows-1252).
enum TagRole : uint8_t {
  kEndsSentence = 1,       // ? ; ! and the inverted marks
  kWeakMark = 2,           // , { } and the angle quotes
  kClosesProposition = 4,  // ) , ] } and the closing angle quote
  kEndsProposition = 8,    // ! . : ; ? and the inverted marks
  kJoinsNumbers = 16,      // , . : / between two numbers
  kMayEndSentence = 32,    // what CheckResolverSentenceEnd looks for in a tag
};

constexpr std::array<uint8_t, 256> MakeTagRoles() {
  std::array<uint8_t, 256> roles{};
  auto add = [&roles](const char* chars, uint8_t role) {
    for (const char* c = chars; *c; ++c) roles[static_cast<unsigned char>(*c)] |= role;
  };
  add("?;!\xA1\xBF", kEndsSentence);
  add("{},\xAB\xBB", kWeakMark);
  add("),]}\xBB", kClosesProposition);
  add("!.:;?\xA1\xBF", kEndsProposition);
  add(",.:/", kJoinsNumbers);
  add("?;!\xA1\xBF.:", kMayEndSentence);
  return roles;
}
constexpr std::array<uint8_t, 256> kTagRoles = MakeTagRoles();

bool HasRole(char c, uint8_t role) { return (kTagRoles[static_cast<unsigned char>(c)] & role) != 0; }

// Whether a tag holds a character that may end a sentence (among the first
// seven, as CheckResolverSentenceEnd reads them).
bool TagMayEndSentence(const char* tag) {
  for (int k = 0; k < 7 && tag[k]; ++k)
    if (HasRole(tag[k], kMayEndSentence)) return true;
  return false;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Dollar, pound, euro and yen in Windows-1252.
bool IsCurrencySign(unsigned char c) { return c == '$' || c == 0xA3 || c == 0x80 || c == 0xA5; }

bool TagBegins(const TWordSlot& s, const char* prefix) { return std::strncmp(s.tag, prefix, std::strlen(prefix)) == 0; }

int MatrixClass(const TCategoryRecord& r) {
  const int c = r.MajorClass == kClassUnset ? static_cast<int>(kClassSubstantive) : r.MajorClass;
  return c < kMatrixClasses ? c : kClassSubstantive;
}

int PronounRow(const TCategoryRecord& r) { return r.Subclass < kMatrixClasses ? r.Subclass : 0; }

bool English() { return !GeneralState || GeneralState->Language == kLanguageEnglish; }

void KeepReading(TWordSlot& s, int r) {
  if (r > 0 && r < kSlotReadings) s.readings[0] = s.readings[r];
  for (int k = 1; k < kSlotReadings; ++k) s.readings[k] = TCategoryRecord{};
  s.readingCount = 0;
}

}  // namespace

void TSegmentResolver::Init() {
  count_ = 0;
  Progress.cancelRequested = false;
  *cancel_ = false;
  *counts_ = {};
  filteredPropositions_ = 0;
  wordNumber_ = TextWords.HighestPosition();
  finishing_ = repetition_ = excluding_ = false;
  appendFailed_.store(false, std::memory_order_relaxed);
  for (TWordSlot& s : slots_) ClearSlot(s);
  std::memset(length_, 0, sizeof length_);
}

bool TSegmentResolver::PushSlot(const TWordSlot& slot) {
  if (count_ < 0 || count_ >= kSlotArraySize) ClearSlots();
  TWordSlot& s = slots_[count_];
  s = slot;
  length_[count_] = SlotTextLength(s.text);
  if (!s.tag[0]) std::strcpy(s.tag, " ");
  if (s.IsMark()) s.readingCount = 0;
  if (!s.text[0]) s.empty = 1;
  ++count_;
  ClearFollowingSlot(slots_[count_]);
  length_[count_] = 0;
  // Only a mark or a tag with a sentence's end in it can end a sentence.
  const bool end = (s.IsMark() || TagMayEndSentence(s.tag)) && CheckResolverSentenceEnd();
  repetition_ = false;
  if (end || count_ >= kSegmentSlots || finishing_) return ResolveSegment();
  return true;
}

bool TSegmentResolver::Finish() {
  finishing_ = true;
  bool ok = ResolveSegment();
  ok = DrainAppends() && ok;
  if (!ok) *cancel_ = true;
  // Each file is cut as it would be alone.
  finishing_ = false;
  repetition_ = false;
  return ok;
}

bool TSegmentResolver::IsAddressDot(const TWordSlot* slots, int count, int i) {
  if (i < 0 || i >= count) return false;
  const TWordSlot& s = slots[i];
  const TWordSlot* next = i + 1 < count ? &slots[i + 1] : nullptr;
  if (std::strcmp(s.tag, "@") == 0 && next && next->tag[0] == '.') return true;
  if (Is(s, "www")) return true;
  if (next && next->tag[0] == '.' && std::strlen(next->text) < 5 &&
      (Is(*next, "html") || Is(*next, "htm") || Is(*next, "pdf")))
    return true;
  if (next && (Is(*next, "com") || Is(*next, "edu") || Is(*next, "uk") || Is(*next, "ca"))) return true;
  if (TagBegins(s, "://") || (next && TagBegins(*next, "://"))) return true;
  return false;
}

bool TSegmentResolver::IsSentenceDot(const TWordSlot* slots, int count, int i) {
  if (i < 0 || i >= count) return true;
  const TWordSlot& s = slots[i];
  const size_t n = std::strlen(s.text);
  // A decimal point: digits on both sides, or a currency sign before it
  // ($.03: the sign and the dot are the punctuation before the digits).
  if (i + 1 < count && IsDigit(slots[i + 1].text[0])) {
    const char* tag = slots[i + 1].tag;
    if (n > 0 && IsDigit(s.text[n - 1]) && std::strcmp(tag, ".") == 0) return false;
    const char* dot = std::strrchr(tag, '.');
    if (dot && dot > tag && dot[1] == 0 && IsCurrencySign(static_cast<unsigned char>(dot[-1]))) return false;
    // The abbreviation of number before one (No. 5, Nos. 3 and 4).
    if (Is(s, "no") || Is(s, "nos")) return false;
  }
  for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r)
    if (IsSubstantive(s.readings[r]) && SubField3HasBits0And1(s.readings[r])) return false;
  return true;
}

bool TSegmentResolver::CheckResolverSentenceEnd() {
  if (repetition_ || count_ < 1) return false;
  const int i = count_ - 1;
  const TWordSlot& s = slots_[i];
  if (s.empty || !s.text[0]) return false;
  if (s.IsMark()) return true;
  if (i >= 1 && s.tag[0] && !s.tag[1] && HasRole(s.tag[0], kJoinsNumbers) && IsNumberWord(s.text) &&
      IsNumberWord(slots_[i - 1].text))
    return false;
  for (int k = 0; k < 7 && s.tag[k]; ++k) {
    const unsigned char c = static_cast<unsigned char>(s.tag[k]);
    if (HasRole(s.tag[k], kEndsSentence)) return true;
    if (c == '.') {
      if (IsAddressDot(slots_, count_, i - 1)) return false;
      if (i >= 2 && slots_[i - 1].tag[0] == '.' && IsAddressDot(slots_, count_, i - 2)) return false;
      if (std::strcmp(s.tag, ".") == 0 && s.capitalisation == 0) return false;
      if (i >= 1 && IsSentenceDot(slots_, count_, i - 1) && length_[i - 1] > 1) return true;
      continue;
    }
    if (c == ':') return !(IsAddressDot(slots_, count_, i - 1) || TagBegins(s, "://"));
  }
  return false;
}

void TSegmentResolver::ClearSlots() {
  // Only the slot after the last is ever read before it is written: a push
  // overwrites its slot whole and clears the next.
  count_ = 0;
  ClearSlot(slots_[0]);
  length_[0] = 0;
}

int TSegmentResolver::ClassOf(int i) const {
  if (i < 0 || i > count_) return kClassSubstantive;
  return MatrixClass(slots_[i].Category());
}

bool TSegmentResolver::ResolveSegment() {
  if (count_ <= 0) return true;
  if (*cancel_ || appendFailed_.load(std::memory_order_relaxed)) {
    ClearSlots();
    return false;
  }
  // A lone mark closes nothing.
  if (count_ == 1 && slots_[0].IsMark()) {
    ClearSlots();
    return true;
  }
  // 1. The segment ends with a mark.
  TWordSlot& last = slots_[count_ - 1];
  if (!last.IsMark()) {
    if (finishing_ || count_ == 1) {
      if (count_ >= kSlotArraySize) count_ = kSlotArraySize - 1;
      TWordSlot& m = slots_[count_];
      ClearSlot(m);
      std::strcpy(m.text, "/");
      std::strcpy(m.tag, " ");
      length_[count_] = 1;
      ++count_;
    } else {
      // The word that carried the sentence end begins the next segment.
      char tag[kSlotTagSize];
      std::memcpy(tag, last.tag, sizeof tag);
      ClearSlot(last);
      std::strcpy(last.text, "/");
      std::memcpy(last.tag, tag, sizeof tag);
      length_[count_ - 1] = 1;
      repetition_ = true;
    }
  }
  {
    TWordSlot& m = slots_[count_ - 1];
    char kept[kSlotTagSize] = {};
    int n = 0;
    for (const char* c = m.tag; *c && n < kSlotTagSize - 1; ++c)
      if (*c != '-') kept[n++] = *c;
    std::strcpy(m.tag, n ? kept : " ");
    // The first word's tag keeps what did not close the previous proposition.
    TWordSlot& f = slots_[0];
    n = 0;
    std::memset(kept, 0, sizeof kept);
    for (const char* c = f.tag; *c && n < kSlotTagSize - 1; ++c)
      if (!HasRole(*c, kEndsProposition)) kept[n++] = *c;
    std::strcpy(f.tag, std::strspn(kept, " ") == std::strlen(kept) ? " " : kept);
  }
  // 2. The slot after the last is empty; marks are reset.
  ClearSlot(slots_[count_]);
  length_[count_] = 0;
  std::memset(propositionStart_, 0, sizeof propositionStart_);
  std::memset(weakMarks_, 0, sizeof weakMarks_);
  // 3. Weak marks.
  for (int i = 0; i < count_; ++i) {
    const TWordSlot& s = slots_[i];
    for (int k = 0; k < 7 && s.tag[k]; ++k) {
      const unsigned char c = static_cast<unsigned char>(s.tag[k]);
      if (HasRole(s.tag[k], kWeakMark)) ++weakMarks_[i];
      else if (c == ':' && !TagBegins(s, "://")) ++weakMarks_[i];
    }
  }
  // 4.
  DisambiguateSpans();
  // 6. Relatives and deictics, and gerunds after their prepositions.
  int lastVerb = -1;
  for (int i = 0; i < count_; ++i) {
    const TCategoryRecord& c = slots_[i].Category();
    if (IsRelativePronoun(c) || IsDeixis(c)) {
      if (!(lastVerb >= 0 && IsReflexive(slots_[lastVerb].Category()))) ++weakMarks_[i];
    }
    if (IsVerb(c)) {
      if (IsGerund(c) && i >= 3) {
        for (int j = i - 1; j >= i - 2; --j)
          if (SubField2IsOne(slots_[j].Category())) {
            ++weakMarks_[j];
            break;
          }
      }
      lastVerb = i;
    }
  }
  // 7.
  CutPropositions();
  // 8. The propositions, each from one start mark to the next.
  bool ok = true;
  if (appends_) QueueAppend();
  else ok = AppendSegment(slots_, length_, propositionStart_, count_);
  // 9.
  ClearSlots();
  if (!ok) *cancel_ = true;
  return ok;
}

bool TSegmentResolver::AppendSegment(TWordSlot* slots, const uint8_t* length, const uint8_t* starts, int count) {
  for (int i = 0; i < count; ++i)
    if (!slots[i].empty && !slots[i].IsMark()) SetLexicalEntry(slots[i]);
  bool ok = true;
  int first = 0;
  for (int i = 1; i <= count && ok; ++i) {
    if (i < count && !starts[i]) continue;
    if (i == count - 1 && slots[i].IsMark()) continue;  // the final mark closes the last one
    ok = AppendProposition(slots, length, first, i - 1, i < count ? i : -1);
    first = i;
  }
  return ok;
}

bool TSegmentResolver::UseAppendThread(bool on) {
  if (appends_) {
    DrainAppends();
    appends_.reset();
  }
  appendFailed_.store(false, std::memory_order_relaxed);
  if (!on) return false;
  appends_ = std::make_unique<TBatchPipe<TAppendBatch>>([this](TAppendBatch& b, size_t) { AppendBatch(b); },
                                                        TBatchPipe<TAppendBatch>::Deliver{}, "append");
  if (!appends_->Start()) appends_.reset();
  return appends_ != nullptr;
}

void TSegmentResolver::QueueAppend() {
  const size_t n = static_cast<size_t>(count_);
  if (appends_->Filling().used + n > TAppendBatch::kSlots) appends_->HandOver();
  TAppendBatch& b = appends_->Filling();
  std::memcpy(static_cast<void*>(&b.slots[b.used]), slots_, n * sizeof(TWordSlot));
  std::memcpy(&b.length[b.used], length_, n);
  std::memcpy(&b.starts[b.used], propositionStart_, n);
  b.counts[b.segments++] = static_cast<uint16_t>(n);
  b.used += n;
}

void TSegmentResolver::AppendBatch(TAppendBatch& b) {
  size_t at = 0;
  for (size_t k = 0; k < b.segments; ++k) {
    const int count = b.counts[k];
    if (!appendFailed_.load(std::memory_order_relaxed) &&
        !AppendSegment(&b.slots[at], &b.length[at], &b.starts[at], count))
      appendFailed_.store(true, std::memory_order_relaxed);
    at += static_cast<size_t>(count);
  }
  // A reader following the words (the first semantic step) takes them now.
  TextWords.Announce();
}

void TSegmentResolver::HandOverAppends() {
  if (appends_ && !appends_->Filling().Empty()) appends_->HandOver();
}

bool TSegmentResolver::DrainAppends() {
  if (!appends_) return true;
  appends_->Drain();
  return !appendFailed_.exchange(false, std::memory_order_relaxed);
}

bool TSegmentResolver::PreferVerbReading(int i) {
  TWordSlot& s = slots_[i];
  int chosen = -1;
  int participle = -1;
  for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r)
    if (IsVerb(s.readings[r]) && IsParticiple(s.readings[r])) {
      participle = r;
      break;
    }
  const TWordSlot* p = i > windowFirst_ ? &slots_[i - 1] : nullptr;
  const TWordSlot* n = i < windowLast_ && !slots_[i + 1].IsMark() ? &slots_[i + 1] : nullptr;
  // A verb group (has gone, was taken, got lost): the participle takes the
  // tense and mood of the verb before it. After a verb that is no auxiliary
  // only a word read first as a verb is its participle (broke ground: the
  // noun).
  if (participle >= 0 && IsPastParticiple(s.readings[participle]) && p && IsVerb(p->Category()) &&
      (IsAuxiliary(p->Category()) || IsVerb(s.readings[0]) || !English())) {
    CopyTenseAndMood(s.readings[participle], p->Category());
    KeepReading(s, participle);
    return true;
  }
  if (English() && p && participle >= 0) {
    // After a determiner, a possessive or an adjective a verb form
    // describes or names: its participle (the healing hand), unless it is
    // an adjective too (the left); and before a noun after a preposition (in
    // bound volumes).
    const TCategoryRecord& pc = p->Category();
    bool adjective = false;
    for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r) adjective |= IsAdjective(s.readings[r]);
    if (((IsDeterminantVariant(pc) || IsPossessivePronoun(pc) || IsAdjective(pc)) &&
         (IsPresentParticiple(s.readings[participle]) || !adjective)) ||
        (IsDeterminant(pc) && n && IsSubstantive(n->Category()) && !IsSubstantive(s.readings[0])))
      chosen = participle;
  }
  if (English() && chosen < 0) {
    // An irregular past that is also a present (lay: of lie, and to lay) is
    // the past, unless it is bare after to or a modal, or takes an object
    // (to lay a wreath, they lay claim).
    int firstVerb = -1;
    for (int r = 0; r <= s.readingCount && r < kSlotReadings && firstVerb < 0; ++r)
      if (IsVerb(s.readings[r])) firstVerb = r;
    const TCategoryRecord* fv = firstVerb >= 0 ? &s.readings[firstVerb] : nullptr;
    if (fv && IsPastTense(*fv) && IsIndicative(*fv)) {
      const bool bare = p && (Is(*p, "to") || IsModal(*p));
      const TCategoryRecord* nc = n ? &n->Category() : nullptr;
      const bool object = nc && (IsArticleOrPossessive(*n) || IsDeterminantVariant(*nc) || IsSubstantive(*nc) ||
                                 (IsPersonalPronoun(*nc) && !IsSubjectOnly(*n)));
      if (!bare && !object) chosen = firstVerb;
    }
  }
  for (int pass = 0; pass < 3 && chosen < 0; ++pass)
    for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r) {
      const TCategoryRecord& c = s.readings[r];
      if (!IsVerb(c)) continue;
      if ((pass == 0 && IsIndicative(c) && IsPresentTense(c)) || (pass == 1 && IsIndicative(c)) || pass == 2) {
        chosen = r;
        break;
      }
    }
  if (chosen < 0) return false;
  // Only the chosen Verb reading stays beside the other classes' readings.
  TCategoryRecord kept[kSlotReadings] = {};
  int count = 0;
  for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r)
    if (!IsVerb(s.readings[r]) || r == chosen) kept[count++] = s.readings[r];
  for (int k = 0; k < kSlotReadings; ++k) s.readings[k] = kept[k];
  // Keeping every reading keeps them in their order.
  const bool changed = count - 1 != s.readingCount;
  s.readingCount = static_cast<int16_t>(count - 1);
  return changed;
}

namespace {

// The entry of a verb's infinitive in VerbIndex, or of an adjective in
// AdjectiveIndex, added when new; 0 when there is none.
uint32_t ComputeLexicalEntry(const char* word, const TCategoryRecord& c) {
  TStringHashIndex* index = nullptr;
  char name[kWordBufferSize] = {};
  if (IsAdjective(c)) {
    index = AdjectiveIndex;
    size_t n = 0;
    for (; word[n] && n < kWordBufferSize - 1; ++n)
      name[n] = static_cast<char>(ToLowerChar(static_cast<unsigned char>(word[n])));
    name[n] = 0;
  } else if (IsVerb(c) && VerbIndex && MainDictionary) {
    index = VerbIndex;
    char buffers[5][kWordBufferSize] = {};
    std::memcpy(buffers[0], word, ::strnlen(word, kWordBufferSize - 1));
    for (char* p = buffers[0]; *p; ++p) *p = static_cast<char>(ToLowerChar(static_cast<unsigned char>(*p)));
    if (!FindVerbInfinitive(c, buffers)) return 0;
    std::strcpy(name, buffers[0]);
  }
  if (!index || !name[0]) return 0;
  int entry = index->FindNameEntry(name);
  if (entry == 0 && index->AddNameIfAbsent(name)) entry = index->FindNameEntry(name);
  return entry > 0 ? static_cast<uint32_t>(entry) : 0;
}

}  // namespace

void TSegmentResolver::SetLexicalEntry(TWordSlot& s) {
  const TCategoryRecord& c = s.Category();
  if (!IsAdjective(c) && !IsVerb(c)) return;
  s.lexicalEntry = cache_ ? cache_->LexicalEntry(s.text, c, ComputeLexicalEntry) : ComputeLexicalEntry(s.text, c);
}

void TSegmentResolver::DisambiguateSpans() {
  // A first word alone before the mark is most likely a heading noun.
  if (count_ >= 2 && slots_[1].IsMark() && slots_[0].readingCount > 0) {
    for (int r = 0; r <= slots_[0].readingCount && r < kSlotReadings; ++r)
      if (IsSubstantive(slots_[0].readings[r])) {
        KeepReading(slots_[0], r);
        break;
      }
  }
  int start = 0;
  while (start < count_) {
    int end = start + 1;
    while (end < count_ && weakMarks_[end] == 0) ++end;
    windowFirst_ = start;
    windowLast_ = end - 1;
    if (++memoGeneration_ == 0) ++memoGeneration_;  // the choices remembered were another window's
    for (int i = start; i < end; ++i) {
      TWordSlot& s = slots_[i];
      if (s.empty || s.IsMark()) continue;
      if (s.readingCount > 0 || IsVerb(s.Category())) {
        // A remembered choice read every reading of its own slot.
        if (PreferVerbReading(i)) memo_[i].generation = 0;
        if (s.readingCount > 0) KeepReading(s, ChooseWithLookAhead(i));
        memo_[i].generation = 0;
      }
    }
    start = end;
  }
}

int TSegmentResolver::ChooseWithLookAhead(int i) {
  // The right context of slot i is read with the readings its ambiguous
  // followers would take: up to four of them are chosen first, the farthest
  // first, each seeing the choices after it; they are put back afterwards and
  // resolved in their turn with their own left context settled.
  int ahead[kLookAhead];
  int n = 0;
  for (int j = i + 1; j <= windowLast_ && j < count_ && n < kLookAhead; ++j) {
    const TWordSlot& t = slots_[j];
    if (t.IsMark()) break;
    if (!t.empty && t.readingCount > 0) ahead[n++] = j;
  }
  TCategoryRecord saved[kLookAhead];
  for (int k = n - 1; k >= 0; --k) {
    TWordSlot& t = slots_[ahead[k]];
    saved[k] = t.readings[0];
    t.readings[0] = t.readings[ChooseRemembered(ahead[k])];
  }
  const int chosen = ChooseRemembered(i);
  for (int k = 0; k < n; ++k) slots_[ahead[k]].readings[0] = saved[k];
  return chosen;
}

int TSegmentResolver::ChooseRemembered(int j) {
  // The choice reads every reading of slot j (which do not change while it
  // is remembered), the first reading of the two slots on each side, and of
  // the readings of the slot before only whether one is a participle: a
  // follower is chosen again for each word before it, mostly in the same
  // context.
  auto first = [this](int k) -> uint64_t {
    if (k < 0 || k > count_) return 0;
    // The record and the first two bytes of the next, which are dropped.
    static_assert(sizeof(TCategoryRecord) == 6 && kSlotReadings > 1);
    uint64_t v;
    std::memcpy(&v, &slots_[k].readings[0], sizeof v);
    return v & 0xFFFFFFFFFFFFull;
  };
  const TWordSlot* p = j > windowFirst_ && j > 0 ? &slots_[j - 1] : nullptr;
  // What is read further left: a verb in the window before, a modal before
  // the modalities (only for the words whose readings it can rule out).
  const TLeftContext left =
      ReadsLeftContext(slots_[j]) ? LeftContextOf(slots_, j, windowFirst_ <= j ? windowFirst_ : j) : TLeftContext{};
  const uint64_t context[6] = {first(j - 2),
                               first(j - 1),
                               first(j),
                               first(j + 1),
                               first(j + 2),
                               (p && IsVerb(p->Category()) && HasParticipleReading(*p) ? 1u : 0u) |
                                   (left.verbBefore ? 2u : 0u) | (left.modalBefore ? 4u : 0u)};
  TChoiceMemo& memo = memo_[j];
  uint64_t differs = memo.generation ^ memoGeneration_;
  for (int d = 0; d < 6; ++d) differs |= memo.context[d] ^ context[d];
  if (differs == 0) return memo.chosen;
  memo.generation = memoGeneration_;
  for (int d = 0; d < 6; ++d) memo.context[d] = context[d];
  memo.chosen = ChooseCategoryReading(j, true, true);
  return memo.chosen;
}

namespace {

// The hand-set weights of the choice of a word's category reading: what a
// reading gains or loses by the words around it, beside the matrix of class
// sequences. "In s": the word ends in s (a verb reading is then rather a
// plural noun's).
struct TCategoryWeights {
  int32_t start;  // every reading, before the cost of its rank
  // English rules on the word before: a verb reading...
  int32_t verbAfterNo;
  int32_t verbAfterTo, verbInSAfterTo;
  int32_t verbLast, verbInSLast;                        // ...of the last word of the window
  int32_t verbAfterParticiple, verbInSAfterParticiple;  // ...after a verb with a participle reading
  int32_t verbAfterAdjective;
  // The verb and substantive classes after a possessive or a personal pronoun.
  int32_t verbClassAfterPossessive, substantiveClassAfterPossessive;
  int32_t verbClassAfterPersonal;
  int32_t substantiveAfterAdjective;
  // A verb reading in s: first in the window, before a verb, after a verb.
  int32_t verbInSFirst, verbInSBeforeVerb, verbInSAfterVerb;
  int32_t substantiveInSLast;
  int32_t adjectiveBeforeSubstantive;
  // Any language: the class of the neighbour (a window of one word), a
  // capitalised word read as a name.
  int32_t sameClassBefore, sameClassAfter;
  int32_t capitalSubstantive;
};

constexpr TCategoryWeights kCategoryWeights = {
    .start = 10,
    .verbAfterNo = -50,
    .verbAfterTo = 35,
    .verbInSAfterTo = -30,
    .verbLast = -50,
    .verbInSLast = -75,
    .verbAfterParticiple = -35,
    .verbInSAfterParticiple = -50,
    .verbAfterAdjective = -35,
    .verbClassAfterPossessive = -55,
    .substantiveClassAfterPossessive = 40,
    .verbClassAfterPersonal = 20,
    .substantiveAfterAdjective = 35,
    .verbInSFirst = -55,
    .verbInSBeforeVerb = -40,
    .verbInSAfterVerb = -20,
    .substantiveInSLast = 25,
    .adjectiveBeforeSubstantive = 35,
    .sameClassBefore = 10,
    .sameClassAfter = 9,
    .capitalSubstantive = 70,
};

}  // namespace

// What the words around slot i give every reading alike, read once: the
// window, the English rules on the word before and after, and the rows of
// the matrix that the context selects (only the reading's class still picks
// the cell).
struct TSegmentResolver::TChoiceContext {
  int first = 0, last = 0;
  const TWordSlot* p = nullptr;  // the word before in the window
  const TWordSlot* n = nullptr;  // the word after
  bool endsInS = false;
  uint8_t excluded = 0;          // the readings the words around rule out (English)
  int32_t verbBonus = 0;         // a Verb reading after a word
  int32_t verbEndsInSBonus = 0;  // a Verb reading ending in s
  int32_t substantiveBonus = 0, adjectiveBonus = 0, classVerbBonus = 0, classSubstantiveBonus = 0;
  bool capitalBonus = false;
  bool connectorBonus = false;
  // The classes of the neighbours (-1 where a rule does not look).
  int sameBefore = -1, sameAfter = -1;
  // Left: a pair of classes before (T), or one (P); with its pronoun row.
  const int16_t* leftCells = nullptr;  // indexed by the reading's class
  const int16_t* leftPronoun = nullptr;
  // Right: the classes after, read with the reading's class first.
  int rightB = -1, rightD = -1;
  // Around: the class before and after.
  int aroundA = -1, aroundC = 0, aroundRow = -1;
};

int TSegmentResolver::ChooseCategoryReading(int i, bool useLeft, bool useRight) {
  if (i < 0 || i >= count_) return 0;
  const TWordSlot& s = slots_[i];
  if (s.readingCount <= 0) return 0;
  TChoiceContext c;
  c.first = windowFirst_ <= i ? windowFirst_ : i;
  c.last = windowLast_ >= i ? windowLast_ : i;
  if (i + 2 <= count_ && slots_[i + 2].IsMark() && c.last > i + 1) c.last = i + 1;
  if (i + 1 <= count_ && slots_[i + 1].IsMark()) c.last = i;
  c.p = i > c.first ? &slots_[i - 1] : nullptr;
  c.n = i < c.last ? &slots_[i + 1] : nullptr;
  c.endsInS = EndsInS(s.text, length_[i]);
  const bool english = English();
  if (english) {
    c.excluded = ExcludedReadings(slots_, count_, i, c.first, c.last);
    AddEnglishRules(i, c);
  }
  // A capitalised word is a name, unless it is read first as an adjective
  // and a common noun follows (the American people, a Federal program).
  c.capitalBonus = s.capitalisation == 1 && i > 0 &&
                   !(english && IsAdjective(s.readings[0]) && c.n && c.n->capitalisation == 0 &&
                     (IsSubstantive(c.n->Category()) || IsAdjective(c.n->Category())) &&
                     (i == 1 || slots_[i - 1].capitalisation == 0));
  c.connectorBonus = i == c.first;
  AddMatrixRows(i, useLeft, useRight, c);

  int best = 0;
  int32_t bestScore = INT32_MIN;
  for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r) {
    if (c.excluded & (1u << r)) continue;
    const int32_t score = ReadingScore(c, s.readings[r], r);
    if (score > bestScore) {
      bestScore = score;
      best = r;
    }
  }
  return best;
}

void TSegmentResolver::AddEnglishRules(int i, TChoiceContext& c) const {
  const TCategoryWeights& w = kCategoryWeights;
  if (const TWordSlot* p = c.p) {
    const TCategoryRecord& pc = p->Category();
    if (Is(*p, "no")) c.verbBonus += w.verbAfterNo;
    if (Is(*p, "to")) c.verbBonus += c.endsInS ? w.verbInSAfterTo : w.verbAfterTo;
    if (i == c.last) c.verbBonus += c.endsInS ? w.verbInSLast : w.verbLast;
    if (IsVerb(pc) && HasParticipleReading(*p))
      c.verbBonus += c.endsInS ? w.verbInSAfterParticiple : w.verbAfterParticiple;
    if (IsPossessivePronoun(pc)) {
      c.classVerbBonus += w.verbClassAfterPossessive;
      c.classSubstantiveBonus += w.substantiveClassAfterPossessive;
    }
    if (IsPersonalPronoun(pc)) c.classVerbBonus += w.verbClassAfterPersonal;
    if (IsAdjective(pc)) {
      c.substantiveBonus += w.substantiveAfterAdjective;
      c.verbBonus += w.verbAfterAdjective;
    }
  }
  if (c.endsInS) {
    if (i == c.first) c.verbEndsInSBonus += w.verbInSFirst;
    if (c.n && IsVerb(c.n->Category())) c.verbEndsInSBonus += w.verbInSBeforeVerb;
    if (c.p && IsVerb(c.p->Category())) c.verbEndsInSBonus += w.verbInSAfterVerb;
    if (i == c.last) c.substantiveBonus += w.substantiveInSLast;
  }
  if (c.n && IsSubstantive(c.n->Category())) c.adjectiveBonus += w.adjectiveBeforeSubstantive;
}

void TSegmentResolver::AddMatrixRows(int i, bool useLeft, bool useRight, TChoiceContext& c) const {
  const TDictionaryMatrix& m = DictionaryMatrix;
  const int first = c.first, last = c.last;
  if (first == last) {
    if (i > 0) c.sameBefore = ClassOf(i - 1);
    if (i + 1 < count_ && !slots_[i + 1].IsMark()) c.sameAfter = ClassOf(i + 1);
  }
  if (useLeft) {
    if (i - 2 >= first) {
      const int a = ClassOf(i - 2), b = ClassOf(i - 1);
      c.leftCells = m.T[a][b];
      if (a == kClassPronoun) c.leftPronoun = m.T5[PronounRow(slots_[i - 2].Category())][b];
    } else if (i - 1 >= first) {
      const int a = ClassOf(i - 1);
      c.leftCells = m.P[a];
      if (a == kClassPronoun) c.leftPronoun = m.P5[PronounRow(slots_[i - 1].Category())];
    }
  }
  if (useRight) {
    if (i + 2 <= last) {
      c.rightB = ClassOf(i + 1);
      c.rightD = ClassOf(i + 2);
    } else if (i + 1 <= last) {
      c.rightB = ClassOf(i + 1);
    }
  }
  if (useLeft && useRight && i - 1 >= first && i + 1 <= last) {
    c.aroundA = ClassOf(i - 1);
    c.aroundC = ClassOf(i + 1);
    if (c.aroundA == kClassPronoun) c.aroundRow = PronounRow(slots_[i - 1].Category());
  }
}

int32_t TSegmentResolver::ReadingScore(const TChoiceContext& ctx, const TCategoryRecord& c, int r) const {
  const TCategoryWeights& w = kCategoryWeights;
  const TDictionaryMatrix& m = DictionaryMatrix;
  const int cls = MatrixClass(c);
  const bool verb = IsVerb(c), substantive = IsSubstantive(c);
  int32_t score = w.start - Tuning.laterReadingCost * r;
  if (ctx.connectorBonus && IsConnector(c)) score += m.W0;
  if (cls == ctx.sameBefore) score += w.sameClassBefore;
  if (cls == ctx.sameAfter) score += w.sameClassAfter;
  if (ctx.capitalBonus && substantive) score += w.capitalSubstantive;
  if (ctx.p && verb) score += ctx.verbBonus;
  if (ctx.endsInS && verb) score += ctx.verbEndsInSBonus;
  if (substantive) score += ctx.substantiveBonus;
  if (IsAdjective(c)) score += ctx.adjectiveBonus;
  if (cls == kClassVerb) score += ctx.classVerbBonus;
  if (cls == kClassSubstantive) score += ctx.classSubstantiveBonus;
  if (ctx.leftCells) {
    score += ctx.leftCells[cls];
    if (ctx.leftPronoun) score += ctx.leftPronoun[cls];
  }
  if (ctx.rightD >= 0) {
    score += m.T[cls][ctx.rightB][ctx.rightD];
    if (cls == kClassPronoun) score += m.T5[PronounRow(c)][ctx.rightB][ctx.rightD];
  } else if (ctx.rightB >= 0) {
    score += m.P[cls][ctx.rightB];
    if (cls == kClassPronoun) score += m.P5[PronounRow(c)][ctx.rightB];
  }
  if (ctx.aroundA >= 0) {
    score += m.T[ctx.aroundA][cls][ctx.aroundC];
    if (ctx.aroundRow >= 0) score += m.T5[ctx.aroundRow][cls][ctx.aroundC];
  }
  return score;
}

bool TSegmentResolver::VerbFollows(int i) const {
  for (int j = i; j < count_; ++j) {
    if (j > i && weakMarks_[j] > 0) return false;
    if (IsVerb(slots_[j].Category()) && !slots_[j].IsMark()) return true;
  }
  return false;
}

bool TSegmentResolver::ConnectorMayCut(int i, int words, int first) const {
  const TCategoryRecord& c = slots_[i].Category();
  if (IsComparisonConnector(c)) return false;
  if (IsAdditionConnector(c) && i > 0 && i + 1 < count_ && IsAdjective(slots_[i - 1].Category()) &&
      IsAdjective(slots_[i + 1].Category()))
    return false;
  if (words <= 2)
    for (int j = first; j < i; ++j)
      if (IsVerb(slots_[j].Category())) return false;
  return true;
}

void TSegmentResolver::CutPropositions() {
  int subjects = 0, verbs = 0, objects = 0, words = 0;
  bool complete = false;
  bool cut = false;
  int first = 0;
  for (int i = 0; i < count_; ++i) {
    const TWordSlot& s = slots_[i];
    if (s.IsMark()) break;
    const TCategoryRecord& c = s.Category();
    bool start = false;
    if (weakMarks_[i] > 0 && complete && VerbFollows(i)) {
      start = true;
    } else if (words > 1) {
      if (IsConnector(c)) {
        if (i < count_ - 3 && complete && VerbFollows(i) && ConnectorMayCut(i, words, first)) start = true;
        ++weakMarks_[i];
      }
      if (!start && weakMarks_[i] >= 2 && i < count_ - 4) start = true;
    }
    if (start && i > 0) {
      propositionStart_[i] = 1;
      subjects = verbs = objects = words = 0;
      complete = false;
      cut = true;
      first = i;
    }
    if (IsVerb(c)) ++verbs;
    else if (IsPronoun(c) && (IsPersonalPronoun(c) || IsDeixis(c))) ++subjects;
    else if (IsSubstantive(c) || IsAdjective(c)) (verbs == 0 ? subjects : objects)++;
    ++words;
    complete = verbs > 0 && (subjects > 0 || objects > 0);
  }
  if (!cut && count_ > 0) propositionStart_[count_ - 1] = 1;
}

bool TSegmentResolver::AppendWord(const char* text, size_t length, const char* tag, uint32_t entry,
                                  const TWordCategoryData& data, const char* gap, const char* written) {
  // A failure is the caller's to report: the resolving may be on another thread.
  return TextWords.Append(
      text, length, tag, entry, static_cast<uint16_t>(LoaderState.fileNumber), wordNumber_, &data,
      TWrittenText{::strnlen(gap, kSlotGapSize), gap, ::strnlen(written, kSlotWrittenSize), written});
}

bool TSegmentResolver::AppendProposition(TWordSlot* slots, const uint8_t* length, int first, int last, int next) {
  // The closing punctuation: what closes the proposition in the tag of the
  // final mark, or of the word that starts the next proposition.
  TWordSlot* closer = slots[last].IsMark() ? &slots[last] : (next >= 0 ? &slots[next] : nullptr);
  char closing[kSlotTagSize] = {};
  if (closer) {
    char rest[kSlotTagSize] = {};
    int nc = 0, nr = 0;
    bool restHasPunctuation = false;
    for (const char* c = closer->tag; *c && nc < kSlotTagSize - 1; ++c) {
      if (HasRole(*c, kClosesProposition)) {
        closing[nc++] = *c;
      } else {
        rest[nr++] = *c;
        restHasPunctuation = restHasPunctuation || *c != ' ';
      }
    }
    // A mark keeps the whole of what closes its proposition, as written
    // ("(at home). The": the mark carries ")."); only a word gives away
    // the part of its tag that closes the proposition before it.
    if (closer == &slots[last] && nc && restHasPunctuation) closing[0] = '\0';
    else std::strcpy(closer->tag, nr ? rest : " ");
  }
  bool marked = false;
  int content = 0;
  for (int i = first; i <= last; ++i) {
    TWordSlot& s = slots[i];
    if (s.empty || !s.text[0]) continue;
    const bool mark = s.IsMark();
    if (Borders.inUse && !mark) {
      int filters = 0;
      if (LookupBorder(s.text, filters)) {
        excluding_ = filters == 1;
        if (!showBorders_) continue;
      } else if (excluding_) {
        continue;
      }
    } else if (excluding_ && mark) {
      ++filteredPropositions_;
      ++RunCounts.filteredPropositions;
      continue;
    }
    TWordCategoryData data;
    if (!mark) data.Category = s.Category();
    data.Category.Spare = 0;
    data.ClassMark = s.flag;
    data.Capitalisation = s.capitalisation;
    data.SlotFlag = s.quotePosition;
    const char* tag = s.tag;
    if (mark) {
      ++counts_->propositions;
      marked = true;
      if (closing[0] && std::strcmp(tag, " ") == 0) tag = closing;
    } else {
      ++wordNumber_;
      ++counts_->words;
    }
    const std::string_view text(s.text, length[i]);
    if (!AppendWord(text.data(), text.size(), tag, mark ? 0 : s.lexicalEntry, data, s.gap, s.written)) return false;
    CountCategory(text, data.Category, data.ClassMark);
    if (!mark && (IsSubstantive(data.Category) || IsAdjective(data.Category)) && ++content >= kContentWordsPerMark &&
        last - i > 2) {
      ++counts_->propositions;
      if (!AppendWord("/", 1, " ", 0, TWordCategoryData{})) return false;
      CountProposition();
      content = 0;
    }
  }
  if (!marked && !excluding_) {
    ++counts_->propositions;
    if (!AppendWord("/", 1, closing[0] ? closing : " ", 0, TWordCategoryData{})) return false;
    CountProposition();
  }
  return true;
}

}  // namespace quilor
