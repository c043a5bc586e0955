// The converters behind DocumentFilter, one per family of formats.
#pragma once

#include <memory>

#include "import/document_filter.h"

namespace quilor {

std::unique_ptr<DocumentFilter> CreatePdfFilter();
// Office Open XML (.docx, .pptx) and OpenDocument (.odt, .odp) packages.
std::unique_ptr<DocumentFilter> CreatePackageFilter(ConverterFormat format);
// The library that reads a format when the user chose none.
const char* BuiltInLibraryName(ConverterFormat format);

}  // namespace quilor

namespace quilor {

// The converter whose main part a zip package holds (by its parts and its
// "mimetype"); false when it holds none of ours (a workbook, an archive).
bool SniffPackageFormat(const std::string& path, ConverterFormat& format);

}  // namespace quilor
