// The bursts graph (labelled brackets over the stretches of the text where
// an item is dense, above the episodes) and the distribution graph (bars of
// the selected words per slice of the text).
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/options.h"
#include "mainwindow/graph.h"
#include "mainwindow/graph_state.h"
#include "ui/view_state.h"
#include "mainwindow/graph_texts.h"

namespace quilor::ui {

namespace {

constexpr Rgb kBlue = 0xFF0000;
constexpr Rgb kRed = 0x0000FF;
constexpr int kMinSliceWidth = 14;
constexpr const char* kSampleLabel = "Reference fields 1";  // 18 characters

int Round(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

int TGrapheQuilor::PositionX(int32_t position) const {
  if (axisHighest_ <= 0) return axisLeft_;
  const double x = axisLeft_ + static_cast<double>(position) * (axisRight_ - axisLeft_) / axisHighest_;
  return std::clamp(Round(x), axisLeft_, axisRight_);
}

void TGrapheQuilor::BurstsGraph() {
  drawnBursts_.clear();
  burstThreshold_ = 0;
  if (!PrepareGraph()) return;
  ViewState.DisplayIndex = 0;
  columnsUsed_ = 0;
  if (!printing_) {
    if (rows_ < 3) return;
    rect_.top += 6;
    rect_.left += 4;
    if (rect_.right > 10) rect_.right -= 4;
  }
  const int rows = std::max(rowsInUse_, 1);
  graphHeight_ = rect_.Height() - rowHeight_;
  if (graphHeight_ < 10) return;
  SetFontColour(kBlack);
  canvas_->SetPen(kBlack, 1, PenStyle::kDot);
  const bool opaque = Options && Options->Switch(opt::AreaGraph3D);
  canvas_->SetBrush(Role(14), opaque ? BrushStyle::kSolid : BrushStyle::kDiagonal);

  axisLeft_ = rect_.left;
  axisRight_ = rect_.right;
  axisHighest_ = source_.HighestPosition();
  const int baseLine = rect_.bottom - rowHeight_;
  const uint32_t episodes = source_.EpisodeCount();
  if (episodes >= 1) {
    const int32_t chosen = ViewState.graph.ChosenEpisode;
    if (chosen > 0 && static_cast<uint32_t>(chosen) <= episodes) {
      const TEpisodeRecord e = source_.Episode(static_cast<uint32_t>(chosen));
      const int offset = chosen % 5 + 1;
      DrawBox(PositionX(static_cast<int32_t>(e.firstPosition)), rect_.top + offset, baseLine,
              PositionX(static_cast<int32_t>(e.lastPosition)));
    }
    if (rect_.Width() / static_cast<int>(episodes) >= 40) {
      canvas_->SetBrush(Role(14), BrushStyle::kClear);
      for (uint32_t i = 1; i <= episodes; i += 2) {
        const TEpisodeRecord e = source_.Episode(i);
        canvas_->Rectangle({PositionX(static_cast<int32_t>(e.firstPosition)), rect_.top,
                            PositionX(static_cast<int32_t>(e.lastPosition)), baseLine});
      }
    }
  }

  // The size threshold: every burst when they fit, else the largest ones.
  const bool categories = !(Options && Options->Switch(opt::BurstsNotOnAllCategories));
  const std::vector<TBurstRecord>& bursts = source_.Bursts();
  const uint32_t toShow = categories ? static_cast<uint32_t>(bursts.size()) : source_.ClassBurstCount();
  if (toShow >= 20) {
    const int columns = std::max(2, rect_.Width() / std::max(canvas_->TextWidth(kSampleLabel), 1) / 3);
    const uint32_t capacity = static_cast<uint32_t>(rows * columns);
    if (toShow >= capacity) {
      uint32_t threshold = static_cast<uint32_t>(std::max(3, Round(source_.MeanBurstSize()) - 1));
      while (threshold > 2) {
        const uint32_t lowered = threshold - 1;
        uint32_t larger = 0;
        for (const TBurstRecord& b : bursts)
          if ((categories || b.itemId >= 0) && b.count > lowered) ++larger;
        if (larger > capacity) break;
        threshold = lowered;
        if (larger >= toShow) break;
      }
      burstThreshold_ = threshold;
    }
  }

  canvas_->SetPen(kBlue);
  canvas_->SetBrush(Role(14), BrushStyle::kClear);
  // Each row keeps the extents of its labels: a label goes to the first row
  // where it meets none; a burst without room is not drawn.
  std::vector<std::vector<std::pair<int, int>>> taken(static_cast<size_t>(rows));
  const auto chosenItem = [](const TBurstRecord& b) {
    return ViewState.graph.ChosenBurstClass != 0 && b.itemId == ViewState.graph.ChosenBurstClass;
  };
  const auto chosenEpisode = [](const TBurstRecord& b) {
    return ViewState.graph.ChosenEpisode > 0 && b.episode == static_cast<uint32_t>(ViewState.graph.ChosenEpisode);
  };
  // The chosen item's and the chosen episode's bursts take their rows first.
  std::vector<size_t> order;
  for (size_t k = 0; k < bursts.size(); ++k)
    if (chosenItem(bursts[k]) || chosenEpisode(bursts[k])) order.push_back(k);
  for (size_t k = 0; k < bursts.size(); ++k)
    if (!chosenItem(bursts[k]) && !chosenEpisode(bursts[k])) order.push_back(k);
  for (const size_t k : order) {
    const TBurstRecord& b = bursts[k];
    const int32_t index = static_cast<int32_t>(k) + 1;  // bursts are numbered from 1 on the graph
    const bool item = chosenItem(b);
    const bool episode = chosenEpisode(b);
    if (!item && !((categories || b.itemId >= 0) && (b.count >= burstThreshold_ || episode))) continue;
    const int sx = PositionX(static_cast<int32_t>(b.firstPosition));
    const int ex = PositionX(static_cast<int32_t>(b.lastPosition));
    const std::string name = source_.BurstName(b.itemId);
    const int width = canvas_->TextWidth(name);
    const int labelX = std::clamp((sx + ex) / 2, rect_.left + width / 2,
                                  std::max(rect_.left + width / 2, rect_.right - (width - width / 2)));
    const std::pair<int, int> extent{std::min(sx, labelX - width / 2) - 3, std::max(ex, labelX + width / 2) + 3};
    int row = -1;
    for (int r = 0; r < rows && row < 0; ++r) {
      bool free = true;
      for (const auto& e : taken[static_cast<size_t>(r)])
        if (extent.first < e.second && e.first < extent.second) free = false;
      if (free) row = r;
    }
    if (row < 0) continue;
    taken[static_cast<size_t>(row)].push_back(extent);
    drawnBursts_.push_back(index);
    const int column = static_cast<int>(taken[static_cast<size_t>(row)].size());
    const int y = (row + 1) * rowHeight_ + rect_.top;
    Rgb labelColour = kBlack;
    if (episode && !MonochromePrint()) labelColour = b.itemId < 0 ? Role(13) : Role(11);
    canvas_->SetPen(item ? labelColour : kBlue);
    const int by = y + (printing_ ? 3 : 1);
    canvas_->Line({sx, by}, {ex, by});
    canvas_->Line({sx, by}, {sx, by - 3});
    canvas_->Line({ex, by}, {ex, by - 3});
    SetFontColour(labelColour);
    TextCentred(labelX, y, name);
    if (column < 96 && row + 1 < kHitRows) {
      if (GraphHitTable[0][row + 1] == 0) GraphHitTable[0][row + 1] = y - rowHeight_;
      GraphHitTable[column][row + 1] = (index & 0xFFFF) | (labelX << 16);
      columnsUsed_ = column;
    }
  }

  // The axis of word positions.
  canvas_->SetPen(kRed, 1, PenStyle::kDashDot);
  SetFontColour(kBlack);
  const std::string highest = std::to_string(source_.HighestPosition());
  TextLeft(rect_.left + 5, rect_.bottom - 1, "0");
  TextRight(rect_.right - 5, rect_.bottom - 1, highest);
  const int axisY = rect_.bottom - rowHeight_ / 2;
  canvas_->Line({rect_.left + 5 + canvas_->TextWidth("0") + 6, axisY},
                {rect_.right - 5 - canvas_->TextWidth(highest) - 6, axisY});
}

int32_t TGrapheQuilor::BurstAt(int x, int y) {
  if (axisRight_ > axisLeft_ && axisHighest_ > 0)
    ViewState.HitWordPosition = std::clamp(
        Round(static_cast<double>(x - axisLeft_) * axisHighest_ / (axisRight_ - axisLeft_)), 0, axisHighest_);
  int row = 0;
  for (int r = 1; r < kHitRows && GraphHitTable[0][r] != 0; ++r)
    if (GraphHitTable[0][r] <= y) row = r;
  if (row == 0) return -1;
  int32_t found = -1;
  int nearest = 32000;
  for (int c = 1; c <= columnsUsed_ && c < kHitColumns; ++c) {
    const int32_t cell = GraphHitTable[c][row];
    if (cell == 0) continue;
    const int distance = std::abs((cell >> 16) - x);
    if (distance < nearest) {
      nearest = distance;
      found = cell & 0xFFFF;
    }
  }
  return found;
}

bool TGrapheQuilor::BurstHint(int x, int y) {
  const int32_t index = BurstAt(x, y);
  const std::vector<TBurstRecord>& bursts = source_.Bursts();
  if (index < 1 || static_cast<size_t>(index) > bursts.size()) return false;
  ViewState.graph.HintBuffer = source_.BurstName(bursts[static_cast<size_t>(index) - 1].itemId);
  return true;
}

void TGrapheQuilor::CountSlices() {
  const int option = Options ? Options->Get(opt::DistributionGraphSetting) : kMinSliceWidth;
  sliceWidth_ = std::max(option, kMinSliceWidth);
  if (Options && option < kMinSliceWidth)
    Options->Set(opt::DistributionGraphSetting, static_cast<uint16_t>(sliceWidth_));
  lastSlice_ = std::clamp((rect_.Width() - 4 * sliceWidth_) / (2 * sliceWidth_), 1, kMaxSlices);
  const int32_t highest = source_.HighestPosition();
  wordsPerSlice_ = (static_cast<double>(highest) + 1) / (lastSlice_ + 1);
  if (wordsPerSlice_ < 1.0) {
    sliceCounts_.clear();
    return;
  }
  sliceCounts_.assign(kMaxSlices + 1, 0);
  highestCount_ = 1;
  source_.ForEachCountedWord([this](int32_t p) {
    if (p < 0) return;
    const int slice = std::min(static_cast<int>(std::floor(p / wordsPerSlice_)), lastSlice_);
    int& count = sliceCounts_[static_cast<size_t>(slice)];
    ++count;
    highestCount_ = std::max(highestCount_, count);
  });
  int64_t sum = 0;
  for (int i = 0; i <= lastSlice_; ++i) sum += sliceCounts_[static_cast<size_t>(i)];
  meanCount_ = static_cast<double>(sum) / (lastSlice_ + 1);
}

void TGrapheQuilor::DistributionGraph() {
  ViewState.DisplayIndex = 0;
  CountSlices();
  if (sliceCounts_.empty()) return;
  if (!printing_) {
    if (rows_ <= 0) return;
    rowsInUse_ = rows_ - 2;
    rect_.top += 6;
    rect_.left += 4;
    if (rect_.right > 10) rect_.right -= 4;
  }
  sliceLeft_ = rect_.left;
  graphHeight_ = rect_.Height() - 3 * rowHeight_;
  if (graphHeight_ < 10) return;
  if (graphHeight_ > 150) graphHeight_ -= rowHeight_;
  const int baseLine = rect_.bottom - rowHeight_ - 8;
  SetFontColour(kBlack);
  canvas_->SetPen(kBlack);
  const bool opaque = Options && Options->Switch(opt::AreaGraph3D);
  const int width = sliceWidth_;
  for (int i = 0; i <= lastSlice_; ++i) {
    const int count = sliceCounts_[static_cast<size_t>(i)];
    const int x = rect_.left + 2 * width * (i + 1);
    const int height = Round(static_cast<double>(count) / highestCount_ * graphHeight_);
    canvas_->SetBrush(Role(14), opaque ? BrushStyle::kSolid : BrushStyle::kDiagonal);
    if (width < 3) {
      canvas_->Line({x, baseLine}, {x, baseLine - height});
    } else if (height == 0) {
      // An empty slice has no bar.
    } else if (opaque && !printing_) {
      canvas_->SetPen(kBlack);
      canvas_->Rectangle({x, baseLine - height, x + width, baseLine});
      DrawRaisedBox(x, baseLine - height, baseLine - 2, x + width);
      canvas_->SetPen(kBlack);
    } else {
      DrawBox(x, baseLine - height, baseLine, x + width);
    }
    canvas_->SetBrush(Role(14), BrushStyle::kClear);
    // A count wider than its bar and the gap after it would meet the next one.
    const std::string countText = std::to_string(count);
    if (width > 12 && canvas_->TextWidth(countText) <= 2 * width - 4) TextCentred(x + width / 2, baseLine, countText);
  }
  canvas_->SetPen(kBlack);
  const int axisY = rect_.bottom - rowHeight_ / 2;
  canvas_->Line({rect_.left + width, axisY}, {rect_.right - width, axisY});
  canvas_->SetPen(kBlue, 1, PenStyle::kDot);
  const int meanY = baseLine - Round(meanCount_ / highestCount_ * graphHeight_);
  canvas_->Line({rect_.left + width, meanY}, {rect_.right - width, meanY});
  canvas_->SetPen(kBlack);
  TextRight(rect_.right - width / 2, rect_.bottom - 2, std::to_string(source_.HighestPosition()));
  TextLeft(rect_.left + width / 2, rect_.bottom - 2, "0");
  if (!printing_) {
    std::string title;
    if (ViewState.SelectionActive) {
      title = source_.SelectionCaption();
      SetFontColour(Role(11));
    } else {
      title = source_.FirstCriterionText();
      SetFontColour(TitleColour());
    }
    canvas_->TextOut(CentreX() - canvas_->TextWidth(title) / 2, rect_.top, title);
  }
}

bool TGrapheQuilor::SliceAt(int x) {
  if (!ViewState.GraphShown || sliceCounts_.empty() || sliceWidth_ == 0) return false;
  if (x < sliceLeft_) return false;
  const int k = (x - sliceLeft_) / sliceWidth_;
  if (k % 2 != 0) return false;
  const int slice = k / 2 - 1;
  if (slice == ViewState.DisplayIndex || slice < 0 || slice > lastSlice_ || slice > kMaxSlices) return false;
  ViewState.DisplayIndex = slice;
  ViewState.TextPartStart = Round(slice * wordsPerSlice_);
  ViewState.TextViewWordLimit = kNoWordLimit;
  return true;
}

bool TGrapheQuilor::SliceHint(int x) {
  SliceAt(x);
  std::string& hint = ViewState.graph.HintBuffer;
  hint = GraphText(kTextNumberOfWords) + " : ";
  const int index = ViewState.DisplayIndex;
  if (index >= 0 && index <= kMaxSlices && !sliceCounts_.empty()) {
    const int32_t end = std::min(Round(ViewState.TextPartStart + wordsPerSlice_), source_.HighestPosition());
    hint += std::to_string(SliceCount(index)) + " - " + GraphText(kTextStart) + " : " +
            std::to_string(ViewState.TextPartStart) + " - " + GraphText(kTextEnd) + " : " + std::to_string(end);
  }
  return true;
}

}  // namespace quilor::ui
