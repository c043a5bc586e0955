#include "import/format_decoder.h"

#include "core/files.h"

namespace quilor {

static_assert(kDocHtml == 2, "FormatDecoder::lineMode");

void FormatDecoder::Start(int kind) {
  kind_ = kind;
  switch (kind) {
    case kDocHtml:
    case kDocXml:
    case kDocSgml:
      route_ = Route::kMarkup;
      markup_.Reset(kind);
      break;
    case kDocRtf:
      route_ = Route::kRtf;
      rtf_.Reset();
      break;
    case kDocMacText:
      route_ = Route::kMacintosh;
      break;
    case kDocDosText:
      route_ = Route::kDos;
      break;
    case kDocWord:
      route_ = Route::kBinary;
      binary_ = BinaryTextExtractor::ForWordDocument();
      break;
    case kDocPowerPoint:
      route_ = Route::kBinary;
      binary_ = BinaryTextExtractor::ForPowerPoint();
      break;
    case kDocFlash:
    case kDocExcel:
      route_ = Route::kBinary;
      binary_ = BinaryTextExtractor::ForOtherBinary();
      break;
    default:
      route_ = Route::kPassThrough;
      break;
  }
}

void FormatDecoder::Decode(const char* block, size_t length, std::string& output) {
  switch (route_) {
    case Route::kMarkup:
      markup_.Decode(block, length, output);
      return;
    case Route::kRtf:
      rtf_.Decode(block, length, output);
      return;
    case Route::kBinary:
      binary_.Decode(block, length, output);
      return;
    case Route::kMacintosh:
    case Route::kDos: {
      size_t at = output.size();
      output.append(block, length);
      if (route_ == Route::kMacintosh)
        MacToAnsiBlock(output.data() + at, length);
      else
        OemToAnsiBlock(output.data() + at, length);
      return;
    }
    case Route::kPassThrough:
      output.append(block, length);
      return;
  }
}

void FormatDecoder::Finish(std::string& output) {
  switch (route_) {
    case Route::kMarkup:
      markup_.Finish(output);
      return;
    case Route::kRtf:
      rtf_.Finish(output);
      return;
    case Route::kBinary:
      binary_.Finish(output);
      return;
    default:
      return;
  }
}

uint64_t FormatDecoder::skippedBytes() const {
  switch (route_) {
    case Route::kMarkup:
      return markup_.skippedBytes();
    case Route::kRtf:
      return rtf_.skippedBytes();
    default:
      return 0;
  }
}

}  // namespace quilor
