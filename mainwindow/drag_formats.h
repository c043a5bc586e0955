// The formats of the drags between the program's windows.
#pragma once

namespace quilor::ui {

// A results line: the item name of the line (Windows-1252 bytes).
inline constexpr const char* kMimeResultItem = "application/x-quilor-result-item";
// A word of the text view: its word position (decimal digits).
inline constexpr const char* kMimeTextWord = "application/x-quilor-text-word";

}  // namespace quilor::ui
