// quilor-render [--dico DIR] [--scenario FILE] --view text|star|area|actors|bursts|distribution
//               [--select CLASS-NAME [--level N]] [--size WxH] -o OUT.png FILE...
// quilor-render [--dico DIR] [--scenario FILE] --print-pdf OUT.pdf [--sections LIST]
//               [--view star|area|actors|bursts|distribution] FILE...
//
// Analyses documents as the program does (its start-up, the current or the
// given Scenario, one analysis of all the files) and draws one view into a
// PNG picture without a display, with the views' own drawing code: what it
// draws is what the window shows. --select selects a class by name at the
// relation base level (or at level N); without it the first class of the
// References list is selected, as the program does when a graph is asked
// for before any selection. Views that are not built yet are refused. With
// --print-pdf, --view names the graph kind the graph section prints.
//
// Exit codes: 0 done, 1 the run was stopped or a fatal error, 64 a bad
// option, 66 a file missing or unreadable, 73 the picture not written.
#include <QApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/analysis.h"
#include "core/messages.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "engine/selection.h"
#include "engine/tool_analysis.h"
#include "engine/word_list.h"
#include "core/files.h"
#include "mainwindow/graph.h"
#include "mainwindow/graph_source.h"
#include "mainwindow/graph_state.h"
#include "ui/view_state.h"
#include "ui/painter_canvas_qt.h"
#include "mainwindow/print_qt.h"
#include "mainwindow/text_page_layout.h"
#include "ui/view_state.h"
#include "platform/fatal.h"
#include "platform/message_ui.h"
#include "platform/text_encoding.h"
#include "core/tool_main.h"

namespace {

using namespace quilor;
using namespace quilor::ui;

constexpr int kMsgUsage = 7310;
constexpr int kMsgUsagePrint = 7311;
constexpr int kMsgNotAClass = 7312;
constexpr int kMsgNotWritten = 7313;
constexpr int kMsgBadSize = 7314;
constexpr int kMsgUnknownOption = 5002;
constexpr int kExitCantCreate = 73;

void SayUtf8(const std::string& utf8) { std::fprintf(stderr, "%s\n", utf8.c_str()); }
void Say(int id, const std::string& utf8Detail = "") {
  std::string text = Cp1252ToUtf8(GetMessageText(id));
  SayUtf8(utf8Detail.empty() ? text : text + " " + utf8Detail);
}

struct View {
  const char* name;
  int graphKind;  // 0: not a graph
};
constexpr View kViews[] = {{"text", 0},
                           {"star", kGraphStar},
                           {"area", kGraphAreas},
                           {"actors", kGraphActors},
                           {"bursts", kGraphBursts},
                           {"distribution", kGraphDistribution}};

// Selects the class as a click on a class list does.
bool SelectClass(int level, const std::string& name) {
  if (!OntologyEngine) return false;
  const int32_t id = OntologyEngine->FindClassIndex(level, name);
  if (id <= 0) return false;
  ViewState.selection.Clear();
  ViewState.selection.kind = kSelectClass;
  ViewState.selection.classLevel = level;
  ViewState.selection.firstClass = static_cast<uint32_t>(id);
  ViewState.selection.firstTerm = OntologyEngine->ClassName(level, id);
  ViewState.SelectionActive = true;
  return true;
}

int Run(int argc, char** argv) {
  SetInstallPaths();
  TToolAnalysis run;
  run.dico = WorkContext->InstallRoot + "/Dico";
  std::string view, select, out, pdf, sections;
  int level = 0;
  int width = 800, height = 500;
  InitMessages();
  auto usage = [] {
    Say(kMsgUsage);
    Say(kMsgUsagePrint);
    return kExitUsage;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    std::string text;
    if (arg == "--dico" || arg == "--scenario" || arg == "--view" || arg == "--select" || arg == "-o" ||
        arg == "--print-pdf" || arg == "--sections") {
      std::string& into = arg == "--dico"        ? run.dico
                          : arg == "--scenario"  ? run.scenario
                          : arg == "--view"      ? view
                          : arg == "--select"    ? select
                          : arg == "--print-pdf" ? pdf
                          : arg == "--sections"  ? sections
                                                 : out;
      if (!value(into)) return usage();
    } else if (arg == "--level") {
      if (!value(text)) return usage();
      level = std::atoi(text.c_str());
      if (level < 1 || level > 4) return usage();
    } else if (arg == "--size") {
      if (!value(text) || std::sscanf(text.c_str(), "%dx%d", &width, &height) != 2 || width < 1 || height < 1 ||
          width > 10000 || height > 10000) {
        Say(kMsgBadSize, text);
        return kExitUsage;
      }
    } else if (arg == "-h" || arg == "--help") {
      Say(kMsgUsage);
      Say(kMsgUsagePrint);
      return kExitOk;
    } else if (arg.size() > 1 && arg[0] == '-') {
      Say(kMsgUnknownOption, arg);
      return usage();
    } else {
      run.files.push_back(arg);
    }
  }
  const View* chosen = nullptr;
  for (const View& v : kViews)
    if (view == v.name) chosen = &v;
  TPrintFlags flags{};
  flags.fill(sections.empty());
  for (size_t start = 0; !sections.empty() && start <= sections.size();) {
    const size_t comma = std::min(sections.find(',', start), sections.size());
    const int item = PrintItemByName(sections.substr(start, comma - start));
    if (item < 0) return usage();
    flags[static_cast<size_t>(item)] = true;
    start = comma + 1;
  }
  if (!pdf.empty()) {
    if (!out.empty() || (!view.empty() && (!chosen || chosen->graphKind == 0))) return usage();
    static const View kPrint{"print", kGraphStar};
    if (!chosen) chosen = &kPrint;
  } else if (!sections.empty()) {
    return usage();
  }
  if (!chosen || (out.empty() && pdf.empty()) || run.files.empty() || (level != 0 && select.empty())) return usage();
  std::string problem;
  if (const int code = CheckToolFiles(run.files, problem); code != kExitOk) {
    SayUtf8(problem);
    return code;
  }

  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  ScriptedMessageUi ui(/*echoToStderr=*/true);
  SetMessageUi(&ui);
  bool analysed = false;
  TAnalysis analysis;
  if (const int code = StartToolAnalysis(run, analysis, analysed, SayUtf8); code != kExitOk) {
    SetMessageUi(nullptr);
    return code;
  }
  int result = analysed ? kExitOk : kExitFatal;
  if (analysed) {
    EngineGraphSource source;
    const int base = source.RelationBase();
    ViewState.Reset();
    ViewState.GraphShown = true;
    bool selected = true;
    if (!select.empty()) {
      selected = SelectClass(level ? level : base, Utf8ToCp1252(select));
      if (!selected) Say(kMsgNotAClass, select);
    } else if (chosen->graphKind != 0 && OntologyEngine && OntologyEngine->RankedClassTotal(1) > 0) {
      SelectClass(1, OntologyEngine->RankedClassName(1, 1));
    }
    if (!selected) {
      result = kExitUsage;
    } else if (!pdf.empty()) {
      Options->Set(opt::GraphKind, static_cast<uint16_t>(chosen->graphKind));
      TPrintRequest request;
      request.flags = flags;
      request.colour = true;
      request.font.size = 10;
      request.title = CurrentPrintTitle();
      request.footer = CurrentPrintFooter();
      if (!PrintToPdf(pdf, request)) result = kExitCantCreate;
    } else {
      QImage image(width, height, QImage::Format_RGB32);
      image.fill(Qt::white);
      {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        PainterCanvas canvas(painter);
        if (chosen->graphKind == 0) {
          // The text page from the start of the text: a selection shows its propositions.
          ColorationSyntaxique();
          ViewState.ExtractMode = ViewState.SelectionActive;
          TextWords.Rewind();
          TextWords.SaveCursor(kBookmarkPageStart);
          TExtraitDuTexte page;
          page.DrawPage(canvas, {0, 0, width, height});
        } else {
          Options->Set(opt::GraphKind, static_cast<uint16_t>(chosen->graphKind));
          TGrapheQuilor graph(source);
          graph.SetFixedScale(true);
          graph.Draw(canvas, {0, 0, width, height}, kModeRedraw, ViewState.selection.firstTerm);
        }
      }
      if (!image.save(QString::fromStdString(out), "PNG")) {
        Say(kMsgNotWritten, out);
        result = kExitCantCreate;
      }
    }
  }
  StopToolAnalysis();
  SetMessageUi(nullptr);
  return result;
}

}  // namespace

int main(int argc, char** argv) { return quilor::RunTool(Run, argc, argv); }
