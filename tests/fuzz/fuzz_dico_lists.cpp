// The dictionary builder's word lists: closed classes, irregular verbs,
// verb and adjective kinds, frequencies, names and excluded expressions, and
// the British and American word lists paired by spelling.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "dico/lists.h"
#include "dico/spelling_variants.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  using namespace quilor::dico;
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  WordLists lists;
  std::string error;
  if (data[0] >= 0xF0) {
    // Two word lists separated by a NUL.
    const size_t cut = text.find('\0');
    const auto british = ParseSpellingList(text.substr(0, cut));
    const auto american = ParseSpellingList(cut == std::string_view::npos ? std::string_view() : text.substr(cut + 1));
    PairSpellings(british, american);
    return 0;
  }
  switch (data[0] % 8) {
    case 0: ParseClosedList(text, "closed", lists, error); break;
    case 1: ParseIrregularList(text, "irregular", lists, error); break;
    case 2: ParseVerbKindList(text, "verbs", lists, error); break;
    case 3: ParseAdjectiveKindList(text, "adjectives", lists, error); break;
    case 4: ParseFrequencyList(text, "frequencies", lists, error); break;
    case 5: ParseNameList(text, "names", lists, error); break;
    case 6: ParseExpressionExclusionList(text, "expressions", lists, error); break;
    default: ParseStyleNormList(text, "norms", lists, error); break;
  }
  return 0;
}
