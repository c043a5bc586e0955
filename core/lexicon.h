// The lexicon of the analysis language ("<name>.lv8") and word lookup.
//
// A lexicon is 50 dictionary tries mapping a lower-case word form to its
// 16-bit category code. Reading r (0..5) of a word lives in the sub-trie that
// SelectSubTrie(r, key) names; a code with bit 15 set says that reading r + 1
// exists too.
//
// File layout (little-endian):
//   0     1     version byte 'v'
//   1     4     stamp                 5  4  second field (both kept, not checked)
//   9     18    unused                27 1  language byte
//   28    256   letter groups         284 256 character classes
//   540   256   Macintosh to ANSI     796 256 collation
//   1052  77    style norms (signed)  1129 4 magic 1,234,567   1133 1 unused
//   1134  50 x 24 sub-trie records (u32 node count n at record offset 16)
//   then the chars of sub-tries 1..50 (n bytes each), their values (2n bytes
//   each), their links (4n bytes each, -1 = none).
//
// Writing: LexiconWriter takes words with their readings, the six working
// tables and the two header fields, and writes the file:
//
//   LexiconWriter w(tables);             // WorkingTables: the six tables
//   w.AddWord("walk", {0x0100, 0x0800}); // readings in order, at most 6
//   w.Write("Dico/englex.lv8", &error);
//
// Reading: TMainDictionary(name, mode) loads "<name with .lv8>" (mode 0: an
// empty lexicon, no file). Every count, link and size is checked against the
// file before anything reaches the globals; a bad file ends the program
// through FatalError (exit code 1 corrupt or wrong version, 2 read error).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/category.h"
#include "core/chartables.h"
#include "core/expression_filter.h"
#include "core/inflection.h"
#include "core/trie.h"

namespace quilor {

constexpr int kLexiconSubTries = 50;
constexpr int kMaxReadings = 6;  // depths 0..5
constexpr size_t kLexiconHeaderSize = 1134;
constexpr size_t kLexiconRecordSize = 24;
constexpr uint8_t kLexiconVersion = 'v';
constexpr uint32_t kEmptyLexiconCapacity = 600000;

// Language codes of the general state.
constexpr int kLanguageSpanish = 3;
constexpr int kLanguageEnglish = 4;
constexpr int kLanguagePortuguese = 6;

// Number (1..50) of the sub-trie holding reading `depth` (0..5) of a key,
// with the letter groups of the given table. The key's characters are taken
// lower-cased, like the keys themselves.
int SubTrieOf(int depth, const char* key, const unsigned char* letterGroup);

// What the lexicon asks of the ontology engine; installed by the engine.
class LexiconOntology {
 public:
  virtual ~LexiconOntology() = default;
  // The word's entry in its depth-0 table (>= 1), or -1; found receives the
  // engine's found flag.
  virtual int LookupEntry(const char* word, bool& found) = 0;
  // The word's Scenario entry, 0 when none.
  virtual int ScenarioEntryOfWordForm(const char* word, int length) = 0;
  // True when one of the word's readings has this level-1 class (any reading for 0).
  virtual bool HoldsWithClass(const char* word, uint32_t classId) = 0;
};
// nullptr (the default) leaves the ontology out of lookups.
void SetLexiconOntology(LexiconOntology* ontology);
LexiconOntology* CurrentLexiconOntology();

// What a lookup found, and the room it works in. The dictionary keeps one
// for the callers that read its last lookup; a thread that looks words up
// beside others keeps its own and reads the dictionary only.
struct TLexiconAnswer {
  // Last lookup.
  TCategoryCode value = 0;
  TCategoryRecord record;
  // Flags of the last LookupWord.
  bool WordFoundAsWritten = false;
  bool WordKnownToOntology = false;
  bool FoundAsOntologyNoun = false;
  bool keyReached = false;
  bool knownToOntology = false;
  bool depthOverflowReported = false;
  char buffers[3][kWordBufferSize] = {};
};

class TMainDictionary : public TLexiconAnswer {
 public:
  // Mode 0: empty lexicon, no file. Other modes: loads the ".lv8" file of the
  // name (its extension replaced).
  TMainDictionary(const std::string& lexiconName, int mode);
  // Loads a file image (tests and fuzzing); name is used in messages.
  TMainDictionary(const uint8_t* data, size_t size, const std::string& name);
  ~TMainDictionary();
  TMainDictionary(const TMainDictionary&) = delete;
  TMainDictionary& operator=(const TMainDictionary&) = delete;

  // SelectSubTrie: the sub-trie for a reading; depths above 5 give -1 (the
  // reading is skipped and reported once).
  int SelectSubTrie(int depth, const char* key) { return SelectSubTrie(depth, key, *this); }
  int SelectSubTrie(int depth, const char* key, TLexiconAnswer& answer) const;
  // Reading `depth` of the key: the node (> 0), or -1; the code goes to value
  // and record.
  int LookupLexiconReading(int depth, const char* key) { return LookupLexiconReading(depth, key, *this); }
  int LookupLexiconReading(int depth, const char* key, TLexiconAnswer& answer) const;

  bool ready = false;
  uint32_t capacity = kEmptyLexiconCapacity;
  uint32_t stamp = 0;
  uint32_t secondField = 0;
  int openMode = 0;
  std::string fileName;
  // Language of the lookups (the general state's code; English by default).
  int language = kLanguageEnglish;

  // One attempt of LookupWord: the form in the sub-trie, else the ontology
  // (and the Scenario when asked), which make it a Substantive of value 1.
  int Attempt(int subTrie, const char* form, bool alsoScenario) { return Attempt(subTrie, form, alsoScenario, *this); }
  int Attempt(int subTrie, const char* form, bool alsoScenario, TLexiconAnswer& answer) const;
  // Nodes of a sub-trie (1..50).
  uint32_t NodeCount(int subTrie) const;
  // Calls visit for every key of every sub-trie with its code. False when a
  // damaged trie would take more than a few walks of its nodes (the keys
  // visited by then are all visited).
  bool ForEachKey(const std::function<void(const std::string& key, TCategoryCode code)>& visit) const;
  // The filter of the expression keys, shared by every thread that looks
  // words up, once it is built; nullptr before (a candidate is then looked
  // for in the lexicon itself, which answers the same).
  const TExpressionFilter* BuiltExpressionFilter() const {
    return filterReady_.load(std::memory_order_acquire) ? &filter_ : nullptr;
  }
  // Has the filter built, once: on a thread of its own when the process has
  // a processor to spare (BuiltExpressionFilter answers nullptr meanwhile),
  // else at once. The walk of the whole lexicon costs more than the
  // candidates of a short text: the lookup asks for it only once a text
  // has shown it many candidates.
  void BuildExpressionFilter();

 private:
  struct SubTrie {
    uint64_t first = 0;
    uint32_t count = 0;
  };
  void Load(class DictionarySource& source);
  // The sibling tables of every sub-trie, built by a few threads while the
  // lexicon is already in use (a walk answers the same without its table,
  // only slower); with one processor, built here.
  void BuildSiblingIndexes();
  const TrieSiblingIndex* SiblingIndex(int subTrie) const {
    return siblingsReady_[subTrie].load(std::memory_order_acquire) ? &siblings_[subTrie] : nullptr;
  }
  int Find(int subTrie, const char* key, TLexiconAnswer& answer) const;

  SubTrie subTries_[kLexiconSubTries + 1];
  TrieSiblingIndex siblings_[kLexiconSubTries + 1];
  std::atomic<bool> siblingsReady_[kLexiconSubTries + 1] = {};
  std::atomic<int> nextSiblingIndex_{1};
  std::vector<std::thread> siblingBuilders_;
  std::vector<unsigned char> chars_;
  std::vector<uint16_t> values_;
  std::vector<int32_t> links_;
  std::once_flag filterStarted_;
  std::atomic<bool> filterReady_{false};
  TExpressionFilter filter_;
  std::thread filterBuilder_;
};

extern TMainDictionary* MainDictionary;
// A new lexicon object (start-up keeps it in MainDictionary).
inline TMainDictionary* OpenMainDictionary(const std::string& lexiconName, int mode) {
  return new TMainDictionary(lexiconName, mode);
}

// One reading (0..5) of a word, with the fall-backs: plural, English verb
// forms, the ontology and the Scenario, two Romance-language rules. The
// result is the node or 1 (found) or -1; the dictionary's value (0 unknown),
// record and flags tell the rest.
// The answer goes to the given one, the dictionary is only read: threads
// with answers of their own may look words up at once.
int LookupWord(const TMainDictionary& dictionary, TLexiconAnswer& answer, int reading, int length, bool tryOtherForms,
               bool alsoScenario, const char* word);
inline int LookupWord(TMainDictionary& dictionary, int reading, int length, bool tryOtherForms, bool alsoScenario,
                      const char* word) {
  return LookupWord(dictionary, dictionary, reading, length, tryOtherForms, alsoScenario, word);
}
// Replaces a word (at most 79 characters, buffer of kWordBufferSize) by its base form.
bool ReduceToBaseForm(TMainDictionary& dictionary, const TWordCategoryData& data, char* word);
// The infinitive of the verb form in buffers[0]; False with all five buffers
// cleared when none is found.
bool FindVerbInfinitive(TMainDictionary& dictionary, const TCategoryRecord& verb, char buffers[5][kWordBufferSize]);

// The same on the global MainDictionary (False when there is none).
inline bool ReduceToBaseForm(const TWordCategoryData& data, char* word) {
  return MainDictionary && ReduceToBaseForm(*MainDictionary, data, word);
}
inline bool FindVerbInfinitive(const TCategoryRecord& verb, char buffers[5][kWordBufferSize]) {
  return MainDictionary && FindVerbInfinitive(*MainDictionary, verb, buffers);
}

class LexiconWriter {
 public:
  explicit LexiconWriter(const WorkingTables& tables, uint32_t stamp = 0, uint32_t secondField = 0);
  // Appends readings to a word (its key lower-cased); bit 15 of each code is
  // set by the writer when another reading follows. False (nothing added) for
  // an empty word or one of 80 characters or more, a code 0 as last reading,
  // or more than 6 readings in all. A stored 0 means "no key", so a plain
  // Substantive is written with a class code that decodes as Substantive
  // (0x0700 or 0x0900-0x0F00) or with a flag bit.
  bool AddWord(const std::string& word, const std::vector<TCategoryCode>& codes);
  bool AddWord(const std::string& word, std::initializer_list<TCategoryCode> codes) {
    return AddWord(word, std::vector<TCategoryCode>(codes));
  }
  size_t WordCount() const { return words_.size(); }
  // The file image; empty with the reason in error when a sub-trie cannot hold its keys.
  std::vector<uint8_t> Build(std::string* error = nullptr) const;
  bool Write(const std::string& path, std::string* error = nullptr) const;

 private:
  WorkingTables tables_;
  uint32_t stamp_;
  uint32_t secondField_;
  std::map<std::string, std::vector<TCategoryCode>> words_;
};

}  // namespace quilor
