// Opens the dictionaries that segmentation needs from a dictionary folder:
// the lexicon "<code>glex.lv8", the dictionary matrix ".zv8" and the verb
// and adjective indexes (their files when present, else empty ones).
#pragma once

#include <string>

namespace quilor {

// The dictionary mask of a folder: "<folder>/englex.*".
std::string DictionaryMaskOf(const std::string& folder);
// Installs the globals MainDictionary, DictionaryMatrix, VerbIndex and
// AdjectiveIndex. A bad or missing lexicon or matrix ends the program
// (FatalError) as at start-up.
void OpenAnalysisDictionaries(const std::string& folder);
// Frees what OpenAnalysisDictionaries installed.
void CloseAnalysisDictionaries();

}  // namespace quilor
