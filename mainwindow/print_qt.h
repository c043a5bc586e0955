// Printing on a QPrinter: one QPainter begun once for the whole print, a
// new page for each section. The same code prints to the desktop's printers
// and to PDF files.
#pragma once

#include <memory>
#include <string>

#include "mainwindow/print_sections.h"

class QPrinter;
class QPainter;

namespace quilor::ui {

class PainterCanvas;

class QPrinterTarget : public PrintTarget, public PrintSurface {
 public:
  // The printer stays the caller's and must outlive the target.
  explicit QPrinterTarget(QPrinter& printer);
  ~QPrinterTarget() override;

  PrintSurface* Begin(const Font& font, TPageMetrics& metrics) override;
  void End() override;
  Canvas& PageCanvas() override;
  bool NewPage() override;

 private:
  QPrinter& printer_;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<PainterCanvas> canvas_;
  // Printing to a file: the pages go to a new file beside it, which takes
  // the file's name once whole (a link there is replaced, never followed).
  std::string fileName_;
  std::string temporary_;
  // Puts the file's own name back; the temporary file takes it when installed.
  void EndFile(bool install);
};

// Prints the request to a PDF file; false (after the error box) when the
// file cannot be written. Nothing ticked writes no file.
bool PrintToPdf(const std::string& path, const TPrintRequest& request, TPrintOutcome* outcome = nullptr);

}  // namespace quilor::ui
