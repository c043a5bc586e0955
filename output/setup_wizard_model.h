// The first-run set-up wizard's pages and buttons: start (how many users),
// folder (multi-user: where the parameters go), end. Plain state; the dialog
// shows it.
#pragma once

#include <string>

#include "engine/startup.h"

namespace quilor::ui {

class SetupWizardModel {
 public:
  enum class Users { kNone, kSingle, kMulti };
  // What Next asks the dialog to do.
  enum class NextResult { kMoved, kChooseOption, kBrowseFolder, kNone };

  int Page() const { return page_; }  // 1 start, 2 folder, 3 end
  bool BackEnabled() const { return page_ != 1; }
  bool NextEnabled() const { return page_ != 3; }
  bool DoneEnabled() const { return page_ == 3 || (page_ == 2 && !folder_.empty()); }

  void SetUsers(Users users) { users_ = users; }
  Users UsersChoice() const { return users_; }
  // The folder browser's answer; "" (cancelled) clears the folder.
  void SetFolder(const std::string& folder) { folder_ = folder; }
  const std::string& Folder() const { return folder_; }
  void SetCopySamples(bool on) { copySamples_ = on; }

  // Page 1 with no choice asks for one (message 756); single user goes to
  // page 3; multi-user to page 2 with proposedFolder when none is chosen.
  // Page 2 without a folder asks for the browser first.
  NextResult Next(const std::string& proposedFolder);
  void Back();
  // What start-up receives when the wizard closes (Done); the close box
  // gives a single-user set-up.
  SetupWizardChoice Choice() const;
  static SetupWizardChoice ClosedChoice() { return SetupWizardChoice{}; }

 private:
  int page_ = 1;
  Users users_ = Users::kNone;
  std::string folder_;
  bool copySamples_ = true;
};

constexpr int kMsgChooseAnOption = 756;

}  // namespace quilor::ui
