// "Borders": the modeless, always-on-top editor of the Borders. Its logic is
// BordersEditor (output/borders_editor.h); the dialog shows the sorted check
// list and forwards the user's acts. Words dropped from the results list or
// the text view are added as Borders.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

#include "output/borders_editor.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace quilor::ui {

class TDialogueDelimiteurs : public QDialog {
  Q_OBJECT
 public:
  // droppedWord gives the word a drag from the main window carries ("" none):
  // from a list the selected result's name, else the word the text drag started on.
  using DroppedWord = std::function<std::string(bool fromList)>;
  TDialogueDelimiteurs(MainWindowPort* main, DroppedWord droppedWord, QWidget* parent = nullptr);

  BordersEditor& Editor() { return editor_; }
  QListWidget* List() const { return list_; }
  QLineEdit* Term() const { return edit_; }
  QPushButton* ApplyButton() const { return apply_; }
  QPushButton* CancelButton() const { return cancel_; }
  QCheckBox* DisplayBox() const { return display_; }

  void ButtonAjouterClick();
  void ButtonAppliquerClick();
  // Refills the list from the editor (after every change).
  void Refill();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  std::string ChooseSaveName();
  std::string ChooseOpenName();
  // Runs a command of the dialog. A chooser or the analysis run again waits
  // in an event loop of its own; a close asked for meanwhile is done once
  // the command has finished, never under it.
  template <class Command>
  void Run(Command command);
  void Changed();

  BordersEditor editor_;
  MainWindowPort* main_;
  DroppedWord droppedWord_;
  QListWidget* list_ = nullptr;
  QLineEdit* edit_ = nullptr;
  QCheckBox* display_ = nullptr;
  QPushButton* apply_ = nullptr;
  QPushButton* cancel_ = nullptr;
  bool filling_ = false;
  int running_ = 0;
  bool closeAfterCommand_ = false;
};

}  // namespace quilor::ui
