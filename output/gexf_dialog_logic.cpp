#include "output/gexf_dialog_logic.h"

#include <sys/stat.h>

#include <filesystem>

#include "core/files.h"
#include "core/messages.h"
#include "engine/analysis_results.h"
#include "core/options.h"

namespace quilor::ui {

namespace {

constexpr size_t kMaxPath = 260;
constexpr int kMsgProject = 1415;

// The common folder of the documents, for relative paths in the list.
size_t CommonFolderLength(const std::vector<std::string>& documents) {
  if (documents.empty()) return 0;
  std::string prefix = documents.front();
  for (const std::string& d : documents) {
    size_t n = 0;
    while (n < prefix.size() && n < d.size() && prefix[n] == d[n]) ++n;
    prefix.resize(n);
  }
  const size_t slash = prefix.find_last_of('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

GexfDialogSettings GexfDialogSettings::FromOptions() {
  GexfDialogSettings s;
  s.folder = Options->Get(opt::GexfTextA(0));
  if (s.folder.empty()) s.folder = GetPersonalFolder();
  s.subfolder = Options->Get(opt::GexfTextA(1));
  if (s.subfolder.empty()) s.subfolder = std::string(GetMessageText(kMsgProject)) + " 1";
  s.browse = Options->Switch(opt::GexfBrowseFolder);
  s.openResults = !Options->Switch(opt::GexfDoNotOpenRelations);
  s.reduction = Options->Switch(opt::GexfDataReduction);
  s.discardNodes = Options->Switch(opt::GexfDiscardLoneNodes);
  s.discardTopLevel = Options->Switch(opt::GexfDiscardTopLevel);
  s.depthLevel = Options->Switch(opt::GexfLevelAttribute);
  s.matrix = Options->Switch(opt::GexfWriteMatrix);
  return s;
}

void GexfDialogSettings::ToOptions() const {
  auto flag = [](bool on) { return static_cast<uint8_t>(on ? 1 : 0); };
  Options->Set(opt::GexfTextA(0), folder);
  Options->Set(opt::GexfTextA(1), subfolder);
  Options->Set(opt::GexfBrowseFolder, flag(browse));
  Options->Set(opt::GexfDoNotOpenRelations, flag(!openResults));
  Options->Set(opt::GexfDataReduction, flag(reduction));
  Options->Set(opt::GexfDiscardLoneNodes, flag(discardNodes));
  Options->Set(opt::GexfDiscardTopLevel, flag(discardTopLevel));
  Options->Set(opt::GexfLevelAttribute, flag(depthLevel));
  Options->Set(opt::GexfWriteMatrix, flag(matrix));
  Options->Set(opt::GexfDialogCleared, uint8_t{0});
}

bool SubfolderCharAllowed(char32_t c) {
  switch (c) {
    case U'!':
    case U'#':
    case U'%':
    case U'*':
    case U'+':
    case U',':
    case U'.':
    case U'/':
    case U':':
    case U';':
    case U'?':
    case U'@':
    case U'\\':
    case U'\u00A4': return false;
    default: return c >= 32;
  }
}

bool GexfExportRun::TargetOf(const GexfDialogSettings& settings, std::string& target) {
  target = settings.folder;
  while (target.size() > 1 && target.back() == '/') target.pop_back();
  if (!settings.subfolder.empty()) target += "/" + settings.subfolder;
  // Room for the longest file name inside.
  return !settings.folder.empty() && target.size() + 1 + std::string("QuilorRelations.gexf").size() <= kMaxPath;
}

GexfRunReport GexfExportRun::Run(const GexfDialogSettings& settings) {
  const GexfSource source = GexfSourceFromEngine();
  return Run(settings, source, AnalysisResults ? AnalysisResults->MinimumClassCount : 1);
}

GexfRunReport GexfExportRun::Run(const GexfDialogSettings& settings, const GexfSource& source,
                                 uint32_t minimumClassCount) {
  GexfRunReport report;
  report.documents = static_cast<int>(source.documents.size());
  settings.ToOptions();
  if (!TargetOf(settings, report.target)) {
    report.result = GexfRunResult::kBadTarget;
    return report;
  }
  if (!source.scenarioLoaded || source.documents.size() < 2) {
    report.result = source.scenarioLoaded ? GexfRunResult::kOneDocument : GexfRunResult::kNoScenario;
    return report;
  }
  std::error_code error;
  std::filesystem::create_directories(report.target, error);
  struct stat info {};
  if (::stat(report.target.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    report.result = GexfRunResult::kBadTarget;
    return report;
  }
  const std::string folder = report.target + "/";
  TExportGephiGEXF gexf(source);
  gexf.Init(static_cast<uint32_t>(source.entries.size() - 1));
  gexf.switches.dataReduction = settings.reduction;
  gexf.switches.discardNodesWithoutEdges = settings.discardNodes;
  gexf.switches.discardTopLevel = settings.discardTopLevel;
  gexf.switches.depthLevel = settings.depthLevel;
  gexf.nodeThreshold = minimumClassCount;
  gexf.service = service;
  int stepNumber = 0;
  gexf.progressLine = [&](int message) {
    if (step) step(++stepNumber, message);
  };
  auto finished = [&](bool ok) {
    report.ontology = gexf.OntologyStats();
    report.relations = gexf.RelationStats();
    report.matrix = gexf.MatrixStats();
    if (statistics) statistics(report);
    if (!ok) report.result = gexf.Aborted() ? GexfRunResult::kAborted : GexfRunResult::kWriteFailed;
    return ok;
  };
  // The files are written together at the end: a stop, a failure or a full
  // disk leaves the previous set whole, never files that disagree.
  gexf.HoldForOneSet();
  const bool relative = Options->Switch(opt::GexfPathsWithoutPrefix);
  if (!finished(gexf.WriteDocumentsList(folder + "Documents-list.xml",
                                        relative ? CommonFolderLength(source.documents) : 0, relative)))
    return report;
  for (uint32_t e = 1; e < source.entries.size(); ++e)
    if (source.entries[e].frequency > 0 && source.entries[e].frequency >= minimumClassCount)
      gexf.SetNodeFrequency(e, source.entries[e].frequency);
  if (!finished(gexf.WriteOntologyFile(folder + "QuilorOntology.gexf"))) return report;
  if (!finished(gexf.ExportRelations(folder + "QuilorRelations.gexf"))) return report;
  if (settings.matrix && !finished(gexf.ExportMatrix(folder + "QuilorMatrix.gexf"))) return report;
  if (!finished(gexf.SaveSet())) return report;
  report.result = GexfRunResult::kDone;
  return report;
}

}  // namespace quilor::ui
