// The logic of the "XML Exports (GEXF)" dialog: its settings as the options
// record keeps them, the checks of the output folder and subfolder, and the
// export run over the four files. The dialog (output/gexf_export_dialog.h)
// shows the settings, the statistics and the status line, and forwards Stop.
#pragma once

#include <functional>
#include <string>

#include "output/gexf_export.h"

namespace quilor::ui {

struct GexfDialogSettings {
  std::string folder;        // output folder (UTF-8)
  std::string subfolder;     // "Project 1" by default
  bool browse = true;        // open the output folder when done
  bool openResults = false;  // open the relations file when done
  bool reduction = true;
  bool discardNodes = true;
  bool discardTopLevel = false;
  bool depthLevel = false;
  bool matrix = false;

  static GexfDialogSettings FromOptions();
  void ToOptions() const;
};

// Characters refused in a subfolder name as it is typed.
bool SubfolderCharAllowed(char32_t c);

enum class GexfRunResult {
  kDone,
  kAborted,      // Stop: the files written so far stay
  kWriteFailed,  // message 5 (or 3 for a target that cannot be made)
  kNoScenario,   // message 455: no Scenario loaded
  kOneDocument,  // message 1417: the graphs need several documents
  kBadTarget,    // message 205 + 3 + the target
};

struct GexfRunReport {
  GexfRunResult result = GexfRunResult::kDone;
  std::string target;  // the folder the files went to
  GexfFileStats ontology, relations, matrix;
  int documents = 0;
};

class GexfExportRun {
 public:
  // Called while the export works; false asks to stop.
  std::function<bool()> service;
  // The progress line: step number and the message of its title.
  std::function<void(int step, int message)> step;
  // The statistics after each file.
  std::function<void(const GexfRunReport&)> statistics;

  // The target folder: folder + "/" + subfolder; false when the name would
  // not fit a path (it is refused, never cut).
  static bool TargetOf(const GexfDialogSettings& settings, std::string& target);

  // Stores the settings, checks the Scenario and the documents (nothing is
  // made without them), makes the target folder and writes the four files
  // (from the current analysis).
  GexfRunReport Run(const GexfDialogSettings& settings);
  // The same over a given source (tests).
  GexfRunReport Run(const GexfDialogSettings& settings, const GexfSource& source, uint32_t minimumClassCount);
};

}  // namespace quilor::ui
