#include "ui/view_state.h"

#include <algorithm>

#include "engine/analysis_results.h"
#include "core/options.h"
#include "ui/main_window_port.h"

namespace quilor::ui {

TViewState ViewState;

namespace {
MainWindowPort* g_mainWindow = nullptr;
}  // namespace

void SetViewMainWindow(MainWindowPort* port) { g_mainWindow = port; }
MainWindowPort* ViewMainWindow() { return g_mainWindow; }
bool ResultsShown() { return g_mainWindow && g_mainWindow->TextLoaded(); }

Rgb CategoryColour(uint8_t majorClass, const TViewState& state) {
  const int c = majorClass == 0 ? static_cast<int>(kClassSubstantive) : majorClass;
  return c < kColourRoleCount ? state.CurrentColours[static_cast<size_t>(c)] : kBlack;
}

namespace {
void CopyOptionColours(TViewState& state) {
  for (size_t i = 0; i < opt::ColourCount && i < state.CurrentColours.size(); ++i)
    state.CurrentColours[i] = Options->Get(opt::Colour(i));
}
}  // namespace

void ColorationSyntaxique(TViewState& state) {
  state.SyntacticColouring = true;
  CopyOptionColours(state);
}

void ColorationReferent(TViewState& state) {
  state.SyntacticColouring = false;
  CopyOptionColours(state);
  for (size_t i = 0; i < kColourClassified; ++i) state.CurrentColours[i] = kBlack;
}

void ColorationSelective(TViewState& state) {
  CopyOptionColours(state);
  for (size_t c = 1; c <= 7; ++c)
    if (state.CategoryFilters[c] == 0) state.CurrentColours[c] = kBlack;
}

uint32_t ListedMinimumCount(const TAnalysisResults* results) {
  return std::max<uint32_t>(1, results ? results->MinimumClassCount : 1);
}

void ResetCurseur(TViewState& state) {
  state.DisplayIndex = -1;
  state.TextViewWordLimit = kScrollWordLimit;
  state.CurrentWordPosition = 0;
}

}  // namespace quilor::ui
