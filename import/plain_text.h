// Recognises plain text that is UTF-8 without a byte-order mark.
#pragma once

#include <cstddef>

namespace quilor {

// True when block holds well-formed UTF-8 with at least one multi-byte
// sequence. A sequence cut by the end of the block counts as well-formed when
// more bytes follow.
bool LooksLikeUtf8(const unsigned char* block, size_t length, bool moreFollows);

}  // namespace quilor
