// The lexicon in text form that the matrix builder reads.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "dico/lexicon_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quilor::dico::LexiconList lexicon;
  quilor::dico::ParseLexiconList(std::string_view(reinterpret_cast<const char*>(data), size), lexicon);
  for (const auto& [word, readings] : lexicon)
    if (word.empty() || readings.empty()) __builtin_trap();
  return 0;
}
