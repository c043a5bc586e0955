// "OWL Import Filter": the options of the OWL import and its run. The
// produced Scenario file name is empty when nothing was produced.
#pragma once

#include <QDialog>

#include <string>

#include "import/owl_import.h"

class QCheckBox;
class QLabel;
class QStatusBar;

namespace quilor::ui {

constexpr int kMsgOwlImportFilter = 7400;

// The options as the import's window leaves them, with the general option and the analysis language.
OwlImportOptions OwlOptionsFromSettings(bool flexedForms, bool unicode, bool otherLanguages, bool restrictions,
                                        bool verbose, bool dump);
// Runs the import of a file into the user's Scenario folder; shows the
// failure of a step in a message box. The produced file, or empty.
std::string RunOwlImport(const std::string& inputPath, const OwlImportOptions& options, std::string& logPath);

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
