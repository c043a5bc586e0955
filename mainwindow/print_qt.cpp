#include "mainwindow/print_qt.h"

#include <QPainter>
#include <QPageLayout>
#include <QPrinter>

#include <unistd.h>

#include <algorithm>

#include "core/messages.h"
#include "ui/painter_canvas_qt.h"
#include "platform/safe_save.h"
#include "ui/print_margins_qt.h"
#include "platform/text_encoding.h"

namespace quilor::ui {

namespace {
constexpr int kMsgPageFailed = 7341;
}  // namespace

QPrinterTarget::QPrinterTarget(QPrinter& printer) : printer_(printer) {}

QPrinterTarget::~QPrinterTarget() { End(); }

PrintSurface* QPrinterTarget::Begin(const Font& font, TPageMetrics& metrics) {
  ApplyPrintMargins(printer_);
  fileName_ = printer_.outputFileName().toStdString();
  if (!fileName_.empty()) {
    const int fd = CreateUniqueFile(fileName_, temporary_);
    if (fd >= 0) {
      ::close(fd);
      printer_.setOutputFileName(QString::fromStdString(temporary_));
    } else {
      temporary_.clear();  // the folder refuses new files: the start below says so
    }
  }
  painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(&printer_)) {
    painter_.reset();
    EndFile(false);
    ShowError(PrintStartFailure(Utf8ToCp1252(fileName_), Utf8ToCp1252(printer_.printerName().toStdString())));
    return nullptr;
  }
  painter_->setRenderHint(QPainter::Antialiasing);
  canvas_ = std::make_unique<PainterCanvas>(*painter_);
  canvas_->SetFont(font);
  const int width = painter_->device()->width();
  const int height = painter_->device()->height();
  metrics = ComputePageMetrics(font.size, printer_.resolution(), width, height, {0, 0, width, height});
  return this;
}

void QPrinterTarget::End() {
  canvas_.reset();
  bool written = false;
  if (painter_ && painter_->isActive()) written = painter_->end();
  painter_.reset();
  EndFile(written);
}

void QPrinterTarget::EndFile(bool install) {
  if (temporary_.empty()) return;
  printer_.setOutputFileName(QString::fromStdString(fileName_));
  if (install) {
    if (!InstallWrittenFile(temporary_, fileName_, {.keepBackup = false}))
      ShowError(PrintStartFailure(Utf8ToCp1252(fileName_), Utf8ToCp1252(printer_.printerName().toStdString())));
  } else {
    ::unlink(temporary_.c_str());
  }
  temporary_.clear();
}

Canvas& QPrinterTarget::PageCanvas() { return *canvas_; }

bool QPrinterTarget::NewPage() {
  if (printer_.newPage()) return true;
  ShowError(GetMessageText(kMsgPageFailed));
  return false;
}

bool PrintToPdf(const std::string& path, const TPrintRequest& request, TPrintOutcome* outcome) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(path));
  printer.setDocName(QString::fromStdString(request.title));
  QPrinterTarget target(printer);
  TPrintOutcome result = PrintSections(request, target);
  target.End();
  if (outcome) *outcome = result;
  return result.ok;
}

}  // namespace quilor::ui
