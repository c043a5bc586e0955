// "OWL Import Filter": the options of the OWL import and its run. The
// produced Scenario file name is empty when nothing was produced.
#pragma once

#include <QDialog>

#include <string>

#include "scenario/owl_import_logic.h"

class QCheckBox;
class QLabel;
class QStatusBar;

namespace quilor::ui {

class OwlImportDialog : public QDialog {
  Q_OBJECT
 public:
  OwlImportDialog(const std::string& inputPath, QWidget* parent = nullptr);
  const std::string& ProducedFile() const { return produced_; }
  const std::string& LogFile() const { return logPath_; }

 private:
  void ButtonOKClick();

  std::string input_;
  std::string produced_;
  std::string logPath_;
  QCheckBox* flexed_ = nullptr;
  QCheckBox* unicode_ = nullptr;
  QCheckBox* languages_ = nullptr;
  QCheckBox* restrictions_ = nullptr;
  QCheckBox* verbose_ = nullptr;
  QCheckBox* dump_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace quilor::ui
