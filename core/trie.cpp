#include "core/trie.h"

#include <cstdio>
#include <new>

#include "core/messages.h"

namespace quilor {

namespace {

template <typename T>
T* AllocateArray(uint64_t count) {
  T* p = new (std::nothrow) T[count];
  StopIfAllocationFailed("trie", p == nullptr);
  return p;
}

// Copies the key (cut to 79 characters) into the state's last key.
void RememberKey(TrieState& s, const char* key) {
  std::strncpy(s.lastKey, key, kTrieKeySize - 1);
  s.lastKey[kTrieKeySize - 1] = 0;
}

// A key that ends on a node: a new key when no value is stored there, else a
// duplicate that keeps the stored value.
template <typename Value>
void StoreAtKeyEnd(TrieState& s, Value& stored, Value value) {
  if (stored == 0) {
    stored = value;
    ++s.newKeys;
  } else {
    ++s.duplicates;
    s.duplicate = true;
  }
}

}  // namespace

template <typename Link, typename Value, bool Fold>
void BasicTrie<Link, Value, Fold>::Allocate(uint64_t capacity, bool clear) {
  Free();
  arrays_.chars = AllocateArray<unsigned char>(capacity + 1);
  arrays_.links = AllocateArray<Link>(capacity + 1);
  arrays_.values = AllocateArray<Value>(capacity + 1);
  capacity_ = capacity;
  owned_ = true;
  if (clear) {
    Clear();
  } else {
    state = TrieState{};
    arrays_.inserts = 0;
    arrays_.used = 0;
    arrays_.empty = true;
  }
  state.ready = true;
}

template <typename Link, typename Value, bool Fold>
void BasicTrie<Link, Value, Fold>::Attach(unsigned char* chars, Link* links, Value* values, uint64_t capacity) {
  Free();
  arrays_.chars = chars;
  arrays_.links = links;
  arrays_.values = values;
  capacity_ = capacity;
  owned_ = false;
  Clear();
  state.ready = chars && links && values;
}

template <typename Link, typename Value, bool Fold>
void BasicTrie<Link, Value, Fold>::AttachFilled(unsigned char* chars, Link* links, Value* values, uint64_t capacity,
                                                uint64_t used, bool empty, uint32_t inserts) {
  Free();
  arrays_.chars = chars;
  arrays_.links = links;
  arrays_.values = values;
  arrays_.used = used;
  arrays_.empty = empty;
  arrays_.inserts = inserts;
  capacity_ = capacity;
  owned_ = false;
  state = TrieState{};
  state.ready = chars && links && values;
}

template <typename Link, typename Value, bool Fold>
void BasicTrie<Link, Value, Fold>::Free() {
  if (owned_) {
    delete[] arrays_.chars;
    delete[] arrays_.links;
    delete[] arrays_.values;
  }
  arrays_ = TrieArrays<Link, Value>{};
  capacity_ = 0;
  owned_ = false;
  state.ready = false;
}

template <typename Link, typename Value, bool Fold>
void BasicTrie<Link, Value, Fold>::Clear() {
  const bool ready = state.ready;
  state = TrieState{};
  state.ready = ready;
  if (arrays_.chars) {
    std::memset(arrays_.chars, 0, capacity_ + 1);
    std::memset(arrays_.links, 0xFF, (capacity_ + 1) * sizeof(Link));
    std::memset(arrays_.values, 0, (capacity_ + 1) * sizeof(Value));
  }
  arrays_.inserts = 0;
  arrays_.used = 0;
  arrays_.empty = true;
}

template <typename Link, typename Value, bool Fold>
int64_t BasicTrie<Link, Value, Fold>::Find(const char* key) {
  state.found = false;
  state.currentValue = 0;
  state.currentNode = -1;
  if (!arrays_.chars) return -1;
  TrieWalk w = WalkTrie<Fold>(arrays_.chars, arrays_.links, arrays_.used, key);
  state.keyPosition = w.position;
  if (!w.found) return -1;
  state.found = true;
  state.currentNode = w.node;
  state.currentValue = arrays_.values[w.node];
  return state.currentValue != 0 ? w.node : -1;
}

template <typename Link, typename Value, bool Fold>
Value BasicTrie<Link, Value, Fold>::Lookup(const char* key) {
  Find(key);
  return static_cast<Value>(state.currentValue);
}

template <typename Link, typename Value, bool Fold>
bool BasicTrie<Link, Value, Fold>::Insert(const char* key, Value value) {
  if (!key || !key[0] || !arrays_.chars) return false;
  state.duplicate = false;
  RememberKey(state, key);
  const int length = static_cast<int>(std::strlen(key));
  state.keyLength = length;
  TrieWalk w = WalkTrie<Fold>(arrays_.chars, arrays_.links, arrays_.used, key);
  state.keyPosition = w.position;
  if (w.found) {
    StoreAtKeyEnd(state, arrays_.values[w.node], value);
  } else {
    const uint64_t need = static_cast<uint64_t>(length - w.position) + 1;
    if (arrays_.used + need >= capacity_) {
      state.overflowReported = true;
      return false;
    }
    ++state.newKeys;
    uint64_t at = arrays_.used;
    if (!arrays_.empty && w.node >= 0) arrays_.links[w.node] = static_cast<Link>(at);
    // The new nodes are written whole: the arrays past the used nodes may
    // not have been cleared.
    for (int k = w.position; k < length; ++k) {
      const unsigned char c = static_cast<unsigned char>(key[k]);
      arrays_.chars[at] = Fold ? LowerCaseMap[c] : c;
      arrays_.links[at] = -1;
      arrays_.values[at++] = 0;
    }
    arrays_.chars[at] = 0;
    arrays_.links[at] = -1;
    arrays_.values[at] = value;
    arrays_.used = at + 1;
    arrays_.empty = false;
  }
  ++arrays_.inserts;
  return true;
}

template class BasicTrie<int16_t, uint16_t, true>;
template class BasicTrie<int32_t, uint16_t, true>;
template class BasicTrie<int32_t, uint32_t, false>;

void TrieSiblingIndex::Build(const unsigned char* chars, const int32_t* links, uint64_t n) {
  bits_.assign((n + 63) / 64, 0);
  rank_.assign(bits_.size(), 0);
  offsets_.assign(1, 0);
  chars_.clear();
  targets_.clear();
  // Each node belongs to one chain; a chain that meets a node of another
  // (possible only in a damaged file) gets no table.
  std::vector<bool> inChain(n, false);
  std::vector<uint64_t> members;
  for (uint64_t h = 0; h < n; ++h) {
    if (h > 0 && chars[h - 1] == 0) continue;  // not the first node of a chain
    members.clear();
    bool shared = false;
    for (int64_t m = static_cast<int64_t>(h); m >= 0; m = links[m]) {
      if (inChain[m]) {
        shared = true;
        break;
      }
      inChain[m] = true;
      members.push_back(static_cast<uint64_t>(m));
    }
    if (shared || members.size() < kMinChain) continue;
    bool seen[256] = {};
    for (uint64_t m : members) {
      const unsigned char c = chars[m];
      if (c == 0 || seen[c]) continue;
      seen[c] = true;
      chars_.push_back(c);
      targets_.push_back(static_cast<uint32_t>(m + 1));
    }
    offsets_.push_back(static_cast<uint32_t>(chars_.size()));
    bits_[h >> 6] |= uint64_t{1} << (h & 63);
  }
  uint32_t r = 0;
  for (size_t w = 0; w < bits_.size(); ++w) {
    rank_[w] = r;
    r += static_cast<uint32_t>(__builtin_popcountll(bits_[w]));
  }
}

void TCompactTrie::CreateCompactTrie(uint32_t capacity) {
  Allocate(capacity > kCompactTrieMaxCapacity ? kCompactTrieMaxCapacity : capacity);
}

void TCompactTrie::CreateCompactTrieForLoading(uint32_t capacity) {
  Allocate(capacity > kCompactTrieMaxCapacity ? kCompactTrieMaxCapacity : capacity, false);
}

void TDictionaryTrie::CreateDictionaryTrie(uint32_t capacity, int mode) {
  pendingCapacity_ = capacity;
  if (mode == 3) {
    Free();
    return;
  }
  Allocate(capacity);
}

TLargeTrie::TLargeTrie(uint32_t capacity, int mode) {
  Allocate(capacity, mode != 3);
  if (mode == 2 || mode == 3) MarkUsed(capacity);
}

bool TLargeTrie::LargeTrieInsert(const char* key, uint32_t value) {
  if (unique && Find(key) >= 0 && state.currentValue == value) return true;
  return Insert(key, value);
}

void TPairCountMatrix::Key(uint32_t a, uint32_t b, char* key) const {
  if (symmetric_ && a < b) std::swap(a, b);
  std::snprintf(key, kTrieKeySize, "%u:%u", a, b);
}

uint32_t TPairCountMatrix::PairCount(uint32_t a, uint32_t b) {
  char key[kTrieKeySize];
  Key(a, b, key);
  return trie_.Lookup(key);
}

bool TPairCountMatrix::SetPairCount(uint32_t a, uint32_t b, uint32_t value) {
  char key[kTrieKeySize];
  Key(a, b, key);
  trie_.Find(key);
  if (!trie_.state.found) return trie_.Insert(key, value);
  trie_.MutableArrays().values[trie_.state.currentNode] = value;
  return true;
}

bool TPairCountMatrix::IncrementPairCount(uint32_t a, uint32_t b) {
  char key[kTrieKeySize];
  Key(a, b, key);
  if (trie_.Find(key) >= 0) {
    ++trie_.MutableArrays().values[trie_.state.currentNode];
    return true;
  }
  return trie_.Insert(key, 1);
}

TPagedTrie::TPagedTrie(int mode) {
  pages_.resize(kMaxPages);
  state.ready = true;
  if (mode == 0) PageOf(0);
}

void TPagedTrie::DestroyPagedTrie() {
  pages_.clear();
  pageCount_ = 0;
  used_ = 0;
  empty_ = true;
  state.ready = false;
}

TPagedTrie::Page* TPagedTrie::PageOf(uint64_t node) {
  const uint64_t p = node / kPageNodes;
  if (p >= kMaxPages || pages_.size() != kMaxPages) return nullptr;
  if (!pages_[p]) {
    Page* page = new (std::nothrow) Page;
    StopIfAllocationFailed("paged trie", page == nullptr);
    std::memset(page->chars, 0, sizeof page->chars);
    std::memset(page->links, 0xFF, sizeof page->links);
    std::memset(page->values, 0, sizeof page->values);
    pages_[p].reset(page);
    ++pageCount_;
  }
  return pages_[p].get();
}

TrieWalk TPagedTrie::Walk(const char* key, bool& failed) {
  TrieWalk w;
  failed = false;
  if (!key || !key[0] || used_ == 0) return w;
  const unsigned char* k = reinterpret_cast<const unsigned char*>(key);
  uint64_t i = 0;
  int pos = 0;
  for (;;) {
    Page* page = PageOf(i);
    if (!page) {
      failed = true;
      return w;
    }
    const uint32_t slot = i % kPageNodes;
    if (k[pos] == 0) {
      w.node = static_cast<int64_t>(i);
      w.position = pos;
      w.found = true;
      return w;
    }
    if (k[pos] == page->chars[slot]) {
      ++pos;
      ++i;
      continue;
    }
    const int32_t a = page->links[slot];
    if (a < 0) {
      w.node = static_cast<int64_t>(i);
      w.position = pos;
      return w;
    }
    i = static_cast<uint64_t>(a);
  }
}

bool TPagedTrie::PagedTrieFind(const char* key) {
  bool failed = false;
  TrieWalk w = Walk(key, failed);
  state.found = false;
  state.currentValue = 0;
  if (failed || !w.found) return false;
  state.currentNode = w.node;
  state.currentValue = PageOf(w.node)->values[w.node % kPageNodes];
  state.found = state.currentValue != 0;
  return state.found;
}

bool TPagedTrie::PagedTrieInsert(const char* key, uint32_t value) {
  if (!key || !key[0] || pages_.size() != kMaxPages) return false;
  bool failed = false;
  TrieWalk w = Walk(key, failed);
  if (failed) return false;
  RememberKey(state, key);
  const int length = static_cast<int>(std::strlen(key));
  if (w.found) {
    StoreAtKeyEnd(state, PageOf(w.node)->values[w.node % kPageNodes], value);
    return true;
  }
  const uint64_t need = static_cast<uint64_t>(length - w.position) + 1;
  if (used_ + need >= static_cast<uint64_t>(kPageNodes) * kMaxPages || used_ + need > INT32_MAX) {
    state.overflowReported = true;
    return false;
  }
  // Make every page the new nodes need before writing anything.
  for (uint64_t n = used_; n <= used_ + need - 1; n += 1)
    if (!PageOf(n)) return false;
  ++state.newKeys;
  uint64_t at = used_;
  if (!empty_ && w.node >= 0) PageOf(w.node)->links[w.node % kPageNodes] = static_cast<int32_t>(at);
  for (int k = w.position; k < length; ++k, ++at)
    PageOf(at)->chars[at % kPageNodes] = static_cast<unsigned char>(key[k]);
  PageOf(at)->values[at % kPageNodes] = value;
  used_ = at + 1;
  empty_ = false;
  return true;
}

}  // namespace quilor
