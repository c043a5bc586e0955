// WordNet database files: index, data, exception and sense-count files.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "dico/wordnet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  using namespace quilor::wordnet;
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  Database db;
  std::string error;
  Pos pos = static_cast<Pos>(data[0] % kPosCount);
  switch ((data[0] >> 2) % 4) {
    case 0: db.AddIndexFile(pos, text, "index", error); break;
    case 1: db.AddDataFile(pos, text, "data", error); break;
    case 2: db.AddExceptionFile(pos, text, "exc", error); break;
    default: db.AddCountFile(text, "cntlist.rev", error); break;
  }
  for (const IndexEntry& e : db.Lemmas(pos)) {
    db.FirstSenseLexFile(pos, e.lemma);
    db.TaggedCount(pos, e.lemma);
    db.SenseTagCount(pos, e.lemma, data[0] % kLexFileCount, data[0] % 16);
  }
  for (const auto& [offset, synset] : db.Synsets(pos)) {
    db.Hypernyms(synset);
    for (const SynsetWord& w : synset.words) db.SenseTagCount(pos, w.text, synset);
  }
  return 0;
}
