#include "import/format_decoder.h"

#include <algorithm>
#include <cstring>

#include "core/files.h"
#include "import/plain_text.h"

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
    case kDocMacText: route_ = Route::kMacintosh; break;
    case kDocDosText: route_ = Route::kDos; break;
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
    default: route_ = Route::kPassThrough; break;
  }
}

void FormatDecoder::DetectOnFirstBlock(const char* block, size_t length) {
  if (route_ == Route::kMarkup) markup_.ChooseEncoding(block, length);
}

void FormatDecoder::Decode(const char* block, size_t length, std::string& output) {
  switch (route_) {
    case Route::kMarkup: markup_.Decode(block, length, output); return;
    case Route::kRtf: rtf_.Decode(block, length, output); return;
    case Route::kBinary: binary_.Decode(block, length, output); return;
    case Route::kMacintosh:
    case Route::kDos: {
      size_t at = output.size();
      output.append(block, length);
      auto* text = reinterpret_cast<unsigned char*>(output.data() + at);
      if (route_ == Route::kMacintosh) MacToAnsi(text, length);
      else OemToAnsi(text, length);
      return;
    }
    case Route::kPassThrough: output.append(block, length); return;
  }
}

void FormatDecoder::Finish(std::string& output) {
  switch (route_) {
    case Route::kMarkup: markup_.Finish(output); return;
    case Route::kRtf: rtf_.Finish(output); return;
    case Route::kBinary: binary_.Finish(output); return;
    default: return;
  }
}

uint64_t FormatDecoder::skippedBytes() const {
  switch (route_) {
    case Route::kMarkup: return markup_.skippedBytes();
    case Route::kRtf: return rtf_.skippedBytes();
    default: return 0;
  }
}

void FormatDocumentReader::ResetForFile() {
  decoder_.Start(kind_);
  held_.clear();
  heldAt_ = 0;
}

void FormatDocumentReader::DetectOnFirstBlock(const unsigned char* block, size_t length) {
  decoder_.DetectOnFirstBlock(reinterpret_cast<const char*>(block), length);
}

size_t FormatDocumentReader::DecodeBlock(unsigned char* block, size_t length, BlockContext& context) {
  decoder_.Decode(reinterpret_cast<const char*>(block), length, held_);
  if (context.lastBlock) decoder_.Finish(held_);
  context.lineMode = decoder_.lineMode();
  context.skippedBytes = static_cast<int64_t>(decoder_.skippedBytes());
  return TakeHeldText(block, length);
}

size_t FormatDocumentReader::TakeHeldText(unsigned char* block, size_t capacity) {
  size_t n = std::min(capacity, held_.size() - heldAt_);
  std::memcpy(block, held_.data() + heldAt_, n);
  heldAt_ += n;
  if (heldAt_ == held_.size()) {
    held_.clear();
    heldAt_ = 0;
  }
  return n;
}

DocumentReader* BuiltInDocumentReader(int kind) {
  static FormatDocumentReader html(kDocHtml), xml(kDocXml), sgml(kDocSgml), rtf(kDocRtf), flash(kDocFlash),
      excel(kDocExcel);
  switch (kind) {
    case kDocHtml: return &html;
    case kDocXml: return &xml;
    case kDocSgml: return &sgml;
    case kDocRtf: return &rtf;
    case kDocFlash: return &flash;
    case kDocExcel: return &excel;
    default: return nullptr;
  }
}

}  // namespace quilor
