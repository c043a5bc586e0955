#include "output/display_options_logic.h"

#include <algorithm>
#include <utility>

#include "ui/desktop.h"

namespace quilor::ui {

GraphOptionsLogic::GraphOptionsLogic(TOptionsRecord& options, std::function<void()> redraw)
    : options_(options),
      redraw_(std::move(redraw)),
      savedKind_(options.Get(opt::GraphKind)),
      savedMaximum_(options.Get(opt::GraphMaxObjects)),
      savedBursts_(options.Get(opt::BurstsNotOnAllCategories)),
      savedBackground_(options.Get(opt::AreaGraph3D)) {
  const int maximum = options_.Get(opt::GraphMaxObjects);
  if (maximum < kMinGraphObjects || maximum > kMaxGraphObjects)
    options_.Set(opt::GraphMaxObjects, kFallbackGraphObjects);
}

int GraphOptionsLogic::Kind() const {
  const int kind = options_.Get(opt::GraphKind);
  return kind >= 1 && kind <= 5 ? kind : 2;
}

void GraphOptionsLogic::Changed() {
  if (redraw_) redraw_();
}

void GraphOptionsLogic::SetKind(int kind) {
  options_.Set(opt::GraphKind, static_cast<uint16_t>(kind));
  Changed();
}

void GraphOptionsLogic::SetMaximumObjects(int count) {
  options_.Set(opt::GraphMaxObjects, static_cast<uint16_t>(std::clamp(count, kMinGraphObjects, kMaxGraphObjects)));
  Changed();
}

void GraphOptionsLogic::SetBurstsOnAllCategories(bool on) {
  options_.Set(opt::BurstsNotOnAllCategories, on ? 0 : 1);
  Changed();
}

void GraphOptionsLogic::SetThreeD(bool on) {
  options_.Set(opt::AreaGraph3D, on ? 1 : 0);
  Changed();
}

void GraphOptionsLogic::Cancel() {
  options_.Set(opt::GraphKind, savedKind_);
  options_.Set(opt::GraphMaxObjects, savedMaximum_);
  options_.Set(opt::BurstsNotOnAllCategories, savedBursts_);
  options_.Set(opt::AreaGraph3D, savedBackground_);
  Changed();
}

ColourOptionsLogic::ColourOptionsLogic(TOptionsRecord& options, ColourTable& current, std::function<void()> redraw)
    : options_(options),
      current_(current),
      redraw_(std::move(redraw)),
      savedSelective_(options.Get(opt::SelectiveColouring)),
      savedCurrent_(current) {
  for (size_t i = 0; i < opt::ColourCount; ++i) savedColours_[i] = options_.Get(opt::Colour(i));
  // Restore resets the class palette with the colours: it is put back by Cancel too.
  for (size_t i = 0; i < opt::PaletteCount; ++i) savedPalette_[i] = options_.Get(opt::PaletteColour(i));
}

Rgb ColourOptionsLogic::RowColour(int row) const {
  if (row < 0 || row >= static_cast<int>(kColourRows.size())) return kBlack;
  return options_.Get(opt::Colour(static_cast<size_t>(kColourRows[static_cast<size_t>(row)].role)));
}

bool ColourOptionsLogic::Modify(int row, Desktop& desktop) {
  if (row < 0 || row >= static_cast<int>(kColourRows.size())) return false;
  const size_t role = static_cast<size_t>(kColourRows[static_cast<size_t>(row)].role);
  const std::optional<Rgb> chosen = desktop.ChooseColour(current_[role]);
  if (!chosen) return false;
  current_[role] = *chosen;
  options_.Set(opt::Colour(role), *chosen);
  if (redraw_) redraw_();
  return true;
}

void ColourOptionsLogic::Restore() {
  options_.ResetColourSettings();
  for (size_t i = 0; i < opt::ColourCount; ++i) current_[i] = options_.Get(opt::Colour(i));
  if (redraw_) redraw_();
}

void ColourOptionsLogic::SetSelective(bool on, bool dialogVisible) {
  options_.Set(opt::SelectiveColouring, on ? 1 : 0);
  if (dialogVisible && redraw_) redraw_();
}

void ColourOptionsLogic::Cancel() {
  current_ = savedCurrent_;
  for (size_t i = 0; i < opt::ColourCount; ++i) options_.Set(opt::Colour(i), savedColours_[i]);
  for (size_t i = 0; i < opt::PaletteCount; ++i) options_.Set(opt::PaletteColour(i), savedPalette_[i]);
  options_.Set(opt::SelectiveColouring, savedSelective_);
  if (redraw_) redraw_();
}

}  // namespace quilor::ui
