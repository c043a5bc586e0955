#include "mainwindow/results_panel.h"

#include <algorithm>
#include <cstdio>

#include "core/chartables.h"
#include "core/file_queue.h"
#include "core/files.h"
#include "core/messages.h"
#include "core/name_index.h"
#include "engine/analysis_results.h"
#include "engine/bursts.h"
#include "engine/category_counters.h"
#include "engine/command_line.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "mainwindow/files_tab.h"
#include "ui/main_window_port.h"
#include "ui/selection_ops.h"
#include "ui/view_state.h"
#include "ui/scenario_editor_port.h"
#include "generated/message_names.h"

namespace quilor::ui {

namespace {

// Labels of the result types.
constexpr int kMsgReferences = 300;
constexpr int kMsgFrequentCategories = 302;
constexpr int kMsgAllCategories = 303;
constexpr int kMsgTextStyle = 304;
constexpr int kMsgReferenceFields1 = 307;
constexpr int kMsgReferenceFields2 = 308;
constexpr int kMsgScenarioType = 309;
constexpr int kMsgRelations = 390;
constexpr int kMsgVerbs = 845;
constexpr int kMsgAdjectives = 848;
constexpr int kMsgSubstantives = 852;
constexpr int kMsgEpisode = 562;
constexpr int kMsgEmptyText = 554;
// Explanations of the result types.
constexpr int kMsgExplainReferences = 288;
constexpr int kMsgExplainFrequent = 290;
constexpr int kMsgExplainStyle = 291;
constexpr int kMsgExplainRelations23 = 292;
constexpr int kMsgExplainFields1 = 293;
constexpr int kMsgExplainFields2 = 294;
constexpr int kMsgExplainAllCategories = 295;
constexpr int kMsgExplainScenario = 296;
constexpr int kMsgExplainRelations1 = 298;
constexpr int kMsgNoScenario = 455;
constexpr int kMsgExplainRelationsScenario = 526;
constexpr int kMsgExplainVerbs = 854;
constexpr int kMsgExplainAdjectives = 855;
constexpr int kMsgExplainEpisode = 890;
// Status and hints.
constexpr int kMsgChooseResultType = 287;
constexpr int kMsgKeyNotFound = 6410;
constexpr int kMsgCaptionClass = 6413;
constexpr int kMsgCaptionCount = 6414;
constexpr int kMsgCaptionParent = 6415;
constexpr int kMsgCaptionRelation = 6416;
constexpr int kMsgCaptionWord = 6417;
constexpr int kMsgCaptionShare = 6418;
constexpr int kMsgClickMe = 722;
constexpr int kMsgSelectElement = 886;
constexpr int kMsgShowEpisodesGraph = 571;
constexpr int kMsgFilesSelected = 810;
constexpr int kMsgCharacteristicParts = 566;
constexpr int kMsgEpisodesDetected = 563;
constexpr int kMsgFilesSearched = 717;
constexpr int kMsgExplainFilesSearched = 418;
constexpr int kMsgExplainCharacteristic = 369;
constexpr int kMsgBundles = 6001;
constexpr int kMsgExpandAll = 826;
constexpr int kMsgReduceAll = 827;
constexpr int kMsgSortAlphabetically = 1050;
constexpr int kMsgSortByFrequency = 1051;
// Sentences.
constexpr int kMsgCategory = 76;
constexpr int kMsgOf = 77;
constexpr int kMsgInThisText = 274;
constexpr int kMsgEquivalentsOf = 381;
constexpr int kMsgRelationsStarting = 382;
constexpr int kMsgAndEndingAt = 383;
constexpr int kMsgWords = 480;
constexpr int kMsgBundleOn = 567;
constexpr int kMsgOfTheText = 568;
constexpr int kMsgLength = 569;
constexpr int kMsgOntologyClassification = 695;
constexpr int kMsgActant = 725;
constexpr int kMsgScenarioModified = 893;
constexpr int kMsgActed = 726;
constexpr int kMsgIFound = 880;
constexpr int kMsgOccurrencesOfVerb = 881;
constexpr int kMsgOccurrencesOfAdjective = 882;
constexpr int kMsgAddToScenario = 887;
constexpr int kMsgExplainRelation = 888;
constexpr int kMsgExplainBundle = 889;
constexpr int kMsgActorStatistics = 1062;
constexpr int kMsgOccurrences = 1259;

std::string Text(int id) { return GetMessageText(id); }

// The name of a category line: "Factive\t 12.3%\t(..." gives "Factive", a
// family's "* Verbs :" gives "Verbs".
std::string CategoryLineName(const std::string& line) {
  std::string name = line.substr(0, line.find('\t'));
  if (name.rfind("* ", 0) == 0) name.erase(0, 2);
  if (name.size() >= 2 && name.compare(name.size() - 2, 2, " :") == 0) name.resize(name.size() - 2);
  const size_t first = name.find_first_not_of(' ');
  const size_t last = name.find_last_not_of(' ');
  return first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
}

int RelationBaseLevel() { return std::clamp<int>(Options->Get(opt::RelationBase), 1, 4); }

uint32_t WordCount(const TWordList& words) {
  return static_cast<uint32_t>(std::max<int32_t>(words.HighestPosition(), 0));
}

double SpanPercent(const TWordList& words, uint32_t first, uint32_t last) {
  const uint32_t n = WordCount(words);
  return n > 0 && last >= first ? (last - first) * 100.0 / n : 0.0;
}

// The level of the class lists of a code: 1 References, 3 fields 1, 4 -> level 2.
int LevelOfCode(int code) { return code == kResultReferenceFields2 ? 2 : code == kResultReferenceFields1 ? 3 : 1; }

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (ToLowerChar(static_cast<unsigned char>(a[i])) != ToLowerChar(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

uint32_t ClassCount(int level, int32_t cls) {
  if (!OntologyEngine) return 0;
  return level == 4 ? OntologyEngine->ScenarioEntryOccurrences(static_cast<uint32_t>(cls))
                    : OntologyEngine->ClassOccurrences(level, cls);
}

}  // namespace

std::string Percent41(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%4.1f", value);
  return buffer;
}

std::string ClassExplanation(const std::string& paddedCount, const std::string& name) {
  return Text(kMsgIFound) + paddedCount + Text(kMsgEquivalentsOf) + name + "\"," + Text(kMsgInThisText);
}

std::string BundleExplanation(const std::string& paddedCount, const std::string& name, double lengthPercent) {
  return Text(kMsgBundleOn) + paddedCount + Text(kMsgEquivalentsOf) + name + "\", " + Text(kMsgLength) + " : " +
         Percent41(lengthPercent) + "% " + Text(kMsgOfTheText) + ".";
}

std::string LemmaExplanation(int code, uint32_t count, const std::string& word) {
  std::string s = Text(kMsgIFound) + std::to_string(count);
  if (code == kResultVerbs) s += Text(kMsgOccurrencesOfVerb);
  else if (code == kResultAdjectives) s += Text(kMsgOccurrencesOfAdjective);
  else s += " " + Text(kMsgOccurrences) + Text(kMsgOf);
  return s + "\"" + word + "\"" + Text(kMsgInThisText);
}

std::string RelationExplanation(const std::string& paddedCount, const std::string& first, const std::string& second) {
  return Text(kMsgIFound) + paddedCount + Text(kMsgRelationsStarting) + "(" + first + ")" + Text(kMsgAndEndingAt) +
         second + ")," + Text(kMsgInThisText);
}

std::string CategoryBundleExplanation(const std::string& label, uint32_t count, double lengthPercent) {
  return Text(kMsgBundleOn) + Text(kMsgCategory) + " \"" + label + "\", " + std::to_string(count) + " " +
         GetMessageTextLower(kMsgWords) + ", " + Text(kMsgLength) + " : " + Percent41(lengthPercent) + "% " +
         Text(kMsgOfTheText) + ".";
}

// ---------------------------------------------------------------------------
// The result-type table.

void TResultTypeTable::Clear() {
  entries_.clear();
  lines_.clear();
}

bool TResultTypeTable::AddResultType(uint8_t code, uint8_t level, int32_t labelId, const std::string& line) {
  if (static_cast<int>(entries_.size()) >= kCapacity) return false;
  entries_.push_back({code, level, labelId});
  lines_.push_back(line);
  return true;
}

const TResultTypeEntry* TResultTypeTable::Entry(int index) const {
  return index >= 0 && index < static_cast<int>(entries_.size()) ? &entries_[static_cast<size_t>(index)] : nullptr;
}

void TResultTypeTable::SetSingleLine(const std::string& line) {
  entries_.clear();
  lines_.assign(1, line);
}

int BuildResultTypeList(TResultTypeTable& table, uint32_t burstCount, uint32_t episodeCount, uint32_t wordNodes) {
  table.Clear();
  if (wordNodes < 2) {
    table.SetSingleLine(Text(kMsgEmptyText));
    return 0;
  }
  static constexpr TResultTypeEntry kFixed[kFixedResultTypes] = {{kResultStyle, 2, kMsgTextStyle},
                                                                 {kResultReferenceFields1, 2, kMsgReferenceFields1},
                                                                 {kResultReferenceFields2, 2, kMsgReferenceFields2},
                                                                 {kResultReferences, 2, kMsgReferences},
                                                                 {kResultScenario, 2, kMsgScenarioType},
                                                                 {kResultRelations, 2, kMsgRelations},
                                                                 {kResultCategories, 2, kMsgFrequentCategories},
                                                                 {kResultCategories, 1, kMsgAllCategories},
                                                                 {kResultVerbs, 1, kMsgVerbs},
                                                                 {kResultAdjectives, 1, kMsgAdjectives},
                                                                 {kResultSubstantives, 1, kMsgSubstantives}};
  for (const TResultTypeEntry& e : kFixed) table.AddResultType(e.code, e.level, e.labelId, Text(e.labelId));
  if (burstCount == 0) return 0;
  const int first = table.Count();
  for (uint32_t n = 1; n <= episodeCount && table.Count() < TResultTypeTable::kCapacity - 1; ++n)
    table.AddResultType(kResultEpisode, 1, kMsgEpisode, Text(kMsgEpisode) + " " + std::to_string(n));
  return first;
}

// ---------------------------------------------------------------------------
// The panel.

TResultsPanel::TResultsPanel(const TResultsModel& model) : model_(model) {}
TResultsPanel::~TResultsPanel() = default;

bool TResultsPanel::AddLine(const std::string& text) {
  if (items_.size() >= kMaxResultLines) return false;
  items_.push_back(text);
  return true;
}

void TResultsPanel::SetExplanation(const std::string& text) {
  explanation_ = text;
  if (MainWindowPort* main = ViewMainWindow()) main->AfficheInfos(text);
}

void TResultsPanel::SetStatus(const std::string& text) {
  status_ = text;
  if (MainWindowPort* main = ViewMainWindow()) main->AfficheMessage(text);
}

void TResultsPanel::Clear() {
  table_.Clear();
  items_.clear();
  lineTags_.clear();
  styleFindings_.clear();
  diagnosis_.reset();
  explanation_.clear();
  selectedItemLine_ = -1;
  CurrentResultType = 0;
  FirstEpisodeIndex = 0;
}

void TResultsPanel::RefreshAfterAnalysis() {
  MainWindowPort* main = ViewMainWindow();
  const bool printing = main && main->Printing();
  if (!printing) {
    ClearSelection(model_.view, model_.words);
    RedrawViews(model_.view);
  }
  if (!diagnosis_) {
    diagnosis_ = std::make_unique<TDiagnosisList>();
    diagnosis_->Init(model_.words);
  }
  model_.view.GraphDrawn = false;
  model_.view.selection.kind = kSelectNone;
  model_.view.selection.firstClass = model_.view.selection.secondClass = 0;
  model_.view.selection.classLevel = 1;
  model_.view.CurrentItem = 0;
  model_.view.CurrentItemKind = 0;
  model_.view.CurrentBurst = 0;
  model_.view.CurrentResultTypeEntry = 0;
  model_.view.TextPartStart = model_.view.TextPartEnd = 0;
  model_.view.SelectedLineExplanation.clear();
  lineTags_.clear();
  actantChecked_ = acteChecked_ = true;
  actorsEnabled_ = false;
  FirstDisplay = false;
  items_.clear();
  CurrentResultType = 0;
  const uint32_t bursts = model_.results ? model_.results->BurstCount : 0;
  const uint32_t episodes = model_.results ? model_.results->EpisodeCount : 0;
  FirstEpisodeIndex = BuildResultTypeList(table_, bursts, episodes, model_.words.Count());
  if (table_.Count() < 0) {
    // An empty or unreadable text: nothing can be shown but why, and which
    // document converters this program has.
    ShowUnreadableText();
    return;
  }
  keyNotFound_.clear();
  ApplySearchKeys();
  if (LastUsedResultType < 1 || LastUsedResultType > table_.Count()) {
    SetStatus(Text(kMsgChooseResultType));
    LastUsedResultType = 0;
  }
  if (CommandLineFlags.searchKeyGiven) LastUsedResultType = 1;
  CurrentResultType = LastUsedResultType;
  ShowResultType();
  RedrawViews(model_.view);
  if (!keyNotFound_.empty()) SetStatus(keyNotFound_);
}

void TResultsPanel::ApplySearchKeys() {
  if (!CommandLineFlags.searchKeyGiven || WorkContext->SearchKeys[0].empty()) return;
  CommandLineFlags.searchKeyGiven = false;
  if (!CommandLineFlags.keyKindValid) return;
  BeginNewSelection(model_.view, model_.words, model_.results);
  int succeeded = 0;
  for (size_t k = 0; k < kSearchKeyCount && succeeded == 0; ++k) {
    std::string key = WorkContext->SearchKeys[k];
    if (key.empty()) continue;
    for (char& c : key) c = static_cast<char>(ToLowerChar(static_cast<unsigned char>(c)));
    const int kind = WorkContext->SearchKeyKinds[k];
    // Only the four levels take the class route.
    if (kind >= 1 && kind <= 4 && OntologyEngine) {
      const int32_t cls = OntologyEngine->FindClassIndex(kind, key);
      if (cls >= 1 && cls <= 65535 && ClassCount(kind, cls) >= 1 &&
          SameTextIgnoringCase(OntologyEngine->ClassName(kind, cls), key)) {
        model_.view.selection.firstTerm = key;
        model_.view.selection.kind = kSelectClass;
        model_.view.selection.firstClass = static_cast<uint32_t>(cls);
        model_.view.selection.classLevel = kind;
        succeeded = kind;
        break;
      }
    }
    // By name: a class of the dictionary that this text never names is not found.
    if (SelectClassByName(model_.view.selection, kind >= 1 && kind <= 4 ? kind : model_.view.selection.classLevel,
                          key) &&
        ClassCount(model_.view.selection.classLevel, static_cast<int32_t>(model_.view.selection.firstClass)) >= 1)
      succeeded = model_.view.selection.classLevel;
  }
  CommandLineFlags.keyKindValid = false;
  if (succeeded == 0) {
    // No key names a class of this text: the whole text, and why.
    ClearSelection(model_.view, model_.words);
    std::string keys;
    for (const std::string& key : WorkContext->SearchKeys)
      if (!key.empty()) keys += (keys.empty() ? "\"" : ", \"") + key + "\"";
    keyNotFound_ = Text(kMsgKeyNotFound) + " " + keys;
    return;
  }
  BeginNewSelection(model_.view, model_.words, model_.results);
  LastUsedResultType = CurrentResultType;
  // A Scenario class: its list, its line selected.
  if (succeeded == 4) LastUsedResultType = CurrentResultType = kTypeScenario;
}

void TResultsPanel::SelectResultType(int index) {
  if (index < 0 || index > table_.Count()) return;
  // A selection lasts until another result type, unless that type lists
  // what is selected (a graph's class shows the list of its level).
  const bool ends = index != CurrentResultType && !ListsSelection(*table_.Entry(index));
  if (ends) EndSelection();
  CurrentResultType = index;
  ShowResultType();
  if (ends) RedrawViews(model_.view);
}

bool TResultsPanel::ListsSelection(const TResultTypeEntry& entry) const {
  if (!model_.view.SelectionActive) return false;
  switch (entry.code) {
    case kResultReferences:
    case kResultReferenceFields1:
    case kResultReferenceFields2:
      return model_.view.selection.kind == kSelectClass && model_.view.selection.classLevel == LevelOfCode(entry.code);
    case kResultScenario: return model_.view.selection.kind == kSelectClass && model_.view.selection.classLevel == 4;
    case kResultRelations: return model_.view.selection.kind == kSelectRelation;
    default: return false;
  }
}

void TResultsPanel::EndSelection() {
  const int classLevel = model_.view.selection.classLevel;
  ClearSelection(model_.view, model_.words);
  model_.view.selection.Clear();
  model_.view.selection.classLevel = classLevel;
  model_.view.CategoryFilters.fill(0);
  model_.view.CurrentBurst = 0;
  model_.view.CurrentItem = 0;
  model_.view.SelectedLineExplanation.clear();
  model_.view.GraphShown = false;
}

// The line of the class selected, when the list shows its level: a class
// chosen on a graph, by a burst or by a search key is the selected line.
void TResultsPanel::FindSelectedLine(const TResultTypeEntry& entry) {
  if (!model_.view.SelectionActive || model_.view.selection.kind != kSelectClass || !ListsSelection(entry)) return;
  for (size_t i = 0; i < items_.size(); ++i) {
    const bool match = entry.code == kResultScenario
                           ? i < lineTags_.size() && lineTags_[i] == model_.view.selection.firstClass
                           : SameTextIgnoringCase(ItemName(static_cast<int>(i)), model_.view.selection.firstTerm);
    if (match) {
      selectedItemLine_ = static_cast<int>(i);
      return;
    }
  }
}

void TResultsPanel::SwitchAffichageSurDerniereFonctionUtilise() {
  CurrentResultType = LastUsedResultType;
  ShowResultType();
}

void TResultsPanel::SeMettreSurPremierEpisode() {
  const int index = FirstEpisodeIndex + 1;
  if (FirstEpisodeIndex <= 0 || index > table_.Count()) return;
  Options->Set(opt::GraphKind, 3);
  model_.view.CurrentResultTypeEntry = kResultEpisode;
  SelectResultType(index);
}

void TResultsPanel::FinishItems(std::vector<std::string> lines, bool sortable) {
  items_ = std::move(lines);
  sorted_ = sortable && Options->Switch(opt::SortAlphabetical);
  if (sorted_) std::stable_sort(items_.begin(), items_.end());
}

void TResultsPanel::ShowResultType() {
  if (!ResultsShown() || CurrentResultType < 0 || CurrentResultType > table_.Count()) return;
  hint_ = Text(kMsgClickMe);
  showHint_ = false;
  items_.clear();
  styleFindings_.clear();
  selectedItemLine_ = -1;
  if (!FirstDisplay) LastUsedResultType = CurrentResultType;
  SetStatus(Text(kMsgSelectElement));
  const TResultTypeEntry& entry = *table_.Entry(CurrentResultType);
  if (entry.code > kResultEpisode) return;
  switch (entry.code) {
    case kResultRelations:
    case kResultCategories:
    case kResultStyle:
    case kResultVerbs:
    case kResultAdjectives:
    case kResultSubstantives:
    case kResultEpisode: actorsEnabled_ = false; break;
    default: break;
  }
  FillItems(entry);
  FindSelectedLine(entry);
  if (model_.words.Count() == 0) ShowUnreadableText();
}

void TResultsPanel::ShowUnreadableText() {
  SetExplanation(Text(msg::kConversionPDFOfficeFormats));
  items_ = ConversionFilterStatusLines();
  SetStatus(Text(msg::kReadSoftwareUserManual));
}

void TResultsPanel::FillItems(const TResultTypeEntry& entry) {
  model_.view.GraphShown = Options->Switch(opt::ShowGraph);
  const uint32_t minimum = ListedMinimumCount(model_.results.get());
  switch (entry.code) {
    case kResultReferences:
    case kResultReferenceFields1:
    case kResultReferenceFields2: {
      actorsEnabled_ = true;
      const int id = entry.code == kResultReferences         ? kMsgExplainReferences
                     : entry.code == kResultReferenceFields1 ? kMsgExplainFields1
                                                             : kMsgExplainFields2;
      SetExplanation(Text(id));
      FinishItems(ClassLevelLines(CollectRankedClasses(LevelOfCode(entry.code)), minimum, Filters()), true);
      break;
    }
    case kResultRelations: {
      const int base = RelationBaseLevel();
      int id = kMsgExplainRelations1;
      if (base == 2 || base == 3) id = kMsgExplainRelations23;
      else if (base == 4)
        id = OntologyEngine && OntologyEngine->IsScenarioLoaded() ? kMsgExplainRelationsScenario : kMsgNoScenario;
      SetExplanation(Text(id));
      if (MainWindowPort* main = ViewMainWindow(); main && main->Printing()) break;
      std::function<bool(uint32_t)> occurs;
      if (base == 4) occurs = [](uint32_t c) { return ClassCount(4, static_cast<int32_t>(c)) > 0; };
      FinishItems(RelationLines(
                      CollectRelationGroups(base),
                      [base](uint32_t c) {
                        return OntologyEngine ? OntologyEngine->ClassName(base, static_cast<int32_t>(c))
                                              : std::string("?");
                      },
                      occurs),
                  true);
      break;
    }
    case kResultCategories: {
      if (!diagnosis_) break;
      SetExplanation(Text(entry.level == 1 ? kMsgExplainAllCategories : kMsgExplainFrequent));
      if (Options->Get(opt::GraphKind) == 1 || Options->Get(opt::GraphKind) == 5) Options->Set(opt::GraphKind, 2);
      diagnosis_->BuildTendencies(TDiagnosisInputs::Current(), entry.level == 2, this);
      sorted_ = false;
      break;
    }
    case kResultStyle: {
      SetExplanation(Text(kMsgExplainStyle));
      if (!diagnosis_) break;
      diagnosis_->DiagnoseStyle(TDiagnosisInputs::Current(), this);
      styleFindings_ = diagnosis_->Findings();
      styleFindings_.resize(items_.size(), 0);
      auto countLine = [this](uint32_t n, int id, int finding) {
        AddLine(std::to_string(n) + " " + Text(id));
        styleFindings_.push_back(finding);
      };
      if (model_.files.Count() > 1)
        countLine(static_cast<uint32_t>(model_.files.Count()), kMsgFilesSelected, kMsgFilesSearched);
      if (model_.results && model_.results->BurstCount > 0)
        countLine(model_.results->CharacteristicCount, kMsgCharacteristicParts, kMsgCharacteristicParts);
      if (model_.results && model_.results->EpisodeCount > 0)
        countLine(model_.results->EpisodeCount, kMsgEpisodesDetected, kMsgEpisodesDetected);
      sorted_ = false;
      break;
    }
    case kResultScenario: {
      actorsEnabled_ = true;
      if (!OntologyEngine || OntologyEngine->ScenarioEntryCount() == 0) {
        SetExplanation(Text(kMsgNoScenario));
      } else {
        std::string name = Options->Get(opt::ScenarioFileName);
        if (size_t dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
        for (char& c : name) c = static_cast<char>(ToLowerChar(static_cast<unsigned char>(c)));
        if (!name.empty()) name[0] = static_cast<char>(ToUpperChar(static_cast<unsigned char>(name[0])));
        SetExplanation(Text(kMsgExplainScenario) + name);
      }
      TScenarioLines s = ScenarioLines(CollectScenarioClasses(), CollectScenarioRanking(),
                                       Options->Switch(opt::SortAlphabetical), branchesHidden_, minimum, Filters());
      items_ = std::move(s.lines);
      lineTags_ = std::move(s.tags);
      sorted_ = false;
      break;
    }
    case kResultVerbs:
    case kResultAdjectives:
    case kResultSubstantives: {
      SetExplanation(Text(entry.code == kResultVerbs        ? kMsgExplainVerbs
                          : entry.code == kResultAdjectives ? kMsgExplainAdjectives
                                                            : kMsgSubstantives));
      const bool alphabetical = entry.code == kResultSubstantives && Options->Switch(opt::SortAlphabetical);
      FinishItems(LemmaLines(CollectLemmas(entry.code, alphabetical), minimum, !alphabetical), true);
      break;
    }
    case kResultEpisode: {
      SetExplanation(Text(kMsgExplainEpisode));
      const uint32_t k = static_cast<uint32_t>(CurrentResultType - FirstEpisodeIndex);
      const TEpisodeRecord* episode = model_.results ? model_.results->Episode(k) : nullptr;
      if (!episode) break;
      SetStatus(Text(kMsgEpisode) + " " + std::to_string(k) + " : " + std::to_string(episode->burstCount) + " " +
                Text(kMsgBundles) + ", " + Text(kMsgLength) + " : " +
                Percent41(SpanPercent(model_.words, episode->firstPosition, episode->lastPosition)) + "% " +
                Text(kMsgOfTheText) + ". ");
      if (Options->Get(opt::GraphKind) != 4 || !Options->Switch(opt::ShowGraph)) {
        hint_ = Text(kMsgShowEpisodesGraph);
        showHint_ = true;
      }
      model_.view.CurrentItem = 0;
      items_ = EpisodeLines(model_.results->Bursts, k, [this](int32_t id) { return model_.results->ItemName(id); });
      sorted_ = false;
      ClearSelection(model_.view, model_.words);
      model_.view.TextPartStart = static_cast<int32_t>(episode->firstPosition);
      model_.view.TextPartEnd = static_cast<int32_t>(episode->lastPosition);
      model_.view.TextViewWordLimit = static_cast<int32_t>(episode->lastPosition);
      MettreAffichageSurPartieDuTexte(model_.view, model_.words);
      const int graph = Options->Get(opt::GraphKind);
      if (graph >= 1 && graph <= 5) model_.view.GraphShown = Options->Switch(opt::ShowGraph);
      RedrawViews(model_.view);
      break;
    }
    default: break;
  }
}

TResultsToolbarState TResultsPanel::ToolbarState() const {
  TResultsToolbarState s;
  const int i = CurrentResultType;
  const bool lineSelected = selectedItemLine_ >= 0;
  s.searchVisible = (i >= 1 && i <= 4) || (i >= 8 && i <= 10);
  s.searchEnabled = s.searchVisible && lineSelected && editor_ != nullptr;
  s.sortEnabled = (i >= 1 && i <= 5) || (i >= 8 && i <= 10);
  s.expandVisible = i == kTypeScenario;
  s.expandHint = branchesHidden_ ? kMsgExpandAll : kMsgReduceAll;
  s.addVisible = i != kTypeScenario;
  s.addEnabled =
      s.addVisible && ((i >= 1 && i <= 3) || (i >= 8 && i <= 10)) && editor_ && editor_->IsOpen() && lineSelected;
  s.sortHint = Options->Switch(opt::SortAlphabetical) ? kMsgSortByFrequency : kMsgSortAlphabetically;
  s.nextEnabled = LastUsedResultType < static_cast<int>(table_.Lines().size()) - 1;
  s.previousEnabled = LastUsedResultType > 0;
  return s;
}

// ---------------------------------------------------------------------------
// Clicks.

// The line's name and the columns after it (TABs turned into blanks).
std::string TResultsPanel::ItemName(int line) const {
  std::string name, rest;
  if (!ReadLine(line, name, rest)) return {};
  const size_t first = name.find_first_not_of(' ');
  const size_t last = name.find_last_not_of(' ');
  return first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
}

bool TResultsPanel::ReadLine(int line, std::string& name, std::string& rest) const {
  if (line < 0 || line >= static_cast<int>(items_.size())) return false;
  std::string buffer = items_[static_cast<size_t>(line)].substr(0, 511);
  size_t tab = buffer.size() > 1 ? buffer.find('\t', 1) : std::string::npos;
  if (tab == std::string::npos) tab = buffer.size();
  name = buffer.substr(0, std::min<size_t>(tab, 78));
  rest = tab < buffer.size() ? buffer.substr(tab + 1) : std::string();
  for (char& c : rest)
    if (c == '\t') c = ' ';
  return !buffer.empty();
}

void TResultsPanel::ClickClass(int level, const std::string& name, const std::string& count, bool bundle) {
  if (!OntologyEngine) return;
  const int32_t cls = OntologyEngine->FindClassIndex(level, name);
  if (cls <= 0) return;
  BeginNewSelection(model_.view, model_.words, model_.results);
  model_.view.selection.kind = kSelectClass;
  model_.view.selection.classLevel = level;
  model_.view.selection.firstClass = static_cast<uint32_t>(cls);
  model_.view.selection.firstTerm = name;
  model_.view.selection.secondTerm.clear();
  model_.view.CurrentResultTypeEntry = CurrentResultType;
  if (bundle) {
    const TBurstRecord* b =
        model_.results ? model_.results->Burst(static_cast<uint32_t>(model_.view.CurrentBurst - 1)) : nullptr;
    SetStatus(BundleExplanation(count, name, b ? SpanPercent(model_.words, b->firstPosition, b->lastPosition) : 0.0));
    SetExplanation(Text(kMsgExplainBundle));
  } else {
    SetExplanation(ClassExplanation(count, name));
    SetStatus(Text(kMsgAddToScenario));
  }
}

void TResultsPanel::ClickRelation(const std::string& name, const std::string& rest) {
  // "(first > second)" with the count before it in rest.
  std::string first = name;
  if (!first.empty() && first[0] == '(') first.erase(0, 1);
  const size_t gt = first.find('>');
  if (gt != std::string::npos) first.resize(gt > 0 && first[gt - 1] == ' ' ? gt - 1 : gt);
  const std::string line = rest + " " + name;
  std::string second;
  if (const size_t last = line.rfind('>'); last != std::string::npos) second = line.substr(last + 1);
  if (!second.empty() && second.back() == ')') second.pop_back();
  while (!second.empty() && second[0] == ' ') second.erase(0, 1);
  std::string count = rest.substr(0, rest.find(' '));
  SetStatus(RelationExplanation(count, first, second));
  SetExplanation(Text(kMsgExplainRelation));
  if (!OntologyEngine) return;
  const int base = RelationBaseLevel();
  const int32_t a = OntologyEngine->FindClassIndex(base, first);
  const int32_t b = OntologyEngine->FindClassIndex(base, second);
  if (a <= 0 || b <= 0) return;
  BeginNewSelection(model_.view, model_.words, model_.results);
  model_.view.selection.kind = kSelectRelation;
  model_.view.selection.classLevel = base;
  model_.view.selection.firstClass = static_cast<uint32_t>(a);
  model_.view.selection.secondClass = static_cast<uint32_t>(b);
  model_.view.selection.firstTerm = first;
  model_.view.selection.secondTerm = second;
  model_.view.CurrentResultTypeEntry = CurrentResultType;
  RedrawViews(model_.view);
}

void TResultsPanel::ClickLemma(int code, const std::string& name) {
  uint32_t entry = 0;
  uint32_t count = 0;
  uint8_t category = 0;
  if (code == kResultVerbs || code == kResultAdjectives) {
    TStringHashIndex* index = code == kResultVerbs ? VerbIndex : AdjectiveIndex;
    int e = 0;
    if (!index || !index->LookupEntryNumber(name.c_str(), e) || e <= 0) return;
    entry = static_cast<uint32_t>(e);
    count = index->CountOfEntry(e);
    category = code == kResultVerbs ? kClassVerb : kClassAdjective;
  } else {
    if (!TextIndex) return;
    entry = TextIndex->TextIndexLookup(name.c_str());
    count = TextIndex->TextIndexCountOf(entry);
    category = kClassSubstantive;
  }
  if (entry == 0 || count < ListedMinimumCount(model_.results.get())) return;
  SetExplanation(LemmaExplanation(code, count, name));
  SetStatus(Text(kMsgAddToScenario));
  BeginNewSelection(model_.view, model_.words, model_.results);
  model_.view.selection.kind = kSelectLexicalEntry;
  model_.view.selection.lexicalEntry = entry;
  model_.view.selection.majorClass = category;
  model_.view.selection.firstTerm = name;
  model_.view.CurrentResultTypeEntry = CurrentResultType;
  RedrawViews(model_.view);
}

void TResultsPanel::ClickBurst(int line) {
  if (!model_.results) return;
  const uint32_t k = static_cast<uint32_t>(CurrentResultType - FirstEpisodeIndex);
  const TEpisodeRecord* episode = model_.results->Episode(k);
  if (!episode) return;
  int rank = 0;
  const TBurstRecord* burst = nullptr;
  for (uint32_t i = 0; i < model_.results->BurstCount; ++i) {
    const TBurstRecord* b = model_.results->Burst(i);
    if (!b || b->episode != k) continue;
    if (++rank == line + 1) {
      burst = b;
      model_.view.CurrentBurst = static_cast<int32_t>(i + 1);
      break;
    }
  }
  if (!burst) return;
  model_.view.CurrentItem = burst->itemId;
  if (burst->itemId > 0) {
    ClickClass(RelationBaseLevel(), model_.results->ItemName(burst->itemId), PadCount(burst->count), true);
  } else {
    BeginNewSelection(model_.view, model_.words, model_.results);
    const int code = -burst->itemId;
    SetStatus(CategoryBundleExplanation(CategoryLabel(code), burst->count,
                                        SpanPercent(model_.words, burst->firstPosition, burst->lastPosition)));
    SetExplanation(Text(kMsgExplainBundle));
    // The category's words are searched as a pattern; no class is selected,
    // the category names the graphs.
    model_.view.selection.kind = kSelectNone;
    model_.view.selection.firstTerm = CategoryLabel(code);
    model_.view.selection.secondTerm.clear();
    model_.view.selection.categoryRangeView = true;
    CategoryCodeToRecord(code, model_.view.selection.patterns[0]);
    model_.view.selection.activePatterns[0] = true;
    model_.view.SelectionActive = false;
  }
  model_.view.TextPartStart = static_cast<int32_t>(episode->firstPosition);
  model_.view.TextPartEnd = static_cast<int32_t>(episode->lastPosition);
  model_.view.TextViewWordLimit = static_cast<int32_t>(episode->lastPosition);
  // The first occurrence within the episode starts the page.
  SearchSelectionUpTo(model_.view.TextPartStart, 1000000, model_.view, model_.words);
  model_.words.CopyBookmark(kBookmarkPageEnd, kBookmarkPageStart);
  if (model_.view.selection.matchPosition >= model_.view.TextPartStart)
    model_.view.CurrentWordPosition = model_.view.selection.matchPosition;
  RedrawViews(model_.view);
}

void TResultsPanel::ClickStyle(int line) {
  if (line < 0 || line >= static_cast<int>(styleFindings_.size())) return;
  const int finding = styleFindings_[static_cast<size_t>(line)];
  if (finding == kMsgEpisodesDetected) {
    SeMettreSurPremierEpisode();
    return;
  }
  if (finding == kMsgCharacteristicParts) {
    SetExplanation(Text(kMsgExplainCharacteristic));
    // "15 propositions kept on 2104", as the diagnosis explains the finding.
    SetStatus(TDiagnosisList::ExplainFinding(kMsgCharacteristicParts).text);
    if (analysis_) AffichePropositionsDeLaSFS(analysis_->bursts, model_.view, model_.words, model_.results);
    return;
  }
  if (finding == kMsgFilesSearched) {
    SetExplanation(Text(kMsgExplainFilesSearched) + " " + std::to_string(model_.files.Count()));
    return;
  }
  const TFindingExplanation e = TDiagnosisList::ExplainFinding(finding);
  if (e.message) SetExplanation(Text(e.message));
  if (e.pairs.empty()) return;
  BeginNewSelection(model_.view, model_.words, model_.results);
  model_.view.selection.kind = kSelectNone;
  model_.view.selection.categoryRangeView = true;
  for (size_t i = 0; i < e.pairs.size() && i < static_cast<size_t>(kMaxSearchPatterns); ++i) {
    model_.view.selection.patterns[i] = TWordCategoryData();
    model_.view.selection.patterns[i].Category.MajorClass = e.pairs[i].first;
    model_.view.selection.patterns[i].Category.Subclass = e.pairs[i].second;
    model_.view.selection.activePatterns[i] = true;
    if (e.pairs[i].first < kCategoryFilterCount) model_.view.CategoryFilters[e.pairs[i].first] = 1;
  }
  model_.view.SelectionActive = false;
  model_.words.Rewind();
  model_.words.SaveCursor(kBookmarkPageStart);
  model_.words.SaveCursor(kBookmarkPageEnd);
  RedrawViews(model_.view);
}

void TResultsPanel::ClickLine(int line) {
  MainWindowPort* main = ViewMainWindow();
  if (!ResultsShown() || (main && main->Printing())) return;
  showHint_ = false;
  model_.view.GraphShown = Options->Switch(opt::ShowGraph);
  const TResultTypeEntry* entry = table_.Entry(CurrentResultType);
  if (!entry || line < 0 || line >= static_cast<int>(items_.size())) return;
  selectedItemLine_ = line;
  model_.view.CurrentResultTypeEntry = CurrentResultType;
  std::string name, rest;
  if (!ReadLine(line, name, rest)) return;
  model_.view.TextPartStart = 0;
  switch (entry->code) {
    case kResultReferences:
    case kResultReferenceFields1:
    case kResultReferenceFields2:
      ClickClass(LevelOfCode(entry->code), name, rest.substr(0, rest.find(' ')), false);
      RedrawViews(model_.view);
      break;
    case kResultRelations: ClickRelation(name, rest); break;
    case kResultCategories: {
      if (!diagnosis_) break;
      model_.view.GraphDrawn = false;
      model_.view.CurrentItemKind = diagnosis_->LineKindCode(line);
      const std::string& text = items_[static_cast<size_t>(line)];
      size_t blank = text.find(' ');
      if (blank != std::string::npos) blank = text.find(' ', blank + 1);
      model_.view.SelectedLineExplanation = text.substr(0, std::min<size_t>(blank, kExplanationSize));
      BeginNewSelection(model_.view, model_.words, model_.results);
      if (const int explanation = diagnosis_->SelectLine(line, model_.view.selection, model_.words); explanation > 0) {
        SetExplanation(Text(explanation));
        SetStatus(Text(explanation));
      }
      // The category is searched as a pattern, no class is selected: the
      // graphs count and neighbour its words under its name.
      model_.view.SelectionActive = false;
      model_.view.selection.firstTerm = CategoryLineName(text);
      model_.view.CategoryFilters.fill(0);
      RedrawViews(model_.view);
      break;
    }
    case kResultStyle: ClickStyle(line); break;
    case kResultScenario: {
      if (static_cast<size_t>(line) >= lineTags_.size() || !OntologyEngine) break;
      const uint32_t entryNumber = lineTags_[static_cast<size_t>(line)];
      BeginNewSelection(model_.view, model_.words, model_.results);
      model_.view.selection.kind = kSelectClass;
      model_.view.selection.classLevel = 4;
      model_.view.selection.firstClass = entryNumber;
      model_.view.selection.firstTerm = OntologyEngine->ScenarioClassName(static_cast<int32_t>(entryNumber));
      const std::string& text = items_[static_cast<size_t>(line)];
      const size_t tab = text.find('\t');
      const std::string count =
          tab == std::string::npos ? std::string() : text.substr(tab + 1, text.find('\t', tab + 1) - tab - 1);
      SetExplanation(ClassExplanation(count, model_.view.selection.firstTerm));
      SetStatus(Text(editor_ && editor_->IsOpen() && editor_->IsModified() ? kMsgScenarioModified
                                                                           : kMsgOntologyClassification));
      RedrawViews(model_.view);
      break;
    }
    case kResultVerbs:
    case kResultAdjectives:
    case kResultSubstantives: ClickLemma(entry->code, name); break;
    case kResultEpisode: ClickBurst(line); break;
    default: break;
  }
}

void TResultsPanel::DoubleClickLine(int line) {
  MainWindowPort* main = ViewMainWindow();
  if (!ResultsShown() || (main && main->Printing()) || !editor_ || !editor_->IsOpen()) return;
  const TResultTypeEntry* entry = table_.Entry(CurrentResultType);
  if (!entry) return;
  std::string name, rest;
  if (!ReadLine(line, name, rest)) return;
  switch (entry->code) {
    case kResultReferences:
    case kResultReferenceFields1:
    case kResultReferenceFields2:
    case kResultVerbs:
    case kResultAdjectives:
    case kResultSubstantives: break;
    case kResultScenario:
      if (static_cast<size_t>(line) >= lineTags_.size() || !OntologyEngine) return;
      name = OntologyEngine->ScenarioClassName(static_cast<int32_t>(lineTags_[static_cast<size_t>(line)]));
      break;
    default: return;
  }
  if (name.empty()) return;
  ShowHourglass();
  editor_->SetSearchText(name);
  if (!editor_->FindNodeByLabel(name, entry->code == kResultScenario)) {
    int start = 0;
    editor_->FindNextNode(name, start, false);
  }
  editor_->Open();
  RestoreCursor();
}

void TResultsPanel::SetActantChecked(bool checked) {
  actantChecked_ = checked;
  if (!actantChecked_ && !acteChecked_) acteChecked_ = true;
  ShowResultType();
  std::string text = Text(acteChecked_ && !actantChecked_ ? kMsgActed : kMsgActant);
  if (!text.empty()) text[0] = static_cast<char>(ToUpperChar(static_cast<unsigned char>(text[0])));
  SetExplanation(text + ". " + Text(kMsgActorStatistics));
}

void TResultsPanel::SetActeChecked(bool checked) {
  acteChecked_ = checked;
  if (!actantChecked_ && !acteChecked_) actantChecked_ = true;
  ShowResultType();
  std::string text = Text(acteChecked_ && !actantChecked_ ? kMsgActed : kMsgActant);
  if (!text.empty()) text[0] = static_cast<char>(ToUpperChar(static_cast<unsigned char>(text[0])));
  SetExplanation(text + ". " + Text(kMsgActorStatistics));
}

void TResultsPanel::SetBranchesHidden(bool hidden) {
  branchesHidden_ = hidden;
  if (CurrentResultType == kTypeScenario) ShowResultType();
}

// ---------------------------------------------------------------------------
// Drawing a line.

TResultLineLook TResultsPanel::LineLook(int line) const {
  TResultLineLook look;
  const TResultTypeEntry* entry = table_.Entry(CurrentResultType);
  const int code = entry ? entry->code : 0;
  const std::string text = line >= 0 && line < static_cast<int>(items_.size()) ? items_[static_cast<size_t>(line)] : "";
  const std::string name = text.substr(0, text.find('\t'));
  auto optionColour = [](int k) { return static_cast<Rgb>(Options->Get(opt::Colour(static_cast<size_t>(k)))); };
  const Rgb buttonFace = MakeRgb(0xF0, 0xF0, 0xF0);
  auto classLook = [&](int level) {
    const int32_t cls = OntologyEngine ? OntologyEngine->FindClassIndex(level, name) : 0;
    look.inScenario = cls > 0 && OntologyEngine->ClassScenarioEntry(level, cls) != 0;
    look.markColour = look.inScenario ? model_.view.CurrentColours[kColourClassified] : (kWhite ^ 0xFFFFFF);
  };
  if (!entry) {
    // No result type (the converters' status of an unreadable text): a plain mark.
    look.markColour = buttonFace;
    return look;
  }
  switch (code) {
    case kResultCategories:
      look.markColour = diagnosis_ ? optionColour(std::clamp(diagnosis_->LineKindCode(line), 0, 16)) : buttonFace;
      break;
    case kResultReferences:
    case kResultReferenceFields1:
    case kResultReferenceFields2: classLook(LevelOfCode(code)); break;
    case kResultRelations: look.markColour = model_.view.CurrentColours[kColourClassified]; break;
    case kResultScenario: {
      look.markColour = model_.view.CurrentColours[kColourClassified];
      look.tree = true;
      auto depthOf = [this](int i) -> int {
        if (i < 0 || i >= static_cast<int>(lineTags_.size()) || !OntologyEngine) return -1;
        return static_cast<int>(OntologyEngine->ScenarioEntryDepth(lineTags_[static_cast<size_t>(i)]));
      };
      look.depth = std::max(depthOf(line), 0);
      look.lastSibling = depthOf(line + 1) < look.depth;
      // A level goes on below when a later line comes back to it before a shallower one.
      look.continues.assign(static_cast<size_t>(std::max(look.depth, 1)), false);
      for (int d = 1; d < look.depth; ++d) {
        for (int j = line + 1; j < static_cast<int>(lineTags_.size()); ++j) {
          const int dj = depthOf(j);
          if (dj < d) break;
          if (dj == d) {
            look.continues[static_cast<size_t>(d)] = true;
            break;
          }
        }
      }
      break;
    }
    case kResultVerbs:
    case kResultAdjectives:
    case kResultSubstantives: {
      const int colour = code == kResultVerbs ? 1 : code == kResultAdjectives ? 4 : 8;
      look.markColour = optionColour(colour);
      if (OntologyEngine) {
        bool in = false;
        if (code == kResultVerbs && VerbIndex) {
          int e = 0;
          in =
              VerbIndex->LookupEntryNumber(name.c_str(), e) && OntologyEngine->VerbInScenario(static_cast<uint32_t>(e));
        } else if (code == kResultAdjectives && AdjectiveIndex) {
          int e = 0;
          in = AdjectiveIndex->LookupEntryNumber(name.c_str(), e) &&
               OntologyEngine->AdjectiveInScenario(static_cast<uint32_t>(e));
        } else if (TextIndex) {
          in = OntologyEngine->WordInScenario(TextIndex->TextIndexLookup(name.c_str()));
        }
        if (in) look.markColour ^= 0xFFFFFF;
      }
      break;
    }
    case kResultEpisode:
      if (text.size() > 5 && text[5] >= '0' && text[5] <= '9') look.markColour = buttonFace;
      else classLook(RelationBaseLevel());
      break;
    default: look.markColour = buttonFace; break;
  }
  return look;
}

void TResultsPanel::DrawLine(Canvas& canvas, const Rect& r, int line, bool largeFonts) const {
  if (line < 0 || line >= static_cast<int>(items_.size())) return;
  const TResultLineLook look = LineLook(line);
  canvas.SetPen(kBlack);
  int x = r.left;
  if (look.tree) {
    const int middle = r.top + r.Height() / 2;
    if (look.depth > 0) {
      for (int d = 1; d < look.depth; ++d)
        if (look.continues[static_cast<size_t>(d)])
          canvas.Line({r.left + 24 * (d - 1) + 8, r.top}, {r.left + 24 * (d - 1) + 8, r.bottom});
      x = r.left + 24 * look.depth;
      canvas.Line({x - 16, middle}, {x, middle});
      canvas.Line({x - 16, r.top}, {x - 16, look.lastSibling ? middle + 2 : r.bottom});
      // The node's picture, then the text 4 pixels further.
      canvas.SetBrush(look.markColour);
      canvas.Rectangle({x, r.top + 2, x + 12, r.bottom - 2});
      x += 12 + 4;
    } else {
      canvas.SetBrush(look.markColour);
      canvas.Ellipse({x + 2, r.top + 2, x + 14, r.bottom - 2});
      x += 16;
    }
  } else {
    const Rect box{r.left + (largeFonts ? 3 : 4), r.top + 1, r.left + 16, largeFonts ? r.top + 15 : r.bottom - 1};
    canvas.SetBrush(look.markColour);
    canvas.FillRect(box);
    if (look.inScenario) {
      canvas.SetPen(kBlack);
      canvas.Rectangle(box);
    } else {
      canvas.SetPen(kWhite);
      canvas.Line({box.left, box.bottom - 1}, {box.left, box.top});
      canvas.Line({box.left, box.top}, {box.right - 1, box.top});
      canvas.SetPen(MakeRgb(0x80, 0x80, 0x80));
      canvas.Line({box.right - 1, box.top}, {box.right - 1, box.bottom - 1});
      canvas.Line({box.left, box.bottom - 1}, {box.right - 1, box.bottom - 1});
    }
    x = r.left + 17;
  }
  canvas.SetPen(kBlack);
  const std::vector<std::string> columns = SplitColumns(items_[static_cast<size_t>(line)]);
  const int textX = x + 2;
  for (size_t k = 0; k < columns.size(); ++k) {
    if (k == 0 || k >= columns_.starts.size()) {
      // The name, clipped to its column when the list lays out columns.
      Rect clip = r;
      if (k == 0 && columns.size() > 1 && columns_.starts.size() > 1)
        clip.right = std::min(r.right, r.left + 19 + columns_.starts[1] - kColumnGap / 2);
      std::string text = columns[k];
      if (k > 0) text = " " + text;
      canvas.TextRect(clip, textX, r.top, text);
      continue;
    }
    // Counts and shares, right-aligned in their column.
    const int right = r.left + 19 + columns_.starts[k] + columns_.widths[k];
    canvas.TextRect(r, right - canvas.TextWidth(columns[k]), r.top, columns[k]);
  }
}

void TResultsPanel::MeasureColumns(Canvas& canvas, const Font& captionFont) {
  measuredColumns_ = MeasureResultColumns(canvas, items_);
  captionWidths_.clear();
  canvas.SetFont(captionFont);
  for (const std::string& caption : ColumnCaptions()) captionWidths_.push_back(canvas.TextWidth(caption));
  // The Scenario's tree moves its names right: the deepest line counts.
  indent_ = 0;
  const TResultTypeEntry* entry = table_.Entry(CurrentResultType);
  if (entry && entry->code == kResultScenario)
    for (size_t i = 0; i < items_.size(); ++i) indent_ = std::max(indent_, 24 * LineLook(static_cast<int>(i)).depth);
}

void TResultsPanel::LayOutColumns(int width) {
  auto layOut = [&](int nameLimit) {
    return PlaceResultColumns(measuredColumns_, nameLimit > 0 ? nameLimit - indent_ : 0, indent_, captionWidths_);
  };
  columns_ = layOut(0);
  if (columns_.widths.size() < 2) return;
  int others = 0;
  for (size_t k = 1; k < columns_.widths.size(); ++k) others += columns_.widths[k] + kColumnGap;
  // The names give way to the numbers, down to two fifths of the list.
  const int room = width - 19 - 4 - others;
  if (columns_.widths[0] > room) columns_ = layOut(std::max(room, width * 2 / 5));
}

void TResultsPanel::LayOutColumns(Canvas& canvas, int width) {
  MeasureColumns(canvas, Font{});
  LayOutColumns(width);
}

std::vector<std::string> TResultsPanel::ColumnCaptions() const {
  const TResultTypeEntry* entry = table_.Entry(CurrentResultType);
  if (!entry || items_.empty()) return {};
  std::vector<std::string> captions;
  switch (entry->code) {
    case kResultReferences:
    case kResultReferenceFields1:
    case kResultReferenceFields2:
    case kResultEpisode: captions = {Text(kMsgCaptionClass), Text(kMsgCaptionCount), Text(kMsgCaptionShare)}; break;
    case kResultScenario:
      captions = {Text(kMsgCaptionClass), Text(kMsgCaptionCount), Text(kMsgCaptionParent), Text(kMsgCaptionShare)};
      break;
    case kResultRelations: captions = {Text(kMsgCaptionRelation), Text(kMsgCaptionCount)}; break;
    case kResultVerbs:
    case kResultAdjectives:
    case kResultSubstantives: captions = {Text(kMsgCaptionWord), Text(kMsgCaptionCount)}; break;
    default: return {};
  }
  return captions;
}

void TResultsPanel::DrawHeader(Canvas& canvas, const Rect& r) const {
  const std::vector<std::string> captions = ColumnCaptions();
  for (size_t k = 0; k < captions.size() && k < columns_.starts.size(); ++k) {
    if (k == 0) {
      canvas.TextRect(r, r.left + 19, r.top, captions[k]);
      continue;
    }
    // Over a number column, right-aligned as its numbers; a caption wider
    // than its column reaches to the left into the gap before it.
    const int right = r.left + 19 + columns_.starts[k] + columns_.widths[k];
    canvas.TextRect(r, right - canvas.TextWidth(captions[k]), r.top, captions[k]);
  }
}

}  // namespace quilor::ui
