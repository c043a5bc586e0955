// Puts the result views into the main window: the Results tab (result types,
// actor boxes, results list), the text view of the Text tab, and the context
// and copy windows with their commands. The main window's hooks drive them:
// refresh after an analysis, release of the text, redraw, result types.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quilor::ui {

class TVekEditForm;
class ScenarioEditorPort;

// editor: the Scenario editor (nullptr while it does not exist); searchWord
// opens the word search on a word (the copy window's and the text's Search).
// Returns what gives the lines of the results list shown (Windows-1252).
std::function<std::vector<std::string>()> InstallResultViews(TVekEditForm& window, ScenarioEditorPort* editor = nullptr,
                                                             std::function<void(const std::string&)> searchWord = {});

}  // namespace quilor::ui
