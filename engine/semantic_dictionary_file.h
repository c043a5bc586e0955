// The semantic dictionary file (.sv8): the classes of levels 1 to 3, the word
// tables that lead from a noun to its readings, the class-name indexes and the
// text index of base forms. Reading checks every count, node, link and number
// against the file before anything uses it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/trie.h"

namespace quilor {

constexpr uint8_t kSemanticVersion = 19;
constexpr uint32_t kSemanticMagic = 1234567;  // as every dictionary file
constexpr size_t kSemanticHeaderSize = 89;
constexpr int kWordTableCount = 60;
constexpr int kTripleCount = 65535;
constexpr int kMaxClassesPerLevel = 65535;
constexpr int kNameRecordSize = 80;
constexpr int kClassNameSegments[3] = {19, 2, 1};
constexpr int kMaxReadingDepth = 18;

// A trie of the file as three flat arrays; node i has chars[i], links[i]
// (-1 = none) and values[i] (0 = no key ends here). The walk and the insert
// are those of the trie family (core/trie.h).
template <class Link, class Value>
struct TrieImage {
  std::vector<uint8_t> chars;
  std::vector<Link> links;
  std::vector<Value> values;

  size_t Size() const { return chars.size(); }
  // Links all forward and a NUL last node: every walk stays inside and ends.
  bool HoldsTogether() const { return TrieArraysHoldTogether(chars.data(), links.data(), chars.size()); }
};
using WideTrieImage = TrieImage<int32_t, int32_t>;
using CompactTrieImage = TrieImage<int16_t, uint16_t>;
using LargeTrieImage = TrieImage<int32_t, uint32_t>;

// Value of key (exact bytes), 0 when absent. The image must hold together.
template <class Link, class Value>
Value TrieValue(const TrieImage<Link, Value>& t, std::string_view key) {
  if (key.empty() || t.chars.empty()) return Value(0);
  std::string k(key);
  TrieWalk w = WalkTrie<false, Link>(t.chars.data(), t.links.data(), t.chars.size(), k.c_str());
  return w.found ? t.values[static_cast<size_t>(w.node)] : Value(0);
}

// Images made with the trie family's insert from (key, value) pairs (the
// builder and the tests). Compact images lower-case their keys and hold at
// most 32,767 nodes: false when the keys do not fit.
WideTrieImage MakeWideTrieImage(const std::vector<std::pair<std::string, int32_t>>& keys);
LargeTrieImage MakeLargeTrieImage(const std::vector<std::pair<std::string, uint32_t>>& keys);
bool MakeCompactTrieImage(const std::vector<std::pair<std::string, uint16_t>>& keys, CompactTrieImage& out);

struct CompactSegment {
  uint32_t inserts = 0;
  uint8_t empty = 1;
  CompactTrieImage trie;
};

struct SemanticEntryRecord {
  uint8_t flags = 0;  // bits 0-1 context level; bit 5 initial capital; bit 6 capitals; bit 7 recent
  uint8_t extra = 0;
  uint16_t triple = 0;
  uint32_t baseForm = 0;  // text-index entry of the base form
};

struct ClassTriple {
  uint16_t cls[3] = {0, 0, 0};
};

struct SemanticDictionary {
  uint32_t stamp = 0;
  uint32_t extra13 = 0;
  uint32_t extra65 = 0;
  uint32_t classCount[3] = {0, 0, 0};
  std::array<WideTrieImage, kWordTableCount> tables;
  std::vector<SemanticEntryRecord> records{1};                                    // 1-based
  std::vector<ClassTriple> triples = std::vector<ClassTriple>(kTripleCount + 1);  // 1-based
  std::array<std::vector<std::string>, 3> names{std::vector<std::string>(1), std::vector<std::string>(1),
                                                std::vector<std::string>(1)};  // 1-based
  std::array<std::vector<CompactSegment>, 3> nameIndexes;
  uint32_t textCapacity = 0;              // C: the text index has C + 1 nodes
  LargeTrieImage textIndex;               // values: text-index entries
  std::vector<std::string> textNames{1};  // 1-based, N + 1
};

enum class SemanticReadStatus {
  kOk,
  kTruncated,     // read error: message 10, exit code 2
  kBadMagic,      // message 11, exit code 1
  kBadVersion,    // message 12, exit code 1
  kBadStamp,      // message 13, exit code 1
  kInconsistent,  // a count, link or number outside the file's own bounds: message 11
};

struct SemanticReadResult {
  SemanticReadStatus status = SemanticReadStatus::kOk;
  std::string detail;  // what was wrong, for logs and tests
  bool Ok() const { return status == SemanticReadStatus::kOk; }
};

SemanticReadResult ReadSemanticDictionary(std::string_view bytes, SemanticDictionary& out);
// The same from a regular file, each part read at its place straight into its
// table, several parts at once when processors are free; a file that cannot
// be opened or is larger than maxBytes gives kTruncated, "cannot read <path>".
SemanticReadResult ReadSemanticDictionaryFile(const std::string& path, uint64_t maxBytes, SemanticDictionary& out);
// The file image of a dictionary; names that cannot be stored shifted are an
// error of the caller (see CanStoreShiftedName).
std::string WriteSemanticDictionary(const SemanticDictionary& d);
bool CanStoreShiftedName(std::string_view name);

// Word table (1..60) of a word's reading number depth (0..17), from the
// lexicon's letter groups: depth 0 by letter group and the next two
// characters (1..40), depth 1 by letter group (41..43), then 60 down to 45.
int SemanticTableForDepth(const unsigned char letterGroups[256], std::string_view word, int depth);

// Segment (1-based) of a class-name key among n segments.
int ClassNameSegment(std::string_view key, int n);

}  // namespace quilor
