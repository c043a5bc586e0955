// "Print": the print dialog. The user ticks the sections, may set up the
// printer and choose the print font and colour printing; Print stores the
// choices in the options and prints every ticked section on one QPainter.
// InstallPrintCommands connects the main window's print command to it.
#pragma once

#include <QDialog>

#include <memory>

#include "ui/canvas.h"
#include "mainwindow/print_sections.h"

class QCheckBox;
class QListWidget;
class QPrinter;

namespace quilor::ui {

class TVekEditForm;

class TFormParamImpression : public QDialog {
  Q_OBJECT
 public:
  explicit TFormParamImpression(QWidget* parent = nullptr);
  ~TFormParamImpression() override;

  // The ticks of the list.
  TPrintFlags Flags() const;
  void SetFlags(const TPrintFlags& flags);
  QCheckBox* Colours() const { return colours_; }
  QListWidget* List() const { return list_; }
  QPrinter& Printer() { return *printer_; }
  const Font& PrintFont() const { return font_; }
  // Print: stores the choices, prints, closes; the outcome of the print.
  TPrintOutcome ButtonOkClick();

 private:
  QListWidget* list_ = nullptr;
  QCheckBox* colours_ = nullptr;
  std::unique_ptr<QPrinter> printer_;
  Font font_;
};

void InstallPrintCommands(TVekEditForm& window);

}  // namespace quilor::ui
