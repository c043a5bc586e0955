// Writes the English dictionary files from the lexicon model, through the
// lexicon and name-index writers of the lexical store.
#pragma once

#include <string>

#include "dico/lexicon_model.h"

namespace quilor::dico {

// Segment counts of the name indexes, as start-up opens them.
constexpr int kNameIndexPrimarySegments = 7;
constexpr int kNameIndexSecondarySegments = 29;
// Stamp of the dictionary files: the version of their data.
constexpr uint32_t kDictionaryStamp = 1;

struct WriteReport {
  size_t words = 0, verbs = 0, verbForms = 0, adjectives = 0, adjectiveForms = 0;
  size_t refused = 0;  // names or forms an index could not take
};

// englex.lv8, englex.vv8 and englex.av8 in the folder.
bool WriteDictionaryFiles(const LexiconModel& model, const WordLists& lists, const std::string& folder,
                          WriteReport& report, std::string& error);

}  // namespace quilor::dico
