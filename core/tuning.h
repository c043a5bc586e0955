// The values the analysis is tuned with. The program never changes them: the
// measuring tools vary them from their command lines, and a test that sets
// one for a case puts them all back with Tuning = {}.
#pragma once

#include <cstdint>

namespace quilor {

struct TTuning {
  // Decoding kind 3 gives Performative (4) while on, else 8 (no label).
  bool performatives = true;
  // How much the occurrences of a reading's field in the rest of the text
  // weigh against the sense weights: a reading's weight is multiplied by
  // (1 + the occurrences, at most 8) raised to this power in hundredths
  // (0 leaves the weights alone).
  int senseEvidenceWeight = 50;
  // How much the words near a noun that a reading's gloss signature holds
  // speak for that reading: its weight is multiplied by (1 + their signature
  // weights beyond the default's and a margin) raised to this power in
  // hundredths. 0 leaves the glosses out and their file unread: the
  // type-level measure on the Brown files loses by every noun they move off
  // its most frequent class (dico/ontology.md, "Gloss signatures").
  int glossEvidenceWeight = 0;
  // What each later reading of a word loses in the segment resolver's score:
  // the dictionary lists a word's readings most frequent first, and the
  // context weights alone do not know the word. Calibrated with the
  // dictionary matrix (dico/README.md, "Word kinds", measures it with the
  // look-ahead in place).
  int32_t laterReadingCost = 60;
};
extern TTuning Tuning;

}  // namespace quilor
