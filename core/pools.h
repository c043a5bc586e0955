// Bulk containers of an analysis: string pools (texts back to back in 64 KB
// chunks), the cell pool (8-byte list cells in 64 KB chunks) and paged arrays
// (32-bit values or text pointers addressed by a number up to 65,544,191,
// in pages of 8,192 entries made on demand).
#pragma once

#include <cstddef>
#include <cstdint>

namespace quilor {

constexpr size_t kPoolChunkSize = 65536;

class TStringPool {
 public:
  TStringPool() {
    first_.next = nullptr;
    Reset();
  }
  ~TStringPool() { ClearStringPool(); }
  TStringPool(const TStringPool&) = delete;
  TStringPool& operator=(const TStringPool&) = delete;
  // Empty; the first chunk current (extra chunks are kept allocated until cleared).
  void Reset();
  // Frees every extra chunk, then resets.
  void ClearStringPool();
  // The stored copy of text, or nullptr when no memory is left or the text
  // does not fit in a chunk.
  const char* Add(const char* text);
  size_t ChunkCount() const;

  struct Chunk {
    Chunk* next;
    char text[kPoolChunkSize - sizeof(Chunk*)];
  };
  static constexpr size_t kTextCapacity = sizeof(Chunk::text);

 private:
  size_t used_ = 0;
  Chunk* current_ = nullptr;
  Chunk first_;
};

// The general pool (names of the name indexes and text arrays).
TStringPool& GeneralStringPool();

class TCellPool {
 public:
  static constexpr size_t kCellsPerChunk = 8191;
  struct Cell {
    uint32_t a;
    uint32_t b;
  };
  TCellPool() {
    first_.next = nullptr;
    ResetCellPool();
  }
  ~TCellPool() { FreeCellPool(); }
  TCellPool(const TCellPool&) = delete;
  TCellPool& operator=(const TCellPool&) = delete;
  // Empty; the inline chunk cleared (extra chunks are kept until freed).
  void ResetCellPool();
  void FreeCellPool();
  // 8 zeroed bytes, or nullptr when no memory is left.
  Cell* TakeCell();

 private:
  struct Chunk {
    Chunk* next;
    Cell cells[kCellsPerChunk];
  };
  static_assert(sizeof(Chunk) == kPoolChunkSize);
  size_t count_ = 0;
  Chunk* current_ = nullptr;
  Chunk first_;
};

constexpr uint32_t kPagedArrayPageSize = 8192;
constexpr uint32_t kPagedArrayMaxPages = 8001;  // pages 0 .. 8,000

// The page table of the paged arrays: pages of 8,192 entries, zero-filled
// when made, the last page used kept at hand.
template <typename T>
class TPageTable {
 public:
  TPageTable() = default;
  ~TPageTable() { FreePages(); }
  TPageTable(const TPageTable&) = delete;
  TPageTable& operator=(const TPageTable&) = delete;
  // The entry's slot, its page made when missing (message 0 and exit code 1
  // when memory is short); nullptr past the last page.
  T* Slot(uint64_t index);
  void FreePages();
  uint32_t PageCount() const { return pageCount_; }
  T* Page(uint32_t p) const { return pages_[p]; }

 private:
  T* pages_[kPagedArrayMaxPages] = {};
  uint32_t pageCount_ = 0;
  T* currentPage_ = nullptr;
  int64_t currentPageNumber_ = -1;
};

// Paged array of 32-bit entries; entries never set read 0.
class TPagedArray {
 public:
  TPagedArray() { CreatePagedArray(); }
  void CreatePagedArray();
  void Clear() { pages_.FreePages(); }
  uint32_t PagedArrayGet(uint64_t index);
  bool PagedArraySet(uint64_t index, uint32_t value);
  bool Swap(uint64_t a, uint64_t b);
  uint32_t PageCount() const { return pages_.PageCount(); }
  bool Ready() const { return ready_; }

 private:
  TPageTable<uint32_t> pages_;
  bool ready_ = false;
};

// Paged array of text copies (in the general string pool when pooled).
class TPagedTextArray {
 public:
  explicit TPagedTextArray(bool pooled = true) { CreatePagedTextArray(pooled); }
  ~TPagedTextArray() { DestroyPagedTextArray(); }
  TPagedTextArray(const TPagedTextArray&) = delete;
  TPagedTextArray& operator=(const TPagedTextArray&) = delete;
  void CreatePagedTextArray(bool pooled);
  void DestroyPagedTextArray();
  void Clear();
  // nullptr when none was set.
  const char* PagedTextArrayGet(uint64_t index);
  bool PagedTextArraySet(uint64_t index, const char* text);
  uint32_t PageCount() const { return pages_.PageCount(); }

 private:
  TPageTable<const char*> pages_;
  bool pooled_ = true;
  bool ready_ = false;
};

}  // namespace quilor
