// The segment buffer receives the scanner's words one by one with their
// punctuation tags and hands them on to TextWords.
//
// For now every word goes straight to TextWords, numbered from 1 across the
// documents of the run, with its tag, position and file number; segmentation
// into propositions, the token rules and the categories come with the
// segment resolver, which replaces the bodies below.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quilor {

class TSegmentBuffer {
 public:
  // Clears the run's cancel flag and starts the word number at TextWords'
  // highest position.
  void Init();
  // Adds a word (tag: the punctuation before it). False when the word could
  // not be stored (the run is then cancelled by the caller).
  bool PushWord(const char* word, const char* tag);
  bool PushWord(const char* word, size_t length, const char* tag);
  // A paragraph ends (line mode).
  void EndParagraph();
  // Processes what remains at the end of a file.
  void Finish();

  // The number given to the last word pushed.
  int32_t WordNumber() const { return wordNumber_; }

 private:
  int32_t wordNumber_ = 0;
};

}  // namespace quilor
