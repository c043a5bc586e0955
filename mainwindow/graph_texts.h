// The string-table texts of the graphs.
#pragma once

#include <string>

#include "core/messages.h"

namespace quilor::ui {

constexpr int kTextListOfClasses = 282;
constexpr int kTextReferenceFields1 = 307;
constexpr int kTextReferenceFields2 = 308;
constexpr int kTextScenario = 309;
constexpr int kTextActant = 460;
constexpr int kTextActed = 461;
constexpr int kTextStart = 541;
constexpr int kTextEnd = 542;
constexpr int kTextNumberOfWords = 665;
constexpr int kTextClickMe = 722;
constexpr int kTextNoRelation = 7301;
constexpr int kTextClassesArrow = 7302;
constexpr int kTextNonSignificant = 7303;

inline std::string GraphText(int id, bool lower = false) {
  return lower ? GetMessageTextLower(id) : GetMessageText(id);
}

// The name of a class level: 1 "List of classes", 2 and 3 the Reference
// fields, 4 "Scenario".
inline std::string LevelName(int level) {
  switch (level) {
    case 1: return GraphText(kTextListOfClasses);
    case 2: return GraphText(kTextReferenceFields2);
    case 3: return GraphText(kTextReferenceFields1);
    default: return GraphText(kTextScenario);
  }
}

}  // namespace quilor::ui
