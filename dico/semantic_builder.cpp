#include "dico/semantic_builder.h"

#include "core/options.h"
#include "engine/ontology_engine.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace quilor::ontology_build {

using wordnet::LowerAscii;
using wordnet::Pos;

namespace {

constexpr uint8_t kFlagInitialCapital = 1 << 5;
constexpr int kMaxChainSteps = 64;

// Level 3: broad fields. A concept belongs to the field of the nearest anchor
// above it in the hypernym tree; without one, to the field of its
// lexicographer file. Anchors are "lemma#sense" in WordNet 3.0.
struct FieldSpec {
  const char* name;
  std::vector<const char*> anchors;
};
const std::vector<FieldSpec>& TopicalFields() {
  static const std::vector<FieldSpec> fields = {
      {"money",
       {"financial_institution#1", "monetary_unit#1", "money#1", "commerce#1", "finance#1", "bank#2", "bank#6",
        "bank#9"}},
      {"nature", {"geological_formation#1", "body_of_water#1", "land#4"}},
      {"building", {"building#1", "structure#1"}},
      {"vehicle", {"vehicle#1", "craft#2"}},
      {"clothing", {"clothing#1"}},
      {"weapon", {"weapon#1"}},
      {"device", {"device#1"}},
      {"container", {"container#1"}},
      {"furniture", {"furniture#1"}},
      {"music",
       {"music#1", "musical_instrument#1", "musician#1", "musical_composition#1", "music_genre#1",
        "musical_organization#1"}},
      {"language", {"language#1", "linguistic_unit#1"}},
      {"writing", {"document#1", "publication#1", "writer#1"}},
      {"sport", {"sport#1", "athlete#1"}},
      {"war", {"military_action#1", "military_unit#1", "soldier#1"}},
      {"law", {"law#1", "crime#1", "lawyer#1", "legal_document#1", "court#1", "court#8"}},
      {"health", {"disease#1", "illness#1", "tumor#1", "drug#1", "medical_care#1", "health_professional#1"}},
      {"religion",
       {"religion#1", "religion#2", "spiritual_being#1", "religious_person#1", "cleric#1", "clergyman#1", "clergy#1"}},
      {"politics", {"government#1", "politics#1", "politician#1"}},
      {"science", {"science#1", "scientist#1"}},
      {"weather", {"weather#1", "atmospheric_phenomenon#1"}},
      {"family", {"family#1", "relative#1"}},
      {"education", {"education#1", "educational_institution#1", "student#1", "educator#1"}},
      {"art", {"art#1", "artist#1"}},
      {"work", {"occupation#1", "worker#1"}},
      {"computing", {"computer#1", "software#1"}},
      {"energy", {"energy#1", "fuel#1"}},
  };
  return fields;
}

// The heads of WordNet's hierarchies, anchors of the broad fields: what is
// under them and under no topical anchor takes their field rather than
// "entity".
const std::vector<FieldSpec>& HeadFields() {
  static const std::vector<FieldSpec> fields = {
      {"person", {"person#1"}},  {"animal", {"animal#1"}},       {"plant", {"plant#2"}}, {"food", {"food#1", "food#2"}},
      {"group", {"group#1"}},    {"action", {"act#2"}},          {"event", {"event#1"}}, {"substance", {"substance#1"}},
      {"place", {"location#1"}}, {"knowledge", {"cognition#1"}},
  };
  return fields;
}

// Field of the concepts no anchor reaches, by lexicographer file.
const std::map<std::string, std::string>& LexFileFields() {
  static const std::map<std::string, std::string> m = {
      {"noun.Tops", "entity"},
      {"noun.act", "action"},
      {"noun.animal", "animal"},
      {"noun.artifact", "artifact"},
      {"noun.attribute", "quality"},
      {"noun.body", "body"},
      {"noun.cognition", "knowledge"},
      {"noun.communication", "communication"},
      {"noun.event", "event"},
      {"noun.feeling", "feeling"},
      {"noun.food", "food"},
      {"noun.group", "group"},
      {"noun.location", "place"},
      {"noun.motive", "motive"},
      {"noun.object", "nature"},
      {"noun.person", "person"},
      {"noun.phenomenon", "phenomenon"},
      {"noun.plant", "plant"},
      {"noun.possession", "money"},
      {"noun.process", "process"},
      {"noun.quantity", "quantity"},
      {"noun.relation", "relation"},
      {"noun.shape", "shape"},
      {"noun.state", "state"},
      {"noun.substance", "substance"},
      {"noun.time", "time"},
  };
  return m;
}

struct Concept {
  const wordnet::Synset* synset = nullptr;
  int parent = -1;
  bool instance = false;
  int depth = -1;
  int subtree = 1;
  bool internal = false;
  int bestRank = 1 << 20;  // best sense number of the concept among its lemmas (1 = most frequent)
  bool tagged = false;
  int field = 0;    // level-3 class
  int middle = -1;  // concept that names the level-2 field
  int level1 = -1;  // concept that names the level-1 class
  int level1Class = 0;
  int level2Class = 0;
};

// A reading of a word: the senses of one lemma that land on one class of
// level 1, with their tagged counts summed.
struct Reading {
  uint16_t triple = 0;
  uint32_t baseForm = 0;
  int count = 0;
  double prior = 0;  // a little weight by sense order, for untagged senses
  bool capitalOnly = true;
  int field = 0;
};

}  // namespace

// What the phases of Build hand on to one another.
struct SemanticBuilder::Work {
  std::vector<Concept> concepts;
  std::unordered_map<uint32_t, int> byOffset;
  std::unordered_map<int, int> anchors;  // concept -> level-3 class
  std::set<int> topicalFields;
  int personConcept = -1;
  std::vector<std::string> level1Names;
  std::vector<int> level1Concept;
  // Levels 1 and 2: the name each class had before classes were named by
  // the word used most (its first word not yet taken).
  std::vector<std::string> formerNames[2];
  // The readings of every word and the text index of base forms.
  std::unordered_map<std::string, std::vector<Reading>> readingsOf;
  std::vector<std::pair<std::string, uint32_t>> baseForms;
  std::vector<std::string> words;  // the words with readings, sorted
  std::unordered_map<std::string, std::vector<uint32_t>> recordsOf;

  // The concept of "lemma#sense", or -1.
  int SynsetOf(const wordnet::Database& db, std::string_view key) const {
    size_t hash = key.find('#');
    std::string lemma(key.substr(0, hash));
    int sense = std::atoi(std::string(key.substr(hash + 1)).c_str());
    const wordnet::IndexEntry* e = db.FindLemma(Pos::Noun, lemma);
    if (!e || sense < 1 || static_cast<size_t>(sense) > e->synsets.size()) return -1;
    auto it = byOffset.find(e->synsets[static_cast<size_t>(sense - 1)]);
    return it == byOffset.end() ? -1 : it->second;
  }
};

bool SemanticBuilder::Build(SemanticDictionary& d, std::string& error) {
  stats_ = BuildStatistics{};
  Work w;
  MakeTree(w);
  AssignFields(w);
  AssignMiddleFields(w);
  ChooseLevel1Classes(w);
  NameLevel2Classes(w);
  if (w.level1Names.size() - 1 > kMaxClassesPerLevel || middleNames_.size() - 1 > kMaxClassesPerLevel) {
    error = "too many classes";
    return false;
  }
  if (!StoreClasses(w, d, error)) return false;
  CollectLemmaReadings(w, d);
  JoinPluralReadings(w);
  AddBritishSpellings(w, d);
  AddPersonReadings(w, d);
  StoreReadings(w, d);
  FillWordTables(w, d);
  CollectChemistryWords(w);
  return true;
}

// The tree: first hypernym, else first instance hypernym; each concept's
// depth, the size of its subtree and its best sense rank.
void SemanticBuilder::MakeTree(Work& w) const {
  std::vector<Concept>& concepts = w.concepts;
  const auto& synsets = db_.Synsets(Pos::Noun);
  concepts.reserve(synsets.size());
  for (const auto& [offset, s] : synsets) {
    w.byOffset[offset] = static_cast<int>(concepts.size());
    concepts.push_back(Concept{&s});
  }
  for (Concept& c : concepts) {
    int plain = -1, inst = -1;
    for (const wordnet::Pointer& p : c.synset->pointers) {
      if (p.pos != Pos::Noun) continue;
      auto it = w.byOffset.find(p.offset);
      if (it == w.byOffset.end()) continue;
      if (p.symbol == "@" && plain < 0) plain = it->second;
      if (p.symbol == "@i" && inst < 0) inst = it->second;
    }
    c.parent = plain >= 0 ? plain : inst;
    c.instance = plain < 0 && inst >= 0;
  }
  for (size_t i = 0; i < concepts.size(); ++i) {
    std::vector<int> chain;
    int a = static_cast<int>(i);
    while (a >= 0 && concepts[a].depth < 0 && chain.size() < kMaxChainSteps) chain.push_back(a), a = concepts[a].parent;
    int base = a >= 0 && concepts[a].depth >= 0 ? concepts[a].depth : -1;
    if (a >= 0 && concepts[a].depth < 0) concepts[a].parent = -1, base = -1;  // a cycle or a very deep chain: cut
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) concepts[*it].depth = ++base;
  }
  std::vector<int> order(concepts.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::sort(order.begin(), order.end(), [&](int a, int b) { return concepts[a].depth > concepts[b].depth; });
  for (int i : order) {
    int p = concepts[i].parent;
    if (p >= 0) {
      concepts[p].subtree += concepts[i].subtree;
      if (!concepts[i].instance) concepts[p].internal = true;
    }
  }
  // Sense ranks from the index.
  for (const wordnet::IndexEntry& e : db_.Lemmas(Pos::Noun)) {
    for (size_t k = 0; k < e.synsets.size(); ++k) {
      auto it = w.byOffset.find(e.synsets[k]);
      if (it == w.byOffset.end()) continue;
      Concept& c = concepts[it->second];
      c.bestRank = std::min(c.bestRank, static_cast<int>(k) + 1);
      if (static_cast<int>(k) < e.tagSenseCount) c.tagged = true;
    }
  }
}

// Level 3: every concept takes the field of its nearest anchor, else of its
// lexicographer file; people named in WordNet move under "person".
void SemanticBuilder::AssignFields(Work& w) {
  std::vector<Concept>& concepts = w.concepts;
  fieldNames_.assign(1, std::string());
  std::map<std::string, int> fieldNumber;
  auto fieldOf = [&](const std::string& name) {
    auto [it, inserted] = fieldNumber.emplace(name, static_cast<int>(fieldNames_.size()));
    if (inserted) fieldNames_.push_back(name);
    return it->second;
  };
  auto addAnchors = [&](const FieldSpec& f) {
    int number = fieldOf(f.name);
    for (const char* key : f.anchors) {
      int s = w.SynsetOf(db_, key);
      if (s < 0) stats_.warnings.push_back(std::string("anchor not found: ") + key);
      else w.anchors.emplace(s, number);
    }
  };
  for (const FieldSpec& f : TopicalFields()) addAnchors(f);
  for (const auto& [lex, name] : LexFileFields()) fieldOf(name);
  // Fields that say what a text is about: the topical ones and the heads of
  // living things, food and the body; the other broad fields (time, person,
  // action, quality...) occur in every text.
  for (size_t f = 1; f <= TopicalFields().size(); ++f) w.topicalFields.insert(static_cast<int>(f));
  for (const char* name : {"animal", "plant", "food", "body"}) w.topicalFields.insert(fieldOf(name));
  for (const FieldSpec& f : HeadFields()) addAnchors(f);
  for (size_t i = 0; i < concepts.size(); ++i) {
    int field = 0;
    for (int a = static_cast<int>(i), steps = 0; a >= 0 && steps < kMaxChainSteps; a = concepts[a].parent, ++steps) {
      auto it = w.anchors.find(a);
      if (it != w.anchors.end()) {
        field = it->second;
        break;
      }
    }
    if (!field) {
      auto it = LexFileFields().find(wordnet::LexFileName(concepts[i].synset->lexFile));
      field = fieldOf(it == LexFileFields().end() ? "entity" : it->second);
    }
    concepts[i].field = field;
  }

  // People named in WordNet (instances such as Lincoln) are persons: their
  // first hypernym (lawyer, president...) says what they did, not what they are.
  w.personConcept = w.SynsetOf(db_, "person#1");
  const int personLexFile = wordnet::LexFileNumber("noun.person");
  if (w.personConcept >= 0)
    for (Concept& c : concepts)
      if (c.instance && c.synset->lexFile == personLexFile)
        c.parent = w.personConcept, c.field = concepts[w.personConcept].field;
}

// Level 2: the nearest concept above (or the concept itself) that covers
// enough concepts without leaving the field.
void SemanticBuilder::AssignMiddleFields(Work& w) const {
  std::vector<Concept>& concepts = w.concepts;
  for (size_t i = 0; i < concepts.size(); ++i) {
    int a = static_cast<int>(i), last = a;
    for (int steps = 0; a >= 0 && steps < kMaxChainSteps; ++steps) {
      if (concepts[a].field != concepts[i].field) break;
      last = a;
      if (concepts[a].subtree >= options_.level2MinimumSubtree && !concepts[a].instance) break;
      a = concepts[a].parent;
    }
    concepts[i].middle = last;
  }
}

// Level 1: the concepts that get a class of their own, most important first;
// every concept then reads as its nearest classed concept.
void SemanticBuilder::ChooseLevel1Classes(Work& w) const {
  std::vector<Concept>& concepts = w.concepts;
  std::vector<int> candidates;
  for (size_t i = 0; i < concepts.size(); ++i)
    if (!concepts[i].instance) candidates.push_back(static_cast<int>(i));
  auto weight = [&](const Concept& c) { return c.tagged ? 3 : c.internal ? 2 : c.bestRank == 1 ? 1 : 0; };
  std::sort(candidates.begin(), candidates.end(), [&](int a, int b) {
    const Concept &x = concepts[a], &y = concepts[b];
    if (weight(x) != weight(y)) return weight(x) > weight(y);
    if (x.bestRank != y.bestRank) return x.bestRank < y.bestRank;
    if (x.subtree != y.subtree) return x.subtree > y.subtree;
    return x.synset->offset < y.synset->offset;
  });
  // A concept all of whose words a concept ranked before it has claimed is
  // read as its ancestor: it would be a second class for the same words.
  std::unordered_set<std::string> claimed;
  w.level1Concept.assign(1, 0);
  w.formerNames[0].assign(1, std::string());
  for (int i : candidates) {
    if (static_cast<int>(w.level1Concept.size()) > options_.level1Budget) break;
    for (const wordnet::SynsetWord& sw : concepts[i].synset->words) {
      std::string word = LowerAscii(sw.text);
      if (!CanStoreShiftedName(word) || claimed.count(word)) continue;
      claimed.insert(word);
      concepts[i].level1Class = static_cast<int>(w.level1Concept.size());
      w.level1Concept.push_back(i);
      w.formerNames[0].push_back(word);
      break;
    }
  }
  w.level1Names = ClassNames(w, w.level1Concept);
  for (size_t i = 0; i < concepts.size(); ++i) {
    int a = static_cast<int>(i);
    for (int steps = 0; a >= 0 && steps < kMaxChainSteps && !concepts[a].level1Class; ++steps) a = concepts[a].parent;
    concepts[i].level1 = a >= 0 && concepts[a].level1Class ? a : -1;
  }
}

// Level-2 classes: the middle concepts of the level-1 concepts.
void SemanticBuilder::NameLevel2Classes(Work& w) {
  std::vector<Concept>& concepts = w.concepts;
  std::vector<int> middles(1, 0);
  middleField_.assign(1, 0);
  middleSize_.assign(1, 0);
  middleIsField_.assign(1, false);
  middleSynset_.assign(1, nullptr);
  w.formerNames[1].assign(1, std::string());
  std::unordered_set<std::string> usedFormer;
  std::set<int> fieldsMet;
  for (size_t t = 1; t < w.level1Concept.size(); ++t) {
    Concept& c = concepts[w.level1Concept[t]];
    Concept& m = concepts[c.middle];
    if (!m.level2Class) {
      m.level2Class = static_cast<int>(middles.size());
      middles.push_back(c.middle);
      middleField_.push_back(m.field);
      middleSize_.push_back(m.subtree);
      // The first middle field of a field whose synset WordNet heads with
      // the field's own name is the field itself (animal, plant, person,
      // food; not solid food after it): it makes no subgroup of its own.
      std::string first = LowerAscii(m.synset->words.front().text);
      std::replace(first.begin(), first.end(), '_', ' ');
      middleIsField_.push_back(first == fieldNames_[m.field] && fieldsMet.insert(m.field).second);
      middleSynset_.push_back(m.synset);
      // The name earlier builds gave it: its first word not yet taken.
      std::string former;
      for (const wordnet::SynsetWord& sw : m.synset->words) {
        std::string word = LowerAscii(sw.text);
        if (CanStoreShiftedName(word) && !usedFormer.count(word)) {
          former = word;
          break;
        }
      }
      if (former.empty()) former = LowerAscii(m.synset->words.front().text) + "_" + fieldNames_[m.field];
      for (int k = 2; usedFormer.count(former) || !CanStoreShiftedName(former); ++k)
        former = LowerAscii(m.synset->words.front().text).substr(0, 30) + "_" + std::to_string(k);
      usedFormer.insert(former);
      w.formerNames[1].push_back(former);
    }
  }
  middleNames_ = ClassNames(w, middles);
}

// The names of classes (concepts[conceptOf[k]] for class k; k = 0 unused): a
// class is named by the word of its synset that is used most (WordNet's
// tagged sense counts; between equal counts, the synset's order), so that a
// reader knows it and reads it in that sense (head, not caput). Where
// classes would share a word, the one that uses it most (then the lower
// class number) keeps it alone; each other one adds the word of its nearest
// ancestor that tells it apart ("star (expert)"), a number only when none
// does. The names depend on WordNet alone, so an unchanged WordNet names the
// classes as before.
std::vector<std::string> SemanticBuilder::ClassNames(const Work& w, const std::vector<int>& conceptOf) const {
  const std::vector<Concept>& concepts = w.concepts;
  auto usedMost = [&](int c, int& count) {
    std::string best;
    count = -1;
    for (const wordnet::SynsetWord& sw : concepts[c].synset->words) {
      std::string word = LowerAscii(sw.text);
      if (!CanStoreShiftedName(word)) continue;
      const int n = db_.SenseTagCount(Pos::Noun, word, *concepts[c].synset);
      if (n > count) best = std::move(word), count = n;
    }
    return best.empty() ? std::string("class") : best;
  };
  std::vector<std::string> names(conceptOf.size());
  std::vector<int> counts(conceptOf.size(), 0);
  std::map<std::string, std::vector<size_t>> sharing;
  for (size_t k = 1; k < conceptOf.size(); ++k) {
    names[k] = usedMost(conceptOf[k], counts[k]);
    sharing[names[k]].push_back(k);
  }
  std::set<std::string> taken;
  for (const auto& [word, classes] : sharing) taken.insert(word);
  for (auto& [word, classes] : sharing) {
    std::stable_sort(classes.begin(), classes.end(), [&](size_t a, size_t b) { return counts[a] > counts[b]; });
    for (size_t i = 1; i < classes.size(); ++i) {
      std::string name;
      int a = concepts[conceptOf[classes[i]]].parent;
      for (int steps = 0; a >= 0 && steps < kMaxChainSteps && name.empty(); ++steps, a = concepts[a].parent) {
        int ignored = 0;
        const std::string qualifier = usedMost(a, ignored);
        const std::string candidate = word + " (" + qualifier + ")";
        if (qualifier != word && CanStoreShiftedName(candidate) && !taken.count(candidate)) name = candidate;
      }
      for (int number = 2; name.empty(); ++number) {
        const std::string candidate = word.substr(0, 30) + " " + std::to_string(number);
        if (CanStoreShiftedName(candidate) && !taken.count(candidate)) name = candidate;
      }
      taken.insert(name);
      names[classes[i]] = name;
    }
  }
  return names;
}

// The classes of the three levels, their triples and their name indexes.
bool SemanticBuilder::StoreClasses(const Work& w, SemanticDictionary& d, std::string& error) {
  const std::vector<Concept>& concepts = w.concepts;
  d = SemanticDictionary{};
  d.stamp = 0x53563038;  // changes only with the layout of the classes
  d.classCount[0] = static_cast<uint32_t>(w.level1Names.size() - 1);
  d.classCount[1] = static_cast<uint32_t>(middleNames_.size() - 1);
  d.classCount[2] = static_cast<uint32_t>(fieldNames_.size() - 1);
  d.names[0] = w.level1Names;
  d.names[1] = middleNames_;
  d.names[2] = fieldNames_;
  for (size_t t = 1; t < w.level1Concept.size(); ++t) {
    const Concept& c = concepts[w.level1Concept[t]];
    d.triples[t].cls[0] = static_cast<uint16_t>(t);
    d.triples[t].cls[1] = static_cast<uint16_t>(concepts[c.middle].level2Class);
    d.triples[t].cls[2] = static_cast<uint16_t>(c.field);
  }
  for (int l = 0; l < 3; ++l) {
    std::vector<std::vector<std::pair<std::string, uint16_t>>> keys(static_cast<size_t>(kClassNameSegments[l]));
    auto add = [&](const std::string& key, uint32_t k) {
      keys[static_cast<size_t>(ClassNameSegment(key, kClassNameSegments[l]) - 1)].push_back(
          {key, static_cast<uint16_t>(k)});
    };
    std::unordered_set<std::string> current;
    for (uint32_t k = 1; k <= d.classCount[l]; ++k) {
      current.insert(LowerAscii(d.names[l][k]));
      add(LowerAscii(d.names[l][k]), k);
    }
    // The names earlier builds gave the classes find them too, unless a
    // class now bears that name, so that a Scenario written with them
    // (caput, watercraft) still reaches its classes.
    if (l < 2)
      for (uint32_t k = 1; k <= d.classCount[l] && k < w.formerNames[l].size(); ++k)
        if (!current.count(w.formerNames[l][k])) add(w.formerNames[l][k], k);
    d.nameIndexes[l].assign(keys.size(), CompactSegment{});
    for (size_t s = 0; s < keys.size(); ++s) {
      CompactSegment& seg = d.nameIndexes[l][s];
      if (!MakeCompactTrieImage(keys[s], seg.trie)) {
        error = "a class-name index segment is full at level " + std::to_string(l + 1);
        return false;
      }
      seg.inserts = static_cast<uint32_t>(keys[s].size());
      seg.empty = keys[s].empty();
    }
  }
  stats_.classes[0] = static_cast<int>(d.classCount[0]);
  stats_.classes[1] = static_cast<int>(d.classCount[1]);
  stats_.classes[2] = static_cast<int>(d.classCount[2]);
  return true;
}

// Text index of base forms and the readings of every lemma. A reading of a
// word: the senses of one lemma that land on one class of level 1, with
// their tagged counts summed.
void SemanticBuilder::CollectLemmaReadings(Work& w, SemanticDictionary& d) {
  const std::vector<Concept>& concepts = w.concepts;
  std::unordered_set<std::string> seenLemmas;
  senseTable_.clear();
  auto addSenses = [&](const wordnet::IndexEntry& e, uint32_t entry, std::vector<Reading>& out) {
    for (size_t k = 0; k < e.synsets.size(); ++k) {
      auto it = w.byOffset.find(e.synsets[k]);
      if (it == w.byOffset.end()) continue;
      const Concept& c = concepts[it->second];
      if (c.level1 < 0) continue;
      const uint16_t triple = static_cast<uint16_t>(concepts[c.level1].level1Class);
      // A sense holds only for a capitalised word when its synset writes
      // the lemma with a capital and never without one (Earth and earth
      // are both the planet; China is only the country).
      bool capital = false, lower = false;
      for (const wordnet::SynsetWord& sw : c.synset->words)
        if (LowerAscii(sw.text) == e.lemma) {
          if (std::isupper(static_cast<unsigned char>(sw.text[0]))) capital = true;
          else lower = true;
        }
      capital = capital && !lower;
      const int count = db_.SenseTagCount(Pos::Noun, e.lemma, *c.synset);
      auto same = std::find_if(out.begin(), out.end(), [&](const Reading& r) { return r.triple == triple; });
      if (same == out.end()) {
        out.push_back(
            Reading{triple, entry, 0, 0, true, concepts[triple ? w.level1Concept[triple] : it->second].field});
        same = out.end() - 1;
      }
      same->count += count;
      same->prior += 1.0 / static_cast<double>(2 + k);
      same->capitalOnly = same->capitalOnly && capital;
    }
  };
  for (const wordnet::IndexEntry& e : db_.Lemmas(Pos::Noun)) {
    uint32_t entry = static_cast<uint32_t>(d.textNames.size());
    if (!CanStoreShiftedName(e.lemma) || !seenLemmas.insert(e.lemma).second) continue;
    d.textNames.push_back(e.lemma);
    w.baseForms.push_back({e.lemma, entry});
    std::vector<Reading> readings;
    addSenses(e, entry, readings);
    LemmaSenses table{e.lemma, {}};
    for (size_t k = 0; k < e.synsets.size(); ++k) {
      auto it = w.byOffset.find(e.synsets[k]);
      int l1 = it == w.byOffset.end() ? -1 : concepts[it->second].level1;
      table.senses.push_back(
          {static_cast<uint16_t>(l1 >= 0 ? concepts[l1].level1Class : 0),
           it == w.byOffset.end() ? 0 : db_.SenseTagCount(Pos::Noun, e.lemma, *concepts[it->second].synset)});
    }
    senseTable_.push_back(std::move(table));
    if (!readings.empty()) w.readingsOf.emplace(e.lemma, std::move(readings));
  }
}

// A plural that is a lemma of its own (years, men, arms) is first the
// plural of its singular: the singular's senses join its own, by count.
void SemanticBuilder::JoinPluralReadings(Work& w) {
  auto& readingsOf = w.readingsOf;
  std::unordered_map<std::string, const std::vector<std::string>*> exceptionBases;
  for (const auto& [f, bases] : db_.Exceptions(Pos::Noun)) exceptionBases.emplace(f, &bases);
  auto singularLemma = [&](const std::string& form) -> std::string {
    if (auto it = exceptionBases.find(form); it != exceptionBases.end())
      for (const std::string& b : *it->second)
        if (b != form && readingsOf.count(b)) return b;
    std::string singular, alternative;
    if (form.find('_') == std::string::npos && SingularOf(form, singular, alternative)) {
      if (singular != form && readingsOf.count(singular)) return singular;
      if (!alternative.empty() && alternative != form && readingsOf.count(alternative)) return alternative;
    }
    return std::string();
  };
  std::vector<std::pair<std::string, std::vector<Reading>>> pluralReadings;
  for (auto& [lemma, own] : readingsOf) {
    std::string base = singularLemma(lemma);
    if (base.empty()) continue;
    std::vector<Reading> merged = readingsOf[base];
    for (const Reading& r : own) {
      auto same = std::find_if(merged.begin(), merged.end(), [&](const Reading& m) { return m.triple == r.triple; });
      if (same == merged.end()) {
        Reading late = r;
        // A plural's own senses come after the singular's: half their weight.
        late.prior *= 0.5;
        late.count = (late.count + 1) / 2;
        merged.push_back(late);
      } else {
        same->count += r.count;
      }
    }
    pluralReadings.emplace_back(lemma, std::move(merged));
  }
  for (auto& [lemma, merged] : pluralReadings) readingsOf[lemma] = std::move(merged);
  stats_.pluralLemmas = static_cast<int>(pluralReadings.size());
}

// The entry of a base form in the text index, added when it is new.
uint32_t SemanticBuilder::BaseFormEntry(Work& w, SemanticDictionary& d, const std::string& word) {
  for (const auto& [bw, entry] : w.baseForms)
    if (bw == word) return entry;
  uint32_t entry = static_cast<uint32_t>(d.textNames.size());
  d.textNames.push_back(word);
  w.baseForms.push_back({word, entry});
  return entry;
}

// A British spelling reads as its American spelling (colour as color), with
// the American sense weights: the tagged corpus is American.
void SemanticBuilder::AddBritishSpellings(Work& w, SemanticDictionary& d) {
  int britishForms = 0;
  for (const auto& [british, american] : options_.britishSpellings) {
    auto it = w.readingsOf.find(american);
    if (it == w.readingsOf.end() || !CanStoreShiftedName(british)) continue;
    std::vector<Reading> readings = it->second;
    for (Reading& r : readings) r.baseForm = 0;
    w.readingsOf[british] = std::move(readings);
    ++britishForms;
  }
  stats_.britishForms = britishForms;
  for (const auto& [british, american] : options_.britishSpellings) {
    auto it = w.readingsOf.find(british);
    if (it != w.readingsOf.end() && !it->second.empty() && it->second.front().baseForm == 0) {
      const uint32_t entry = BaseFormEntry(w, d, british);
      for (Reading& r : it->second) r.baseForm = entry;
    }
  }
}

// Titles (Mr, Dr, Sen.) are read as the person they introduce; given names
// are persons too, a name that is also a word (Bill, Frank) only when
// written with its capital. A name that is also a place or a month
// (Virginia, Florence, May) keeps those readings: its context chooses.
void SemanticBuilder::AddPersonReadings(Work& w, SemanticDictionary& d) {
  const std::vector<Concept>& concepts = w.concepts;
  const int personConcept = w.personConcept;
  const uint16_t personTriple = personConcept >= 0 && concepts[personConcept].level1 >= 0
                                    ? static_cast<uint16_t>(concepts[concepts[personConcept].level1].level1Class)
                                    : 0;
  if (!personTriple) return;
  auto addPerson = [&](const std::string& word, bool title) {
    if (!CanStoreShiftedName(word)) return;
    std::vector<Reading>& readings = w.readingsOf[word];
    const bool common = std::any_of(readings.begin(), readings.end(), [](const Reading& r) { return !r.capitalOnly; });
    // A title's own capitalised reading ("Mr" a form of address) gives way to the person.
    if (title)
      readings.erase(std::remove_if(readings.begin(), readings.end(), [](const Reading& r) { return r.capitalOnly; }),
                     readings.end());
    // One person reading: a person WordNet names gives way to it.
    readings.erase(
        std::remove_if(readings.begin(), readings.end(), [&](const Reading& r) { return r.triple == personTriple; }),
        readings.end());
    Reading person{personTriple, BaseFormEntry(w, d, word), 0, 0, common, concepts[personConcept].field};
    int most = 0;
    for (const Reading& r : readings) most = std::max(most, r.count);
    person.count = most + 1;
    readings.push_back(person);
  };
  for (std::string_view title : PersonTitles()) addPerson(std::string(title), true);
  for (const std::string& name : options_.givenNames) addPerson(name, false);
}

// The stored readings: the common ones by weight, then those that hold
// only for a word with an initial capital. The weight (second record byte,
// 1..250) is the reading's share of the word's tagged senses. The context
// level says which evidence of the text speaks for a reading: its topical
// field (level 3), or, for a reading in a broad field, its very class
// (level 1).
void SemanticBuilder::StoreReadings(Work& w, SemanticDictionary& d) {
  w.words.reserve(w.readingsOf.size());
  for (const auto& [word, r] : w.readingsOf) w.words.push_back(word);
  std::sort(w.words.begin(), w.words.end());
  for (const std::string& word : w.words) {
    std::vector<Reading>& readings = w.readingsOf[word];
    if (readings.empty()) continue;
    double total = 0;
    for (const Reading& r : readings) total += r.count + r.prior;
    std::stable_sort(readings.begin(), readings.end(), [](const Reading& x, const Reading& y) {
      if (x.capitalOnly != y.capitalOnly) return !x.capitalOnly;
      return x.count + x.prior > y.count + y.prior;
    });
    if (readings.size() > kMaxReadingDepth) readings.resize(kMaxReadingDepth);
    std::vector<uint32_t> records;
    for (const Reading& r : readings) {
      SemanticEntryRecord rec;
      rec.flags = w.topicalFields.count(r.field) ? 3 : 1;
      if (r.capitalOnly) rec.flags |= kFlagInitialCapital;
      rec.extra = static_cast<uint8_t>(std::clamp(static_cast<int>(250.0 * (r.count + r.prior) / total + 0.5), 1, 250));
      rec.triple = r.triple;
      rec.baseForm = r.baseForm;
      d.records.push_back(rec);
      records.push_back(static_cast<uint32_t>(d.records.size() - 1));
    }
    w.recordsOf.emplace(word, std::move(records));
  }
  d.textIndex = MakeLargeTrieImage(w.baseForms);
  d.textCapacity = static_cast<uint32_t>(d.textIndex.Size());
  stats_.lemmas = static_cast<int>(w.recordsOf.size());
}

// The word tables: every word with its records, irregular plurals with
// their base's, currency symbols with their unit's.
void SemanticBuilder::FillWordTables(const Work& w, SemanticDictionary& d) {
  const auto& recordsOf = w.recordsOf;
  std::vector<std::vector<std::pair<std::string, int32_t>>> tableKeys(kWordTableCount);
  std::unordered_set<std::string> wordsDone;
  auto insertWord = [&](const std::string& key, const std::vector<uint32_t>& records) {
    if (!wordsDone.insert(key).second) return;
    for (size_t depth = 0; depth < records.size(); ++depth) {
      int t = SemanticTableForDepth(options_.letterGroups, key, static_cast<int>(depth));
      int32_t v = static_cast<int32_t>(records[depth]);
      tableKeys[static_cast<size_t>(t - 1)].push_back({key, depth + 1 < records.size() ? -v : v});
    }
  };
  for (const std::string& word : w.words) {
    auto it = recordsOf.find(word);
    if (it != recordsOf.end()) insertWord(word, it->second);
  }
  auto irregular = [&](const std::string& form, const std::string& base) {
    if (recordsOf.count(form) || !CanStoreShiftedName(form)) return false;
    auto it = recordsOf.find(base);
    if (it == recordsOf.end()) return false;
    insertWord(form, it->second);
    ++stats_.irregularForms;
    return true;
  };
  for (const auto& [form, bases] : db_.Exceptions(Pos::Noun))
    for (const std::string& base : bases)
      if (irregular(form, base)) break;
  // Plurals in -men (women, salesmen, gentlemen) that the exception list lacks.
  for (const std::string& word : w.words)
    if (word.size() >= 3 && word.compare(word.size() - 3, 3, "man") == 0)
      irregular(word.substr(0, word.size() - 3) + "men", word);
  // Currency symbols read as their unit (Windows-1252 bytes).
  const std::pair<const char*, const char*> currencies[] = {
      {"$", "dollar"}, {"\x80", "euro"}, {"\xA3", "pound_sterling"}, {"\xA5", "yen"}};
  for (const auto& [symbol, unit] : currencies) {
    auto it = recordsOf.find(unit);
    if (it != recordsOf.end()) insertWord(symbol, {it->second.front()});
    else stats_.warnings.push_back(std::string("currency unit not found: ") + unit);
  }
  for (int t = 0; t < kWordTableCount; ++t)
    if (!tableKeys[static_cast<size_t>(t)].empty())
      d.tables[static_cast<size_t>(t)] = MakeWideTrieImage(tableKeys[static_cast<size_t>(t)]);
  stats_.records = static_cast<int>(d.records.size() - 1);
  for (const auto& t : d.tables) stats_.wordTableNodes += t.Size();
}

// Words of the chemistry Scenario.
void SemanticBuilder::CollectChemistryWords(const Work& w) {
  const std::vector<Concept>& concepts = w.concepts;
  auto subtreeWords = [&](const char* key, std::vector<std::string>& out, size_t limit) {
    int root = w.SynsetOf(db_, key);
    if (root < 0) return;
    std::unordered_set<std::string> seen;
    for (size_t i = 0; i < concepts.size() && out.size() < limit; ++i) {
      bool under = false;
      for (int a = static_cast<int>(i), steps = 0; a >= 0 && steps < kMaxChainSteps; a = concepts[a].parent, ++steps)
        if (a == root) under = true;
      if (!under) continue;
      for (const wordnet::SynsetWord& sw : concepts[i].synset->words) {
        std::string n = LowerAscii(sw.text);
        if (seen.insert(n).second && n.size() < 64) out.push_back(n);
      }
    }
  };
  elementWords_.clear();
  compoundWords_.clear();
  acidWords_.clear();
  subtreeWords("chemical_element#1", elementWords_, 400);
  subtreeWords("acid#1", acidWords_, 400);
  subtreeWords("compound#2", compoundWords_, 600);
}

namespace {

void AddGroup(ClassFileList& list, int& signature, int depth, const std::string& label) {
  ClassFileEntry g;
  g.code[0] = 'G', g.code[1] = '#', g.code[2] = static_cast<char>('0' + depth), g.code[3] = 'V';
  g.text1 = std::to_string(++signature);
  g.text2 = label;
  list.Add(g);
}

void AddItem(ClassFileList& list, char kind, int depth, const std::string& text, const std::string& group) {
  ClassFileEntry e;
  e.code[0] = kind, e.code[1] = '#', e.code[2] = static_cast<char>('0' + depth), e.code[3] = '#';
  e.text1 = text;
  e.text2 = group;
  list.Add(e);
}

}  // namespace

std::vector<ScenarioFileImage> SemanticBuilder::DefaultScenarios() const {
  // The files are the installed Scenarios that the program knows by name.
  const char* const kConceptsUs = kDefaultScenarioNames[1];
  const char* const kConceptsUk = kDefaultScenarioNames[2];
  const char* const kNaturalSciences = kDefaultScenarioNames[3];
  const char* const kChemistry = kDefaultScenarioNames[4];
  std::vector<ScenarioFileImage> out;
  // Labels in another spelling (the British one).
  struct Spelling {
    std::unordered_map<std::string, std::string> labels;  // American word -> British word
    std::string Label(const std::string& label) const {
      std::string result, word;
      for (size_t i = 0; i <= label.size(); ++i) {
        if (i < label.size() && label[i] != ' ') {
          word += label[i];
          continue;
        }
        auto it = labels.find(word);
        result += it == labels.end() ? word : it->second;
        if (i < label.size()) result += ' ';
        word.clear();
      }
      return result;
    }
  };
  // The largest middle fields of a field, shown as its subgroups.
  auto subgroupsOf = [&](size_t f, size_t subgroups, size_t minimumSize) {
    std::vector<size_t> middles;
    for (size_t m = 1; m < middleNames_.size(); ++m)
      if (middleField_[m] == static_cast<int>(f) && static_cast<size_t>(middleSize_[m]) >= minimumSize)
        middles.push_back(m);
    std::stable_sort(middles.begin(), middles.end(),
                     [&](size_t a, size_t b) { return middleSize_[a] > middleSize_[b]; });
    if (middles.size() > subgroups) middles.resize(subgroups);
    std::vector<size_t> shown;
    for (size_t m : middles)
      if (!middleIsField_[m]) shown.push_back(m);
    return shown;
  };
  // Each field a group holding its level-3 class, with its largest middle
  // fields as subgroups.
  auto conceptsOf = [&](const std::vector<std::string>& fields, size_t subgroups, size_t minimumSize,
                        const Spelling* spelling = nullptr) {
    ClassFileList list;
    int signature = 0;
    for (size_t f = 1; f < fieldNames_.size(); ++f) {
      if (!fields.empty() && std::find(fields.begin(), fields.end(), fieldNames_[f]) == fields.end()) continue;
      const std::string fieldLabel = spelling ? spelling->Label(fieldNames_[f]) : fieldNames_[f];
      AddGroup(list, signature, 0, fieldLabel);
      AddItem(list, '3', 1, fieldNames_[f], fieldLabel);
      const std::vector<size_t> shown = subgroupsOf(f, subgroups, minimumSize);
      for (size_t m : shown) {
        std::string label = middleNames_[m];
        std::replace(label.begin(), label.end(), '_', ' ');
        // A subgroup named like its group (knowledge under knowledge) adds
        // another word of its synset, so that the two labels differ.
        if (label == fieldNames_[f])
          for (const wordnet::SynsetWord& sw : middleSynset_[m]->words) {
            std::string other = LowerAscii(sw.text);
            std::replace(other.begin(), other.end(), '_', ' ');
            if (other == label) continue;
            label += " (" + other + ")";
            break;
          }
        if (spelling) label = spelling->Label(label);
        AddGroup(list, signature, 1, label);
        AddItem(list, '2', 2, middleNames_[m], label);
      }
    }
    return list;
  };
  GroupNumbering.counter = 0;
  GroupNumbering.renumberingInProgress = false;
  constexpr size_t kConceptSubgroups = 6, kConceptSubgroupMinimum = 100;
  out.push_back({kConceptsUs, conceptsOf({}, kConceptSubgroups, kConceptSubgroupMinimum)});
  if (!options_.britishSpellings.empty()) {
    Spelling british;
    for (const auto& [b, a] : options_.britishSpellings) british.labels.emplace(a, b);
    out.push_back({kConceptsUk, conceptsOf({}, kConceptSubgroups, kConceptSubgroupMinimum, &british)});
  }
  out.push_back(
      {kNaturalSciences, conceptsOf({"animal", "plant", "body", "substance", "phenomenon", "nature", "weather",
                                     "science", "energy", "health", "quantity", "process", "shape"},
                                    12, 60)});
  ClassFileList chemistry;
  int signature = 0;
  std::unordered_set<std::string> used;
  auto wordGroup = [&](const std::string& label, const std::vector<std::string>& words) {
    if (words.empty()) return;
    AddGroup(chemistry, signature, 0, label);
    for (const std::string& w : words)
      if (used.insert(w).second) AddItem(chemistry, '0', 1, w, label);
  };
  wordGroup("chemical elements", elementWords_);
  wordGroup("acids", acidWords_);
  wordGroup("chemical compounds", compoundWords_);
  out.push_back({kChemistry, std::move(chemistry)});
  return out;
}

}  // namespace quilor::ontology_build
