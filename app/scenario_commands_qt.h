// The main window's Scenario command (the "Scenario Tool") and the anomaly
// list shown when a Scenario load reports anomalies.
#pragma once

namespace quilor::ui {

class TVekEditForm;
class ScenarioEditorPort;

// Call before the window's start-up, so that the first Scenario load
// already reports into the anomaly list. Returns the editor's port for the
// other windows (owned by the window).
ScenarioEditorPort* InstallScenarioCommands(TVekEditForm& window);

}  // namespace quilor::ui
