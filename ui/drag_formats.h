// The formats of the drags between the program's windows: what the main
// window's text page and results list carry when the user drags them onto
// another window (the Scenario editor, the word search, the results list).
#pragma once

#include <string>
#include <string_view>

namespace quilor::ui {

// A word of the text view: its word position (decimal digits).
inline constexpr const char* kMimeTextWord = "application/x-quilor-text-word";
// A results line: the line's item name with the result type it is shown
// under (EncodeResultsLineDrag).
inline constexpr const char* kMimeResultItem = "application/x-quilor-result-item";

struct ResultsLineDrag {
  int resultType = 0;  // index of the result type shown (the fixed positions)
  int classLevel = 0;  // 1..4, the level of a class list
  std::string name;    // the line's name (Windows-1252)
};

std::string EncodeResultsLineDrag(const ResultsLineDrag& drag);
bool DecodeResultsLineDrag(std::string_view payload, ResultsLineDrag& drag);
std::string EncodeTextWordDrag(int position);
// False for anything but a positive decimal position.
bool DecodeTextWordDrag(std::string_view payload, int& position);

// The class level of the class lists (result types 1, 2 and 3 show levels
// 3, 2 and 1), else fallback.
int ClassLevelOfResultType(int resultType, int fallback);

}  // namespace quilor::ui
