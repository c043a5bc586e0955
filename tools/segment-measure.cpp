// segment-measure: how often the analysis chooses the right major class on
// a tagged corpus in the Brown format.
//
//   segment-measure --corpus DIR --dico DIR [--files all|even|odd] [--misses N]
//                   [--expressions FILE]
//
// Each corpus file is written out as plain text (tags dropped, `` and ''
// as '"'), read by the word scanner, the segment buffer and the resolver
// with the dictionaries of --dico, and the words of TextWords are aligned
// back to the corpus tokens by their letters and digits. A scored token
// (a tag of the table below, no '+') agrees when the chosen reading's major
// class is one its tag accepts; a token that an expression absorbed takes
// the expression's class. Prints the agreement per tag group, per corpus
// category (cats.txt) and in all. --expressions writes, for each expression
// the analysis joined, its scored tokens, how many agree with the joined
// class, and how many would agree with each word's own first reading in the
// lexicon (expression TAB tokens TAB joined TAB own), most tokens first.
#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/chartables.h"
#include "core/tuning.h"
#include "core/lexicon.h"
#include "core/messages.h"
#include "dico/brown_tags.h"
#include "tools/brown_text.h"
#include "dico/codes.h"
#include "engine/analysis_dictionaries.h"
#include "engine/segment_buffer.h"
#include "engine/segment_resolver.h"
#include "engine/word_list.h"
#include "engine/word_scanner.h"
#include "platform/fatal.h"
#include "platform/message_ui.h"

namespace {

using namespace quilor;

using namespace brown;

// What the analysis made of a token.
struct Scored {
  int cls = -1;         // the class the analysis gave it (-1: no word reached it)
  bool joined = false;  // part of an expression of several tokens
  int expression = -1;  // the occurrence of an expression it belongs to
};

// Per joined expression: scored tokens, agreeing as joined, agreeing by
// each word's own first reading.
struct ExpressionTally {
  long tokens = 0, joined = 0, own = 0;
};

// The first reading of a word alone, as the lexicon gives it (an unknown
// word is read as a substantive); the major class as NormaliseMajorClass
// numbers it.
int OwnClass(TMainDictionary* d, const std::string& word) {
  if (IsNumberWord(word.c_str())) return kClassAdjective;
  if (!d || word.empty() || word.size() > 79) return kClassSubstantive;
  if (LookupWord(*d, 0, static_cast<int>(word.size()), true, false, word.c_str()) <= 0) return kClassSubstantive;
  const TCategoryCode code = d->value;
  const int c = dico::MajorClassOfCode(code);
  switch (c) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5: return c;
    case 6: return (code & 0xFF) == 1 ? kClassDeterminant2 : kClassDeterminant;
    case 8: return kClassUnknown;
    default: return kClassSubstantive;
  }
}

struct Tally {
  long scored = 0, agreed = 0;
  void Add(bool ok) {
    ++scored;
    agreed += ok;
  }
  double Rate() const { return scored ? 100.0 * agreed / scored : 0; }
};

void MeasureFile(const std::string& path, Tally (&groups)[kGroups], Tally& category, Tally& all, Tally& single,
                 std::map<std::string, long>& misses, TMainDictionary* own,
                 std::map<std::string, ExpressionTally>* expressions) {
  std::vector<Token> tokens;
  std::string text;
  ReadBrownFile(path, tokens, text);
  // Plain Windows-1252 text: the corpus is ASCII.
  SegmentTextAsFile(reinterpret_cast<const unsigned char*>(text.data()), text.size(), false);

  std::vector<Scored> scored(tokens.size());
  std::vector<std::string> occurrences;  // the joined text of each expression met
  AlignWords(tokens, [&](TWordNode* n, int first, int last) {
    TCategoryRecord r = n->category.Category;
    const int cls = NormaliseMajorClass(r);
    const bool several = first != last;
    if (several) {
      ++misses[std::string("expression ") + n->text + " ->" + std::to_string(cls)];
      occurrences.push_back(n->text);
    }
    for (int i = first; i <= last; ++i) {
      Scored& tok = scored[static_cast<size_t>(i)];
      if (tok.cls < 0) tok.cls = cls;
      if (several) {
        tok.joined = true;
        if (tok.expression < 0) tok.expression = static_cast<int>(occurrences.size()) - 1;
      }
    }
  });
  for (size_t i = 0; i < tokens.size(); ++i) {
    const Token& t = tokens[i];
    const Scored& tok = scored[i];
    if (t.group == kNotScored) continue;
    std::string lower = t.word;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool ok = Accepts(t.group, tok.cls, lower);
    groups[t.group].Add(ok);
    category.Add(ok);
    all.Add(ok);
    if (!tok.joined) single.Add(ok);
    if (expressions && tok.expression >= 0) {
      std::string name = occurrences[tok.expression];
      for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      ExpressionTally& e = (*expressions)[name];
      ++e.tokens;
      e.joined += ok;
      e.own += Accepts(t.group, OwnClass(own, lower), lower);
    }
    if (!ok) ++misses[lower + " " + kGroupNames[t.group] + "->" + std::to_string(tok.cls)];
  }
  TextWords.Clear();
}

}  // namespace

int main(int argc, char** argv) {
  std::string corpus = std::string(QUILOR_CORPUS_ROOT) + "/brown", dico, files = "all", expressionFile;
  int top = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i];
    if (a == "--corpus") corpus = argv[i + 1];
    else if (a == "--dico") dico = argv[i + 1];
    else if (a == "--files") files = argv[i + 1];
    else if (a == "--expressions") expressionFile = argv[i + 1];
    else if (a == "--misses") top = std::atoi(argv[i + 1]);
    else if (a == "--reading-cost") Tuning.laterReadingCost = std::atoi(argv[i + 1]);
  }
  if (dico.empty()) {
    std::fprintf(
        stderr,
        "usage: segment-measure --corpus DIR --dico DIR [--files all|even|odd] [--misses N] [--expressions FILE]\n");
    return 2;
  }
  ScriptedMessageUi ui(true);
  SetMessageUi(&ui);
  InitMessages();
  try {
    OpenAnalysisDictionaries(dico);
  } catch (const FatalError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return e.ExitCode();
  }
  std::map<std::string, std::string> categories;
  {
    std::ifstream cats(corpus + "/cats.txt");
    std::string name, cat;
    while (cats >> name >> cat) categories[name] = cat;
  }
  Tally groups[kGroups];
  std::map<std::string, Tally> perCategory;
  Tally all, single;
  std::map<std::string, long> misses;
  std::map<std::string, ExpressionTally> expressions;
  std::unique_ptr<TMainDictionary> own;
  if (!expressionFile.empty()) own = std::make_unique<TMainDictionary>(dico + "/englex.lv8", 2);
  for (const auto& [name, cat] : categories) {
    const int number = std::atoi(name.c_str() + 2);
    if ((files == "even" && number % 2 != 0) || (files == "odd" && number % 2 == 0)) continue;
    MeasureFile(corpus + "/" + name, groups, perCategory[cat], all, single, misses,
                own && own->ready ? own.get() : nullptr, expressionFile.empty() ? nullptr : &expressions);
  }
  std::printf("group\tscored\tagreed\tpercent\n");
  for (int g = 0; g < kGroups; ++g)
    std::printf("%s\t%ld\t%ld\t%.2f\n", kGroupNames[g], groups[g].scored, groups[g].agreed, groups[g].Rate());
  std::printf("\ncategory\tscored\tagreed\tpercent\n");
  for (const auto& [cat, t] : perCategory)
    std::printf("%s\t%ld\t%ld\t%.2f\n", cat.c_str(), t.scored, t.agreed, t.Rate());
  std::printf("\nall\t%ld\t%ld\t%.2f\n", all.scored, all.agreed, all.Rate());
  std::printf("outside expressions\t%ld\t%ld\t%.2f\n", single.scored, single.agreed, single.Rate());
  if (top > 0) {
    std::vector<std::pair<long, std::string>> sorted;
    for (const auto& [k, v] : misses) sorted.emplace_back(v, k);
    std::sort(sorted.rbegin(), sorted.rend());
    for (int i = 0; i < top && i < static_cast<int>(sorted.size()); ++i)
      std::printf("miss\t%ld\t%s\n", sorted[i].first, sorted[i].second.c_str());
  }
  if (!expressionFile.empty()) {
    std::vector<std::pair<long, std::string>> sorted;
    for (const auto& [k, v] : expressions) sorted.emplace_back(-v.tokens, k);
    std::sort(sorted.begin(), sorted.end());
    std::ofstream out(expressionFile);
    out << "# expression\ttokens\tjoined\town\n";
    for (const auto& [minus, k] : sorted) {
      const ExpressionTally& e = expressions[k];
      out << k << '\t' << e.tokens << '\t' << e.joined << '\t' << e.own << '\n';
    }
  }
  CloseAnalysisDictionaries();
  SetMessageUi(nullptr);
  return 0;
}
