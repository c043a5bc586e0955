#include "dico/spelling_variants.h"

#include <algorithm>
#include <unordered_set>

#include "dico/wordnet.h"

namespace quilor::dico {

namespace {

// British -> American, in the order they are tried.
constexpr std::pair<const char*, const char*> kDifferences[] = {
    {"our", "or"},   {"tre", "ter"},    {"vre", "ver"},   {"bre", "ber"}, {"ise", "ize"},        {"isa", "iza"},
    {"isi", "izi"},  {"yse", "yze"},    {"ence", "ense"}, {"ogue", "og"}, {"ae", "e"},           {"oe", "e"},
    {"lled", "led"}, {"lling", "ling"}, {"ller", "ler"},  {"mme", "m"},   {"dgement", "dgment"},
};
constexpr size_t kMaxWord = 64;

std::string ReplaceAll(std::string s, std::string_view from, std::string_view to) {
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

}  // namespace

std::vector<std::string> ParseSpellingList(std::string_view text) {
  std::vector<std::string> words;
  std::string error;
  wordnet::ForEachLine(text, "word list", error, false, [&](std::string_view w, std::string&) {
    if (w.size() <= kMaxWord && std::all_of(w.begin(), w.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
      words.emplace_back(w);
    return true;
  });
  return words;
}

std::vector<std::string> AmericanCandidates(std::string_view british) {
  std::vector<std::string> forms{std::string(british)};
  if (british.size() > kMaxWord) return {};
  for (const auto& [from, to] : kDifferences) {
    const size_t n = forms.size();
    for (size_t i = 0; i < n; ++i)
      if (forms[i].find(from) != std::string::npos) forms.push_back(ReplaceAll(forms[i], from, to));
  }
  std::unordered_set<std::string> seen{std::string(british)};
  std::vector<std::string> unique;
  for (std::string& f : forms)
    if (seen.insert(f).second) unique.push_back(std::move(f));
  return unique;
}

std::vector<std::pair<std::string, std::string>> PairSpellings(const std::vector<std::string>& british,
                                                               const std::vector<std::string>& american) {
  const std::unordered_set<std::string> b(british.begin(), british.end()), a(american.begin(), american.end());
  std::vector<std::string> britishOnly;
  for (const std::string& w : b)
    if (!a.count(w)) britishOnly.push_back(w);
  std::sort(britishOnly.begin(), britishOnly.end());
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const std::string& w : britishOnly)
    for (const std::string& c : AmericanCandidates(w))
      if (a.count(c) && !b.count(c)) {
        pairs.emplace_back(w, c);
        break;
      }
  return pairs;
}

}  // namespace quilor::dico
