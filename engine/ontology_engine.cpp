#include "engine/ontology_engine.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <new>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "core/chartables.h"
#include "core/tuning.h"
#include "core/inflection.h"
#include "core/messages.h"
#include "core/name_index.h"
#include "platform/fatal.h"
#include "platform/read_file.h"

namespace quilor {

std::unique_ptr<TOntologyEngine> OntologyEngine;
ScenarioAnomalyReporter* ProgramAnomalyReporter = nullptr;

namespace {

constexpr uint8_t kFlagInitialCapital = 1 << 5;
constexpr uint8_t kFlagAllCapitals = 1 << 6;
constexpr uint8_t kFlagRecentContext = 1 << 7;
constexpr uint8_t kFlagsDroppedFromNormalised = (1 << 2) | (1 << 3) | kFlagInitialCapital | kFlagAllCapitals;

std::string Lower(std::string_view word) {
  std::string s(word);
  for (char& c : s) c = static_cast<char>(ToLowerChar(static_cast<unsigned char>(c)));
  return s;
}

std::string HyphensToUnderscoresCopy(std::string_view word, bool& changed) {
  std::string s(word);
  changed = false;
  for (char& c : s)
    if (c == '-') c = '_', changed = true;
  return s;
}

bool HasInitialCapital(std::string_view word) {
  return !word.empty() && IsUpperCaseLetter(static_cast<unsigned char>(word[0]));
}

bool IsAllCapitals(std::string_view word) {
  bool any = false;
  for (char c : word) {
    unsigned char u = static_cast<unsigned char>(c);
    if (ToLowerChar(u) != u) any = true;
    else if (ToUpperChar(u) != u) return false;
  }
  return any;
}

// Sense weights (the second byte of a reading) and how much topical
// evidence counts against them.
constexpr int64_t kFieldPriorFactor = 2;
constexpr uint32_t kEvidenceCap = 8;
// What the words near a noun say of another reading must exceed what they
// say of its default by this much (in signature weights: about two
// specific words) before it counts.
constexpr double kGlossMargin = 10;
static_assert(kEvidenceCap + 1 == 9, "the engine keeps one evidence factor per count up to the cap");

uint64_t OwnKey(uint32_t baseForm, int level, uint32_t cls) {
  return (static_cast<uint64_t>(baseForm) << 20) ^ (static_cast<uint64_t>(level) << 17) ^ cls;
}

bool IsCurrencySymbol(unsigned char c) { return c == '$' || c == 0x80 || c == 0xA3 || c == 0xA5; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool IsEnglishPlural(std::string_view w) { return IsPluralForm(std::string(w).c_str(), static_cast<int>(w.size())); }

bool SingularOf(std::string_view word, std::string& singular, std::string& alternative) {
  alternative.clear();
  singular.assign(word);
  if (word.size() >= kWordBufferSize || !IsEnglishPlural(word)) return false;
  char buffer[kWordBufferSize] = {};
  char alt[kWordBufferSize] = {};
  word.copy(buffer, word.size());
  if (!Singular(buffer, alt)) return false;
  singular = buffer;
  alternative = alt;
  return true;
}

// ---------------------------------------------------------------------------
// Construction and data

TOntologyEngine::TOntologyEngine() {
  for (int l = 1; l <= kLevelCount; ++l) {
    names_[l].assign(1, std::string());
    occurrences_[l].assign(kMaxClassesPerLevel + 1, 0);
    ranking_[l].clear();
  }
  entries_.assign(1, ScenarioEntry{});
  verbMap_.assign(kMaxClassesPerLevel + 1, 0);
  adjectiveMap_.assign(kMaxClassesPerLevel + 1, 0);
  textIndexMap_.assign(1, 0);
}

TOntologyEngine::~TOntologyEngine() { wordIndex_.Stop(); }

void TOntologyEngine::BuildWordIndexAhead() {
  TOntologyEngine& owner = shared_ ? *shared_ : *this;
  if (ready_) owner.wordIndex_.Start(owner.dict_.tables);
}

TOntologyEngine::TOntologyEngine(TOntologyEngine& shared, PartOf) : shared_(&shared) {
  shared.KnowFixedClasses();
  shared.Glosses();
  ready_ = shared.ready_;
  everyReadingWeighted_ = shared.everyReadingWeighted_;
  memoGeneration_ = shared.memoGeneration_;
  textGeneration_ = shared.textGeneration_;
  personClasses_ = shared.personClasses_;
  timeOfDayClasses_ = shared.timeOfDayClasses_;
  numberSignClasses_ = shared.numberSignClasses_;
  countryClasses_ = shared.countryClasses_;
  placeField_ = shared.placeField_;
  timeField_ = shared.timeField_;
  personField_ = shared.personField_;
  unitField_ = shared.unitField_;
  officeFields_ = shared.officeFields_;
  peopleFields_ = shared.peopleFields_;
  placeNameFields_ = shared.placeNameFields_;
  fixedClassesKnown_ = true;
  glosses_.ShareFrom(shared.glosses_);
  ownCounts_.assign(shared.ownCounts_.size(), 0);
  documentOwnCounts_.assign(shared.documentOwnCounts_.size(), 0);
}

void TOntologyEngine::ReplayOccurrences(const std::vector<OccurrenceChange>& log) {
  for (const OccurrenceChange& c : log) {
    const uint32_t classes[4] = {c.cls[0], c.cls[1], c.cls[2], 0};
    if (c.counted) CountClasses(classes);
    else UncountClassOccurrences(classes);
  }
}

static_assert(kMaxClassesPerLevel <= 0xFFFF, "a logged class fits in 16 bits");
TOntologyEngine::OccurrenceChange TOntologyEngine::ChangeOf(const uint32_t classes[4], bool counted) {
  OccurrenceChange c{{}, counted};
  for (int l = 0; l < 3; ++l) c.cls[l] = static_cast<uint16_t>(classes[l] <= kMaxClassesPerLevel ? classes[l] : 0);
  return c;
}

void TOntologyEngine::AddOwnCounts(const TOntologyEngine& part) {
  if (ownCounts_.size() < part.ownCounts_.size()) ownCounts_.resize(part.ownCounts_.size(), 0);
  for (size_t place = 1; place < part.ownCounts_.size(); ++place) ownCounts_[place] += part.ownCounts_[place];
}

TOntologyEngine::DocumentCounts TOntologyEngine::CountsOfDocument() const {
  DocumentCounts counts;
  counts.classes.reserve(documentTouched_.size());
  for (const auto& [l, c] : documentTouched_)
    counts.classes.push_back({static_cast<uint32_t>(l), c, documentCounts_[static_cast<size_t>(l)][c]});
  counts.own.reserve(documentOwnTouched_.size());
  for (uint32_t place : documentOwnTouched_) counts.own.emplace_back(place, documentOwnCounts_[place]);
  return counts;
}

void TOntologyEngine::AddToDocument(const DocumentCounts& counts) {
  for (const auto& [l, c, n] : counts.classes) {
    uint32_t& count = documentCounts_[l][c];
    if (count == 0) documentTouched_.emplace_back(static_cast<int>(l), c);
    count += n;
  }
  for (const auto& [place, n] : counts.own) {
    if (place >= documentOwnCounts_.size()) documentOwnCounts_.resize(place + 1, 0);
    uint32_t& count = documentOwnCounts_[place];
    if (count == 0) documentOwnTouched_.push_back(place);
    count += n;
  }
}

uint32_t TOntologyEngine::PlaceOf(uint64_t key) {
  if (shared_) {
    uint32_t place = 0;
    {
      std::lock_guard<std::mutex> lock(shared_->placesLock_);
      place = shared_->PlaceOf(key);
    }
    if (place >= ownCounts_.size()) ownCounts_.resize(place + 1, 0);
    if (place >= documentOwnCounts_.size()) documentOwnCounts_.resize(place + 1, 0);
    return place;
  }
  uint32_t& place = ownPlaces_.CountOf(key);
  if (!place) {
    // documentOwnCounts_ never holds fewer places than ownCounts_.
    documentOwnCounts_.push_back(0);
    ownCounts_.push_back(0);
    place = static_cast<uint32_t>(ownCounts_.size() - 1);
  }
  return place;
}

SemanticReadResult TOntologyEngine::LoadFileQuietly(const std::string& path) {
  // A regular file of bounded size only: a pipe, a device or a folder is a read error.
  ready_ = false;
  SemanticDictionary d;
  SemanticReadResult r = ReadSemanticDictionaryFile(path, kMaxSemanticFileBytes, d);
  if (!r.Ok()) return r;
  Adopt(std::move(d));
  return r;
}

void TOntologyEngine::ReportLoadFailure(const std::string& path, const SemanticReadResult& r) {
  if (r.Ok()) return;
  if (r.detail.rfind("cannot read ", 0) == 0) {
    ShowError(std::string(GetMessageText(kMsgDictionaryReadError)) + " " + path);
    Terminate(kExitDictionaryRead, "cannot read " + path);
  }
  int id = kMsgDictionaryCorrupt;
  int code = kExitFatal;
  switch (r.status) {
    case SemanticReadStatus::kTruncated: id = kMsgDictionaryReadError, code = kExitDictionaryRead; break;
    case SemanticReadStatus::kBadVersion: id = kMsgDictionaryWrongVersion; break;
    case SemanticReadStatus::kBadStamp: id = kMsgCorruptDictionaryStamp; break;
    default: break;
  }
  ShowError(std::string(GetMessageText(id)) + " " + path);
  Terminate(code, path + ": " + r.detail);
}

void TOntologyEngine::LoadFile(const std::string& path) { ReportLoadFailure(path, LoadFileQuietly(path)); }

SemanticReadResult TOntologyEngine::LoadBytes(std::string_view bytes) {
  ready_ = false;
  SemanticDictionary d;
  SemanticReadResult r = ReadSemanticDictionary(bytes, d);
  if (!r.Ok()) return r;
  Adopt(std::move(d));
  return r;
}

void TOntologyEngine::Adopt(SemanticDictionary&& d) {
  wordIndex_.Stop();
  dict_ = std::move(d);
  everyReadingWeighted_ = std::all_of(dict_.records.begin() + 1, dict_.records.end(),
                                      [](const SemanticEntryRecord& r) { return r.extra > 0; });
  ClearReadingMemo();
  for (int l = 1; l <= 3; ++l) {
    names_[l] = std::move(dict_.names[l - 1]);
    dictionaryCount_[l] = levelCount_[l] = static_cast<int32_t>(dict_.classCount[l - 1]);
    classMaps_[l - 1].assign(l == 1 ? kMaxClassesPerLevel + 1 : dictionaryCount_[l] + 1, 0);
  }
  names_[4].assign(1, std::string());
  dictionaryCount_[4] = levelCount_[4] = 0;
  textNames_ = std::make_shared<const std::vector<std::string>>(std::move(dict_.textNames));
  textIndexImage_ = std::make_shared<LargeTrieImage>(std::move(dict_.textIndex));
  dict_.textIndex = LargeTrieImage();
  dict_.textNames.assign(1, std::string());
  textIndexMap_.assign(textNames_->size(), 0);
  addedClassIndex_.clear();
  scenarioClassIndex_.clear();
  ClearClassCounts();
  ClearScenario();
  ResetHistory();
  signatureCounter_ = 0;
  renumber_ = true;
  ready_ = true;
}

int32_t TOntologyEngine::DictionaryClassCount(int level) const {
  return level >= 1 && level <= kLevelCount ? dictionaryCount_[level] : 0;
}
int32_t TOntologyEngine::LevelClassCount(int level) const {
  return level >= 1 && level <= kLevelCount ? levelCount_[level] : 0;
}
int32_t TOntologyEngine::RankedClassTotal(int level) const {
  return level >= 1 && level <= kLevelCount ? rankedTotal_[level] : 0;
}

std::string_view TOntologyEngine::ClassNameView(int level, int32_t index) const {
  if (level == 4) {
    if (index < 1 || static_cast<uint32_t>(index) > entryCount_) return "?";
    const int32_t cls = entries_[static_cast<size_t>(index)].cls;
    return cls ? std::string_view(names_[4][static_cast<size_t>(cls)]) : std::string_view();
  }
  if (level < 1 || level > kLevelCount || index < 1 || index > levelCount_[level]) return "?";
  return names_[level][index];
}

uint32_t TOntologyEngine::ClassOccurrences(int level, int32_t index) const {
  if (level < 1 || level > kLevelCount || index < 1 || index > kMaxClassesPerLevel) return 0;
  if (level == 4) return ScenarioEntryOccurrences(static_cast<uint32_t>(index));
  return occurrences_[level][index];
}

void TOntologyEngine::WriteIndexStatistics(int level, std::FILE* log) const {
  if (!log || level < 1 || level > kLevelCount) return;
  // Level 4 keeps its group labels in one table; the dictionary levels in
  // the segments of their file.
  std::vector<std::pair<uint64_t, double>> segments;
  if (level == 4) {
    segments.emplace_back(scenarioClassIndex_.size(), 0.0);
  } else {
    for (const CompactSegment& s : dict_.nameIndexes[static_cast<size_t>(level - 1)])
      segments.emplace_back(s.inserts, static_cast<double>(s.trie.Size()) / kSegmentCapacity * 100.0);
  }
  uint64_t total = 0, largest = 0;
  size_t largestSegment = 0;
  for (size_t i = 0; i < segments.size(); ++i) {
    std::fprintf(log, " Seg[%2zu]=%6llu, index= %4.1f%%\n", i + 1, static_cast<unsigned long long>(segments[i].first),
                 segments[i].second);
    total += segments[i].first;
    if (segments[i].first > largest) largest = segments[i].first, largestSegment = i + 1;
  }
  std::fprintf(log, " Max. value=%llu, Segment=%zu\n", static_cast<unsigned long long>(largest), largestSegment);
  std::fprintf(log, " Avg  value=%llu\n",
               static_cast<unsigned long long>(segments.empty() ? 0 : total / segments.size()));
  std::fprintf(log, " Total entries for this index=%llu\n", static_cast<unsigned long long>(total));
}

int32_t TOntologyEngine::RankedClass(int level, int32_t rank) const {
  if (level < 1 || level > kLevelCount || rank < 1 || rank > rankedTotal_[level]) return 0;
  return ranking_[level][rank - 1];
}
uint32_t TOntologyEngine::RankedClassOccurrences(int level, int32_t rank) const {
  int32_t c = RankedClass(level, rank);
  if (level == 4) return ScenarioEntryOccurrences(static_cast<uint32_t>(c));
  return c ? occurrences_[level][c] : 0;
}
std::string TOntologyEngine::RankedClassName(int level, int32_t rank) const {
  return ClassName(level, RankedClass(level, rank));
}

void TOntologyEngine::ResetTextClasses() {
  ambiguous_ = false;
  for (int l = 1; l <= 3; ++l) {
    levelCount_[l] = dictionaryCount_[l];
    names_[l].resize(static_cast<size_t>(dictionaryCount_[l]) + 1);
    rankedTotal_[l] = 0;
  }
  for (size_t c = static_cast<size_t>(dictionaryCount_[1]) + 1; c < classMaps_[0].size(); ++c) classMaps_[0][c] = 0;
  addedClassIndex_.clear();
}

void TOntologyEngine::ClearClassCounts() {
  for (int l = 1; l <= kLevelCount; ++l) {
    rankedTotal_[l] = 0;
    std::fill(occurrences_[l].begin(), occurrences_[l].end(), 0);
  }
  for (auto& e : entries_) e.count = 0;
  std::fill(ownCounts_.begin(), ownCounts_.end(), 0u);
  depthOverflow_ = false;
}

void TOntologyEngine::ClearTextCounts() {
  ClearClassCounts();
  if (TextIndex) TextIndex->ResetTextIndexCounts();
  if (VerbIndex) VerbIndex->ClearEntryCounts();
  if (AdjectiveIndex) AdjectiveIndex->ClearEntryCounts();
  depthOverflow_ = false;
}

int32_t TOntologyEngine::AddClassName(int level, const std::string& name) {
  if (level < 1 || level > kLevelCount || levelCount_[level] >= kMaxClassesPerLevel) return 0;
  if (level == 2 || level == 3) return 0;  // their names are the dictionary's alone
  ++levelCount_[level];
  names_[level].resize(static_cast<size_t>(levelCount_[level]) + 1);
  names_[level][levelCount_[level]] = name.substr(0, kNameRecordSize - 1);
  return levelCount_[level];
}

int32_t TOntologyEngine::AddClass(int level, const std::string& key, bool useClassNameIndex, const std::string& name) {
  int32_t c = AddClassName(level, name);
  if (!c) return 0;
  if (useClassNameIndex && level == 4) scenarioClassIndex_.emplace(Lower(key), c);
  else if (level == 1) addedClassIndex_.emplace(Lower(key), c);
  occurrences_[level][c] = 1;
  return c;
}

void TOntologyEngine::RankByCount(std::vector<int32_t>& list, const std::vector<uint32_t>& counts) {
  std::stable_sort(list.begin(), list.end(), [&](int32_t a, int32_t b) { return counts[a] > counts[b]; });
}

void TOntologyEngine::RankLevel(int level) {
  if (level < 1 || level > 3) return;
  auto& r = ranking_[level];
  r.clear();
  for (int32_t k = 1; k <= levelCount_[level]; ++k)
    if (occurrences_[level][k] > 0) r.push_back(k);
  RankByCount(r, occurrences_[level]);
  rankedTotal_[level] = static_cast<int32_t>(r.size());
}

uint32_t TOntologyEngine::TextIndexLookup(std::string_view text) const { return TrieValue(*textIndexImage_, text); }

std::string TOntologyEngine::TextIndexNameOf(uint32_t entry) const {
  return entry >= 1 && entry < textNames_->size() ? (*textNames_)[entry] : std::string();
}

// ---------------------------------------------------------------------------
// Readings

int TOntologyEngine::TableForDepth(std::string_view word, int depth) {
  if (depth > kMaxReadingDepth - 1) {
    depth = kMaxReadingDepth - 1;
    depthOverflow_ = true;
    if (!depthOverflowReported_) {
      depthOverflowReported_ = true;
      ShowError(std::string(GetMessageText(kMsgDepthOverflowNotice)) + " " + std::string(word));
    }
  }
  return SemanticTableForDepth(Tables.letterGroup, word, depth);
}

int32_t TOntologyEngine::FindInTable(std::string_view word, int depth) {
  if (!ready_ || word.empty()) return 0;
  std::string key = Lower(word);
  int t = TableForDepth(key, depth);
  if (depthOverflow_) return 0;
  TOntologyEngine& owner = shared_ ? *shared_ : *this;
  if (const TSemanticWordIndex* index = owner.wordIndex_.Ready()) return index->Find(t, key);
  // A short text never pays for the index: it is built once the tables
  // have been walked this many times (by whichever thread walks them then).
  constexpr uint32_t kWalksBeforeIndex = 2048;
  if (owner.wordIndex_.CountWalk(kWalksBeforeIndex)) owner.wordIndex_.Start(owner.dict_.tables);
  return TrieValue(Dict().tables[static_cast<size_t>(t - 1)], key);
}

bool TOntologyEngine::ReadingAtDepth(std::string_view word, int depth) {
  int32_t v = FindInTable(word, depth);
  if (v == 0) {
    bool changed = false;
    std::string alt = HyphensToUnderscoresCopy(word, changed);
    if (changed) v = FindInTable(alt, depth);
  }
  if (v == 0) return false;
  uint32_t record = static_cast<uint32_t>(v < 0 ? -v : v);
  ambiguous_ = v < 0;
  const SemanticEntryRecord& r = Dict().records[record];
  reading_ = WordReading{};
  reading_.flags = r.flags;
  reading_.extra = r.extra;
  reading_.contextLevel = r.flags & 3;
  reading_.value = r.triple;
  reading_.baseForm = r.baseForm;
  const ClassTriple& t = Dict().triples[r.triple];
  for (int l = 0; l < 3; ++l) reading_.cls[l] = r.triple ? t.cls[l] : 0;
  return true;
}

bool TOntologyEngine::LookupReading(std::string_view word, int depth) {
  reading_ = WordReading{};
  depthOverflow_ = false;
  ambiguous_ = false;
  if (ReadingAtDepth(word, depth)) return true;
  if (depthOverflow_ || depth >= kMaxReadingDepth) return false;
  const size_t n = word.size();
  if (depth == 0 && n >= 2) {
    const unsigned char first = static_cast<unsigned char>(word[0]);
    const unsigned char last = static_cast<unsigned char>(word[n - 1]);
    if (IsCurrencySymbol(first) && IsDigit(static_cast<unsigned char>(word[1])))
      return ReadingAtDepth(word.substr(0, 1), 0);
    if (IsDigit(first) && IsCurrencySymbol(last)) return ReadingAtDepth(word.substr(n - 1), 0);
  }
  std::string singular, alternative;
  if (SingularOf(word, singular, alternative)) {
    if (ReadingAtDepth(singular, depth) || (!alternative.empty() && ReadingAtDepth(alternative, depth))) {
      reading_.fromNormalisedForm = true;
      return true;
    }
  }
  return false;
}

EntryLookup TOntologyEngine::LookupEntry(std::string_view word) {
  EntryLookup r;
  if (depthOverflow_) return r;
  int32_t v = FindInTable(word, 0);
  if (v == 0) {
    bool changed = false;
    std::string alt = HyphensToUnderscoresCopy(word, changed);
    if (changed) v = FindInTable(alt, 0);
  }
  if (v == 0) return r;
  r.found = true;
  r.record = v < 0 ? -v : v;
  r.ambiguous = v < 0;
  return r;
}

void TOntologyEngine::AllReadings(std::string_view word) {
  // The readings of a form depend on the dictionary alone: they are looked
  // up once per form (the memory is emptied when it grows too large).
  if (const MemoReadings* known = MemoOwner().readingMemo_.Find(word)) {
    UseMemoReadings(known->first, known->count);
    return;
  }
  // A part engine keeps the forms that memory lacks in a memory of its
  // own, without tokens (a token names readings of the shared memory).
  if (const MemoReadings* own = shared_ ? readingMemo_.Find(word) : nullptr) {
    choices_ = std::span<const WordReading>(memoReadings_.data() + own->first, own->count);
    choiceFacts_ = std::span<const ReadingFacts>(memoFacts_.data() + own->first, own->count);
    readingsKept_ = 0;
    memoChoiceFacts_ = own->count ? memoFacts_.data() + own->first : nullptr;
    return;
  }
  readingsKept_ = 0;
  memoChoiceFacts_ = nullptr;
  readings_.clear();
  for (int depth = 0; depth < kMaxReadingDepth; ++depth) {
    if (!LookupReading(word, depth)) break;
    bool more = ambiguous_;
    readings_.push_back(reading_);
    if (!more) break;
  }
  facts_.clear();
  const bool weighted = !readings_.empty() && readings_.front().extra > 0;
  // The place of each (base form, level, class) in ownCounts_ and
  // documentOwnCounts_, made once and for all.
  auto placeOf = [&](uint32_t baseForm, int level, uint32_t cls) { return PlaceOf(OwnKey(baseForm, level, cls)); };
  for (const WordReading& r : readings_) {
    int64_t all = 0, common = 0;
    for (const WordReading& other : readings_) {
      if (other.cls[2] != r.cls[2]) continue;
      all += other.extra;
      if (!(other.flags & kFlagInitialCapital)) common += other.extra;
    }
    // At most kMaxReadingDepth readings of weight 255: far from the limit.
    ReadingFacts f;
    f.all = static_cast<int32_t>(kFieldPriorFactor * all + r.extra);
    f.common = static_cast<int32_t>(kFieldPriorFactor * common + r.extra);
    for (int l = 0; l < 3; ++l) {
      if (!r.cls[l]) continue;
      if (weighted) f.own[l] = placeOf(readings_.front().baseForm, l + 1, r.cls[l]);
      if (r.baseForm) f.counted[l] = placeOf(r.baseForm, l + 1, r.cls[l]);
    }
    facts_.push_back(f);
  }
  choices_ = readings_;
  choiceFacts_ = facts_;
  if (depthOverflow_) return;
  try {
    if (readingMemo_.Size() >= kReadingMemoLimit) ClearReadingMemo();
    const MemoReadings kept{static_cast<uint32_t>(memoReadings_.size()), static_cast<uint32_t>(readings_.size())};
    memoReadings_.insert(memoReadings_.end(), readings_.begin(), readings_.end());
    memoFacts_.insert(memoFacts_.end(), facts_.begin(), facts_.end());
    readingMemo_.Obtain(word) = kept;
    if (kept.count) memoChoiceFacts_ = memoFacts_.data() + kept.first;
    if (!shared_ && kept.count && kept.count <= kMaxReadingDepth && kept.first < (1u << 26))
      readingsKept_ = kept.first << 5 | kept.count;
  } catch (const std::bad_alloc&) {
    ClearReadingMemo();
  }
}

void TOntologyEngine::UseMemoReadings(uint32_t first, uint32_t count) {
  TOntologyEngine& memo = MemoOwner();
  choices_ = std::span<const WordReading>(memo.memoReadings_.data() + first, count);
  choiceFacts_ = std::span<const ReadingFacts>(memo.memoFacts_.data() + first, count);
  readingsKept_ = count && count <= kMaxReadingDepth && first < (1u << 26) ? first << 5 | count : 0;
  memoChoiceFacts_ = count ? memo.memoFacts_.data() + first : nullptr;
}

void TOntologyEngine::ClearReadingMemo() {
  ++memoGeneration_;
  readingsKept_ = 0;
  memoChoiceFacts_ = nullptr;
  readingMemo_.Clear();
  memoReadings_.clear();
  memoFacts_.clear();
}

bool TOntologyEngine::CollectReadings(std::string_view word) {
  collected_.clear();
  for (int depth = 0; depth < kMaxReadingDepth; ++depth) {
    if (!LookupReading(word, depth)) break;
    bool more = ambiguous_;
    if (!(reading_.fromNormalisedForm && (reading_.flags & kFlagsDroppedFromNormalised)))
      collected_.push_back(reading_);
    if (!more) break;
  }
  return !collected_.empty();
}

// ---------------------------------------------------------------------------
// Class names

int32_t TOntologyEngine::FindClassIndex(int level, std::string_view name) const {
  if (level < 1 || level > kLevelCount || name.empty()) return 0;
  std::string key = Lower(name);
  if (level == 4) {
    auto it = scenarioClassIndex_.find(key);
    return it == scenarioClassIndex_.end() ? 0 : it->second;
  }
  const auto& segments = dict_.nameIndexes[level - 1];
  if (!segments.empty()) {
    int s = ClassNameSegment(key, static_cast<int>(segments.size()));
    int32_t c = TrieValue(segments[static_cast<size_t>(s - 1)].trie, key);
    if (c) return c;
  }
  if (level == 1) {
    auto it = addedClassIndex_.find(key);
    if (it != addedClassIndex_.end()) return it->second;
  }
  return 0;
}

int32_t TOntologyEngine::SingularClassName(std::string_view word) {
  std::string singular, alternative;
  if (!SingularOf(word, singular, alternative)) return 0;
  for (const std::string& form : {singular, alternative}) {
    if (form.empty()) continue;
    if (int32_t c = FindClassIndex(1, form)) {
      foundForm_ = form;
      return c;
    }
  }
  return 0;
}

bool TOntologyEngine::FirstClassLevel(std::string_view word, int& level, int32_t& index) const {
  for (int l = 1; l <= 3; ++l) {
    int32_t c = FindClassIndex(l, word);
    if (c && !IsAddedClass(l, c)) {
      level = l;
      index = c;
      return true;
    }
  }
  level = 0;
  index = 0;
  return false;
}

bool TOntologyEngine::ResolveClassOfWord(int level, std::string_view word, int32_t& index) {
  int32_t value = 0;
  if (level >= 1 && level <= 3 && ClassifyWord(word, value, false) && best_[level - 1]) {
    index = static_cast<int32_t>(best_[level - 1]);
    return true;
  }
  index = FindClassIndex(level, word);
  if (!index) index = SingularClassName(word);
  return index != 0;
}

// ---------------------------------------------------------------------------
// Classification

void TOntologyEngine::CountClasses(const uint32_t cls[4]) {
  if (shared_) {
    occurrenceLog_.push_back(ChangeOf(cls, true));
    return;
  }
  for (int l = 0; l < 3; ++l)
    if (cls[l] && cls[l] <= kMaxClassesPerLevel) ++occurrences_[l + 1][cls[l]];
}

bool TOntologyEngine::ClassifySubstantive(std::string_view word, const TCategoryRecord* data, int32_t& value) {
  value = -1;
  best_ = {0, 0, 0, 0};
  bestBaseForm_ = 0;
  if (LookupReading(word, 0)) {
    if (ambiguous_) return false;
    value = reading_.value;
    bestBaseForm_ = reading_.baseForm;
    CountClasses(reading_.cls);
    for (int l = 0; l < 3; ++l) best_[l] = reading_.cls[l];
    return true;
  }
  const bool marked = data && (data->SubField2 & 2);
  int32_t c = FindClassIndex(1, word);
  if (!c && !marked) c = SingularClassName(word);
  if (c) {
    if (occurrences_[1][c] > 0) ++occurrences_[1][c];
    best_[0] = static_cast<uint32_t>(c);
    return true;
  }
  std::string key(word);
  std::string singular, alternative;
  if (!marked && SingularOf(word, singular, alternative)) key = singular;
  key = Lower(key);
  c = AddClass(1, key, false, key);
  if (!c) return false;
  best_[0] = static_cast<uint32_t>(c);
  return true;
}

uint32_t TOntologyEngine::EvidenceAt(int level, uint32_t cls, uint32_t own) const {
  if (level < 1 || level > 3 || !cls || cls > kMaxClassesPerLevel) return 0;
  const uint32_t all = occurrences_[level][cls];
  if (all == 0) return 0;
  const uint32_t counted = own && own < ownCounts_.size() ? ownCounts_[own] : 0;
  return all > counted ? all - counted : 0;
}

uint32_t TOntologyEngine::EvidenceFromOtherWords(int level, uint32_t cls, uint32_t baseForm) const {
  return EvidenceAt(level, cls, ownPlaces_.Get(OwnKey(baseForm, level, cls)));
}

void TOntologyEngine::TakeChoice(size_t index) {
  const WordReading& chosen = choices_[index];
  for (int l = 0; l < 3; ++l) best_[l] = chosen.cls[l];
  best_[3] = 0;
  bestValue_ = chosen.value;
  bestBaseForm_ = chosen.baseForm;
  chosen_ = index;
}

namespace {

// A reading's sense weight; a reading that holds only for a capitalised
// word weighs double for a word capitalised inside a sentence.
constexpr double kCapitalPreference = 2;
double Weight(const WordReading& r, bool capitalised) {
  return static_cast<double>(r.extra) * (capitalised && (r.flags & kFlagInitialCapital) ? kCapitalPreference : 1.0);
}

}  // namespace

// The choice among readings that carry sense weights. The most frequent
// reading is the default: the heaviest one, its capitalised readings
// weighing double for a word capitalised inside a sentence (a name's reading
// outweighs the word's). Another reading needs evidence near the word: the
// nouns of its sentence, much less those of the rest of its document,
// nothing from other documents of the run and nothing the word's own base
// form gave; and it wins only when that evidence outweighs the difference
// of weights. Readings that hold only for a capitalised word are left out
// for a word written in lower case or beginning a sentence, unless the word
// has no other reading.
bool TOntologyEngine::ChooseWeightedReading(bool contextTest, bool sentenceInitial) {
  const size_t n = choices_.size();
  if (!n) return false;
  const bool capitalised = initialCapital_ && !sentenceInitial;
  // The default of a form in the memory is worked out once (part engines
  // settling at once may write it together: they write the same value).
  std::optional<std::atomic_ref<uint8_t>> knownDefault;
  if (memoChoiceFacts_) knownDefault.emplace(memoChoiceFacts_->defaults[sentenceInitial ? 1 : 0]);
  WeighGlosses();
  if (knownDefault && *knownDefault < n &&
      (defaultOnly_ ||
       (documentMode_ && !cues_ && !SentenceMaySpeak(*knownDefault) && !GlossMaySpeak(*knownDefault)))) {
    TakeChoice(*knownDefault);
    bestScore_ = static_cast<int32_t>(std::max<int>(1, choices_[chosen_].extra));
    return true;
  }
  bool few[kMaxReadingDepth];
  std::unique_ptr<bool[]> many;
  bool* allowed = n <= kMaxReadingDepth ? few : (many.reset(new bool[n]), many.get());
  std::fill(allowed, allowed + n, true);
  bool anyCommon = false;
  for (size_t i = 0; i < n; ++i) anyCommon = anyCommon || !(choices_[i].flags & kFlagInitialCapital);
  const bool commonOnly = !capitalised && anyCommon;
  if (commonOnly)
    for (size_t i = 0; i < n; ++i) allowed[i] = !(choices_[i].flags & kFlagInitialCapital);
  // The default: the heaviest allowed reading, a capitalised one weighing
  // double for a capitalised word.
  long first = -1;
  for (size_t i = 0; i < n; ++i) {
    if (!allowed[i]) continue;
    if (first < 0) {
      first = static_cast<long>(i);
      continue;
    }
    if (Weight(choices_[i], capitalised) > Weight(choices_[static_cast<size_t>(first)], capitalised))
      first = static_cast<long>(i);
  }
  if (first < 0) first = 0;
  if (knownDefault && n <= kMaxReadingDepth && *knownDefault != first) *knownDefault = static_cast<uint8_t>(first);
  long best = first;
  // Alone in its sentence, without cues, a noun of a document keeps its default.
  const bool nothingNear =
      documentMode_ && sentence_.size() <= 1 && !cues_ && !GlossMaySpeak(static_cast<size_t>(first));
  if (contextTest && !defaultOnly_ && !nothingNear) {
    if (evidenceFactorsWeight_ != Tuning.senseEvidenceWeight) {
      const double exponent = Tuning.senseEvidenceWeight / 100.0;
      for (uint32_t e = 0; e <= kEvidenceCap; ++e) evidenceFactors_[e] = std::pow(1.0 + e, exponent);
      evidenceFactorsWeight_ = Tuning.senseEvidenceWeight;
    }
    const uint32_t ownBase = choices_.front().baseForm;
    const double defaultGloss = glossOf_.empty() ? 0 : glossOf_[static_cast<size_t>(first)];
    double bestScore = -1;
    for (size_t i = 0; i < n; ++i) {
      if (!allowed[i]) continue;
      const WordReading& r = choices_[i];
      const double gloss = glossOf_.empty() ? 0 : glossOf_[i];
      const double evidence = NearEvidence(r, ownBase, choiceFacts_[i], gloss);
      if (evidence <= 0 && gloss <= 0 && static_cast<long>(i) != first) continue;  // another reading without evidence
      const double capped = std::min(evidence, static_cast<double>(kEvidenceCap));
      const size_t whole = static_cast<size_t>(capped);
      const double factor = whole >= kEvidenceCap
                                ? evidenceFactors_[kEvidenceCap]
                                : evidenceFactors_[whole] + (capped - static_cast<double>(whole)) *
                                                                (evidenceFactors_[whole + 1] - evidenceFactors_[whole]);
      double score = Weight(r, capitalised) * factor;
      // The words near the noun speak for another reading by what they
      // say of it beyond what they say of the default.
      const double beyond = gloss - defaultGloss - kGlossMargin;
      if (static_cast<long>(i) != first && beyond > 0)
        score *= std::pow(1.0 + beyond, Tuning.glossEvidenceWeight / 100.0);
      if (score > bestScore) best = static_cast<long>(i), bestScore = score;
    }
  }
  TakeChoice(static_cast<size_t>(best));
  bestScore_ = static_cast<int32_t>(std::max<int>(1, choices_[static_cast<size_t>(best)].extra));
  return true;
}

namespace {

// How much a noun near a reading speaks for it: one of its sentence at
// most kNearWords words away with the reading's class of level 1, with its
// field (level 3, topical fields only); and a noun of the rest of its
// document, by level, where the sentence speaks already, all of them
// together less than one noun of the sentence. (A class of level 2 in the
// sentence moved more nouns away from their first sense than towards the
// sense meant; so did a noun at the far end of a long sentence, and the
// rest of the document weighing as much as a field noun beside the word.)
constexpr double kSentenceClass = 4;
constexpr double kSentenceField = 2;
constexpr double kDocumentWeight[3] = {0.5, 0.25, 0.125};
constexpr double kDocumentCap = 1;
constexpr uint32_t kNearWords = 8;
// A cue of the words around a capitalised noun for a reading of its kind,
// or of a number in figures before a noun for a unit's reading.
constexpr double kCueEvidence = 8;

}  // namespace

bool TOntologyEngine::SentenceMaySpeakFor(const WordReading& r) const {
  const bool topical = r.contextLevel >= 2 && r.contextLevel <= 3;
  return HasBit(sentenceClasses_, r.cls[0]) || (topical && HasBit(sentenceFields_, r.cls[2]));
}

bool TOntologyEngine::SentenceMaySpeak(size_t except) const {
  for (size_t i = 0; i < choices_.size(); ++i)
    if (i != except && SentenceMaySpeakFor(choices_[i])) return true;
  return false;
}

double TOntologyEngine::NearEvidence(const WordReading& r, uint32_t ownBase, const ReadingFacts& f,
                                     double gloss) const {
  const bool topical = r.contextLevel >= 2 && r.contextLevel <= 3;
  double evidence = 0;
  if (SentenceMaySpeakFor(r)) {
    for (const NearNoun& e : NearNounsInSentence()) {
      if (ownBase && e.baseForm == ownBase) continue;
      if ((e.at > nounAt_ ? e.at - nounAt_ : nounAt_ - e.at) > kNearWords) continue;
      if (r.cls[0] && e.cls[0] == r.cls[0]) evidence += kSentenceClass;
      else if (topical && r.cls[2] && e.cls[2] == r.cls[2]) evidence += kSentenceField;
    }
  }
  double document = 0;
  if (documentMode_ && evidence <= 0 && gloss <= 0) {
    // The rest of the document only adds to what the sentence says.
  } else if (documentMode_) {
    for (int l = 0; l < (topical ? 3 : 2); ++l) {
      const uint32_t c = r.cls[l];
      if (!c) continue;
      const uint32_t all = documentCounts_[static_cast<size_t>(l)][c];
      const uint32_t own = ownBase ? documentOwnCounts_[f.own[l]] : 0;
      document += kDocumentWeight[l] * (all > own ? all - own : 0);
    }
    document = std::min(document, kDocumentCap);
  } else {
    // The whole text is the document: its class, and its field for a
    // topical reading, in the rest of the text.
    document = EvidenceAt(1, r.cls[0], f.own[0]);
    const int k = r.contextLevel;
    if (k >= 2 && k <= 3) document += EvidenceAt(k, r.cls[k - 1], f.own[k - 1]);
  }
  evidence += document;
  if (cues_ && r.cls[2]) {
    if (((cues_ & kCuePlace) && r.cls[2] == placeField_) || ((cues_ & kCueTime) && r.cls[2] == timeField_) ||
        ((cues_ & kCuePerson) && r.cls[2] == personField_) || ((cues_ & kCueUnit) && r.cls[2] == unitField_))
      evidence += kCueEvidence;
  }
  return evidence;
}

void TOntologyEngine::WeighGlosses() {
  glossOf_.clear();
  const GlossSignatures* glosses = glosses_.Current();
  if (!glosses || sentenceWords_.empty() || Tuning.glossEvidenceWeight <= 0) return;
  glossOf_.resize(choices_.size(), 0.0);
  for (size_t i = 0; i < choices_.size(); ++i) {
    const WordReading& r = choices_[i];
    if (r.cls[0] && r.cls[0] <= 0xffff)
      glossOf_[i] = glosses->Overlap(r.baseForm, static_cast<uint16_t>(r.cls[0]), sentenceWords_, ownWord_);
  }
}

bool TOntologyEngine::GlossMaySpeak(size_t except) const {
  for (size_t i = 0; i < glossOf_.size(); ++i)
    if (i != except && glossOf_[i] > 0) return true;
  return false;
}

std::span<const NearNoun> TOntologyEngine::NearNounsInSentence() const {
  if (!sentenceInOrder_) return sentence_;
  // Only the nouns at most kNearWords words away speak: in a sentence of a
  // million nouns (a text without a full stop) the others are not looked at.
  const uint32_t from = nounAt_ > kNearWords ? nounAt_ - kNearWords : 0;
  const uint64_t to = uint64_t{nounAt_} + kNearWords;
  auto first = std::partition_point(sentence_.begin(), sentence_.end(), [&](const NearNoun& e) { return e.at < from; });
  auto last = std::partition_point(first, sentence_.end(), [&](const NearNoun& e) { return e.at <= to; });
  return {first, last};
}

void TOntologyEngine::SetSentence(std::span<const NearNoun> nouns) {
  sentence_ = nouns;
  sentenceInOrder_ =
      std::is_sorted(nouns.begin(), nouns.end(), [](const NearNoun& a, const NearNoun& b) { return a.at < b.at; });
  sentenceClasses_ = {};
  sentenceFields_ = {};
  for (const NearNoun& noun : nouns) NoteSentenceClasses(noun);
}

void TOntologyEngine::BeginDocument() {
  for (int l = 0; l < 3; ++l)
    if (documentCounts_[static_cast<size_t>(l)].empty())
      documentCounts_[static_cast<size_t>(l)].assign(kMaxClassesPerLevel + 1, 0);
  for (const auto& [l, c] : documentTouched_) documentCounts_[static_cast<size_t>(l)][c] = 0;
  documentTouched_.clear();
  for (uint32_t place : documentOwnTouched_) documentOwnCounts_[place] = 0;
  documentOwnTouched_.clear();
  documentMode_ = true;
  SetSentence({});
  cues_ = 0;
}

void TOntologyEngine::CountInDocument(const NearNoun& noun, bool ambiguous) {
  if (!documentMode_) return;
  // Only the base form of an ambiguous word is asked for its own counts:
  // those of the reading DefaultReading chose, whose places it knows.
  const ReadingFacts* own =
      ambiguous && noun.baseForm && chosen_ < choiceFacts_.size() ? &choiceFacts_[chosen_] : nullptr;
  for (int l = 0; l < 3; ++l) {
    const uint32_t c = noun.cls[l];
    if (!c || c > kMaxClassesPerLevel) continue;
    uint32_t& count = documentCounts_[static_cast<size_t>(l)][c];
    if (count++ == 0) documentTouched_.emplace_back(l, c);
    if (own && own->counted[l]) {
      uint32_t& counted = documentOwnCounts_[own->counted[l]];
      try {
        if (counted == 0) documentOwnTouched_.push_back(own->counted[l]);
        ++counted;
      } catch (const std::bad_alloc&) {
        // Without room the word's own occurrences count as evidence.
      }
    }
  }
}

void TOntologyEngine::EndDocuments() {
  documentMode_ = false;
  SetSentence({});
  cues_ = 0;
}

bool TOntologyEngine::DefaultReading(std::string_view word, bool sentenceInitial, ReadingsToken token) {
  defaultOnly_ = true;
  ReadingsFor(word, token);
  const bool chosen = ChooseAmongReadings(word, 1, true, sentenceInitial);
  defaultOnly_ = false;
  return chosen;
}

void TOntologyEngine::KnowFixedClasses() {
  if (fixedClassesKnown_) return;
  fixedClassesKnown_ = true;
  auto classesOf = [&](const char* word, std::array<uint32_t, 4>& out) {
    out = {0, 0, 0, 0};
    if (LookupReading(word, 0))
      for (int l = 0; l < 3; ++l) out[static_cast<size_t>(l)] = reading_.cls[l];
  };
  classesOf("person", personClasses_);
  classesOf("morning", timeOfDayClasses_[0]);
  classesOf("afternoon", timeOfDayClasses_[1]);
  classesOf("no.", numberSignClasses_);
  classesOf("United_States", countryClasses_);
  if (!countryClasses_[0]) classesOf("united_states", countryClasses_);
  placeField_ = static_cast<uint32_t>(FindClassIndex(3, "place"));
  timeField_ = static_cast<uint32_t>(FindClassIndex(3, "time"));
  personField_ = static_cast<uint32_t>(FindClassIndex(3, "person"));
  unitField_ = static_cast<uint32_t>(FindClassIndex(3, "quantity"));
  auto fields = [&](std::initializer_list<const char*> names, std::vector<uint32_t>& out) {
    out.clear();
    for (const char* name : names)
      if (const int32_t c = FindClassIndex(3, name)) out.push_back(static_cast<uint32_t>(c));
  };
  fields({"person", "work", "politics", "law", "sport", "war", "religion", "education", "health"}, officeFields_);
  fields({"person", "work", "politics", "law", "sport", "war", "religion", "education", "health", "science", "art",
          "music", "writing", "family"},
         peopleFields_);
  fields({"place", "group", "building"}, placeNameFields_);
}

bool TOntologyEngine::TakeUnitReading() {
  KnowFixedClasses();
  if (!unitField_) return false;
  const size_t n = choices_.size();
  size_t unit = n;
  for (size_t i = 0; i < n; ++i) {
    const WordReading& r = choices_[i];
    if (!(r.flags & kFlagInitialCapital) && r.cls[2] == unitField_ && (unit == n || r.extra > choices_[unit].extra))
      unit = i;
  }
  if (unit == n) return false;
  TakeChoice(unit);
  return true;
}

const std::array<uint32_t, 4>& TOntologyEngine::PersonClasses() {
  KnowFixedClasses();
  return personClasses_;
}

const std::array<uint32_t, 4>& TOntologyEngine::TimeOfDayClasses(bool afternoon) {
  KnowFixedClasses();
  return timeOfDayClasses_[afternoon ? 1 : 0];
}

const std::array<uint32_t, 4>& TOntologyEngine::NumberSignClasses() {
  KnowFixedClasses();
  return numberSignClasses_;
}

const std::array<uint32_t, 4>& TOntologyEngine::CountryClasses() {
  KnowFixedClasses();
  return countryClasses_;
}

std::array<uint32_t, 4> TOntologyEngine::FirstReadingClasses(std::string_view word) {
  std::array<uint32_t, 4> out = {0, 0, 0, 0};
  if (LookupReading(Lower(word), 0))
    for (int l = 0; l < 3; ++l) out[static_cast<size_t>(l)] = reading_.cls[l];
  return out;
}

void TOntologyEngine::UncountClassOccurrences(const uint32_t classes[4]) {
  if (shared_) {
    occurrenceLog_.push_back(ChangeOf(classes, false));
    return;
  }
  for (int l = 0; l < 3; ++l) {
    const uint32_t c = classes[l];
    if (c && c <= kMaxClassesPerLevel && occurrences_[l + 1][c] > 0) --occurrences_[l + 1][c];
  }
}

uint32_t TOntologyEngine::FirstField(std::string_view word, ReadingsToken token) {
  ReadingsFor(word, token);
  for (const WordReading& r : choices_)
    if (!(r.flags & kFlagInitialCapital)) return r.cls[2];
  return choices_.empty() ? 0 : choices_.front().cls[2];
}

NameWord TOntologyEngine::NameWordOf(std::string_view word, bool periodFollows, ReadingsToken token) {
  NameWord w;
  if (word.empty() || !HasInitialCapital(word)) return w;
  if (word.size() == 1) {
    if (periodFollows) w.part = NamePart::kInitial;
    return w;
  }
  const std::string lower = Lower(word);
  if (IsPersonTitle(lower) || lower == "jr" || lower == "sr") {
    w.part = NamePart::kTitle;
    return w;
  }
  KnowFixedClasses();
  ReadingsFor(word, token);
  if (choices_.empty()) {
    w.part = NamePart::kName;
    w.name = true;
    return w;
  }
  auto in = [](const std::vector<uint32_t>& fields, uint32_t field) {
    return field && std::find(fields.begin(), fields.end(), field) != fields.end();
  };
  // A plural is no name's plural when it is also a common noun's: its
  // singular's capitalised readings (Court the player, Son) do not make
  // "Superior Courts" or "John Wiley Sons" a person.
  bool commonPlural = false;
  for (const WordReading& r : choices_) commonPlural = commonPlural || !(r.flags & kFlagInitialCapital);
  auto nameOfPlural = [&](const WordReading& r) {
    return commonPlural && r.fromNormalisedForm && (r.flags & kFlagInitialCapital);
  };
  bool person = false, capitalOnly = false, capitalPerson = false, commonPerson = false;
  const WordReading* common = nullptr;
  const WordReading* heaviest = nullptr;
  for (const WordReading& r : choices_) {
    if (nameOfPlural(r)) continue;
    if (!heaviest || r.extra > heaviest->extra) heaviest = &r;
    const bool isPerson = personClasses_[0] && r.cls[0] == personClasses_[0];
    person = person || isPerson;
    w.place = w.place || (placeField_ && r.cls[2] == placeField_);
    commonPerson = commonPerson || (isPerson && !(r.flags & kFlagInitialCapital));
    if (r.flags & kFlagInitialCapital) {
      capitalOnly = true;
      capitalPerson = capitalPerson || in(peopleFields_, r.cls[2]);
    } else if (!common) {
      common = &r;
    }
  }
  w.name = (heaviest->flags & kFlagInitialCapital) != 0;
  w.personName = personClasses_[0] && heaviest->cls[0] == personClasses_[0];
  w.timeName = timeField_ && heaviest->cls[2] == timeField_;
  w.commonFirst = person && !commonPerson && !w.name && !w.personName;
  if (person) w.part = NamePart::kPerson;
  else if (capitalOnly) w.part = NamePart::kName;
  else if (choices_.front().cls[2] && choices_.front().cls[2] == personField_) w.part = NamePart::kRole;
  if (common) {
    w.role = in(officeFields_, common->cls[2]);
    w.head = !person && !capitalPerson && in(placeNameFields_, common->cls[2]);
  }
  return w;
}

std::span<const std::string_view> PersonTitles() {
  static constexpr std::string_view kTitles[] = {"mr",  "mrs", "ms",   "miss", "dr",  "sen",  "gen", "gov",
                                                 "rep", "col", "capt", "lt",   "sgt", "prof", "rev"};
  return kTitles;
}

bool IsPersonTitle(std::string_view word) {
  const auto titles = PersonTitles();
  return std::find(titles.begin(), titles.end(), word) != titles.end();
}

bool TOntologyEngine::ChooseReading(std::string_view word, int level, bool contextTest, bool sentenceInitial) {
  AllReadings(word);
  return ChooseAmongReadings(word, level, contextTest, sentenceInitial);
}

bool TOntologyEngine::ChooseAmongReadings(std::string_view word, int level, bool contextTest, bool sentenceInitial) {
  initialCapital_ = HasInitialCapital(word) && !IsAllCapitals(word);
  if (!choices_.empty() &&
      std::all_of(choices_.begin(), choices_.end(), [](const WordReading& r) { return r.extra > 0; }))
    return ChooseWeightedReading(contextTest, sentenceInitial);
  const bool initialCapital = HasInitialCapital(word);
  const bool allCapitals = IsAllCapitals(word);
  // AllReadings gives at most one reading a depth.
  const size_t n = choices_.size();
  std::array<int64_t, kMaxReadingDepth> score;
  std::array<bool, kMaxReadingDepth> absent, rejected;
  for (size_t i = 0; i < n; ++i) {
    const WordReading& r = choices_[i];
    int k = r.contextLevel;
    absent[i] = contextTest && k >= 1 && k <= 3 && r.cls[k - 1] && occurrences_[k][r.cls[k - 1]] == 0;
    uint32_t c = r.cls[level - 1];
    if (absent[i]) score[i] = -1;
    else if (!c) score[i] = 0;
    else {
      score[i] = occurrences_[level][c];
      if (level == 1 && r.cls[1]) score[i] += occurrences_[2][r.cls[1]] / 3;
    }
    bool recentMissing = false;
    if ((r.flags & kFlagRecentContext) && k >= 1 && k <= 3) {
      recentMissing = true;
      for (const auto& h : history_)
        if (h[k - 1] == r.cls[k - 1] && h[k - 1] != 0) recentMissing = false;
    }
    rejected[i] = contextTest && (((r.flags & kFlagInitialCapital) && !initialCapital) ||
                                  ((r.flags & kFlagAllCapitals) && !allCapitals) || recentMissing);
  }
  long best = -1;
  auto pass = [&](auto accept, bool compare) {
    for (size_t i = 0; i < n; ++i) {
      if (!accept(i)) continue;
      if (!compare || best < 0 || score[i] > score[static_cast<size_t>(best)]) best = static_cast<long>(i);
    }
  };
  pass([&](size_t i) { return !absent[i] && !rejected[i]; }, true);
  if (best < 0) pass([&](size_t i) { return !absent[i]; }, true);
  if (best < 0) pass([&](size_t i) { return !absent[i] && !rejected[i]; }, false);
  if (best < 0) pass([](size_t) { return true; }, false);
  if (best < 0) return false;
  TakeChoice(static_cast<size_t>(best));
  bestScore_ = static_cast<int32_t>(std::clamp<int64_t>(score[static_cast<size_t>(best)], INT32_MIN, INT32_MAX));
  return true;
}

bool TOntologyEngine::ClassifyWord(std::string_view word, int32_t& value, bool count, bool sentenceInitial) {
  return ClassifyWordAmong(word, value, count, sentenceInitial, ReadingsToken{});
}

bool TOntologyEngine::ClassifyWordAmong(std::string_view word, int32_t& value, bool count, bool sentenceInitial,
                                        ReadingsToken token) {
  value = -1;
  ReadingsFor(word, token);
  if (!ChooseAmongReadings(word, 1, count, sentenceInitial)) return false;
  if (count && choices_.size() > 1) {
    const bool weighted = choices_.front().extra > 0;
    if (bestScore_ < 1 && !weighted) {
      std::array<uint32_t, 4> keep = best_;
      int32_t keepValue = bestValue_;
      if (!ChooseReading(word, 2, true)) best_ = keep, bestValue_ = keepValue;
      if (bestScore_ < 1) {
        keep = best_;
        keepValue = bestValue_;
        if (!ChooseReading(word, 3, true)) best_ = keep, bestValue_ = keepValue;
      }
    }
    CountClasses(best_.data());
    if (weighted) {
      // The classes of the reading chosen, each of which has its place.
      const ReadingFacts& f = choiceFacts_[chosen_];
      for (int l = 0; l < 3; ++l)
        if (best_[static_cast<size_t>(l)]) ++ownCounts_[f.own[l]];
    }
  }
  value = bestValue_;
  return true;
}

void TOntologyEngine::PushHistory(const std::array<uint32_t, 4>& classes) {
  history_[static_cast<size_t>(historyCursor_)] = classes;
  historyCursor_ = (historyCursor_ + 1) % kHistorySize;
}

void TOntologyEngine::ResetHistory() {
  for (auto& h : history_) h = {0, 0, 0, 0};
  historyCursor_ = 0;
}

// ---------------------------------------------------------------------------
// Scenario

void TOntologyEngine::ReportAnomaly(int messageId, const std::string& text) {
  ++anomalyCount_;
  anomalyFlag_ = true;
  if (reporter_) reporter_->Report(messageId, text);
}

void TOntologyEngine::ClearScenario() {
  names_[4].assign(1, std::string());
  levelCount_[4] = dictionaryCount_[4] = 0;
  for (auto& e : entries_) e.count = 0;
  scenarioClassIndex_.clear();
  scenarioWords_.clear();
  for (auto& m : classMaps_) std::fill(m.begin(), m.end(), 0);
  std::fill(verbMap_.begin(), verbMap_.end(), 0);
  std::fill(adjectiveMap_.begin(), adjectiveMap_.end(), 0);
  std::fill(textIndexMap_.begin(), textIndexMap_.end(), 0);
}

void TOntologyEngine::ClearScenarioEntries() {
  anomalyFlag_ = false;
  if (reporter_) reporter_->Clear();
  scenarioWords_.clear();
  entries_.assign(1, ScenarioEntry{});
  entryCount_ = 0;
  scenarioLoaded_ = false;
  rankedTotal_[4] = 0;
}

void TOntologyEngine::BeginSignatureRenumbering(bool restartCounter) {
  for (auto& e : entries_) e.signature = 0;
  renumber_ = true;
  if (restartCounter) signatureCounter_ = 0;
}

uint32_t TOntologyEngine::NewScenarioEntry(int depth, bool counted, const std::string& label,
                                           const std::string& signature, std::array<uint32_t, 10>& stack, bool& stop) {
  if (entryCount_ >= kMaxScenarioEntries) {
    ShowError(GetMessageText(kMsgOntologyIndexOverflow));
    stop = true;
    return 0;
  }
  ScenarioEntry e;
  e.depth = static_cast<uint8_t>(depth);
  e.counted = counted;
  if (depth > 0) {
    // The parent is the nearest shallower group; a jump in depth is reported.
    int d = depth - 1;
    while (d >= 0 && !stack[static_cast<size_t>(d)]) --d;
    if (d >= 0) e.parent = stack[static_cast<size_t>(d)];
    if (d != depth - 1) ReportAnomaly(kMsgDepthJump, label);
  }
  // A label names a level-4 class (the name index keeps the first of equal
  // labels); a group without a label makes none. The Scenario's level-4 ids
  // are its entries: the name index and the names answer by entry.
  const std::string lower = Lower(label);
  if (!lower.empty()) {
    e.cls = AddClassName(4, lower);
    if (!e.cls) {
      ReportAnomaly(kMsgOntologyIndexOverflow, label);
      stop = true;
      return 0;
    }
    occurrences_[4][e.cls] = 1;
    scenarioClassIndex_.emplace(lower, static_cast<int32_t>(entryCount_ + 1));
  }
  int32_t number = 0;
  bool numeric = !signature.empty() && std::all_of(signature.begin(), signature.end(), [](char c) {
    return IsDigit(static_cast<unsigned char>(c));
  }) && signature.size() <= 9;
  if (numeric) number = std::stoi(signature);
  else renumber_ = true;
  if (renumber_) number = static_cast<int32_t>(signatureCounter_ + 1);
  e.signature = static_cast<uint32_t>(number);
  signatureCounter_ = std::max(signatureCounter_, e.signature);
  entries_.push_back(e);
  ++entryCount_;
  dictionaryCount_[4] = levelCount_[4];
  stack[static_cast<size_t>(depth)] = entryCount_;
  for (int d = depth + 1; d < 10; ++d) stack[static_cast<size_t>(d)] = 0;
  return entryCount_;
}

void TOntologyEngine::LoadScenario(ClassFileList& file, bool renumber) {
  entryCount_ = 0;
  anomalyCount_ = 0;
  ClearScenarioEntries();
  signatureCounter_ = 0;
  renumber_ = renumber;
  ClearScenario();
  scenarioLoaded_ = file.Count() > 0;

  std::array<uint32_t, 10> stack{};
  bool noGroupYet = true;
  bool stop = false;
  uint32_t current = 0;
  for (ClassFileEntry& line : file.MutableEntries()) {
    if (stop) break;
    const char kind = line.code[0];
    const int depth = std::min(line.Depth(), 9);
    if (kind == 'G') noGroupYet = false;
    if (!noGroupYet) {
      if (kind != 'G' && depth > 0) {
        int d = depth - 1;
        while (d >= 0 && !stack[static_cast<size_t>(d)]) --d;
        if (d >= 0) current = stack[static_cast<size_t>(d)];
      }
    } else {
      uint32_t e = NewScenarioEntry(0, true, Lower(line.text2.value_or(std::string())), line.text1, stack, stop);
      if (stop) break;
      current = e;
    }
    auto assign = [&](std::vector<uint32_t>& map, uint32_t index) {
      if (!index || index >= map.size()) {
        ReportAnomaly(kMsgNotInDictionary, line.text1);
        line.code[3] = '?';
      } else if (map[index]) {
        ReportAnomaly(kMsgDuplicated, line.text1);
        line.code[3] = '?';
      } else {
        map[index] = current;
      }
    };
    if (kind == 'G') {
      uint32_t e =
          NewScenarioEntry(depth, line.code[3] != 'H', line.text2.value_or(std::string()), line.text1, stack, stop);
      if (stop) break;
      current = e;
    } else if (kind == 'A') {
      assign(adjectiveMap_, adjectiveIndex_.find ? adjectiveIndex_.find(line.text1) : 0);
    } else if (kind == 'V') {
      assign(verbMap_, verbIndex_.find ? verbIndex_.find(line.text1) : 0);
    } else if (kind == 'S') {
      assign(textIndexMap_, TextIndexLookup(Lower(line.text1)));
    } else if (line.level >= 1) {
      int level = std::min<int>(line.level, 3);
      assign(classMaps_[static_cast<size_t>(level - 1)], static_cast<uint32_t>(FindClassIndex(level, line.text1)));
    } else {
      bool changed = false;
      std::string key = Lower(HyphensToUnderscoresCopy(line.text1, changed));
      if (key.empty() || !current) continue;
      if (!scenarioWords_.emplace(key, current).second) ReportAnomaly(kMsgDuplicated, line.text1);
    }
  }
  // Hidden groups hide their whole subtree.
  for (uint32_t i = 1; i <= entryCount_; ++i) {
    if (entries_[i].counted) continue;
    for (uint32_t j = i + 1; j <= entryCount_ && entries_[j].depth > entries_[i].depth; ++j)
      entries_[j].counted = false;
  }
  if (renumber_ && !renumber) ReportAnomaly(kMsgOldScenarioVersion, "!");
  GroupNumbering.forceRenumbering = false;
  if (this == OntologyEngine.get()) ShareScenarioWithIndexes();
  if (reporter_) reporter_->Finish(anomalyCount_ > 0);
}

uint32_t TOntologyEngine::ScenarioEntryOfWordForm(std::string_view word) const {
  if (scenarioWords_.empty() || word.empty()) return 0;
  bool changed = false;
  std::string key = Lower(HyphensToUnderscoresCopy(word, changed));
  auto it = scenarioWords_.find(key);
  if (it != scenarioWords_.end()) return it->second;
  std::string singular, alternative;
  if (SingularOf(key, singular, alternative)) {
    for (const std::string& form : {singular, alternative}) {
      if (form.empty()) continue;
      it = scenarioWords_.find(form);
      if (it != scenarioWords_.end()) return it->second;
    }
  }
  return 0;
}

uint32_t TOntologyEngine::ScenarioEntryFor(std::string_view word, uint32_t textIndexEntry,
                                           const std::array<uint32_t, 4>& classes) const {
  if (entryCount_ == 0) return 0;  // no Scenario: nothing to count in
  uint32_t e = ScenarioEntryOfWordForm(word);
  if (!e && textIndexEntry >= 1 && textIndexEntry < textIndexMap_.size()) e = textIndexMap_[textIndexEntry];
  for (int l = 0; l < 3 && !e; ++l) {
    uint32_t c = classes[static_cast<size_t>(l)];
    if (c > 0 && c < classMaps_[static_cast<size_t>(l)].size()) e = classMaps_[static_cast<size_t>(l)][c];
  }
  return e <= entryCount_ ? e : 0;
}

bool TOntologyEngine::CountScenarioEntry(std::string_view word, uint32_t textIndexEntry) {
  const uint32_t e = ScenarioEntryFor(word, textIndexEntry, best_);
  if (!e) return false;
  ++entries_[e].count;
  best_[3] = e;
  return true;
}

bool TOntologyEngine::ScenarioEntryOfWord(std::string_view word, uint32_t& entry) {
  entry = ScenarioEntryOfWordForm(word);
  int32_t value = 0;
  if (!entry && ClassifyWord(word, value, false)) {
    if (bestBaseForm_ < textIndexMap_.size()) entry = textIndexMap_[bestBaseForm_];
    for (int l = 0; l < 3 && !entry; ++l)
      entry = ClassScenarioEntry(l + 1, static_cast<int32_t>(best_[static_cast<size_t>(l)]));
  }
  return entry != 0;
}

bool TOntologyEngine::WordMatchesClass(std::string_view word, int level) {
  if (level < 1 || level > kLevelCount || word.empty()) return false;
  if (level == 4) {
    uint32_t entry = 0;
    if (!ScenarioEntryOfWord(word, entry)) return false;
    best_[3] = entry;
    return true;
  }
  const size_t l = static_cast<size_t>(level - 1);
  int32_t value = 0;
  if (ClassifyWord(word, value, false) && best_[l]) return true;
  int32_t index = FindClassIndex(level, word);
  if (!index && level == 1) index = SingularClassName(word);
  if (index < 1) return false;
  best_[l] = static_cast<uint32_t>(index);
  return true;
}

bool TOntologyEngine::ScenarioMatch(std::string_view word, int32_t& value, uint32_t textIndexEntry,
                                    uint32_t minimumClassCount, bool reclassify) {
  if (reclassify) {
    int32_t v = 0;
    if (!ClassifyWord(word, v, false)) {
      best_ = {0, 0, 0, 0};
      int32_t c = FindClassIndex(1, word);
      if (!c) c = SingularClassName(word);
      if (!c || occurrences_[1][c] < minimumClassCount) return false;
      best_[0] = static_cast<uint32_t>(c);
    }
  }
  value = static_cast<int32_t>(best_[0]);
  uint32_t entry = 0;
  const bool kept = RetentionOf(word, best_, textIndexEntry, minimumClassCount, entry);
  if (entry) ++entries_[entry].count;
  return kept;
}

bool TOntologyEngine::RetentionOf(std::string_view word, std::array<uint32_t, 4>& classes, uint32_t textIndexEntry,
                                  uint32_t minimumClassCount, uint32_t& entry) const {
  entry = ScenarioEntryFor(word, textIndexEntry, classes);
  if (entry) {
    classes[3] = entry;
    return true;
  }
  if (classes[0] > 0 && occurrences_[1][classes[0]] < minimumClassCount &&
      (!classes[1] || occurrences_[2][classes[1]] < minimumClassCount) &&
      (!classes[2] || occurrences_[3][classes[2]] < minimumClassCount))
    return false;
  return true;
}

uint32_t TOntologyEngine::FindScenarioEntry(std::string_view name) const {
  uint32_t t = TextIndexLookup(Lower(name));
  return t >= 1 && t < textIndexMap_.size() ? textIndexMap_[t] : 0;
}

bool TOntologyEngine::IsLastVisibleSibling(uint32_t entry, int depth, bool useThreshold,
                                           uint32_t minimumClassCount) const {
  for (uint32_t j = entry + 1; j <= entryCount_; ++j) {
    if (entries_[j].depth < depth) break;
    if (entries_[j].depth == depth && entries_[j].counted && (!useThreshold || entries_[j].count >= minimumClassCount))
      return false;
  }
  return true;
}

void TOntologyEngine::PropagateScenarioCounts() {
  if (!scenarioLoaded_) return;
  for (uint32_t i = 1; i <= entryCount_; ++i)
    if (!entries_[i].counted) entries_[i].count = 0;
  for (uint32_t i = 1; i <= entryCount_; ++i) {
    uint32_t sum = entries_[i].count;
    for (uint32_t j = i + 1; j <= entryCount_ && entries_[j].depth > entries_[i].depth; ++j) sum += entries_[j].count;
    entries_[i].count = sum;
  }
}

void TOntologyEngine::RankScenario() {
  auto& r = ranking_[4];
  r.clear();
  std::vector<uint32_t> counts(entryCount_ + 1, 0);
  for (uint32_t i = 1; i <= entryCount_; ++i) {
    counts[i] = entries_[i].count;
    if (entries_[i].counted && entries_[i].depth == 0 && entries_[i].count > 0) r.push_back(static_cast<int32_t>(i));
  }
  RankByCount(r, counts);
  rankedTotal_[4] = static_cast<int32_t>(r.size());
}

uint32_t TOntologyEngine::ScenarioEntryOccurrences(uint32_t entry) const {
  return entry >= 1 && entry <= entryCount_ ? entries_[entry].count : 0;
}
uint32_t TOntologyEngine::ScenarioEntryDepth(uint32_t entry) const {
  return entry >= 1 && entry <= entryCount_ ? entries_[entry].depth : 0;
}
uint32_t TOntologyEngine::ScenarioEntryParent(uint32_t entry) const {
  return entry >= 1 && entry <= entryCount_ ? entries_[entry].parent : 0;
}
bool TOntologyEngine::ScenarioEntryCounted(uint32_t entry) const {
  return entry >= 1 && entry <= entryCount_ && entries_[entry].counted;
}
uint32_t TOntologyEngine::EntrySignature(uint32_t entry) const {
  return entry >= 1 && entry <= entryCount_ ? entries_[entry].signature : 0;
}
uint32_t TOntologyEngine::ClassScenarioEntry(int level, int32_t index) const {
  if (level < 1 || level > 3 || index < 1) return 0;
  const auto& m = classMaps_[static_cast<size_t>(level - 1)];
  return static_cast<size_t>(index) < m.size() ? m[static_cast<size_t>(index)] : 0;
}
bool TOntologyEngine::AdjectiveInScenario(uint32_t entry) const {
  return entry >= 1 && entry < adjectiveMap_.size() && adjectiveMap_[entry] != 0;
}
bool TOntologyEngine::VerbInScenario(uint32_t entry) const {
  return entry >= 1 && entry < verbMap_.size() && verbMap_[entry] != 0;
}
bool TOntologyEngine::WordInScenario(uint32_t entry) const {
  return entry >= 1 && entry < textIndexMap_.size() && textIndexMap_[entry] != 0;
}

}  // namespace quilor
