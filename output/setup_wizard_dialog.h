// TAssistantSetup, the first-run set-up wizard, and the runner that start-up
// calls when the user's folders are not set.
#pragma once

#include <QDialog>

#include "engine/startup.h"
#include "output/setup_wizard_model.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace quilor::ui {

class TAssistantSetup : public QDialog {
  Q_OBJECT
 public:
  explicit TAssistantSetup(QWidget* parent = nullptr);
  // The choice when the dialog closed: Done's, or single user when closed otherwise.
  SetupWizardChoice Result() const { return result_; }
  const SetupWizardModel& Model() const { return model_; }

  void ButtonSuivantClick();
  void ButtonPrecedentClick();
  void ButtonTerminerClick();
  void ButtonDossierSortieClick();
  QRadioButton* MonoButton() const { return mono_; }
  QRadioButton* MultiButton() const { return multi_; }
  QPushButton* DoneButton() const { return done_; }
  QPushButton* NextButton() const { return next_; }
  QPushButton* BackButton() const { return back_; }

 private:
  void Apply();
  SetupWizardModel model_;
  SetupWizardChoice result_;
  QStackedWidget* pages_ = nullptr;
  QRadioButton* mono_ = nullptr;
  QRadioButton* multi_ = nullptr;
  QCheckBox* samples_ = nullptr;
  QLabel* folderLabel_ = nullptr;
  QPushButton* back_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* done_ = nullptr;
  QPushButton* help_ = nullptr;
};

class SetupWizardDialogRunner : public SetupWizard {
 public:
  SetupWizardChoice Run() override;
};

}  // namespace quilor::ui
