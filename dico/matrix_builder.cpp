// quilor-dico-matrix: the dictionary matrix (englex.zv8) from a tagged corpus
// in the Brown format and the lexicon in text form.
//
//   quilor-dico-matrix --corpus DIR --lexicon englex.txt --out FILE
//                      [--files all|even|odd] [--scale K]
//
// Every corpus token is given the major class the analysis should choose for
// it: the first lexicon reading whose class the corpus tag accepts, else the
// class the tag stands for (a word the lexicon lacks), else, for tags that
// are not scored, the lexicon's first reading. Within each stretch of words
// that no punctuation interrupts (the resolver's windows) the class pairs
// and triples are counted, and the weights are scaled log probabilities:
//   P[a][b]    = K ln p(b | a)         T[a][b][c]  = K ln p(c | a, b)
//   P5[s][b]   = K ln p(b | a = Pronoun of subclass s) - P[5][b]
//   T5[s][b][c] likewise against T[5][b][c]
//   W0         = K ln (p(Connector first in a window) / p(Connector))
// so that the left, middle and right weights that the resolver adds for a
// reading sum to the log probability of the class chain around it. The same
// inputs give the same bytes.
#include <dirent.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/category.h"
#include "dico/brown_tags.h"
#include "core/chartables.h"
#include "dico/lexicon_list.h"
#include "engine/dictionary_matrix.h"
#include "platform/read_file.h"

namespace {

using namespace quilor;

constexpr int N = kMatrixClasses;
constexpr double kSmoothing = 0.5;

using Reading = dico::LexiconReading;
using Lexicon = dico::LexiconList;

// The lexicon's text, read whole (a regular file of bounded size only).
bool LoadLexicon(const std::string& path, Lexicon& lexicon) {
  std::string text;
  if (ReadWholeFile(path, size_t{256} << 20, text) != ReadFileStatus::kOk) return false;
  dico::ParseLexiconList(text, lexicon);
  return !lexicon.empty();
}

// The classes a corpus tag accepts; empty for a tag that is not scored.
std::vector<int> AcceptedClasses(const std::string& tag) { return brown::AcceptedClasses(brown::GroupOfTag(tag)); }

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool AllDigits(const std::string& s) {
  return !s.empty() &&
         std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) || c == ',' || c == '.'; });
}

Reading ClassOfToken(const Lexicon& lexicon, const std::string& word, const std::string& tag) {
  const std::vector<int> accepted = AcceptedClasses(tag);
  const auto it = lexicon.find(Lower(word));
  if (it != lexicon.end()) {
    for (const Reading& r : it->second)
      if (std::find(accepted.begin(), accepted.end(), r.cls) != accepted.end()) return r;
    if (accepted.empty()) return it->second.front();
  }
  if (!accepted.empty()) return {accepted.front(), 0};
  if (AllDigits(word)) return {kClassAdjective, 0};
  return {kClassSubstantive, 0};
}

struct Counts {
  double pair[N][N] = {};
  double triple[N][N][N] = {};
  double pronounPair[N][N] = {};
  double pronounTriple[N][N][N] = {};
  double firstConnector = 0, first = 0, connector = 0, all = 0;
};

void CountWindow(const std::vector<Reading>& w, Counts& c) {
  if (w.empty()) return;
  c.first += 1;
  if (w[0].cls == kClassConnector) c.firstConnector += 1;
  for (size_t i = 0; i < w.size(); ++i) {
    c.all += 1;
    if (w[i].cls == kClassConnector) c.connector += 1;
    if (i + 1 < w.size()) {
      c.pair[w[i].cls][w[i + 1].cls] += 1;
      if (w[i].cls == kClassPronoun) c.pronounPair[w[i].sub][w[i + 1].cls] += 1;
    }
    if (i + 2 < w.size()) {
      c.triple[w[i].cls][w[i + 1].cls][w[i + 2].cls] += 1;
      if (w[i].cls == kClassPronoun) c.pronounTriple[w[i].sub][w[i + 1].cls][w[i + 2].cls] += 1;
    }
  }
}

int16_t Clip(double v) { return static_cast<int16_t>(std::lround(std::clamp(v, -30000.0, 30000.0))); }

// K ln p(x | row) for the counts of one row.
template <size_t M>
void LogRow(const double (&row)[M], double scale, double (&out)[M]) {
  double total = 0;
  for (double v : row) total += v;
  for (size_t b = 0; b < M; ++b) out[b] = scale * std::log((row[b] + kSmoothing) / (total + kSmoothing * M));
}

}  // namespace

int main(int argc, char** argv) {
  std::string corpus, lexiconPath, out, files = "all";
  double scale = 20;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i];
    if (a == "--corpus") corpus = argv[i + 1];
    else if (a == "--lexicon") lexiconPath = argv[i + 1];
    else if (a == "--out") out = argv[i + 1];
    else if (a == "--files") files = argv[i + 1];
    else if (a == "--scale") scale = std::atof(argv[i + 1]);
  }
  if (corpus.empty() || lexiconPath.empty() || out.empty() || argc % 2 == 0 || scale <= 0) {
    std::fprintf(stderr,
                 "usage: quilor-dico-matrix --corpus DIR --lexicon englex.txt --out FILE "
                 "[--files all|even|odd] [--scale K]\n");
    return 2;
  }
  Lexicon lexicon;
  if (!LoadLexicon(lexiconPath, lexicon)) {
    std::fprintf(stderr, "quilor-dico-matrix: cannot read the lexicon %s\n", lexiconPath.c_str());
    return 1;
  }
  std::vector<std::string> names;
  if (DIR* d = opendir(corpus.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string n = e->d_name;
      if (n.size() == 4 && n[0] == 'c' && std::isdigit(static_cast<unsigned char>(n[3]))) names.push_back(n);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  Counts counts;
  size_t used = 0;
  for (const std::string& n : names) {
    const int number = std::atoi(n.c_str() + 2);
    if ((files == "even" && number % 2 != 0) || (files == "odd" && number % 2 == 0)) continue;
    std::ifstream in(corpus + "/" + n);
    std::string line, token;
    std::vector<Reading> window;
    while (std::getline(in, line)) {
      std::istringstream tokens(line);
      while (tokens >> token) {
        const size_t slash = token.rfind('/');
        if (slash == std::string::npos || slash == 0) continue;
        const std::string word = token.substr(0, slash), tag = token.substr(slash + 1);
        if (brown::IsPunctuationToken(word)) {
          CountWindow(window, counts);
          window.clear();
          continue;
        }
        window.push_back(ClassOfToken(lexicon, word, tag));
      }
      CountWindow(window, counts);
      window.clear();
    }
    ++used;
  }
  if (used == 0) {
    std::fprintf(stderr, "quilor-dico-matrix: no corpus file in %s\n", corpus.c_str());
    return 1;
  }

  TDictionaryMatrix m;
  double row[N];
  double sub[N];
  for (int a = 0; a < N; ++a) {
    LogRow(counts.pair[a], scale, row);
    for (int b = 0; b < N; ++b) m.P[a][b] = Clip(row[b]);
    for (int b = 0; b < N; ++b) {
      LogRow(counts.triple[a][b], scale, row);
      for (int c = 0; c < N; ++c) m.T[a][b][c] = Clip(row[c]);
    }
  }
  for (int s = 0; s < N; ++s) {
    double total = 0;
    for (double v : counts.pronounPair[s]) total += v;
    if (total == 0) continue;  // no such pronoun: nothing to add
    LogRow(counts.pronounPair[s], scale, sub);
    for (int b = 0; b < N; ++b) m.P5[s][b] = Clip(sub[b] - m.P[kClassPronoun][b]);
    for (int b = 0; b < N; ++b) {
      double t = 0;
      for (double v : counts.pronounTriple[s][b]) t += v;
      if (t == 0) continue;
      LogRow(counts.pronounTriple[s][b], scale, sub);
      for (int c = 0; c < N; ++c) m.T5[s][b][c] = Clip(sub[c] - m.T[kClassPronoun][b][c]);
    }
  }
  if (counts.connector > 0 && counts.first > 0 && counts.firstConnector > 0)
    m.W0 =
        Clip(std::max(0.0, scale * std::log((counts.firstConnector / counts.first) / (counts.connector / counts.all))));
  if (!WriteDictionaryMatrix(out, m)) {
    std::fprintf(stderr, "quilor-dico-matrix: cannot write %s\n", out.c_str());
    return 1;
  }
  std::printf("quilor-dico-matrix: %zu corpus files, %.0f words, W0 %d\n", used, counts.all, m.W0);
  return 0;
}
