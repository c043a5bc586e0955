#include "core/pools.h"

#include <cstring>
#include <new>

#include "core/messages.h"

namespace quilor {

void TStringPool::Reset() {
  current_ = &first_;
  used_ = 0;
}

void TStringPool::ClearStringPool() {
  Chunk* c = first_.next;
  while (c) {
    Chunk* next = c->next;
    delete c;
    c = next;
  }
  first_.next = nullptr;
  Reset();
}

const char* TStringPool::Add(const char* text) {
  const size_t n = std::strlen(text);
  if (n + 1 > kTextCapacity) return nullptr;
  if (used_ + n + 1 > kTextCapacity) {
    // A chunk kept from before a reset is used again.
    Chunk* next = current_->next;
    if (!next) {
      next = new (std::nothrow) Chunk;
      if (!next) return nullptr;
      next->next = nullptr;
      current_->next = next;
    }
    current_ = next;
    used_ = 0;
  }
  char* copy = current_->text + used_;
  std::memcpy(copy, text, n + 1);
  used_ += n + 1;
  return copy;
}

size_t TStringPool::ChunkCount() const {
  size_t n = 0;
  for (const Chunk* c = &first_; c; c = c->next) ++n;
  return n;
}

TStringPool& GeneralStringPool() {
  static TStringPool pool;
  return pool;
}

TStringPool& WordTextPool() {
  static TStringPool pool;
  return pool;
}

void TCellPool::ResetCellPool() {
  std::memset(first_.cells, 0, sizeof first_.cells);
  current_ = &first_;
  count_ = 0;
}

void TCellPool::FreeCellPool() {
  Chunk* c = first_.next;
  while (c) {
    Chunk* next = c->next;
    delete c;
    c = next;
  }
  first_.next = nullptr;
  ResetCellPool();
}

TCellPool::Cell* TCellPool::TakeCell() {
  if (count_ == kCellsPerChunk) {
    // A chunk kept from before a reset is used again.
    Chunk* next = current_->next;
    if (!next) {
      next = new (std::nothrow) Chunk;
      if (!next) return nullptr;
      next->next = nullptr;
      current_->next = next;
    }
    std::memset(next->cells, 0, sizeof next->cells);
    current_ = next;
    count_ = 0;
  }
  Cell* cell = &current_->cells[count_++];
  cell->a = cell->b = 0;
  return cell;
}

TCellPool& GlobalCellPool() {
  static TCellPool* pool = new TCellPool;  // large inline chunk: kept off the stack
  return *pool;
}

void TPagedArray::CreatePagedArray() {
  Clear();
  ready_ = Slot(0) != nullptr;
}

void TPagedArray::DestroyPagedArray() {
  Clear();
  ready_ = false;
}

void TPagedArray::Clear() {
  for (auto& p : pages_) {
    delete[] p;
    p = nullptr;
  }
  pageCount_ = 0;
  currentPage_ = nullptr;
  currentPageNumber_ = -1;
}

uint32_t* TPagedArray::Slot(uint64_t index) {
  const uint64_t page = index / kPagedArrayPageSize;
  if (page >= kPagedArrayMaxPages) return nullptr;
  if (static_cast<int64_t>(page) != currentPageNumber_) {
    if (!pages_[page]) {
      uint32_t* p = new (std::nothrow) uint32_t[kPagedArrayPageSize]();
      StopIfAllocationFailed("paged array", p == nullptr);
      pages_[page] = p;
      ++pageCount_;
    }
    currentPage_ = pages_[page];
    currentPageNumber_ = static_cast<int64_t>(page);
  }
  return currentPage_ + index % kPagedArrayPageSize;
}

uint32_t TPagedArray::PagedArrayGet(uint64_t index) {
  uint32_t* s = Slot(index);
  return s ? *s : 0;
}

bool TPagedArray::PagedArraySet(uint64_t index, uint32_t value) {
  uint32_t* s = Slot(index);
  if (!s) return false;
  *s = value;
  return true;
}

bool TPagedArray::Swap(uint64_t a, uint64_t b) {
  uint32_t* sa = Slot(a);
  if (!sa) return false;
  const uint32_t va = *sa;
  uint32_t* sb = Slot(b);
  if (!sb) return false;
  const uint32_t vb = *sb;
  *sb = va;
  *Slot(a) = vb;
  return true;
}

void TPagedTextArray::CreatePagedTextArray(bool pooled) {
  Clear();
  pooled_ = pooled;
  ready_ = true;
}

void TPagedTextArray::DestroyPagedTextArray() {
  Clear();
  ready_ = false;
}

void TPagedTextArray::Clear() {
  for (auto& p : pages_) {
    if (p && !pooled_)
      for (uint32_t i = 0; i < kPagedArrayPageSize; ++i) delete[] p[i];
    delete[] p;
    p = nullptr;
  }
  pageCount_ = 0;
  currentPage_ = nullptr;
  currentPageNumber_ = -1;
}

const char** TPagedTextArray::Slot(uint64_t index) {
  const uint64_t page = index / kPagedArrayPageSize;
  if (page >= kPagedArrayMaxPages) return nullptr;
  if (static_cast<int64_t>(page) != currentPageNumber_) {
    if (!pages_[page]) {
      const char** p = new (std::nothrow) const char*[kPagedArrayPageSize]();
      StopIfAllocationFailed("paged text array", p == nullptr);
      pages_[page] = p;
      ++pageCount_;
    }
    currentPage_ = pages_[page];
    currentPageNumber_ = static_cast<int64_t>(page);
  }
  return currentPage_ + index % kPagedArrayPageSize;
}

const char* TPagedTextArray::PagedTextArrayGet(uint64_t index) {
  const char** s = Slot(index);
  return s ? *s : nullptr;
}

bool TPagedTextArray::PagedTextArraySet(uint64_t index, const char* text) {
  const char** s = Slot(index);
  if (!s) return false;
  const char* copy = nullptr;
  if (pooled_) {
    copy = GeneralStringPool().Add(text);
    if (ReportMemoryLow(copy == nullptr)) return false;
  } else {
    const size_t n = std::strlen(text);
    char* heap = new (std::nothrow) char[n + 1];
    if (ReportMemoryLow(heap == nullptr)) return false;
    std::memcpy(heap, text, n + 1);
    delete[] *s;
    copy = heap;
  }
  *s = copy;
  return true;
}

}  // namespace quilor
