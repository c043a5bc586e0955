#include "engine/text_scanner.h"

#include "engine/analysis.h"

namespace quilor {

TextScanner::TextScanner(TAnalysis& analysis) : analysis_(analysis) {
  analysis_.loading = &segment_;
  segment_.CountInto(&analysis.segments);
  segment_.ShowBorders(analysis.run.settings.showBorders);
  segment_.UseResolverThread(true);
}

TextScanner::~TextScanner() {
  if (analysis_.loading == &segment_) analysis_.loading = nullptr;
}

}  // namespace quilor
