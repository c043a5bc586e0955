// The token rules for the words whose kind their clause decides: the
// connectors that change kind with it (as, since, while, so, still, yet,
// too, for), her, one, which, that, will and well. Each reads the readings
// of the words around it as far as its clause goes (to the next
// punctuation), not only its neighbours: "for" before a subject and its
// verb gives a cause, before a noun phrase alone it is a preposition. Which
// expressions may join is read the same way.
#include <cstring>

#include "engine/segment_lookup.h"
#include "engine/slot_readings.h"

namespace quilor {

namespace {

// The kinds the rules choose (the decoder's subclass numbers).
enum ConnectorKind { kCause = 2, kAddition = 4, kOpposition = 6, kComparison = 7, kTime = 8, kConnectorManner = 10 };
enum ModalityKind { kModalityTime = 1, kManner = 3, kIntensity = 7 };
enum PronounKind { kRelative = 1, kPossessive = 2, kPersonal = 3 };

// How far a clause's subject is looked for.
constexpr int kClauseWords = 12;

const TCategoryRecord& First(const TWordSlot& s) { return s.Category(); }

bool HasNoun(const TWordSlot& s) { return AnyReading(s, IsSubstantive); }

// A determiner, an article or a possessive: a noun phrase begins.
bool BeginsNounPhrase(const TCategoryRecord& r) { return IsDeterminantVariant(r) || IsPossessivePronoun(r); }

bool IsFormOfHave(const TWordSlot& s) { return Is(s, "have") || Is(s, "has") || Is(s, "had") || Is(s, "ve"); }

}  // namespace

bool TSegmentLookup::ClauseStart(int i) const { return PreviousWordSlot(i) < 0 || PauseBefore(slots_[i]); }

bool TSegmentLookup::SentenceStart(int i) const {
  // A segment may hold several sentences until the resolver cuts it.
  return PreviousWordSlot(i) < 0 || std::strpbrk(slots_[i].tag, ".!?;:") != nullptr;
}

bool TSegmentLookup::OpensOrder(int i) const {
  // A sentence that opens with a bare verb right before its object gives an
  // order (Visit www..., Visit the museum, Call us): no subject comes first,
  // so the word is the verb, not a name. A word that can also be a
  // preposition, a connector, a modality or a pronoun keeps its readings
  // (Down the road, Even the best), and so does a word in s (Visits).
  const TWordSlot& s = slots_[i];
  if (!SentenceStart(i) || s.capitalisation != 1 || EndsInS(s.text) || !HasBaseVerb(s)) return false;
  // The dot of an initial ends no sentence (the B. & O. Railroad a total).
  const int pi = PreviousWordSlot(i);
  if (pi >= 0 && s.tag[0] == '.' && slots_[pi].text[0] && !slots_[pi].text[1]) return false;
  for (int r = 0; r <= s.readingCount && r < kSlotReadings; ++r) {
    const TCategoryRecord& c = s.readings[r];
    if (IsDeterminant(c) || IsDeterminantVariant(c) || IsConnector(c) || IsModality(c) || IsPronoun(c)) return false;
  }
  const int ni = NextWordSlot(i);
  if (ni < 0 || slots_[ni].IsMark() || PauseBefore(slots_[ni])) return false;
  const TWordSlot& n = slots_[ni];
  if (Is(n, "www")) return true;
  // A number is no object (Issue No. 1).
  if ((n.capitalisation != 0 && !Is(n, "i")) || Is(n, "no")) return false;
  return IsArticleOrPossessive(n) || IsDeterminantVariant(First(n)) || Is(n, "me") || Is(n, "us") || Is(n, "him") ||
         Is(n, "them");
}

bool TSegmentLookup::EndsClause(int i) const {
  const int n = NextWordSlot(i);
  return n < 0 || slots_[n].IsMark() || PauseBefore(slots_[n]);
}

int TSegmentLookup::ClauseVerb(int k, bool* nounPhraseAlone) const {
  // A subject: a pronoun, or a noun phrase (determiners, adjectives, numbers,
  // nouns, with the prepositions that bind another noun phrase to it: the
  // cause of the quarrel), then a finite verb; modalities may stand between
  // (it obviously meets). A second noun phrase after the first means the
  // first was no subject (for the first time the road is...).
  bool head = false;
  bool afterPreposition = false;
  // The noun phrase ends, whole, without a verb: at the clause's end or
  // where another begins.
  auto alone = [&head, nounPhraseAlone]() {
    if (nounPhraseAlone) *nounPhraseAlone = head;
    return -1;
  };
  if (nounPhraseAlone) *nounPhraseAlone = false;
  bool nounExpected = false;  // after a determiner, a possessive, an adjective
  int j = k;
  for (int n = 0; j >= 0 && n < kClauseWords; ++n, j = NextWordSlot(j)) {
    const TWordSlot& s = slots_[j];
    if (s.IsMark() || (j != k && PauseBefore(s))) return alone();
    // The possessive 's goes on with the noun phrase (the Foundation's
    // establishment); after a pronoun it is the verb (it's).
    if (std::strcmp(s.tag, "'") == 0 && Is(s, "s")) {
      const int b = PreviousWordSlot(j);
      if (b >= 0 && IsPronoun(First(slots_[b]))) return j;
      nounExpected = true;
      continue;
    }
    const bool expected = nounExpected;
    nounExpected = false;
    if (expected && IsVerb(First(s)) && !IsParticiple(First(s)) && HasNoun(s)) {
      // What a determiner or an adjective begins is a noun (since the turn of).
      head = true;
      afterPreposition = false;
      continue;
    }
    const TCategoryRecord& r = First(s);
    const int f = NextWordSlot(j);
    const TWordSlot* following = f >= 0 && !slots_[f].IsMark() && !PauseBefore(slots_[f]) ? &slots_[f] : nullptr;
    // Inside a clause a capitalised word is a name, not its verb.
    const bool name = j != k && s.capitalisation != 0;
    if (head && !afterPreposition && !name && AnyReading(s, IsFiniteVerb)) {
      // Read first as a noun, it is the verb unless the noun phrase may go
      // on with it (the tax cuts are).
      if (IsVerb(r) || !following) return j;
      if (!IsVerb(First(*following)) && !IsSubstantive(First(*following))) return j;
    }
    if (name) {
      head = true;
      afterPreposition = false;
    } else if (IsVerb(r)) {
      // A participle describes (a cutting face) or names (the heating); a
      // finite verb where no subject stands ends the search.
      if (!IsParticiple(r)) return -1;
      if (HasNoun(s)) {
        head = true;
        afterPreposition = false;
      }
    } else if (BeginsNounPhrase(r)) {
      if (head && !afterPreposition) return alone();
      nounExpected = true;
      // A demonstrative or a quantifier alone is the subject (this is, each
      // of them); an article or a possessive is not.
      if (!IsArticleOrPossessive(s) && following && (Is(*following, "of") || IsFiniteVerb(First(*following)))) {
        head = true;
        afterPreposition = false;
      }
    } else if (IsPronoun(r)) {
      if (head && !afterPreposition) return alone();
      if (IsRelativePronoun(r)) return -1;
      head = true;
      afterPreposition = false;
    } else if (IsDeterminant(r)) {
      // An infinitive after "to" is no finite verb: for him to go is...
      if (!head) return -1;
      if (Is(s, "to") && following && HasBaseVerb(*following)) return -1;
      afterPreposition = true;
    } else if (IsSubstantive(r)) {
      head = true;
      afterPreposition = false;
    } else if (IsConnector(r)) {
      // Two words joined (up and down), not two noun phrases.
      if (!head || !IsAdditionConnector(r) || (following && BeginsNounPhrase(First(*following)))) return -1;
    }
    // Adjectives, numbers and modalities go on.
    nounExpected |= IsAdjective(r);
  }
  return -1;
}

void TSegmentLookup::ApplyClauseRules(int i) {
  TWordSlot& s = slots_[i];
  if (s.readingCount < 1) return;
  const int pi = PreviousWordSlot(i);
  const int ni = NextWordSlot(i);
  const TWordSlot* p = pi >= 0 ? &slots_[pi] : nullptr;
  const TWordSlot* n = ni >= 0 && !slots_[ni].IsMark() ? &slots_[ni] : nullptr;
  // The next word follows without punctuation between.
  const bool nJoined = n && !PauseBefore(*n);
  const bool last = EndsClause(i);
  // A preposition without its object, between punctuation, is the connector
  // (Besides, there are...).
  if (ClauseStart(i) && last && ReadingOf(s, kClassDeterminant) >= 0 && KeepFirstReading(s, IsConnector)) return;
  if (OpensOrder(i) && KeepFirstReading(s, IsBaseVerb)) return;

  const ClauseWord c{i, pi, ni, s, p, n, nJoined, last};
  switch (ToLowerChar(static_cast<unsigned char>(s.text[0]))) {
    case 'a':
      if (Is(s, "as")) ApplyAsRule(c);
      return;
    case 'f':
      if (Is(s, "for")) ApplyForRule(c);
      return;
    case 'h':
      if (Is(s, "her")) ApplyHerRule(c);
      return;
    case 'o':
      if (Is(s, "one")) ApplyOneRule(c);
      return;
    case 's':
      if (Is(s, "since")) ApplySinceRule(c);
      else if (Is(s, "so")) ApplySoRule(c);
      else if (Is(s, "still")) ApplyStillRule(c);
      return;
    case 't':
      if (Is(s, "too")) ApplyTooRule(c);
      else if (Is(s, "that")) ApplyThatRule(i);
      return;
    case 'w':
      if (Is(s, "while")) ApplyWhileRule(c);
      else if (Is(s, "which")) ApplyWhichRule(c);
      else if (Is(s, "well")) ApplyWellRule(c);
      else if (Is(s, "will")) ApplyWillRule(c);
      return;
    case 'y':
      if (Is(s, "yet")) ApplyYetRule(c);
      return;
    default: return;
  }
}

void TSegmentLookup::ApplyAsRule(const ClauseWord& c) {
  const auto& [i, pi, ni, s, p, n, nJoined, last] = c;
  // A clause of an action or a state that goes on beside another (as
  // he develops, as the tube is stretched) is time; a comparison when
  // the clause before sets one up (the same proportion as, so small
  // as) or reports (as we have seen, as I see it).
  if (n && Is(*n, "to")) {
    const int f = NextWordSlot(ni);
    if (f >= 0 && HasBaseVerb(slots_[f])) KeepReadingOf(s, kClassConnector, kComparison);
    return;
  }
  const int v = nJoined ? ClauseVerb(ni) : -1;
  if (v >= 0 && !ComparisonBefore(i) && ClauseOfTime(v)) KeepReadingOf(s, kClassConnector, kTime);
}

void TSegmentLookup::ApplyForRule(const ClauseWord& c) {
  const auto& [i, pi, ni, s, p, n, nJoined, last] = c;
  // At a clause's start before a subject and its verb it gives the
  // cause (, for they know not; For this love ... is hopeless).
  if (ClauseStart(i) && nJoined && ClauseVerb(ni) >= 0) KeepReadingOf(s, kClassConnector, kCause);
  else KeepReadingOf(s, kClassDeterminant);
}

void TSegmentLookup::ApplyHerRule(const ClauseWord& c) {
  const auto& [i, pi, ni, s, p, n, nJoined, last] = c;
  // Possessive before what it owns (her hands, her late husband, her
  // own); personal as an object (make her look, beg her to, of her,
  // making her eligible for).
  bool possessive = false;
  if (n && nJoined) {
    if (Is(*n, "own") || (HasNoun(*n) && !(IsVerb(First(*n)) && p && IsVerb(First(*p))))) {
      possessive = true;
    } else if (AnyReading(*n, IsAdjective)) {
      const int f = NextWordSlot(ni);
      possessive = f >= 0 && !slots_[f].IsMark() && !PauseBefore(slots_[f]) &&
                   (HasNoun(slots_[f]) || AnyReading(slots_[f], IsAdjective));
    }
  }
  KeepReadingOf(s, kClassPronoun, possessive ? kPossessive : kPersonal);
}

void TSegmentLookup::ApplyOneRule(const ClauseWord& c) {
  const auto& [i, pi, ni, s, p, n, nJoined, last] = c;
  // The pronoun before its verb (one can, one finds, one never knows)
  // and after "the" (the one who); the number elsewhere, as the corpus
  // reads it (one finger, one of them, this one, have one), and before
  // a noun (the one hand, one set of).
  bool pronoun = p && !PauseBefore(s) && Is(*p, "the") && !(n && nJoined && IsSubstantive(First(*n)));
  if (n && nJoined) {
    int v = ni;
    while (v >= 0 && IsModality(First(slots_[v])) && !AnyReading(slots_[v], IsVerb)) v = NextWordSlot(v);
    const TWordSlot* verb = v >= 0 && !slots_[v].IsMark() && !PauseBefore(slots_[v]) ? &slots_[v] : nullptr;
    const int after = verb ? NextWordSlot(v) : -1;
    const bool nounOf = verb && !EndsInS(verb->text) && HasNoun(*verb) && after >= 0 && Is(slots_[after], "of");
    pronoun |= verb && !nounOf && AnyReading(*verb, IsFiniteVerb) &&
               (IsVerb(First(*verb)) || (EndsInS(verb->text) && !IsAdjective(First(*n))));
  }
  if (pronoun) KeepReadingOf(s, kClassPronoun, kPersonal);
  else KeepFirstReading(s, IsAdjective);
}

void TSegmentLookup::ApplySinceRule(const ClauseWord& c) {
  const auto& [i, pi, ni, s, p, n, nJoined, last] = c;
  // Before a noun phrase (a date) the preposition; before a clause the
  // cause, or the time after a perfect (it has been years since he
  // left).
  bool nounPhrase = false;
  const int v = nJoined ? ClauseVerb(ni, &nounPhrase) : -1;
  // A date: a number after since or after a name (since 1921, since
  // August 1).
  bool date = false;
  for (int j = ni, before = i; nJoined && j >= 0 && j <= ni + 2 && !slots_[j].IsMark(); before = j, j = NextWordSlot(j))
    date |= IsNumeralAdjective(First(slots_[j])) && (before == i || slots_[before].capitalisation != 0);
  if (nounPhrase || date) KeepReadingOf(s, kClassDeterminant);
  else if (v >= 0 || nJoined)
    KeepReadingOf(s, kClassConnector, PerfectBefore(i) || (p && Is(*p, "ever")) ? kTime : kCause);
}

void TSegmentLookup::ApplySoRule(const ClauseWord& c) {
  const auto& [i, pi, ni, s, p, n, nJoined, last] = c;
  // At a clause's end the manner (do so, if so, say so, directly);
  // before a word that can be an adjective the intensity (so long, so
  // much); after a verb the manner (it will so notify); opening a clause
  // or before its subject the consequence (so she draped it, and so
  // served, open so he could hear).
  if (last) {
    KeepReadingOf(s, kClassModality, kManner);
  } else if (AnyReading(*n, IsAdjective) || IsModality(First(*n))) {
    KeepReadingOf(s, kClassModality, kIntensity);
  } else if (p && IsVerb(First(*p)) && !PauseBefore(s)) {
    KeepReadingOf(s, kClassModality, kManner);
  } else if (ClauseStart(i) || (p && IsConnector(First(*p))) || IsPersonalPronoun(First(*n)) ||
             BeginsNounPhrase(First(*n))) {
    KeepReadingOf(s, kClassConnector, kCause);
  }
}

void TSegmentLookup::ApplyStillRule(const ClauseWord& c) {
  const auto& [i, pi, ni, s, p, n, nJoined, last] = c;
  // After a verb it is time; after a comparative, and before another
  // or more, the intensity (better still, still another); opening a
  // sentence it opposes (Still, ...; Still he went), unless it adds.
  const bool adds = n && (Is(*n, "another") || Is(*n, "more") || Is(*n, "less") || Is(*n, "further"));
  if (adds || (last && p && (IsAdjective(First(*p)) || Is(*p, "more") || Is(*p, "less"))))
    KeepReadingOf(s, kClassModality, kIntensity);
  else if (p && IsVerb(First(*p))) KeepReadingOf(s, kClassModality, kModalityTime);
  else if (SentenceStart(i) && n && !IsDeterminantVariant(First(*n)) && !IsAdjective(First(*n)) &&
           !IsModality(First(*n)))
    KeepReadingOf(s, kClassConnector, kOpposition);
}

void TSegmentLookup::ApplyTooRule(const ClauseWord& c) {
  const auto& [i, pi, ni, s, p, n, nJoined, last] = c;
  // At a clause's end it adds (Berto seemed worried, too); before a
  // word it is that word's intensity.
  if (last) KeepReadingOf(s, kClassConnector, kAddition);
  else KeepReadingOf(s, kClassModality, kIntensity);
}

void TSegmentLookup::ApplyWhileRule(const ClauseWord& c) {
  const auto& [i, pi, ni, s, p, n, nJoined, last] = c;
  // After a determiner or an adjective the noun (a while, all the
  // while, a short while). Before an -ing form the time (while
  // working); opening a sentence or after punctuation the opposition
  // (While X is so, Y...; ..., while the others had not), unless the
  // clause it opens is in the past (While the picture was taken); else
  // the time (detached while the hatchet men had their way).
  if (p && !PauseBefore(s) && (IsDeterminantVariant(First(*p)) || IsAdjective(First(*p)))) {
    KeepFirstReading(s, IsSubstantive);
  } else if (n && IsPresentParticiple(First(*n))) {
    KeepReadingOf(s, kClassConnector, kTime);
  } else if (ClauseStart(i)) {
    const int v = nJoined ? ClauseVerb(ni) : -1;
    const bool past = SentenceStart(i) && v >= 0 && IsPastTense(First(slots_[v])) && IsIndicative(First(slots_[v]));
    KeepReadingOf(s, kClassConnector, past ? kTime : kOpposition);
  } else {
    KeepReadingOf(s, kClassConnector, kTime);
  }
}

void TSegmentLookup::ApplyWhichRule(const ClauseWord& c) {
  const auto& [i, pi, ni, s, p, n, nJoined, last] = c;
  // Opening a question or after a verb, before a noun, the determiner
  // (Which theory is..., know which way); elsewhere the relative.
  if ((SentenceStart(i) || (p && IsVerb(First(*p)) && !PauseBefore(s))) && nJoined && !IsVerb(First(*n)) &&
      (HasNoun(*n) || AnyReading(*n, IsAdjective)))
    KeepFirstReading(s, IsDeterminantVariant);
}

void TSegmentLookup::ApplyWellRule(const ClauseWord& c) {
  const auto& [i, pi, ni, s, p, n, nJoined, last] = c;
  // The noun only after an article or a possessive, before no word it
  // could qualify (the well of the House; but a well worked out plan).
  const bool noun = p && !PauseBefore(s) && IsArticleOrPossessive(*p) &&
                    !(n && nJoined && (AnyReading(*n, IsAdjective) || AnyReading(*n, IsParticiple)));
  if (noun) KeepFirstReading(s, IsSubstantive);
  else KeepFirstReading(s, IsModality);
}

void TSegmentLookup::ApplyWillRule(const ClauseWord& c) {
  const auto& [i, pi, ni, s, p, n, nJoined, last] = c;
  // The noun after a preposition (at will, of will) and after a
  // determiner or an adjective that no verb follows (the will of its
  // people, free will, that will,).
  const bool after = p && !PauseBefore(s);
  const bool noVerbAfter = !n || !nJoined || (!HasBaseVerb(*n) && !IsModality(First(*n)));
  // that will, / this will, : the demonstrative and the noun.
  if (after && last && (Is(*p, "that") || Is(*p, "this"))) {
    KeepFirstReading(slots_[pi], IsDeterminantVariant);
    KeepFirstReading(s, IsSubstantive);
    return;
  }
  if (after &&
      (IsDeterminant(First(*p)) ||
       (noVerbAfter && (BeginsNounPhrase(First(*p)) || (IsAdjective(First(*p)) && !IsNumeralAdjective(First(*p))) ||
                        (last && AnyReading(*p, IsDeterminantVariant))))))
    KeepFirstReading(s, IsSubstantive);
  else KeepFirstReading(s, IsVerb);
}

void TSegmentLookup::ApplyYetRule(const ClauseWord& c) {
  const auto& [i, pi, ni, s, p, n, nJoined, last] = c;
  // Time after a negation (not yet), an auxiliary (has yet to) or "as",
  // before "to" or an -ing form, and at a clause's end (not done yet);
  // elsewhere it opposes (and yet it is universal; Yet, ...).
  const bool afterNegation = p && (IsModalityOf(First(*p), 6) || Is(*p, "as"));
  const bool afterAuxiliary = p && IsVerb(First(*p)) && IsAuxiliary(First(*p));
  const bool time = (p && !PauseBefore(s) && (afterNegation || afterAuxiliary)) ||
                    (n && (Is(*n, "to") || (AnyReading(*n, IsPresentParticiple) && !HasNoun(*n)))) ||
                    (last && !ClauseStart(i));
  if (time) KeepReadingOf(s, kClassModality, kModalityTime);
  else KeepReadingOf(s, kClassConnector, kOpposition);
}

void TSegmentLookup::ApplyThatRule(int i) {
  TWordSlot& s = slots_[i];
  const int pi = PreviousWordSlot(i);
  const int ni = NextWordSlot(i);
  const TWordSlot* n = ni >= 0 && !slots_[ni].IsMark() ? &slots_[ni] : nullptr;
  const bool nJoined = n && !PauseBefore(*n);
  // The word before in the clause, past the modalities (demonstrates
  // clearly that).
  int bi = pi, cur = i;
  while (bi >= 0 && !PauseBefore(slots_[cur]) && IsModality(First(slots_[bi])) && !AnyReading(slots_[bi], IsVerb)) {
    cur = bi;
    bi = PreviousWordSlot(bi);
  }
  const TWordSlot* before = bi >= 0 && !PauseBefore(slots_[cur]) ? &slots_[bi] : nullptr;
  // A clause begins after it: a subject pronoun, an article or a possessive,
  // a name.
  const bool clauseAfter = n && nJoined &&
                           ((IsPronoun(First(*n)) && !IsRelativePronoun(First(*n))) ||
                            (IsDeterminantVariant(First(*n)) && !Is(*n, "of")) || n->capitalisation != 0);
  const int after = ni >= 0 ? NextWordSlot(ni) : -1;
  const TWordSlot* a =
      nJoined && after >= 0 && !slots_[after].IsMark() && !PauseBefore(slots_[after]) ? &slots_[after] : nullptr;
  auto isNounOrPronoun = [](const TWordSlot* w) { return w && (IsSubstantive(First(*w)) || IsPronoun(First(*w))); };
  bool determiner = false;
  if (nJoined && Is(*n, "of")) {
    determiner = true;  // that of children
  } else if (before && IsDeterminant(First(*before))) {
    // After a preposition the demonstrative (from that moment, prior to
    // that time), unless a clause follows (they differ in that science is).
    determiner = nJoined && !clauseAfter && ClauseVerb(ni) < 0;
  } else if (SentenceStart(i)) {
    // Opening a sentence: the demonstrative before a verb or a singular
    // noun (That was Rob Roy; That day; That, however, may), the
    // conjunction before a clause (That he mastered...; that old customs
    // be abrogated; that in the United States...).
    const TWordSlot* headWord = n && nJoined && AnyReading(*n, IsAdjective) && !HasNoun(*n) ? a : n;
    const bool plural =
        headWord && !PauseBefore(*headWord) && IsSubstantive(First(*headWord)) && EndsInS(headWord->text);
    determiner = !clauseAfter && !plural && !(nJoined && IsDeterminant(First(*n)));
  } else if (nJoined && n->capitalisation == 0 && IsSubstantive(First(*n)) && !EndsInS(n->text)) {
    // Before a singular common noun, unless a noun or an adjective stands
    // before it (the fact that science...), or its verb follows the noun
    // (he said that people like it; ..., at least, that man seems).
    const bool clause = (before && (IsSubstantive(First(*before)) || IsAdjective(First(*before)))) ||
                        ((!before || IsVerb(First(*before))) && a && AnyReading(*a, IsFiniteVerb));
    determiner = !clause;
  } else if (before && IsVerb(First(*before)) && IsAuxiliary(First(*before)) && nJoined &&
             (IsModalityOf(First(*n), 6) || IsVerb(First(*n)))) {
    determiner = true;  // is that not like...
  } else if (nJoined && AnyReading(*n, IsAdjective) && !HasNoun(*n) && a && HasNoun(*a) &&
             !(before && (isNounOrPronoun(before) || IsVerb(First(*before))))) {
    determiner = true;  // ..., that genial juggling act
  }
  if (determiner) {
    KeepFirstReading(s, IsDeterminantVariant);
  } else if (OpensClauseOfSaying(before ? bi : -1, i)) {
    // The clause a verb of saying or thinking takes (I think that he left,
    // it was said that prices rose, he told them that the plan failed):
    // "that" only opens it, a connector the lexicon does not give. No kind
    // of connector names a reported content; it takes the manner, as "how"
    // after the same verbs (she said how the plan failed).
    SetSingle(s, [](TCategoryRecord& r) { SetConnector(r, kConnectorManner); });
  } else {
    KeepReadingOf(s, kClassPronoun, kRelative);
  }
}

bool TSegmentLookup::OpensClauseOfSaying(int before, int i) const {
  // The verb before, or the verb and its object pronoun (told them that),
  // within the clause; its kind tells saying (performative) or thinking,
  // believing and perceiving (reflexive).
  if (before < 0) return false;
  int v = before;
  const TCategoryRecord* object = &First(slots_[v]);
  if ((IsPersonalPronoun(*object) || IsDeixis(*object)) && !IsSubjectOnly(slots_[v])) {
    if (PauseBefore(slots_[v])) return false;
    v = PreviousWordSlot(v);
    if (v < 0) return false;
  }
  const TCategoryRecord& verb = First(slots_[v]);
  if (!IsVerb(verb) || !(IsReflexive(verb) || IsPerformative(verb))) return false;
  // A clause follows, joined: its subject (a pronoun, an article, a name)
  // or a noun phrase and its verb. That which, that to him: the
  // demonstrative stands alone.
  const int ni = NextWordSlot(i);
  if (ni < 0 || slots_[ni].IsMark() || PauseBefore(slots_[ni])) return false;
  const TWordSlot& n = slots_[ni];
  if (IsRelativePronoun(First(n))) return false;
  return IsPronoun(First(n)) || IsDeterminantVariant(First(n)) || n.capitalisation != 0 || ClauseVerb(ni) >= 0;
}

bool TSegmentLookup::ComparisonBefore(int i) const {
  // A comparison set up before, within the phrase: as ... as, so ... as, the
  // same ... as, such ... as; a finite verb, a connector or a relative
  // before it begins another.
  for (int j = i, seen = 0; j >= 0 && seen < 8; ++seen) {
    if (PauseBefore(slots_[j])) return false;
    j = PreviousWordSlot(j);
    if (j < 0) return false;
    const TWordSlot& s = slots_[j];
    if (Is(s, "as") || Is(s, "so") || Is(s, "same") || Is(s, "such") || Is(s, "just")) return true;
    const TCategoryRecord& r = First(s);
    if (IsFiniteVerb(r) || IsConnector(r) || IsRelativePronoun(r)) return false;
  }
  return false;
}

bool TSegmentLookup::ClauseOfTime(int v) const {
  // The clause's verb tells an action or a state that goes on; one that
  // reports or perceives (as we have seen) compares, and an auxiliary alone
  // stands for the verb before (as they did, as it is).
  const TWordSlot& verb = slots_[v];
  const TCategoryRecord* r = &First(verb);
  if (IsAuxiliary(*r)) {
    const int f = NextWordSlot(v);
    if (f < 0 || slots_[f].IsMark() || PauseBefore(slots_[f]) || !AnyReading(slots_[f], IsParticiple)) return false;
    const int pr = [&] {
      for (int k = 0; k <= slots_[f].readingCount && k < kSlotReadings; ++k)
        if (IsParticiple(slots_[f].readings[k])) return k;
      return 0;
    }();
    r = &slots_[f].readings[pr];
  }
  return IsFactive(*r) || (IsStative(*r) && !IsAuxiliary(*r));
}

bool TSegmentLookup::PerfectBefore(int i) const {
  // A form of have and a past participle before, within the clause.
  if (PauseBefore(slots_[i])) return false;
  for (int j = PreviousWordSlot(i), seen = 0; j >= 0 && seen < kClauseWords; j = PreviousWordSlot(j), ++seen) {
    if (IsFormOfHave(slots_[j])) {
      const int f = NextWordSlot(j);
      return f >= 0 && f < i && AnyReading(slots_[f], IsPastParticiple);
    }
    if (PauseBefore(slots_[j])) return false;
  }
  return false;
}

bool TSegmentLookup::ExpressionFits(int i, int last, const TCategoryRecord* readings, int count) const {
  bool verbExpression = false, preposition = false;
  for (int r = 0; r < count; ++r) {
    verbExpression |= IsVerb(readings[r]);
    preposition |= r == 0 && IsDeterminant(readings[r]);
  }
  const int after = NextWordSlot(last);
  const TWordSlot* next =
      after >= 0 && !slots_[after].IsMark() && !PauseBefore(slots_[after]) ? &slots_[after] : nullptr;
  // A preposition ending in "to" before a bare verb: the "to" is the verb's
  // (so small as to be; but in order to be, a connector, joins).
  if (preposition && Is(slots_[last], "to") && next && IsVerb(First(*next)) && HasBaseVerb(*next)) return false;
  // Only an expression that names or describes can take a verb: connectors
  // and prepositions (that is why, according to) join as they are.
  if (verbExpression || IsConnector(readings[0]) || preposition) return true;
  // A word of the clause out of the expression read first as a verb.
  bool verbOutside = false;
  for (int j = PreviousWordSlot(i), cur = i; j >= 0 && !PauseBefore(slots_[cur]); cur = j, j = PreviousWordSlot(j))
    verbOutside |= IsFiniteVerb(First(slots_[j]));
  for (int j = after; j >= 0 && !slots_[j].IsMark() && !PauseBefore(slots_[j]); j = NextWordSlot(j))
    verbOutside |= IsFiniteVerb(First(slots_[j]));
  // After a subject pronoun, a modal or "to", a first word that can be a
  // verb is that verb (he wound up with, to end on).
  const int pi = PreviousWordSlot(i);
  const TWordSlot* p = pi >= 0 && !PauseBefore(slots_[i]) ? &slots_[pi] : nullptr;
  if (p && AnyReading(slots_[i], IsFiniteVerb) &&
      ((IsPersonalPronoun(First(*p)) && !Is(*p, "it") && !Is(*p, "you") && !Is(*p, "one") && !verbOutside) ||
       Is(*p, "to") || (IsModal(*p) && HasBaseVerb(slots_[i]))))
    return false;
  if (verbOutside) return true;
  // Alone in its clause, a verb and its particle are the clause's verb (the
  // states end on varying dates; but wound up at the ocean).
  const int second = NextWordSlot(i);
  if (second == last && AnyReading(slots_[i], IsVerb) &&
      (IsDeterminant(First(slots_[last])) || IsModality(First(slots_[last]))))
    return false;
  // Alone in its clause, a word read first as a verb is its verb (The cat
  // sleeps).
  for (int j = NextWordSlot(i); j >= 0 && j <= last; j = NextWordSlot(j))
    if (IsFiniteVerb(First(slots_[j]))) return false;
  return true;
}

}  // namespace quilor
