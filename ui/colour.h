// Colours as the options record stores them: 0x00BBGGRR.
#pragma once

#include <cstdint>

namespace quilor::ui {

using Rgb = uint32_t;  // 0x00BBGGRR

constexpr Rgb MakeRgb(int red, int green, int blue) {
  return static_cast<Rgb>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(Rgb c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Rgb c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Rgb c) { return static_cast<int>((c >> 16) & 0xFF); }

constexpr Rgb kBlack = MakeRgb(0, 0, 0);
constexpr Rgb kWhite = MakeRgb(255, 255, 255);

}  // namespace quilor::ui
