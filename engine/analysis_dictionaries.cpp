#include "engine/analysis_dictionaries.h"

#include <sys/stat.h>

#include "core/lexicon.h"
#include "core/name_index.h"
#include "engine/dictionary_matrix.h"

namespace quilor {

namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

TStringHashIndex* OpenIndex(const std::string& mask, const char* extension) {
  const std::string base = mask.substr(0, mask.size() - 2);
  if (Exists(base + extension)) return new TStringHashIndex(2, true, 50, 1, mask, extension);
  return new TStringHashIndex(0, true, 50, 1, std::string(), extension);
}

}  // namespace

std::string DictionaryMaskOf(const std::string& folder) { return folder + "/englex.*"; }

void OpenAnalysisDictionaries(const std::string& folder) {
  CloseAnalysisDictionaries();
  const std::string mask = DictionaryMaskOf(folder);
  MainDictionary = OpenMainDictionary(folder + "/englex.lv8", 2);
  ReadDictionaryMatrix(mask);
  VerbIndex = OpenIndex(mask, ".vv8");
  AdjectiveIndex = OpenIndex(mask, ".av8");
}

void CloseAnalysisDictionaries() {
  delete MainDictionary;
  MainDictionary = nullptr;
  delete VerbIndex;
  VerbIndex = nullptr;
  delete AdjectiveIndex;
  AdjectiveIndex = nullptr;
  DictionaryMatrix = TDictionaryMatrix{};
}

}  // namespace quilor
