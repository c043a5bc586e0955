#include "ui/print_margins_qt.h"

#include <QPrinter>

#include <algorithm>

namespace quilor::ui {

void ApplyPrintMargins(QPrinter& printer) {
  QMarginsF margins = printer.pageLayout().margins(QPageLayout::Millimeter);
  margins = QMarginsF(
      std::max(margins.left(), kPrintMarginMillimetres), std::max(margins.top(), kPrintMarginMillimetres),
      std::max(margins.right(), kPrintMarginMillimetres), std::max(margins.bottom(), kPrintMarginMillimetres));
  printer.setFullPage(false);
  printer.setPageMargins(margins, QPageLayout::Millimeter);
}

}  // namespace quilor::ui
