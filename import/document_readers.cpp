#include "import/document_readers.h"

#include "core/files.h"
#include "import/format_decoder.h"

namespace quilor {

namespace {
constexpr int kMaxKind = 64;
DocumentReader* g_readers[kMaxKind] = {};
}  // namespace

void RegisterDocumentReader(int documentKind, DocumentReader* reader) {
  if (documentKind >= 0 && documentKind < kMaxKind) g_readers[documentKind] = reader;
}

DocumentReader* FindDocumentReader(int documentKind) {
  if (documentKind < 0 || documentKind >= kMaxKind) return nullptr;
  return g_readers[documentKind] ? g_readers[documentKind] : BuiltInDocumentReader(documentKind);
}

bool KindNeedsReader(int documentKind) {
  switch (documentKind) {
    case kDocHtml:
    case kDocXml:
    case kDocRtf:
    case kDocSgml:
    case kDocWord:
    case kDocPdf:
    case kDocPowerPoint:
    case kDocPowerPointXml:
    case kDocOdt:
    case kDocOdp:
    case kDocFlash:
    case kDocExcel: return true;
    default: return false;
  }
}

}  // namespace quilor
