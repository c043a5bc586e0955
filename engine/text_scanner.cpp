#include "engine/text_scanner.h"

namespace quilor {

TextScanner::TextScanner(TSegmentCounts& counts) {
  ActiveSegmentBuffer = &segment_;
  segment_.CountInto(&counts);
  segment_.UseResolverThread(true);
}

TextScanner::~TextScanner() {
  if (ActiveSegmentBuffer == &segment_) ActiveSegmentBuffer = nullptr;
}

}  // namespace quilor
