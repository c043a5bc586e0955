// What the segment resolver counts of the words it hands to the word list.
#pragma once

#include <cstdint>

namespace quilor {

// Words and propositions handed to TextWords by a resolver since its Init
// (which clears them).
struct TSegmentCounts {
  uint32_t words = 0;
  uint32_t propositions = 0;

  bool operator==(const TSegmentCounts&) const = default;
};

}  // namespace quilor
