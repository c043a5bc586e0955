// The terminology extractor on the words of a hostile text: each input line
// is a word, its first byte giving the category, the level-1 class and the
// punctuation before it. Compounds never pass their limit, every list line
// has its three fields and a count of at least 2, and the words' cursor and
// bookmarks do not move.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/word_list.h"
#include "scenario/terminology_extractor.h"

namespace {

const char* const kTags[] = {" ", ",", "(", "\"", " ", "\xA7", "{", " "};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quilor;
  using namespace quilor::ui;
  static TWordList words;
  words.Clear();
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t start = 0;
  int32_t position = 0;
  while (start < input.size()) {
    size_t end = input.find('\n', start);
    if (end == std::string_view::npos) end = input.size();
    const std::string_view line = input.substr(start, end - start);
    start = end + 1;
    if (line.empty()) continue;
    const uint8_t control = static_cast<uint8_t>(line[0]);
    std::string word(line.substr(1));
    if (word.find('\0') != std::string::npos) word.resize(word.find('\0'));
    TWordCategoryData d;
    d.Category.MajorClass = static_cast<uint8_t>(control % 10);
    d.ClassIds[0] = (control >> 4) & 3;
    if (!words.Append(word.c_str(), kTags[(control >> 6) & 7], 0, 1, ++position, &d)) break;
  }
  words.Rewind();
  TWordNode* cursor = words.Cursor();
  TermSource source;
  source.level1Occurrences = [](uint32_t cls) { return cls; };
  source.scenarioEntry = [](const std::string& key) { return key.size() % 5 == 0 ? 1u : 0u; };
  source.scenarioName = [](uint32_t) { return std::string("Group"); };
  TermCandidates candidates;
  candidates.Scan(words, source);
  TermFilter filter;
  for (const std::string& line : candidates.Filter(filter, source)) {
    const TermLine l = ParseTermLine(line);
    if (l.term.size() > 80 || l.count.empty() || l.count == "*" || l.count == "0" || l.count == "1") __builtin_trap();
  }
  if (words.Cursor() != cursor) __builtin_trap();
  return 0;
}
