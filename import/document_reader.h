// What a reader of a document kind does for the text loader: decode the
// file's own blocks (RTF, markup) or turn the whole document into text first
// (the converters).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quilor {

// What a block decoder may read and change while decoding one block.
struct BlockContext {
  int documentKind = 0;
  bool firstBlock = false;
  bool lastBlock = false;    // no bytes of the source follow this block
  bool lineMode = false;     // line breaks end paragraphs (kept for the whole run)
  int64_t skippedBytes = 0;  // bytes swallowed without reaching the scanner (this file)
};

enum class PrepareResult {
  kReadFile,   // the loader reads the file's own blocks through DecodeBlock
  kConverted,  // text holds the whole document as Windows-1252 text
  kPassOver,   // the file gives no text (silently, or the reader reported it)
};

class DocumentReader {
 public:
  virtual ~DocumentReader() = default;
  // Once for each file of the reader's kind, before anything else.
  virtual void ResetForFile() {}
  // Converters fill text with the whole document.
  virtual PrepareResult Prepare(const std::string& path, std::string& text) {
    (void)path;
    (void)text;
    return PrepareResult::kReadFile;
  }
  // First block of a file read through DecodeBlock (charset detection).
  virtual void DetectOnFirstBlock(const unsigned char* block, size_t length) {
    (void)block;
    (void)length;
  }
  // Decodes block[0, length) in place into Windows-1252 text; returns the
  // number of bytes of text now at the start of the block.
  virtual size_t DecodeBlock(unsigned char* block, size_t length, BlockContext& context) = 0;
  // Text decoded from earlier blocks that did not fit in them: copied into
  // block (at most capacity bytes); 0 when none waits. The loader takes it
  // before it decodes the next block and before the file ends.
  virtual size_t TakeHeldText(unsigned char* block, size_t capacity) {
    (void)block;
    (void)capacity;
    return 0;
  }
  // The file's source is released (may come more than once).
  virtual void Release() {}
};

}  // namespace quilor
