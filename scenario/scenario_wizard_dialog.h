// The New Scenario wizard's window: six pages over ScenarioWizard.
#pragma once

#include <QDialog>

#include "scenario/scenario_wizard.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace quilor::ui {

class ScenarioWizardDialog : public QDialog {
  Q_OBJECT
 public:
  ScenarioWizardDialog(ScenarioEditor& editor, QWidget* parent = nullptr);
  ScenarioWizard& Wizard() { return wizard_; }
  // Takes the widgets' values into the wizard, runs a button, shows the page.
  void Next();
  void Back();
  void Done();

 private:
  void Take();
  void Show();

  ScenarioWizard wizard_;
  QStackedWidget* pages_ = nullptr;
  QRadioButton* empty_ = nullptr;
  QRadioButton* fromText_ = nullptr;
  QRadioButton* existing_ = nullptr;
  QRadioButton* levels_[5] = {};
  QLineEdit* threshold_ = nullptr;
  QCheckBox* subclassify_ = nullptr;
  QListWidget* files_ = nullptr;
  QPushButton* help_ = nullptr;
  QPushButton* back_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* done_ = nullptr;
};

}  // namespace quilor::ui
