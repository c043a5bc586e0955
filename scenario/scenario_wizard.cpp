#include "scenario/scenario_wizard.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <string_view>

#include "core/chartables.h"
#include "core/class_file.h"
#include "core/files.h"
#include "core/messages.h"
#include "core/name_index.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/startup.h"
#include "platform/read_file.h"
#include "platform/safe_save.h"
#include "scenario/anomaly_list.h"
#include "scenario/texts.h"

namespace quilor::ui {

namespace {

std::string GroupName(std::string name) {
  if (Options->Switch(opt::GroupsInCapitals) && !name.empty())
    name[0] = static_cast<char>(ToUpperChar(static_cast<unsigned char>(name[0])));
  for (size_t i = 1; i < name.size(); ++i)
    if (name[i] == '_') name[i] = ' ';
  return name;
}

void Rerun(ScenarioEditor& editor) {
  if (editor.MainWindow() && editor.MainWindow()->TextLoaded()) editor.MainWindow()->ReLancerAnalyse();
}

}  // namespace

void NewEmptyScenario(ScenarioEditor& editor) {
  if (!editor.AskSaveIfModified()) return;
  editor.Tree().Clear();
  editor.Tree().SetModified(false);
  if (OntologyEngine) OntologyEngine->BeginSignatureRenumbering(true);
  ScenarioAnomalies().Clear();
  Options->Set(opt::ScenarioFileName, "");
  LoadCurrentScenario();
  editor.FillTreeFromScenario();
  Rerun(editor);
}

bool ScenarioFromText(ScenarioEditor& editor, int level, uint32_t threshold, bool unclassified, bool noRootGroup) {
  if (editor.MainWindow() && editor.MainWindow()->Printing()) return false;
  if (!editor.AskSaveIfModified()) return false;
  if (!OntologyEngine) return false;
  TOntologyEngine& engine = *OntologyEngine;
  engine.BeginSignatureRenumbering(true);
  if (level > 0 && engine.RankedClassTotal(level) < 1) {
    ShowError(Msg(kMsgNoClassAtThisLevel));
    return false;
  }
  Options->Set(opt::ScenarioFileName, "");
  ScenarioTree& tree = editor.Tree();
  tree.Clear();
  int root = 0;
  if (!noRootGroup) root = tree.AddGroup(0, Msg(unclassified ? kMsgUnclassifiedReferences : kMsgListOfClasses), true);
  if (level > 0) {
    for (int32_t rank = 1; rank <= engine.RankedClassTotal(level); ++rank) {
      if (engine.RankedClassOccurrences(level, rank) < threshold) continue;
      const int32_t cls = engine.RankedClass(level, rank);
      const bool added = engine.IsAddedClass(level, cls);
      if (unclassified && (!added || engine.ClassScenarioEntry(level, cls) != 0)) continue;
      const std::string name = engine.RankedClassName(level, rank);
      const int group = tree.AddGroup(root, GroupName(name), true);
      tree.AddItem(group, name, added ? '0' : static_cast<char>('0' + level));
    }
  } else if (TextIndex) {
    for (uint32_t i = 1; i <= TextIndex->entries; ++i) {
      if (TextIndex->TextIndexCountOf(i) < threshold || !TextIndex->TextIndexNameOf(i)) continue;
      const std::string name = TextIndex->TextIndexNameOf(i);
      const int group = tree.AddGroup(root, GroupName(name), true);
      tree.AddItem(group, name, 'S');
    }
  }
  tree.SortAll();
  tree.SetModified(true);
  ScenarioFile.Clear();
  if (editor.WriteTreeToScenario()) {
    engine.LoadScenario(ScenarioFile, GroupNumbering.forceRenumbering);
    Rerun(editor);
  }
  return true;
}

namespace {

// "Qu<pid>_<n>.scn", the name MergeScenarioFiles gives its file: the process
// id, or 0 for any other name.
int PidOfMergeFile(std::string_view name) {
  constexpr std::string_view kPrefix = "Qu", kExtension = ".scn";
  if (name.size() <= kPrefix.size() + kExtension.size() || name.substr(0, kPrefix.size()) != kPrefix ||
      name.substr(name.size() - kExtension.size()) != kExtension)
    return 0;
  const std::string_view middle = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kExtension.size());
  const size_t bar = middle.find('_');
  if (bar == 0 || bar == std::string_view::npos || bar > 9 || bar + 1 == middle.size()) return 0;
  int pid = 0;
  for (size_t i = 0; i < middle.size(); ++i) {
    if (i == bar) continue;
    if (middle[i] < '0' || middle[i] > '9') return 0;
    if (i < bar) pid = pid * 10 + (middle[i] - '0');
  }
  return pid;
}

}  // namespace

int RemoveStaleMergeFiles() { return RemoveFilesOfGoneProcesses(WorkContext->UserScenarioFolder, PidOfMergeFile); }

// Bigger Scenario files are not merged.
constexpr size_t kMaxMergedFile = size_t{64} << 20;

std::string MergeScenarioFiles(const std::vector<std::string>& names) {
  const std::string folder = WorkContext->UserScenarioFolder;
  // What a merge killed half-way left in the folder goes first.
  RemoveStaleMergeFiles();
  std::string made;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    made = folder + "/Qu" + std::to_string(::getpid()) + "_" + std::to_string(attempt) + ".scn";
    fd = ::open(made.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return {};
  bool ok = true;
  for (const std::string& name : names) {
    // A regular file only: a FIFO among the names must not hang the merge.
    std::string text;
    if (ReadWholeFile(folder + "/" + name, kMaxMergedFile, text) != ReadFileStatus::kOk) {
      ok = false;
      break;
    }
    for (size_t at = 0; ok && at < text.size();) {
      size_t end = text.find('\n', at);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(at, end - at);
      at = end + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.size() > 511) line.resize(511);
      line += "\r\n";
      ok = WriteAll(fd, line);
    }
    if (!ok) break;
  }
  if (::close(fd) != 0) ok = false;
  if (!ok) {
    ::unlink(made.c_str());
    ShowError(Msg(kMsgMergeFailed));
    return {};
  }
  return made;
}

void ReloadMergedScenario(ScenarioEditor& editor, const std::string& mergedPath) {
  if (editor.MainWindow() && editor.MainWindow()->Printing()) return;
  ShowHourglass();
  // A merge that cannot be read back leaves the current Scenario as it was.
  if (!MakeScenarioCurrent(std::filesystem::path(mergedPath).filename().string())) {
    RestoreCursor();
    return;
  }
  Options->Set(opt::ScenarioFileName, "");
  editor.FillTreeFromScenario();
  // Its file goes once it is read: the merged Scenario exists only in the
  // editor until it is saved under a name.
  editor.Tree().SetModified(true);
  RestoreCursor();
  Rerun(editor);
}

void ScenarioWizard::ButtonSuivantClick() {
  MainWindowPort* main = editor_.MainWindow();
  switch (page) {
    case 1:
      if (way == WizardWay::kEmpty) {
        page = 5;
      } else if (way == WizardWay::kFromText) {
        if (!main || !main->TextLoaded()) {
          if (AskYesNo(Msg(kMsgOpenADocumentFirst)) && openDocument) openDocument();
        } else if ((textWordCount ? textWordCount() : 0) >= kWizardMinimumWords) {
          page = 2;
          main->ShowResultType(3);
        } else if (AskYesNo(Msg(kMsgTextQuiteSmall)) && openDocument) {
          openDocument();
        }
      } else if (way == WizardWay::kExisting) {
        page = 6;
      } else {
        ShowError(Msg(kMsgChooseAWay));
      }
      break;
    case 2: page = 3; break;
    case 3: {
      uint32_t value = 0;
      const char* b = threshold.data();
      auto [ptr, ec] = std::from_chars(b, b + threshold.size(), value);
      if (threshold.empty() || ec != std::errc() || ptr != b + threshold.size()) {
        ShowError(Msg(kMsgIncorrectValues));
        break;
      }
      Options->Set(opt::WizardThreshold, value);
      page = 4;
      break;
    }
    case 6: ButtonTerminerClick(); break;
    default: break;
  }
}

void ScenarioWizard::ButtonPrecedentClick() {
  if (page >= 2 && page <= 4) --page;
  else if (page == 5 || page == 6) page = 1;
}

void ScenarioWizard::LevelClicked(WizardLevel chosen) {
  level = chosen;
  MainWindowPort* main = editor_.MainWindow();
  if (!main || !main->TextLoaded()) return;
  static const int kResultType[] = {1, 2, 3, 10, 3};
  main->ShowResultType(kResultType[static_cast<int>(chosen)]);
}

void ScenarioWizard::ButtonTerminerClick() {
  switch (way) {
    case WizardWay::kEmpty:
      NewEmptyScenario(editor_);
      closed = true;
      break;
    case WizardWay::kFromText: {
      static const int kLevel[] = {3, 2, 1, 1, 0};
      const bool unclassified = level == WizardLevel::kUnclassified;
      const uint32_t value = Options->Get(opt::WizardThreshold);
      Options->Set(opt::WizardLevel, static_cast<uint16_t>(kLevel[static_cast<int>(level)]));
      Options->Set(opt::WizardUnclassifiedReferences, unclassified ? 1 : 0);
      Options->Set(opt::WizardNoRootGroup, subclassify ? 0 : 1);
      closed = ScenarioFromText(editor_, kLevel[static_cast<int>(level)], value, unclassified, !subclassify);
      break;
    }
    case WizardWay::kExisting: {
      if (selectedFiles.empty()) {
        ShowError(Msg(kMsgSelectFiles));
        page = 6;
        return;
      }
      if (!editor_.AskSaveIfModified()) return;
      const std::string merged = MergeScenarioFiles(selectedFiles);
      if (merged.empty()) return;
      ReloadMergedScenario(editor_, merged);
      std::error_code ec;
      std::filesystem::remove(merged, ec);
      closed = true;
      break;
    }
    case WizardWay::kNone: ShowError(Msg(kMsgChooseAWay)); break;
  }
}

}  // namespace quilor::ui
