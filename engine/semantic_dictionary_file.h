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

namespace quilor {

constexpr uint8_t kSemanticVersion = 19;
constexpr uint32_t kSemanticMagic = 1234567;
constexpr size_t kSemanticHeaderSize = 89;
constexpr int kWordTableCount = 60;
constexpr int kTripleCount = 65535;
constexpr int kMaxClassesPerLevel = 65535;
constexpr int kNameRecordSize = 80;
constexpr int kClassNameSegments[3] = {19, 2, 1};
constexpr int kMaxReadingDepth = 18;

// A trie as three flat arrays; node i has chars[i], links[i] (-1 = none) and
// values[i] (0 = no key ends here).
template <class Link, class Value>
struct TrieImage {
  std::vector<uint8_t> chars;
  std::vector<Link> links;
  std::vector<Value> values;

  size_t Size() const { return chars.size(); }
};
using WideTrieImage = TrieImage<int32_t, int32_t>;
using CompactTrieImage = TrieImage<int16_t, uint16_t>;

// Walks key through the arrays; the node where the key ends, or -1. Safe on
// any arrays whose links all point forward (as the loader checks).
template <class Link, class Value>
long ImageTrieWalk(const TrieImage<Link, Value>& t, std::string_view key) {
  const size_t n = t.chars.size();
  if (key.empty() || n == 0) return -1;
  size_t i = 0, k = 0;
  for (;;) {
    while (k < key.size() && i < n && static_cast<uint8_t>(key[k]) == t.chars[i]) ++k, ++i;
    if (k == key.size()) return i < n ? static_cast<long>(i) : -1;
    if (i >= n) return -1;
    Link a = t.links[i];
    if (a < 0) return -1;
    i = static_cast<size_t>(a);
  }
}

// Value of key, 0 when absent.
template <class Link, class Value>
Value TrieValue(const TrieImage<Link, Value>& t, std::string_view key) {
  long node = ImageTrieWalk(t, key);
  return node < 0 ? Value(0) : t.values[static_cast<size_t>(node)];
}

// Inserts key with value, growing the arrays (used by the builder). An
// existing key keeps its value; returns false then.
template <class Link, class Value>
bool TrieInsert(TrieImage<Link, Value>& t, std::string_view key, Value value) {
  if (key.empty()) return false;
  size_t n = t.chars.size();
  size_t i = 0, k = 0;
  long mismatch = -1;
  if (n > 0) {
    for (;;) {
      while (k < key.size() && i < n && static_cast<uint8_t>(key[k]) == t.chars[i]) ++k, ++i;
      if (k == key.size() && i < n) {
        if (t.values[i] != 0) return false;
        t.values[i] = value;
        return true;
      }
      if (i >= n) break;  // cannot happen in a well-formed trie: every key ends on a node
      if (t.links[i] < 0) {
        mismatch = static_cast<long>(i);
        break;
      }
      i = static_cast<size_t>(t.links[i]);
    }
  }
  if (mismatch >= 0) t.links[static_cast<size_t>(mismatch)] = static_cast<Link>(n);
  for (; k < key.size(); ++k) {
    t.chars.push_back(static_cast<uint8_t>(key[k]));
    t.links.push_back(-1);
    t.values.push_back(0);
  }
  t.chars.push_back(0);
  t.links.push_back(-1);
  t.values.push_back(value);
  return true;
}

struct CompactSegment {
  uint32_t inserts = 0;
  uint8_t empty = 1;
  CompactTrieImage trie;
};

struct SemanticEntryRecord {
  uint8_t flags = 0;   // bits 0-1 context level; bit 5 initial capital; bit 6 capitals; bit 7 recent
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
  std::vector<SemanticEntryRecord> records{1};  // 1-based
  std::vector<ClassTriple> triples = std::vector<ClassTriple>(kTripleCount + 1);  // 1-based
  std::array<std::vector<std::string>, 3> names{std::vector<std::string>(1), std::vector<std::string>(1),
                                                 std::vector<std::string>(1)};  // 1-based
  std::array<std::vector<CompactSegment>, 3> nameIndexes;
  uint32_t textCapacity = 0;                 // C: the text index has C + 1 nodes
  TrieImage<int32_t, uint32_t> textIndex;   // values: text-index entries
  std::vector<std::string> textNames{1};     // 1-based, N + 1
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
