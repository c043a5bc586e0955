// The converters behind DocumentFilter, one per family of formats.
#pragma once

#include <memory>

#include "import/document_filter.h"

namespace quilor {

std::unique_ptr<DocumentFilter> CreatePdfFilter();
// Office Open XML (.docx, .pptx) and OpenDocument (.odt, .odp) packages.
std::unique_ptr<DocumentFilter> CreatePackageFilter(ConverterFormat format);
// The filter that reads a format; nullptr for a format no filter reads.
std::unique_ptr<DocumentFilter> CreateDocumentFilter(ConverterFormat format);

}  // namespace quilor

namespace quilor {

// The converter whose main part a zip package holds (by its parts and its
// "mimetype"); false when it holds none of ours (a workbook, an archive).
bool SniffPackageFormat(const std::string& path, ConverterFormat& format);

}  // namespace quilor
