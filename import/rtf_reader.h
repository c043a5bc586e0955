// RTF documents to plain Windows-1252 text, block by block.
//
// No document model is built: braces give the group depth, a short list of
// control words is acted on, destinations that hold no text (font and colour
// tables, style sheets, pictures, starred groups, field instructions) are
// dropped with every group nested in them, hexadecimal escapes are decoded
// and characters are mapped from the document's code page. A Unicode
// character (\uN) gives its Windows-1252 character and drops the fallback
// characters that follow it (\ucN, 1 by default); one the code page lacks
// leaves the fallback in the text. A control word,
// an escape or binary data may be cut anywhere by a block boundary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quilor {

class RtfReader {
 public:
  enum CodePage : int { kAnsi = 0, kMacintosh = 1, kDos = 2 };

  // A new document.
  void Reset() { *this = RtfReader(); }
  // Appends the text of the next block to output.
  void Decode(const char* input, size_t length, std::string& output);
  // End of the document: a control word still being read is acted on.
  void Finish(std::string& output);

  int codePage() const { return codePage_; }
  int depth() const { return depth_; }
  // Input bytes that gave no output character (for the progress gauge).
  uint64_t skippedBytes() const { return inputBytes_ > outputBytes_ ? inputBytes_ - outputBytes_ : 0; }

  static constexpr size_t kMaxWord = 32;

 private:
  enum class State { kText, kBackslash, kWord, kParameter, kHex1, kHex2, kBinary };

  void ReadChar(unsigned char c, std::string& output);
  void EndControlWord(std::string& output);
  void ControlSymbol(unsigned char c, std::string& output);
  void DropGroup();
  bool Skipping() const { return skipFrom_ >= 0 && depth_ >= skipFrom_; }
  void Emit(unsigned char c, std::string& output);

  void EmitUnicode(int64_t value, std::string& output);
  // \ucN of a group; groups deeper than the stack keep the last one known.
  static constexpr size_t kUcStackSize = 64;
  uint8_t ucStack_[kUcStackSize] = {};
  int ucSkip_ = 1;               // fallback characters after \uN
  int fallbackLeft_ = 0;         // fallback characters still to drop
  bool controlSkipped_ = false;  // the control being read is a fallback character
  State state_ = State::kText;
  char word_[kMaxWord + 1] = {};
  size_t wordLength_ = 0;
  bool wordTooLong_ = false;
  bool negative_ = false;
  bool hasParameter_ = false;
  int64_t parameter_ = 0;
  unsigned char hexHigh_ = 0;
  uint64_t binaryLeft_ = 0;

  int depth_ = 0;
  int skipFrom_ = -1;    // the depth of the dropped group, -1 when none
  bool header_ = false;  // "rtf1" seen and no brace since
  int codePage_ = kAnsi;

  uint64_t inputBytes_ = 0;
  uint64_t outputBytes_ = 0;
};

}  // namespace quilor
