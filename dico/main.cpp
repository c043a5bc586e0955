// quilor-dico: builds the English dictionary files from WordNet 3.0 and the
// word lists of dico/lists/.
//   quilor-dico --wordnet DIR --lists DIR --out DIR [--frequencies FILE] [--dump FILE]
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "dico/files.h"
#include "dico/lexicon_model.h"
#include "dico/wordnet.h"

using namespace quilor;

int main(int argc, char** argv) {
  std::string wordnetDir = "/usr/share/wordnet", listsDir, outDir, frequencies, dump;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string a = argv[i];
    if (a == "--wordnet") wordnetDir = argv[i + 1];
    else if (a == "--lists") listsDir = argv[i + 1];
    else if (a == "--out") outDir = argv[i + 1];
    else if (a == "--frequencies") frequencies = argv[i + 1];
    else if (a == "--dump") dump = argv[i + 1];
    else {
      std::fprintf(stderr, "quilor-dico: unknown option %s\n", argv[i]);
      return 2;
    }
  }
  if (argc % 2 == 0 || listsDir.empty() || (outDir.empty() && dump.empty())) {
    std::fprintf(stderr, "usage: quilor-dico --wordnet DIR --lists DIR --out DIR [--frequencies FILE] [--dump FILE]\n");
    return 2;
  }
  std::string error;
  wordnet::Database wn;
  if (!wn.Load(wordnetDir, error)) {
    std::fprintf(stderr, "quilor-dico: %s\n", error.c_str());
    return 1;
  }
  dico::WordLists lists;
  if (!dico::LoadWordLists(listsDir, frequencies, lists, error)) {
    std::fprintf(stderr, "quilor-dico: %s\n", error.c_str());
    return 1;
  }
  dico::LexiconModel model;
  model.Build(wn, lists);
  if (!dump.empty()) {
    std::ofstream out(dump, std::ios::binary);
    model.Dump(out);
    if (!out) {
      std::fprintf(stderr, "quilor-dico: cannot write %s\n", dump.c_str());
      return 1;
    }
  }
  if (!outDir.empty()) {
    dico::WriteReport report;
    if (!dico::WriteDictionaryFiles(model, lists, outDir, report, error)) {
      std::fprintf(stderr, "quilor-dico: %s\n", error.c_str());
      return 1;
    }
    std::printf("quilor-dico: %zu word forms; %zu verbs with %zu other forms; %zu adjectives with %zu other forms\n",
                report.words, report.verbs, report.verbForms, report.adjectives, report.adjectiveForms);
    if (report.refused) {
      std::fprintf(stderr, "quilor-dico: %zu words or forms refused by the writers\n", report.refused);
      return 1;
    }
  }
  return 0;
}
