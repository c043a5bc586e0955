// The lists quilor-style reads: a norm list ("CODE VALUE # label" lines, as
// dico/lists/style_norms.txt) and a corpus's category list (cats.txt: "FILE
// CATEGORY" lines). Kept apart from the tool so that they can be fuzzed.
#pragma once

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/category_counters.h"

namespace quilor::style_lists {

inline std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The norm and label of one display code of a norm list.
struct Norm {
  bool given = false;
  long value = 0;
  std::string label = "-";
};
using NormList = std::array<Norm, kDisplayCodeCount + 1>;

inline NormList ParseNorms(std::string_view text) {
  NormList out{};
  for (const std::string& line : Lines(text)) {
    char* after = nullptr;
    const long code = std::strtol(line.c_str(), &after, 10);
    if (after == line.c_str() || code < 1 || code > kDisplayCodeCount) continue;
    char* afterValue = nullptr;
    const long value = std::strtol(after, &afterValue, 10);
    if (afterValue == after) continue;
    Norm& p = out[static_cast<size_t>(code)];
    p.given = true;
    p.value = std::clamp(value, -128L, 127L);
    const size_t hash = line.find('#');
    if (hash != std::string::npos) {
      const size_t first = line.find_first_not_of(' ', hash + 1);
      if (first != std::string::npos) p.label = line.substr(first);
    }
  }
  return out;
}

// One file of a corpus and its category. Names with a separator are left
// out: the files stay in the corpus's folder.
struct CorpusFile {
  std::string name;
  std::string category;
};

inline std::vector<CorpusFile> ParseCategoryList(std::string_view text) {
  std::vector<CorpusFile> files;
  for (const std::string& line : Lines(text)) {
    const size_t blank = line.find(' ');
    if (blank == std::string::npos || blank == 0) continue;
    CorpusFile f{line.substr(0, blank), line.substr(blank + 1)};
    if (f.name.find('/') != std::string::npos || f.name == "." || f.name == "..") continue;
    files.push_back(std::move(f));
  }
  return files;
}

}  // namespace quilor::style_lists
