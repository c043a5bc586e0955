#include "dico/semantic_builder.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace quilor::ontology_build {

using wordnet::Pos;

namespace {

constexpr uint8_t kContextLevelOfRarerSenses = 3;
constexpr uint8_t kFlagInitialCapital = 1 << 5;
constexpr int kMaxChainSteps = 64;
constexpr size_t kMaxSegmentNodes = 32767;

// Level 3: broad fields. A concept belongs to the field of the nearest anchor
// above it in the hypernym tree; without one, to the field of its
// lexicographer file. Anchors are "lemma#sense" in WordNet 3.0.
struct FieldSpec {
  const char* name;
  std::vector<const char*> anchors;
};
const std::vector<FieldSpec>& TopicalFields() {
  static const std::vector<FieldSpec> fields = {
      {"money", {"financial_institution#1", "monetary_unit#1", "money#1", "commerce#1", "finance#1", "bank#2", "bank#6", "bank#7"}},
      {"nature", {"geological_formation#1", "body_of_water#1", "land#4"}},
      {"building", {"building#1", "structure#1"}},
      {"vehicle", {"vehicle#1", "craft#2"}},
      {"clothing", {"clothing#1"}},
      {"weapon", {"weapon#1"}},
      {"device", {"device#1"}},
      {"container", {"container#1"}},
      {"furniture", {"furniture#1"}},
      {"music", {"music#1", "musical_instrument#1", "musician#1"}},
      {"language", {"language#1", "linguistic_unit#1"}},
      {"writing", {"document#1", "publication#1", "writer#1"}},
      {"sport", {"sport#1", "athlete#1"}},
      {"war", {"military_action#1", "military_unit#1", "soldier#1"}},
      {"law", {"law#1", "crime#1", "lawyer#1", "legal_document#1"}},
      {"health", {"disease#1", "drug#1", "medical_care#1", "health_professional#1"}},
      {"religion", {"religion#1", "religion#2", "spiritual_being#1", "religious_person#1", "cleric#1"}},
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

// Field of the concepts no anchor reaches, by lexicographer file.
const std::map<std::string, std::string>& LexFileFields() {
  static const std::map<std::string, std::string> m = {
      {"noun.Tops", "entity"},       {"noun.act", "action"},        {"noun.animal", "animal"},
      {"noun.artifact", "artifact"}, {"noun.attribute", "quality"}, {"noun.body", "body"},
      {"noun.cognition", "knowledge"}, {"noun.communication", "communication"}, {"noun.event", "event"},
      {"noun.feeling", "feeling"},   {"noun.food", "food"},         {"noun.group", "group"},
      {"noun.location", "place"},    {"noun.motive", "motive"},     {"noun.object", "nature"},
      {"noun.person", "person"},     {"noun.phenomenon", "phenomenon"}, {"noun.plant", "plant"},
      {"noun.possession", "money"},  {"noun.process", "process"},   {"noun.quantity", "quantity"},
      {"noun.relation", "relation"}, {"noun.shape", "shape"},       {"noun.state", "state"},
      {"noun.substance", "substance"}, {"noun.time", "time"},
  };
  return m;
}

std::string LowerAscii(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
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
  int field = 0;           // level-3 class
  int middle = -1;         // concept that names the level-2 field
  int level1 = -1;         // concept that names the level-1 class
  int level1Class = 0;
  int level2Class = 0;
};

}  // namespace

bool SemanticBuilder::Build(SemanticDictionary& d, std::string& error) {
  stats_ = BuildStatistics{};
  const auto& synsets = db_.Synsets(Pos::Noun);
  std::vector<Concept> concepts;
  concepts.reserve(synsets.size());
  std::unordered_map<uint32_t, int> byOffset;
  for (const auto& [offset, s] : synsets) {
    byOffset[offset] = static_cast<int>(concepts.size());
    concepts.push_back(Concept{&s});
  }
  auto synsetOf = [&](std::string_view key) -> int {
    size_t hash = key.find('#');
    std::string lemma(key.substr(0, hash));
    int sense = std::atoi(std::string(key.substr(hash + 1)).c_str());
    const wordnet::IndexEntry* e = db_.FindLemma(Pos::Noun, lemma);
    if (!e || sense < 1 || static_cast<size_t>(sense) > e->synsets.size()) return -1;
    auto it = byOffset.find(e->synsets[static_cast<size_t>(sense - 1)]);
    return it == byOffset.end() ? -1 : it->second;
  };

  // The tree: first hypernym, else first instance hypernym.
  for (Concept& c : concepts) {
    int plain = -1, inst = -1;
    for (const wordnet::Pointer& p : c.synset->pointers) {
      if (p.pos != Pos::Noun) continue;
      auto it = byOffset.find(p.offset);
      if (it == byOffset.end()) continue;
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
  const auto& lemmas = db_.Lemmas(Pos::Noun);
  for (const wordnet::IndexEntry& e : lemmas) {
    for (size_t k = 0; k < e.synsets.size(); ++k) {
      auto it = byOffset.find(e.synsets[k]);
      if (it == byOffset.end()) continue;
      Concept& c = concepts[it->second];
      c.bestRank = std::min(c.bestRank, static_cast<int>(k) + 1);
      if (static_cast<int>(k) < e.tagSenseCount) c.tagged = true;
    }
  }

  // Level 3.
  fieldNames_.assign(1, std::string());
  std::map<std::string, int> fieldNumber;
  auto fieldOf = [&](const std::string& name) {
    auto [it, inserted] = fieldNumber.emplace(name, static_cast<int>(fieldNames_.size()));
    if (inserted) fieldNames_.push_back(name);
    return it->second;
  };
  std::unordered_map<int, int> anchors;
  for (const FieldSpec& f : TopicalFields()) {
    int number = fieldOf(f.name);
    for (const char* key : f.anchors) {
      int s = synsetOf(key);
      if (s < 0) stats_.warnings.push_back(std::string("anchor not found: ") + key);
      else anchors.emplace(s, number);
    }
  }
  for (const auto& [lex, name] : LexFileFields()) fieldOf(name);
  for (size_t i = 0; i < concepts.size(); ++i) {
    int field = 0;
    for (int a = static_cast<int>(i), steps = 0; a >= 0 && steps < kMaxChainSteps; a = concepts[a].parent, ++steps) {
      auto it = anchors.find(a);
      if (it != anchors.end()) {
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

  // Level 2: the nearest concept above (or the concept itself) that covers
  // enough concepts without leaving the field.
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

  // Level 1: the concepts that get a class of their own, most important first.
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
  std::unordered_set<std::string> usedNames;
  std::vector<std::string> level1Names(1);
  std::vector<int> level1Concept(1);
  for (int i : candidates) {
    if (static_cast<int>(level1Names.size()) > options_.level1Budget) break;
    for (const wordnet::SynsetWord& w : concepts[i].synset->words) {
      std::string name = LowerAscii(w.text);
      if (!CanStoreShiftedName(name) || usedNames.count(name)) continue;
      usedNames.insert(name);
      concepts[i].level1Class = static_cast<int>(level1Names.size());
      level1Names.push_back(name);
      level1Concept.push_back(i);
      break;
    }
  }
  for (size_t i = 0; i < concepts.size(); ++i) {
    int a = static_cast<int>(i);
    for (int steps = 0; a >= 0 && steps < kMaxChainSteps && !concepts[a].level1Class; ++steps) a = concepts[a].parent;
    concepts[i].level1 = a >= 0 && concepts[a].level1Class ? a : -1;
  }
  // Level-2 classes: the middle concepts of the level-1 concepts.
  middleNames_.assign(1, std::string());
  middleField_.assign(1, 0);
  middleSize_.assign(1, 0);
  std::unordered_set<std::string> usedMiddle;
  for (size_t t = 1; t < level1Concept.size(); ++t) {
    Concept& c = concepts[level1Concept[t]];
    Concept& m = concepts[c.middle];
    if (!m.level2Class) {
      std::string name;
      for (const wordnet::SynsetWord& w : m.synset->words) {
        std::string n = LowerAscii(w.text);
        if (CanStoreShiftedName(n) && !usedMiddle.count(n)) {
          name = n;
          break;
        }
      }
      if (name.empty()) name = LowerAscii(m.synset->words.front().text) + "_" + fieldNames_[m.field];
      for (int k = 2; usedMiddle.count(name) || !CanStoreShiftedName(name); ++k)
        name = LowerAscii(m.synset->words.front().text) + "_" + std::to_string(k);
      usedMiddle.insert(name);
      m.level2Class = static_cast<int>(middleNames_.size());
      middleNames_.push_back(name);
      middleField_.push_back(m.field);
      middleSize_.push_back(m.subtree);
    }
  }
  if (level1Names.size() - 1 > kMaxClassesPerLevel || middleNames_.size() - 1 > kMaxClassesPerLevel) {
    error = "too many classes";
    return false;
  }

  d = SemanticDictionary{};
  d.stamp = 0x53563038;  // changes only with the layout of the classes
  d.classCount[0] = static_cast<uint32_t>(level1Names.size() - 1);
  d.classCount[1] = static_cast<uint32_t>(middleNames_.size() - 1);
  d.classCount[2] = static_cast<uint32_t>(fieldNames_.size() - 1);
  d.names[0] = level1Names;
  d.names[1] = middleNames_;
  d.names[2] = fieldNames_;
  for (size_t t = 1; t < level1Concept.size(); ++t) {
    const Concept& c = concepts[level1Concept[t]];
    d.triples[t].cls[0] = static_cast<uint16_t>(t);
    d.triples[t].cls[1] = static_cast<uint16_t>(concepts[c.middle].level2Class);
    d.triples[t].cls[2] = static_cast<uint16_t>(c.field);
  }
  for (int l = 0; l < 3; ++l) {
    std::vector<std::vector<std::pair<std::string, uint16_t>>> keys(static_cast<size_t>(kClassNameSegments[l]));
    for (uint32_t k = 1; k <= d.classCount[l]; ++k) {
      std::string key = LowerAscii(d.names[l][k]);
      keys[static_cast<size_t>(ClassNameSegment(key, kClassNameSegments[l]) - 1)].push_back({key, static_cast<uint16_t>(k)});
    }
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

  // Text index of base forms and the readings of every lemma.
  std::unordered_map<std::string, std::vector<uint32_t>> recordsOf;
  std::vector<std::pair<std::string, uint32_t>> baseForms;
  std::unordered_set<std::string> seenLemmas;
  for (const wordnet::IndexEntry& e : lemmas) {
    uint32_t entry = static_cast<uint32_t>(d.textNames.size());
    if (!CanStoreShiftedName(e.lemma) || !seenLemmas.insert(e.lemma).second) continue;
    d.textNames.push_back(e.lemma);
    baseForms.push_back({e.lemma, entry});
    std::vector<uint32_t> records;
    std::set<uint16_t> triples;
    for (size_t k = 0; k < e.synsets.size() && records.size() < kMaxReadingDepth; ++k) {
      auto it = byOffset.find(e.synsets[k]);
      if (it == byOffset.end()) continue;
      const Concept& c = concepts[it->second];
      if (c.level1 < 0) continue;
      uint16_t triple = static_cast<uint16_t>(concepts[c.level1].level1Class);
      if (!triples.insert(triple).second) continue;
      SemanticEntryRecord r;
      r.flags = records.empty() ? 0 : kContextLevelOfRarerSenses;
      for (const wordnet::SynsetWord& w : c.synset->words)
        if (LowerAscii(w.text) == e.lemma && std::isupper(static_cast<unsigned char>(w.text[0]))) r.flags |= kFlagInitialCapital;
      r.triple = triple;
      r.baseForm = entry;
      d.records.push_back(r);
      records.push_back(static_cast<uint32_t>(d.records.size() - 1));
    }
    if (!records.empty()) recordsOf.emplace(e.lemma, std::move(records));
  }
  d.textIndex = MakeLargeTrieImage(baseForms);
  d.textCapacity = static_cast<uint32_t>(d.textIndex.Size());
  stats_.lemmas = static_cast<int>(recordsOf.size());

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
  for (const wordnet::IndexEntry& e : lemmas) {
    auto it = recordsOf.find(e.lemma);
    if (it != recordsOf.end()) insertWord(e.lemma, it->second);
  }
  for (const auto& [form, bases] : db_.Exceptions(Pos::Noun)) {
    if (recordsOf.count(form)) continue;
    for (const std::string& base : bases) {
      auto it = recordsOf.find(base);
      if (it == recordsOf.end()) continue;
      insertWord(form, it->second);
      ++stats_.irregularForms;
      break;
    }
  }
  // Currency symbols read as their unit (Windows-1252 bytes).
  const std::pair<const char*, const char*> currencies[] = {
      {"$", "dollar"}, {"\x80", "euro"}, {"\xA3", "pound_sterling"}, {"\xA5", "yen"}};
  for (const auto& [symbol, unit] : currencies) {
    auto it = recordsOf.find(unit);
    if (it != recordsOf.end()) insertWord(symbol, {it->second.front()});
    else stats_.warnings.push_back(std::string("currency unit not found: ") + unit);
  }
  for (int t = 0; t < kWordTableCount; ++t)
    if (!tableKeys[static_cast<size_t>(t)].empty()) d.tables[static_cast<size_t>(t)] = MakeWideTrieImage(tableKeys[static_cast<size_t>(t)]);
  stats_.records = static_cast<int>(d.records.size() - 1);
  for (const auto& t : d.tables) stats_.wordTableNodes += t.Size();

  // Words of the chemistry Scenario.
  auto subtreeWords = [&](const char* key, std::vector<std::string>& out, size_t limit) {
    int root = synsetOf(key);
    if (root < 0) return;
    std::unordered_set<std::string> seen;
    for (size_t i = 0; i < concepts.size() && out.size() < limit; ++i) {
      bool under = false;
      for (int a = static_cast<int>(i), steps = 0; a >= 0 && steps < kMaxChainSteps; a = concepts[a].parent, ++steps)
        if (a == root) under = true;
      if (!under) continue;
      for (const wordnet::SynsetWord& w : concepts[i].synset->words) {
        std::string n = LowerAscii(w.text);
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
  return true;
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
  std::vector<ScenarioFileImage> out;
  // Each field a group holding its level-3 class, with its largest middle
  // fields as subgroups.
  auto conceptsOf = [&](const std::vector<std::string>& fields, size_t subgroups, size_t minimumSize) {
    ClassFileList list;
    int signature = 0;
    for (size_t f = 1; f < fieldNames_.size(); ++f) {
      if (!fields.empty() && std::find(fields.begin(), fields.end(), fieldNames_[f]) == fields.end()) continue;
      AddGroup(list, signature, 0, fieldNames_[f]);
      AddItem(list, '3', 1, fieldNames_[f], fieldNames_[f]);
      std::vector<size_t> middles;
      for (size_t m = 1; m < middleNames_.size(); ++m)
        if (middleField_[m] == static_cast<int>(f) && static_cast<size_t>(middleSize_[m]) >= minimumSize) middles.push_back(m);
      std::stable_sort(middles.begin(), middles.end(), [&](size_t a, size_t b) { return middleSize_[a] > middleSize_[b]; });
      if (middles.size() > subgroups) middles.resize(subgroups);
      for (size_t m : middles) {
        std::string label = middleNames_[m];
        std::replace(label.begin(), label.end(), '_', ' ');
        if (label == fieldNames_[f]) continue;
        AddGroup(list, signature, 1, label);
        AddItem(list, '2', 2, middleNames_[m], label);
      }
    }
    return list;
  };
  ClassFileGroupCounter = 0;
  GroupRenumberingInProgress = false;
  out.push_back({"Concepts US V8.scn", conceptsOf({}, 6, 100)});
  out.push_back({"Natural sciences US V7.scn",
                 conceptsOf({"animal", "plant", "body", "substance", "phenomenon", "nature", "weather", "science", "energy",
                             "health", "quantity", "process", "shape"},
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
  out.push_back({"Chemistry US V7.scn", std::move(chemistry)});
  return out;
}

}  // namespace quilor::ontology_build
