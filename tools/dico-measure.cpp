// dico-measure: measures the English lexicon on a tagged corpus in the Brown
// format (word/tag tokens): how many scored tokens get a reading, and how
// often the first reading's major class agrees with the corpus tag, before
// any disambiguation. It can also write the frequency list that orders the
// readings of ambiguous words.
//
//   dico-measure --corpus DIR --lexicon FILE [--files all|even|odd]
//                [--join] [--strict] [--frequencies-out FILE]
//
// --strict: a preposition token (Brown in) accepts a connector only for a
// word without a preposition reading, so that a connector read first for
// "for" or "after" no longer counts as right on their preposition tokens.
//
// Each token is looked up alone, as LookupWord reads one word; with --join
// the expressions the lexicon knows are first joined as the segment buffer
// joins them, and all their tokens take the expression's reading.
// FILE is a lexicon (.lv8).
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/category.h"
#include "core/chartables.h"
#include "core/lexicon.h"
#include "dico/brown_tags.h"
#include "dico/codes.h"

namespace {

// Brown tag groups, in the column order of the frequency list.
using quilor::brown::GroupOfTag;
using quilor::brown::kGroupNames;
constexpr int kGroupCount = quilor::brown::kGroups;
constexpr int kNotScored = quilor::brown::kNotScored;
using quilor::brown::kAdjective;
using quilor::brown::kAdverb;
using quilor::brown::kConjunction;
using quilor::brown::kDeterminant;
using quilor::brown::kNoun;
using quilor::brown::kPronoun;
using quilor::brown::kVerb;

// Major class of a category code as the analysis reads it.
int RecordClass(quilor::TCategoryCode code) {
  int c = (code >> 8) & 15;
  switch (c) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5: return c;
    case 6: return (code & 0xFF) == 1 ? 7 : 6;
    case 8: return 9;
    default: return 8;
  }
}

bool Accepts(int group, int cls, const std::string& word) {
  switch (group) {
    case kNoun: return cls == 8;
    case kVerb: return cls == 1;
    case kAdjective: return cls == 4;
    case kPronoun: return cls == 5;
    case kDeterminant: return cls == 6 || cls == 7 || cls == 2;
    case kConjunction: return cls == 2 || (cls == 5 && word == "that");
    case kAdverb: return cls == 3 || cls == 2;
  }
  return false;
}

const char* ClassName(int cls) {
  static const char* const kNames[] = {"unset",   "verb",        "connector",   "modality",    "adjective",
                                       "pronoun", "preposition", "determinant", "substantive", "unknown"};
  return cls >= 0 && cls <= 9 ? kNames[cls] : "?";
}

// The lexicon as the analysis reads it: LookupWord on the loaded .lv8 file,
// with its fall-backs (singular, verb forms) for the first reading.
class Lexicon {
 public:
  explicit Lexicon(const std::string& path) : d_(path, 2) {}
  bool Ready() const { return d_.ready; }
  // First reading; 0 when none.
  quilor::TCategoryCode FirstReading(const std::string& word) {
    if (word.empty() || word.size() > 79) return 0;
    return quilor::LookupWord(d_, 0, static_cast<int>(word.size()), true, false, word.c_str()) > 0 ? d_.value : 0;
  }
  // All readings of the form as written.
  std::vector<quilor::TCategoryCode> Readings(const std::string& word) {
    std::vector<quilor::TCategoryCode> codes;
    if (word.empty() || word.size() > 79) return codes;
    for (int r = 0; r < quilor::kMaxReadings; ++r) {
      if (quilor::LookupWord(d_, r, static_cast<int>(word.size()), false, false, word.c_str()) <= 0) break;
      codes.push_back(d_.value);
      if (!(d_.value & quilor::kCodeBitAnotherReading)) break;
    }
    return codes;
  }
  // The form as written, without fall-backs; `reached` tells whether a longer key goes on from it.
  quilor::TCategoryCode Exact(const std::string& word, bool& reached) {
    reached = false;
    if (word.empty() || word.size() > 79) return 0;
    int r = quilor::LookupWord(d_, 0, static_cast<int>(word.size()), false, false, word.c_str());
    reached = d_.WordFoundAsWritten;
    return r > 0 ? d_.value : 0;
  }

 private:
  quilor::TMainDictionary d_;
};

bool IsNumberWord(const std::string& w) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  return w.size() >= 2 && digit(w[0]) && digit(w[1]) && digit(w.back());
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(quilor::ToLowerChar(static_cast<unsigned char>(c)));
  return s;
}

// The key the analysis would look up for a corpus token: the scanner cuts
// the genitive and dots off; a hyphenated word is looked up whole, joined
// with '_', and else by its last part.
quilor::TCategoryCode ReadToken(Lexicon& lex, std::string word, bool& number) {
  number = false;
  word = Lower(word);
  if (word.size() > 2 && (word.compare(word.size() - 2, 2, "'s") == 0)) word.resize(word.size() - 2);
  while (!word.empty() && (word.back() == '.' || word.back() == '\'')) word.pop_back();
  if (word.empty()) return 0;
  if (auto c = lex.FirstReading(word)) return c;
  if (word.find('-') != std::string::npos) {
    std::string joined = word;
    std::replace(joined.begin(), joined.end(), '-', '_');
    if (auto c = lex.FirstReading(joined)) return c;
    size_t cut = word.find_last_of('-');
    std::string last = word.substr(cut + 1);
    if (!last.empty())
      if (auto c = lex.FirstReading(last)) return c;
    word = last;
  }
  if (word.find('.') != std::string::npos) {
    std::string plain;
    for (char ch : word)
      if (ch != '.') plain += ch;
    if (auto c = lex.FirstReading(plain)) return c;
  }
  if (IsNumberWord(word) || (!word.empty() && word[0] >= '0' && word[0] <= '9' && word.size() == 1)) {
    number = true;
    return 0x0403;  // the number rule: a numeral adjective
  }
  return 0;
}

// What the command line asks for.
struct Settings {
  std::string corpus, lexiconPath, files = "all", frequenciesOut;
  bool join = false, strict = false;
};

// False (with the usage printed) when the corpus or the lexicon is missing.
bool ParseArguments(int argc, char** argv, Settings& settings) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--join" || a == "--strict") {
      (a == "--join" ? settings.join : settings.strict) = true;
      continue;
    }
    if (i + 1 >= argc) break;
    if (a == "--corpus") settings.corpus = argv[i + 1];
    else if (a == "--lexicon") settings.lexiconPath = argv[i + 1];
    else if (a == "--files") settings.files = argv[i + 1];
    else if (a == "--frequencies-out") settings.frequenciesOut = argv[i + 1];
    ++i;
  }
  if (settings.corpus.empty() || settings.lexiconPath.empty()) {
    std::fprintf(stderr,
                 "usage: dico-measure --corpus DIR --lexicon FILE [--files all|even|odd] [--join] [--strict] "
                 "[--frequencies-out FILE]\n");
    return false;
  }
  return true;
}

// The corpus files (cXNN), all or those whose last digit is even or odd, in order.
std::vector<std::filesystem::path> CorpusFiles(const std::string& corpus, const std::string& files) {
  std::vector<std::filesystem::path> paths;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(corpus, ec)) {
    std::string name = e.path().filename().string();
    if (name.size() != 4 || name[0] != 'c' || !isdigit(static_cast<unsigned char>(name[3]))) continue;
    int last = name[3] - '0';
    if ((files == "even" && last % 2) || (files == "odd" && !(last % 2))) continue;
    paths.push_back(e.path());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

using Sentence = std::vector<std::pair<std::string, std::string>>;  // word, tag

// Expressions the lexicon knows are read as one word, as the segment
// buffer joins them: the longest match from a word that may start one.
// The reading of each token's expression; 0 for a token outside any.
std::vector<quilor::TCategoryCode> JoinExpressions(Lexicon& lex, const Sentence& sentence) {
  std::vector<quilor::TCategoryCode> joined(sentence.size(), 0);
  for (size_t i = 0; i < sentence.size(); ++i) {
    std::string candidate = Lower(sentence[i].first);
    bool reached;
    quilor::TCategoryCode first = lex.Exact(candidate, reached);
    if (!(first && quilor::dico::HasLongerExpressionMark(first)) && candidate.size() >= 3) continue;
    size_t best = 0;
    quilor::TCategoryCode bestCode = 0;
    for (size_t j = i + 1; j < sentence.size() && j < i + 6; ++j) {
      candidate += "_" + Lower(sentence[j].first);
      quilor::TCategoryCode c = lex.Exact(candidate, reached);
      if (c) {
        best = j;
        bestCode = c;
      }
      if (!reached) break;
    }
    for (size_t k = i; best && k <= best; ++k) joined[k] = bestCode;
    if (best) i = best;
  }
  return joined;
}

// What the corpus gave: the tokens scored, covered and agreeing, by Brown
// class, the disagreements and, for the frequency list, the counts by word.
struct Tally {
  long scored = 0, covered = 0, numbers = 0, agree = 0, agreeCovered = 0;
  std::array<long, kGroupCount> groupTokens{}, groupAgree{}, groupCovered{};
  std::map<std::pair<int, int>, long> confusion;  // (group, class) -> tokens that disagree
  std::map<std::string, std::array<int, kGroupCount>> counts;
  std::map<std::string, int> properNames;  // noun tokens tagged as proper names
  std::map<std::string, long> unknown, wrongWords;
  std::map<std::string, bool> hasPreposition;
};

// Scores one token: its word and tag, and the reading of the expression it
// stands in (0 when none).
void ScoreToken(Lexicon& lex, const Settings& settings, const std::string& word, const std::string& tag,
                quilor::TCategoryCode joinedCode, Tally& t) {
  int group = GroupOfTag(tag);
  if (group == kNotScored) return;
  ++t.scored;
  ++t.groupTokens[group];
  bool number = false;
  quilor::TCategoryCode code = joinedCode ? joinedCode : ReadToken(lex, word, number);
  std::string key = Lower(word);
  if (!settings.frequenciesOut.empty()) {
    t.counts[key][group] += 1;
    if (tag.compare(0, 2, "np") == 0) t.properNames[key] += 1;
    // Post-determiners (last, next, few) also count for an adjective reading.
    if (tag.compare(0, 2, "ap") == 0 && (tag.size() == 2 || tag[2] == '-')) t.counts[key][kAdjective] += 1;
  }
  int cls = code ? RecordClass(code) : 8;  // an unknown word is read as a substantive
  if (code) {
    ++t.covered;
    ++t.groupCovered[group];
    if (number) ++t.numbers;
  } else {
    ++t.unknown[key];
  }
  bool agrees = Accepts(group, cls, key);
  if (agrees && settings.strict && group == kDeterminant && cls == 2) {
    auto known = t.hasPreposition.find(key);
    if (known == t.hasPreposition.end()) {
      bool any = false;
      for (quilor::TCategoryCode c : lex.Readings(key)) any |= RecordClass(c) == 6;
      known = t.hasPreposition.emplace(key, any).first;
    }
    agrees = !known->second;
  }
  if (agrees) {
    ++t.agree;
    ++t.groupAgree[group];
    if (code) ++t.agreeCovered;
  } else {
    ++t.confusion[{group, cls}];
    ++t.wrongWords[key + "/" + kGroupNames[group] + ">" + ClassName(cls)];
  }
}

// Scores every token of one corpus file, a sentence a line.
void ScoreFile(Lexicon& lex, const Settings& settings, const std::filesystem::path& path, Tally& t) {
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream tokens(line);
    Sentence sentence;
    std::string token;
    while (tokens >> token) {
      size_t slash = token.rfind('/');
      if (slash == std::string::npos || slash == 0) continue;
      sentence.emplace_back(token.substr(0, slash), token.substr(slash + 1));
    }
    const std::vector<quilor::TCategoryCode> joined =
        settings.join ? JoinExpressions(lex, sentence) : std::vector<quilor::TCategoryCode>(sentence.size(), 0);
    for (size_t i = 0; i < sentence.size(); ++i)
      ScoreToken(lex, settings, sentence[i].first, sentence[i].second, joined[i], t);
  }
}

// The most frequent entries of a count, most frequent first.
template <typename Key>
std::vector<std::pair<long, Key>> ByCount(const std::map<Key, long>& counts) {
  std::vector<std::pair<long, Key>> sorted;
  for (const auto& [k, v] : counts) sorted.push_back({v, k});
  std::sort(sorted.rbegin(), sorted.rend());
  return sorted;
}

void PrintReport(const Settings& settings, double loadSeconds, size_t fileCount, const Tally& t) {
  auto pct = [](long a, long b) { return b ? 100.0 * a / b : 0.0; };
  std::printf("Lexicon %s loaded in %.3f s\n", settings.lexiconPath.c_str(), loadSeconds);
  std::printf("Corpus %s: %zu files (%s), %ld scored tokens%s\n", settings.corpus.c_str(), fileCount,
              settings.files.c_str(), t.scored, settings.join ? ", expressions joined" : "");
  std::printf("Coverage: %.2f%% of scored tokens get a reading (%ld; %ld of them by the number rule)\n",
              pct(t.covered, t.scored), t.covered, t.numbers);
  std::printf(
      "First-reading agreement: %.2f%% of scored tokens (unknown words read as substantives); %.2f%% of covered "
      "tokens\n",
      pct(t.agree, t.scored), pct(t.agreeCovered, t.covered));
  std::printf("By Brown class:\n  %-12s %8s %9s %9s\n", "class", "tokens", "covered", "agree");
  for (int g = 0; g < kGroupCount; ++g)
    std::printf("  %-12s %8ld %8.2f%% %8.2f%%\n", kGroupNames[g], t.groupTokens[g],
                pct(t.groupCovered[g], t.groupTokens[g]), pct(t.groupAgree[g], t.groupTokens[g]));
  const auto worst = ByCount(t.confusion);
  std::printf("Main disagreements (Brown class read as):\n");
  for (size_t i = 0; i < worst.size() && i < 8; ++i)
    std::printf("  %-12s as %-12s %7ld (%.2f%%)\n", kGroupNames[worst[i].second.first],
                ClassName(worst[i].second.second), worst[i].first, pct(worst[i].first, t.scored));
  const auto wrong = ByCount(t.wrongWords);
  std::printf("Most frequent disagreements (word/Brown class>first reading):");
  for (size_t i = 0; i < wrong.size() && i < 12; ++i) std::printf(" %s(%ld)", wrong[i].second.c_str(), wrong[i].first);
  std::printf("\n");
  const auto missing = ByCount(t.unknown);
  std::printf("Most frequent words without a reading:");
  for (size_t i = 0; i < missing.size() && i < 15; ++i)
    std::printf(" %s(%ld)", missing[i].second.c_str(), missing[i].first);
  std::printf("\n");
}

// Only the words whose readings belong to more than one class need ordering.
bool WriteFrequencies(Lexicon& lex, const std::string& path, const Tally& t) {
  std::ofstream out(path, std::ios::trunc);
  out << "# Frequencies of the ambiguous words, counted on the Brown corpus (informative prose,\n"
         "# W. N. Francis and H. Kucera, 1964/1979; redistribution permitted), written by\n"
         "# dico/measure.sh --frequencies. They order a word's readings, most frequent first.\n"
         "# Columns (blank-separated): WORD and the counts of its tokens tagged\n"
         "#   noun (nn np...), verb (vb be hv do md...), adjective (jj cd od ap), pronoun (pp pn wp ex),\n"
         "#   determinant (at dt ab ap in), conjunction (cc cs), adverb (rb ql rn *),\n"
         "#   then, of the noun tokens, those tagged as proper names (np nps...)\n";
  for (const auto& [w, c] : t.counts) {
    std::vector<quilor::TCategoryCode> codes = lex.Readings(w);
    std::set<int> classes;
    for (auto code : codes) classes.insert(RecordClass(code) == 7 ? 6 : RecordClass(code));
    int total = 0;
    for (int v : c) total += v;
    if (classes.size() < 2 || total < 2) continue;
    out << w;
    for (int v : c) out << ' ' << v;
    auto proper = t.properNames.find(w);
    out << ' ' << (proper == t.properNames.end() ? 0 : proper->second) << '\n';
  }
  if (!out) {
    std::fprintf(stderr, "dico-measure: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Settings settings;
  if (!ParseArguments(argc, argv, settings)) return 2;
  auto t0 = std::chrono::steady_clock::now();
  Lexicon lex(settings.lexiconPath);
  if (!lex.Ready()) {
    std::fprintf(stderr, "dico-measure: cannot read %s\n", settings.lexiconPath.c_str());
    return 1;
  }
  double loadSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const std::vector<std::filesystem::path> paths = CorpusFiles(settings.corpus, settings.files);
  Tally tally;
  for (const auto& p : paths) ScoreFile(lex, settings, p, tally);
  PrintReport(settings, loadSeconds, paths.size(), tally);
  if (!settings.frequenciesOut.empty() && !WriteFrequencies(lex, settings.frequenciesOut, tally)) return 1;
  return 0;
}
