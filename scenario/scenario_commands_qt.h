// The main window's Scenario command (the "Scenario Tool") and the anomaly
// list shown when a Scenario load reports anomalies.
#pragma once

namespace quilor::ui {

class TVekEditForm;

// Call before the window's start-up, so that the first Scenario load
// already reports into the anomaly list.
void InstallScenarioCommands(TVekEditForm& window);

}  // namespace quilor::ui
