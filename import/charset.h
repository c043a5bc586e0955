// Character sets of imported documents and the extraction of readable text
// from documents stored in a non-text format.
//
// Every decoder here works as a stream: it is given one block at a time,
// keeps what a block boundary cut (a multi-byte character, a run of text)
// for the next block and appends Windows-1252 text to its output. Cutting a
// document into blocks at other places never changes what comes out, and
// the output is never longer than the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quilor {

// The character set a markup document declares. Only kCharsetUtf8 changes
// how the markup reader decodes; every other mode takes the bytes as ANSI.
enum MarkupCharsetMode : int {
  kCharsetAnsi = 0,      // ISO 8859 and Windows charsets
  kCharsetUcs = 2,       // ISO 10646 and UCS names
  kCharsetOtherUtf = 3,  // UTF-32 and similar names
  kCharsetUtf8 = 4,
  kCharsetUtf16 = 5,
};

// How much of the start of a markup document the charset detection reads.
constexpr size_t kCharsetProbeSize = 8184;

// The mode for the charset name that starts the text (lower case or not);
// current when no rule applies.
int CharsetModeFromName(std::string_view name, int current);

// Looks for a declared character set in the start of a markup document: a
// meta element's charset, an XML declaration's encoding (double or single
// quotes), or a byte-order mark. False, with mode untouched, when the text is
// shorter than 10 bytes or declares nothing.
bool DetectMarkupCharset(const char* block, size_t length, int& mode);

// Byte order of a UTF-16 text found by its mark, or without one by the zero
// bytes of its units (a document that starts with '<' by the one beside it): 'p' little-endian,
// 'o' big-endian, 0 not UTF-16. markLength receives the bytes of the mark.
char DetectUtf16(const char* block, size_t length, size_t& markLength);

// UTF-8 to Windows-1252, block by block. A sequence cut by the end of a block
// is completed by the next one. Bytes that begin no valid sequence are taken
// as Windows-1252 characters, so a Latin-1 text declared as UTF-8 loses
// nothing; characters beyond U+FFFE give '#'.
class Utf8Decoder {
 public:
  void Reset() { pendingLength_ = 0; }
  void Decode(const char* input, size_t length, std::string& output);
  // End of the text: a sequence left incomplete is taken as Windows-1252.
  void Finish(std::string& output);

 private:
  void Flush(std::string& output);
  unsigned char pending_[4] = {};
  size_t pendingLength_ = 0;
};

// Readable text out of a document stored in a non-text format (a Word or
// PowerPoint file read raw, a Flash or Excel file). Byte positions are kept:
// what is not text becomes spaces or NUL bytes, which the word scanner takes
// as separators, so the output is exactly as long as the input.
class BinaryTextExtractor {
 public:
  // The settings of each document kind.
  static BinaryTextExtractor ForWordDocument();  // marker "MSWordDoc", skip 128
  static BinaryTextExtractor ForPowerPoint();    // no marker, skip 512
  static BinaryTextExtractor ForOtherBinary();   // no marker, no skip

  BinaryTextExtractor(std::string marker, size_t defaultSkip);
  // A new document with the same settings.
  void Reset();
  void Decode(const char* input, size_t length, std::string& output);
  void Finish(std::string& output);

  // Start of the document searched for the marker.
  static constexpr size_t kMarkerSearchLimit = 8000;
  // A run of text longer than this is judged in parts.
  static constexpr size_t kLongestRun = 65536;

 private:
  void TakeHead(std::string& output);
  void Scan(const char* input, size_t length, std::string& output);
  // Writes the run, or spaces for an erased one; true when erased.
  bool JudgeRun(std::string& output);

  std::string marker_;
  size_t defaultSkip_;
  bool headDone_ = false;
  std::string head_;       // the start of the document until the marker search ran
  size_t spacesLeft_ = 0;  // bytes of the start still to blank out
  std::string run_;        // the current run of text
  size_t oddCount_ = 0;
};

}  // namespace quilor
