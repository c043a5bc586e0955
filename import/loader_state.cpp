#include "import/loader_state.h"

namespace quilor {

TLoaderState LoaderState;

}  // namespace quilor
