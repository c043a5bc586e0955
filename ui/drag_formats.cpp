#include "ui/drag_formats.h"

#include <charconv>

namespace quilor::ui {

namespace {
bool ParseInt(std::string_view text, int& value) {
  if (text.empty() || text.size() > 10) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}
}  // namespace

std::string EncodeResultsLineDrag(const ResultsLineDrag& drag) {
  return std::to_string(drag.resultType) + '\t' + std::to_string(drag.classLevel) + '\t' + drag.name;
}

bool DecodeResultsLineDrag(std::string_view payload, ResultsLineDrag& drag) {
  const size_t first = payload.find('\t');
  if (first == std::string_view::npos) return false;
  const size_t second = payload.find('\t', first + 1);
  if (second == std::string_view::npos) return false;
  ResultsLineDrag d;
  if (!ParseInt(payload.substr(0, first), d.resultType) ||
      !ParseInt(payload.substr(first + 1, second - first - 1), d.classLevel))
    return false;
  d.name = std::string(payload.substr(second + 1, 79));
  if (d.name.empty() || d.resultType < 0 || d.classLevel < 0 || d.classLevel > 4) return false;
  drag = std::move(d);
  return true;
}

std::string EncodeTextWordDrag(int position) { return std::to_string(position); }

bool DecodeTextWordDrag(std::string_view payload, int& position) {
  int value = 0;
  if (!ParseInt(payload, value) || value <= 0) return false;
  position = value;
  return true;
}

int ClassLevelOfResultType(int resultType, int fallback) {
  switch (resultType) {
    case 1: return 3;
    case 2: return 2;
    case 3: return 1;
    default: return fallback;
  }
}

}  // namespace quilor::ui
