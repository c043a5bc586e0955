// The ontology engine's links with the lexical store: the lexicon asks it for
// nouns, the verb and adjective indexes receive the Scenario entries of their
// words, and the running text index is made from the dictionary's base forms.
#include <algorithm>
#include <cstring>
#include <future>
#include <system_error>
#include <utility>

#include "core/lexicon.h"
#include "core/name_index.h"
#include "engine/ontology_engine.h"

namespace quilor {

namespace {

class LexiconLink : public LexiconOntology {
 public:
  explicit LexiconLink(TOntologyEngine& engine) : engine_(engine) {}
  int LookupEntry(const char* word, bool& found) override {
    EntryLookup r = engine_.LookupEntry(word);
    found = r.found;
    return r.found ? r.record : -1;
  }
  int ScenarioEntryOfWordForm(const char* word, int length) override {
    return static_cast<int>(engine_.ScenarioEntryOfWordForm(std::string_view(word, static_cast<size_t>(length))));
  }
  bool HoldsWithClass(const char* word, uint32_t classId) override {
    for (int depth = 0; depth < kMaxReadingDepth; ++depth) {
      if (!engine_.LookupReading(word, depth)) return false;
      if (classId == 0 || engine_.Reading().cls[0] == classId) return true;
      if (!engine_.LastReadingAmbiguous()) return false;
    }
    return false;
  }

 private:
  TOntologyEngine& engine_;
};

ScenarioNameIndex IndexOf(TStringHashIndex* index) {
  if (!index) return {};
  return {[index](const std::string& name) {
            int e = index->FindNameEntry(name.c_str());
            return e > 0 ? static_cast<uint32_t>(e) : 0u;
          },
          static_cast<uint32_t>(index->NameEntryCount())};
}

}  // namespace

TTextIndex* TOntologyEngine::MakeTextIndex() const {
  const uint32_t capacity = dict_.textCapacity;
  LargeTrieImage& image = *textIndexImage_;
  const size_t nodes = static_cast<size_t>(capacity) + 1;
  TTextIndex* index = nullptr;
  if (image.Size() == nodes) {
    // The engine's own arrays, read where they are.
    index = CreateTextIndex(3, 0);
    index->ShareTrie(textIndexImage_, image.chars.data(), image.links.data(), image.values.data(), capacity);
  } else {
    // Every node is written below: the arrays are not cleared first.
    index = CreateTextIndex(3, capacity);
    auto& a = index->trie.MutableArrays();
    const size_t n = std::min(image.Size(), nodes);
    std::memcpy(a.chars, image.chars.data(), n);
    std::memcpy(a.links, image.links.data(), n * sizeof(int32_t));
    std::memcpy(a.values, image.values.data(), n * sizeof(uint32_t));
    std::fill(a.chars + n, a.chars + nodes, 0);
    std::fill(a.links + n, a.links + nodes, -1);
    std::fill(a.values + n, a.values + nodes, 0u);
  }
  index->entries = TextIndexNameCount();
  index->ShareNames(textNames_);
  index->AllocateTextIndexCounts();
  return index;
}

void TOntologyEngine::ShareScenarioWithIndexes() const {
  for (uint32_t i = 1; i < verbMap_.size(); ++i)
    if (VerbIndex) VerbIndex->SetClassCell(static_cast<int>(i), verbMap_[i]);
  for (uint32_t i = 1; i < adjectiveMap_.size(); ++i)
    if (AdjectiveIndex) AdjectiveIndex->SetClassCell(static_cast<int>(i), adjectiveMap_[i]);
  if (TextIndex && TextIndex->entries + 1 == textIndexMap_.size())
    for (uint32_t i = 1; i < textIndexMap_.size(); ++i) TextIndex->SetTextIndexValue(i, textIndexMap_[i]);
}

namespace {

struct Preload {
  std::string path;
  std::future<std::pair<std::unique_ptr<TOntologyEngine>, SemanticReadResult>> result;
};
Preload& PendingPreload() {
  static Preload preload;
  return preload;
}

}  // namespace

void PreloadOntologyEngine(const std::string& dictionaryPath) {
  Preload& p = PendingPreload();
  if (p.result.valid()) p.result.wait();
  p.path = dictionaryPath;
  try {
    p.result = std::async(std::launch::async, [dictionaryPath] {
      auto engine = std::make_unique<TOntologyEngine>();
      SemanticReadResult r = engine->LoadFileQuietly(dictionaryPath);
      return std::make_pair(std::move(engine), r);
    });
  } catch (const std::exception&) {
    p.path.clear();  // no thread: the engine is read when it is started
  }
}

void StartOntologyEngine(const std::string& dictionaryPath) {
  Preload& p = PendingPreload();
  if (p.result.valid() && p.path == dictionaryPath) {
    auto [engine, r] = p.result.get();
    OntologyEngine = std::move(engine);
    TOntologyEngine::ReportLoadFailure(dictionaryPath, r);
  } else {
    if (p.result.valid()) p.result.wait();
    OntologyEngine = std::make_unique<TOntologyEngine>();
    OntologyEngine->LoadFile(dictionaryPath);
  }
  OntologyEngine->SetAnomalyReporter(ProgramAnomalyReporter);
  // The gloss signatures lie beside the dictionary; the first choice that
  // needs them waits for them.
  std::string glosses = dictionaryPath;
  if (glosses.size() >= 4 && glosses.compare(glosses.size() - 4, 4, ".sv8") == 0) glosses.resize(glosses.size() - 4);
  OntologyEngine->ReadGlossesInBackground(glosses + ".gv8");
  delete TextIndex;
  TextIndex = OntologyEngine->MakeTextIndex();
  OntologyEngine->SetVerbIndex(IndexOf(VerbIndex));
  OntologyEngine->SetAdjectiveIndex(IndexOf(AdjectiveIndex));
  static LexiconLink* link = nullptr;
  delete link;
  link = new LexiconLink(*OntologyEngine);
  SetLexiconOntology(link);
}

void StopOntologyEngine() {
  SetLexiconOntology(nullptr);
  OntologyEngine.reset();
}

}  // namespace quilor
