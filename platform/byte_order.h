// Little-endian integers read from and written to byte buffers (file formats of the
// Windows world). The caller checks the bounds.
#pragma once

#include <cstdint>

namespace quilor {

inline uint16_t LoadLe16(const char* p) {
  return static_cast<uint16_t>(static_cast<unsigned char>(p[0]) | (static_cast<unsigned char>(p[1]) << 8));
}
inline uint32_t LoadLe32(const char* p) {
  return static_cast<uint32_t>(LoadLe16(p)) | (static_cast<uint32_t>(LoadLe16(p + 2)) << 16);
}
inline void StoreLe16(char* p, uint16_t v) {
  p[0] = static_cast<char>(v & 0xFF);
  p[1] = static_cast<char>(v >> 8);
}
inline void StoreLe32(char* p, uint32_t v) {
  StoreLe16(p, static_cast<uint16_t>(v & 0xFFFF));
  StoreLe16(p + 2, static_cast<uint16_t>(v >> 16));
}

}  // namespace quilor
