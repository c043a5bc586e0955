// HTML, SGML and XML documents to plain Windows-1252 text, block by block.
//
// Markup is removed, the bodies of scripts, style sheets and embedded
// encoded data are dropped, block-ending HTML tags become line breaks and
// character references become ANSI characters. A tag, a reference or a
// multi-byte character may be cut anywhere by a block boundary: the reader
// keeps its state and the text comes out the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "import/charset.h"

namespace quilor {

// The Windows-1252 byte of a named character reference (lower-case name),
// 0 when the name is not known.
unsigned char LookUpEntity(std::string_view lowerCaseName);

class MarkupReader {
 public:
  // A new document of kind kDocHtml, kDocXml or kDocSgml (core/files.h).
  void Reset(int documentKind);
  // Appends the text of the next block to output.
  void Decode(const char* input, size_t length, std::string& output);
  // End of the document: what is still held back is read.
  void Finish(std::string& output);
  // Chooses the character set from the start of the document (at least
  // kCharsetProbeSize bytes of it, or all of it) before the first Decode,
  // so that nothing is held back for it.
  void ChooseEncoding(const char* head, size_t length);

  // The declared character set, known once the start of the document is read.
  int charsetMode() const { return charsetMode_; }
  // Input bytes that gave no output character (for the progress gauge).
  uint64_t skippedBytes() const { return inputBytes_ > outputBytes_ ? inputBytes_ - outputBytes_ : 0; }

  static constexpr size_t kMaxReference = 32;
  static constexpr size_t kTagNameLength = 10;

 private:
  enum class Encoding { kAnsi, kUtf8, kUtf16 };

  void StartWithHead(std::string& output);
  void Feed(const char* input, size_t length, std::string& output);
  void ReadChars(const char* text, size_t length, std::string& output);
  void ReadChar(unsigned char c, std::string& output);
  enum class Section { kNone, kComment, kCharacterData };

  void TagChar(unsigned char c);
  void StartSection(Section section);
  // Reads a comment or character data from i on; the index after what it took.
  size_t ReadSection(const unsigned char* s, size_t i, size_t length, std::string& output);
  void Emit(unsigned char c, std::string& output);
  void EmitText(unsigned char c, std::string& output);
  // Ends the reference being collected; true when terminator is swallowed.
  bool FinishReference(unsigned char terminator, std::string& output);
  bool TryNamedReference(std::string& output);
  // Emits the character of the first length letters of the reference.
  void EmitReference(size_t length, std::string& output);
  void ProcessTag(std::string& output);

  int kind_ = 0;
  bool html_ = false;           // block-ending tags give line breaks
  bool readsElements_ = false;  // HTML and XML: scripts, inline tags, encoded data
  int charsetMode_ = kCharsetAnsi;
  Encoding encoding_ = Encoding::kAnsi;
  bool started_ = false;  // the encoding is known
  std::string head_;      // the start of the document until it is known
  size_t markLeft_ = 0;   // bytes of a byte-order mark still to drop
  Utf8Decoder utf8_;
  bool bigEndian_ = false;
  unsigned char carried_[4] = {};  // the end of a UTF-16 unit or pair cut by a block
  size_t carry_ = 0;
  void DecodeUtf16(const char* input, size_t length, bool moreFollows);
  std::string decoded_;  // work buffer of the decoded block

  bool inTag_ = false;
  bool inScript_ = false;
  bool inReference_ = false;
  Section section_ = Section::kNone;
  size_t closers_ = 0;  // "-" or "]" just read in a section
  bool outputOn_ = true;
  bool tagBreak_ = true;
  bool justResolved_ = false;  // the last character completed a reference without ';'
  char tagName_[kTagNameLength + 1] = {};
  size_t tagNameLength_ = 0;
  bool tagNameEnded_ = false;
  bool tagHasContent_ = false;
  bool tagSelfClosing_ = false;  // the last character of the tag was '/'
  char reference_[kMaxReference + 1] = {};
  char referenceLower_[kMaxReference + 1] = {};
  size_t referenceLength_ = 0;
  size_t pendingLength_ = 0;  // a known name a longer one begins with, read so far

  uint64_t inputBytes_ = 0;
  uint64_t outputBytes_ = 0;
};

}  // namespace quilor
