// The trie family: every word-keyed table of the program.
//
// A trie is three flat arrays indexed by node number: chars (one byte per
// node), links (the alternative node to try when this node's character does
// not match, -1 for none) and values (the value of the key ending here, 0 for
// none). A stored key is a run of nodes; the walk compares one byte per step
// and follows at most one link per mismatch. Every link points forward (to a
// node appended later), so a walk always ends.
//
// Five layouts share the walk and the insert:
//   TCompactTrie     16-bit links and values, at most 32,767 nodes, case-folded keys
//   TDictionaryTrie  32-bit links, 16-bit values, case-folded keys, arrays may be attached
//   TWideTrie        32-bit links and values, find only (arrays filled by their owner)
//   TLargeTrie       32-bit links and values, keys as given
//   TPagedTrie       32-bit links and values in pages of 8,192 nodes made on demand
// Case-folded layouts lower-case the key both on insert and on lookup.
// A duplicate insert keeps the first value and counts the duplicate.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "core/chartables.h"

namespace quilor {

constexpr int kTrieKeySize = 80;  // keys of at most 79 characters

// Result of a walk: the node where the key ended (found), or the node of the
// mismatch and the key position reached.
struct TrieWalk {
  int64_t node = -1;
  int position = 0;
  bool found = false;
};

// Checks trie arrays read from a file: every link is -1 or points forward
// within the n nodes, and the last node is a NUL, so that a walk stays inside
// the arrays and ends.
template <typename Link>
bool TrieArraysHoldTogether(const unsigned char* chars, const Link* links, uint64_t n) {
  if (n == 0) return true;
  if (chars[n - 1] != 0) return false;
  for (uint64_t i = 0; i < n; ++i) {
    const int64_t a = links[i];
    if (a == -1) continue;
    if (a <= static_cast<int64_t>(i) || a >= static_cast<int64_t>(n)) return false;
  }
  return true;
}

// Lookup tables for the long sibling chains of read-only trie arrays: for a
// chain of at least kMinChain nodes, the characters of its nodes (first
// occurrence of each) and the node after each, so that a walk that misses at
// the chain's first node finds its sibling in one small array instead of
// following the links node by node. The answers are those of the links.
class TrieSiblingIndex {
 public:
  static constexpr int kMinChain = 3;
  // Arrays that TrieArraysHoldTogether accepted.
  void Build(const unsigned char* chars, const int32_t* links, uint64_t n);
  // The node after the sibling of `node` (itself included) whose character
  // is c; -1 when the chain has none; -2 when the node has no table.
  int64_t Next(uint64_t node, unsigned char c) const {
    const uint64_t w = node >> 6;
    if (w >= bits_.size()) return -2;
    const uint64_t bit = uint64_t{1} << (node & 63);
    if (!(bits_[w] & bit)) return -2;
    const uint32_t r = rank_[w] + static_cast<uint32_t>(__builtin_popcountll(bits_[w] & (bit - 1)));
    const uint32_t from = offsets_[r], to = offsets_[r + 1];
    const void* hit = std::memchr(chars_.data() + from, c, to - from);
    if (!hit) return -1;
    return targets_[static_cast<const unsigned char*>(hit) - chars_.data()];
  }
  size_t TableCount() const { return offsets_.empty() ? 0 : offsets_.size() - 1; }
  size_t MemoryBytes() const {
    return bits_.size() * 8 + rank_.size() * 4 + offsets_.size() * 4 + chars_.size() + targets_.size() * 4;
  }

 private:
  std::vector<uint64_t> bits_;
  std::vector<uint32_t> rank_;
  std::vector<uint32_t> offsets_;
  std::vector<unsigned char> chars_;
  std::vector<uint32_t> targets_;
};

// The walk over arrays with at least `used` nodes. Fold lower-cases key bytes.
// With sibling tables (read-only arrays), a miss at the head of a long chain
// is answered by the table instead of following the links.
template <bool Fold, typename Link>
inline TrieWalk WalkTrieWith(const unsigned char* chars, const Link* links, uint64_t used,
                             const TrieSiblingIndex* index, const char* key) {
  TrieWalk w;
  if (!key || !key[0] || used == 0) return w;
  const unsigned char* k = reinterpret_cast<const unsigned char*>(key);
  int64_t i = 0;
  int pos = 0;
  for (;;) {
    unsigned char c = Fold ? LowerCaseMap[k[pos]] : k[pos];
    while (c != 0 && c == chars[i]) {
      ++pos;
      ++i;
      c = Fold ? LowerCaseMap[k[pos]] : k[pos];
    }
    w.node = i;
    w.position = pos;
    if (c == 0) {
      w.found = true;
      return w;
    }
    if (index) {
      const int64_t next = index->Next(static_cast<uint64_t>(i), c);
      if (next >= 0) {
        ++pos;
        i = next;
        continue;
      }
      if (next == -1) return w;
    }
    const int64_t a = links[i];
    if (a < 0) return w;
    i = a;
  }
}

template <bool Fold, typename Link>
inline TrieWalk WalkTrie(const unsigned char* chars, const Link* links, uint64_t used, const char* key) {
  return WalkTrieWith<Fold, Link>(chars, links, used, nullptr, key);
}

template <bool Fold>
inline TrieWalk WalkTrieIndexed(const unsigned char* chars, const int32_t* links, uint64_t used,
                                const TrieSiblingIndex& index, const char* key) {
  return WalkTrieWith<Fold, int32_t>(chars, links, used, &index, key);
}

// Lookup state shared by the trie objects.
struct TrieState {
  bool found = false;
  bool overflowReported = false;
  bool duplicate = false;
  bool ready = false;
  int64_t currentNode = -1;
  uint32_t currentValue = 0;
  char lastKey[kTrieKeySize] = {};
  uint32_t duplicates = 0;
  uint32_t newKeys = 0;
  int keyPosition = 0;
  int keyLength = 0;
};

// Arrays of a one-block trie with their bookkeeping.
template <typename Link, typename Value>
struct TrieArrays {
  unsigned char* chars = nullptr;
  Link* links = nullptr;
  Value* values = nullptr;
  uint32_t inserts = 0;
  uint64_t used = 0;
  bool empty = true;
};

// The walk and the insert over one block of arrays, with the bookkeeping of
// TrieState. Capacity counts nodes; the arrays hold capacity + 1 entries.
template <typename Link, typename Value, bool Fold>
class BasicTrie {
 public:
  using LinkType = Link;
  using ValueType = Value;

  BasicTrie() = default;
  BasicTrie(const BasicTrie&) = delete;
  BasicTrie& operator=(const BasicTrie&) = delete;
  ~BasicTrie() { Free(); }

  // Allocates capacity + 1 nodes (message 0 and exit code 1 when memory is short).
  // Without clear, the nodes hold whatever the memory held: for a loader that
  // writes the nodes it marks used (an insert writes the nodes it adds whole).
  void Allocate(uint64_t capacity, bool clear = true);
  // Uses arrays owned elsewhere (capacity + 1 entries each) and clears them.
  void Attach(unsigned char* chars, Link* links, Value* values, uint64_t capacity);
  // Uses arrays owned elsewhere that already hold `used` nodes (not cleared).
  void AttachFilled(unsigned char* chars, Link* links, Value* values, uint64_t capacity, uint64_t used, bool empty,
                    uint32_t inserts);
  void Free();
  // Counters 0, chars 0, links -1, values 0, used 0, empty.
  void Clear();

  // False for an empty key or a full trie (nothing written then).
  bool Insert(const char* key, Value value);
  // The value of the key, 0 when absent.
  Value Lookup(const char* key);
  // The node where the key ends (value in state.currentValue), or -1.
  int64_t Find(const char* key);

  // Marks the first `count` nodes as used (an owner then fills the arrays).
  void MarkUsed(uint64_t count) {
    arrays_.used = count;
    arrays_.empty = count == 0;
  }

  TrieState state;
  const TrieArrays<Link, Value>& Arrays() const { return arrays_; }
  TrieArrays<Link, Value>& MutableArrays() { return arrays_; }
  uint64_t Capacity() const { return capacity_; }
  uint64_t Used() const { return arrays_.used; }
  bool Ready() const { return state.ready; }

 private:
  TrieArrays<Link, Value> arrays_;
  uint64_t capacity_ = 0;
  bool owned_ = false;
};

// Compact trie: 16-bit links, so at most 32,767 nodes.
constexpr uint32_t kCompactTrieMaxCapacity = 32767;
class TCompactTrie : public BasicTrie<int16_t, uint16_t, true> {
 public:
  TCompactTrie() = default;
  explicit TCompactTrie(uint32_t capacity) { CreateCompactTrie(capacity); }
  // Capacity is cut to kCompactTrieMaxCapacity.
  void CreateCompactTrie(uint32_t capacity);
  // The same for a loader that fills the first nodes itself: nothing is cleared.
  void CreateCompactTrieForLoading(uint32_t capacity);
  void DestroyCompactTrie() { Free(); }
  void ClearCompactTrie() { Clear(); }
  bool CompactTrieInsert(const char* key, uint16_t value) { return Insert(key, value); }
  uint16_t CompactTrieLookup(const char* key) { return Lookup(key); }
};

// Dictionary trie: 32-bit links, 16-bit values.
class TDictionaryTrie : public BasicTrie<int32_t, uint16_t, true> {
 public:
  TDictionaryTrie() = default;
  // Mode 3 makes the object without arrays (AttachDictionaryTrieArrays gives them).
  TDictionaryTrie(uint32_t capacity, int mode) { CreateDictionaryTrie(capacity, mode); }
  void CreateDictionaryTrie(uint32_t capacity, int mode);
  void AttachDictionaryTrieArrays(unsigned char* chars, int32_t* links, uint16_t* values) {
    Attach(chars, links, values, pendingCapacity_);
  }
  void DestroyDictionaryTrie() { Free(); }
  void ClearDictionaryTrie() { Clear(); }
  bool DictionaryTrieInsert(const char* key, uint16_t value) { return Insert(key, value); }
  uint16_t DictionaryTrieLookup(const char* key) { return Lookup(key); }

 private:
  uint32_t pendingCapacity_ = 0;
};

// Wide trie: allocate, find and free; the owner fills the arrays.
class TWideTrie : public BasicTrie<int32_t, uint32_t, false> {
 public:
  void AllocateWideTrieArrays(uint32_t capacity) {
    Allocate(capacity);
    MarkUsed(capacity);
  }
  // The node where the key ends (value in state.currentValue), or -1.
  int64_t WideTrieFind(const char* key) { return Find(key); }
  void FreeWideTrieArrays() { Free(); }
};

// Large trie: 32-bit links and values, keys as given.
constexpr uint32_t kLargeTrieDefaultCapacity = 100000000;
class TLargeTrie : public BasicTrie<int32_t, uint32_t, false> {
 public:
  // Mode 2 marks all capacity nodes as used, for an owner that reads the
  // arrays (and checks them with TrieArraysHoldTogether before any lookup);
  // mode 3 the same for an owner that writes all capacity + 1 nodes, which
  // are not cleared first.
  explicit TLargeTrie(uint32_t capacity = kLargeTrieDefaultCapacity, int mode = 0);
  // Unique mode: an insert of a key that already holds the same value does nothing.
  bool unique = false;
  bool LargeTrieInsert(const char* key, uint32_t value);
  int64_t LargeTrieFind(const char* key) { return Find(key); }
  uint64_t LargeTrieCharsSize() const { return Used() + 1; }
  uint64_t LargeTrieLinksSize() const { return (Used() + 1) * 4; }
  uint64_t LargeTrieValuesSize() const { return (Used() + 1) * 4; }
};

// Pair counts keyed by "a:b" in a large trie; symmetric: (a, b) and (b, a) are one entry.
class TPairCountMatrix {
 public:
  explicit TPairCountMatrix(uint32_t capacity, bool symmetric = true) : trie_(capacity), symmetric_(symmetric) {}
  uint32_t PairCount(uint32_t a, uint32_t b);
  bool SetPairCount(uint32_t a, uint32_t b, uint32_t value);
  bool IncrementPairCount(uint32_t a, uint32_t b);
  TLargeTrie& Trie() { return trie_; }

 private:
  void Key(uint32_t a, uint32_t b, char* key) const;
  TLargeTrie trie_;
  bool symmetric_;
};

// Paged trie: pages of 8,192 nodes made on demand, at most 10,000 pages.
class TPagedTrie {
 public:
  static constexpr uint32_t kPageNodes = 8192;
  static constexpr uint32_t kMaxPages = 10000;
  // Mode 0 makes page 0 at once.
  explicit TPagedTrie(int mode = 0);
  ~TPagedTrie() { DestroyPagedTrie(); }
  TPagedTrie(const TPagedTrie&) = delete;
  TPagedTrie& operator=(const TPagedTrie&) = delete;
  void DestroyPagedTrie();
  // True with the value in state.currentValue when the key is stored.
  bool PagedTrieFind(const char* key);
  bool PagedTrieInsert(const char* key, uint32_t value);
  uint32_t PageCount() const { return pageCount_; }
  uint64_t Used() const { return used_; }
  TrieState state;

 private:
  struct Page {
    unsigned char chars[kPageNodes];
    int32_t links[kPageNodes];
    uint32_t values[kPageNodes];
  };
  Page* PageOf(uint64_t node);  // nullptr beyond the last page
  TrieWalk Walk(const char* key, bool& failed);
  std::vector<std::unique_ptr<Page>> pages_;
  uint32_t pageCount_ = 0;
  uint64_t used_ = 0;
  bool empty_ = true;
};

}  // namespace quilor
