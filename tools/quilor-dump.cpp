// quilor-dump [--dico DIR] [--results [--scenario FILE.scn]] FILE...
//
// Analyses documents without windows and prints the word stream as TSV, one
// line per node of TextWords in order: position, file number, word, tag
// (UTF-8; tab, line feed and backslash escaped), major class number and
// category label of the reading the analysis chose for the word (both empty
// for a proposition mark "/"). The dictionaries come from DIR (by default
// <root>/Dico): englex.lv8, englex.zv8 and the name indexes. Then the names of
// the word's classes on levels 1 to 4 as the semantic pass left them (empty
// when it has none; the semantic dictionary englex.sv8 and the current
// Scenario are used when present).
// With --results the results of the analysis are printed instead of the
// words: the category counters and percentages, the ranked classes of each
// level and the relations with their counts (see engine/results_report.h),
// then the style diagnosis, the tendencies, the bursts, the episodes and the
// characteristic propositions (engine/burst_report.h);
// --scenario FILE applies that Scenario instead of the current one.
// --gexf DIR writes the GEXF files and the documents list of the run into
// DIR, --xlsx FILE the statistics report of the whole Scenario with its
// charts, both with the export dialogs' default settings (testing options).
// The tool goes through the program's start-up and shut-down. Messages go
// to stderr; questions get their default answer.
//
// Exit codes: 0 done, 1 the run was stopped or a fatal error ("Memory low"
// included), 2 a dictionary that cannot be read, 3 the text was cut at the
// word cap (the output then ends with a line "# cut at N words"), 64 a bad
// option or no file, 65 no document gave any text (each one failed or was
// empty: the list on stderr says why), 66 a file missing or unreadable.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/analysis.h"
#include "core/tool_main.h"
#include "core/category.h"
#include "core/chartables.h"
#include "core/file_queue.h"
#include "core/files.h"
#include "core/lexicon.h"
#include "core/class_file.h"
#include "core/messages.h"
#include "engine/analysis_results.h"
#include "engine/analysis_run.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/burst_report.h"
#include "engine/results_report.h"
#include "engine/startup.h"
#include "engine/tool_analysis.h"
#include "engine/word_list.h"
#include "import/conversion_dispatch.h"
#include "import/read_ahead.h"
#include "import/text_loader.h"
#include "platform/fatal.h"
#include "platform/message_ui.h"
#include "platform/text_encoding.h"
#include "output/gexf_dialog_logic.h"
#include "output/statistics_report.h"
#include "output/xlsx_spreadsheet.h"
#include "generated/message_names.h"

namespace {

using namespace quilor;

constexpr int kMsgUsage = 5856;
constexpr int kMsgUnknownOption = 5002;
constexpr int kMsgDicoNeedsFolder = 5005;
constexpr int kMsgScenarioNeedsFile = 5857;

void Say(const std::string& cp1252) { std::fprintf(stderr, "%s\n", Cp1252ToUtf8(cp1252).c_str()); }

void Say(int id, const std::string& utf8Detail) {
  std::string text = GetMessageText(id);
  std::fprintf(stderr, "%s %s\n", Cp1252ToUtf8(text).c_str(), utf8Detail.c_str());
}

void SayUtf8(const std::string& utf8) { std::fprintf(stderr, "%s\n", utf8.c_str()); }

class Output {
 public:
  Output() {
    for (int c = 0; c < 256; ++c) {
      std::string s;
      if (c == '\t') s = "\\t";
      else if (c == '\n') s = "\\n";
      else if (c == '\\') s = "\\\\";
      else s = Cp1252ToUtf8(std::string(1, static_cast<char>(c)));
      utf8_[c] = s;
    }
    buffer_.reserve(1 << 20);
  }
  ~Output() { Flush(); }
  void Text(const char* cp1252) {
    for (; cp1252 && *cp1252; ++cp1252) buffer_ += utf8_[static_cast<unsigned char>(*cp1252)];
  }
  void Raw(const char* s) { buffer_ += s; }
  void Number(long long v) {
    char digits[24];
    int n = std::snprintf(digits, sizeof digits, "%lld", v);
    buffer_.append(digits, static_cast<size_t>(n));
  }
  void EndLine() {
    buffer_ += '\n';
    if (buffer_.size() > (1 << 20) - 512) Flush();
  }
  void Flush() {
    if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
    buffer_.clear();
  }
  // Large UTF-8 text written as it is, after what the buffer holds.
  void Write(std::string_view utf8) {
    Flush();
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  }

 private:
  std::string utf8_[256];
  std::string buffer_;
};

// The major class number and the label of a word's chosen reading; nothing
// for a proposition mark.
void CategoryColumns(const TWordNode& node, Output& out) {
  if (std::strcmp(node.text, "/") == 0) {
    out.Raw("\t");
    return;
  }
  TCategoryRecord record = node.category.Category;
  out.Number(NormaliseMajorClass(record));
  out.Raw("\t");
  // "   ( Verb Factive Indicative Present )" -> "Verb Factive Indicative Present"
  std::string label = DescribeCategory(record, true);
  size_t first = label.find_first_not_of(" (");
  size_t last = label.find_last_not_of(" )");
  if (first != std::string::npos && last != std::string::npos && last >= first)
    out.Text(label.substr(first, last - first + 1).c_str());
}

// The exports of the run with the dialogs' default settings; false (said) on failure.
bool WriteExports(const std::string& gexfFolder, const std::string& xlsxFile) {
  if (!gexfFolder.empty()) {
    ui::GexfDialogSettings settings = ui::GexfDialogSettings::FromOptions();
    settings.folder = gexfFolder;
    settings.subfolder.clear();
    settings.browse = settings.openResults = false;
    const ui::GexfRunReport report = ui::GexfExportRun().Run(settings);
    switch (report.result) {
      case ui::GexfRunResult::kDone: break;
      case ui::GexfRunResult::kNoScenario: Say(GetMessageText(msg::kNoOntologyScenarioAvailable)); return false;
      case ui::GexfRunResult::kOneDocument: Say(GetMessageText(msg::kSelectSeveralFilesBefore)); return false;
      case ui::GexfRunResult::kBadTarget: Say(msg::kIncorrectDestinationUnit, report.target); return false;
      default: Say(msg::kDiskWriteErrorDisk, report.target); return false;
    }
  }
  if (!xlsxFile.empty()) {
    ui::ReportSettings settings;
    settings.tableType = ui::kTableWholeScenario;
    settings.charts = true;
    const ui::ReportSheet sheet = ui::BuildStatisticsSheet(ui::ReportClassesFromEngine(), settings);
    ui::XlsxSpreadsheet workbook(xlsxFile);
    if (!ui::FillSpreadsheet(sheet, GetMessageText(msg::kStatistics), workbook)) {
      Say(msg::kDiskWriteErrorDisk, xlsxFile);
      return false;
    }
  }
  return true;
}

int Run(int argc, char** argv) {
  SetInstallPaths();
  std::string dico = WorkContext->InstallRoot + "/Dico";
  std::vector<std::string> files;
  bool options = true;
  bool results = false;
  std::string scenario;
  std::string gexfFolder;
  std::string xlsxFile;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (options && arg == "--") {
      options = false;
    } else if (options && (arg == "--dico" || arg == "--scenario")) {
      const bool isDico = arg == "--dico";
      if (i + 1 >= argc) {
        Say(GetMessageText(isDico ? kMsgDicoNeedsFolder : kMsgScenarioNeedsFile));
        return kExitUsage;
      }
      (isDico ? dico : scenario) = argv[++i];
    } else if (options && (arg == "--gexf" || arg == "--xlsx")) {
      if (i + 1 >= argc) {
        Say(GetMessageText(kMsgUsage));
        return kExitUsage;
      }
      (arg == "--gexf" ? gexfFolder : xlsxFile) = argv[++i];
    } else if (options && arg.rfind("--dico=", 0) == 0) {
      dico = arg.substr(7);
    } else if (options && arg == "--results") {
      results = true;
    } else if (options && (arg == "-h" || arg == "--help")) {
      Say(GetMessageText(kMsgUsage));
      return kExitOk;
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      Say(kMsgUnknownOption, arg);
      Say(GetMessageText(kMsgUsage));
      return kExitUsage;
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty() || dico.empty()) {
    Say(GetMessageText(dico.empty() ? kMsgDicoNeedsFolder : kMsgUsage));
    return kExitUsage;
  }
  std::string problem;
  if (const int code = CheckToolFiles(files, problem); code != kExitOk) {
    std::fprintf(stderr, "%s\n", problem.c_str());
    return code;
  }
  // Start-up changes the current folder: the export paths are made absolute first.
  if (!gexfFolder.empty()) gexfFolder = ExpandPathName(gexfFolder);
  if (!xlsxFile.empty()) xlsxFile = ExpandPathName(xlsxFile);
  ScriptedMessageUi ui(/*echoToStderr=*/true);
  SetMessageUi(&ui);
  bool ok = false;
  TAnalysis analysis;
  if (const int code = StartToolAnalysis({dico, scenario, files}, analysis, ok, SayUtf8); code != kExitOk) {
    SetMessageUi(nullptr);
    return code;
  }

  if (ok && !WriteExports(gexfFolder, xlsxFile)) {
    StopToolAnalysis();
    SetMessageUi(nullptr);
    return kExitFatal;
  }
  Output out;
  if (results && ok && AnalysisResults) {
    for (const std::string& part : ResultsReportParts(*AnalysisResults, /*utf8=*/true)) out.Write(part);
    TDiagnosisList diagnosis;
    RecordingDiagnosisView view;
    diagnosis.DiagnoseStyle(TDiagnosisInputs::Current(), &view);
    diagnosis.BuildTendencies(TDiagnosisInputs::Current(), true, nullptr);
    const std::string styleAndBursts =
        FormatStyleAndBursts(diagnosis, analysis.bursts, [](int32_t id) { return AnalysisResults->ItemName(id); });
    out.Raw(Cp1252ToUtf8(styleAndBursts).c_str());
  }
  for (TWordNode* node = results ? TextWords.Tail() : TextWords.First(); node && node != TextWords.Tail();
       node = TWordList::NextNode(node)) {
    out.Number(node->position);
    out.Raw("\t");
    out.Number(node->fileNumber);
    out.Raw("\t");
    out.Text(node->text);
    out.Raw("\t");
    out.Text(node->tag);
    out.Raw("\t");
    CategoryColumns(*node, out);
    for (int level = 1; level <= 4; ++level) {
      out.Raw("\t");
      const uint32_t id = node->category.ClassIds[level - 1];
      if (OntologyEngine && id) out.Text(OntologyEngine->ClassName(level, static_cast<int32_t>(id)).c_str());
    }
    out.EndLine();
  }
  // A cut text is marked in the output itself, not only on stderr: at the
  // word cap, or a document whose converted text reached the converters' limit.
  bool cut = ok && LoaderState.wordCapReached;
  if (cut) {
    out.Raw(("# cut at " + std::to_string(LoaderSettings.wordCap) + " words").c_str());
    out.EndLine();
  }
  std::set<std::string> failed;
  for (const ConversionFailure& f : ConversionFailures.files) {
    if (!f.cut) {
      failed.insert(f.fileName);
    } else if (ok) {
      out.Raw(("# cut: only the beginning of " + DisplayFileName(f.fileName) + " was read").c_str());
      out.EndLine();
      cut = true;
    }
  }
  out.Flush();
  const bool nothingRead = failed.size() >= files.size();
  StopToolAnalysis(/*processExits=*/true);
  SetMessageUi(nullptr);
  if (nothingRead) return kExitNothingRead;
  if (!ok) return kExitFatal;
  return cut ? kExitTextCut : kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  const int code = quilor::RunTool(Run, argc, argv);
  // The words, the results and the dictionaries are the system's to take
  // back with the process: nothing is freed piece by piece.
  std::fflush(nullptr);
  std::_Exit(code);
}
