#include "engine/text_scanner.h"

namespace quilor {

TextScanner::TextScanner() {
  ActiveSegmentBuffer = &segment_;
  segment_.UseResolverThread(true);
}

TextScanner::~TextScanner() {
  if (ActiveSegmentBuffer == &segment_) ActiveSegmentBuffer = nullptr;
}

}  // namespace quilor
