#include "core/pools.h"

#include <cstring>
#include <new>

#include "core/messages.h"

namespace quilor {

namespace {

// Frees the chunks linked after the inline first one.
template <typename Chunk>
void FreeChunksAfter(Chunk& first) {
  Chunk* c = first.next;
  while (c) {
    Chunk* next = c->next;
    delete c;
    c = next;
  }
  first.next = nullptr;
}

// The chunk after the current one: one kept from before a reset, else a new
// one linked in; nullptr when memory is short.
template <typename Chunk>
Chunk* ChunkAfter(Chunk* current) {
  if (current->next) return current->next;
  Chunk* next = new (std::nothrow) Chunk;
  if (!next) return nullptr;
  next->next = nullptr;
  current->next = next;
  return next;
}

}  // namespace

void TStringPool::Reset() {
  current_ = &first_;
  used_ = 0;
}

void TStringPool::ClearStringPool() {
  FreeChunksAfter(first_);
  Reset();
}

const char* TStringPool::Add(const char* text) {
  const size_t n = std::strlen(text);
  if (n + 1 > kTextCapacity) return nullptr;
  if (used_ + n + 1 > kTextCapacity) {
    Chunk* next = ChunkAfter(current_);
    if (!next) return nullptr;
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

void TCellPool::ResetCellPool() {
  std::memset(first_.cells, 0, sizeof first_.cells);
  current_ = &first_;
  count_ = 0;
}

void TCellPool::FreeCellPool() {
  FreeChunksAfter(first_);
  ResetCellPool();
}

TCellPool::Cell* TCellPool::TakeCell() {
  if (count_ == kCellsPerChunk) {
    Chunk* next = ChunkAfter(current_);
    if (!next) return nullptr;
    std::memset(next->cells, 0, sizeof next->cells);
    current_ = next;
    count_ = 0;
  }
  Cell* cell = &current_->cells[count_++];
  cell->a = cell->b = 0;
  return cell;
}

template <typename T>
T* TPageTable<T>::Slot(uint64_t index) {
  const uint64_t page = index / kPagedArrayPageSize;
  if (page >= kPagedArrayMaxPages) return nullptr;
  if (static_cast<int64_t>(page) != currentPageNumber_) {
    if (!pages_[page]) {
      T* p = new (std::nothrow) T[kPagedArrayPageSize]();
      StopIfAllocationFailed("paged array", p == nullptr);
      pages_[page] = p;
      ++pageCount_;
    }
    currentPage_ = pages_[page];
    currentPageNumber_ = static_cast<int64_t>(page);
  }
  return currentPage_ + index % kPagedArrayPageSize;
}

template <typename T>
void TPageTable<T>::FreePages() {
  for (auto& p : pages_) {
    delete[] p;
    p = nullptr;
  }
  pageCount_ = 0;
  currentPage_ = nullptr;
  currentPageNumber_ = -1;
}

template class TPageTable<uint32_t>;
template class TPageTable<const char*>;

void TPagedArray::CreatePagedArray() {
  Clear();
  ready_ = pages_.Slot(0) != nullptr;
}

uint32_t TPagedArray::PagedArrayGet(uint64_t index) {
  uint32_t* s = pages_.Slot(index);
  return s ? *s : 0;
}

bool TPagedArray::PagedArraySet(uint64_t index, uint32_t value) {
  uint32_t* s = pages_.Slot(index);
  if (!s) return false;
  *s = value;
  return true;
}

bool TPagedArray::Swap(uint64_t a, uint64_t b) {
  uint32_t* sa = pages_.Slot(a);
  if (!sa) return false;
  const uint32_t va = *sa;
  uint32_t* sb = pages_.Slot(b);
  if (!sb) return false;
  const uint32_t vb = *sb;
  *sb = va;
  *pages_.Slot(a) = vb;
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
  if (!pooled_)
    for (uint32_t p = 0; p < kPagedArrayMaxPages; ++p)
      if (const char** page = pages_.Page(p))
        for (uint32_t i = 0; i < kPagedArrayPageSize; ++i) delete[] page[i];
  pages_.FreePages();
}

const char* TPagedTextArray::PagedTextArrayGet(uint64_t index) {
  const char** s = pages_.Slot(index);
  return s ? *s : nullptr;
}

bool TPagedTextArray::PagedTextArraySet(uint64_t index, const char* text) {
  const char** s = pages_.Slot(index);
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
    delete[] * s;
    copy = heap;
  }
  *s = copy;
  return true;
}

}  // namespace quilor
