#include "core/tuning.h"

namespace quilor {

TTuning Tuning;

}  // namespace quilor
