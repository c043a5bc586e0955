// Builds the gloss signatures (englex.gv8) of the ambiguous nouns from
// WordNet's definitions and pointers. Only the definitions are read: the
// quoted usage examples of a gloss never enter a signature.
#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dico/wordnet.h"
#include "engine/gloss_signatures.h"

namespace quilor::ontology_build {

// The definition of a gloss: its text without the quoted examples.
std::string GlossDefinition(std::string_view gloss);

// A noun lemma, its text-index entry and the level-1 class of each of its
// WordNet senses (0: none), in WordNet's order.
struct SignatureLemma {
  std::string lemma;
  uint32_t entry = 0;
  std::vector<uint16_t> classes;
};

// One signature per (entry, class) of a lemma whose senses fall in more than
// one class; at most `cap` words each, the most specific first.
GlossSignatureImage BuildGlossSignatures(const wordnet::Database& db, const std::vector<SignatureLemma>& lemmas,
                                         size_t cap = 64);

}  // namespace quilor::ontology_build
