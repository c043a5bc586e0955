#include "engine/word_scanner.h"

#include <cstring>

#include "core/chartables.h"
#include "core/gauge.h"

namespace quilor {

void TWordScanner::ResetForFile() {
  block_ = kNoBlock;
  start_ = end_ = 0;
  scannedBefore_ = 0;
  wordsHandedOn_ = 0;
  length_ = 0;
  punctuationLength_ = 0;
  wordHandedOn_ = false;
  endOfSource_ = false;
  std::memset(word_, 0, sizeof word_);
  std::memset(punctuation_, 0, sizeof punctuation_);
  std::memset(tag_, 0, sizeof tag_);
  gap_.clear();
  afterCarriageReturn_ = false;
}

void TWordScanner::SetBlock(const unsigned char* block, size_t length) {
  scannedBefore_ += start_;
  block_ = block;
  start_ = 0;
  end_ = length;
}

bool TWordScanner::ScanTextBlock() {
  wordHandedOn_ = false;
  if (endOfSource_) return false;
  for (;;) {
    const unsigned char* p = block_ + start_;
    const unsigned char* const end = block_ + end_;
    char* const word = word_;
    int length = length_;
    while (p < end) {
      unsigned char c = *p++;
      if (static_cast<unsigned char>(c - 'a') < 26) {  // the common case: a small letter
        if (length < kMaxWordLength) {
          word[length++] = static_cast<char>(c);
          continue;
        }
        // The word is full: it is handed on and the letter begins the next.
        length_ = length;
        AddWordChar(c);
        start_ = static_cast<size_t>(p - block_);
        return true;
      }
      length_ = length;
      if (c <= 'Z') ClassifyChar(c);
      else AddHighChar(c);
      length = length_;
      if (wordHandedOn_) {
        start_ = static_cast<size_t>(p - block_);
        return true;
      }
    }
    length_ = length;
    start_ = end_;
    if (!NextScanBlock()) return wordHandedOn_;
    if (wordHandedOn_) return true;
  }
}

void TWordScanner::AddHighChar(unsigned char c) {
  switch (c) {
    case 0x8C:  // capital oe ligature
      AddWordChar('O');
      AddWordChar('e');
      break;
    case 0x9C:
      AddWordChar('o');
      AddWordChar('e');
      break;
    case 0xC6:  // capital ae ligature
      AddWordChar('A');
      AddWordChar('e');
      break;
    case 0xE6:
      AddWordChar('a');
      AddWordChar('e');
      break;
    default: ClassifyChar(c);
  }
}

void TWordScanner::ClassifyChar(unsigned char c) {
  switch (CharClass(c)) {
    case kCharLetter:
    case kCharDigit: AddWordChar(c); break;
    case kCharUnderscore:
      if (length_ >= 1) AddWordChar(c);
      else KeepGapChar(c);
      break;
    case kCharPunctuation:
      AddPunctuation(c);
      KeepGapChar(c);
      break;
    default: EndWordAtSeparator(c); KeepGapChar(c);
  }
}

// Every character that is not part of a word ends the word before it (which
// takes the gap kept so far), then joins the gap of the next one.
void TWordScanner::KeepGapChar(unsigned char c) {
  const bool carriageReturn = afterCarriageReturn_;
  afterCarriageReturn_ = c == '\r';
  if (c == '\r' || c == '\n') {
    if (c == '\n' && carriageReturn) return;  // CR LF is one line end
    if (!gap_.empty() && gap_.back() == ' ') gap_.pop_back();
    const size_t n = gap_.size();
    if (n >= 2 && gap_[n - 1] == '\n' && gap_[n - 2] == '\n') return;
    if (n < kMaxGap) gap_ += '\n';
    return;
  }
  if (c <= ' ' || c == 0x7F) {  // blanks and control characters
    if (!gap_.empty() && (gap_.back() == ' ' || gap_.back() == '\n')) return;
    if (gap_.size() < kMaxGap) gap_ += ' ';
    return;
  }
  if (gap_.size() < kMaxGap) gap_ += static_cast<char>(c);
}

void TWordScanner::AddPunctuation(unsigned char c) {
  if (c == 0x92 || c == 0xB4) c = '\'';
  else if (c == 0xAD) c = '-';
  FlushWord();
  if (punctuationLength_ < kMaxPunctuation) {
    punctuation_[punctuationLength_++] = static_cast<char>(c);
    punctuation_[punctuationLength_] = '\0';
  }
}

void TWordScanner::EndWordAtSeparator(unsigned char c) {
  switch (c) {
    case ' ':
      // After a sentence end the blank stays in the punctuation.
      if (punctuation_[0] != '.') FlushWord();
      else AddPunctuation(c);
      break;
    case '\r':
    case '\n':
      FlushWord();
      if (lineMode) segment_.EndParagraph();
      break;
    case '*':
    case '#':
    case '/':
    case '[':
    case ']': AddPunctuation(c); break;
    default: FlushWord();
  }
}

void TWordScanner::TakeWordTag() {
  // The punctuation between this word and the previous one; " " when only
  // blanks stood there.
  if (punctuationLength_ == 0 && wordsHandedOn_ > 0) {
    tag_[0] = ' ';
    tag_[1] = '\0';
  } else {
    std::memcpy(tag_, punctuation_, sizeof tag_);
  }
  punctuationLength_ = 0;
  punctuation_[0] = '\0';
}

void TWordScanner::FlushWord() {
  if (length_ == 0) return;
  TakeWordTag();
  wordHandedOn_ = true;
  word_[length_] = '\0';
  if (segment_.PushWord(word_, static_cast<size_t>(length_), tag_, gap_)) ++wordsHandedOn_;
  else Progress.cancelRequested = true;
  gap_.clear();
  length_ = 0;  // the word is reset either way
}

bool TWordScanner::NextScanBlock() {
  if (source_.NextTextBlock()) return true;
  endOfSource_ = true;
  // The last word of the file ends with it.
  FlushWord();
  return false;
}

}  // namespace quilor
