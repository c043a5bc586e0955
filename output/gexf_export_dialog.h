// "XML Exports (GEXF)": the modal dialog of the GEXF export. Its logic is
// GexfExportRun (output/gexf_dialog_logic.h); the dialog shows the settings,
// the statistics and the status line. During an export Esc, the close box
// and the Exit button only ask the export to stop.
#pragma once

#include <QDialog>

#include "output/gexf_dialog_logic.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace quilor::ui {

class TDlgExportsGEXFDansQuilor : public QDialog {
  Q_OBJECT
 public:
  explicit TDlgExportsGEXFDansQuilor(QWidget* parent = nullptr);

  // The Export button.
  void ButtonOkClick();
  bool Running() const { return running_; }
  QLineEdit* FolderEdit() const { return folder_; }
  QLineEdit* SubfolderEdit() const { return subfolder_; }
  QCheckBox* MatrixBox() const { return matrix_; }
  QLabel* StatusLabel() const { return status_; }
  QTabWidget* Pages() const { return pages_; }

  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  GexfDialogSettings Settings() const;
  void ShowStatistics(const GexfRunReport& report);
  void ColourMatrixWarning();
  void SetStatus(const QString& text, const char* colour);

  QTabWidget* pages_ = nullptr;
  QLineEdit* folder_ = nullptr;
  QLineEdit* subfolder_ = nullptr;
  QCheckBox* browse_ = nullptr;
  QCheckBox* openResults_ = nullptr;
  QCheckBox* reduction_ = nullptr;
  QCheckBox* discardNodes_ = nullptr;
  QCheckBox* discardTop_ = nullptr;
  QCheckBox* depthLevel_ = nullptr;
  QCheckBox* matrix_ = nullptr;
  QLabel* matrixWarning_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* stats_[7] = {};
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* help_ = nullptr;
  int documents_ = 0;
  bool running_ = false;
  bool abort_ = false;
};

}  // namespace quilor::ui
