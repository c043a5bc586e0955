// The Results tab's widgets over TResultsPanel (mainwindow/results_panel.h):
// the list of result types (ListBoxFonctions), the two actor checkboxes and
// the results list (ListBoxModItems: a model under a list view, each line
// drawn by the panel through a PainterCanvas). The widgets show the panel's
// state and forward clicks; the panel decides everything.
#pragma once

#include <QAbstractListModel>
#include <QMimeData>
#include <QStyledItemDelegate>
#include <QWidget>

#include "mainwindow/main_window_layout.h"
#include "mainwindow/results_panel.h"

class QCheckBox;
class QListView;
class QListWidget;

namespace quilor::ui {

// The lines of the results list (UTF-8, TABs shown as blanks).
class ResultsListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit ResultsListModel(const TResultsPanel& panel, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  // A line is dragged as its item name with the result type it is shown
  // under (kMimeResultItem).
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  // The panel's lines changed.
  void Reload();

 private:
  const TResultsPanel& panel_;
};

// Draws a results line with its mark or tree through the panel.
class ResultsLineDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  explicit ResultsLineDelegate(const TResultsPanel& panel, QObject* parent = nullptr);
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // The points of the lines' text, a line's height and the least width of a
  // line (the list scrolls sideways below it).
  void SetSizes(int fontSize, int lineHeight, int width);

 private:
  const TResultsPanel& panel_;
  int fontSize_ = 8;
  int lineHeight_ = 16;
  int width_ = 0;
};

class ResultsPanelWidget : public QWidget {
  Q_OBJECT
 public:
  explicit ResultsPanelWidget(TResultsPanel& panel, QWidget* parent = nullptr);

  // Shows the panel's state again (after an analysis or a change made elsewhere).
  void Sync();
  // The lines' height, points and sideways extent (the large-fonts option).
  void SetListFonts(const ListFonts& fonts);
  QListWidget* ResultTypeList() const { return types_; }
  QListView* ResultsList() const { return items_; }
  QCheckBox* ActantBox() const { return actant_; }
  QCheckBox* ActeBox() const { return acte_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  // A results line was clicked (the text and graph may show the selection).
  void lineSelected(int line);
  // The lines or the result type changed (the toolbar follows).
  void changed();
  // A word of the text page was dropped on the results list.
  void textWordDropped();
  // A click in the left margin of the Scenario list (Reduce all / Expand all).
  void treeMarginClicked();

 private:
  void SyncItems();

  TResultsPanel& panel_;
  QListWidget* types_;
  QCheckBox* actant_;
  QCheckBox* acte_;
  QListView* items_;
  ResultsListModel* model_;
  QWidget* header_;
  ResultsLineDelegate* lines_ = nullptr;
  QStyledItemDelegate* typeLines_ = nullptr;
  ListFonts fonts_;
  bool syncing_ = false;

 public:
  // The captions over the results list's columns.
  QWidget* Header() const { return header_; }
  TResultsPanel& Panel() const { return panel_; }
  // Lays the columns out again for the list's width, after measuring the
  // lines when they changed.
  void LayOutColumns(bool measure = true);
};

}  // namespace quilor::ui
