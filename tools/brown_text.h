// A file of the Brown corpus as the measuring tools read it: its tokens with
// their tag groups, the plain text the analysis is given (tags dropped, ``
// and '' as '"'), and the alignment of the analysed words back to the tokens
// by their letters and digits.
#pragma once

#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dico/brown_tags.h"
#include "engine/word_list.h"

namespace quilor::brown {

struct Token {
  std::string word;
  std::string tag;  // as written, lower case
  int group;
};

// Letters and digits, lower-cased.
inline std::string Key(const char* s) {
  std::string k;
  for (; *s; ++s)
    if (std::isalnum(static_cast<unsigned char>(*s)))
      k += static_cast<char>(std::tolower(static_cast<unsigned char>(*s)));
  return k;
}

// Reads a corpus file: its tokens and the text to analyse (one line per
// sentence). Punctuation tokens go into the text only.
inline void ReadBrownFile(const std::string& path, std::vector<Token>& tokens, std::string& text) {
  std::ifstream in(path);
  std::string line, t;
  tokens.clear();
  text.clear();
  while (std::getline(in, line)) {
    std::istringstream words(line);
    bool any = false;
    while (words >> t) {
      const size_t slash = t.rfind('/');
      if (slash == std::string::npos || slash == 0) continue;
      std::string w = t.substr(0, slash);
      const std::string tag = t.substr(slash + 1);
      if (w == "``" || w == "''") w = "\"";
      if (IsPunctuationToken(w)) {
        text += w;
        continue;
      }
      text += ' ';
      text += w;
      tokens.push_back({w, tag, GroupOfTag(tag)});
      any = true;
    }
    if (any) text += '\n';
  }
}

// Walks the words of TextWords (marks left out) and calls
// visit(node, firstToken, lastToken) with the tokens whose letters the word
// covers (several for a joined expression). A word whose letters are not
// found near the current place is passed over.
template <typename Visit>
void AlignWords(const std::vector<Token>& tokens, Visit visit) {
  std::string stream;
  std::vector<int> owner;
  for (size_t i = 0; i < tokens.size(); ++i) {
    const std::string k = Key(tokens[i].word.c_str());
    stream += k;
    owner.insert(owner.end(), k.size(), static_cast<int>(i));
  }
  size_t p = 0;
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n)) {
    if (std::strcmp(n->text, "/") == 0) continue;
    const std::string k = Key(n->text);
    if (k.empty()) continue;
    if (stream.compare(p, k.size(), k) != 0) {
      const size_t found = stream.find(k, p);
      if (found == std::string::npos || found > p + 300) continue;
      p = found;
    }
    visit(n, owner[p], owner[p + k.size() - 1]);
    p += k.size();
  }
}

}  // namespace quilor::brown
