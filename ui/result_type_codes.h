// The fixed entries of the result-type table: the index of each line and
// the code of its kind (episodes follow the fixed entries).
#pragma once

namespace quilor::ui {

constexpr int kCodeRelations = 5;
constexpr int kIndexRelations = 5;
constexpr int kFirstEpisodeIndex = 11;

// Fixed positions of the result-type table (what MainWindowPort::ShowResultType takes).
constexpr int kTypeStyle = 0;
constexpr int kTypeScenario = 4;
constexpr int kFixedResultTypes = kFirstEpisodeIndex;

// The code of the entry at a result-type index.
inline int ResultTypeCodeOf(int index) {
  constexpr int kCodes[kFirstEpisodeIndex] = {7, 3, 4, 1, 8, 5, 6, 6, 9, 10, 11};
  if (index < 0) return 0;
  return index < kFirstEpisodeIndex ? kCodes[index] : 12;
}

// The index of the class list of a level: 1 References (3), 2 Reference
// fields 2 (2), 3 Reference fields 1 (1), 4 the Scenario (4).
inline int ClassListIndexOfLevel(int level) {
  switch (level) {
    case 1: return 3;
    case 2: return 2;
    case 3: return 1;
    default: return 4;
  }
}

}  // namespace quilor::ui
