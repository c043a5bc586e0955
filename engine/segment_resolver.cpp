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
#include "engine/run_flags.h"
#include "core/options.h"
#include "engine/slot_readings.h"
#include "engine/word_list.h"
#include "engine/word_lookup_cache.h"
#include "import/text_loader.h"

namespace quilor {

TSegmentCounts SegmentCounts;

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

bool HasParticipleReading(const TWordSlot& s) {
  for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r)
    if (IsVerb(s.readings[r]) && IsParticiple(s.readings[r])) return true;
  return false;
}

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
  SegmentCounts = {};
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

namespace {

// A subject pronoun, or a relative read as one, is followed by its verb
// (she lives, it costs, who plays, which means).
// A modal, whatever reading the token rules gave it (can and may are set
// as plain verbs).
bool IsModalWord(const TWordSlot& s) {
  static const char* const kModals[] = {"can", "could", "may", "might", "must", "shall", "should", "will", "would"};
  for (const char* m : kModals)
    if (Is(s, m)) return true;
  return false;
}

// Whether one of the slot's noun readings carries the lexicon's mark
// (kSpareNamesAlone, kSpareSeldomVerb).
bool NounMarked(const TWordSlot& s, uint8_t mark) {
  for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r)
    if (IsSubstantive(s.readings[r]) && (s.readings[r].Spare & mark)) return true;
  return false;
}

// Two words alike but for their case.
bool SameWord(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (ToLowerChar(static_cast<unsigned char>(*a)) != ToLowerChar(static_cast<unsigned char>(*b))) return false;
  return *a == *b;
}

bool IsFiniteBeOrHave(const TWordSlot& s) {
  return IsVerb(s.Category()) && IsFormOfBeOrHave(s) && !Is(s, "be") && !Is(s, "been") && !Is(s, "being") &&
         !Is(s, "having");
}

// A verb in s before a singular is, was or has, which it agrees with as
// their clause's verb (the thing that counts is, what matters is); a noun
// in s (news, gas, analysis, status, process) or a name is no such verb.
bool VerbInSBeforeSingular(const TWordSlot& s, const TWordSlot& n) {
  const std::string_view w(s.text);
  return s.capitalisation == 0 && EndsInS(s.text) && !w.ends_with("us") && !w.ends_with("is") && !w.ends_with("as") &&
         (Is(n, "is") || Is(n, "was") || Is(n, "has"));
}

// Whether the word s after a relative and before n is the relative
// clause's subject: before a modal or a finite form of be or have (the
// fact that man is, a fear which man cannot endure, a notion which parts
// are). Not after "who", itself the subject (people who smoke are), nor
// for a verb in s that agrees with a singular be or have after it (a dog
// that barks has).
bool SubjectAfterRelative(const TWordSlot& relative, const TWordSlot& s, const TWordSlot* n) {
  if (!n || !IsRelativePronoun(relative.Category()) || Is(relative, "who")) return false;
  if (IsModal(*n)) return true;
  return IsFiniteBeOrHave(*n) && !VerbInSBeforeSingular(s, *n);
}

// A noun that is plural, by its s or by its form (people, men).
bool IsPluralNoun(const TWordSlot& s) {
  return IsPlural(s.text) || Is(s, "people") || Is(s, "children") || Is(s, "men") || Is(s, "women") || Is(s, "police");
}

bool IsSubjectWord(const TWordSlot& s) {
  const TCategoryRecord& c = s.Category();
  if (IsRelativePronoun(c)) return Is(s, "who") || Is(s, "which");
  if (!IsPersonalPronoun(c)) return false;
  return IsSubjectOnly(s) || Is(s, "it") || Is(s, "you") || Is(s, "one");
}

}  // namespace

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
      ReadsLeftContext(slots_[j]) ? LeftContextOf(j, windowFirst_ <= j ? windowFirst_ : j) : TLeftContext{};
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
    c.excluded = ExcludedReadings(i, c.first, c.last);
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

TSegmentResolver::TLeftContext TSegmentResolver::LeftContextOf(int i, int first) const {
  TLeftContext c;
  // A verb of the same clause: a connector or a relative begins another (the
  // fact that many churches drop).
  for (int k = i - 1; k >= first && !c.verbBefore; --k) {
    const TCategoryRecord& r = slots_[k].Category();
    if (IsConnector(r) || IsRelativePronoun(r)) break;
    c.verbBefore = IsVerb(r);
  }
  // The word before, past the modalities (will not report, can also help).
  int b = i - 1;
  while (b > first && IsModality(slots_[b].Category()) && !IsVerb(slots_[b].Category())) --b;
  c.modalBefore = b >= first && b < i && IsModal(slots_[b]);
  return c;
}

bool TSegmentResolver::ReadsLeftContext(const TWordSlot& s) {
  bool verb = false, other = false;
  for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r) {
    verb |= IsVerb(s.readings[r]);
    other |= IsSubstantive(s.readings[r]) || IsAdjective(s.readings[r]);
  }
  return verb && other;
}

uint8_t TSegmentResolver::ExcludedReadings(int i, int first, int last) const {
  const TWordSlot& s = slots_[i];
  bool base = false, finite = false, substantive = false;
  for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r) {
    const TCategoryRecord& c = s.readings[r];
    base |= IsBaseVerb(c);
    finite |= IsVerb(c) && !IsParticiple(c);
    substantive |= IsSubstantive(c);
  }
  const TWordSlot* p = i > first ? &slots_[i - 1] : nullptr;
  const TWordSlot* n = i < last && !slots_[i + 1].IsMark() ? &slots_[i + 1] : nullptr;
  auto out = [&s](bool (*test)(const TCategoryRecord&)) {
    uint8_t mask = 0;
    for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r)
      if (test(s.readings[r])) mask |= static_cast<uint8_t>(1u << r);
    return mask;
  };
  auto finiteVerb = [](const TCategoryRecord& c) { return IsVerb(c) && !IsParticiple(c); };
  auto noun = [](const TCategoryRecord& c) { return IsSubstantive(c); };
  auto nounOrAdjective = [](const TCategoryRecord& c) { return IsSubstantive(c) || IsAdjective(c); };
  auto verbOrAdjective = [](const TCategoryRecord& c) { return IsVerb(c) || IsAdjective(c); };
  auto verb = [](const TCategoryRecord& c) { return IsVerb(c); };
  auto verbOrPreposition = [](const TCategoryRecord& c) { return IsVerb(c) || IsDeterminant(c); };
  auto verbOrAdjectiveOrPreposition = [](const TCategoryRecord& c) {
    return IsVerb(c) || IsAdjective(c) || IsDeterminant(c);
  };
  // Today, tonight, tomorrow and yesterday tell when, and no word
  // describes them (offered to the public today).
  const bool nounFollows = n && (IsSubstantive(n->Category()) || IsAdjective(n->Category())) && !Is(*n, "today") &&
                           !Is(*n, "tonight") && !Is(*n, "tomorrow") && !Is(*n, "yesterday");
  // A finite form of be or have follows (people were, experience is).
  const bool beforeBeOrHave = n && IsFiniteBeOrHave(*n);

  // Nothing follows that the word could describe (the past few years: few).
  const bool describes = nounFollows || (n && IsDeterminantVariant(n->Category()) && !IsArticleOrPossessive(*n));
  const bool namesAlone = NounMarked(s, kSpareNamesAlone), seldomVerb = NounMarked(s, kSpareSeldomVerb);
  // "may" in lower case before a bare verb, past the modalities, is the
  // modal and no tree (the individual may be, the public may still emerge).
  if (substantive && Is(s, "may") && s.capitalisation == 0) {
    int k = i + 1;
    while (k <= last && !slots_[k].IsMark() && IsModality(slots_[k].Category()) && !IsVerb(slots_[k].Category())) ++k;
    if (k <= last && !slots_[k].IsMark() && HasBaseVerb(slots_[k])) return out(noun);
  }
  if (p && substantive && IsArticleOrPossessive(*p)) {
    // After an article or a possessive, a word that can name names when
    // nothing it describes follows (on the left of, the beginning of, its
    // meaning, in the past, the outside; but the past few years), unless it
    // is read first as an adjective that the lexicon does not mark as naming
    // alone (the poor; but the public); no finite verb in any case (the will;
    // the healing hand).
    if (describes) return out(finiteVerb);
    // A word that names alone still describes beside another word that
    // does, before what they both describe: after a comma (a good, firm
    // hand) or "and" or "or" (a good or bad poet; but the good and evil of).
    auto describesWith = [&](int k) {
      return k + 1 <= count_ && !slots_[k].IsMark() && !slots_[k + 1].IsMark() && AnyReading(slots_[k], IsAdjective) &&
             AnyReading(slots_[k + 1], IsSubstantive);
    };
    if (namesAlone && ((i == last && i + 1 < count_ && slots_[i + 1].tag[0] == ',' && describesWith(i + 1)) ||
                       (n && IsAndOr(*n) && i + 2 <= last && describesWith(i + 2))))
      return out(finiteVerb);
    return out(IsAdjective(s.readings[0]) && !namesAlone ? verbOrPreposition : verbOrAdjectiveOrPreposition);
  }
  // After an article or a possessive, the words describing it, and a word
  // that names alone (the public, the individual), a form read first as a
  // finite verb in s or in the past, or a modal, is that word's verb, and
  // the word before it names (the public buys, the individual knows, the
  // public sent, the public may, the American public cares); a bare form
  // may still be the noun it describes (a close look), and so may a form
  // before a modal or a finite be or have (the standard bores were).
  if (p && finite && (substantive || IsAdjective(s.readings[0])) && i - 2 >= first && IsVerb(s.readings[0]) &&
      !IsParticiple(s.readings[0]) && (EndsInS(s.text) || IsPastTense(s.readings[0]) || IsModal(s)) &&
      !beforeBeOrHave && !(n && IsModal(*n))) {
    int b = i - 2;
    while (b > first && (IsAdjective(slots_[b].Category()) || IsPresentParticiple(slots_[b].Category()))) --b;
    if (NounMarked(*p, kSpareNamesAlone) && IsArticleOrPossessive(slots_[b])) return out(nounOrAdjective);
  }
  // After an article, a possessive, a determiner or a preposition and an
  // adjective, a word that can name is no finite verb (the young set, on the
  // one hand, its main use); a number after a determiner may be the subject
  // (all three pay).
  if (p && substantive && finite && i - 2 >= first && IsAdjective(p->Category())) {
    const TWordSlot& b = slots_[i - 2];
    if (IsArticleOrPossessive(b) ||
        (!IsNumeralAdjective(p->Category()) && (IsDeterminantVariant(b.Category()) || IsDeterminant(b.Category()))))
      return out(finiteVerb);
  }
  // So too after an article or a possessive and a word read as a modality
  // that describes it (the only issue, the far end, the very center), and
  // after a determiner and an -ing form (the growing need, no pressing
  // need); a modal stays one (the latter can).
  if (p && substantive && finite && i - 2 >= first && !IsModalWord(s) && !Is(s, "do")) {
    const TCategoryRecord& pc = p->Category();
    const TWordSlot& b = slots_[i - 2];
    if ((IsModality(pc) && !IsVerb(pc) && IsArticleOrPossessive(b)) ||
        (IsVerb(pc) && IsPresentParticiple(pc) && (IsArticleOrPossessive(b) || IsDeterminantVariant(b.Category()))))
      return out(finiteVerb);
  }
  // A word the lexicon marks as naming alone names after a determiner or
  // a word describing it when nothing it could describe follows (the
  // reading public, each individual in the room); before a noun, an
  // adjective or "and" it still describes (public safety, public and
  // private), and after a verb it is said of something (is worth).
  if (p && substantive && namesAlone && !describes && !(n && IsConnector(n->Category())) &&
      (IsDeterminantVariant(p->Category()) || IsAdjective(p->Category()) || IsParticiple(p->Category())))
    return out(verbOrAdjectiveOrPreposition);
  // So too after "and" or "or" joining it to a noun (the press and public,
  // artist or public), and after a word that can describe or an -ing form
  // read as a noun (the traveling public, his reading public, the young
  // female public of): before "and" it names when what follows cannot
  // describe (the press and public and its critics; but the press and
  // public and private bodies). After a bare preposition it may be an
  // adjective standing alone as well (in general, in uniform, in public).
  if (p && substantive && namesAlone && !describes) {
    const TCategoryRecord& pc = p->Category();
    const bool joined = IsAndOr(*p) && i - 2 >= first && IsSubstantive(slots_[i - 2].Category());
    const bool described = IsSubstantive(pc) && i - 2 >= first &&
                           (AnyReading(*p, IsAdjective) || std::string_view(p->text).ends_with("ing")) &&
                           (IsArticleOrPossessive(slots_[i - 2]) || IsDeterminantVariant(slots_[i - 2].Category()) ||
                            IsAdjective(slots_[i - 2].Category()));
    const bool pairedWithDescribing =
        n && IsConnector(n->Category()) &&
        (!IsAndOr(*n) || i + 2 > last || slots_[i + 2].IsMark() || AnyReading(slots_[i + 2], IsAdjective));
    if ((joined || described) && !pairedWithDescribing) return out(verbOrAdjectiveOrPreposition);
  }
  // Two words that can name, joined by "and" or "or" after a preposition
  // other than "to", name when nothing follows them that they could
  // describe (of right and wrong, beyond good and evil, between light and
  // dark; but of red and white peppers, to buy or sell).
  if (p && substantive) {
    auto endsPhrase = [&](int k) {
      if (k > last || slots_[k].IsMark()) return true;
      const TWordSlot& w = slots_[k];
      return !IsAndOr(w) && !AnyReading(w, IsSubstantive) && !AnyReading(w, IsAdjective) && !HasParticipleReading(w);
    };
    auto preposition = [](const TWordSlot& w) { return IsDeterminant(w.Category()) && !Is(w, "to"); };
    // A word read first as a noun or an adjective that is no number.
    auto names = [](const TWordSlot& w) {
      const TCategoryRecord& c = w.readings[0];
      return !w.IsMark() && AnyReading(w, IsSubstantive) && (IsSubstantive(c) || IsAdjective(c)) &&
             !IsNumeralAdjective(c);
    };
    const bool firstOfPair =
        preposition(*p) && n && IsAndOr(*n) && i + 2 <= last && names(slots_[i + 2]) && endsPhrase(i + 3);
    const bool secondOfPair =
        IsAndOr(*p) && i - 3 >= first && names(slots_[i - 2]) && preposition(slots_[i - 3]) && endsPhrase(i + 1);
    if (names(s) && (firstOfPair || secondOfPair))
      return out([](const TCategoryRecord& c) { return !IsSubstantive(c); });
  }
  // A bare form after a singular noun names (the fashion show of, the
  // Wilmington show., a flower show and): a singular noun is the subject
  // of no bare verb. So too after "and" or "or" joining it to a noun (the
  // annual dinner and show of). Not where a word before the noun's phrase
  // asks for a bare verb (can the public see, let the music move, that the
  // community help, to hear the librarian say; "to" right before it is a
  // preposition: went to the fashion show of), after "and" (the church and
  // university help), after a plural the phrase hangs on (polls of public
  // opinion show), nor for a form that is also a past. It names only
  // before what ends a noun's phrase and no verb takes: the clause's end,
  // "of", "and" or "or", a modal or a verb read first in s or in the past
  // (the show will, the show opened; but the committee set a date, set
  // out, the plane put down on).
  const bool endsNounPhrase =
      !n || Is(*n, "of") || IsAndOr(*n) || IsModal(*n) || IsModalWord(*n) || IsFiniteBeOrHave(*n) ||
      (IsVerb(n->readings[0]) && !IsParticiple(n->readings[0]) && (IsPastTense(n->readings[0]) || EndsInS(n->text)));
  // (So does an -ing form: consumer spending edged, street cleaning is;
  // a form with no noun reading stays the verb: a group consisting of.)
  const bool ingForm = std::string_view(s.text).ends_with("ing") && AnyReading(s, IsPresentParticiple);
  if (p && substantive && (base || ingForm) && endsNounPhrase && !EndsInS(s.text) && !IsModalWord(s) && !Is(s, "do") &&
      !Is(s, "need") && !AnyReading(s, IsPastTense)) {
    const bool joined = IsAndOr(*p);
    const int head = joined ? i - 2 : i - 1;
    if (head >= first && IsSubstantive(slots_[head].Category()) && !IsPluralNoun(slots_[head]) &&
        (joined || !IsPersonalPronoun(slots_[head].Category()))) {
      int k = head;
      while (k - 1 >= first) {
        const TWordSlot& w = slots_[k - 1];
        const TCategoryRecord& c = w.Category();
        if (!(IsArticleOrPossessive(w) || IsDeterminantVariant(c) || IsAdjective(c) || IsSubstantive(c) ||
              IsParticiple(c)) ||
            IsPersonalPronoun(c))
          break;
        --k;
      }
      // The verbs that take a noun and a bare verb after it (let the music
      // move, hear the librarian say, had a bakery make buns).
      static const char* const kNounAndVerb[] = {"see",     "sees", "saw",  "hear", "hears", "heard", "watch",
                                                 "watched", "feel", "felt", "have", "has",   "had"};
      bool asked = false;
      if (k - 1 >= first) {
        const TWordSlot& before = slots_[k - 1];
        const TCategoryRecord& c = before.Category();
        asked = IsModal(before) || IsModalWord(before) || TakesBareVerb(before) || Is(before, "that") ||
                IsAndOr(before) || IsRelativePronoun(c) ||
                (Is(before, "of") && k - 2 >= first && IsSubstantive(slots_[k - 2].Category()) &&
                 IsPluralNoun(slots_[k - 2]));
        for (const char* v : kNounAndVerb) asked |= Is(before, v);
      }
      if (!asked) return out(ingForm ? verb : finiteVerb);
    }
  }
  // After "to", a form in s that can name is a plural noun (come to grips
  // with, alert to changes in); to focus, to discuss stay verbs.
  if (p && substantive && finite && Is(*p, "to") && EndsInS(s.text) && !std::string_view(s.text).ends_with("us"))
    return out(verb);
  // After "to", a word that repeats the one before "to" names (face to
  // face, end to end), and so does a capitalised word after a lower-case
  // "to" (pursuant to Section 5, a threat to Church and State).
  if (p && substantive && finite && Is(*p, "to") &&
      ((s.capitalisation == 1 && p->capitalisation == 0) || (i - 2 >= first && SameWord(slots_[i - 2].text, s.text))))
    return out(verb);
  // Need, whose verb the lexicon reads as a modal, names before a
  // preposition other than "to" unless a subject or a modal stands before
  // it (the need for, Need for novelty; but what you need for the trip,
  // most people need over eight hours: a plural noun right before it that
  // does not own it is its subject).
  if (substantive && finite && n && IsDeterminant(n->Category()) && !Is(*n, "to") && Is(s, "need")) {
    int b = i - 1;
    while (b > first && IsModality(slots_[b].Category()) && !IsVerb(slots_[b].Category())) --b;
    // At the clause's first word nothing stands before it (b is first - 1).
    bool asked = false;
    if (b >= first) {
      const TWordSlot& before = slots_[b];
      const bool pluralSubject =
          b == i - 1 && s.tag[0] != '\'' && IsSubstantive(before.Category()) && IsPluralNoun(before);
      asked = IsSubjectWord(before) || IsSubjectOnly(before) || IsModal(before) || IsModalWord(before) ||
              IsRelativePronoun(before.Category()) || pluralSubject;
    }
    if (!asked) return out(verb);
  }
  // A word the lexicon marks as seldom a verb (people, school, part) is no
  // finite verb unless its clause asks for one.
  if (substantive && finite && seldomVerb && !AsksForVerb(i, first, last)) return out(finiteVerb);
  if (!ReadsLeftContext(s)) return 0;
  const TLeftContext left = LeftContextOf(i, first);

  if (p) {
    if (IsArticleOrPossessive(*p)) {
      if (finite) return out(finiteVerb);
      return 0;
    }
    // After a preposition other than to, no finite verb; a word read first
    // as one names when nothing it describes follows (from left to right).
    if (IsDeterminant(p->Category()) && !Is(*p, "to") && substantive && finite) {
      if (IsVerb(s.readings[0]) && !IsParticiple(s.readings[0]) && !nounFollows) return out(verbOrAdjective);
      return out(finiteVerb);
    }
    // After a preposition and "which" or "whose", the subject of the clause
    // they open, or what they determine: no verb yet (in which case, into
    // which man is put).
    if (substantive && finite && i - 2 >= first && IsDeterminant(slots_[i - 2].Category()) &&
        (Is(*p, "which") || Is(*p, "whose")))
      return out(finiteVerb);
    // After a verb, a word that can name before "of" is that verb's object
    // (make use of, have need of, take care of).
    if (substantive && base && n && Is(*n, "of") && IsVerb(p->Category()) && !IsModal(*p) && !IsModalWord(*p))
      return out(verb);
    // After a finite verb that is no auxiliary (nor the piece of one: we'll
    // see), a word that can name is its object, no second verb (took place,
    // exercises control, seek work), unless the verb takes a bare verb after
    // it (help pay, let go) or ends a clause that describes the noun before
    // its subject (the land he desired lay).
    const bool describesNoun =
        i - 3 >= first && IsSubjectWord(slots_[i - 2]) && IsSubstantive(slots_[i - 3].Category());
    if (substantive && finite && IsFiniteVerb(p->Category()) && !IsAuxiliary(p->Category()) && p->tag[0] != '\'' &&
        !IsModalWord(*p) && !IsModalWord(s) && !Is(s, "do") && !TakesBareVerb(*p) && !describesNoun)
      return out(finiteVerb);
    // After a subject, the verb (they report, it costs, the years that
    // totals); but the word after a relative may be the clause's subject
    // (SubjectAfterRelative: the fact that man is).
    const bool subjectFollows = SubjectAfterRelative(*p, s, n);
    if (substantive && finite &&
        ((IsSubjectWord(*p) && !subjectFollows) ||
         (Is(*p, "that") && IsRelativePronoun(p->Category()) && i - 2 >= first &&
          IsSubstantive(slots_[i - 2].Category()) && !subjectFollows)))
      return out(noun);
  }
  // After a modal, the bare verb (may rain, will not report).
  if (base && substantive && left.modalBefore) return out(noun);
  // After "to", the verb, unless a noun or nothing follows (to share in, to
  // reach the city, to color and paint; but back to work, to school.).
  // (Also after an expression of goal that ends in it: in order to care.)
  const bool afterTo =
      p && (Is(*p, "to") || (IsConnector(p->Category()) && std::string_view(p->text).ends_with("_to")));
  if (base && afterTo && n) {
    const TCategoryRecord& nc = n->Category();
    bool verbFollows = !IsSubstantive(nc) && !Is(*n, "of") && !IsAdditionConnector(nc);
    if (IsAdditionConnector(nc) && i + 2 <= last && !slots_[i + 2].IsMark()) verbFollows |= HasBaseVerb(slots_[i + 2]);
    if (verbFollows) return out(nounOrAdjective);
  }
  if (substantive && IsVerb(s.readings[0]) && !IsParticiple(s.readings[0]) && p && IsSubstantive(p->Category()) &&
      !left.verbBefore) {
    // A clause's only word that can be a verb, read first as one, after its
    // subject is that verb (The cat sleeps.).
    bool otherVerb = false;
    for (int k = i + 1; k <= last && !otherVerb; ++k)
      for (int r = 0; r <= slots_[k].readingCount && r < kSlotReadings; ++r) otherVerb |= IsVerb(slots_[k].readings[r]);
    if (!otherVerb) return out(noun);
  }
  if (substantive && finite && n) {
    // Before a modal, no finite verb (this Chicago show should).
    if (IsModal(*n) && !IsModal(s)) return out(finiteVerb);
    // Nor before a finite form of be or have (the gas people were, that
    // experience is), unless a subject or "to" stands before it (what I
    // thought was, all he had to do was) or it is a verb in s that agrees
    // with it (what matters is).
    if (beforeBeOrHave && !IsModalWord(s) && !Is(s, "do") && !VerbInSBeforeSingular(s, *n) &&
        !(p && (IsSubjectWord(*p) || IsSubjectOnly(*p) || Is(*p, "to"))))
      return out(finiteVerb);
    if (p && !left.verbBefore) {
      const TCategoryRecord& pc = p->Category();
      // A noun's first verb before its object (the plant costs the company,
      // Theorem 12 says that), and a plural noun's (many churches drop from
      // the rolls, unions stress benefits).
      const bool subject = IsSubstantive(pc) || IsNumeralAdjective(pc);
      bool reports = false;
      for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r)
        reports |= IsReflexive(s.readings[r]) || HasVerbKind(s.readings[r], 4);
      if (subject && (IsArticleOrPossessive(*n) || (reports && Is(*n, "that")))) return out(noun);
      if (IsSubstantive(pc) && EndsInS(p->text) && p->capitalisation == 0 && base && !EndsInS(s.text) &&
          IsSubstantive(s.readings[0]))
        return out(noun);
    }
  }
  return 0;
}

bool TSegmentResolver::AsksForVerb(int i, int first, int last) const {
  const TWordSlot* n = i < last && !slots_[i + 1].IsMark() ? &slots_[i + 1] : nullptr;
  // What a verb takes after it: an object, or a particle (to sum up).
  const bool takes = n && (IsArticleOrPossessive(*n) || IsDeterminantVariant(n->Category()) ||
                           (IsPersonalPronoun(n->Category()) && !IsSubjectOnly(*n)) || Is(*n, "up") || Is(*n, "out") ||
                           Is(*n, "down") || Is(*n, "off"));
  // First in its clause, before what it takes, it may give an order (Order
  // a copy).
  if (i == first) return takes;
  // The word before, past the modalities (he shyly terms, did not question).
  int b = i - 1;
  while (b > first && IsModality(slots_[b].Category()) && !IsVerb(slots_[b].Category())) --b;
  const TWordSlot& before = slots_[b];
  // After a modal or do (will house them), after a subject (they man the
  // guns, who courts), and after a verb and "and" (makes and markets).
  // (It and you after a verb or a preposition are its object: made it part.)
  const bool object = b - 1 >= first && !IsSubjectOnly(before) && !IsRelativePronoun(before.Category()) &&
                      (IsVerb(slots_[b - 1].Category()) || IsDeterminant(slots_[b - 1].Category()));
  // (After a relative the word may be the clause's subject: which man
  // cannot, which parts are.)
  const bool subjectFollows = SubjectAfterRelative(before, slots_[i], n);
  if (IsModal(before) || IsModalWord(before) || (IsSubjectWord(before) && !object && !subjectFollows)) return true;
  if (b == i - 1 && IsAdditionConnector(before.Category()) && b - 1 >= first)
    return IsFiniteVerb(slots_[b - 1].Category());
  // After "to", before what it takes or another bare verb (to people the
  // land, to man the guns, to color and paint).
  if (b != i - 1 || !Is(before, "to")) return false;
  if (n && IsAdditionConnector(n->Category()) && i + 2 <= last && !slots_[i + 2].IsMark())
    return HasBaseVerb(slots_[i + 2]);
  return takes;
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
  const bool showBorders = CurrentRun.settings.showBorders;
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
        if (!showBorders) continue;
      } else if (excluding_) {
        continue;
      }
    } else if (excluding_ && mark) {
      ++filteredPropositions_;
      ++CurrentRun.filteredPropositions;
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
      ++SegmentCounts.propositions;
      marked = true;
      if (closing[0] && std::strcmp(tag, " ") == 0) tag = closing;
    } else {
      ++wordNumber_;
      ++SegmentCounts.words;
    }
    const std::string_view text(s.text, length[i]);
    if (!AppendWord(text.data(), text.size(), tag, mark ? 0 : s.lexicalEntry, data, s.gap, s.written)) return false;
    CountCategory(text, data.Category, data.ClassMark);
    if (!mark && (IsSubstantive(data.Category) || IsAdjective(data.Category)) && ++content >= kContentWordsPerMark &&
        last - i > 2) {
      ++SegmentCounts.propositions;
      if (!AppendWord("/", 1, " ", 0, TWordCategoryData{})) return false;
      CountProposition();
      content = 0;
    }
  }
  if (!marked && !excluding_) {
    ++SegmentCounts.propositions;
    if (!AppendWord("/", 1, closing[0] ? closing : " ", 0, TWordCategoryData{})) return false;
    CountProposition();
  }
  return true;
}

}  // namespace quilor
