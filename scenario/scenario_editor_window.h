// The "Scenario Tool" window: a thin view of ScenarioEditor (tree, attribute
// panel, search field, menus, tool bar, status line). Every command goes to
// the editor; the window rebuilds its tree from the editor's model.
#pragma once

#include <QMainWindow>

#include <functional>

#include "scenario/scenario_editor.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QTabWidget;
class QTextBrowser;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class QAction;
class QMimeData;

namespace quilor::ui {

// What the editor asks of the main window: its document dialog (the
// wizard's "open a document now") and its general options (Edit > Options).
struct ScenarioToolHooks {
  std::function<void()> openDocument;
  std::function<void()> showOptions;
  std::function<void()> addSelectedResult;  // the results list's "add to the Scenario"
  // The word search takes a label and lists its meanings; false when there
  // is no main window to open it for.
  std::function<bool(const std::string& text)> searchWord;
};
// Set once by the main window; the editor made afterwards takes them.
void SetScenarioToolHooks(ScenarioToolHooks hooks);

class ScenarioEditorWindow : public QMainWindow {
  Q_OBJECT
 public:
  // The width the window opens with when the screen allows it.
  static constexpr int kDefaultWidth = 420;

  explicit ScenarioEditorWindow(ScenarioEditor& editor, QWidget* parent = nullptr);
  ~ScenarioEditorWindow() override;

  ScenarioEditor& Editor() { return editor_; }
  QTreeWidget* TreeWidget() const { return tree_; }
  QToolBar* ToolBar() const { return toolbar_; }
  QTabWidget* Pages() const { return pages_; }
  QTextBrowser* ExplanationPage() const { return explanation_; }
  // The status line as shown.
  QString StatusText() const;
  // Rebuilds the tree and the texts from the editor.
  void Refresh();
  // Prints the tree on a printer that is already set up (PDF in tests);
  // the number of pages printed.
  int PrintTree(QPrinter& printer);
  // A word of the text page or a results line dropped on node target (0:
  // none); false when the data is not one of those or not taken now.
  bool DropFromOtherWindow(const QMimeData* data, int target);
  // Whether the tree or the attribute panel takes such data now.
  bool TakesDrop(const QMimeData* data) const;
  // The same dropped on the attribute panel: a word of the text page goes
  // in as dropped on the tree outside every node; a results line is added
  // by the main window's command for its selected result.
  bool DropOnPanel(const QMimeData* data);

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Coming back to the window: options changed meanwhile (the fonts) apply.
  void changeEvent(QEvent* event) override;

 private:
  void BuildActions();
  // The large-fonts option on the tree, the attribute panel and the status
  // line, applied when it changed since the last time.
  void ApplyFontSizeOption();
  void UpdatePanel();
  void RebuildTree();
  void OnSelectionChanged();
  void OnItemChanged(QTreeWidgetItem* item);
  void Print();
  int NodeOf(QTreeWidgetItem* item) const;
  friend class ScenarioTreeWidget;
  void DropInside(int source, int target);

  ScenarioEditor& editor_;
  QTreeWidget* tree_ = nullptr;
  QLineEdit* search_ = nullptr;
  QLabel* groupLabel_ = nullptr;
  QLabel* itemLabel_ = nullptr;
  QLabel* picture_ = nullptr;
  QCheckBox* visible_ = nullptr;
  QWidget* panel_ = nullptr;
  QTabWidget* pages_ = nullptr;
  QTextBrowser* explanation_ = nullptr;
  QLabel* statusText_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  QAction* actOptions_ = nullptr;
  QAction* actImportOwl_ = nullptr;
  QAction* actCut_ = nullptr;
  QAction* actPaste_ = nullptr;
  QAction* actDelete_ = nullptr;
  QAction* actDissociate_ = nullptr;
  QAction* actUpper_ = nullptr;
  QAction* actRename_ = nullptr;
  QAction* actCancelAll_ = nullptr;
  QAction* actPrint_ = nullptr;
  QAction* actCreateItem_ = nullptr;
  uint64_t shownGeneration_ = ~0ull;
  bool rebuilding_ = false;
  int appliedLargeFonts_ = -1;
};

// The program's one editor window (made on first use, the editor with it).
ScenarioEditorWindow* ScenarioEditorWindowInstance(MainWindowPort* mainWindow, QWidget* parent);

}  // namespace quilor::ui
