// What the main window's text page and results list carry when the user
// drags them onto another window (the Scenario editor, the word search, the
// results list): a word position of the text, or the dragged results line's
// name with the result type it was shown under.
#pragma once

#include <string>
#include <string_view>

namespace quilor::ui {

// Payload: the word position, in decimal.
inline constexpr const char* kTextWordMime = "application/x-quilor-text-word";
// Payload: EncodeResultsLineDrag.
inline constexpr const char* kResultsLineMime = "application/x-quilor-results-line";

struct ResultsLineDrag {
  int resultType = 0;   // index of the result type shown (the fixed positions)
  int classLevel = 0;   // 1..4, the level of a class list
  std::string name;     // the line's name (Windows-1252)
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
