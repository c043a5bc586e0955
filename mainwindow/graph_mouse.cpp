#include "mainwindow/graph_mouse.h"

#include <algorithm>
#include <utility>

#include "engine/category_counters.h"
#include "core/options.h"
#include "engine/selection.h"
#include "engine/word_list.h"
#include "mainwindow/graph_state.h"
#include "ui/result_type_codes.h"
#include "ui/selection_ops.h"
#include "ui/view_state.h"

namespace quilor::ui {

namespace {

constexpr int kMaxSearchSteps = 1000000;

int GraphKindOption() {
  return Options ? static_cast<int>(Options->Get(opt::GraphKind)) : static_cast<int>(kGraphStar);
}

bool AreasOrActors(int kind) { return kind == kGraphAreas || kind == kGraphActors; }

// The selection as a click may change it, to put back after a click beside everything.
struct SavedSelection {
  TSelection selection = ViewState.selection;
  bool active = ViewState.SelectionActive;
  uint32_t pair[2] = {ViewState.graph.SelectedRelationPair[0], ViewState.graph.SelectedRelationPair[1]};
  int lastResultType = ViewState.graph.LastResultType;
  int resultType = ViewState.CurrentResultTypeEntry;

  void Restore() const {
    ViewState.selection = selection;
    ViewState.SelectionActive = active;
    ViewState.graph.SelectedRelationPair[0] = pair[0];
    ViewState.graph.SelectedRelationPair[1] = pair[1];
    ViewState.graph.LastResultType = lastResultType;
    ViewState.CurrentResultTypeEntry = resultType;
  }
};

}  // namespace

GraphMouse::GraphMouse(TGrapheQuilor& graph, GraphSource& source, MainWindowPort& port,
                       std::function<void(int32_t)> redrawGraph)
    : graph_(graph), source_(source), port_(port), redrawGraph_(std::move(redrawGraph)) {}

void GraphMouse::MouseMove(int x, int y, const MouseState& state) {
  if (!port_.TextLoaded() || port_.AnalysisRunning() || !ViewState.GraphShown) return;
  int32_t hovered = -1;
  if (graph_.HintAt(x, y)) hovered = graph_.HitClass();
  port_.AfficheMessage(ViewState.graph.HintBuffer);
  if (state.shift || state.left || hovered <= 0 || hovered == lastHovered_) return;
  lastHovered_ = hovered;
  const int kind = graph_.DrawnKind();
  if (kind == kGraphAreas || kind == kGraphStar || kind == kGraphActors) redrawGraph_(hovered);
}

void GraphMouse::MouseUp(int x, int y, const MouseState& state) {
  if (state.right) return;  // the popup menu
  const SavedSelection saved;
  const int kind = GraphKindOption();
  const bool shown = ViewState.GraphShown;
  // Fewer objects.
  if (state.shift && !state.ctrl && AreasOrActors(kind) && shown) {
    if (graph_.ItemCount() > 6) {
      Options->Set(opt::GraphMaxObjects, static_cast<uint16_t>(graph_.ItemCount() - 4));
      redrawGraph_(kModeRedraw);
    }
    return;
  }
  if (state.ctrl && shown) {
    // More objects.
    if (state.shift && AreasOrActors(kind)) {
      const int maximum = Options->Get(opt::GraphMaxObjects);
      if (maximum < 100) {
        Options->Set(opt::GraphMaxObjects, static_cast<uint16_t>(std::min(100, maximum + 4)));
        redrawGraph_(kModeRedraw);
      }
      return;
    }
    // Between the class list of the relation base and the relations.
    if (ViewState.selection.kind != kSelectLexicalEntry) {
      const int base = source_.RelationBase();
      if (ViewState.CurrentResultTypeEntry == kIndexRelations) {
        ViewState.CurrentResultTypeEntry = ViewState.graph.LastResultType = ClassListIndexOfLevel(base);
        ViewState.selection.kind = kSelectClass;
      } else if (ViewState.selection.classLevel == base) {
        ViewState.graph.SelectedRelationPair[0] = ViewState.graph.SelectedRelationPair[1] =
            ViewState.selection.firstClass;
        ViewState.graph.LastResultType = ViewState.CurrentResultTypeEntry = kIndexRelations;
        ViewState.selection.kind = kSelectRelation;
        ViewState.selection.secondClass = ViewState.selection.firstClass;
        ViewState.selection.secondTerm = ViewState.selection.firstTerm;
      }
    }
  }
  if (!graph_.MouseUpOnGraph(x, y)) {
    saved.Restore();
    if (kind == kGraphActors && shown) redrawGraph_(kModeToggleLinks);
    return;
  }
  if (shown) {
    const int drawn = graph_.DrawnKind();
    if (drawn == kGraphDistribution) {
      MettreAffichageSurPartieDuTexte();
      if (ViewState.SelectionActive) SearchSelectionUpTo(ViewState.TextPartStart, kMaxSearchSteps);
      port_.RazAffichageEtGraphe();
      return;
    }
    if (drawn == kGraphBursts) {
      ApplyChosenBurst();
      return;
    }
    if (drawn == kGraphActors) ViewState.selection.kind = kSelectClass;
  }
  if (TextWords.Count() == 0) TextWords.Rewind();
  TextWords.SaveCursor(kBookmarkSearchStart);
  TextWords.SaveCursor(kBookmarkPageStart);
  BeginNewSelection();
  if (ViewState.CurrentResultTypeEntry != saved.resultType) port_.ShowResultType(ViewState.CurrentResultTypeEntry);
  port_.RazAffichageEtGraphe();
}

void GraphMouse::ApplyChosenBurst() {
  const std::vector<TBurstRecord>& bursts = source_.Bursts();
  const int32_t row = ViewState.graph.ChosenBurstRow;
  if (row < 1 || static_cast<size_t>(row) > bursts.size()) return;
  const TBurstRecord burst = bursts[static_cast<size_t>(row) - 1];
  ViewState.graph.ChosenBurstClass = burst.itemId;
  ViewState.graph.ChosenEpisode = static_cast<int32_t>(burst.episode);
  const int base = source_.RelationBase();
  const std::string name = burst.itemId > 0 ? source_.BurstName(burst.itemId) : std::string();
  if (burst.itemId > 0 && source_.FindClass(base, name) <= 0) return;
  BeginNewSelection();
  if (burst.itemId > 0) {
    // The class's list shows it selected.
    ViewState.selection.firstTerm = name;
    ViewState.selection.classLevel = base;
    ViewState.selection.kind = kSelectClass;
    ViewState.selection.firstClass = static_cast<uint32_t>(burst.itemId);
    port_.ShowResultType(ClassListIndexOfLevel(base));
  }
  ViewState.TextPartStart = static_cast<int32_t>(burst.firstPosition);
  ViewState.TextViewWordLimit = static_cast<int32_t>(burst.lastPosition);
  if (burst.itemId < 0) {
    port_.AfficheInfos(CategoryLabel(-burst.itemId));
    MettreAffichageSurPartieDuTexte();
  } else {
    SearchSelectionUpTo(static_cast<int32_t>(burst.firstPosition), kMaxSearchSteps);
  }
  port_.RazAffichageEtGraphe();
}

}  // namespace quilor::ui
