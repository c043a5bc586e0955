// English inflection rules: singulars, plurals and the base forms that an
// -ed, -ing, -n or -s ending suggests. Plain suffix rules on lower-case
// words held in 80-byte buffers (at most 79 characters and the NUL).
#pragma once

#include "core/category.h"

namespace quilor {

constexpr int kWordBufferSize = 80;

// The tense (SubField2) and mood (SubField3) guessed by the last
// VerbFormCandidates of the calling thread: lookups run on several threads.
extern thread_local TCategoryRecord GuessedVerbCategory;

// Length >= 2, the character before the last is not '_', the last is 's' and
// the one before it is not 's'.
bool IsPluralForm(const char* word, int length);
bool IsPlural(const char* word);
// The singular of a plural form in place (callers test IsPlural first); the
// alternative (another possible singular, or empty) is cleared first.
// False for words of fewer than 4 characters, or not ending in 's'.
bool Singular(char* word, char* alternative);
// The plural in place, in a buffer of kWordBufferSize bytes; False when none was made.
bool Plural(char* word);
bool MakePlural(char* word);
// Candidate base forms of a verb form: word becomes candidate 1, candidate2
// and candidate3 are filled or left empty; GuessedVerbCategory receives the
// tense and mood. False for words of fewer than 4 characters.
bool VerbFormCandidates(char* word, char* candidate2, char* candidate3);

}  // namespace quilor
