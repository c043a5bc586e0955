// The copy window (TFormCopierTexte): a passage of the analysed text as plain
// paragraphs, to copy, to search a word of, or to add a word of to the
// Scenario. BuildCopyText (mainwindow/copy_text_model.h) makes the text; the
// window shows it, marks the selected words and forwards the commands.
#pragma once

#include <QWidget>

#include <functional>
#include <string>

#include "mainwindow/copy_text_model.h"

class QAction;
class QPushButton;
class QTextEdit;

namespace quilor::ui {

class ScenarioEditorPort;

class CopyWindow : public QWidget {
  Q_OBJECT
 public:
  explicit CopyWindow(QWidget* parent = nullptr);

  // The Scenario editor (not owned; nullptr: it does not exist).
  void SetScenarioEditor(ScenarioEditorPort* editor) { editor_ = editor; }
  // The word search is opened on a text (not set: disabled).
  void SetSearchWord(std::function<void(const std::string&)> f);
  // ChargerTexteSelectionne: the text around the chosen word, or (selection
  // and extract mode on) the propositions of the selection.
  void ChargerTexteSelectionne(bool selection);
  void SetChosenWordPosition(int32_t position) { chosen_ = position; }

  // Copy: the selection (more than one character) or, with none, the whole text.
  void Copy();
  void AddToScenario();
  void InsertIntoScenario();
  // The enabled state of the popup's commands.
  void UpdateCommands();

  QTextEdit* RichEdit() const { return edit_; }
  QAction* AddAction() const { return add_; }
  QAction* InsertAction() const { return insert_; }
  QAction* SearchAction() const { return search_; }
  const TCopyText& Content() const { return text_; }

 private:
  std::string SelectedText() const;

  TCopyText text_;
  int32_t chosen_ = 0;
  ScenarioEditorPort* editor_ = nullptr;
  std::function<void(const std::string&)> searchWord_;
  QTextEdit* edit_;
  QPushButton* copyButton_;
  QPushButton* exitButton_;
  QPushButton* helpButton_;
  QAction* copy_;
  QAction* search_;
  QAction* add_;
  QAction* insert_;
};

}  // namespace quilor::ui
