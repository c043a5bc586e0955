// Builds the semantic dictionary (englex.sv8) and the default Scenario files
// from WordNet's noun hierarchy. The choice of the fields of each level is
// described in dico/ontology.md.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "core/class_file.h"
#include "dico/wordnet.h"
#include "engine/semantic_dictionary_file.h"

namespace quilor::ontology_build {

struct BuildOptions {
  int level1Budget = 42000;       // classes of level 1; the rest of the 65,535 stay free for unknown nouns
  int level2MinimumSubtree = 70;  // a middle field covers at least this many concepts
  unsigned char letterGroups[256] = {};
  std::vector<std::string> givenNames;  // lower case; each read as a person
  // (British, American) spellings: a British noun reads as its American
  // spelling, with the American spelling's sense weights.
  std::vector<std::pair<std::string, std::string>> britishSpellings;
};

struct BuildStatistics {
  int classes[3] = {0, 0, 0};
  int lemmas = 0;
  int irregularForms = 0;
  int pluralLemmas = 0;
  int britishForms = 0;  // British spellings read as their American spelling  // plurals that are lemmas of their own,
                         // read through their singular first
  int records = 0;
  size_t wordTableNodes = 0;
  std::vector<std::string> warnings;
};

struct ScenarioFileImage {
  std::string name;  // "Concepts US V8.scn"...
  ClassFileList list;
};

class SemanticBuilder {
 public:
  SemanticBuilder(const wordnet::Database& db, const BuildOptions& options) : db_(db), options_(options) {}
  // Fills the dictionary; false with a message when a limit of the format is exceeded.
  bool Build(SemanticDictionary& out, std::string& error);
  const BuildStatistics& Statistics() const { return stats_; }
  // The default Scenarios, made from the classes of the last Build. With
  // British spellings in the options also "Concepts UK V8.scn": the concepts
  // with British labels.
  std::vector<ScenarioFileImage> DefaultScenarios() const;
  // Per noun lemma of WordNet, in WordNet's sense order: the level-1 class
  // of each sense (0 when it has none) and its tagged count; for measuring.
  struct LemmaSenses {
    std::string lemma;
    std::vector<std::pair<uint16_t, int>> senses;
  };
  const std::vector<LemmaSenses>& SenseTable() const { return senseTable_; }

 private:
  // The phases of Build, in order, over the state they hand on.
  struct Work;
  void MakeTree(Work& w) const;
  void AssignFields(Work& w);
  void AssignMiddleFields(Work& w) const;
  void ChooseLevel1Classes(Work& w) const;
  void NameLevel2Classes(Work& w);
  std::vector<std::string> ClassNames(const Work& w, const std::vector<int>& conceptOf) const;
  bool StoreClasses(const Work& w, SemanticDictionary& d, std::string& error);
  void CollectLemmaReadings(Work& w, SemanticDictionary& d);
  void JoinPluralReadings(Work& w);
  void AddBritishSpellings(Work& w, SemanticDictionary& d);
  void AddPersonReadings(Work& w, SemanticDictionary& d);
  void StoreReadings(Work& w, SemanticDictionary& d);
  void FillWordTables(const Work& w, SemanticDictionary& d);
  void CollectChemistryWords(const Work& w);
  static uint32_t BaseFormEntry(Work& w, SemanticDictionary& d, const std::string& word);

  const wordnet::Database& db_;
  BuildOptions options_;
  BuildStatistics stats_;
  // Results kept for the Scenarios.
  std::vector<std::string> fieldNames_;                   // level 3, 1-based
  std::vector<std::string> middleNames_;                  // level 2, 1-based
  std::vector<int> middleField_;                          // level-2 class -> level-3 class
  std::vector<int> middleSize_;                           // concepts under each middle field
  std::vector<bool> middleIsField_;                       // the middle field is its field's head
  std::vector<const wordnet::Synset*> middleSynset_;      // each middle field's synset
  std::vector<std::vector<std::string>> chemistryWords_;  // element and compound names
  std::vector<std::string> elementWords_, compoundWords_, acidWords_;
  std::vector<LemmaSenses> senseTable_;
};

}  // namespace quilor::ontology_build
