// The terminology extractor window (TDlgExtracteurTerminologique): a thin
// view of its logic (scenario/terminology_extractor.h). The Terms page lists
// the lines drawn by DrawTermLine (several may be selected), the Options page
// chooses what is listed, the Explanations page tells how to use it; the
// Scenario and Locate boxes, Restore, Close, Help, the popup menu and the
// status bar forward to the logic.
#pragma once

#include <QStyledItemDelegate>
#include <QWidget>

#include <memory>
#include <vector>

#include "scenario/terminology_extractor.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTextBrowser;

namespace quilor::ui {

class MainWindowPort;

// Draws a term line on its shade.
class TermLineDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  explicit TermLineDelegate(const TDlgExtracteurTerminologique& logic, QObject* parent = nullptr)
      : QStyledItemDelegate(parent), logic_(logic) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  const TDlgExtracteurTerminologique& logic_;
};

class TerminologyWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TerminologyWindow(std::unique_ptr<TDlgExtracteurTerminologique> logic, QWidget* parent = nullptr);
  ~TerminologyWindow() override;

  TDlgExtracteurTerminologique& Logic() { return *logic_; }
  // RunTermExtraction with the options of the radio buttons.
  void RunTermExtraction();
  // Shows the logic's lines and status again.
  void Sync();
  // The selected lines, in list order.
  std::vector<int> SelectedLines() const;

  QTabWidget* PageControl() const { return pages_; }
  QListWidget* ListBox1() const { return list_; }
  QTextBrowser* RichEdit4() const { return explanation_; }
  QPushButton* ButtonInserer() const { return inserer_; }
  QPushButton* ButtonRetablir() const { return retablir_; }
  QRadioButton* RadioButtonAfficherExpressions() const { return expressions_; }
  QRadioButton* RadioButtonAfficherNonClasses() const { return nonClasses_; }
  QRadioButton* RadioButtonToutAfficher() const { return tout_; }
  QRadioButton* RadioButtonMotsTresSignificatifs() const { return significatifs_; }
  QRadioButton* RadioButtonNePasFiltrer() const { return nePasFiltrer_; }
  QRadioButton* RadioButtonInserer() const { return radioInserer_; }
  QRadioButton* RadioButtonAjouter() const { return radioAjouter_; }
  QCheckBox* CheckBoxSousClasserScenario() const { return sousClasser_; }
  QCheckBox* CheckBoxRechercheAutomatique() const { return automatique_; }
  QCheckBox* CheckBoxLocaliserTexte() const { return localiserTexte_; }
  QMenu* PopupMenu1() const { return popup_; }
  QLabel* StatusBar1() const { return status_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void ReadControls();

  std::unique_ptr<TDlgExtracteurTerminologique> logic_;
  QTabWidget* pages_;
  QListWidget* list_;
  QTextBrowser* explanation_;
  QRadioButton* expressions_;
  QRadioButton* nonClasses_;
  QRadioButton* tout_;
  QRadioButton* significatifs_;
  QRadioButton* nePasFiltrer_;
  QGroupBox* groupScenario_;
  QPushButton* inserer_;
  QRadioButton* radioInserer_;
  QRadioButton* radioAjouter_;
  QCheckBox* sousClasser_;
  QGroupBox* groupLocaliser_;
  QCheckBox* automatique_;
  QCheckBox* localiserTexte_;
  QPushButton* retablir_;
  QPushButton* annuler_;
  QPushButton* aide_;
  QMenu* popup_;
  QLabel* status_;
};

// The open extractor, or null.
TerminologyWindow* OpenTerminologyWindow();
// Creates the extractor once (a child of parent working for the main window,
// or brings it to the front) and runs its extraction.
TerminologyWindow* ShowTerminologyWindow(MainWindowPort& main, QWidget& parent);

}  // namespace quilor::ui
