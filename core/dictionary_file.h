// Reading of dictionary files: a byte source (a file or a memory image) and
// the fatal reports of a bad file. Every reader checks what it takes from the
// source against the source's size before it uses it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/trie.h"

namespace quilor {

constexpr uint32_t kDictionaryMagic = 1234567;

// Messages of the dictionary readers.
constexpr int kMsgDictionaryReadError = 10;
constexpr int kMsgDictionaryCorrupt = 11;
constexpr int kMsgDictionaryWrongVersion = 12;

class DictionarySource {
 public:
  virtual ~DictionarySource() = default;
  // Reads exactly n bytes; a short read reports the read error (exit code 2).
  void Read(void* destination, uint64_t n);
  uint64_t Size() const { return size_; }
  uint64_t Remaining() const { return size_ - position_; }
  const std::string& Name() const { return name_; }

  // The read error: message 10, exit code 2 (a file that ends too early is one).
  [[noreturn]] void ReadError() const;
  // A file whose contents do not hold together: message 11, exit code 1.
  [[noreturn]] void Corrupt(const std::string& why) const;
  // Wrong version byte: message 12 with the file name, exit code 1.
  [[noreturn]] void WrongVersion() const;

 protected:
  virtual bool ReadBytes(void* destination, uint64_t n) = 0;
  std::string name_;
  uint64_t size_ = 0;
  uint64_t position_ = 0;
};

class FileDictionarySource : public DictionarySource {
 public:
  // A file that cannot be opened reports the read error.
  explicit FileDictionarySource(const std::string& path);
  ~FileDictionarySource() override;

 private:
  bool ReadBytes(void* destination, uint64_t n) override;
  std::FILE* file_ = nullptr;
};

class MemoryDictionarySource : public DictionarySource {
 public:
  MemoryDictionarySource(const uint8_t* data, uint64_t size, const std::string& name);

 private:
  bool ReadBytes(void* destination, uint64_t n) override;
  const uint8_t* data_;
};

// Little-endian fields of a header.
inline uint32_t ReadU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline void WriteU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}
inline void WriteU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

// The path with its extension replaced ("x/englex.*" -> "x/englex.lv8").
std::string WithExtension(const std::string& path, const char* extension);
// Writes bytes to a file through "<path>.tmp"; false with the reason in error.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);

}  // namespace quilor
