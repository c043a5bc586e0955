// The graph of the current selection, drawn onto any canvas and rectangle:
// the screen's graph panel, a printed page or a test recorder. Draw
// dispatches by the graph kind of the options (1 areas, 2 star,
// 3 distribution, 4 bursts, 5 actors); each graph leaves in GraphHitTable
// what the mouse handlers need to find the object under the pointer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/canvas.h"
#include "mainwindow/graph_labels.h"
#include "mainwindow/graph_source.h"

namespace quilor::ui {

enum GraphKind : int { kGraphAreas = 1, kGraphStar = 2, kGraphDistribution = 3, kGraphBursts = 4, kGraphActors = 5 };

// Draw modes below 0; a mode of 0 or more is the class drawn highlighted.
constexpr int32_t kModeRedraw = -1;
constexpr int32_t kModeToggleLinks = -2;

constexpr int kMaxSlices = 800;
constexpr int kMaxBoxes = 203;

class TGrapheQuilor {
 public:
  explicit TGrapheQuilor(GraphSource& source);

  void Draw(Canvas& canvas, const Rect& rect, int32_t mode, const std::string& title);
  // The shared set-up of every graph; false when no row is left to draw in.
  bool PrepareGraph();

  // Printing draws without filling the background and with a shadow offset.
  void SetPrinting(bool printing, bool inColour) {
    printing_ = printing;
    printInColour_ = inColour;
  }
  // The fixed scale of the area graph (the screen sets it before drawing).
  void SetFixedScale(bool fixed) { fixedScale_ = fixed; }
  bool DrawEveryLink() const { return drawEveryLink_; }
  int ItemCount() const { return itemCount_; }
  int Rows() const { return rows_; }
  int RowsInUse() const { return rowsInUse_; }
  int RowHeight() const { return rowHeight_; }
  int MaximumObjects() const { return maxObjects_; }
  const Rect& GraphRect() const { return rect_; }

  // Mouse (valid until the next drawing).
  bool GridHitTest(int x, int y);
  bool BoxHitTest(int x, int y);
  bool HintAt(int x, int y);
  bool MouseUpOnGraph(int x, int y);
  bool SelectClassAt(int x, int y);
  int32_t HitClass() const { return hitClass_; }
  // The graph the last drawing made (the dispatch falls back to the star graph).
  int DrawnKind() const { return drawnKind_; }
  int HitSide() const { return hitSide_; }
  // The distribution graph: the slice under x.
  bool SliceAt(int x);
  bool SliceHint(int x);
  // The bursts graph: the burst (1-based) whose label is nearest to (x, y); -1 when none.
  int32_t BurstAt(int x, int y);
  bool BurstHint(int x, int y);

  // The distribution graph's figures after a drawing.
  int LastSlice() const { return lastSlice_; }
  double WordsPerSlice() const { return wordsPerSlice_; }
  int SliceCount(int slice) const {
    return slice >= 0 && slice < static_cast<int>(sliceCounts_.size()) ? sliceCounts_[static_cast<size_t>(slice)] : 0;
  }
  double MeanCount() const { return meanCount_; }
  // Frees the slice table; the next drawing counts again.
  void FreeSliceCounts() { sliceCounts_.clear(); }
  // The bursts graph: the threshold of the last drawing and the bursts it drew (1-based).
  uint32_t BurstThreshold() const { return burstThreshold_; }
  const std::vector<int32_t>& DrawnBursts() const { return drawnBursts_; }

 private:
  struct StarItem {
    uint32_t cls;
    int64_t count;
  };
  struct PlacedArea {
    Rect box;
    uint32_t cls;
    bool left;
  };

  void DispatchByType(int kind);
  void SetGraphColours();
  void SetLinkPen();
  Rgb Role(int role) const;
  Rgb TitleColour() const;
  bool MonochromePrint() const { return printing_ && !printInColour_; }
  void SetFontColour(Rgb colour);
  // Text helpers: the canvas writes from the top-left corner.
  void TextCentred(int x, int baseline, const std::string& text);
  void TextLeft(int x, int baseline, const std::string& text);
  void TextRight(int x, int baseline, const std::string& text);
  void DrawArrow(int x1, int x2, int y);
  void DrawBox(int left, int top, int bottom, int right);
  void DrawRaisedBox(int left, int top, int bottom, int right);
  void DrawClassesArrow();
  int CentreX() const { return rect_.left + (rect_.right - rect_.left) / 2; }
  int CentreY() const { return rect_.bottom - (rect_.bottom - rect_.top) / 2; }
  bool SelectedClassOfTitle();

  void StarGraph();
  void DrawStarSide(const std::vector<StarItem>& items, int d, int bandWidth, const Rect& centreBox,
                    TLabelPlacer& labels);
  // Writes text at the first free candidate place (own: the circle it may
  // stand on); false when none is free.
  bool PlaceText(TLabelPlacer& labels, const std::string& text, const std::vector<Point>& candidates,
                 const Rect* own = nullptr);
  // An object's name on the object, else above, below, right or left of its
  // box, else at its corners on the nearest free row above or below it.
  bool PlaceName(TLabelPlacer& labels, const std::string& name, const Rect& box);
  int DrawRings();
  void AreaGraph();
  // Scales the areas' spread about the centre so that they fill the frame
  // (bounds: the box around them all).
  void FitAreasToFrame(std::vector<PlacedArea>& areas, const Rect& bounds) const;
  // Moves the areas apart so that none covers another, nor the circles
  // given first (which stay), each as little as it takes.
  static void SeparateAreas(std::vector<PlacedArea>& areas, std::vector<TCircle> circles, const Rect& frame);
  void ActorsGraph();
  // The actors' bubbles, the highlighted one over the others (and last for
  // the mouse), then their names.
  void DrawBubbles(int level, const std::vector<PlacedArea>& bubbles, TLabelPlacer& labels);
  void BurstsGraph();
  void DistributionGraph();
  void CountSlices();
  int PositionX(int32_t position) const;
  void AddBox(const Rect& box, uint32_t cls);
  void MoveBoxToEnd(uint32_t cls);
  // Whether cls is the class the drawing highlights (the mode's class id).
  bool Highlighted(uint32_t cls) const { return highlighted_ >= 0 && static_cast<uint32_t>(highlighted_) == cls; }

  GraphSource& source_;
  Canvas* canvas_ = nullptr;
  Font font_;
  int itemCount_ = 0;
  bool drawEveryLink_ = false;
  bool printing_ = false;
  bool printInColour_ = true;
  bool fixedScale_ = false;
  Rect rect_;
  int32_t highlighted_ = -1;
  int drawnKind_ = 0;  // the graph the last drawing made (the dispatch may fall back to the star)
  int graphHeight_ = 0;
  int shadow_ = 0;
  int rowsInUse_ = 0;
  int rows_ = 0;
  int rowHeight_ = 0;
  int maxObjects_ = 0;
  std::string title_;
  // Mouse.
  int32_t hitClass_ = 0;
  int hitSide_ = 0;
  int hitRow_ = 0;
  // Distribution.
  double meanCount_ = 0;
  double wordsPerSlice_ = 0;
  int lastSlice_ = 0;
  int highestCount_ = 1;
  int sliceWidth_ = 14;
  std::vector<int> sliceCounts_;
  int sliceLeft_ = 0;
  // Bursts.
  int columnsUsed_ = 0;
  uint32_t burstThreshold_ = 0;
  std::vector<int32_t> drawnBursts_;
  int axisLeft_ = 0;  // word positions 0..axisHighest_ map onto axisLeft_..axisRight_
  int axisRight_ = 0;
  int32_t axisHighest_ = 0;
};

}  // namespace quilor::ui
