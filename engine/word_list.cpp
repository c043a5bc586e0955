#include "engine/word_list.h"

#include <sys/mman.h>

#include <cstring>
#include <mutex>

#include "core/messages.h"
#include "core/worker_threads.h"
#include "engine/slab_filler.h"

namespace quilor {

TWordList TextWords;

namespace wordlist_detail {

struct ChunkHeader {
  Chunk* next;
  Chunk* previous;
};

struct Chunk {
  ChunkHeader header;
  unsigned char data[kChunkBytes - sizeof(ChunkHeader)];
};
static_assert(sizeof(Chunk) == kChunkBytes);

constexpr size_t kNodesPerChunk = sizeof(Chunk::data) / sizeof(TWordNode);
static_assert(kNodesPerChunk == 1170);
// TWordList::NextNode counts on it: the last node ends on the chunk's end.
static_assert(sizeof(ChunkHeader) + kNodesPerChunk * sizeof(TWordNode) == kChunkBytes);

// Chunks are aligned on their size, so the chunk of a node is found from its
// address. They are cut from 2 MB slabs taken straight from the system (one
// call for 32 chunks).
constexpr size_t kSlabBytes = size_t{2} << 20;

struct SlabCursor {
  std::mutex lock;
  uintptr_t next = 0;
  uintptr_t end = 0;
  SlabFiller filler{kSlabBytes};
};

SlabCursor& Slabs() {
  static SlabCursor slabs;
  return slabs;
}

void* MapAligned(size_t bytes) {
  if (AllocationRefused()) return nullptr;
  void* raw = mmap(nullptr, 2 * bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  auto begin = reinterpret_cast<uintptr_t>(raw);
  uintptr_t aligned = (begin + bytes - 1) & ~(uintptr_t{bytes} - 1);
  if (aligned > begin) munmap(raw, aligned - begin);
  uintptr_t end = begin + 2 * bytes;
  if (end > aligned + bytes) munmap(reinterpret_cast<void*>(aligned + bytes), end - aligned - bytes);
  return reinterpret_cast<void*>(aligned);
}

Chunk* AllocateChunk(Chunk* previous) {
  uintptr_t address;
  {
    SlabCursor& slabs = Slabs();
    std::lock_guard<std::mutex> guard(slabs.lock);
    if (slabs.next == slabs.end) {
      void* slab = MapAligned(kSlabBytes);
      if (!slab) return nullptr;
      slabs.next = reinterpret_cast<uintptr_t>(slab);
      slabs.end = slabs.next + kSlabBytes;
      slabs.filler.Fill(slab);
    }
    address = slabs.next;
    slabs.next += kChunkBytes;
  }
  auto* chunk = reinterpret_cast<Chunk*>(address);  // fresh pages are zero
  chunk->header.next = nullptr;
  chunk->header.previous = previous;
  if (previous) previous->header.next = chunk;
  return chunk;
}

void FreeChunk(Chunk* chunk) { munmap(chunk, kChunkBytes); }

// Frees the chunk from and every chunk after it; returns how many.
size_t FreeChain(Chunk* from) {
  size_t freed = 0;
  while (from) {
    Chunk* next = from->header.next;
    FreeChunk(from);
    from = next;
    ++freed;
  }
  return freed;
}

inline Chunk* ChunkOf(const void* p) {
  return reinterpret_cast<Chunk*>(reinterpret_cast<uintptr_t>(p) & ~(uintptr_t{kChunkBytes} - 1));
}
inline TWordNode* NodesOf(Chunk* chunk) { return reinterpret_cast<TWordNode*>(chunk->data); }

}  // namespace wordlist_detail

using namespace wordlist_detail;

// ---- chunk chain and pools ----

bool TChunkChain::Advance() {
  Chunk* next = current_ ? current_->header.next : first_;
  if (!next) {
    next = AllocateChunk(current_);
    if (!next) return false;
    ++chunkCount_;
    if (!first_) first_ = next;
  }
  current_ = next;
  return true;
}

void TChunkChain::Clear() {
  if (!first_) return;
  chunkCount_ -= FreeChain(first_->header.next);
  first_->header.next = nullptr;
  current_ = nullptr;
}

void TChunkChain::Release() {
  FreeChain(first_);
  first_ = current_ = nullptr;
  chunkCount_ = 0;
}

unsigned char* TChunkChain::Data() const { return current_ ? current_->data : nullptr; }

const char* TWordStringPool::Store(const char* text, size_t length) {
  constexpr size_t capacity = sizeof(Chunk::data);
  if (length >= capacity) length = capacity - 1;
  if (used_ + length + 1 > capacity) {
    if (!chain_.Advance()) return nullptr;
    used_ = 0;
  }
  char* out = reinterpret_cast<char*>(chain_.Data()) + used_;
  std::memcpy(out, text, length);
  out[length] = '\0';
  used_ += length + 1;
  return out;
}

const char* TWordStringPool::Store(const std::string_view* pieces, size_t count) {
  constexpr size_t capacity = sizeof(Chunk::data);
  size_t total = 0;
  for (size_t i = 0; i < count; ++i) total += pieces[i].size() + 1;
  if (total > capacity) return nullptr;
  if (used_ + total > capacity) {
    if (!chain_.Advance()) return nullptr;
    used_ = 0;
  }
  char* const out = reinterpret_cast<char*>(chain_.Data()) + used_;
  char* p = out;
  for (size_t i = 0; i < count; ++i) {
    std::memcpy(p, pieces[i].data(), pieces[i].size());
    p += pieces[i].size();
    *p++ = '\0';
  }
  used_ += total;
  return out;
}

const size_t TWordNodePool::kNodesPerChunk = wordlist_detail::kNodesPerChunk;

TWordNode* TWordNodePool::Take() {
  if (used_ >= wordlist_detail::kNodesPerChunk) {
    if (!chain_.Advance()) return nullptr;
    used_ = 0;
  }
  TWordNode* node = reinterpret_cast<TWordNode*>(chain_.Data()) + used_++;
  std::memset(static_cast<void*>(node), 0, sizeof *node);
  return node;
}

// ---- word list ----

TWordNode* TWordList::FirstOfNextChunk(const TWordNode* last) {
  Chunk* chunk = ChunkOf(last);
  return chunk->header.next ? NodesOf(chunk->header.next) : nullptr;
}

TWordNode* TWordList::PreviousNode(const TWordNode* node) {
  Chunk* chunk = ChunkOf(node);
  size_t index = static_cast<size_t>(node - NodesOf(chunk));
  if (index > 0) return const_cast<TWordNode*>(node - 1);
  return chunk->header.previous ? NodesOf(chunk->header.previous) + (wordlist_detail::kNodesPerChunk - 1) : nullptr;
}

TWordNode* TWordList::NodeAhead(const TWordNode* node, size_t count) {
  Chunk* chunk = ChunkOf(node);
  size_t index = static_cast<size_t>(node - NodesOf(chunk));
  while (index + count >= wordlist_detail::kNodesPerChunk && chunk->header.next) {
    count -= wordlist_detail::kNodesPerChunk - index;
    index = 0;
    chunk = chunk->header.next;
  }
  return NodesOf(chunk) + index + count;
}

void TWordList::Init() {
  nodes_.Release();
  strings_.Release();
  first_ = nodes_.Take();
  CheckAlloc(first_);
  built_ = true;
  Reset();
}

const char* TWordList::OriginalText(const TWordNode& node) const {
  if (node.written != 2) return node.text;
  std::lock_guard<std::mutex> lock(replacedMutex_);
  const auto it = replaced_.find(&node);
  return it == replaced_.end() ? node.text : it->second;
}

const char* TWordList::GapOf(const TWordNode& node) const {
  if (!node.written || !node.text) return nullptr;
  const char* text = OriginalText(node);
  if (node.written == 2 && text == node.text) return nullptr;
  return text + std::strlen(text) + 1;
}

void TWordList::ReplaceText(TWordNode& node, const char* text) {
  if (node.written == 1) {
    std::lock_guard<std::mutex> lock(replacedMutex_);
    replaced_[&node] = node.text;
    node.written = 2;
  }
  node.text = text;
}

void TWordList::Reset() {
  {
    std::lock_guard<std::mutex> lock(replacedMutex_);
    replaced_.clear();
  }
  if (!first_) return;
  std::memset(static_cast<void*>(first_), 0, sizeof *first_);
  tail_ = cursor_ = first_;
  // Every bookmark goes back to the start: after a clear the nodes they held are gone.
  for (TWordNode*& b : bookmarks_) b = first_;
  count_ = 0;
  published_.store(0, std::memory_order_release);
  highestPosition_ = 0;
}

void TWordList::Clear() {
  count_ = 0;
  published_.store(0, std::memory_order_release);
  if (!built_) return;
  strings_.Clear();
  nodes_.Clear();
  first_ = nodes_.Take();  // the first node of the kept chunk
  Reset();
}

void TWordList::Done() {
  nodes_.Release();
  strings_.Release();
  first_ = tail_ = cursor_ = nullptr;
  for (TWordNode*& b : bookmarks_) b = nullptr;
  built_ = false;
  count_ = 0;
  published_.store(0, std::memory_order_release);
  highestPosition_ = 0;
}

bool TWordList::Append(const char* text, const char* tag, uint32_t lexicalEntry, uint16_t fileNumber, int32_t position,
                       const TWordCategoryData* category) {
  return Append(text, text ? std::strlen(text) : 0, tag, lexicalEntry, fileNumber, position, category);
}

bool TWordList::Append(const char* text, size_t length, const char* tag, uint32_t lexicalEntry, uint16_t fileNumber,
                       int32_t position, const TWordCategoryData* category) {
  return Append(text, length, tag, lexicalEntry, fileNumber, position, category, nullptr);
}

bool TWordList::Append(const char* text, size_t length, const char* tag, uint32_t lexicalEntry, uint16_t fileNumber,
                       int32_t position, const TWordCategoryData* category, const TWrittenText& written) {
  return Append(text, length, tag, lexicalEntry, fileNumber, position, category, &written);
}

bool TWordList::Append(const char* text, size_t length, const char* tag, uint32_t lexicalEntry, uint16_t fileNumber,
                       int32_t position, const TWordCategoryData* category, const TWrittenText* written) {
  if (!built_) return false;
  // A word's text never holds a NUL: its gap and written form follow it.
  if (written && text) length = ::strnlen(text, length);
  const char* copy = nullptr;
  if (written) {
    const std::string_view pieces[3] = {std::string_view(text ? text : "", text ? length : 0),
                                        std::string_view(written->gap, written->gapLength),
                                        std::string_view(written->word, written->wordLength)};
    copy = strings_.Store(pieces, 3);
  } else {
    copy = strings_.Store(text ? text : "", text ? length : 0);
  }
  TWordNode* fresh = copy ? nodes_.Take() : nullptr;
  if (!fresh) {
    ReportMemoryLow(true);
    return false;
  }
  TWordNode* node = tail_;
  node->text = copy;
  if (tag) {
    for (int i = 0; i < 3 && tag[i]; ++i) node->tag[i] = tag[i];
  }
  if (category) node->category = *category;
  node->position = position;
  if (position > highestPosition_) highestPosition_ = position;
  node->fileNumber = fileNumber;
  node->lexicalEntry = lexicalEntry;
  node->written = written ? 1 : 0;
  tail_ = fresh;
  ++count_;
  published_.store(count_, std::memory_order_release);
  return true;
}

bool TWordList::SeekPosition(int32_t position) {
  TWordNode* node = first_;
  // Whole chunks whose last node lies before the position are skipped.
  for (;;) {
    Chunk* chunk = ChunkOf(node);
    TWordNode* last = NodesOf(chunk) + (wordlist_detail::kNodesPerChunk - 1);
    if (!chunk->header.next || ChunkOf(tail_) == chunk || last->position >= position) break;
    node = NodesOf(chunk->header.next);
  }
  while (node != tail_ && node->position < position) node = NextNode(node);
  cursor_ = node;
  return true;
}

TWordNode* TWordList::NodeAt(int32_t position) {
  TWordNode* saved = cursor_;
  SeekPosition(position);
  TWordNode* node = cursor_;
  cursor_ = saved;
  return node != tail_ && node->position == position && node->text ? node : nullptr;
}

bool TWordList::FileNumberAt(int32_t position, uint16_t& fileNumber) {
  SeekPosition(position);
  fileNumber = cursor_->fileNumber;
  return true;
}

bool TWordList::BackToPropositionStart() {
  if (cursor_ == first_) return true;
  do {
    cursor_ = PreviousNode(cursor_);
  } while (cursor_ != first_ && !(cursor_->text && cursor_->text[0] == '/'));
  return true;
}

void TWordList::SaveCursor(int slot) {
  if (slot >= 1 && slot <= kBookmarkCount) bookmarks_[slot] = cursor_;
}

void TWordList::RestoreCursor(int slot) {
  if (slot >= 1 && slot <= kBookmarkCount && bookmarks_[slot]) cursor_ = bookmarks_[slot];
}

void TWordList::CopyBookmark(int target, int source) {
  if (target >= 1 && target <= kBookmarkCount && source >= 1 && source <= kBookmarkCount)
    bookmarks_[target] = bookmarks_[source];
}

const char* TWordList::Take(TWordCategoryData*& category, const char*& tag, int32_t& position, TWordNode* node) {
  category = &node->category;
  tag = node->tag;
  position = node->position;
  return node->text;
}

const char* TWordList::NextWord(TWordCategoryData*& category, const char*& tag, int32_t& position) {
  if (cursor_ == tail_) {
    category = nullptr;
    tag = nullptr;
    position = 0;
    return nullptr;
  }
  TWordNode* node = cursor_;
  cursor_ = NextNode(node);
  return Take(category, tag, position, node);
}

const char* TWordList::NextWordNode(TWordCategoryData*& category, TWordNode*& node, int32_t& position) {
  const char* tag;
  node = cursor_ == tail_ ? nullptr : cursor_;
  return NextWord(category, tag, position);
}

const char* TWordList::PreviousWord(TWordCategoryData*& category, const char*& tag, int32_t& position) {
  if (cursor_ == first_) {
    category = nullptr;
    tag = nullptr;
    position = 0;
    return nullptr;
  }
  cursor_ = PreviousNode(cursor_);
  return Take(category, tag, position, cursor_);
}

const char* TWordList::NextWordForPass(TWordNode*& node, int32_t& position) {
  if (cursor_ != tail_) {
    cursor_->mark = 0;
    cursor_->category.PassByte = 0;
    std::memset(cursor_->category.ClassIds, 0, sizeof cursor_->category.ClassIds);
  }
  TWordCategoryData* category;
  return NextWordNode(category, node, position);
}

}  // namespace quilor
