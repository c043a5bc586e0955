// The gloss signature reader on hostile bytes: a bad file is refused with a
// reason; an accepted one must answer every look-up inside its arrays.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/gloss_signatures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quilor::GlossSignatures g;
  std::string error;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (!g.Load(bytes, error)) {
    if (error.empty()) __builtin_trap();  // a refusal always says why
    return 0;
  }
  uint32_t words[8];
  size_t n = 0;
  for (const char* w : {"bank", "banks", "river", "rivers", "deposited", "running", "flies", "x", "zzzzzzzz"})
    if (uint32_t id = g.WordOf(w); id && n < 8 && (n == 0 || id > words[n - 1])) words[n++] = id;
  for (uint32_t entry : {0u, 1u, 2u, 7u, 100u, 0xffffffffu})
    for (uint16_t cls : {uint16_t{1}, uint16_t{2}, uint16_t{3}, uint16_t{0xffff}}) {
      for (uint32_t item : g.Signature(entry, cls)) (void)item;
      (void)g.Overlap(entry, cls, {words, n}, n ? words[0] : 0);
    }
  return 0;
}
