// The graph options and colour options dialogs without their widgets. Both
// write every change into the options at once and have the main window
// redraw, so that the user sees the effect behind the dialog; Cancel puts
// back what was there when the dialog opened.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "core/options.h"
#include "ui/colour.h"
#include "generated/message_names.h"

namespace quilor::ui {

class Desktop;

constexpr int kMinGraphObjects = 4;
constexpr int kMaxGraphObjects = 100;
constexpr int kFallbackGraphObjects = 8;

class GraphOptionsLogic {
 public:
  GraphOptionsLogic(TOptionsRecord& options, std::function<void()> redraw);

  // The values the controls show (the maximum already put right).
  int Kind() const;  // 1..5; any other stored value shows the star (2)
  int MaximumObjects() const { return options_.Get(opt::GraphMaxObjects); }
  bool BurstsOnAllCategories() const { return !options_.Switch(opt::BurstsNotOnAllCategories); }
  bool ThreeD() const { return options_.Get(opt::AreaGraph3D) == 1; }

  void SetKind(int kind);
  void SetMaximumObjects(int count);
  void SetBurstsOnAllCategories(bool on);
  void SetThreeD(bool on);
  void Cancel();

 private:
  void Changed();

  TOptionsRecord& options_;
  std::function<void()> redraw_;
  uint16_t savedKind_, savedMaximum_;
  uint8_t savedBursts_, savedBackground_;
};

struct TColourRow {
  int caption;  // string-table number
  int role;     // colour role 0..16
};
constexpr std::array<TColourRow, 10> kColourRows = {{{msg::kClass, 11},
                                                     {msg::kVerb, 1},
                                                     {msg::kConnector, 2},
                                                     {msg::kModality, 3},
                                                     {msg::kAdjective, 4},
                                                     {msg::kPronoun, 5},
                                                     {msg::kLeftLinesGraphs, 12},
                                                     {msg::kRightLinesGraphs, 13},
                                                     {msg::kObjectsGraphs, 14},
                                                     {msg::kBackground, 15}}};

class ColourOptionsLogic {
 public:
  using ColourTable = std::array<Rgb, opt::ColourCount>;
  // current: the colour table the text view and the graphs draw with.
  ColourOptionsLogic(TOptionsRecord& options, ColourTable& current, std::function<void()> redraw);

  Rgb RowColour(int row) const;
  bool Selective() const { return options_.Switch(opt::SelectiveColouring); }
  // Chooses the row's colour with the desktop's colour chooser; true when one was chosen.
  bool Modify(int row, Desktop& desktop);
  void Restore();
  void SetSelective(bool on, bool dialogVisible);
  void Cancel();

 private:
  TOptionsRecord& options_;
  ColourTable& current_;
  std::function<void()> redraw_;
  uint8_t savedSelective_;
  ColourTable savedCurrent_;
  std::array<uint32_t, opt::ColourCount> savedColours_{};
  std::array<uint32_t, opt::PaletteCount> savedPalette_{};
};

}  // namespace quilor::ui
