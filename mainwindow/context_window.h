// The context window (TFormContexte): the text around one word in a page of
// its own, its scroll bar, the document's name and Internet address, and the
// commands on the document. TContextModel (mainwindow/context_model.h) does
// the work; the window shows it and forwards the user's commands.
#pragma once

#include <QWidget>

#include <functional>
#include <string>

#include "mainwindow/context_model.h"

class QAction;
class QToolBar;
class QLineEdit;
class QScrollBar;
class QToolButton;

namespace quilor::ui {

class TextImageWidget;

class ContextWindow : public QWidget {
  Q_OBJECT
 public:
  explicit ContextWindow(QWidget* parent = nullptr);

  // Shows the context of a word (the page starts ten words before it).
  void AfficherLeContexte(int32_t wordPosition);
  void AfficherLeContexte(int32_t wordPosition, int32_t pageStart);
  void ScrollBy(ScrollCode code, int32_t position);
  TContextModel& Model() { return model_; }

  // The main window opens a document with the program (not set: disabled).
  std::function<void(const std::string&)> OpenWithProgram;
  // The copy window is asked for the text around a word (not set: disabled).
  std::function<void(int32_t)> CopyAround;
  // The word search is opened on the word at a position (not set: disabled).
  void SetSearchWordAt(std::function<void(int32_t)> f);

  QLineEdit* DocumentField() const { return edit1_; }
  QLineEdit* UrlField() const { return editUrl_; }
  QAction* OpenWithProgramAction() const { return openWithProgram_; }
  QAction* WebAction() const { return web_; }
  QAction* SearchAction() const { return search_; }
  QAction* OpenWithDesktopAction() const { return openWithDesktop_; }
  QAction* HelpAction() const { return help_; }
  QToolBar* ToolBar() const { return tools_; }
  TextImageWidget* ImageTexte() const { return image_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Redraw();
  void ShowDocument();

  TContextModel model_;
  std::function<void(int32_t)> searchWordAt_;
  TextImageWidget* image_;
  QScrollBar* scrollBar_;
  QLineEdit* edit1_;
  QLineEdit* editUrl_;
  QAction* openWithProgram_;
  QAction* openWithDesktop_;
  QAction* web_;
  QAction* localise_;
  QAction* search_;
  QAction* copy_;
  QAction* move_;
  QAction* help_;
  QToolBar* tools_;
};

}  // namespace quilor::ui
