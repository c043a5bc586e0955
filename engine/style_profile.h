// Category profile of a text from the first reading of each word in the
// lexicon, without segmentation: the counters and percentages that the
// style diagnosis reads, for calibrating the style norms on a tagged corpus
// and for diagnosing texts from the command line.
//
// Tagged texts are in the corpus format "word/tag word/tag ...": the word is
// what comes before the last '/', the tag is dropped. Sentence ends (".",
// "!", "?", ";" and ":") become proposition marks.
#pragma once

#include <functional>
#include <string_view>

#include "core/lexicon.h"

namespace quilor {

// Calls `word` for each word of a tagged text and `sentenceEnd` after each
// sentence-ending token. Any bytes are accepted; empty and over-long words
// (more than 79 characters) are passed over.
void ReadTaggedText(std::string_view text, const std::function<void(std::string_view)>& word,
                    const std::function<void()>& sentenceEnd);
// The same for a plain Windows-1252 text: words are runs of letters, digits,
// apostrophes and inner hyphens.
void ReadPlainText(std::string_view text, const std::function<void(std::string_view)>& word,
                   const std::function<void()>& sentenceEnd);

// Counts into CategoryCounters (ClearCategoryCounters first, ComputePercentages after).
class TStyleProfiler {
 public:
  explicit TStyleProfiler(TMainDictionary& lexicon) : lexicon_(lexicon) {}
  void Word(std::string_view word);
  void SentenceEnd();
  void Tagged(std::string_view text);
  void Plain(std::string_view text);

 private:
  TMainDictionary& lexicon_;
};

}  // namespace quilor
