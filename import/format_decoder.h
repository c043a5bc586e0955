// The decoding of a document by its kind, block by block: markup, RTF,
// Macintosh and DOS texts, and the text runs of binary documents. Plain and
// converted texts pass through unchanged (their encoding is the loader's).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "import/charset.h"
#include "import/markup_reader.h"
#include "import/rtf_reader.h"

namespace quilor {

class FormatDecoder {
 public:
  // A new document of kind (core/files.h). Nothing of the previous
  // document is kept. A text a converter produced is ANSI already: start it
  // as kDocText, whatever the kind of the file it came from.
  void Start(int kind);
  // Appends the Windows-1252 text of the next block to output.
  void Decode(const char* block, size_t length, std::string& output);
  // End of the document: what a reader still holds back.
  void Finish(std::string& output);

  int kind() const { return kind_; }
  // Line breaks end paragraphs for the word scanner: HTML documents only.
  bool lineMode() const { return kind_ == kDocHtmlKind; }
  // Bytes of the document that gave no character (for the progress gauge).
  uint64_t skippedBytes() const;

 private:
  static constexpr int kDocHtmlKind = 2;
  enum class Route { kPassThrough, kMarkup, kRtf, kMacintosh, kDos, kBinary };

  int kind_ = 0;
  Route route_ = Route::kPassThrough;
  MarkupReader markup_;
  RtfReader rtf_;
  BinaryTextExtractor binary_ = BinaryTextExtractor::ForOtherBinary();
};

}  // namespace quilor
