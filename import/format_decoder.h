// The decoding of a document by its kind, block by block: markup, RTF,
// Macintosh and DOS texts, and the text runs of binary documents. Plain and
// converted texts pass through unchanged (their encoding is the loader's).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "import/charset.h"
#include "import/document_reader.h"
#include "import/markup_reader.h"
#include "import/rtf_reader.h"

namespace quilor {

class FormatDecoder {
 public:
  // A new document of kind (core/files.h). Nothing of the previous
  // document is kept. A text a converter produced is ANSI already: start it
  // as kDocText, whatever the kind of the file it came from.
  void Start(int kind);
  // The first block of a document read from its file, before it is decoded:
  // the character set of markup is chosen from it.
  void DetectOnFirstBlock(const char* block, size_t length);
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

// The decoders as readers of the text loader. A reader may give a block
// more text than it took (what a boundary held back: a run of text, a
// reference, a control word); the rest waits in the reader and the loader
// takes it before the next block.
class FormatDocumentReader final : public DocumentReader {
 public:
  explicit FormatDocumentReader(int kind) : kind_(kind) {}
  void ResetForFile() override;
  void DetectOnFirstBlock(const unsigned char* block, size_t length) override;
  size_t DecodeBlock(unsigned char* block, size_t length, BlockContext& context) override;
  size_t TakeHeldText(unsigned char* block, size_t capacity) override;

 private:
  int kind_;
  FormatDecoder decoder_;
  std::string held_;  // decoded text not given to the loader yet, from heldAt_ on
  size_t heldAt_ = 0;
};

// The reader of HTML, XML, SGML, RTF, Flash and Excel documents; nullptr for
// other kinds.
DocumentReader* BuiltInDocumentReader(int kind);

}  // namespace quilor
