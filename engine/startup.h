// Start-up and shut-down of the analysis engine.
//
// StartUp creates the global engine objects in their fixed order and loads
// the configuration (core/configuration.h); ShutDown saves the options file
// and frees every global object.
#pragma once

#include <cstdint>
#include <string>

#include "core/configuration.h"

namespace quilor {

bool StartUp();
void SetStartDefaults();
bool CreateGlobalObjects();
uint32_t CurrentDictionaryStamp();
bool ShutDown();
// For a process that exits right after: the options are saved and the
// threads ended as by ShutDown, and the memory of the dictionaries is left
// to the operating system, which takes a whole process back at once.
bool ShutDownForExit();
// Reads the current Scenario (the options' name, or the /s one) into
// ScenarioFile and the engine. A file that cannot be read or fails the
// integrity check is not made current: false, and the Scenario in memory
// stays as it was. Stale temporaries of killed saves in the Scenario folder
// are removed first.
bool LoadCurrentScenario();
// Makes the named Scenario (a name of the Scenario folder) the current one;
// when it cannot be loaded the previous name stays current, with its list.
bool MakeScenarioCurrent(const std::string& name);

}  // namespace quilor
