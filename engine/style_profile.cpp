#include "engine/style_profile.h"

#include <cstring>

#include "core/chartables.h"
#include "engine/category_counters.h"

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

void ReadPlainText(std::string_view text, const std::function<void(std::string_view)>& word,
                   const std::function<void()>& sentenceEnd) {
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (IsWordByte(c) && c != '\'') {
      const size_t start = i;
      while (i < text.size() && (IsWordByte(static_cast<unsigned char>(text[i])) ||
                                 (text[i] == '-' && i + 1 < text.size() &&
                                  IsWordByte(static_cast<unsigned char>(text[i + 1])))))
        ++i;
      if (i - start <= kLongestWord) word(text.substr(start, i - start));
      continue;
    }
    if (IsSentenceEnd(text.substr(i, 1))) sentenceEnd();
    ++i;
  }
}

void TStyleProfiler::Word(std::string_view word) {
  if (word.empty() || word.size() > kLongestWord) return;
  char key[kWordBufferSize];
  std::memcpy(key, word.data(), word.size());
  key[word.size()] = '\0';
  LowerCaseString(key);
  TCategoryRecord record;
  if (LookupWord(lexicon_, 0, static_cast<int>(word.size()), true, false, key) > 0 && lexicon_.value != 0) {
    DecodeCategory(lexicon_.value, record);
  } else {
    record.MajorClass = kClassUnknown;
  }
  CountCategory(word, record, 0);
}

void TStyleProfiler::SentenceEnd() { CountProposition(); }

void TStyleProfiler::Tagged(std::string_view text) {
  ReadTaggedText(text, [this](std::string_view w) { Word(w); }, [this] { SentenceEnd(); });
}

void TStyleProfiler::Plain(std::string_view text) {
  ReadPlainText(text, [this](std::string_view w) { Word(w); }, [this] { SentenceEnd(); });
}

}  // namespace quilor
