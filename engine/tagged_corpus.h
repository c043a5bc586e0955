// The words of a tagged corpus file ("word/tag word/tag ..."): the word is
// what comes before the last '/', the tag is dropped; sentence ends (".",
// "!", "?", ";" and ":") are reported as such. The style tools read the
// calibration corpus through it.
#pragma once

#include <functional>
#include <string_view>

namespace quilor {

// Calls `word` for each word of a tagged text and `sentenceEnd` after each
// sentence-ending token. Any bytes are accepted; empty and over-long words
// (more than 79 characters) are passed over.
void ReadTaggedText(std::string_view text, const std::function<void(std::string_view)>& word,
                    const std::function<void()>& sentenceEnd);

}  // namespace quilor
