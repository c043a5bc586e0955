#include "scenario/terminology_extractor.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/chartables.h"
#include "core/files.h"
#include "core/inflection.h"
#include "core/messages.h"
#include "core/name_index.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "ui/desktop.h"
#include "ui/main_window_port.h"
#include "platform/text_encoding.h"
#include "ui/scenario_editor_port.h"

namespace quilor::ui {

namespace {

// The pair index of a run: words in 6 segments, pairs in 12.
constexpr int kWordSegments = 6;
constexpr int kPairSegments = 12;
constexpr int kMinimumSignificantLines = 4;

// Punctuation that ends a compound.
constexpr const char* kCompoundBreaks = "<>\"#()*+,/{|\xA7";

std::string Key(const std::string& text) {
  char buffer[kWordBufferSize + 2] = {};
  std::strncpy(buffer, text.c_str(), kWordBufferSize);
  NormaliseKey(buffer);
  return buffer;
}

bool IsCurrencySign(unsigned char c) { return c == '$' || c == 0x80 || c == 0xA3 || c == 0xA5; }

bool IsMarkNode(const TWordNode* node) { return node->text && node->text[0] == '/' && node->text[1] == '\0'; }

std::string Lower(const std::string& text) {
  std::string lower = text;
  LowerCaseString(lower);
  return lower;
}

}  // namespace

TermSource TermSource::Engine() {
  TermSource source;
  source.level1Occurrences = [](uint32_t cls) {
    return OntologyEngine && cls != 0 ? OntologyEngine->ClassOccurrences(1, static_cast<int32_t>(cls)) : 0u;
  };
  source.scenarioEntry = [](const std::string& key) -> uint32_t {
    uint32_t entry = 0;
    if (!OntologyEngine || !OntologyEngine->ScenarioEntryOfWord(key, entry)) return 0;
    return entry;
  };
  source.scenarioName = [](uint32_t entry) {
    return OntologyEngine ? OntologyEngine->ScenarioClassName(static_cast<int32_t>(entry)) : std::string();
  };
  return source;
}

// ------------------------------------------------------------------ candidates

TermCandidates::TermCandidates() : index_(std::make_unique<TPairIndex>(kWordSegments, kPairSegments)) {}
TermCandidates::~TermCandidates() = default;

void TermCandidates::EndCompound() {
  head_.clear();
  compound_.clear();
  adjective_.clear();
}

bool TermCandidates::RecordCompound(const std::string& compound) {
  if (index_->FindPair(compound.c_str())) {
    uint32_t count = 0;
    index_->CountCurrentPair(count, compound.c_str(), head_.c_str());
    return true;
  }
  return index_->AddPair(compound.c_str(), head_.c_str());
}

bool TermCandidates::AddToCompound(const std::string& word, bool link, bool record) {
  if (compound_.empty()) {
    // A link cannot start a compound, nor can a single character.
    if (link || word.size() < 2) return true;
    std::string start = word;
    std::replace(start.begin() + 1, start.end(), '_', ' ');
    compound_ = start;
    head_ = start;
    const int entry = index_->FindNameEntry(head_.c_str());
    if (entry > 0) index_->IncrementMergeCount(entry);
    else if (!index_->AddNameIfAbsent(head_.c_str())) return false;
    if (!adjective_.empty() && adjective_.size() + start.size() < kMaxCompoundLength) {
      compoundWithAdjective_ = adjective_ + "_" + start;
      if (!RecordCompound(compoundWithAdjective_)) return false;
    }
    return true;
  }
  if (word.size() + compound_.size() > kMaxCompoundLength) return true;
  compound_ += "_" + word;
  if (!record) return true;
  if (!RecordCompound(compound_)) return false;
  // The compound with the adjective that came before its head word.
  if (!adjective_.empty() && adjective_.size() + compound_.size() < kMaxCompoundLength) {
    compoundWithAdjective_ = adjective_ + "_" + compound_;
    if (!RecordCompound(compoundWithAdjective_)) return false;
  }
  return true;
}

bool TermCandidates::Scan(const TWordList& words, const TermSource& source) {
  EndCompound();
  compoundWithAdjective_.clear();
  wordCount_ = 0;
  complete_ = false;
  if (!index_->ready) return false;
  // The nodes are walked directly: the list's cursor and bookmarks, which
  // the text view and the word search stand on, do not move.
  for (const TWordNode* node = words.First(); node && node != words.Tail(); node = TWordList::NextNode(node)) {
    ++wordCount_;
    if (!node->text) continue;
    if (IsMarkNode(node)) {
      EndCompound();
      continue;
    }
    const std::string word = node->text;
    const TCategoryRecord& category = node->category.Category;
    const std::string_view tag(node->tag, strnlen(node->tag, sizeof node->tag));
    if (tag.find_first_of(kCompoundBreaks) != std::string_view::npos) EndCompound();
    if (word.empty()) continue;
    if (IsCurrencySign(static_cast<unsigned char>(word[0]))) {
      EndCompound();
      continue;
    }
    bool ok = true;
    if (IsSubstantive(category)) {
      const uint32_t cls = node->category.ClassIds[0];
      if (source.level1Occurrences && source.level1Occurrences(cls) >= 2) ok = AddToCompound(word, false, true);
    } else if (IsAdjective(category) && !(word[0] >= '0' && word[0] <= '9')) {
      if (compound_.empty()) adjective_ = word;
      else ok = AddToCompound(word, true, true);
    } else {
      adjective_.clear();
      if (!compound_.empty()) {
        if (IsDeterminant(category) || IsDeterminantVariant(category)) ok = AddToCompound(word, true, false);
        else EndCompound();
      }
    }
    if (!ok) return true;  // the index is full
  }
  complete_ = true;
  return true;
}

std::vector<std::string> TermCandidates::Filter(const TermFilter& filter, const TermSource& source) {
  std::vector<std::string> lines;
  TPairIndex& index = *index_;
  // Plural merge: a plural whose singular is a candidate gives it its count.
  const int names = index.NameEntryCount();
  for (int i = 1; i <= names; ++i) {
    char key[kWordBufferSize + 2] = {};
    std::strncpy(key, index.NameOfEntry(i), kWordBufferSize);
    NormaliseKey(key);
    if (!IsPlural(key)) continue;
    char alternative[kWordBufferSize] = {};
    if (!Singular(key, alternative)) continue;
    const int j = index.FindNameEntry(key);
    if (j > 0 && j != i) index.RenameAndMergeEntry(i, j, key);
  }
  if (filter.showUnclassified) {
    const uint32_t threshold = filter.mostSignificant ? 2 : 1;
    for (int i = 1; i <= names; ++i) {
      const std::string name = index.NameOfEntry(i);
      const std::string key = Key(name);
      const uint32_t count = index.MergeCountOf(i);
      if (count <= threshold || (source.scenarioEntry && source.scenarioEntry(key) != 0)) continue;
      lines.push_back(MakeTermLine(name, key, count));
    }
  }
  if (filter.showCompounds) {
    const uint32_t threshold = filter.mostSignificant ? 3 : 2;
    const uint32_t pairs = std::min<uint32_t>(index.PairCount(), kMaxNameEntries);
    for (uint32_t i = 1; i <= pairs; ++i) {
      const char* name = nullptr;
      uint32_t link = 0;
      uint32_t count = 0;
      if (!index.PairInfo(static_cast<int>(i), &name, link, count)) break;
      if (count < threshold || !name) continue;
      lines.push_back(MakeTermLine(index.NameOfEntry(static_cast<int>(link)), Key(name), count));
    }
  }
  return lines;
}

// ------------------------------------------------------------------ lines

TermLine ParseTermLine(const std::string& line) {
  TermLine parsed;
  const size_t tab = line.find('\t');
  if (tab != std::string::npos) {
    parsed.head = line.substr(0, tab);
    const size_t second = line.find('\t', tab + 1);
    parsed.term = line.substr(tab + 1, second == std::string::npos ? std::string::npos : second - tab - 1);
    if (second != std::string::npos) parsed.count = line.substr(second + 1);
  } else {
    parsed.head = line;
  }
  for (const char* cut : {" = ", " ("}) {
    const size_t at = parsed.head.find(cut);
    if (at != std::string::npos) {
      if (parsed.term.empty()) parsed.term = parsed.head.substr(at + std::strlen(cut));
      parsed.head.resize(at);
    }
  }
  if (parsed.term.empty()) parsed.term = parsed.head;
  return parsed;
}

std::string MakeTermLine(const std::string& head, const std::string& term, uint32_t count) {
  return head + "\t" + term + "\t" + (count == 0 ? std::string("*") : std::to_string(count));
}

Rgb TermLineShade(uint32_t count) {
  count = std::min<uint32_t>(count, 255);
  if (count < 3) return 0xFFE8E8;
  if (count < 5) return 0xFFD0D0;
  if (count < 10) return 0xFFA5A5;
  if (count < 15) return 0xFF8080;
  return 0xFF4040;
}

void DrawTermLine(Canvas& canvas, const Rect& r, const std::string& line, bool selected, bool largeFonts) {
  const TermLine parsed = ParseTermLine(line);
  const uint32_t count = static_cast<uint32_t>(std::strtoul(parsed.count.c_str(), nullptr, 10));
  const Rgb navy = MakeRgb(0, 0, 128);
  const Rgb grey = MakeRgb(128, 128, 128);
  canvas.SetPen(selected ? navy : TermLineShade(count));
  canvas.SetBrush(selected ? navy : TermLineShade(count));
  canvas.FillRect(r);
  // The sunken frame: grey above and left, white below and right.
  const int shift = largeFonts ? 3 : 0;
  const Rect f{r.left + shift, r.top, r.right - 1 - shift, r.bottom - 1};
  canvas.SetPen(grey);
  canvas.Line({f.left, f.bottom}, {f.left, f.top});
  canvas.Line({f.left, f.top}, {f.right, f.top});
  canvas.SetPen(kWhite);
  canvas.Line({f.right, f.top}, {f.right, f.bottom});
  canvas.Line({f.right, f.bottom}, {f.left, f.bottom});
  Font font;
  font.size = largeFonts ? 12 : 8;
  font.colour = selected ? kWhite : kBlack;
  canvas.SetFont(font);
  canvas.SetTextBackground(false);
  const std::string text = parsed.head + " => " + parsed.term + " (" + parsed.count + ")";
  const int y = r.top + std::max(0, (r.Height() - canvas.TextHeight(text)) / 2);
  canvas.TextOut(r.left + 4 + shift, y, text);
}

// ------------------------------------------------------------------ dialog

TDlgExtracteurTerminologique::TDlgExtracteurTerminologique(MainWindowPort* main,
                                                           std::function<ScenarioEditorPort*()> editor,
                                                           TermSource source, TWordList* words)
    : main_(main), editor_(std::move(editor)), source_(std::move(source)), words_(words ? words : &TextWords) {
  if (Options) {
    const bool compounds = Options->Switch(opt::TermShowCompounds);
    const bool unclassified = Options->Switch(opt::TermShowUnclassified);
    show = compounds && !unclassified   ? Show::kCompounds
           : !compounds && unclassified ? Show::kUnclassified
                                        : Show::kAll;
    mostSignificant = Options->Switch(opt::TermMostSignificant);
    locateInScenario = Options->Switch(opt::TermLocateAutomatically);
    locateInText = Options->Switch(opt::TermLocateInText);
    subclassify = !Options->Switch(opt::DoNotSubclassify);
  }
}

void TDlgExtracteurTerminologique::SetStatus(const std::string& text) {
  status_ = text;
  if (refreshView) refreshView();
}

void TDlgExtracteurTerminologique::RunTermExtraction() {
  ShowHourglass();
  previousLine_ = -1;
  lastFound_ = -1;
  TermCandidates candidates;
  buttonsEnabled_ = false;
  SetStatus(GetMessageText(kMsgTermWait));
  TermFilter filter;
  filter.mostSignificant = mostSignificant;
  filter.showCompounds = show != Show::kUnclassified;
  filter.showUnclassified = show != Show::kCompounds;
  if (Options) {
    Options->Set(opt::TermShowCompounds, filter.showCompounds ? 1 : 0);
    Options->Set(opt::TermShowUnclassified, filter.showUnclassified ? 1 : 0);
    Options->Set(opt::TermMostSignificant, filter.mostSignificant ? 1 : 0);
  }
  lines_.clear();
  // A scan stopped by a full index keeps what it counted: the filter runs on that.
  if (candidates.Scan(*words_, source_)) {
    lines_ = candidates.Filter(filter, source_);
    buttonsEnabled_ = true;
  }
  std::stable_sort(lines_.begin(), lines_.end(),
                   [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
  SetStatus(GetMessageText(static_cast<int>(lines_.size()) >= kMinimumSignificantLines ? kMsgTermCanAdd
                                                                                       : kMsgTermNonSignificant));
  RestoreCursor();
}

void TDlgExtracteurTerminologique::Locate(const std::string& key, bool again) {
  TWordList& words = *words_;
  // The word search keeps its own place in bookmarks 5 and 7.
  TWordNode* searchPlace = words.Bookmark(kBookmarkWordSearch);
  TWordNode* foundPlace = words.Bookmark(kBookmarkFoundWord);
  TWordNode* cursor = words.Cursor();
  if (again && lastFound_ >= 0) words.SeekPosition(lastFound_ + 1);
  else words.Rewind();
  words.SaveCursor(kBookmarkWordSearch);
  const int32_t position = FindWordInText(key, true, words);
  words.SetBookmark(kBookmarkWordSearch, searchPlace);
  words.SetBookmark(kBookmarkFoundWord, foundPlace);
  words.SetCursor(cursor);
  lastFound_ = position;  // past the last one the next click starts from the first word
  if (position >= 0 && main_) main_->GoToWordPosition(position);
}

void TDlgExtracteurTerminologique::ListBox1Click(int index) {
  if (index < 0 || index >= static_cast<int>(lines_.size())) return;
  const TermLine line = ParseTermLine(lines_[static_cast<size_t>(index)]);
  SetStatus(line.term);
  const std::string key = Key(line.head);
  const bool again = index == previousLine_;
  if (locateInText) Locate(key, again);
  if (!again && locateInScenario) {
    ScenarioEditorPort* editor = editor_ ? editor_() : nullptr;
    if (editor && editor->IsOpen()) {
      editor->SetSearchText(line.head);
      const uint32_t entry = source_.scenarioEntry ? source_.scenarioEntry(key) : 0;
      bool found = false;
      if (entry != 0 && source_.scenarioName) found = editor->FindNodeByLabel(source_.scenarioName(entry), true);
      if (!found && !editor->FindNodeByLabel(key, true)) {
        int start = 0;
        editor->FindNextNode(key, start, false);
      }
    }
  }
  previousLine_ = index;
}

void TDlgExtracteurTerminologique::AddToScenario(const std::vector<int>& selected, bool insert) {
  ScenarioEditorPort* editor = editor_ ? editor_() : nullptr;
  if (!editor) return;
  if (!editor->IsOpen()) {
    editor->Open();
    return;
  }
  if (Options) Options->Set(opt::DoNotSubclassify, subclassify ? 0 : 1);
  editor->BeginUpdateTreeView();
  std::vector<int> added;
  for (int index : selected) {
    if (index < 0 || index >= static_cast<int>(lines_.size())) continue;
    const std::string term = ParseTermLine(lines_[static_cast<size_t>(index)]).term;
    bool ok;
    if (!insert || !editor->NodeSelected()) {
      ok = editor->AddWordInNewGroup(term, '?');
    } else {
      ok = editor->InsertWords(term, '?', subclassify);
      if (ok) editor->SelectParent();
    }
    if (!ok) break;
    added.push_back(index);
  }
  // Only the lines that went into the Scenario leave the list.
  std::sort(added.begin(), added.end());
  added.erase(std::unique(added.begin(), added.end()), added.end());
  for (auto it = added.rbegin(); it != added.rend(); ++it) lines_.erase(lines_.begin() + *it);
  if (!added.empty()) previousLine_ = -1;
  editor->SortTree();
  editor->EndUpdateTreeView();
  if (refreshView) refreshView();
}

void TDlgExtracteurTerminologique::PopupMenuCopyClick() {
  std::string text;
  for (const std::string& line : lines_) text += Cp1252ToUtf8(line) + "\r\n";
  CurrentDesktop().SetClipboardText(text);
  SetStatus(GetMessageText(kMsgTermCopied));
}

void TDlgExtracteurTerminologique::FormClose() {
  if (!Options) return;
  Options->Set(opt::TermLocateAutomatically, locateInScenario ? 1 : 0);
  Options->Set(opt::TermLocateInText, locateInText ? 1 : 0);
  Options->Set(opt::DoNotSubclassify, subclassify ? 0 : 1);
}

}  // namespace quilor::ui
