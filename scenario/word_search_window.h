// The word search window (TDlgRechMot): a thin view of the TDlgRechMot logic
// (scenario/word_search.h). It shows the field with its history, the meanings
// as a check list drawn by DrawMeaningLine, the search and Scenario controls,
// and forwards every action; drops of results lines and text words fill the
// field.
#pragma once

#include <QStyledItemDelegate>
#include <QWidget>

#include "scenario/word_search.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QMimeData;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace quilor::ui {

class MainWindowPort;

// Draws a meaning line after its check box.
class MeaningLineDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  explicit MeaningLineDelegate(const TDlgRechMot& logic, QObject* parent = nullptr)
      : QStyledItemDelegate(parent), logic_(logic) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  const TDlgRechMot& logic_;
};

class WordSearchWindow : public QWidget {
  Q_OBJECT
 public:
  explicit WordSearchWindow(TDlgRechMot& logic, QWidget* parent = nullptr);
  ~WordSearchWindow() override;

  // Shows the logic's state again.
  void Sync();
  // A drop's data: a results line or a word of the text; false when not taken.
  bool DropMime(const QMimeData& data);
  TDlgRechMot& Logic() { return logic_; }

  QComboBox* EditUnMot() const { return editUnMot_; }
  QListWidget* ListBoxSens() const { return listBoxSens_; }
  QRadioButton* RadioButtonMot() const { return radioMot_; }
  QRadioButton* RadioButtonClasse() const { return radioClasse_; }
  QCheckBox* CheckBoxMotEntier() const { return motEntier_; }
  QCheckBox* CheckBoxDepuisDebut() const { return depuisDebut_; }
  QPushButton* ButtonChercher() const { return chercher_; }
  QPushButton* ButtonInserer() const { return inserer_; }
  QRadioButton* RadioButtonInserer() const { return radioInserer_; }
  QRadioButton* RadioButtonAjouter() const { return radioAjouter_; }
  QCheckBox* CheckBoxSousClasserScenario() const { return sousClasser_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void OnItemChanged(QListWidgetItem* item);

  TDlgRechMot& logic_;
  QComboBox* editUnMot_;
  QListWidget* listBoxSens_;
  QRadioButton* radioMot_;
  QRadioButton* radioClasse_;
  QCheckBox* motEntier_;
  QCheckBox* depuisDebut_;
  QPushButton* chercher_;
  QPushButton* inserer_;
  QRadioButton* radioInserer_;
  QRadioButton* radioAjouter_;
  QCheckBox* sousClasser_;
  QToolButton* lier_;
  QToolButton* nePasArrimer_;
  QGroupBox* groupBox1_;
  QLabel* hint_;
  QMenu* popupMenu1_;
  bool syncing_ = false;
};

// Opens the program's word search window (made on first use, a child of
// parent working for the main window) and brings it to the front.
WordSearchWindow* ShowWordSearch(MainWindowPort& main, QWidget& parent);
// Opens it with a text in its field, its meanings listed (an empty text
// leaves the field as it was).
void SearchInWordSearch(MainWindowPort& main, QWidget& parent, const std::string& text);
// The main window the other windows open the word search for (its port and
// its widget); it is forgotten when that widget goes.
void SetWordSearchOwner(MainWindowPort& main, QWidget& parent);
// SearchInWordSearch for that owner; false when there is none.
bool OpenWordSearchWith(const std::string& text);
// The open word search window, or nullptr.
WordSearchWindow* OpenWordSearch();

}  // namespace quilor::ui
