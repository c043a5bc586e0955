// The ontology engine: the semantic classes of an analysis on four levels
// (1 References, 2 Reference fields 2, 3 Reference fields 1, all from the
// semantic dictionary, and 4 the groups of the user's Scenario), the readings
// of words, the choice among the readings of an ambiguous noun, the classes
// added for unknown nouns, and the application of the Scenario.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/category.h"
#include "core/class_file.h"
#include "core/dictionary_file.h"
#include "engine/count_table.h"
#include "engine/form_table.h"
#include "engine/gloss_signatures.h"
#include "engine/gloss_source.h"
#include "engine/semantic_dictionary_file.h"
#include "engine/semantic_word_index.h"

namespace quilor {

constexpr int kMsgCorruptDictionaryStamp = 13;
constexpr int kMsgDepthOverflow = 14;
constexpr int kMsgScenario = 309;
constexpr int kMsgDuplicated = 458;
constexpr int kMsgNotInDictionary = 465;
constexpr int kMsgOntologyIndexOverflow = 476;
constexpr int kMsgOldScenarioVersion = 1235;
constexpr int kMsgDepthJump = 5600;
constexpr int kMsgDepthOverflowNotice = 5601;

constexpr int kLevelCount = 4;
constexpr int kMaxScenarioEntries = 65535;
constexpr int kHistorySize = 50;

// Where the Scenario anomalies go: the anomaly list window implements it.
class ScenarioAnomalyReporter {
 public:
  virtual ~ScenarioAnomalyReporter() = default;
  // Empties the list (a new load begins).
  virtual void Clear() = 0;
  // One anomaly: the message number and the line's text.
  virtual void Report(int messageId, const std::string& text) = 0;
  // The load ended; anyReported tells whether to show or free the list.
  virtual void Finish(bool anyReported) = 0;
};

// Keeps the anomalies in memory (tests and tools).
class RecordingAnomalyReporter : public ScenarioAnomalyReporter {
 public:
  struct Line {
    int messageId;
    std::string text;
  };
  void Clear() override { lines.clear(); }
  void Report(int messageId, const std::string& text) override { lines.push_back({messageId, text}); }
  void Finish(bool anyReported) override { finished = true, shown = anyReported; }
  std::vector<Line> lines;
  bool finished = false;
  bool shown = false;
};

// The verb and adjective indexes as the Scenario sees them: the entry of a
// name (0 when absent) and the number of entries.
struct ScenarioNameIndex {
  std::function<uint32_t(const std::string&)> find;
  uint32_t count = 0;
};

// One reading of a word.
struct WordReading {
  uint32_t cls[4] = {0, 0, 0, 0};  // classes of levels 1-3 and the Scenario entry
  int32_t value = 0;               // triple number
  uint8_t contextLevel = 0;
  uint8_t flags = 0;
  uint8_t extra = 0;
  uint32_t baseForm = 0;
  bool fromNormalisedForm = false;
};

// A noun near the one being classified: the text-index entry of its base
// form (0: unknown) and its classes of levels 1-3.
struct NearNoun {
  uint32_t baseForm = 0;
  uint32_t cls[3] = {0, 0, 0};
  uint32_t at = 0;  // the word's place in its document
};

// What the words around a capitalised noun say it names; and a number
// in figures before a noun, the unit it counts (160 feet).
enum NameCue : uint8_t { kCuePlace = 1, kCueTime = 2, kCuePerson = 4, kCueUnit = 8 };

// The part a capitalised word may take in a person's name.
enum class NamePart : uint8_t {
  kNone,     // a common word (it may still be a surname after a title or an initial)
  kTitle,    // Mr, Mrs, Dr, Sen... and Jr, Sr
  kInitial,  // a single capital letter followed by a period
  kPerson,   // a word one of whose readings is a person (a given name, a person WordNet names)
  kRole,     // a common word naming a person (Mayor, Judge, Chairman)
  kName,     // a word the dictionary does not know, or knows only with its capital
};

// What a capitalised word may be in a name: its part in a person's name, and
// what its first reading as a common word makes of the name words beside it.
struct NameWord {
  NamePart part = NamePart::kNone;
  // A person by office, trade or rank (Mayor, Judge, Coach, President): it
  // may begin a person's name as a title does.
  bool role = false;
  // A place, a body or a building (County, Street, Company, Hotel), and no
  // reading of the word is a person: the name words just before it name it.
  bool head = false;
  // The dictionary does not know the word, or knows it best as a name (its
  // heaviest reading holds only with its capital).
  bool name = false;
  // Its heaviest reading is a person (a given name: Grace, Sidney).
  bool personName = false;
  // Its heaviest reading is a time: a day or a month (Friday, June).
  bool timeName = false;
  // A person only with its capital, known best as a common noun: a famous
  // bearer's surname (Court, Grant, Gore).
  bool commonFirst = false;
  // One of its readings is a place (Virginia, Oklahoma, Washington).
  bool place = false;
};

// Titles read as the person they introduce (lower case, without a period).
std::span<const std::string_view> PersonTitles();
bool IsPersonTitle(std::string_view word);

// The readings of a word the engine looked up and keeps in its memory, for
// a later choice for the same word without looking it up again: good as
// long as the memory is not emptied (its generation is the same). A token
// of 0 readings stands for none.
struct ReadingsToken {
  uint32_t readings = 0;
  uint32_t generation = 0;
};

// What LookupEntry found: absence, value and ambiguity kept apart.
struct EntryLookup {
  bool found = false;
  int32_t record = 0;  // entry record of the first reading
  bool ambiguous = false;
};

class TTextIndex;

class TOntologyEngine {
 public:
  TOntologyEngine();
  ~TOntologyEngine();
  TOntologyEngine(const TOntologyEngine&) = delete;
  TOntologyEngine& operator=(const TOntologyEngine&) = delete;

  // Loads the dictionary file; a missing, corrupt or wrong-version file shows
  // its message and ends the program (exit code 2 for a read error, else 1).
  void LoadFile(const std::string& path);
  // The same without a message or an end: the result says what was wrong
  // (may run on a thread of its own; touches nothing but this engine).
  SemanticReadResult LoadFileQuietly(const std::string& path);
  // Shows the message of a failed load and ends the program; nothing when it loaded.
  static void ReportLoadFailure(const std::string& path, const SemanticReadResult& result);
  // The largest semantic dictionary read (the English one has about 31 MB).
  static constexpr size_t kMaxSemanticFileBytes = size_t{512} << 20;
  // Loads from a file image; the result says what was wrong (nothing shown).
  SemanticReadResult LoadBytes(std::string_view bytes);
  bool Ready() const { return ready_; }
  // Has the index of the word tables built now, beside what follows (for a
  // long text: otherwise it is built once the tables have been walked often).
  void BuildWordIndexAhead();
  // Class triple t (the classes of levels 1-3 of a reading); 1-based.
  const ClassTriple& TripleAt(uint16_t t) const { return dict_.triples[t]; }
  // The stamp of the loaded dictionary file.
  uint32_t DictionaryStamp() const { return dict_.stamp; }

  // Level accessors (level 1..4).
  int32_t DictionaryClassCount(int level) const;
  int32_t LevelClassCount(int level) const;
  int32_t RankedClassTotal(int level) const;
  // "?" outside 1..count; at level 4 the index is a Scenario entry, and an
  // entry without a label has an empty name.
  std::string ClassName(int level, int32_t index) const { return std::string(ClassNameView(level, index)); }
  // The same name, read in place (valid while the engine's classes stay).
  std::string_view ClassNameView(int level, int32_t index) const;
  const std::string& ClassNameAt(int level, int32_t index) const { return names_[level][index]; }
  std::string ScenarioClassName(int32_t index) const { return ClassName(4, index); }
  // Occurrences of a class in the analysed text; at level 4 the count of the
  // Scenario entry (the same number the Scenario ranking shows).
  uint32_t ClassOccurrences(int level, int32_t index) const;
  int32_t RankedClass(int level, int32_t rank) const;
  uint32_t RankedClassOccurrences(int level, int32_t rank) const;
  std::string RankedClassName(int level, int32_t rank) const;
  bool IsAddedClass(int level, int32_t index) const { return index > DictionaryClassCount(level); }

  // The class-name index of a level, segment by segment, to an open log:
  // its keys and how full it is, then the largest, average and total.
  void WriteIndexStatistics(int level, std::FILE* log) const;

  // Classes added during an analysis and counts.
  void ResetTextClasses();
  // Every count of the text: the classes of the four levels, the Scenario
  // entries, the entries of VerbIndex and AdjectiveIndex and of TextIndex.
  void ClearTextCounts();
  // The new class number, 0 when the level is full.
  int32_t AddClassName(int level, const std::string& name);
  int32_t AddClass(int level, const std::string& key, bool useClassNameIndex, const std::string& name);
  void RankLevel(int level);

  // Readings. LookupEntry and ScenarioEntryOfWordForm answer the lexicon's
  // lookups on the loading's threads while the first pass classifies on
  // another: they only read the dictionary and the Scenario's words.
  EntryLookup LookupEntry(std::string_view word);
  bool LookupReading(std::string_view word, int depth);
  const WordReading& Reading() const { return reading_; }
  bool CollectReadings(std::string_view word);
  const std::vector<WordReading>& CollectedReadings() const { return collected_; }
  bool DepthOverflow() const { return depthOverflow_; }
  // The reading found last has further readings at the next depths.
  bool LastReadingAmbiguous() const { return ambiguous_; }

  // Class names.
  int32_t FindClassIndex(int level, std::string_view name) const;
  int32_t SingularClassName(std::string_view word);
  bool FirstClassLevel(std::string_view word, int& level, int32_t& index) const;
  bool ResolveClassOfWord(int level, std::string_view word, int32_t& index);
  const std::string& FoundForm() const { return foundForm_; }

  // Classification steps of the semantic pass. data may be null.
  bool ClassifySubstantive(std::string_view word, const TCategoryRecord* data, int32_t& value);
  // sentenceInitial: the word begins a sentence (or a quotation), so that its
  // initial capital says nothing about a proper name.
  bool ClassifyWord(std::string_view word, int32_t& value, bool count, bool sentenceInitial = false);
  bool ChooseReading(std::string_view word, int level, bool contextTest, bool sentenceInitial = false);
  // Occurrences of a class (levels 1-3) in the text that other words than the
  // word of base form `baseForm` gave it: the topical evidence for a reading.
  uint32_t EvidenceFromOtherWords(int level, uint32_t cls, uint32_t baseForm) const;
  // The context of the choices of the semantic pass. BeginDocument starts
  // the counts of a document (without it the whole text is one document);
  // CountInDocument adds a noun to them; SetSentence gives the nouns of the
  // sentence of the words classified next (the span must live until the
  // next call) and SetCues what the words around the next noun say of it.
  // EndDocuments goes back to the whole text.
  void BeginDocument();
  // ambiguous: the noun has several readings (its own occurrences are kept
  // apart so that they speak for none of its readings).
  void CountInDocument(const NearNoun& noun, bool ambiguous);
  void SetSentence(std::span<const NearNoun> nouns);
  // A noun of the sentence given took other classes (the caller changed it
  // in the span).
  void SentenceNounChanged(const NearNoun& noun) { NoteSentenceClasses(noun); }
  void SetCues(uint8_t cues) { cues_ = cues; }
  // The place in its document of the noun classified next (NearNoun::at).
  void SetNounAt(uint32_t at) { nounAt_ = at; }
  // The gloss signatures of the readings: read from the file at `path` on a
  // thread of its own (when Tuning.glossEvidenceWeight is set), waited for at the
  // first Glosses(), else read then. A missing or bad file leaves the choice
  // without them (Glosses() null; GlossError() says why; a bad one is shown).
  void ReadGlossesInBackground(const std::string& path) { glosses_.ReadInBackground(path); }
  const GlossSignatures* Glosses() { return glosses_.Get(); }
  const std::string& GlossError() const { return glosses_.Error(); }
  // The words near the noun classified next (in its sentence, at most
  // kGlossWindow words away) that the gloss signatures know (sorted,
  // distinct; the span must live until the next call), and the word of the
  // noun itself, which speaks for none of its readings.
  void SetSentenceWords(std::span<const uint32_t> words) { sentenceWords_ = words; }
  void SetOwnWord(uint32_t word) { ownWord_ = word; }
  void EndDocuments();

  // Pass 2 of the semantic pass settles parts of a text at once, each with a
  // part engine made from this one (on this engine's thread, before the
  // parts begin): it chooses with this engine's dictionary, memory of
  // readings and fixed classes, which must not change while it works, and
  // adds the places of new base forms' own counts here under a lock. It
  // counts nothing here: the class occurrences it counts and gives back are
  // logged in order, its base forms' own counts kept apart, for
  // ReplayOccurrences and AddOwnCounts once the parts are done.
  struct PartOf {};
  TOntologyEngine(TOntologyEngine& shared, PartOf);
  // Every reading of the dictionary has a sense weight: the choices among
  // readings then read no class counts of the text, only those of the
  // document and the sentence, so that parts may be settled at once.
  bool EveryReadingWeighted() const { return everyReadingWeighted_; }
  // A class beyond kMaxClassesPerLevel, which counts ignore, is kept as 0.
  struct OccurrenceChange {
    uint16_t cls[3];
    bool counted;  // false: given back
  };
  std::vector<OccurrenceChange> TakeOccurrenceLog() { return std::exchange(occurrenceLog_, {}); }
  void ReplayOccurrences(const std::vector<OccurrenceChange>& log);
  void AddOwnCounts(const TOntologyEngine& part);
  // The counts of the document begun last (CountInDocument), to be added
  // to those of another part engine settling the same document.
  struct DocumentCounts {
    std::vector<std::array<uint32_t, 3>> classes;    // level - 1, class, count
    std::vector<std::pair<uint32_t, uint32_t>> own;  // place, count
  };
  DocumentCounts CountsOfDocument() const;
  void AddToDocument(const DocumentCounts& counts);

  // The readings looked up last (by DefaultReading, say), for a later
  // choice for the same word to choose among without looking it up again.
  ReadingsToken KeptReadings() const { return {readingsKept_, memoGeneration_}; }
  // Looks the readings of a word up and keeps them (for a token).
  ReadingsToken ReadingsOf(std::string_view word) {
    AllReadings(word);
    return KeptReadings();
  }
  // The first step of the semantic pass begins a text: the tokens of its
  // words are those of the memory as it is now (TextToken).
  void BeginTextReadings() { textGeneration_ = memoGeneration_; }
  ReadingsToken TextToken(uint32_t readings) const { return {readings, textGeneration_}; }
  // The reading of a word without any evidence, left as the best one (the
  // token, when it is still good, names its readings).
  bool DefaultReading(std::string_view word, bool sentenceInitial, ReadingsToken token = {});
  // After DefaultReading: the heaviest reading of the word in the field of
  // units of measure that holds in lower case becomes the best one (a noun
  // after a number in figures: 160 feet); false when it has none.
  bool TakeUnitReading();
  // ClassifyWord of a word whose readings the token names (when they are
  // still kept; else it looks them up).
  bool ClassifyWordAmong(std::string_view word, int32_t& value, bool count, bool sentenceInitial, ReadingsToken token);
  // What a word may be in a name (periodFollows: the next word's
  // punctuation begins with a period); token as for DefaultReading.
  NameWord NameWordOf(std::string_view word, bool periodFollows, ReadingsToken token = {});
  // The field (level 3) of the first reading of a word, 0 without one.
  uint32_t FirstField(std::string_view word, ReadingsToken token = {});
  // The classes of a person (levels 1-3), of the morning or the afternoon
  // (a.m., p.m.), of a number in a sequence (No. 5) and of the United
  // States (U. S.); zeros when the dictionary lacks them.
  const std::array<uint32_t, 4>& PersonClasses();
  const std::array<uint32_t, 4>& TimeOfDayClasses(bool afternoon);
  const std::array<uint32_t, 4>& NumberSignClasses();
  const std::array<uint32_t, 4>& CountryClasses();
  // The classes of levels 1-3 of a word's first reading (none: zeros).
  std::array<uint32_t, 4> FirstReadingClasses(std::string_view word);
  // One occurrence less of each class of levels 1-3 that is not 0 (a
  // classification given back).
  void UncountClassOccurrences(const uint32_t classes[4]);
  // The classes of the last classification (levels 1-3 and Scenario entry).
  const std::array<uint32_t, 4>& BestClasses() const { return best_; }
  int32_t BestScore() const { return bestScore_; }
  // Text-index entry of the base form of the reading chosen last.
  uint32_t BestBaseForm() const { return bestBaseForm_; }
  // One more occurrence of each class of levels 1-3 that is not 0, as a
  // classification counts them (for a result the caller kept).
  void CountClassOccurrences(const uint32_t classes[4]) { CountClasses(classes); }
  // A word's classes (levels 1-3 and Scenario entry) become the current reading.
  void LoadClasses(const uint32_t classes[4]) {
    for (size_t l = 0; l < 4; ++l) best_[l] = classes[l];
  }

  void PushHistory(const std::array<uint32_t, 4>& classes);
  void ResetHistory();
  // The history's cursor moves on by count places, as count pushes would.
  void SkipHistory(int count) {
    historyCursor_ = ((historyCursor_ + count) % kHistorySize + kHistorySize) % kHistorySize;
  }

  // The Scenario.
  void SetVerbIndex(ScenarioNameIndex index) { verbIndex_ = std::move(index); }
  void SetAdjectiveIndex(ScenarioNameIndex index) { adjectiveIndex_ = std::move(index); }
  void SetAnomalyReporter(ScenarioAnomalyReporter* reporter) { reporter_ = reporter; }
  void LoadScenario(ClassFileList& file, bool renumber);
  void ClearScenario();
  void ClearScenarioEntries();
  void BeginSignatureRenumbering(bool restartCounter);
  uint32_t ScenarioEntryOfWordForm(std::string_view word) const;
  bool CountScenarioEntry(std::string_view word, uint32_t textIndexEntry);
  // Occurrences of a Scenario entry given by number (verbs and adjectives,
  // and the counts of a semantic pass done in parts).
  void CountScenarioOccurrence(uint32_t entry, uint32_t count = 1) {
    if (entry >= 1 && entry <= entryCount_) entries_[entry].count += count;
  }
  // The retention test of the semantic pass; with reclassify the word is
  // classified again first (Scenario editor and word search).
  bool ScenarioMatch(std::string_view word, int32_t& value, uint32_t textIndexEntry, uint32_t minimumClassCount,
                     bool reclassify = false);
  // The same test on a word's classes (levels 1-3 and Scenario entry),
  // changing nothing, so that parts of a text can be tested at once: the
  // classes become those the word keeps, and entry the Scenario entry to
  // count for it (0: none).
  bool RetentionOf(std::string_view word, std::array<uint32_t, 4>& classes, uint32_t textIndexEntry,
                   uint32_t minimumClassCount, uint32_t& entry) const;
  // The Scenario entry a word would be counted in, without counting it.
  bool ScenarioEntryOfWord(std::string_view word, uint32_t& entry);
  // True when the word belongs to a class of the level: its reading chosen
  // without counting, else the class named by the word or by its singular
  // (levels 1-3), or the Scenario entry it would be counted in (level 4).
  // The class found is left in BestClasses()[level - 1].
  bool WordMatchesClass(std::string_view word, int level);
  uint32_t FindScenarioEntry(std::string_view name) const;
  bool IsLastVisibleSibling(uint32_t entry, int depth, bool useThreshold, uint32_t minimumClassCount) const;
  void PropagateScenarioCounts();
  void RankScenario();

  uint32_t ScenarioEntryCount() const { return entryCount_; }
  // The word forms of the Scenario's items, looked up by word.
  size_t ScenarioWordCount() const { return scenarioWords_.size(); }
  uint32_t ScenarioEntryOccurrences(uint32_t entry) const;
  uint32_t ScenarioEntryDepth(uint32_t entry) const;
  uint32_t ScenarioEntryParent(uint32_t entry) const;
  bool ScenarioEntryCounted(uint32_t entry) const;
  uint32_t EntrySignature(uint32_t entry) const;
  uint32_t ClassScenarioEntry(int level, int32_t index) const;
  bool AdjectiveInScenario(uint32_t entry) const;
  bool VerbInScenario(uint32_t entry) const;
  bool WordInScenario(uint32_t entry) const;
  bool IsScenarioLoaded() const { return scenarioLoaded_; }
  bool IsScenarioActive() const { return scenarioLoaded_ && rankedTotal_[4] > 0; }
  uint32_t AnomalyCount() const { return anomalyCount_; }
  // The anomaly list was emptied by the user: no anomaly is pending.
  void ClearAnomalyCount() {
    anomalyCount_ = 0;
    anomalyFlag_ = false;
  }
  bool AnomalyFlag() const { return anomalyFlag_; }

  // A running text index holding the dictionary's base forms (the caller owns it).
  TTextIndex* MakeTextIndex() const;
  // Copies the Scenario entries of verbs, adjectives and base forms into the
  // class cells of VerbIndex, AdjectiveIndex and TextIndex (after LoadScenario).
  void ShareScenarioWithIndexes() const;

  // The text index of base forms carried by the dictionary.
  uint32_t TextIndexLookup(std::string_view text) const;
  uint32_t TextIndexNameCount() const { return static_cast<uint32_t>(textNames_->size() - 1); }
  std::string TextIndexNameOf(uint32_t entry) const;

 private:
  // Takes a dictionary that was read whole and checked; the engine is then ready.
  void Adopt(SemanticDictionary&& d);
  // A part engine's: the engine it was made from (null for any other).
  TOntologyEngine* shared_ = nullptr;
  const SemanticDictionary& Dict() const { return shared_ ? shared_->dict_ : dict_; }
  // The engine whose memory of readings this one reads.
  TOntologyEngine& MemoOwner() { return shared_ ? *shared_ : *this; }
  bool everyReadingWeighted_ = false;
  std::vector<OccurrenceChange> occurrenceLog_;
  static OccurrenceChange ChangeOf(const uint32_t classes[4], bool counted);
  // The place of a (base form, level, class) key in ownCounts_ and
  // documentOwnCounts_, made once and for all (by the shared engine, under
  // placesLock_, for a part engine).
  uint32_t PlaceOf(uint64_t key);
  std::mutex placesLock_;
  struct ScenarioEntry {
    uint8_t depth = 0;
    uint32_t parent = 0;
    bool counted = false;
    uint32_t count = 0;
    uint32_t signature = 0;
    int32_t cls = 0;  // its level-4 class (0: a group without a label)
  };

  // choices_ := every reading of the word, depth by depth.
  void AllReadings(std::string_view word);
  // choices_ := the readings kept in the memory at first, count of them.
  void UseMemoReadings(uint32_t first, uint32_t count);
  // ChooseReading among choices_.
  bool ChooseAmongReadings(std::string_view word, int level, bool contextTest, bool sentenceInitial);
  void ClearReadingMemo();
  int TableForDepth(std::string_view word, int depth);
  int32_t FindInTable(std::string_view word, int depth);
  bool ReadingAtDepth(std::string_view word, int depth);
  void ReportAnomaly(int messageId, const std::string& text);
  uint32_t NewScenarioEntry(int depth, bool counted, const std::string& label, const std::string& signature,
                            std::array<uint32_t, 10>& stack, bool& stop);
  void CountClasses(const uint32_t cls[4]);
  // The counts of the classes and entries alone (the engine's own data).
  void ClearClassCounts();
  bool ChooseWeightedReading(bool contextTest, bool sentenceInitial);
  void RankByCount(std::vector<int32_t>& list, const std::vector<uint32_t>& counts);

  bool ready_ = false;
  SemanticDictionary dict_;
  // The hash index of dict_'s word tables, built on a thread of its own
  // once the tables have been walked often enough; until it is ready they
  // are walked (the answers are the same). A part engine reads its shared
  // engine's. Started once per dictionary adopted. Declared after dict_:
  // its build stops before the tables go.
  TBackgroundWordIndex wordIndex_;
  // The text index's names (1-based), taken from dict_ and shared with the
  // text index made from it.
  std::shared_ptr<const std::vector<std::string>> textNames_ = std::make_shared<const std::vector<std::string>>(1);
  // The text index's trie, taken from dict_ and shared the same way.
  std::shared_ptr<LargeTrieImage> textIndexImage_ = std::make_shared<LargeTrieImage>();
  std::array<std::vector<std::string>, 5> names_;
  std::array<int32_t, 5> dictionaryCount_{};
  std::array<int32_t, 5> levelCount_{};
  std::array<std::vector<uint32_t>, 5> occurrences_;
  std::array<std::vector<int32_t>, 5> ranking_;
  std::array<int32_t, 5> rankedTotal_{};
  std::unordered_map<std::string, int32_t> addedClassIndex_;
  std::unordered_map<std::string, int32_t> scenarioClassIndex_;

  // Reading state.
  WordReading reading_;
  bool ambiguous_ = false;
  // Set by the reading lookups of the first pass while the loading's threads
  // ask LookupEntry, which reads it: one flag, with no order to keep.
  class Flag {
   public:
    Flag& operator=(bool value) {
      value_.store(value, std::memory_order_relaxed);
      return *this;
    }
    operator bool() const { return value_.load(std::memory_order_relaxed); }

   private:
    std::atomic<bool> value_{false};
  };
  Flag depthOverflow_;
  bool depthOverflowReported_ = false;
  std::vector<WordReading> readings_;   // read from the dictionary by AllReadings
  std::vector<WordReading> collected_;  // CollectReadings
  // What the choice needs of a reading besides the reading. Its weight
  // before any evidence, when every reading of the word counts and when only
  // those that hold for a common noun do: twice the sense weights of the
  // counted readings of its field plus its own. And for a word whose first
  // reading has a sense weight, where ownCounts_ keeps the counts of each of
  // the reading's classes (0: the class is 0).
  struct ReadingFacts {
    int32_t all = 0;
    int32_t common = 0;
    uint32_t own[3] = {};
    // The places of the reading's classes under its own base form: where
    // the word counts in the document when this reading is its default.
    uint32_t counted[3] = {};
    // In the facts of a form's first reading: the index of the form's
    // default reading, inside a sentence and at its start (kNoDefault: not
    // known yet).
    uint8_t defaults[2] = {kNoDefault, kNoDefault};
  };
  static constexpr uint8_t kNoDefault = 0xFF;
  static_assert(kMaxReadingDepth < kNoDefault);
  // The facts of the current choices in the memory (memoFacts_), or null.
  ReadingFacts* memoChoiceFacts_ = nullptr;
  // The readings the choice weighs and their facts: in readingMemo_'s
  // store, or readings_ and facts_.
  std::span<const WordReading> choices_;
  std::span<const ReadingFacts> choiceFacts_;
  std::vector<ReadingFacts> facts_;
  size_t chosen_ = 0;  // the reading chosen last, in choices_
  // The readings of each form looked up and their facts, kept in one store
  // (emptied when the table grows too large).
  static constexpr size_t kReadingMemoLimit = 200000;
  struct MemoReadings {
    uint32_t first = 0;
    uint32_t count = 0;
  };
  TFormTable<MemoReadings> readingMemo_;
  std::vector<WordReading> memoReadings_;
  std::vector<ReadingFacts> memoFacts_;
  // Grows each time the memory is emptied; the readings looked up last as
  // a token of KeptReadings (0: not kept).
  uint32_t memoGeneration_ = 0;
  uint32_t readingsKept_ = 0;
  uint32_t textGeneration_ = 0;
  // choices_ := the readings the token names when it is still good, else
  // those of the word.
  void ReadingsFor(std::string_view word, ReadingsToken token) {
    if (token.readings && token.generation == memoGeneration_)
      UseMemoReadings(token.readings >> 5, token.readings & 31);
    else AllReadings(word);
  }
  std::array<uint32_t, 4> best_{};
  int32_t bestScore_ = 0;
  int32_t bestValue_ = 0;
  uint32_t bestBaseForm_ = 0;
  std::string foundForm_;
  // Per base form of an ambiguous word, the classes its own occurrences were
  // counted in: ownPlaces_ gives the place in ownCounts_ of each (base form,
  // level, class) a reading has, once and for all; ownCounts_ holds the
  // counts of the text (place 0 unused).
  TCountTable ownPlaces_;
  std::vector<uint32_t> ownCounts_ = std::vector<uint32_t>(1, 0);
  // Occurrences of a class (levels 1-3) that other words gave it, the word's
  // own being at place `own` of ownCounts_.
  uint32_t EvidenceAt(int level, uint32_t cls, uint32_t own) const;
  // The reading at index in choices_ becomes the best one.
  void TakeChoice(size_t index);
  // (1 + evidence) raised to the sense evidence weight, for each evidence up
  // to the cap, and the weight they were raised to.
  std::array<double, 9> evidenceFactors_{};
  int evidenceFactorsWeight_ = -1;
  bool initialCapital_ = false;  // the word being classified has an initial capital (not all capitals)
  // The evidence near a reading: the nouns of its sentence, its document
  // (the whole text while documentMode_ is off) and the cues around it, but
  // nothing the word's own base form gave.
  // gloss: what the words near the noun say of the reading (glossOf_).
  double NearEvidence(const WordReading& r, uint32_t ownBase, const ReadingFacts& f, double gloss) const;
  // How much the words near the noun that each choice's gloss signature
  // holds speak for it, in glossOf_ (empty without glosses or such words).
  void WeighGlosses();
  std::vector<double> glossOf_;
  // Whether the words near the noun speak for any of the choices but one.
  bool GlossMaySpeak(size_t except) const;
  TGlossSource glosses_;
  std::span<const uint32_t> sentenceWords_;
  uint32_t ownWord_ = 0;
  // Whether the sentence may hold evidence for the reading (false: it holds
  // none), and for any of the choices but one.
  bool SentenceMaySpeakFor(const WordReading& r) const;
  bool SentenceMaySpeak(size_t except) const;
  bool documentMode_ = false;
  std::array<std::vector<uint32_t>, 3> documentCounts_;
  std::vector<std::pair<int, uint32_t>> documentTouched_;
  // The counts of the document that a word's own base form gave, by place
  // (as ownCounts_), and the places counted since BeginDocument.
  std::vector<uint32_t> documentOwnCounts_ = std::vector<uint32_t>(1, 0);
  std::vector<uint32_t> documentOwnTouched_;
  std::span<const NearNoun> sentence_;
  bool sentenceInOrder_ = true;  // the nouns of sentence_ come by their place
  // The nouns of the sentence that may lie near nounAt_ (all of them when
  // they do not come in order).
  std::span<const NearNoun> NearNounsInSentence() const;
  // Every class of level 1 and field of the sentence's nouns has its bit
  // (a class number modulo 256) in sentenceClasses_ and sentenceFields_:
  // a reading whose bits are clear has no evidence in the sentence.
  std::array<uint64_t, 4> sentenceClasses_{}, sentenceFields_{};
  void NoteSentenceClasses(const NearNoun& noun) {
    if (noun.cls[0]) sentenceClasses_[(noun.cls[0] >> 6) & 3] |= uint64_t{1} << (noun.cls[0] & 63);
    if (noun.cls[2]) sentenceFields_[(noun.cls[2] >> 6) & 3] |= uint64_t{1} << (noun.cls[2] & 63);
  }
  static bool HasBit(const std::array<uint64_t, 4>& bits, uint32_t cls) {
    return cls && (bits[(cls >> 6) & 3] >> (cls & 63) & 1);
  }
  uint8_t cues_ = 0;
  uint32_t nounAt_ = 0;
  bool defaultOnly_ = false;
  std::array<uint32_t, 4> personClasses_{};
  std::array<std::array<uint32_t, 4>, 2> timeOfDayClasses_{};
  std::array<uint32_t, 4> numberSignClasses_{};
  std::array<uint32_t, 4> countryClasses_{};
  bool fixedClassesKnown_ = false;
  uint32_t placeField_ = 0, timeField_ = 0, personField_ = 0, unitField_ = 0;
  // The fields (level 3) whose concepts include persons by their office,
  // trade or rank (a worker, a politician, a lawyer...); those that include
  // any persons (writers, artists, relatives...); those of places, bodies
  // and buildings.
  std::vector<uint32_t> officeFields_, peopleFields_, placeNameFields_;
  void KnowFixedClasses();
  std::array<std::array<uint32_t, 4>, kHistorySize> history_{};
  int historyCursor_ = 0;

  // Scenario state.
  std::vector<ScenarioEntry> entries_;  // 1-based
  uint32_t entryCount_ = 0;
  std::array<std::vector<uint32_t>, 3> classMaps_;
  std::vector<uint32_t> verbMap_, adjectiveMap_, textIndexMap_;
  std::unordered_map<std::string, uint32_t> scenarioWords_;
  // The entry a word with these classes (levels 1-3) is counted in: its
  // form's, its base form's (textIndexEntry), else its classes'; 0 for none.
  uint32_t ScenarioEntryFor(std::string_view word, uint32_t textIndexEntry,
                            const std::array<uint32_t, 4>& classes) const;
  uint32_t anomalyCount_ = 0;
  bool anomalyFlag_ = false;
  uint32_t signatureCounter_ = 0;
  bool renumber_ = true;
  bool scenarioLoaded_ = false;
  ScenarioNameIndex verbIndex_, adjectiveIndex_;
  ScenarioAnomalyReporter* reporter_ = nullptr;
};

// The words of a noun's sentence that speak for its readings through their
// glosses lie at most this many words from it.
constexpr size_t kGlossWindow = 3;

// The one engine of the program, made at start-up.
extern std::unique_ptr<TOntologyEngine> OntologyEngine;
// The program's anomaly list, given to the engine made at start-up (null: none).
extern ScenarioAnomalyReporter* ProgramAnomalyReporter;
// Start-up: loads the ".sv8" file into OntologyEngine (a bad file ends the
// program), makes TextIndex from it, links the verb and adjective indexes
// (create them first) and lets the lexicon ask the engine for nouns.
void StartOntologyEngine(const std::string& dictionaryPath);
// Begins reading the ".sv8" file on a thread of its own while the other
// dictionaries load; StartOntologyEngine of the same path takes the result.
void PreloadOntologyEngine(const std::string& dictionaryPath);
void StopOntologyEngine();

// Singular of an English plural (suffix rules): false when the word is not
// one; alternative receives the second candidate, when there is one.
bool IsEnglishPlural(std::string_view word);
bool SingularOf(std::string_view word, std::string& singular, std::string& alternative);

}  // namespace quilor
