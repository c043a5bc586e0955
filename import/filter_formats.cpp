#include "import/filter_formats.h"

namespace quilor {

std::unique_ptr<DocumentFilter> CreateDocumentFilter(ConverterFormat format) {
  switch (format) {
    case ConverterFormat::kPdf: return CreatePdfFilter();
    case ConverterFormat::kOffice: return nullptr;  // no filter reads Word 97-2003 files: the Word reader does
    default: return CreatePackageFilter(format);
  }
}

}  // namespace quilor
