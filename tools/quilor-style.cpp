// quilor-style: style diagnosis of texts from the command line, and the
// calibration of the style norms on a tagged corpus.
//
//   quilor-style [--dico DIR] [--bursts] FILE...      documents
//   quilor-style [--dico DIR] [--bursts] --corpus DIR a corpus in the word/tag format
//                                                     with cats.txt (file and category)
//   quilor-style [--dico DIR] --corpus DIR --calibrate OUT [--percentile P] [--previous LIST]
//
// Each document (a corpus file with its tags taken off) goes through an
// analysis run with the dictionaries of DIR (by default <root>/Dico) and is
// diagnosed with the lexicon's norms. Output: one line per file (name,
// category, words, findings), with --bursts followed by the lines of its
// bursts, episodes and characteristic propositions (engine/burst_report.h),
// then per category the number of files of each style. With --calibrate the norm
// of each display code is the P-th percentile (default 70) of its percentage
// over the corpus files, written to OUT in the form of dico/lists/style_norms.txt;
// the labels, and the norms of codes no file shows, come from LIST.
//
// Exit codes: 0 done, 64 bad arguments, 66 a file or folder unreadable, and
// the code of a fatal error (a bad lexicon).
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/analysis.h"
#include "core/tool_main.h"
#include "core/chartables.h"
#include "core/file_queue.h"
#include "core/files.h"
#include "core/lexicon.h"
#include "core/messages.h"
#include "engine/category_counters.h"
#include "engine/diagnosis.h"
#include "engine/analysis_run.h"
#include "engine/burst_report.h"
#include "engine/bursts.h"
#include "core/options.h"
#include "engine/startup.h"
#include "engine/tagged_corpus.h"
#include "import/conversion_dispatch.h"
#include "import/read_ahead.h"
#include "import/text_loader.h"
#include "platform/fatal.h"
#include "platform/message_ui.h"
#include "platform/read_file.h"
#include "platform/safe_save.h"
#include "platform/text_encoding.h"
#include "tools/style_lists.h"

namespace {

using namespace quilor;

constexpr int kExitUsage = 64;
constexpr int kExitNoInput = 66;
constexpr size_t kMaxFileSize = 64u << 20;

struct FileResult {
  std::string name;
  std::string category;
  uint32_t words = 0;
  std::vector<int> findings;
  std::array<double, kDisplayCodeCount + 1> percentages{};
  std::string report;
};

// The install root: the parent of the program's folder.
std::string InstallRoot() {
  const std::string exe = ProgramPath();
  const std::string dir = exe.substr(0, exe.find_last_of('/') == std::string::npos ? 0 : exe.find_last_of('/'));
  const size_t slash = dir.find_last_of('/');
  return dir.empty() ? "." : slash == std::string::npos || slash == 0 ? "/" : dir.substr(0, slash);
}

const char* StyleName(int message) {
  switch (message) {
    case kMsgArgumentative: return "argumentative";
    case kMsgNarrative: return "narrative";
    case kMsgEnunciative: return "enunciative";
    case kMsgDescriptive: return "descriptive";
    default: return "none";
  }
}

// A corpus file as plain text: its words without their tags, blank-separated.
bool WriteDetagged(const std::string& text, const std::string& path) {
  std::string plain;
  plain.reserve(text.size() / 2);
  ReadTaggedText(
      text,
      [&](std::string_view w) {
        plain += ' ';
        plain += w;
      },
      [&] { plain += ".\n"; });
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(plain.data(), 1, plain.size(), f) == plain.size();
  return std::fclose(f) == 0 && written;
}

// Analyses one document and diagnoses it; with bursts, the bursts, episodes
// and characteristic propositions of the run are kept as text.
bool Analyse(const std::string& path, bool tagged, const std::string& scratch, bool bursts, FileResult& result) {
  std::string document = path;
  // A missing or unreadable file, a pipe or a folder is an error, never a short text.
  if (!IsReadableRegularFile(path)) return false;
  if (tagged) {
    std::string text;
    if (ReadWholeFile(path, kMaxFileSize, text) != ReadFileStatus::kOk || !WriteDetagged(text, scratch)) return false;
    document = scratch;
  }
  FileQueue.Clear();
  if (!FileQueue.Add(document.c_str())) return false;
  TAnalysis analysis;
  RunAnalysis(analysis, 0, TakeRunSettings(*Options));
  CloseProgressGauge();
  // A document its converter could not read (listed by the run) is no text either.
  for (const ConversionFailure& failure : ConversionFailures.files)
    if (failure.fileName == document) return false;
  TDiagnosisList list;
  RecordingDiagnosisView view;
  list.DiagnoseStyle(TDiagnosisInputs::Current(), &view);
  list.BuildTendencies(TDiagnosisInputs::Current(), true, nullptr);
  result.words = RunCounts.words;
  result.findings = list.Findings();
  std::copy(RunCounts.percentages, RunCounts.percentages + kDisplayCodeCount + 1, result.percentages.begin());
  if (bursts) {
    result.report = FormatStyleAndBursts(list, analysis.bursts, [](int32_t id) {
      return AnalysisResults ? AnalysisResults->ItemName(id) : std::to_string(id);
    });
  }
  return true;
}

int Usage() {
  std::fprintf(stderr,
               "usage: quilor-style [--dico DIR] [--bursts] FILE...\n"
               "       quilor-style [--dico DIR] [--bursts] --corpus DIR [--calibrate OUT [--percentile P] [--previous "
               "LIST]]\n");
  return kExitUsage;
}

using style_lists::Lines;

// printf into a string.
template <typename... Args>
void Append(std::string& out, const char* format, Args... args) {
  const int n = std::snprintf(nullptr, 0, format, args...);
  if (n <= 0) return;
  std::string piece(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(piece.data(), piece.size(), format, args...);
  piece.pop_back();
  out += piece;
}

// Codes that no file of the corpus shows (the profile counts no referents,
// gerunds or errors) keep their previous norm.
bool WriteNorms(const std::string& out, const std::vector<FileResult>& results, double percentile,
                const std::string& previousPath) {
  style_lists::NormList previous{};
  std::string previousText;
  if (!previousPath.empty() && ReadWholeFile(previousPath, kMaxFileSize, previousText) == ReadFileStatus::kOk)
    previous = style_lists::ParseNorms(previousText);
  std::string f;
  Append(f,
         "# Style norms of the English lexicon: the percentage above which a display category\n"
         "# counts as over-represented in a text. Calibrated by dico/calibrate_norms.sh on the\n"
         "# Brown corpus (informative prose, %zu files): the %g-th percentile of each code's\n"
         "# percentage over the files, rounded.\n"
         "# Columns (blank-separated): CODE (display category 1..77) VALUE (-128..127); '#' label\n",
         results.size(), percentile);
  for (int c = 1; c <= kDisplayCodeCount; ++c) {
    std::vector<double> v;
    for (const FileResult& r : results) v.push_back(r.percentages[static_cast<size_t>(c)]);
    std::sort(v.begin(), v.end());
    double value = 0;
    if (!v.empty()) {
      const double at = percentile / 100 * static_cast<double>(v.size() - 1);
      const size_t low = static_cast<size_t>(at);
      const size_t high = std::min(low + 1, v.size() - 1);
      value = v[low] + (v[high] - v[low]) * (at - static_cast<double>(low));
    }
    const style_lists::Norm& p = previous[static_cast<size_t>(c)];
    long norm = std::clamp(std::lround(value), -128L, 127L);
    if (p.given && !v.empty() && v.back() == 0) norm = p.value;
    Append(f, "%-4d %4ld   # %s\n", c, norm, p.label.c_str());
  }
  // Through the safe save: a failed write leaves the previous list whole.
  return SafeSave(out, f, SaveOptions{false}).ok;
}

int Run(int argc, char** argv) {
  std::string dico = InstallRoot() + "/Dico";
  std::string corpus;
  std::string calibrate;
  std::string previous;
  double percentile = 70;
  bool bursts = false;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string number;
    if (arg == "--dico") {
      if (!value(dico)) return Usage();
    } else if (arg == "--corpus") {
      if (!value(corpus)) return Usage();
    } else if (arg == "--calibrate") {
      if (!value(calibrate)) return Usage();
    } else if (arg == "--bursts") {
      bursts = true;
    } else if (arg == "--previous") {
      if (!value(previous)) return Usage();
    } else if (arg == "--percentile") {
      if (!value(number)) return Usage();
      char* end = nullptr;
      percentile = std::strtod(number.c_str(), &end);
      if (!end || *end || !(percentile >= 0 && percentile <= 100)) return Usage();
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage();
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty() == corpus.empty() || (!calibrate.empty() && corpus.empty())) return Usage();

  ScriptedMessageUi ui(/*echoToStderr=*/true);
  SetMessageUi(&ui);
  InitMessages();
  // Nobody is there to answer the window's questions about a long text.
  LoaderSettings.note = [](const std::string& text) { std::fprintf(stderr, "%s\n", Cp1252ToUtf8(text).c_str()); };
  // The dictionaries of DIR, as start-up loads them.
  WorkContext->DictionaryMask = dico + "/englex.lv8";
  if (!CreateGlobalObjects()) {
    std::fprintf(stderr, "quilor-style: cannot load the dictionaries of %s\n", dico.c_str());
    return kExitNoInput;
  }
  CreateConverters();
  char scratchName[] = "/tmp/quilor-style-XXXXXX";
  const int scratchFd = mkstemp(scratchName);
  if (scratchFd < 0) return kExitNoInput;
  close(scratchFd);
  const std::string scratch = scratchName;
  struct Cleanup {
    std::string path;
    ~Cleanup() {
      std::remove(path.c_str());
      FreeConverters();
      FreeReadAheadThread();
      SetMessageUi(nullptr);
    }
  } cleanup{scratch};

  std::vector<FileResult> results;
  if (!corpus.empty()) {
    std::string cats;
    if (ReadWholeFile(corpus + "/cats.txt", kMaxFileSize, cats) != ReadFileStatus::kOk) {
      std::fprintf(stderr, "quilor-style: cannot read %s\n", DisplayFileName(corpus + "/cats.txt").c_str());
      return kExitNoInput;
    }
    for (const style_lists::CorpusFile& file : style_lists::ParseCategoryList(cats)) {
      FileResult r;
      r.name = file.name;
      r.category = file.category;
      if (!Analyse(corpus + "/" + r.name, true, scratch, bursts, r)) {
        std::fprintf(stderr, "quilor-style: cannot read %s\n", DisplayFileName(corpus + "/" + r.name).c_str());
        return kExitNoInput;
      }
      results.push_back(std::move(r));
    }
  } else {
    for (const std::string& f : files) {
      FileResult r;
      r.name = f;
      r.category = "-";
      if (!Analyse(f, false, scratch, bursts, r)) {
        std::fprintf(stderr, "quilor-style: cannot read %s\n", DisplayFileName(f).c_str());
        return kExitNoInput;
      }
      results.push_back(std::move(r));
    }
  }

  if (!calibrate.empty()) {
    if (!WriteNorms(calibrate, results, percentile, previous)) {
      std::fprintf(stderr, "quilor-style: cannot write %s\n", DisplayFileName(calibrate).c_str());
      return kExitNoInput;
    }
    return 0;
  }

  std::map<std::string, std::map<std::string, int>> byCategory;
  for (const FileResult& r : results) {
    // Names and categories with their tabs and line breaks escaped: one line per file.
    std::printf("%s\t%s\t%u", DisplayFileName(r.name).c_str(), DisplayFileName(r.category).c_str(), r.words);
    const char* style = "none";
    for (int m : r.findings) {
      std::printf("\t%s", Cp1252ToUtf8(GetMessageText(m)).c_str());
      if (std::strcmp(StyleName(m), "none") != 0) style = StyleName(m);
    }
    std::printf("\n");
    if (bursts) std::printf("%s", Cp1252ToUtf8(r.report).c_str());
    ++byCategory[r.category][style];
  }
  std::printf("\ncategory\tfiles\targumentative\tnarrative\tenunciative\tdescriptive\tnone\tmost\n");
  for (const auto& [category, styles] : byCategory) {
    int files = 0;
    std::string most = "none";
    int best = -1;
    for (const auto& [style, n] : styles) {
      files += n;
      if (n > best) {
        best = n;
        most = style;
      } else if (n == best) {
        most += "/" + style;  // a tie
      }
    }
    const auto& counts = styles;  // clang 14 does not capture structured bindings
    auto n = [&counts](const char* s) {
      auto it = counts.find(s);
      return it == counts.end() ? 0 : it->second;
    };
    std::printf("%s\t%d\t%d\t%d\t%d\t%d\t%d\t%s\n", category.c_str(), files, n("argumentative"), n("narrative"),
                n("enunciative"), n("descriptive"), n("none"), most.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return quilor::RunTool(Run, argc, argv); }
