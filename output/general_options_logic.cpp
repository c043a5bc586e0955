#include "output/general_options_logic.h"

#include "core/messages.h"
#include "core/options.h"
#include "engine/startup.h"
#include "output/analysis_options_logic.h"

namespace quilor::ui {

namespace {

constexpr int kMsgCopyManually = 915;
constexpr int kMsgContinue = 549;
constexpr int kMsgRestart = 914;
constexpr int kMsgWarningThreshold = 1057;

bool On(U8Field f) { return Options->Switch(f); }
void Put(U8Field f, bool on) { Options->Set(f, static_cast<uint8_t>(on ? 1 : 0)); }

}  // namespace

GeneralOptionsValues GeneralOptionsValues::FromOptions() {
  GeneralOptionsValues v;
  v.confirmDeletions = On(opt::ConfirmDeletions);
  v.wizardWhenEmpty = On(opt::RunWizardWhenEmpty);
  v.openScenarioAtStart = On(opt::OpenScenarioAtStart);
  v.showHelpPanel = On(opt::ShowHelpPanel);
  v.keepFileHistory = On(opt::KeepFileHistory);
  v.largeFonts = On(opt::LargeFonts);
  v.sortAlphabetical = On(opt::SortAlphabetical);
  v.linkCompoundWords = On(opt::LinkCompoundWords);
  v.groupsInCapitals = On(opt::GroupsInCapitals);
  v.formsWithoutAccent = On(opt::AddFormsWithoutAccent);
  v.extractsByProposition = On(opt::ExtractsByProposition);
  v.showFileNames = !On(opt::HideFileNames);
  const uint16_t memory = Options->Get(opt::SizeThreshold);
  v.memoryText = std::to_string(memory < 1 ? 10 : memory);
  return v;
}

bool GeneralOptionsValues::ToOptions() const {
  int memory = 0;
  if (!ParseNumberField(memoryText, kMemoryLow, kMemoryHigh, memory)) {
    ShowError(NumberFieldMessage(kMsgWarningThreshold, NumberRangeText(kMemoryLow, kMemoryHigh)));
    return false;
  }
  Put(opt::ConfirmDeletions, confirmDeletions);
  Put(opt::RunWizardWhenEmpty, wizardWhenEmpty);
  Put(opt::OpenScenarioAtStart, openScenarioAtStart);
  Put(opt::ShowHelpPanel, showHelpPanel);
  Put(opt::KeepFileHistory, keepFileHistory);
  Put(opt::LargeFonts, largeFonts);
  Put(opt::SortAlphabetical, sortAlphabetical);
  Put(opt::LinkCompoundWords, linkCompoundWords);
  Put(opt::GroupsInCapitals, groupsInCapitals);
  Put(opt::AddFormsWithoutAccent, formsWithoutAccent);
  Put(opt::ExtractsByProposition, extractsByProposition);
  Put(opt::HideFileNames, !showFileNames);
  Options->Set(opt::SizeThreshold, static_cast<uint16_t>(memory));
  return true;
}

InstallationChange::Outcome InstallationChange::Run() {
  std::string question = GetMessageText(kMsgCopyManually);
  question += " ";
  question += GetMessageText(kMsgContinue);
  if (!AskYesNo(question)) return Outcome::kUnchanged;
  ReadUserFolders(true);
  // A restart goes through the normal shut-down: the options are saved.
  return AskYesNo(GetMessageText(kMsgRestart)) ? Outcome::kRestartNow : Outcome::kChangedKeepRunning;
}

}  // namespace quilor::ui
