#include "engine/reading_exclusions.h"

#include <optional>
#include <string_view>

#include "core/category.h"
#include "core/inflection.h"
#include "engine/slot_readings.h"
#include "platform/letter_case.h"

namespace quilor {

namespace {

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

// A subject pronoun, or a relative read as one, is followed by its verb
// (she lives, it costs, who plays, which means).
bool IsSubjectWord(const TWordSlot& s) {
  const TCategoryRecord& c = s.Category();
  if (IsRelativePronoun(c)) return Is(s, "who") || Is(s, "which");
  if (!IsPersonalPronoun(c)) return false;
  return IsSubjectOnly(s) || Is(s, "it") || Is(s, "you") || Is(s, "one");
}

// Whether the words around slot i in the window first..last ask for a verb
// there: after a modal, a subject, "to" or a verb and "and".
bool AsksForVerb(const TWordSlot* slots, int i, int first, int last) {
  const TWordSlot* n = i < last && !slots[i + 1].IsMark() ? &slots[i + 1] : nullptr;
  // What a verb takes after it: an object, or a particle (to sum up).
  const bool takes = n && (IsArticleOrPossessive(*n) || IsDeterminantVariant(n->Category()) ||
                           (IsPersonalPronoun(n->Category()) && !IsSubjectOnly(*n)) || Is(*n, "up") || Is(*n, "out") ||
                           Is(*n, "down") || Is(*n, "off"));
  // First in its clause, before what it takes, it may give an order (Order
  // a copy).
  if (i == first) return takes;
  // The word before, past the modalities (he shyly terms, did not question).
  int b = i - 1;
  while (b > first && IsModality(slots[b].Category()) && !IsVerb(slots[b].Category())) --b;
  const TWordSlot& before = slots[b];
  // After a modal or do (will house them), after a subject (they man the
  // guns, who courts), and after a verb and "and" (makes and markets).
  // (It and you after a verb or a preposition are its object: made it part.)
  const bool object = b - 1 >= first && !IsSubjectOnly(before) && !IsRelativePronoun(before.Category()) &&
                      (IsVerb(slots[b - 1].Category()) || IsDeterminant(slots[b - 1].Category()));
  // (After a relative the word may be the clause's subject: which man
  // cannot, which parts are.)
  const bool subjectFollows = SubjectAfterRelative(before, slots[i], n);
  if (IsModal(before) || IsModalWord(before) || (IsSubjectWord(before) && !object && !subjectFollows)) return true;
  if (b == i - 1 && IsAdditionConnector(before.Category()) && b - 1 >= first)
    return IsFiniteVerb(slots[b - 1].Category());
  // After "to", before what it takes or another bare verb (to people the
  // land, to man the guns, to color and paint).
  if (b != i - 1 || !Is(before, "to")) return false;
  if (n && IsAdditionConnector(n->Category()) && i + 2 <= last && !slots[i + 2].IsMark())
    return HasBaseVerb(slots[i + 2]);
  return takes;
}

// The readings a rule rules out, by what they are.
bool FiniteVerbReading(const TCategoryRecord& c) { return IsVerb(c) && !IsParticiple(c); }
bool NounReading(const TCategoryRecord& c) { return IsSubstantive(c); }
bool NounOrAdjectiveReading(const TCategoryRecord& c) { return IsSubstantive(c) || IsAdjective(c); }
bool VerbOrAdjectiveReading(const TCategoryRecord& c) { return IsVerb(c) || IsAdjective(c); }
bool VerbReading(const TCategoryRecord& c) { return IsVerb(c); }
bool VerbOrPrepositionReading(const TCategoryRecord& c) { return IsVerb(c) || IsDeterminant(c); }
bool VerbOrAdjectiveOrPrepositionReading(const TCategoryRecord& c) {
  return IsVerb(c) || IsAdjective(c) || IsDeterminant(c);
}
bool AnyButNounReading(const TCategoryRecord& c) { return !IsSubstantive(c); }

// What the rules read of slot i (s) and the window first..last around it:
// the word before (p) and after (n) in the window, what its readings may be,
// and what the words around say of it.
struct TWordInWindow {
  TWordInWindow(const TWordSlot* slots, int count, int i, int first, int last)
      : slots(slots), count(count), i(i), first(first), last(last), s(slots[i]) {
    for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r) {
      const TCategoryRecord& c = s.readings[r];
      base |= IsBaseVerb(c);
      finite |= IsVerb(c) && !IsParticiple(c);
      substantive |= IsSubstantive(c);
    }
    p = i > first ? &slots[i - 1] : nullptr;
    n = i < last && !slots[i + 1].IsMark() ? &slots[i + 1] : nullptr;
    // Today, tonight, tomorrow and yesterday tell when, and no word
    // describes them (offered to the public today).
    nounFollows = n && (IsSubstantive(n->Category()) || IsAdjective(n->Category())) && !Is(*n, "today") &&
                  !Is(*n, "tonight") && !Is(*n, "tomorrow") && !Is(*n, "yesterday");
    // A finite form of be or have follows (people were, experience is).
    beforeBeOrHave = n && IsFiniteBeOrHave(*n);
    // Nothing follows that the word could describe (the past few years: few).
    describes = nounFollows || (n && IsDeterminantVariant(n->Category()) && !IsArticleOrPossessive(*n));
    namesAlone = NounMarked(s, kSpareNamesAlone);
    seldomVerb = NounMarked(s, kSpareSeldomVerb);
  }

  // The readings of the word that pass the test.
  uint8_t Out(bool (*test)(const TCategoryRecord&)) const {
    uint8_t mask = 0;
    for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r)
      if (test(s.readings[r])) mask |= static_cast<uint8_t>(1u << r);
    return mask;
  }
  // What stands further left (read only by the rules that need it).
  const TLeftContext& Left() const {
    if (!left) left = LeftContextOf(slots, i, first);
    return *left;
  }

  const TWordSlot* slots;
  int count, i, first, last;
  const TWordSlot& s;
  const TWordSlot* p = nullptr;
  const TWordSlot* n = nullptr;
  bool base = false, finite = false, substantive = false;
  bool nounFollows = false, beforeBeOrHave = false, describes = false, namesAlone = false, seldomVerb = false;

 private:
  mutable std::optional<TLeftContext> left;
};

// A rule gives the readings it rules out when it applies (it may rule out
// none and still decide), and nothing when it does not.
using TExcluded = std::optional<uint8_t>;

// "may" in lower case before a bare verb, past the modalities, is the
// modal and no tree (the individual may be, the public may still emerge).
TExcluded MayBeforeABareVerb(const TWordInWindow& x) {
  const TWordSlot& s = x.s;
  if (!x.substantive || !Is(s, "may") || s.capitalisation != 0) return {};
  int k = x.i + 1;
  while (k <= x.last && !x.slots[k].IsMark() && IsModality(x.slots[k].Category()) && !IsVerb(x.slots[k].Category()))
    ++k;
  if (k <= x.last && !x.slots[k].IsMark() && HasBaseVerb(x.slots[k])) return x.Out(NounReading);
  return {};
}

// After an article or a possessive, a word that can name names when
// nothing it describes follows (on the left of, the beginning of, its
// meaning, in the past, the outside; but the past few years), unless it
// is read first as an adjective that the lexicon does not mark as naming
// alone (the poor; but the public); no finite verb in any case (the will;
// the healing hand).
TExcluded NamesAfterAnArticle(const TWordInWindow& x) {
  if (!x.p || !x.substantive || !IsArticleOrPossessive(*x.p)) return {};
  if (x.describes) return x.Out(FiniteVerbReading);
  // A word that names alone still describes beside another word that
  // does, before what they both describe: after a comma (a good, firm
  // hand) or "and" or "or" (a good or bad poet; but the good and evil of).
  auto describesWith = [&x](int k) {
    return k + 1 <= x.count && !x.slots[k].IsMark() && !x.slots[k + 1].IsMark() &&
           AnyReading(x.slots[k], IsAdjective) && AnyReading(x.slots[k + 1], IsSubstantive);
  };
  const int i = x.i;
  if (x.namesAlone && ((i == x.last && i + 1 < x.count && x.slots[i + 1].tag[0] == ',' && describesWith(i + 1)) ||
                       (x.n && IsAndOr(*x.n) && i + 2 <= x.last && describesWith(i + 2))))
    return x.Out(FiniteVerbReading);
  return x.Out(IsAdjective(x.s.readings[0]) && !x.namesAlone ? VerbOrPrepositionReading
                                                             : VerbOrAdjectiveOrPrepositionReading);
}

// After an article or a possessive, the words describing it, and a word
// that names alone (the public, the individual), a form read first as a
// finite verb in s or in the past, or a modal, is that word's verb, and
// the word before it names (the public buys, the individual knows, the
// public sent, the public may, the American public cares); a bare form
// may still be the noun it describes (a close look), and so may a form
// before a modal or a finite be or have (the standard bores were).
TExcluded VerbAfterAWordThatNamesAlone(const TWordInWindow& x) {
  const TWordSlot& s = x.s;
  if (!(x.p && x.finite && (x.substantive || IsAdjective(s.readings[0])) && x.i - 2 >= x.first &&
        IsVerb(s.readings[0]) && !IsParticiple(s.readings[0]) &&
        (EndsInS(s.text) || IsPastTense(s.readings[0]) || IsModal(s)) && !x.beforeBeOrHave && !(x.n && IsModal(*x.n))))
    return {};
  int b = x.i - 2;
  while (b > x.first && (IsAdjective(x.slots[b].Category()) || IsPresentParticiple(x.slots[b].Category()))) --b;
  if (NounMarked(*x.p, kSpareNamesAlone) && IsArticleOrPossessive(x.slots[b])) return x.Out(NounOrAdjectiveReading);
  return {};
}

// After an article, a possessive, a determiner or a preposition and an
// adjective, a word that can name is no finite verb (the young set, on the
// one hand, its main use); a number after a determiner may be the subject
// (all three pay).
TExcluded NamesAfterADeterminerAndAnAdjective(const TWordInWindow& x) {
  if (!(x.p && x.substantive && x.finite && x.i - 2 >= x.first && IsAdjective(x.p->Category()))) return {};
  const TWordSlot& b = x.slots[x.i - 2];
  if (IsArticleOrPossessive(b) ||
      (!IsNumeralAdjective(x.p->Category()) && (IsDeterminantVariant(b.Category()) || IsDeterminant(b.Category()))))
    return x.Out(FiniteVerbReading);
  return {};
}

// So too after an article or a possessive and a word read as a modality
// that describes it (the only issue, the far end, the very center), and
// after a determiner and an -ing form (the growing need, no pressing
// need); a modal stays one (the latter can).
TExcluded NamesAfterAModalityOrAnIngForm(const TWordInWindow& x) {
  if (!(x.p && x.substantive && x.finite && x.i - 2 >= x.first && !IsModalWord(x.s) && !Is(x.s, "do"))) return {};
  const TCategoryRecord& pc = x.p->Category();
  const TWordSlot& b = x.slots[x.i - 2];
  if ((IsModality(pc) && !IsVerb(pc) && IsArticleOrPossessive(b)) ||
      (IsVerb(pc) && IsPresentParticiple(pc) && (IsArticleOrPossessive(b) || IsDeterminantVariant(b.Category()))))
    return x.Out(FiniteVerbReading);
  return {};
}

// A word the lexicon marks as naming alone names after a determiner or
// a word describing it when nothing it could describe follows (the
// reading public, each individual in the room); before a noun, an
// adjective or "and" it still describes (public safety, public and
// private), and after a verb it is said of something (is worth).
TExcluded NamesAloneAfterADeterminer(const TWordInWindow& x) {
  if (x.p && x.substantive && x.namesAlone && !x.describes && !(x.n && IsConnector(x.n->Category())) &&
      (IsDeterminantVariant(x.p->Category()) || IsAdjective(x.p->Category()) || IsParticiple(x.p->Category())))
    return x.Out(VerbOrAdjectiveOrPrepositionReading);
  return {};
}

// So too after "and" or "or" joining it to a noun (the press and public,
// artist or public), and after a word that can describe or an -ing form
// read as a noun (the traveling public, his reading public, the young
// female public of): before "and" it names when what follows cannot
// describe (the press and public and its critics; but the press and
// public and private bodies). After a bare preposition it may be an
// adjective standing alone as well (in general, in uniform, in public).
TExcluded NamesAloneJoinedOrDescribed(const TWordInWindow& x) {
  if (!(x.p && x.substantive && x.namesAlone && !x.describes)) return {};
  const TWordSlot& p = *x.p;
  const TCategoryRecord& pc = p.Category();
  const int i = x.i;
  const bool joined = IsAndOr(p) && i - 2 >= x.first && IsSubstantive(x.slots[i - 2].Category());
  const bool described = IsSubstantive(pc) && i - 2 >= x.first &&
                         (AnyReading(p, IsAdjective) || std::string_view(p.text).ends_with("ing")) &&
                         (IsArticleOrPossessive(x.slots[i - 2]) || IsDeterminantVariant(x.slots[i - 2].Category()) ||
                          IsAdjective(x.slots[i - 2].Category()));
  const bool pairedWithDescribing =
      x.n && IsConnector(x.n->Category()) &&
      (!IsAndOr(*x.n) || i + 2 > x.last || x.slots[i + 2].IsMark() || AnyReading(x.slots[i + 2], IsAdjective));
  if ((joined || described) && !pairedWithDescribing) return x.Out(VerbOrAdjectiveOrPrepositionReading);
  return {};
}

// Two words that can name, joined by "and" or "or" after a preposition
// other than "to", name when nothing follows them that they could
// describe (of right and wrong, beyond good and evil, between light and
// dark; but of red and white peppers, to buy or sell).
TExcluded PairNamesAfterAPreposition(const TWordInWindow& x) {
  if (!x.p || !x.substantive) return {};
  auto endsPhrase = [&x](int k) {
    if (k > x.last || x.slots[k].IsMark()) return true;
    const TWordSlot& w = x.slots[k];
    return !IsAndOr(w) && !AnyReading(w, IsSubstantive) && !AnyReading(w, IsAdjective) && !HasParticipleReading(w);
  };
  auto preposition = [](const TWordSlot& w) { return IsDeterminant(w.Category()) && !Is(w, "to"); };
  // A word read first as a noun or an adjective that is no number.
  auto names = [](const TWordSlot& w) {
    const TCategoryRecord& c = w.readings[0];
    return !w.IsMark() && AnyReading(w, IsSubstantive) && (IsSubstantive(c) || IsAdjective(c)) &&
           !IsNumeralAdjective(c);
  };
  const int i = x.i;
  const bool firstOfPair =
      preposition(*x.p) && x.n && IsAndOr(*x.n) && i + 2 <= x.last && names(x.slots[i + 2]) && endsPhrase(i + 3);
  const bool secondOfPair =
      IsAndOr(*x.p) && i - 3 >= x.first && names(x.slots[i - 2]) && preposition(x.slots[i - 3]) && endsPhrase(i + 1);
  if (names(x.s) && (firstOfPair || secondOfPair)) return x.Out(AnyButNounReading);
  return {};
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
TExcluded BareFormNamesAfterASingularNoun(const TWordInWindow& x) {
  const TWordSlot& s = x.s;
  const TWordSlot* n = x.n;
  const bool endsNounPhrase =
      !n || Is(*n, "of") || IsAndOr(*n) || IsModal(*n) || IsModalWord(*n) || IsFiniteBeOrHave(*n) ||
      (IsVerb(n->readings[0]) && !IsParticiple(n->readings[0]) && (IsPastTense(n->readings[0]) || EndsInS(n->text)));
  // (So does an -ing form: consumer spending edged, street cleaning is;
  // a form with no noun reading stays the verb: a group consisting of.)
  const bool ingForm = std::string_view(s.text).ends_with("ing") && AnyReading(s, IsPresentParticiple);
  if (!(x.p && x.substantive && (x.base || ingForm) && endsNounPhrase && !EndsInS(s.text) && !IsModalWord(s) &&
        !Is(s, "do") && !Is(s, "need") && !AnyReading(s, IsPastTense)))
    return {};
  const int first = x.first;
  const bool joined = IsAndOr(*x.p);
  const int head = joined ? x.i - 2 : x.i - 1;
  if (!(head >= first && IsSubstantive(x.slots[head].Category()) && !IsPluralNoun(x.slots[head]) &&
        (joined || !IsPersonalPronoun(x.slots[head].Category()))))
    return {};
  int k = head;
  while (k - 1 >= first) {
    const TWordSlot& w = x.slots[k - 1];
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
    const TWordSlot& before = x.slots[k - 1];
    const TCategoryRecord& c = before.Category();
    asked = IsModal(before) || IsModalWord(before) || TakesBareVerb(before) || Is(before, "that") || IsAndOr(before) ||
            IsRelativePronoun(c) ||
            (Is(before, "of") && k - 2 >= first && IsSubstantive(x.slots[k - 2].Category()) &&
             IsPluralNoun(x.slots[k - 2]));
    for (const char* v : kNounAndVerb) asked |= Is(before, v);
  }
  if (!asked) return x.Out(ingForm ? VerbReading : FiniteVerbReading);
  return {};
}

// After "to", a form in s that can name is a plural noun (come to grips
// with, alert to changes in); to focus, to discuss stay verbs.
TExcluded PluralNounAfterTo(const TWordInWindow& x) {
  if (x.p && x.substantive && x.finite && Is(*x.p, "to") && EndsInS(x.s.text) &&
      !std::string_view(x.s.text).ends_with("us"))
    return x.Out(VerbReading);
  return {};
}

// After "to", a word that repeats the one before "to" names (face to
// face, end to end), and so does a capitalised word after a lower-case
// "to" (pursuant to Section 5, a threat to Church and State).
TExcluded RepeatedWordOrNameAfterTo(const TWordInWindow& x) {
  const TWordSlot& s = x.s;
  if (x.p && x.substantive && x.finite && Is(*x.p, "to") &&
      ((s.capitalisation == 1 && x.p->capitalisation == 0) ||
       (x.i - 2 >= x.first && SameWord(x.slots[x.i - 2].text, s.text))))
    return x.Out(VerbReading);
  return {};
}

// Need, whose verb the lexicon reads as a modal, names before a
// preposition other than "to" unless a subject or a modal stands before
// it (the need for, Need for novelty; but what you need for the trip,
// most people need over eight hours: a plural noun right before it that
// does not own it is its subject).
TExcluded NeedNamesBeforeAPreposition(const TWordInWindow& x) {
  const TWordSlot& s = x.s;
  if (!(x.substantive && x.finite && x.n && IsDeterminant(x.n->Category()) && !Is(*x.n, "to") && Is(s, "need")))
    return {};
  int b = x.i - 1;
  while (b > x.first && IsModality(x.slots[b].Category()) && !IsVerb(x.slots[b].Category())) --b;
  // At the clause's first word nothing stands before it (b is first - 1).
  bool asked = false;
  if (b >= x.first) {
    const TWordSlot& before = x.slots[b];
    const bool pluralSubject =
        b == x.i - 1 && s.tag[0] != '\'' && IsSubstantive(before.Category()) && IsPluralNoun(before);
    asked = IsSubjectWord(before) || IsSubjectOnly(before) || IsModal(before) || IsModalWord(before) ||
            IsRelativePronoun(before.Category()) || pluralSubject;
  }
  if (!asked) return x.Out(VerbReading);
  return {};
}

// A word the lexicon marks as seldom a verb (people, school, part) is no
// finite verb unless its clause asks for one.
TExcluded SeldomAVerbUnlessAsked(const TWordInWindow& x) {
  if (x.substantive && x.finite && x.seldomVerb && !AsksForVerb(x.slots, x.i, x.first, x.last))
    return x.Out(FiniteVerbReading);
  return {};
}

// The rules after this one read the words left of the word, which rule
// out nothing of a word that is not both a verb and a noun or adjective.
TExcluded NoVerbAndNounToChooseFrom(const TWordInWindow& x) {
  if (!ReadsLeftContext(x.s)) return uint8_t{0};
  return {};
}

// After an article or a possessive, no finite verb (a word that can name
// there is decided above).
TExcluded NoFiniteVerbAfterAnArticle(const TWordInWindow& x) {
  if (!x.p || !IsArticleOrPossessive(*x.p)) return {};
  return x.finite ? x.Out(FiniteVerbReading) : uint8_t{0};
}

// After a preposition other than to, no finite verb; a word read first
// as one names when nothing it describes follows (from left to right).
TExcluded NoFiniteVerbAfterAPreposition(const TWordInWindow& x) {
  const TWordSlot& s = x.s;
  if (!(x.p && IsDeterminant(x.p->Category()) && !Is(*x.p, "to") && x.substantive && x.finite)) return {};
  if (IsVerb(s.readings[0]) && !IsParticiple(s.readings[0]) && !x.nounFollows) return x.Out(VerbOrAdjectiveReading);
  return x.Out(FiniteVerbReading);
}

// After a preposition and "which" or "whose", the subject of the clause
// they open, or what they determine: no verb yet (in which case, into
// which man is put).
TExcluded NoVerbAfterAPrepositionAndARelative(const TWordInWindow& x) {
  if (x.p && x.substantive && x.finite && x.i - 2 >= x.first && IsDeterminant(x.slots[x.i - 2].Category()) &&
      (Is(*x.p, "which") || Is(*x.p, "whose")))
    return x.Out(FiniteVerbReading);
  return {};
}

// After a verb, a word that can name before "of" is that verb's object
// (make use of, have need of, take care of).
TExcluded ObjectOfAVerbBeforeOf(const TWordInWindow& x) {
  const TWordSlot* p = x.p;
  if (p && x.substantive && x.base && x.n && Is(*x.n, "of") && IsVerb(p->Category()) && !IsModal(*p) &&
      !IsModalWord(*p))
    return x.Out(VerbReading);
  return {};
}

// After a finite verb that is no auxiliary (nor the piece of one: we'll
// see), a word that can name is its object, no second verb (took place,
// exercises control, seek work), unless the verb takes a bare verb after
// it (help pay, let go) or ends a clause that describes the noun before
// its subject (the land he desired lay).
TExcluded ObjectOfAFiniteVerb(const TWordInWindow& x) {
  const TWordSlot* p = x.p;
  if (!p) return {};
  const bool describesNoun =
      x.i - 3 >= x.first && IsSubjectWord(x.slots[x.i - 2]) && IsSubstantive(x.slots[x.i - 3].Category());
  if (x.substantive && x.finite && IsFiniteVerb(p->Category()) && !IsAuxiliary(p->Category()) && p->tag[0] != '\'' &&
      !IsModalWord(*p) && !IsModalWord(x.s) && !Is(x.s, "do") && !TakesBareVerb(*p) && !describesNoun)
    return x.Out(FiniteVerbReading);
  return {};
}

// After a subject, the verb (they report, it costs, the years that
// totals); but the word after a relative may be the clause's subject
// (SubjectAfterRelative: the fact that man is).
TExcluded VerbAfterASubject(const TWordInWindow& x) {
  const TWordSlot* p = x.p;
  if (!p) return {};
  const bool subjectFollows = SubjectAfterRelative(*p, x.s, x.n);
  if (x.substantive && x.finite &&
      ((IsSubjectWord(*p) && !subjectFollows) ||
       (Is(*p, "that") && IsRelativePronoun(p->Category()) && x.i - 2 >= x.first &&
        IsSubstantive(x.slots[x.i - 2].Category()) && !subjectFollows)))
    return x.Out(NounReading);
  return {};
}

// After a modal, the bare verb (may rain, will not report).
TExcluded BareVerbAfterAModal(const TWordInWindow& x) {
  if (x.base && x.substantive && x.Left().modalBefore) return x.Out(NounReading);
  return {};
}

// After "to", the verb, unless a noun or nothing follows (to share in, to
// reach the city, to color and paint; but back to work, to school.).
// (Also after an expression of goal that ends in it: in order to care.)
TExcluded VerbAfterTo(const TWordInWindow& x) {
  const TWordSlot* p = x.p;
  const bool afterTo =
      p && (Is(*p, "to") || (IsConnector(p->Category()) && std::string_view(p->text).ends_with("_to")));
  if (!(x.base && afterTo && x.n)) return {};
  const TCategoryRecord& nc = x.n->Category();
  bool verbFollows = !IsSubstantive(nc) && !Is(*x.n, "of") && !IsAdditionConnector(nc);
  if (IsAdditionConnector(nc) && x.i + 2 <= x.last && !x.slots[x.i + 2].IsMark())
    verbFollows |= HasBaseVerb(x.slots[x.i + 2]);
  if (verbFollows) return x.Out(NounOrAdjectiveReading);
  return {};
}

// A clause's only word that can be a verb, read first as one, after its
// subject is that verb (The cat sleeps.).
TExcluded OnlyVerbAfterItsSubject(const TWordInWindow& x) {
  const TWordSlot& s = x.s;
  if (!(x.substantive && IsVerb(s.readings[0]) && !IsParticiple(s.readings[0]) && x.p &&
        IsSubstantive(x.p->Category()) && !x.Left().verbBefore))
    return {};
  bool otherVerb = false;
  for (int k = x.i + 1; k <= x.last && !otherVerb; ++k)
    for (int r = 0; r <= x.slots[k].readingCount && r < kSlotReadings; ++r) otherVerb |= IsVerb(x.slots[k].readings[r]);
  if (!otherVerb) return x.Out(NounReading);
  return {};
}

// Before a modal, no finite verb (this Chicago show should).
TExcluded NoFiniteVerbBeforeAModal(const TWordInWindow& x) {
  if (x.substantive && x.finite && x.n && IsModal(*x.n) && !IsModal(x.s)) return x.Out(FiniteVerbReading);
  return {};
}

// Nor before a finite form of be or have (the gas people were, that
// experience is), unless a subject or "to" stands before it (what I
// thought was, all he had to do was) or it is a verb in s that agrees
// with it (what matters is).
TExcluded NoFiniteVerbBeforeBeOrHave(const TWordInWindow& x) {
  const TWordSlot& s = x.s;
  const TWordSlot* p = x.p;
  if (x.substantive && x.finite && x.n && x.beforeBeOrHave && !IsModalWord(s) && !Is(s, "do") &&
      !VerbInSBeforeSingular(s, *x.n) && !(p && (IsSubjectWord(*p) || IsSubjectOnly(*p) || Is(*p, "to"))))
    return x.Out(FiniteVerbReading);
  return {};
}

// A noun's first verb before its object (the plant costs the company,
// Theorem 12 says that).
TExcluded VerbOfANounBeforeItsObject(const TWordInWindow& x) {
  const TWordSlot& s = x.s;
  if (!(x.substantive && x.finite && x.n && x.p && !x.Left().verbBefore)) return {};
  const TCategoryRecord& pc = x.p->Category();
  const bool subject = IsSubstantive(pc) || IsNumeralAdjective(pc);
  bool reports = false;
  for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r)
    reports |= IsReflexive(s.readings[r]) || HasVerbKind(s.readings[r], 4);
  if (subject && (IsArticleOrPossessive(*x.n) || (reports && Is(*x.n, "that")))) return x.Out(NounReading);
  return {};
}

// A plural noun's first verb (many churches drop from the rolls, unions
// stress benefits).
TExcluded VerbOfAPluralNoun(const TWordInWindow& x) {
  const TWordSlot& s = x.s;
  const TWordSlot* p = x.p;
  if (x.substantive && x.finite && x.n && p && !x.Left().verbBefore && IsSubstantive(p->Category()) &&
      EndsInS(p->text) && p->capitalisation == 0 && x.base && !EndsInS(s.text) && IsSubstantive(s.readings[0]))
    return x.Out(NounReading);
  return {};
}

using TExclusionRule = TExcluded (*)(const TWordInWindow&);

// The rules in the order they are tried: the first that applies decides.
// Beside each, the readings of the word it rules out, and an example.
constexpr TExclusionRule kExclusionRules[] = {
    MayBeforeABareVerb,                   // nouns: "may" before a bare verb is the modal
    NamesAfterAnArticle,                  // finite verbs; verbs, prepositions (adjectives) before nothing described
    VerbAfterAWordThatNamesAlone,         // nouns and adjectives: the public buys
    NamesAfterADeterminerAndAnAdjective,  // finite verbs: the young set, its main use
    NamesAfterAModalityOrAnIngForm,       // finite verbs: the only issue, the growing need
    NamesAloneAfterADeterminer,           // verbs, adjectives, prepositions: the reading public
    NamesAloneJoinedOrDescribed,          // verbs, adjectives, prepositions: the press and public
    PairNamesAfterAPreposition,           // all but nouns: beyond good and evil
    BareFormNamesAfterASingularNoun,      // finite verbs (of an -ing form: verbs): the fashion show of
    PluralNounAfterTo,                    // verbs: come to grips with
    RepeatedWordOrNameAfterTo,            // verbs: face to face, a threat to Church and State
    NeedNamesBeforeAPreposition,          // verbs: the need for
    SeldomAVerbUnlessAsked,               // finite verbs: people, school, part
    NoVerbAndNounToChooseFrom,            // nothing, and no rule below is tried
    NoFiniteVerbAfterAnArticle,           // finite verbs (or nothing): the will
    NoFiniteVerbAfterAPreposition,        // finite verbs (or verbs and adjectives): from left to right
    NoVerbAfterAPrepositionAndARelative,  // finite verbs: in which case
    ObjectOfAVerbBeforeOf,                // verbs: make use of
    ObjectOfAFiniteVerb,                  // finite verbs: took place, seek work
    VerbAfterASubject,                    // nouns: they report, it costs
    BareVerbAfterAModal,                  // nouns: may rain, will not report
    VerbAfterTo,                          // nouns and adjectives: to share in
    OnlyVerbAfterItsSubject,              // nouns: The cat sleeps.
    NoFiniteVerbBeforeAModal,             // finite verbs: this Chicago show should
    NoFiniteVerbBeforeBeOrHave,           // finite verbs: the gas people were
    VerbOfANounBeforeItsObject,           // nouns: the plant costs the company
    VerbOfAPluralNoun,                    // nouns: unions stress benefits
};

}  // namespace

TLeftContext LeftContextOf(const TWordSlot* slots, int i, int first) {
  TLeftContext c;
  // A verb of the same clause: a connector or a relative begins another (the
  // fact that many churches drop).
  for (int k = i - 1; k >= first && !c.verbBefore; --k) {
    const TCategoryRecord& r = slots[k].Category();
    if (IsConnector(r) || IsRelativePronoun(r)) break;
    c.verbBefore = IsVerb(r);
  }
  // The word before, past the modalities (will not report, can also help).
  int b = i - 1;
  while (b > first && IsModality(slots[b].Category()) && !IsVerb(slots[b].Category())) --b;
  c.modalBefore = b >= first && b < i && IsModal(slots[b]);
  return c;
}

bool ReadsLeftContext(const TWordSlot& s) {
  bool verb = false, other = false;
  for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r) {
    verb |= IsVerb(s.readings[r]);
    other |= IsSubstantive(s.readings[r]) || IsAdjective(s.readings[r]);
  }
  return verb && other;
}

uint8_t ExcludedReadings(const TWordSlot* slots, int count, int i, int first, int last) {
  const TWordInWindow word(slots, count, i, first, last);
  for (const TExclusionRule rule : kExclusionRules)
    if (const TExcluded excluded = rule(word)) return *excluded;
  return 0;
}

}  // namespace quilor
