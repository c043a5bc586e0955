#include "output/borders_editor.h"

#include <algorithm>
#include <cstring>

#include "core/borders.h"
#include "core/chartables.h"
#include "core/files.h"
#include "core/messages.h"
#include "core/options.h"

namespace quilor::ui {

namespace {

constexpr int kMsgBorders = 574;
constexpr int kMsgStoreInFolder = 1221;
constexpr int kMsgCopyManually = 1222;
constexpr size_t kItemTextMax = 80;

constexpr int kMsgSaveBorders = 552;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The list's order: letters compared without case, as the check list sorts.
bool Before(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Lower(x) < Lower(y); });
}

std::string NameOf(const std::string& path) { return FileNamePart(path.c_str()); }

}  // namespace

bool BordersEditor::BordersChanged = false;

BordersEditor::BordersEditor(MainWindowPort* main) : main_(main) {
  display_ = appliedDisplay_ = Options->Switch(opt::ShowBorders);
  Reload();
}

void BordersEditor::Reload() {
  items_.clear();
  if (Borders.list != nullptr && Borders.list->Ready())
    for (const TBorderEntry& entry : Borders.list->Entries())
      items_.push_back({entry.Text.substr(0, kItemTextMax), entry.Filters()});
  std::stable_sort(items_.begin(), items_.end(),
                   [](const BorderItem& a, const BorderItem& b) { return Before(a.text, b.text); });
  selected_ = items_.empty() ? -1 : std::min(selected_, static_cast<int>(items_.size()) - 1);
  modified_ = false;
}

std::string BordersEditor::Caption() const {
  std::string caption = GetMessageText(kMsgBorders);
  const std::string name = Options->Get(opt::BordersFileName);
  if (!name.empty()) caption += " : " + name;
  return caption;
}

std::string BordersEditor::CurrentPath() const {
  const std::string name = Options->Get(opt::BordersFileName);
  std::string path;
  if (name.empty() || !JoinFolderAndName(WorkContext->BordersFolder, name, path)) return {};
  return path;
}

int BordersEditor::Find(const std::string& key) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].text == key) return static_cast<int>(i);
  return -1;
}

bool BordersEditor::Add(const std::string& typed) {
  char key[kItemTextMax + 1] = {};
  std::strncpy(key, typed.c_str(), kItemTextMax);
  NormaliseKey(key);
  const std::string text(key);
  if (text.empty()) return false;
  const int found = Find(text);
  modified_ = true;
  if (found >= 0) {
    selected_ = found;
    return false;
  }
  const auto at = std::upper_bound(items_.begin(), items_.end(), text,
                                   [](const std::string& t, const BorderItem& item) { return Before(t, item.text); });
  selected_ = static_cast<int>(at - items_.begin());
  items_.insert(at, BorderItem{text, false});
  return true;
}

bool BordersEditor::Delete() {
  if (selected_ < 0 || selected_ >= static_cast<int>(items_.size())) return false;
  items_.erase(items_.begin() + selected_);
  selected_ = items_.empty() ? -1 : std::max(0, selected_ - 1);
  modified_ = true;
  return true;
}

void BordersEditor::IncludeAll() {
  for (BorderItem& item : items_) item.checked = false;
  modified_ = true;
}

void BordersEditor::ExcludeAll() {
  for (BorderItem& item : items_) item.checked = true;
  modified_ = true;
}

void BordersEditor::SetChecked(int index, bool checked) {
  if (index < 0 || index >= static_cast<int>(items_.size())) return;
  items_[index].checked = checked;
  modified_ = true;
}

void BordersEditor::SetDisplayInText(bool on) {
  display_ = on;
  Options->Set(opt::ShowBorders, static_cast<uint8_t>(on ? 1 : 0));
  modified_ = true;
}

void BordersEditor::BuildBorderList() const {
  ClearBorderList();
  for (const BorderItem& item : items_) AddBorderEntry(MakeBorderEntry(item.text, item.checked));
}

bool BordersEditor::NeedsName() const { return CurrentPath().empty(); }

bool BordersEditor::Save() {
  const std::string path = CurrentPath();
  if (path.empty()) return false;
  BordersChanged = true;
  BuildBorderList();
  // The writer keeps the previous file as its backup itself.
  if (!WriteBordersFile(*Borders.list, path)) return false;
  modified_ = false;
  return true;
}

bool BordersEditor::InBordersFolder(const std::string& path) const {
  if (FileIsInFolder(path, WorkContext->BordersFolder)) return true;
  std::string text = GetMessageText(kMsgStoreInFolder);
  text += "\"" + WorkContext->BordersFolder + "\" ";
  text += GetMessageText(kMsgCopyManually);
  ShowError(text);
  return false;
}

bool BordersEditor::SaveAs(const std::string& chosen) {
  if (!InBordersFolder(chosen)) return false;
  const std::string path = ReplaceExtension(chosen, ".dlm");
  BordersChanged = true;
  BuildBorderList();
  if (!WriteBordersFile(*Borders.list, path)) return false;
  Options->Set(opt::BordersFileName, NameOf(path));
  modified_ = false;
  return true;
}

bool BordersEditor::SaveWithName(const NameChooser& chooseName) {
  if (!NeedsName()) return Save();
  const std::string path = chooseName ? chooseName() : std::string();
  return !path.empty() && SaveAs(path);
}

bool BordersEditor::SaveAndApply(const NameChooser& chooseName) {
  if (modified_ && !SaveWithName(chooseName)) return false;
  Apply();
  return true;
}

bool BordersEditor::AskToSave(const NameChooser& chooseName) {
  if (!modified_) return true;
  if (!AskYesNo(GetMessageText(kMsgSaveBorders))) return true;
  return SaveWithName(chooseName);
}

bool BordersEditor::New(const NameChooser& chooseName) {
  if ((main_ != nullptr && main_->Printing()) || !AskToSave(chooseName)) return false;
  New();
  return true;
}

bool BordersEditor::Open(const NameChooser& chooseFile, const NameChooser& chooseName) {
  if ((main_ != nullptr && main_->Printing()) || !AskToSave(chooseName)) return false;
  const std::string path = chooseFile ? chooseFile() : std::string();
  return !path.empty() && Open(path);
}

void BordersEditor::New() {
  Options->Set(opt::BordersFileName, std::string_view());
  ClearBorderList();
  items_.clear();
  selected_ = -1;
  modified_ = false;
  BordersChanged = true;
  Apply();
}

bool BordersEditor::Open(const std::string& path) {
  if (!InBordersFolder(path)) return false;
  // Read aside: the Borders in use change only when the file was read.
  TBorderList read;
  if (!ReadBordersFile(read, path)) return false;
  ClearBorderList();
  for (const TBorderEntry& entry : read.Entries()) AddBorderEntry(entry);
  Options->Set(opt::BordersFileName, NameOf(path));
  Reload();
  BordersChanged = true;
  Apply();
  return true;
}

void BordersEditor::Cancel() { Reload(); }

bool BordersEditor::Apply() {
  if (modified_) {
    BordersChanged = true;
    BuildBorderList();
  }
  bool rerun = false;
  if (BordersChanged || display_ != appliedDisplay_) {
    BuildBordersIndex();
    if (main_ != nullptr && main_->TextLoaded()) {
      main_->ReLancerAnalyse();
      rerun = true;
    }
  }
  appliedDisplay_ = display_;
  BordersChanged = false;
  modified_ = false;
  return rerun;
}

}  // namespace quilor::ui
