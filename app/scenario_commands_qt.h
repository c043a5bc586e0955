// The commands of the scenario/ windows in the main window: the Scenario
// command (the "Scenario Tool") with the anomaly list shown when a Scenario
// load reports anomalies, the word search and the terminology extractor.
#pragma once

namespace quilor::ui {

class TVekEditForm;
class ScenarioEditorPort;

// Call before the window's start-up, so that the first Scenario load
// already reports into the anomaly list. Returns the editor's port for the
// other windows (owned by the window).
ScenarioEditorPort* InstallScenarioCommands(TVekEditForm& window);

// The search command of the main window and of the windows that open the
// word search; the window is refreshed after an analysis and a release.
void InstallWordSearch(TVekEditForm& window);

// The Terminology extraction command and tool button; the extractor goes
// when the text is released.
void InstallTerminologyExtractor(TVekEditForm& window);

}  // namespace quilor::ui
