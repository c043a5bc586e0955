#include "engine/segment_lookup.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "core/chartables.h"
#include "core/lexicon.h"
#include "core/options.h"
#include "engine/slot_readings.h"

namespace quilor {

namespace {

constexpr int kMaxJoinedLength = 78;

// The dictionary marks a word that may start a longer expression with bit 12,
// or with bit 7 on prepositions (class 6, subclass byte other than 1), whose
// bit 12 is the gerund flag.
bool HasLongerExpressionMark(TCategoryCode code) {
  const bool preposition = ((code >> 8) & 0x0F) == 6 && (code & 0xFF) != 1;
  return (code & (preposition ? 0x0080 : 0x1000)) != 0;
}

bool English() { return !GeneralState || GeneralState->Language == kLanguageEnglish; }

int Capitalisation(const char* w) {
  const unsigned char* u = reinterpret_cast<const unsigned char*>(w);
  if (!IsUpperCaseChar(u[0])) return 0;
  if (u[1] && IsUpperCaseChar(u[1])) return 2;
  if (u[1] == '&' && u[2] && IsUpperCaseChar(u[2])) return 2;
  return 1;
}

}  // namespace

void SetSlotTag(TWordSlot& s, const char* tag) {
  if (!tag || !tag[0]) tag = " ";
  const size_t n = ::strnlen(tag, kSlotTagSize - 1);
  std::memcpy(s.tag, tag, n);
  s.tag[n] = 0;
}

void SetSlotWritten(TWordSlot& s, std::string_view gap, std::string_view written) {
  gap = gap.substr(0, kSlotGapSize - 1);
  // An empty view may hold no pointer at all: memcpy must not be given it.
  if (!gap.empty()) std::memcpy(s.gap, gap.data(), gap.size());
  s.gap[gap.size()] = 0;
  if (written.size() >= kSlotWrittenSize) written = {};
  if (!written.empty()) std::memcpy(s.written, written.data(), written.size());
  s.written[written.size()] = 0;
}

namespace {
// A slot's word as written: its written form, or its text when it has none.
std::string_view WrittenWord(const TWordSlot& s) {
  return s.written[0] ? std::string_view(s.written, ::strnlen(s.written, kSlotWrittenSize))
                      : std::string_view(s.text, ::strnlen(s.text, kSlotTextSize));
}
}  // namespace

void JoinSlotWritten(TWordSlot* slots, int to, int last) {
  TWordSlot& s = slots[to];
  char joined[kSlotWrittenSize];
  const std::string_view first = WrittenWord(s);
  size_t length = first.size();
  bool fits = length < kSlotWrittenSize;
  if (fits) std::memcpy(joined, first.data(), length);
  for (int j = to + 1; j <= last && fits; ++j) {
    const TWordSlot& next = slots[j];
    if (next.empty || next.IsMark()) continue;
    const std::string_view gap(next.gap, ::strnlen(next.gap, kSlotGapSize));
    const std::string_view word = WrittenWord(next);
    fits = length + gap.size() + word.size() < kSlotWrittenSize;
    if (!fits) break;
    std::memcpy(joined + length, gap.data(), gap.size());
    std::memcpy(joined + length + gap.size(), word.data(), word.size());
    length += gap.size() + word.size();
  }
  // Too long to keep as written: the joined word is shown as its text.
  if (!fits) length = 0;
  std::memcpy(s.written, joined, length);
  s.written[length] = 0;
}

void MakeMarkSlot(TWordSlot& s) {
  s.gap[0] = 0;
  s.written[0] = 0;
  s.text[0] = '/';
  s.text[1] = 0;
  s.empty = 0;
  s.readingCount = 0;
  for (TCategoryRecord& r : s.readings) r = TCategoryRecord{};
}

void TSegmentLookup::Process(TWordSlot* slots, int count) {
  slots_ = slots;
  count_ = count;
  // The punctuation that closed the previous segment is not this word's.
  {
    char kept[kSlotTagSize] = {};
    int n = 0;
    for (const char* c = slots_[0].tag; *c && n < kSlotTagSize - 1; ++c)
      if (!std::strchr("!(),.:;?]}\xBB", *c)) kept[n++] = *c;
    // Blanks alone are no punctuation, however many the document had.
    SetSlotTag(slots_[0], std::strspn(kept, " ") == std::strlen(kept) ? " " : kept);
  }
  MakeMarkSlot(slots_[count_]);
  SetSlotTag(slots_[count_], " ");
  LookupSegmentWords();
  ResolveParticiples();
}

void TSegmentLookup::LookupSegmentWords() {
  for (int i = 0; i < count_; ++i)
    if (!slots_[i].empty && !slots_[i].IsMark()) cache_.Prefetch(slots_[i].text);
  for (int i = 0; i < count_; ++i)
    if (!slots_[i].empty) LookupReadings(slots_[i]);
  for (int i = 0; i < count_; ++i) {
    if (slots_[i].empty || slots_[i].IsMark()) continue;
    if (English()) ApplyEnglishRules(i);
    if (slots_[i].compound) JoinExpression(i);
  }
}

void TSegmentLookup::LookupReadings(TWordSlot& s) {
  s.readingCount = 0;
  s.compound = 0;
  // The dictionary's answer below fills every reading; marks and numbers
  // start from none.
  const bool number = !s.IsMark() && IsNumberWord(s.text);
  if (s.IsMark() || number)
    for (TCategoryRecord& r : s.readings) r = TCategoryRecord{};
  if (s.IsMark()) return;
  s.capitalisation = static_cast<uint8_t>(Capitalisation(s.text));
  const size_t length = std::strlen(s.text);
  // A number is a Numeral Adjective whatever else the dictionary says, and
  // may join the numbers after it.
  if (number) {
    SetNumeralAdjective(s.readings[0]);
    s.compound = 1;
    return;
  }
  TCategoryCode first = 0;
  const int n = cache_.WordReadings(s.text, s.readings, &first);
  // The dictionary marks exactly the first words of its expressions; a short
  // word it does not know may still start a glued or hyphenated form.
  s.compound = HasLongerExpressionMark(first) || (n == 0 && length < 3);
  // An unknown word keeps one empty reading, read as a Substantive.
  if (n == 0) return;
  s.readingCount = static_cast<int16_t>(n - 1);
  // A word written in lower case stands for no proper name: a reading the
  // dictionary marks as one comes after the next (a brown dog, I miss you).
  if (s.capitalisation == 0 && n >= 2 && IsSubstantive(s.readings[0]) && SubField3HasBit1(s.readings[0]) &&
      !SubField3HasBit0(s.readings[0])) {
    std::swap(s.readings[0], s.readings[1]);
    // The flag "another reading follows" stays with the place.
    const uint8_t a = s.readings[0].Flags & kFlagAmbiguous, b = s.readings[1].Flags & kFlagAmbiguous;
    s.readings[0].Flags = static_cast<uint8_t>((s.readings[0].Flags & ~kFlagAmbiguous) | b);
    s.readings[1].Flags = static_cast<uint8_t>((s.readings[1].Flags & ~kFlagAmbiguous) | a);
  }
  // A letter that is only a piece of a contraction stands for itself
  // (a Substantive) unless a quote stands before it.
  const TCategoryRecord& r0 = s.readings[0];
  if (length == 1 && (IsPronoun(r0) || IsDeterminant(r0) || IsDeterminantVariant(r0)) && SubField3IsOne(r0)) {
    if (std::strcmp(s.tag, "'") == 0) {
      const TCategoryRecord keep = r0;
      SingleReading(s, keep);
    } else {
      SetSingle(s, SetSubstantive);
    }
  }
}

void TSegmentLookup::ApplyEnglishRules(int i) {
  TWordSlot& s = slots_[i];
  const int pi = PreviousWordSlot(i);
  const int ni = NextWordSlot(i);
  TWordSlot* p = pi >= 0 ? &slots_[pi] : nullptr;
  TWordSlot* n = ni >= 0 ? &slots_[ni] : &slots_[count_];  // the final mark
  const bool quoted = std::strcmp(s.tag, "'") == 0;
  const char c0 = static_cast<char>(ToLowerChar(static_cast<unsigned char>(s.text[0])));
  const bool oneLetter = s.text[0] && !s.text[1];
  auto pIs = [&](bool (*test)(const TCategoryRecord&)) { return p && test(p->Category()); };
  auto nIs = [&](bool (*test)(const TCategoryRecord&)) { return n && !n->IsMark() && test(n->Category()); };

  if (oneLetter) {
    switch (c0) {
      case 'c':
        if (std::strcmp(n->tag, "++") == 0 && !n->IsMark()) {
          std::strcpy(s.text, "c++");
          SetSingle(s, SetSubstantive);
          SetSlotTag(*n, " ");
        } else if (n->tag[0] == '#') {
          std::strcpy(s.text, "c#");
          SetSingle(s, SetSubstantive);
        }
        return;
      case 'd':
        if (quoted && pIs(IsPronoun)) SetSingle(s, SetStativeVerb);
        return;
      case 'm':
        if (quoted && p && Is(*p, "i")) SetSingle(s, SetStativeVerb);
        return;
      case 'n':
        if (quoted) {
          const bool pronoun = pIs(IsPronoun);
          SetSingle(s, [&](TCategoryRecord& r) { SetConnector(r, pronoun ? 4 : 7); });
        } else if (std::strcmp(s.tag, ".") == 0) {
          SetSingle(s, SetSubstantive);
        } else {
          s.readingCount = 0;
        }
        return;
      case 's':
        if (!quoted) return;
        if (pIs(IsPronoun)) {
          SetSingle(s, SetStativeVerb);
          return;
        }
        SetSingle(s, SetFundamentalDeterminant);
        if (ni >= 0 && std::strcmp(n->tag, " ") == 0 && n->readingCount > 0 && !AnyReading(*n, IsAdjective))
          SetSingle(*n, SetSubstantive);
        if (p && AnyReading(*p, IsSubstantive)) SetSingle(*p, SetSubstantive);
        return;
      case 't':
        if (!quoted) return;
        SetSingle(s, [](TCategoryRecord& r) { SetModality(r, 6); });
        if (p) SetSingle(*p, SetStativeVerb);
        return;
      case 'a':
      case 'i':
        if (std::strcmp(s.tag, ".") == 0 && std::strcmp(n->tag, ".") == 0) SetSingle(s, SetSubstantive);
        return;
      default: return;
    }
  }
  ApplyClauseRules(i);
  // The words below begin with one of these letters.
  if (!std::strchr("aclmorstuv", c0)) return;
  // The next word follows without punctuation between.
  const bool nJoined = ni >= 0 && !n->IsMark() && std::strcmp(n->tag, " ") == 0;
  if (quoted && (Is(s, "ve") || Is(s, "re") || Is(s, "ll"))) {
    if (pIs(IsPronoun)) SetSingle(s, SetStativeVerb);
  } else if (Is(s, "art")) {
    // The verb "thou" takes (thou art, art thou).
    if ((p && !PauseBefore(s) && Is(*p, "thou")) || (nJoined && Is(*n, "thou"))) SetSingle(s, SetStativeVerb);
  } else if (Is(s, "us")) {
    if (s.capitalisation == 2) SetSingle(s, SetSubstantive);
  } else if (Is(s, "can")) {
    if (pIs(IsDeterminantVariant) && !Is(*p, "this")) SetSingle(s, SetSubstantive);
    else if (nIs(IsVerb) || nIs(IsModality) || nIs(IsPersonalPronoun)) SetSingle(s, SetStativeVerb);
  } else if (Is(s, "may")) {
    if (nIs(IsNumeralAdjective)) SetSingle(s, SetSubstantive);
    else if (pIs(IsPronoun) || pIs(IsSubstantive)) SetSingle(s, SetStativeVerb);
  } else if (Is(s, "use")) {
    // After a modal or do, or a verb that takes a bare verb, the verb
    // (will use, did use, please use), but the noun before "of"; after
    // another verb its object (make use of, for planning use, found use
    // for).
    if (p && (IsModal(*p) || TakesBareVerb(*p)) && !(nJoined && Is(*n, "of"))) SetSingle(s, SetFactiveVerb);
  } else if (Is(s, "like")) {
    if (pIs(IsAuxiliary) && pIs(IsVerb)) SetSingle(s, [](TCategoryRecord& r) { SetConnector(r, 7); });
    else if (nIs(IsDeterminantVariant)) SetSingle(s, [](TCategoryRecord& r) { SetConnector(r, 7); });
    else if (pIs(IsPersonOrDeixis)) SetSingle(s, SetReflexiveVerb);
  } else if (Is(s, "own")) {
    if (pIs(IsPossessivePronoun)) SetSingle(s, SetObjectiveAdjective);
  } else if (Is(s, "there") && s.readingCount >= 1) {
    // Existential there comes before its verb (there is, there also seems,
    // there's) or after the auxiliary of a question (is there a way);
    // anywhere else it is the place (went there, a plan there to).
    int k = nJoined ? ni : -1;
    while (k >= 0 && (IsModality(slots_[k].Category()) || Is(slots_[k], "also")) && !AnyReading(slots_[k], IsVerb) &&
           std::strcmp(slots_[k].tag, " ") == 0)
      k = NextWordSlot(k);
    const bool verbFollows = k >= 0 && std::strcmp(slots_[k].tag, " ") == 0 && AnyReading(slots_[k], IsFiniteVerb);
    const bool contraction = ni >= 0 && std::strcmp(n->tag, "'") == 0;
    const bool question = p && IsVerb(p->Category()) && IsAuxiliary(p->Category()) && nJoined &&
                          (nIs(IsDeterminant) || nIs(IsDeterminantVariant) || nIs(IsSubstantive));
    if (!verbFollows && !contraction && !question) KeepFirstReading(s, IsModality);
  } else if (Is(s, "more") || Is(s, "most")) {
    // Before a common noun they count it (more money, most people); before
    // an adjective they are its intensity (more important, most formidable).
    if (s.readingCount >= 1 && nJoined && n->capitalisation == 0 && nIs(IsSubstantive))
      KeepFirstReading(s, IsDeterminantVariant);
    else if (s.readingCount >= 1 && nJoined && nIs(IsAdjective)) KeepFirstReading(s, IsModality);
  } else if (Is(s, "about") && s.readingCount >= 1) {
    // Before a number it is an approximation (about 20 men, about half).
    if (nJoined && (nIs(IsNumeralAdjective) || Is(*n, "half"))) KeepFirstReading(s, IsModality);
  }
}

void TSegmentLookup::JoinExpression(int i) {
  TWordSlot& s = slots_[i];
  if (IsNumberWord(s.text)) {
    JoinNumber(i);
    return;
  }
  if (!MainDictionary) return;
  char candidate[kSlotTextSize];
  std::strcpy(candidate, s.text);
  int length = static_cast<int>(std::strlen(candidate));
  int best = -1;
  char bestText[kSlotTextSize];
  bestText[0] = 0;
  int bestQuote = 0;
  int quote = 0;
  const bool firstKnown = !IsClassUnset(s.Category());
  for (int j = i;;) {
    const int k = NextWordSlot(j);
    if (k < 0 || slots_[k].IsMark()) break;
    const TWordSlot& next = slots_[k];
    const char* tag = next.tag;
    char separator;
    if (std::strcmp(tag, " ") == 0) {
      separator = '_';
    } else if (std::strcmp(tag, "-") == 0) {
      separator = '-';
    } else if (std::strcmp(tag, "'") == 0) {
      separator = '_';
    } else {
      break;
    }
    const int partLength = static_cast<int>(std::strlen(next.text));
    if (length + 1 + partLength >= kMaxJoinedLength) break;
    const int joinAt = length;
    candidate[length++] = separator;
    std::memcpy(candidate + length, next.text, static_cast<size_t>(partLength) + 1);
    length += partLength;
    if (tag[0] == '\'' && quote == 0) quote = joinAt;

    bool goOn = false;
    bool matched = cache_.ExpressionKnown(candidate, goOn);
    bool unused = false;
    if (!matched && separator == '-') {
      // e-mail, co-operate: the glued form, then with the separators swapped.
      char variant[kSlotTextSize];
      if (GeneralState && GeneralState->GluedWordVariant && j == i && joinAt >= 2 && partLength >= 2 && !firstKnown) {
        std::memcpy(variant, candidate, static_cast<size_t>(joinAt));
        std::memcpy(variant + joinAt, next.text, static_cast<size_t>(partLength) + 1);
        if (cache_.ExpressionKnown(variant, unused)) {
          std::strcpy(candidate, variant);
          length = static_cast<int>(std::strlen(candidate));
          matched = true;
        }
      }
      if (!matched) {
        std::strcpy(variant, candidate);
        for (char* c = variant; *c; ++c) {
          if (*c == '_') *c = '-';
          else if (*c == '-') *c = '_';
        }
        if (cache_.ExpressionKnown(variant, unused)) {
          std::strcpy(candidate, variant);
          matched = true;
        }
      }
    }
    if (matched) {
      best = k;
      std::strcpy(bestText, candidate);
      bestQuote = quote;
    }
    if (!goOn && !matched) break;
    j = k;
  }
  if (best < 0) return;
  TCategoryRecord readings[kSlotReadings] = {};
  const int n = cache_.WordReadings(bestText, readings, nullptr);
  if (n == 0 || !ExpressionFits(i, best, readings, n)) return;
  uint8_t capitalisation = s.capitalisation;
  JoinSlotWritten(slots_, i, best);
  for (int j = i + 1; j <= best; ++j) {
    if (slots_[j].empty) continue;
    capitalisation = std::max(capitalisation, slots_[j].capitalisation);
    ClearWordSlot(slots_[j]);
    slots_[j].empty = 1;
    SetSlotTag(slots_[j], " ");
  }
  std::strcpy(s.text, bestText);
  for (int k = 0; k < kSlotReadings; ++k) s.readings[k] = readings[k];
  s.readingCount = static_cast<int16_t>(n - 1);
  s.capitalisation = capitalisation;
  s.quotePosition = static_cast<uint8_t>(bestQuote);
  s.compound = 0;
}

int TSegmentLookup::JoinNumber(int i) {
  TWordSlot& s = slots_[i];
  char joined[kSlotTextSize];
  std::strcpy(joined, s.text);
  int length = static_cast<int>(std::strlen(joined));
  int commas = 0, slashes = 0, colons = 0, dots = 0;
  int last = i;
  for (int k = NextWordSlot(i); k >= 0; k = NextWordSlot(k)) {
    const TWordSlot& next = slots_[k];
    if (next.IsMark() || !IsNumberWord(next.text) || !next.tag[0] || next.tag[1]) break;
    const char sep = next.tag[0];
    const int partLength = static_cast<int>(std::strlen(next.text));
    bool allowed = false;
    switch (sep) {
      case ',': allowed = commas == 0 && slashes == 0 && colons == 0; break;
      case '.': allowed = commas == 0 && colons == 0 && slashes == 0; break;
      case '/': allowed = slashes == 0 && commas == 0 && colons == 0 && partLength <= 2; break;
      case ':':
        allowed = colons == 0 && commas == 0 && dots == 0 && slashes == 0 && length + 1 + partLength <= 5;
        break;
      default: break;
    }
    if (!allowed || length + 1 + partLength >= kMaxJoinedLength) break;
    commas += sep == ',';
    slashes += sep == '/';
    colons += sep == ':';
    dots += sep == '.';
    joined[length++] = sep;
    std::memcpy(joined + length, next.text, static_cast<size_t>(partLength) + 1);
    length += partLength;
    last = k;
  }
  // A number hyphenated to a word describes (a 16-page weekly, a 3-inch
  // pipe): one Objective Adjective.
  bool described = false;
  const int word = NextWordSlot(last);
  if (word >= 0 && !slots_[word].IsMark() && std::strcmp(slots_[word].tag, "-") == 0 &&
      std::isalpha(static_cast<unsigned char>(slots_[word].text[0]))) {
    const int partLength = static_cast<int>(std::strlen(slots_[word].text));
    if (length + 1 + partLength < kMaxJoinedLength) {
      joined[length++] = '-';
      std::memcpy(joined + length, slots_[word].text, static_cast<size_t>(partLength) + 1);
      length += partLength;
      last = word;
      described = true;
    }
  }
  if (last == i) return i;
  JoinSlotWritten(slots_, i, last);
  for (int j = i + 1; j <= last; ++j) {
    ClearWordSlot(slots_[j]);
    slots_[j].empty = 1;
    SetSlotTag(slots_[j], " ");
  }
  std::strcpy(s.text, joined);
  if (described) SetSingle(s, SetObjectiveAdjective);
  else SetSingle(s, SetNumeralAdjective);
  s.compound = 0;
  return last;
}

void TSegmentLookup::ResolveParticiples() {
  for (int i = 0; i < count_; ++i) {
    const TWordSlot& s = slots_[i];
    if (s.empty || !IsDeterminant(s.Category()) || !SubField2IsOne(s.Category())) continue;
    int seen = 0;
    for (int j = i + 1; j < count_ && seen < 2; ++j) {
      TWordSlot& v = slots_[j];
      if (v.empty) continue;
      ++seen;
      if (v.IsMark()) break;
      // Right after the preposition, an -ing form whose noun the lexicon
      // marks as naming there is the noun before what its verb cannot take:
      // a mark, "and", "or" or "but", a preposition other than "to", or a
      // word read first as a finite verb (of meaning and feeling, into
      // meaning., of meaning in all realms, nuances of meaning are); before
      // anything else it stays the gerund (of meaning it, of meaning to go).
      if (seen == 1 &&
          AnyReading(v, [](const TCategoryRecord& c) { return IsSubstantive(c) && (c.Spare & kSpareGerundNames); })) {
        const int n = NextWordSlot(j);
        const TWordSlot* after = n < 0 ? nullptr : &slots_[n];
        if (!after || after->IsMark() || IsAndOr(*after) || Is(*after, "but") ||
            (IsDeterminant(after->readings[0]) && !Is(*after, "to")) ||
            (IsVerb(after->readings[0]) && !IsParticiple(after->readings[0]))) {
          KeepFirstReading(v, IsSubstantive);
          break;
        }
      }
      // After an article, a possessive or an adjective a form in -ing that
      // can name, and describes nothing after it, is the noun (at the
      // beginning of, from its beginning, of particular meaning to); before
      // what it describes, the gerund (in the coming weeks).
      const TWordSlot& between = slots_[PreviousWordSlot(j)];
      if (seen == 2 && (IsArticleOrPossessive(between) || IsAdjective(between.Category())) &&
          AnyReading(v, IsSubstantive) && AnyReading(v, IsPresentParticiple)) {
        const int n = NextWordSlot(j);
        const bool describes = n >= 0 && !slots_[n].IsMark() && !PauseBefore(slots_[n]) &&
                               (AnyReading(slots_[n], IsSubstantive) || AnyReading(slots_[n], IsAdjective));
        if (!describes) {
          KeepFirstReading(v, IsSubstantive);
          break;
        }
      }
      for (int r = 0; r <= v.readingCount && r < kSlotReadings; ++r) {
        if (IsVerb(v.readings[r]) && IsPresentParticiple(v.readings[r])) {
          TCategoryRecord g = v.readings[r];
          g.Flags = static_cast<uint8_t>((g.Flags & ~kFlagAmbiguous) | kFlagGerund);
          SingleReading(v, g);
          seen = 2;
          break;
        }
      }
    }
  }
}

int TSegmentLookup::NextWordSlot(int i) const {
  for (int j = i + 1; j < count_; ++j)
    if (!slots_[j].empty) return j;
  return -1;
}

int TSegmentLookup::PreviousWordSlot(int i) const {
  for (int j = i - 1; j >= 0; --j)
    if (!slots_[j].empty) return j;
  return -1;
}

}  // namespace quilor
