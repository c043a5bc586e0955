// The main window's commands of the options dialogs and the about box.
#pragma once

namespace quilor::ui {

class TVekEditForm;

void InstallOptionsCommands(TVekEditForm& window);
// "Analysis options" (on its conversion page for a PDF opened with PDF
// conversion off); the analysis runs again when something changed and a
// text is loaded. True when the dialog was accepted.
bool ShowAnalysisOptions(TVekEditForm& window, bool conversionPage);

}  // namespace quilor::ui
