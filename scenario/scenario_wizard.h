// The New Scenario wizard without its window: the pages and their Next,
// Back and Done, and the three ways of building a Scenario (empty, from the
// current text, merged from existing Scenario files).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "scenario/scenario_editor.h"

namespace quilor::ui {

constexpr int kMsgOpenADocumentFirst = 7500;
constexpr int kMsgTextQuiteSmall = 7501;
constexpr int kMsgChooseAWay = 756;
constexpr int kMsgIncorrectValues = 7503;
constexpr int kMsgSelectFiles = 7504;
constexpr int kMsgListOfClasses = 7505;
constexpr int kMsgUnclassifiedReferences = 7506;
constexpr int kMsgNoClassAtThisLevel = 7507;
constexpr int kMsgMergeFailed = 7508;
constexpr int kMsgWizardTitle = 7518;
constexpr int kMsgWizardWayHeading = 7519;
constexpr int kMsgWizardWayText = 7520;
constexpr int kMsgWizardLevelHeading = 7521;
constexpr int kMsgWizardLevelText = 7522;
constexpr int kMsgWizardThresholdHeading = 7523;
constexpr int kMsgWizardThresholdLabel = 7524;
constexpr int kMsgWizardSubclassifyText = 7525;
constexpr int kMsgWizardReadyHeading = 7526;
constexpr int kMsgWizardReadyText = 7514;
constexpr int kMsgWizardFilesHeading = 7527;
constexpr int kMsgWizardFilesLabel = 7528;
constexpr int kHelpScenarioWizard = 966;
constexpr uint32_t kWizardMinimumWords = 200;

enum class WizardWay { kNone, kEmpty, kFromText, kExisting };
enum class WizardLevel { kReferenceFields1, kReferenceFields2, kReferences, kUnclassified, kSubstantives };

// Builds the Scenario of a level of the current text: one group per class
// (or text-index name for level 0) reaching the threshold. False when the
// level has no class in the text (nothing changes then).
bool ScenarioFromText(ScenarioEditor& editor, int level, uint32_t threshold, bool unclassified, bool noRootGroup);
// The empty Scenario, without a name, loaded and the analysis re-run.
void NewEmptyScenario(ScenarioEditor& editor);
// Appends the lines of the files (names in the Scenario folder) into a new
// file of the folder, "Qu<pid>_<n>.scn", created exclusively. The made file,
// or empty when a file could not be read or written (no partial file is
// left). The files a merge of a process that is gone left behind (a merge
// killed half-way) are removed first.
std::string MergeScenarioFiles(const std::vector<std::string>& names);
// Removes those files from the Scenario folder (the wizard does it before it
// lists the folder's Scenarios). The number removed.
int RemoveStaleMergeFiles();
// Loads the merged file as the current Scenario, without a name and
// modified (its file is erased afterwards).
void ReloadMergedScenario(ScenarioEditor& editor, const std::string& mergedPath);

class ScenarioWizard {
 public:
  explicit ScenarioWizard(ScenarioEditor& editor) : editor_(editor) {}

  int page = 1;
  WizardWay way = WizardWay::kNone;
  WizardLevel level = WizardLevel::kReferences;
  std::string threshold = "2";
  bool subclassify = true;
  std::vector<std::string> selectedFiles;
  bool closed = false;

  // The number of words of the loaded text, and the main window's file dialog.
  std::function<uint32_t()> textWordCount;
  std::function<void()> openDocument;

  void ButtonSuivantClick();
  void ButtonPrecedentClick();
  void LevelClicked(WizardLevel chosen);
  void ButtonTerminerClick();

 private:
  ScenarioEditor& editor_;
};

}  // namespace quilor::ui
