#include "engine/tagged_corpus.h"

namespace quilor {

namespace {

constexpr size_t kLongestWord = 79;

bool IsSentenceEnd(std::string_view token) {
  return token == "." || token == "!" || token == "?" || token == ";" || token == ":";
}

bool IsWordByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '\'' || c >= 0xC0 ||
         c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F;
}

}  // namespace

void ReadTaggedText(std::string_view text, const std::function<void(std::string_view)>& word,
                    const std::function<void()>& sentenceEnd) {
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    const size_t start = i;
    while (i < text.size() && static_cast<unsigned char>(text[i]) > ' ') ++i;
    std::string_view token = text.substr(start, i - start);
    if (token.empty()) continue;
    const size_t slash = token.rfind('/');
    if (slash != std::string_view::npos && slash > 0) token = token.substr(0, slash);
    if (IsSentenceEnd(token)) {
      sentenceEnd();
    } else if (token.size() <= kLongestWord && IsWordByte(static_cast<unsigned char>(token[0]))) {
      word(token);
    }
  }
}

}  // namespace quilor
