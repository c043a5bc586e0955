// Where the text loader hands the text it reads. The loader decodes each
// document into blocks of Windows-1252 text and gives them to a TextSink,
// which cuts them into words; when the sink has used a block up it asks the
// loader for the next one through the TextBlockSource it was attached to.
// The engine's text scanner (engine/text_scanner.h) is the sink of a run.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quilor {

// Gives the blocks of text one after the other.
class TextBlockSource {
 public:
  virtual ~TextBlockSource() = default;
  // Puts the next block into the sink (TextSink::SetBlock, or the word
  // scanner's SetBlock); false at the end of the source, on a read error or
  // when the run is cancelled.
  virtual bool NextTextBlock() = 0;
};

class TextSink {
 public:
  virtual ~TextSink() = default;
  // The source the sink asks for blocks; once, before the first document.
  virtual void Attach(TextBlockSource& source) = 0;
  // A document begins: nothing of the one before is carried over.
  virtual void BeginDocument() = 0;
  // The block to cut next (it stays valid until the next call); in line
  // mode a line break ends a paragraph.
  virtual void SetBlock(const unsigned char* block, size_t length, bool lineMode) = 0;
  // Cuts the text on until a word was handed on (true) or the document
  // ended (false).
  virtual bool ScanTextBlock() = 0;
  // The source gave its last block and the last word was handed on.
  virtual bool EndOfSource() const = 0;
  // The words of the run so far, and the bytes of this document cut so far.
  virtual int32_t WordCount() const = 0;
  virtual uint64_t BytesScanned() const = 0;
  // The document ended: the words taken so far are complete.
  virtual void EndDocument() = 0;
};

}  // namespace quilor
