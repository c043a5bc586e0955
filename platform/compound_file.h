// Reader of compound files (structured storage): the container of Word
// 97-2003 and PowerPoint 97-2003 documents and of encrypted Office Open XML
// packages.
//
// The whole file is held in memory. Every sector chain is bounded by the
// number of sectors in the file and checked for cycles; every offset and
// length is checked against the data before it is used. A damaged file gives
// false with an error, never a crash or a hang.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quilor {

enum class CompoundError {
  kNone,
  kNotCompound,   // no compound-file signature or an impossible header
  kTooLarge,      // the file is larger than the reader accepts
  kBadChain,      // a sector chain leaves the file, loops or is too short
  kBadDirectory,  // the directory is damaged
  kNotFound,      // no element of that name
  kReadError,     // the file could not be read
};

struct CompoundEntry {
  std::string name;  // Windows-1252; control characters kept ("\x05SummaryInformation")
  uint8_t type = 0;  // 0 empty, 1 storage, 2 stream, 5 root
  uint32_t left = 0xFFFFFFFF;
  uint32_t right = 0xFFFFFFFF;
  uint32_t child = 0xFFFFFFFF;
  uint32_t start = 0;
  uint64_t size = 0;
  bool IsStream() const { return type == 2; }
  bool IsStorage() const { return type == 1 || type == 5; }
};

class CompoundFile {
 public:
  static constexpr size_t kMaxFileSize = size_t{512} << 20;

  // True when data begins with the compound-file signature.
  static bool HasSignature(const void* data, size_t length);

  bool OpenFile(const std::string& path);
  bool Open(std::string_view data);

  CompoundError Error() const { return error_; }
  // The file is a compound file, but a sector chain or the directory is
  // damaged (as in a file cut short).
  bool Damaged() const { return error_ == CompoundError::kBadChain || error_ == CompoundError::kBadDirectory; }
  const char* ErrorText() const;

  const std::vector<CompoundEntry>& Entries() const { return entries_; }
  // Index of the root entry (0 after a successful open).
  static constexpr int kRoot = 0;
  // Elements of a storage in directory-tree order.
  std::vector<int> Children(int storage) const;
  // The element named name (case-insensitive) inside storage, or -1.
  int Find(std::string_view name, int storage = kRoot) const;
  // The bytes of a stream. On a damaged chain out keeps what could be read
  // and the result is false.
  bool ReadStream(int entry, std::string& out);
  bool ReadStream(std::string_view name, std::string& out);

 private:
  bool Fail(CompoundError e);
  bool Sector(uint32_t index, const char*& at) const;
  // Follows a chain in table from start; false on a loop, an index out of
  // range or more than maxLength links.
  bool Chain(const std::vector<uint32_t>& table, uint32_t start, size_t maxLength, std::vector<uint32_t>& out) const;
  bool LoadFat();
  bool LoadDirectory();
  bool LoadMiniStream();

  std::string data_;
  CompoundError error_ = CompoundError::kNone;
  uint32_t sectorSize_ = 512;
  uint32_t miniSectorSize_ = 64;
  uint32_t miniCutoff_ = 4096;
  uint32_t sectorCount_ = 0;
  std::vector<uint32_t> fat_;
  std::vector<uint32_t> miniFat_;
  std::string miniStream_;
  bool miniStreamLoaded_ = false;
  std::vector<CompoundEntry> entries_;
};

}  // namespace quilor
