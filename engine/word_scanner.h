// The word scanner cuts decoded Windows-1252 text into words and the
// punctuation between them, with the character-class table, and hands every
// word with the punctuation that came before it to the segment buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "import/text_sink.h"

namespace quilor {

// The scanner's blocks come from a TextBlockSource (import/text_sink.h: the
// text loader, or a text in memory).

// Where the scanner's words go (the segment buffer).
class TWordSink {
 public:
  virtual ~TWordSink() = default;
  // A word and the punctuation before it; false when it could not be stored.
  // gap: what stood between the word and the one before it, as the reader
  // sees it (TWordScanner::PendingGap).
  virtual bool PushWord(const char* word, size_t length, const char* tag, std::string_view gap) = 0;
  // A line break ends a paragraph (line mode).
  virtual void EndParagraph() = 0;
};

class TWordScanner {
 public:
  static constexpr int kMaxWordLength = 78;
  static constexpr int kMaxPunctuation = 7;

  TWordScanner(TextBlockSource& source, TWordSink& segment) : source_(source), segment_(segment) {}

  // Clears the word, the punctuation and the counters for a new file.
  void ResetForFile();
  // The decoded block to scan next: bytes [0, length).
  void SetBlock(const unsigned char* block, size_t length);

  // Scans until a word has been handed on (true) or the source is exhausted
  // (false; the end-of-source flag is then set and the last word handed on).
  bool ScanTextBlock();

  bool EndOfSource() const { return endOfSource_; }
  // The punctuation not yet given to a word: at the end of a file, what
  // stands after its last word (the text's final ".").
  const char* PendingPunctuation() const { return punctuation_; }
  // Everything not yet given to a word, as it stands in the text but with
  // each run of blanks folded to one blank or to one or two line ends, at
  // most kMaxGap characters: what the reader sees between two words (the
  // curly quotes and dashes the analysis does not read included).
  const std::string& PendingGap() const { return gap_; }
  static constexpr size_t kMaxGap = 15;
  // Words handed on in this file.
  uint32_t WordsHandedOn() const { return wordsHandedOn_; }
  // Bytes of decoded text consumed in this file.
  uint64_t BytesScanned() const { return scannedBefore_ + start_; }
  // Line breaks end paragraphs (set by the loader for some document kinds).
  bool lineMode = false;

 private:
  void AddHighChar(unsigned char c);
  void ClassifyChar(unsigned char c);
  // A run of letters longer than a word goes on as the next word.
  void AddWordChar(unsigned char c) {
    if (length_ >= kMaxWordLength) FlushWord();
    word_[length_++] = static_cast<char>(c);
  }
  void AddPunctuation(unsigned char c);
  void KeepGapChar(unsigned char c);
  void EndWordAtSeparator(unsigned char c);
  void TakeWordTag();
  void FlushWord();
  bool NextScanBlock();

  TextBlockSource& source_;
  TWordSink& segment_;
  const unsigned char* block_ = kNoBlock;
  static constexpr unsigned char kNoBlock[1] = {0};
  size_t start_ = 0;  // next byte to scan
  size_t end_ = 0;    // one past the last byte of the block
  uint64_t scannedBefore_ = 0;
  uint32_t wordsHandedOn_ = 0;
  int length_ = 0;
  int punctuationLength_ = 0;
  bool wordHandedOn_ = false;
  bool endOfSource_ = false;
  char word_[80] = {};
  char punctuation_[8] = {};
  char tag_[8] = {};
  std::string gap_;
  bool afterCarriageReturn_ = false;
};

}  // namespace quilor
