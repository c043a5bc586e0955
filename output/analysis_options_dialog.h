// "Analysis options": thresholds, the relation level, the Scenario on all
// word categories, the characteristic parts, and how Word and PDF documents
// are converted. Its logic is AnalysisOptionsLogic; Accept keeps the dialog
// open when nothing could be stored.
#pragma once

#include <QDialog>

#include "output/analysis_options_logic.h"
#include "output/number_box_qt.h"

class QCheckBox;
class QRadioButton;
class QSlider;
class QTabWidget;

namespace quilor::ui {

class TOptionsAnalyse : public QDialog {
  Q_OBJECT
 public:
  // conversionPage: open on the conversion page (a PDF opened with PDF conversion off).
  explicit TOptionsAnalyse(bool conversionPage = false, QWidget* parent = nullptr);

  // Accept: true when the values were stored and the dialog closed.
  bool ButtonOkClick();
  bool Changed() const { return logic_.Changed(); }

  NumberBox* WordsEdit() const { return words_; }
  NumberBox* PertinenceEdit() const { return pertinence_; }
  QRadioButton* RelationButton(int level) const { return relation_[level - 1]; }
  QCheckBox* ScenarioBox() const { return scenario_; }
  QRadioButton* PdfButton() const { return pdfOn_; }
  QTabWidget* Pages() const { return pages_; }

 private:
  AnalysisOptionsValues Values() const;
  void ShowPdf(bool on);

  AnalysisOptionsLogic logic_;
  QTabWidget* pages_ = nullptr;
  QRadioButton* byWords_ = nullptr;
  QRadioButton* byPertinence_ = nullptr;
  NumberBox* words_ = nullptr;
  NumberBox* pertinence_ = nullptr;
  QRadioButton* relation_[4] = {};
  QCheckBox* scenario_ = nullptr;
  QSlider* quantity_ = nullptr;
  QRadioButton* wordBinary_ = nullptr;
  QRadioButton* wordDetailed_ = nullptr;
  QRadioButton* pdfOff_ = nullptr;
  QRadioButton* pdfOn_ = nullptr;
};

}  // namespace quilor::ui
