#include "engine/word_search_parser.h"

#include <algorithm>
#include <cstring>

#include "core/chartables.h"
#include "core/inflection.h"
#include "core/lexicon.h"
#include "core/messages.h"
#include "core/name_index.h"
#include "engine/ontology_engine.h"
#include "engine/segment_resolver.h"

namespace quilor {

namespace {

constexpr size_t kMaxSplitText = 65535;
constexpr size_t kMaxOperators = 8;
constexpr size_t kCompoundLimit = 79;

std::string ClassNameOf(int level, uint32_t index) {
  if (!OntologyEngine || index == 0) return {};
  return OntologyEngine->ClassName(level, static_cast<int32_t>(index));
}

std::string Replaced(std::string text, char from, char to) {
  std::replace(text.begin(), text.end(), from, to);
  return text;
}

}  // namespace

void TParseCmdCriteres::InitParser() {
  for (auto& slot : ring_) slot.fill(0);
  ringPosition_ = 0;
  words_.clear();
  wordCount_ = 0;
  meanings_.clear();
}

bool TParseCmdCriteres::OnMeaningLine(const MeaningLine&) { return true; }
bool TParseCmdCriteres::AcceptRecentClass(const std::string&, int32_t, int) { return true; }
int TParseCmdCriteres::MeaningScore(int32_t) { return 1; }

void TParseCmdCriteres::PushRecentClass(const std::array<uint32_t, 4>& classes) {
  ring_[static_cast<size_t>(ringPosition_)] = classes;
  ringPosition_ = (ringPosition_ + 1) % kRecentSlots;
}

bool TParseCmdCriteres::Knows(const std::string& word) const {
  if (lexiconKnows) return lexiconKnows(word);
  if (!MainDictionary || word.empty() || word.size() >= kWordBufferSize) return false;
  return LookupWord(*MainDictionary, 0, static_cast<int>(word.size()), false, false, word.c_str()) > 0;
}

void TParseCmdCriteres::RunCriteria(std::string_view text) {
  runWordCounter_ = 0;
  wordIndexed_.fill(false);
  SplitCriteria(text);
  if (wordCount_ == 0) return;
  JoinCompoundWords();
  for (int n = 1; n <= wordCount_; ++n)
    if (!words_[static_cast<size_t>(n - 1)].text.empty()) RunCriteriaWord(n);
}

void TParseCmdCriteres::SplitCriteria(std::string_view text) {
  words_.assign(1, CriteriaWord{});
  wordCount_ = 0;
  meanings_.clear();
  size_t begin = text.find_first_not_of(" \t\r\n");
  size_t end = text.find_last_not_of(" \t\r\n");
  std::string work = begin == std::string_view::npos ? std::string() : std::string(text.substr(begin, end - begin + 1));
  if (work.size() > kMaxSplitText) work.resize(kMaxSplitText);
  LowerCaseString(work);

  bool full = false;  // the 100th word has ended: the rest is not read
  auto current = [&]() -> CriteriaWord& { return words_.back(); };
  auto endWord = [&] {
    if (current().text.empty()) return;
    if (words_.size() < static_cast<size_t>(kMaxCriteriaWords)) words_.emplace_back();
    else full = true;
  };
  auto storeOperator = [&](char op) {
    current().op = op;
    if (current().ops.size() < kMaxOperators) current().ops += op;
    else current().ops.back() = op;
  };
  auto append = [&](const char* chars) {
    for (const char* c = chars; *c && !full; ++c) {
      current().text += *c;
      if (current().text.size() >= kCriteriaWordMax) endWord();
    }
  };
  for (size_t i = 0; i < work.size() && !full; ++i) {
    const char ch = work[i];
    const unsigned char c = static_cast<unsigned char>(ch);
    if (ch == '\'' || ch == '_') {
      endWord();
    } else if (ch == '+' || ch == ',') {
      endWord();
      if (!full) storeOperator(ch);
    } else if (ch == '-') {
      if (current().text.empty() && current().op == 0) storeOperator('-');
      endWord();
    } else if (ch == '.' || ch == ':') {
      if (numbersAsWords) {
        const char one[2] = {ch, 0};
        append(one);
      } else {
        endWord();
      }
    } else if (c == 0x8C || c == 0x9C) {
      append("oe");
    } else if (c == 0xC6 || c == 0xE6) {
      append("ae");
    } else {
      const unsigned char cls = CharClass(c);
      const char one[2] = {ch, 0};
      if (cls == kCharLetter || cls == kCharDigit) append(one);
      else if (cls == kCharUnderscore && !current().text.empty()) append(one);
      else endWord();
    }
  }
  wordCount_ = words_.front().text.empty() ? 0 : static_cast<int>(words_.size());
}

void TParseCmdCriteres::JoinCompoundWords() {
  for (int n = 0; n < wordCount_; ++n) {
    CriteriaWord& word = words_[static_cast<size_t>(n)];
    if (word.text.empty()) continue;
    std::string joined = word.text;
    std::string best;
    int swallowed = 0;
    for (int m = n + 1; m < wordCount_; ++m) {
      const CriteriaWord& next = words_[static_cast<size_t>(m)];
      if (next.text.empty() || next.op == ',' || next.op == ';' || next.op == '+') break;
      if (joined.size() + 1 + next.text.size() >= kCompoundLimit) break;
      joined += "_" + next.text;
      const std::string underscores = Replaced(joined, '-', '_');
      const std::string hyphens = Replaced(joined, '_', '-');
      if (Knows(underscores)) {
        best = underscores;
        swallowed = m;
      } else if (Knows(hyphens)) {
        best = hyphens;
        swallowed = m;
      }
    }
    if (!swallowed) continue;
    word.text = best;
    for (int m = n + 1; m <= swallowed; ++m) words_[static_cast<size_t>(m)] = CriteriaWord{};
  }
}

bool TParseCmdCriteres::Give(MeaningLine line) {
  line.op = op_;
  if (line.checked) checkedGiven_ = true;
  ++linesOfWord_;
  return OnMeaningLine(line);
}

void TParseCmdCriteres::RunCriteriaWord(int number) {
  checkedGiven_ = false;
  noFallback_ = false;
  grammatical_ = false;
  linesOfWord_ = 0;
  if (runWordCounter_ < static_cast<int>(wordIndexed_.size()))
    wordIndexed_[static_cast<size_t>(runWordCounter_)] = false;
  const CriteriaWord& record = words_[static_cast<size_t>(number - 1)];
  op_ = record.op;
  std::string word = record.text;
  LowerCaseString(word);
  record_ = TCategoryRecord{};

  bool goOn = true;
  if (OntologyEngine && OntologyEngine->LevelClassCount(4) > 0) goOn = EmitScenarioMeanings(word);
  if (goOn) {
    EmitLexiconReadings(word);
    int level = 0;
    int32_t index = 0;
    std::string working = word;
    bool found = OntologyEngine && OntologyEngine->FirstClassLevel(word, level, index);
    if (OntologyEngine && !found && OntologyEngine->ResolveClassOfWord(1, word, index) && index > 0 &&
        !OntologyEngine->IsAddedClass(1, index)) {
      found = true;
      working = OntologyEngine->ClassName(1, index);
    }
    if (found) {
      if (runWordCounter_ < static_cast<int>(wordIndexed_.size()))
        wordIndexed_[static_cast<size_t>(runWordCounter_)] = true;
      EnumerateWordClasses(working, !grammatical_);
    } else if (!noFallback_) {
      char buffer[kWordBufferSize] = {};
      char alternative[kWordBufferSize] = {};
      std::strncpy(buffer, working.c_str(), kWordBufferSize - 1);
      // A plural is reduced unless its reading has both bits 0 and 1 of sub-field 3.
      if (IsPlural(buffer) && !SubField3HasBits0And1(record_) && Singular(buffer, alternative)) working = buffer;
      MeaningLine line;
      line.text = record.text + " = " + working;
      line.checked = !grammatical_ && !checkedGiven_;
      line.category = record_;
      line.className = working;
      line.level = 1;
      Give(line);
    }
  }
  if (runWordCounter_ < 19) ++runWordCounter_;
}

bool TParseCmdCriteres::EnumerateWordClasses(const std::string& word, bool mayCheck) {
  meanings_.clear();
  if (OntologyEngine && OntologyEngine->CollectReadings(word)) {
    for (const WordReading& r : OntologyEngine->CollectedReadings()) {
      if (meanings_.size() >= static_cast<size_t>(kMaxMeanings)) break;
      Meaning m;
      for (size_t l = 0; l < 4; ++l) m.cls[l] = r.cls[l];
      meanings_.push_back(m);
    }
  }
  TCategoryRecord substantive;
  substantive.MajorClass = kClassSubstantive;
  if (meanings_.empty()) {
    MeaningLine line;
    line.text = word + " = " + word;
    line.checked = !checkedGiven_;
    line.category = substantive;
    line.className = word;
    return Give(line);
  }
  ChooseMeaningByRecency(3);
  const int before = linesOfWord_;
  for (size_t m = 0; m < meanings_.size(); ++m) {
    const Meaning& meaning = meanings_[m];
    bool repeats = false;
    for (size_t e = 0; e < m && !repeats; ++e)
      repeats = std::equal(meaning.cls.begin(), meaning.cls.begin() + 3, meanings_[e].cls.begin());
    if (repeats) continue;
    for (int level = 1; level <= 3; ++level) {
      const uint32_t cls = meaning.cls[static_cast<size_t>(level - 1)];
      if (!cls) continue;
      const std::string name = ClassNameOf(level, cls);
      MeaningLine line;
      line.text = level == 1 ? word + " = " + name : "> " + name;
      if (level <= 2 && meaning.cls[static_cast<size_t>(level)]) {
        line.text += " (" + ClassNameOf(level + 1, meaning.cls[static_cast<size_t>(level)]) + ") ";
      } else if (level == 1 && !meaning.cls[2] && linesOfWord_ > 0) {
        line.text += std::string(" (") + GetMessageText(kMsgOtherMeanings) + ") ";
      }
      line.meaning = static_cast<int>(m);
      line.checked = meaning.preferred && level == 1 && mayCheck && !checkedGiven_;
      line.category = substantive;
      line.className = name;
      line.classIndex = static_cast<int32_t>(cls);
      line.level = level;
      line.classes = meaning.cls;
      if (!Give(line)) return false;
    }
  }
  if (linesOfWord_ == before) {
    MeaningLine line;
    line.text = word;
    line.category = substantive;
    line.className = word;
    return Give(line);
  }
  return true;
}

void TParseCmdCriteres::ChooseMeaningByRecency(int levels) {
  for (Meaning& m : meanings_) m.preferred = false;
  if (meanings_.empty()) return;
  auto toFront = [&](size_t m) {
    std::swap(meanings_[0], meanings_[m]);
    meanings_[0].preferred = true;
  };
  for (int level = 1; level <= levels; ++level) {
    int best = -1;
    int bestDistance = kRecentSlots;
    for (int distance = 0; distance < kRecentSlots; ++distance) {
      // The slot written last is the nearest.
      const int slot = ((ringPosition_ - 1 - distance) % kRecentSlots + kRecentSlots) % kRecentSlots;
      const uint32_t recent = ring_[static_cast<size_t>(slot)][static_cast<size_t>(level - 1)];
      if (!recent) continue;
      for (size_t m = 0; m < meanings_.size(); ++m) {
        const uint32_t cls = meanings_[m].cls[static_cast<size_t>(level - 1)];
        if (cls != recent || distance > bestDistance) continue;
        if (!AcceptRecentClass(std::string(), static_cast<int32_t>(cls), level)) continue;
        best = static_cast<int>(m);
        bestDistance = distance;
      }
      if (best >= 0) break;
    }
    if (best >= 0) {
      toFront(static_cast<size_t>(best));
      return;
    }
  }
  if (levels == 4) {
    int best = -1;
    int bestScore = 0;
    for (size_t m = 0; m < meanings_.size(); ++m) {
      const int score = MeaningScore(static_cast<int32_t>(meanings_[m].cls[3]));
      if (score > bestScore) {
        bestScore = score;
        best = static_cast<int>(m);
      }
    }
    if (best >= 0) {
      toFront(static_cast<size_t>(best));
      return;
    }
  }
  meanings_[0].preferred = true;
}

bool TParseCmdCriteres::EmitScenarioMeanings(const std::string& word) {
  TOntologyEngine& engine = *OntologyEngine;
  uint32_t entry = engine.ScenarioEntryOfWordForm(word);
  if (!entry) entry = engine.FindScenarioEntry(word);
  auto scenarioLine = [&](uint32_t e, const std::array<uint32_t, 4>& classes, bool checked, int meaning) {
    MeaningLine line;
    line.text = word + " = " + engine.ClassName(4, static_cast<int32_t>(e));
    line.checked = checked;
    line.category = record_;
    line.className = engine.ClassName(4, static_cast<int32_t>(e));
    line.level = 4;
    line.meaning = meaning;
    line.classes = classes;
    // The line carries its own entry in the Scenario slot.
    line.classes[3] = e;
    return Give(line);
  };
  if (entry) return scenarioLine(entry, {}, true, 0);

  meanings_.clear();
  for (int depth = 0; depth < kMaxMeanings && engine.LookupReading(word, depth); ++depth) {
    Meaning m;
    for (size_t l = 0; l < 3; ++l) m.cls[l] = engine.Reading().cls[l];
    for (int level = 1; level <= 3 && !m.cls[3]; ++level)
      if (m.cls[static_cast<size_t>(level - 1)])
        m.cls[3] = engine.ClassScenarioEntry(level, static_cast<int32_t>(m.cls[static_cast<size_t>(level - 1)]));
    meanings_.push_back(m);
  }
  for (size_t m = 0; m < meanings_.size(); ++m)
    if (meanings_[m].cls[3]) {
      std::rotate(meanings_.begin(), meanings_.begin() + static_cast<long>(m),
                  meanings_.begin() + static_cast<long>(m) + 1);
      break;
    }
  ChooseMeaningByRecency(4);
  bool first = true;
  for (size_t m = 0; m < meanings_.size(); ++m) {
    if (!meanings_[m].cls[3]) continue;
    const bool checked = first || (meanings_[m].preferred && !checkedGiven_);
    first = false;
    if (!scenarioLine(meanings_[m].cls[3], meanings_[m].cls, checked, static_cast<int>(m))) return false;
  }
  return true;
}

void TParseCmdCriteres::EmitLexiconReadings(const std::string& word) {
  if (!MainDictionary || !MainDictionary->ready || word.empty() || word.size() >= kWordBufferSize) return;
  TMainDictionary& dictionary = *MainDictionary;
  bool lemmaGiven = false;
  if (LookupWord(dictionary, 0, static_cast<int>(word.size()), true, false, word.c_str()) <= 0) {
    if (!IsNumberWord(word.c_str())) return;
    TCategoryRecord number;
    SetNumeralAdjective(number);
    record_ = number;
    lemmaGiven = EmitLemmaLine(word, number);
  } else {
    record_ = dictionary.record;
    for (int reading = 0; reading < 6; ++reading) {
      if (reading > 0 && LookupWord(dictionary, reading, static_cast<int>(word.size()), true, false, word.c_str()) <= 0)
        break;
      const TCategoryRecord r = dictionary.record;
      if (IsPronoun(r) || IsDeterminant(r)) grammatical_ = true;
      if (!IsSubstantive(r) && EmitLemmaLine(word, r)) lemmaGiven = true;
      if (!IsAmbiguous(r)) break;
    }
  }
  if (lemmaGiven) noFallback_ = true;
}

bool TParseCmdCriteres::EmitLemmaLine(const std::string& word, const TCategoryRecord& record) {
  std::string lemma;
  const char* stored = nullptr;
  if (IsVerb(record) && VerbIndex && VerbIndex->LookupStoredName(word.c_str(), &stored) && stored) {
    lemma = stored;
  } else if (IsAdjective(record) && AdjectiveIndex && AdjectiveIndex->LookupStoredName(word.c_str(), &stored) &&
             stored) {
    lemma = stored;
  } else {
    char buffer[kWordBufferSize] = {};
    std::strncpy(buffer, word.c_str(), kWordBufferSize - 1);
    TWordCategoryData data;
    data.Category = record;
    if (!ReduceToBaseForm(data, buffer)) return false;
    lemma = buffer;
  }
  MeaningLine line;
  line.category = record;
  line.className = lemma;
  if (IsNumeralAdjective(record) && numbersAsWords) {
    line.text = word + " = " + lemma;
    line.greyed = true;
    line.checked = true;
    line.category.MajorClass = kClassSubstantive;
    return Give(line);
  }
  std::string label = CategoryClassLabel(record);
  if (!lemma.empty() && !label.empty() && label.back() == ')')
    label = label.substr(0, label.size() - 1) + " \"" + lemma + "\")";
  line.text = word + " " + label + " ";
  line.greyed = true;
  Give(line);
  return true;
}

bool TScenParser::OnMeaningLine(const MeaningLine& given) {
  if (records_.size() >= kMaxRecords) return false;
  Record record;
  record.line = given;
  if (record.line.op == 0) record.line.op = ' ';
  if (record.line.op == ' ' && operatorOption) record.line.op = '+';
  const bool lemmaOfVerbOrAdjective = IsVerb(given.category) || IsAdjective(given.category);
  // A verb or adjective line stays selectable.
  if (lemmaOfVerbOrAdjective) record.line.greyed = false;
  record.enabled = !record.line.greyed;
  record.shown = given.text;
  if (given.level == 4) record.shown += std::string(" (") + GetMessageText(kMsgScenario) + ")";
  records_.push_back(record);
  if (lemmaOfVerbOrAdjective && indexClassOfLine && records_.size() < kMaxRecords) {
    const uint32_t entry = indexClassOfLine(given);
    if (entry > 0) {
      Record extra = records_.back();
      extra.line.level = 4;
      extra.line.classes[3] = entry;
      extra.line.category = TCategoryRecord{};
      extra.line.category.MajorClass = kClassSubstantive;
      const std::string group = scenarioGroupName ? scenarioGroupName(entry) : std::string();
      extra.line.text = group;
      extra.line.checked = false;
      extra.shown = given.text + " = " + group + " (" + GetMessageText(kMsgScenario) + ")";
      records_.push_back(extra);
    }
  }
  return true;
}

}  // namespace quilor
