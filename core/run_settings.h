// What an analysis run reads of the user's options, taken once as the run
// starts: the run works from this copy and never from the options record,
// so that a change of the options during a run waits for the next one.
#pragma once

#include <cstdint>

#include "core/options.h"

namespace quilor {

// The defaults are those of a new options record.
struct TRunSettings {
  // The minimum occurrences of a significant class: a count of words
  // (classThresholdInWords) or ten-thousandths of the text's words.
  bool classThresholdInWords = true;
  uint16_t classMinWords = 3;
  uint16_t classPertinence = 15;
  // The level the relations are counted on (1..4).
  uint16_t relationBase = 1;
  // The characteristic propositions: the percentage of the parts kept.
  uint16_t characteristicParts = 90;
  // Texts above this many units of 1,024,000 bytes ask before loading (at least 2).
  uint16_t sizeThreshold = 25;
  // A Borders file is named: its Borders may apply to the text.
  bool bordersNamed = false;
  // The Borders' own words stay in the text.
  bool showBorders = false;
  // Numerals count as words (normalisation).
  bool numbersAsWords = false;
  // The current Scenario classifies every word category.
  bool scenarioOnAllCategories = false;
};

// The run settings of options. A size threshold below 2 and a relation base
// outside 1..4 are put right in options first, which keeps them.
TRunSettings TakeRunSettings(TOptionsRecord& options);
// The same of the program's options record.
TRunSettings TakeRunSettings();

}  // namespace quilor
