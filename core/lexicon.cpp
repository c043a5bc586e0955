#include "core/lexicon.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <system_error>
#include <thread>
#include <cstring>

#include "core/dictionary_file.h"
#include "core/messages.h"
#include "core/name_index.h"
#include "core/trie.h"
#include "platform/usable_cores.h"

namespace quilor {

TMainDictionary* MainDictionary = nullptr;

namespace {

constexpr int kMsgDepthOverflow = 5100;
LexiconOntology* g_ontology = nullptr;

// Offsets of the header.
constexpr size_t kOffStamp = 1;
constexpr size_t kOffSecond = 5;
constexpr size_t kOffLanguage = 27;
constexpr size_t kOffLetterGroups = 28;
constexpr size_t kOffCharClasses = 284;
constexpr size_t kOffMacToAnsi = 540;
constexpr size_t kOffCollation = 796;
constexpr size_t kOffStyleNorms = 1052;
constexpr size_t kOffMagic = 1129;
constexpr size_t kRecordNodeCount = 16;
constexpr uint8_t kMaxLetterGroup = 10;

}  // namespace

void SetLexiconOntology(LexiconOntology* ontology) { g_ontology = ontology; }
LexiconOntology* CurrentLexiconOntology() { return g_ontology; }

int SubTrieOf(int depth, const char* key, const unsigned char* letterGroup) {
  const unsigned char c1 = LowerCaseMap[static_cast<unsigned char>(key[0])];
  switch (depth) {
    case 0: {
      int g = letterGroup[c1];
      if (g == 0) g = 10;
      const unsigned char c2 = c1 ? LowerCaseMap[static_cast<unsigned char>(key[1])] : 0;
      const unsigned char c3 = c2 ? LowerCaseMap[static_cast<unsigned char>(key[2])] : 0;
      unsigned s = c2;
      if (c2 && c3) s += c3;
      return g + 10 * static_cast<int>((s * 73) % 4);
    }
    case 1: return 41 + letterGroup[c1] % 5;
    case 2: {
      const unsigned char c2 = c1 ? LowerCaseMap[static_cast<unsigned char>(key[1])] : 0;
      return c2 < 'o' ? 50 : 49;
    }
    case 3:
    case 4:
    case 5: return 51 - depth;
    default: return -1;
  }
}

TMainDictionary::TMainDictionary(const std::string& lexiconName, int mode) : openMode(mode) {
  if (mode == 0) {
    ready = true;
    return;
  }
  fileName = WithExtension(lexiconName, ".lv8");
  FileDictionarySource source(fileName);
  Load(source);
}

TMainDictionary::TMainDictionary(const uint8_t* data, size_t size, const std::string& name) : openMode(2) {
  fileName = name;
  MemoryDictionarySource source(data, size, name);
  Load(source);
}

TMainDictionary::~TMainDictionary() {
  for (std::thread& t : siblingBuilders_) t.join();
  if (filterBuilder_.joinable()) filterBuilder_.join();
}

void TMainDictionary::BuildExpressionFilter() {
  if (!ready) return;
  std::call_once(filterStarted_, [this] {
    auto build = [this] {
      filter_.Build([this](const std::function<void(const std::string& key)>& visit) {
        return ForEachKey([&visit](const std::string& key, TCategoryCode) { visit(key); });
      });
      filterReady_.store(true, std::memory_order_release);
    };
    if (UsableCores() > 1) {
      try {
        filterBuilder_ = std::thread(build);
        return;
      } catch (const std::exception&) {
        // No thread: built here.
      }
    }
    build();
  });
}

void TMainDictionary::Load(DictionarySource& source) {
  uint8_t header[kLexiconHeaderSize];
  source.Read(header, sizeof header);
  if (ReadU32(header + kOffMagic) != kDictionaryMagic) source.Corrupt("magic");
  if (header[0] != kLexiconVersion) source.WrongVersion();
  for (int c = 0; c < 256; ++c)
    if (header[kOffLetterGroups + c] > kMaxLetterGroup) source.Corrupt("letter group table");

  uint8_t records[kLexiconSubTries * kLexiconRecordSize];
  source.Read(records, sizeof records);
  uint64_t total = 0;
  for (int t = 1; t <= kLexiconSubTries; ++t) {
    const int32_t n = static_cast<int32_t>(ReadU32(records + (t - 1) * kLexiconRecordSize + kRecordNodeCount));
    subTries_[t].first = total;
    subTries_[t].count = n > 0 ? static_cast<uint32_t>(n) : 0;
    total += subTries_[t].count;
  }
  // Every array must be in the file before any memory is taken for it.
  if (total * 7 > source.Remaining()) source.ReadError();
  chars_.resize(total);
  values_.resize(total);
  links_.resize(total);
  source.Read(chars_.data(), total);
  source.Read(values_.data(), total * 2);
  source.Read(links_.data(), total * 4);
  for (int t = 1; t <= kLexiconSubTries; ++t) {
    const SubTrie& s = subTries_[t];
    if (!TrieArraysHoldTogether(chars_.data() + s.first, links_.data() + s.first, s.count))
      source.Corrupt("sub-trie " + std::to_string(t));
  }
  BuildSiblingIndexes();

  stamp = ReadU32(header + kOffStamp);
  secondField = ReadU32(header + kOffSecond);
  capacity = 0;
  Tables.languageByte = header[kOffLanguage];
  std::memcpy(Tables.letterGroup, header + kOffLetterGroups, 256);
  std::memcpy(Tables.charClass, header + kOffCharClasses, 256);
  std::memcpy(Tables.macToAnsi, header + kOffMacToAnsi, 256);
  std::memcpy(Tables.collation, header + kOffCollation, 256);
  std::memcpy(Tables.styleNorms, header + kOffStyleNorms, kStyleNormCount);
  ready = true;
}

void TMainDictionary::BuildSiblingIndexes() {
  // The sub-tries are independent: a few threads share them, taken in turn.
  // A table that finds no memory is left out: its sub-trie is walked by its links.
  auto work = [this] {
    for (int t = nextSiblingIndex_++; t <= kLexiconSubTries; t = nextSiblingIndex_++) {
      try {
        const SubTrie& s = subTries_[t];
        siblings_[t].Build(chars_.data() + s.first, links_.data() + s.first, s.count);
        siblingsReady_[t].store(true, std::memory_order_release);
      } catch (const std::bad_alloc&) {
        siblings_[t] = TrieSiblingIndex();
      }
    }
  };
  const unsigned wanted = std::min(3u, UsableCores() - 1);
  for (unsigned i = 0; i < wanted; ++i) {
    try {
      siblingBuilders_.emplace_back(work);
    } catch (const std::exception&) {
      break;
    }
  }
  if (siblingBuilders_.empty()) work();
}

uint32_t TMainDictionary::NodeCount(int subTrie) const {
  return subTrie >= 1 && subTrie <= kLexiconSubTries ? subTries_[subTrie].count : 0;
}

int TMainDictionary::SelectSubTrie(int depth, const char* key, TLexiconAnswer& a) const {
  if (depth < 0) return -1;
  if (depth >= kMaxReadings) {
    if (!a.depthOverflowReported) {
      a.depthOverflowReported = true;
      ShowError(std::string(GetMessageText(kMsgDepthOverflow)) + " " + key);
    }
    return -1;
  }
  return SubTrieOf(depth, key, Tables.letterGroup);
}

int TMainDictionary::Find(int subTrie, const char* key, TLexiconAnswer& a) const {
  a.value = 0;
  a.record = TCategoryRecord{};
  a.keyReached = false;
  if (subTrie < 1 || subTrie > kLexiconSubTries) return -1;
  const SubTrie& s = subTries_[subTrie];
  TrieWalk w = WalkTrieWith<true, int32_t>(chars_.data() + s.first, links_.data() + s.first, s.count,
                                           SiblingIndex(subTrie), key);
  if (!w.found) return -1;
  a.keyReached = true;
  a.value = values_[s.first + w.node];
  DecodeCategory(a.value, a.record);
  return a.value != 0 ? static_cast<int>(w.node) : -1;
}

bool TMainDictionary::ForEachKey(const std::function<void(const std::string&, TCategoryCode)>& visit) const {
  // A key's value sits on the first node of the level after its last
  // character; the nodes of a level are chained by their links, which the
  // load checked to point forward inside the sub-trie.
  std::string key;
  for (int t = 1; t <= kLexiconSubTries; ++t) {
    const SubTrie& s = subTries_[t];
    if (s.count == 0) continue;
    const unsigned char* chars = chars_.data() + s.first;
    const int32_t* links = links_.data() + s.first;
    const uint16_t* values = values_.data() + s.first;
    const uint64_t n = s.count;
    // Forward links may still join chains in a damaged file: the walk is
    // bounded by a budget of node visits.
    uint64_t budget = 4 * n + 64;
    std::function<void(uint64_t)> level = [&](uint64_t first) {
      if (values[first] != 0) visit(key, values[first]);
      for (int64_t j = static_cast<int64_t>(first); j >= 0 && static_cast<uint64_t>(j) < n;) {
        if (budget == 0) return;
        --budget;
        if (chars[j] != 0 && static_cast<uint64_t>(j) + 1 < n && key.size() < kWordBufferSize) {
          key.push_back(static_cast<char>(chars[j]));
          level(static_cast<uint64_t>(j) + 1);
          key.pop_back();
        }
        if (links[j] <= j) break;
        j = links[j];
      }
    };
    key.clear();
    level(0);
    if (budget == 0) return false;
  }
  return true;
}

int TMainDictionary::LookupLexiconReading(int depth, const char* key, TLexiconAnswer& a) const {
  a.value = 0;
  a.record = TCategoryRecord{};
  if (!key || !key[0]) return -1;
  const int t = SelectSubTrie(depth, key, a);
  if (t < 0) return -1;
  return Find(t, key, a);
}

int TMainDictionary::Attempt(int subTrie, const char* form, bool alsoScenario, TLexiconAnswer& a) const {
  a.knownToOntology = false;
  const int node = Find(subTrie, form, a);
  if (node > 0) return node;
  LexiconOntology* o = g_ontology;
  if (!o) return -1;
  bool found = false;
  const int entry = o->LookupEntry(form, found);
  if (found) {
    a.knownToOntology = true;
    a.keyReached = true;
  }
  if (entry >= 1 || (alsoScenario && o->ScenarioEntryOfWordForm(form, static_cast<int>(std::strlen(form))) != 0)) {
    SetSubstantive(a.record);
    a.value = 1;
    a.FoundAsOntologyNoun = true;
    return 1;
  }
  return -1;
}

namespace {

void CopyWord(char* to, const char* from, int length) {
  if (length > kWordBufferSize - 1) length = kWordBufferSize - 1;
  std::memcpy(to, from, static_cast<size_t>(length));
  to[length] = 0;
}

void ClearReading(TLexiconAnswer& a) {
  a.value = 0;
  a.record = TCategoryRecord{};
}

}  // namespace

int LookupWord(const TMainDictionary& dictionary, TLexiconAnswer& a, int reading, int length, bool tryOtherForms,
               bool alsoScenario, const char* word) {
  ClearReading(a);
  a.WordFoundAsWritten = false;
  a.WordKnownToOntology = false;
  a.FoundAsOntologyNoun = false;
  if (length <= 0 || !word || !word[0]) return -1;
  // Keys have at most 79 characters: a longer word is cut.
  const int n = static_cast<int>(::strnlen(word, static_cast<size_t>(std::min(length, kWordBufferSize - 1))));
  char key[kWordBufferSize];
  CopyWord(key, word, n);
  const int t = dictionary.SelectSubTrie(reading, key, a);
  if (t < 0) return -1;

  auto attempt = [&](const char* form) { return dictionary.Attempt(t, form, alsoScenario, a); };

  int result = attempt(key);
  if (result > 0) {
    a.WordFoundAsWritten = true;
    a.WordKnownToOntology = a.knownToOntology;
    return result;
  }
  a.WordFoundAsWritten = a.keyReached;
  a.WordKnownToOntology = a.knownToOntology;
  if (n < 3) return -1;

  const bool english = dictionary.language == kLanguageEnglish;
  auto acceptedNoun = [&]() { return IsSubstantive(a.record) || (!english && IsAdjective(a.record)); };
  if (IsPluralForm(key, n)) {
    std::memcpy(a.buffers[0], key, static_cast<size_t>(n) + 1);
    a.buffers[1][0] = 0;
    Singular(a.buffers[0], a.buffers[1]);
    result = attempt(a.buffers[0]);
    if (result > 0 && acceptedNoun()) return result;
    if (a.buffers[1][0]) {
      result = attempt(a.buffers[1]);
      if (result > 0 && acceptedNoun()) return result;
    }
  }
  ClearReading(a);
  if (!tryOtherForms) return -1;

  std::memcpy(a.buffers[0], key, static_cast<size_t>(n) + 1);
  VerbFormCandidates(a.buffers[0], a.buffers[1], a.buffers[2]);
  const TCategoryRecord guess = GuessedVerbCategory;
  for (int c = 0; c < 3; ++c) {
    if (!a.buffers[c][0]) continue;
    result = dictionary.LookupLexiconReading(reading, a.buffers[c], a);
    if (result > 0 && IsVerb(a.record) && (english || IsInfinitive(a.record))) {
      CopyTenseAndMood(a.record, guess);
      return result;
    }
  }
  ClearReading(a);
  if (dictionary.language != kLanguageSpanish && dictionary.language != kLanguagePortuguese) return -1;

  std::memcpy(a.buffers[0], key, static_cast<size_t>(n) + 1);
  if (IsPluralForm(key, n)) Singular(a.buffers[0], a.buffers[1]);
  const size_t m = std::strlen(a.buffers[0]);
  if (m > 3 && a.buffers[0][m - 1] == 'a') {
    a.buffers[0][m - 1] = 'o';
    result = dictionary.LookupLexiconReading(reading, a.buffers[0], a);
    if (result > 0 && (IsSubstantive(a.record) || IsAdjective(a.record))) return result;
  }
  if (dictionary.language == kLanguagePortuguese && n > 7 && std::strcmp(key + n - 5, "mente") == 0) {
    SetModality(a.record, 3);
    a.value = 1;
    return 1;
  }
  ClearReading(a);
  return -1;
}

}  // namespace quilor

namespace quilor {

namespace {

bool HeldWithClass(const char* word, uint32_t classId) {
  return g_ontology && word[0] && g_ontology->HoldsWithClass(word, classId);
}

// The form, or its singular when it is a plural whose singular is held too.
bool TakeHeld(char* form, uint32_t classId) {
  if (!HeldWithClass(form, classId)) return false;
  if (IsPlural(form)) {
    char singular[kWordBufferSize], alternative[kWordBufferSize];
    std::strcpy(singular, form);
    if (Singular(singular, alternative) && HeldWithClass(singular, classId)) std::strcpy(form, singular);
  }
  return true;
}

void SingularIfPlural(char* form) {
  char alternative[kWordBufferSize];
  if (IsPlural(form)) Singular(form, alternative);
}

bool Join(char* out, const char* head, char separator, const char* tail) {
  const size_t h = std::strlen(head), t = std::strlen(tail);
  if (h + 1 + t >= kWordBufferSize) return false;
  std::memcpy(out, head, h);
  out[h] = separator;
  std::memcpy(out + h + 1, tail, t + 1);
  return true;
}

// A compound substantive: the first of head, tail, both singularised and
// rejoined, head singularised and rejoined, that the ontology holds.
bool ReduceCompound(char* word, uint32_t classId) {
  const size_t at = std::strcspn(word, "-_");
  if (word[at] == 0) return false;
  const char separator = word[at];
  char head[kWordBufferSize], tail[kWordBufferSize], joined[kWordBufferSize];
  std::memcpy(head, word, at);
  head[at] = 0;
  std::strcpy(tail, word + at + 1);
  if (TakeHeld(head, classId)) {
    std::strcpy(word, head);
    return true;
  }
  if (TakeHeld(tail, classId)) {
    std::strcpy(word, tail);
    return true;
  }
  char headSingular[kWordBufferSize], tailSingular[kWordBufferSize];
  std::strcpy(headSingular, head);
  std::strcpy(tailSingular, tail);
  SingularIfPlural(headSingular);
  SingularIfPlural(tailSingular);
  if (Join(joined, headSingular, separator, tailSingular) && HeldWithClass(joined, classId)) {
    std::strcpy(word, joined);
    return true;
  }
  if (Join(joined, headSingular, separator, tail) && HeldWithClass(joined, classId)) {
    std::strcpy(word, joined);
    return true;
  }
  return false;
}

bool KnownInfinitive(TMainDictionary& d, const char* candidate) {
  if (d.language == kLanguageEnglish) {
    int entry = 0;
    return VerbIndex && VerbIndex->LookupEntryNumber(candidate, entry);
  }
  return d.LookupLexiconReading(0, candidate) > 0 && IsVerb(d.record) && IsInfinitive(d.record);
}

}  // namespace

bool FindVerbInfinitive(TMainDictionary& d, const TCategoryRecord& verb, char buffers[5][kWordBufferSize]) {
  buffers[0][kWordBufferSize - 1] = 0;
  const char* name = nullptr;
  auto takeName = [&](const char* form) {
    if (!VerbIndex || !VerbIndex->LookupStoredName(form, &name) || !name[0]) return false;
    std::strncpy(buffers[0], name, kWordBufferSize - 1);
    return true;
  };
  if (takeName(buffers[0])) return true;
  const size_t n = std::strlen(buffers[0]);
  const char* underscore = std::strrchr(buffers[0], '_');
  if (underscore && n >= 4) {
    std::memmove(buffers[0], underscore + 1, std::strlen(underscore + 1) + 1);
    if (buffers[0][0] && takeName(buffers[0])) return true;
  } else if (IsInfinitive(verb)) {
    return true;
  }
  if (buffers[0][0]) {
    VerbFormCandidates(buffers[0], buffers[1], buffers[2]);
    for (int c = 0; c < 3; ++c) {
      if (!buffers[c][0] || !KnownInfinitive(d, buffers[c])) continue;
      if (c > 0) std::strcpy(buffers[0], buffers[c]);
      for (int k = 1; k < 5; ++k) buffers[k][0] = 0;
      return true;
    }
  }
  for (int k = 0; k < 5; ++k) std::memset(buffers[k], 0, kWordBufferSize);
  return false;
}

bool ReduceToBaseForm(TMainDictionary& d, const TWordCategoryData& data, char* word) {
  char buffers[5][kWordBufferSize] = {};
  std::strncpy(buffers[0], word, kWordBufferSize - 1);
  const TCategoryRecord& r = data.Category;
  if (IsSubstantive(r)) {
    const uint32_t classId = data.ClassIds[0];
    bool done = false;
    if (std::strlen(buffers[0]) > 3 && !SubField3HasBit1(r)) done = ReduceCompound(buffers[0], classId);
    if (!done && !SubField3HasBit1(r) && IsPlural(buffers[0])) {
      Singular(buffers[0], buffers[1]);
      if (!HeldWithClass(buffers[0], classId) && HeldWithClass(buffers[1], classId))
        std::strcpy(buffers[0], buffers[1]);
    }
  } else if (IsVerb(r)) {
    if (FindVerbInfinitive(d, r, buffers)) {
      for (int k = 0; k < 5; ++k)
        if (buffers[k][0]) {
          if (k > 0) std::strcpy(buffers[0], buffers[k]);
          break;
        }
    } else {
      std::strncpy(buffers[0], word, kWordBufferSize - 1);
    }
  } else if (IsAdjective(r) && IsPlural(buffers[0])) {
    std::strcpy(buffers[1], buffers[0]);
    Singular(buffers[1], buffers[2]);
    const TCategoryCode savedValue = d.value;
    const TCategoryRecord savedRecord = d.record;
    if (d.LookupLexiconReading(0, buffers[1]) > 0 && IsAdjective(d.record)) std::strcpy(buffers[0], buffers[1]);
    d.value = savedValue;
    d.record = savedRecord;
  }
  std::strcpy(word, buffers[0]);
  return true;
}

LexiconWriter::LexiconWriter(const WorkingTables& tables, uint32_t stamp, uint32_t secondField)
    : tables_(tables), stamp_(stamp), secondField_(secondField) {}

bool LexiconWriter::AddWord(const std::string& word, const std::vector<TCategoryCode>& codes) {
  if (word.empty() || word.size() >= kWordBufferSize || std::strlen(word.c_str()) != word.size() || codes.empty())
    return false;
  if ((codes.back() & ~kCodeBitAnotherReading) == 0) return false;
  std::string key = word;
  LowerCaseString(key);
  auto& readings = words_[key];
  if (readings.size() + codes.size() > kMaxReadings) {
    if (readings.empty()) words_.erase(key);
    return false;
  }
  readings.insert(readings.end(), codes.begin(), codes.end());
  return true;
}

std::vector<uint8_t> LexiconWriter::Build(std::string* error) const {
  // Each sub-trie needs at most key length + 1 nodes per key.
  uint64_t need[kLexiconSubTries + 1] = {};
  for (const auto& [key, readings] : words_)
    for (size_t r = 0; r < readings.size(); ++r)
      need[SubTrieOf(static_cast<int>(r), key.c_str(), tables_.letterGroup)] += key.size() + 1;
  std::vector<std::unique_ptr<TDictionaryTrie>> tries(kLexiconSubTries + 1);
  for (int t = 1; t <= kLexiconSubTries; ++t) {
    if (need[t] + 2 > 0x7FFFFFFF) {
      if (error) *error = "sub-trie " + std::to_string(t) + " is too large";
      return {};
    }
    if (need[t]) tries[t] = std::make_unique<TDictionaryTrie>(static_cast<uint32_t>(need[t] + 2), 0);
  }
  for (const auto& [key, readings] : words_) {
    for (size_t r = 0; r < readings.size(); ++r) {
      TCategoryCode code = readings[r] & ~kCodeBitAnotherReading;
      if (r + 1 < readings.size()) code |= kCodeBitAnotherReading;
      tries[SubTrieOf(static_cast<int>(r), key.c_str(), tables_.letterGroup)]->DictionaryTrieInsert(key.c_str(), code);
    }
  }

  std::vector<uint8_t> out(kLexiconHeaderSize + kLexiconSubTries * kLexiconRecordSize, 0);
  out[0] = kLexiconVersion;
  WriteU32(&out[kOffStamp], stamp_);
  WriteU32(&out[kOffSecond], secondField_);
  out[kOffLanguage] = tables_.languageByte;
  std::memcpy(&out[kOffLetterGroups], tables_.letterGroup, 256);
  std::memcpy(&out[kOffCharClasses], tables_.charClass, 256);
  std::memcpy(&out[kOffMacToAnsi], tables_.macToAnsi, 256);
  std::memcpy(&out[kOffCollation], tables_.collation, 256);
  std::memcpy(&out[kOffStyleNorms], tables_.styleNorms, kStyleNormCount);
  WriteU32(&out[kOffMagic], kDictionaryMagic);
  for (int t = 1; t <= kLexiconSubTries; ++t) {
    if (!tries[t]) continue;
    uint8_t* rec = &out[kLexiconHeaderSize + (t - 1) * kLexiconRecordSize];
    const auto& a = tries[t]->Arrays();
    WriteU32(rec + 12, a.inserts);
    WriteU32(rec + kRecordNodeCount, static_cast<uint32_t>(a.used));
    rec[20] = a.empty ? 1 : 0;
  }
  for (int t = 1; t <= kLexiconSubTries; ++t)
    if (tries[t]) out.insert(out.end(), tries[t]->Arrays().chars, tries[t]->Arrays().chars + tries[t]->Used());
  for (int t = 1; t <= kLexiconSubTries; ++t)
    if (tries[t])
      for (uint64_t i = 0; i < tries[t]->Used(); ++i) {
        uint8_t b[2];
        WriteU16(b, tries[t]->Arrays().values[i]);
        out.insert(out.end(), b, b + 2);
      }
  for (int t = 1; t <= kLexiconSubTries; ++t)
    if (tries[t])
      for (uint64_t i = 0; i < tries[t]->Used(); ++i) {
        uint8_t b[4];
        WriteU32(b, static_cast<uint32_t>(tries[t]->Arrays().links[i]));
        out.insert(out.end(), b, b + 4);
      }
  return out;
}

bool LexiconWriter::Write(const std::string& path, std::string* error) const {
  std::vector<uint8_t> bytes = Build(error);
  return !bytes.empty() && WriteFileBytes(path, bytes, error);
}

}  // namespace quilor
