#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>
#include <poppler/cpp/poppler-page.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

#include "import/filter_formats.h"

namespace quilor {
namespace {

void QuietPoppler(const std::string&, void*) {}

class PdfFilter : public DocumentFilter {
 public:
  PdfFilter() : DocumentFilter(ConverterFormat::kPdf, "{4C904448-74A9-11d0-AF6E-00C04FD8DC02}") {
    static std::once_flag once;
    std::call_once(once, [] { poppler::set_debug_error_function(QuietPoppler, nullptr); });
  }

 protected:
  bool Run(const std::string* path, std::string_view data) override {
    step_ = kStepDocumentLoaded;
    std::unique_ptr<poppler::document> doc;
    if (path) {
      doc.reset(poppler::document::load_from_file(*path));
    } else {
      bytes_.assign(data.begin(), data.end());
      doc.reset(poppler::document::load_from_data(&bytes_));
    }
    if (!doc) return Stop(FilterError::kInitFailure, kStepDocumentLoaded);
    if (doc->is_locked() || doc->is_encrypted()) {
      // An owner password alone still lets the text be read.
      if (doc->is_locked()) return Stop(FilterError::kPassword, kStepDocumentLoaded);
    }
    step_ = kStepReadingChunks;
    int pages = doc->pages();
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < pages; ++i) {
      // Pages may share content that costs much to decode: the document's
      // work is bounded, and the run may be stopped between two pages.
      if (i > 0 && !WithinBudget(started, i)) return false;
      std::unique_ptr<poppler::page> page(doc->create_page(i));
      step_ = kStepReadingChunk;
      if (!page) return Stop(FilterError::kChunking, kStepReadingChunk);
      poppler::byte_array utf8 = page->text(poppler::rectf(), poppler::page::physical_layout).to_utf8();
      if (!AppendChunk(std::string_view(utf8.data(), utf8.size()))) return false;
      if (addSeparator && !AppendRaw(' ')) return false;
      step_ = kStepReadingChunks;
    }
    return true;
  }

 private:
  std::vector<char> bytes_;
};

}  // namespace

std::unique_ptr<DocumentFilter> CreatePdfFilter() { return std::make_unique<PdfFilter>(); }

}  // namespace quilor
