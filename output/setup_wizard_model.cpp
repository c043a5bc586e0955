#include "output/setup_wizard_model.h"

namespace quilor::ui {

SetupWizardModel::NextResult SetupWizardModel::Next(const std::string& proposedFolder) {
  if (page_ == 1) {
    if (users_ == Users::kNone) return NextResult::kChooseOption;
    if (users_ == Users::kSingle) {
      page_ = 3;
      return NextResult::kMoved;
    }
    if (folder_.empty()) folder_ = proposedFolder;
    page_ = 2;
    return NextResult::kMoved;
  }
  if (page_ == 2) {
    if (folder_.empty()) return NextResult::kBrowseFolder;
    page_ = 3;
    return NextResult::kMoved;
  }
  return NextResult::kNone;
}

void SetupWizardModel::Back() {
  if (page_ == 2) page_ = 1;
  else if (page_ == 3) page_ = users_ == Users::kMulti ? 2 : 1;
}

SetupWizardChoice SetupWizardModel::Choice() const {
  SetupWizardChoice choice;
  choice.multiUser = users_ == Users::kMulti;
  if (choice.multiUser) choice.folder = folder_;
  choice.copySampleTexts = choice.multiUser ? copySamples_ : true;
  return choice;
}

}  // namespace quilor::ui
