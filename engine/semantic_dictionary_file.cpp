#include "engine/semantic_dictionary_file.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "core/dictionary_file.h"

namespace quilor {

namespace {

constexpr size_t kDescriptorSize = 24;
constexpr size_t kSegmentHeaderSize = 20;


class Reader {
 public:
  explicit Reader(std::string_view bytes) : p_(reinterpret_cast<const uint8_t*>(bytes.data())), size_(bytes.size()) {}
  size_t Left() const { return size_ - pos_; }
  // Pointer to the next n bytes, or nullptr (and the truncated mark) when the file is shorter.
  const uint8_t* Take(size_t n) {
    if (n > Left()) {
      truncated_ = true;
      return nullptr;
    }
    const uint8_t* at = p_ + pos_;
    pos_ += n;
    return at;
  }
  bool Truncated() const { return truncated_; }

 private:
  const uint8_t* p_;
  size_t size_;
  size_t pos_ = 0;
  bool truncated_ = false;
};

struct Header {
  uint8_t version = 0;
  uint32_t stamp = 0, extra13 = 0, extra65 = 0, magic = 0;
  uint32_t classCount[3] = {0, 0, 0};
  uint32_t records = 0, names = 0, capacity = 0;
};

Header DecodeHeader(const uint8_t* h) {
  Header r;
  r.version = h[0];
  r.stamp = ReadU32(h + 1);
  r.extra13 = ReadU32(h + 13);
  for (int l = 0; l < 3; ++l) r.classCount[l] = ReadU32(h + 25 + 4 * l);
  r.records = ReadU32(h + 49);
  r.extra65 = ReadU32(h + 65);
  r.names = ReadU32(h + 69);
  r.capacity = ReadU32(h + 73);
  r.magic = ReadU32(h + 85);
  return r;
}

SemanticReadResult Fail(SemanticReadStatus s, std::string detail) { return {s, std::move(detail)}; }

// A header copy: magic, version, then the stamp of the first copy.
SemanticReadResult CheckHeader(Reader& in, const Header* first, Header& out, const char* where) {
  const uint8_t* h = in.Take(kSemanticHeaderSize);
  if (!h) return Fail(SemanticReadStatus::kTruncated, std::string("header missing: ") + where);
  out = DecodeHeader(h);
  if (out.magic != kSemanticMagic) return Fail(SemanticReadStatus::kBadMagic, std::string("bad magic: ") + where);
  if (out.version != kSemanticVersion) return Fail(SemanticReadStatus::kBadVersion, std::string("bad version: ") + where);
  if (first && out.stamp != first->stamp) return Fail(SemanticReadStatus::kBadStamp, std::string("stamp differs: ") + where);
  return {};
}

// Copies the used nodes of a trie of the family into an image.
template <class Trie, class Link, class Value>
void CopyOut(const Trie& trie, TrieImage<Link, Value>& out) {
  const auto& a = trie.Arrays();
  const size_t n = static_cast<size_t>(trie.Used());
  out.chars.assign(a.chars, a.chars + n);
  out.links.assign(a.links, a.links + n);
  out.values.assign(a.values, a.values + n);
}

template <class Pairs>
uint64_t NodeBound(const Pairs& keys) {
  uint64_t n = 2;
  for (const auto& k : keys) n += k.first.size() + 1;
  return n;
}

std::string Unshift(const uint8_t* record) {
  std::string name;
  for (int i = 0; i < kNameRecordSize && record[i] != 0; ++i) {
    unsigned c = record[i];
    name += static_cast<char>(c + i < 256 ? c + i : c);
  }
  return name;
}

void Shift(std::string& out, std::string_view name) {
  char record[kNameRecordSize] = {};
  for (size_t i = 0; i < name.size() && i < kNameRecordSize - 1; ++i)
    record[i] = static_cast<char>(static_cast<uint8_t>(name[i]) - i);
  out.append(record, kNameRecordSize);
}

// Reads count name records (1-based into names).
bool ReadNames(Reader& in, uint32_t count, std::vector<std::string>& names) {
  if (static_cast<uint64_t>(count) * kNameRecordSize > in.Left()) return false;
  names.assign(1, std::string());
  names.reserve(count + 1);
  const uint8_t* p = in.Take(static_cast<size_t>(count) * kNameRecordSize);
  for (uint32_t i = 0; i < count; ++i) names.push_back(Unshift(p + static_cast<size_t>(i) * kNameRecordSize));
  return true;
}

void PutU32(std::string& out, uint32_t v) {
  char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
  out.append(b, 4);
}
void PutU16(std::string& out, uint16_t v) {
  out += static_cast<char>(v);
  out += static_cast<char>(v >> 8);
}
template <class T>
void PutArray(std::string& out, const std::vector<T>& v) {
  for (T x : v) {
    if constexpr (sizeof(T) == 4) PutU32(out, static_cast<uint32_t>(x));
    else if constexpr (sizeof(T) == 2) PutU16(out, static_cast<uint16_t>(x));
    else out += static_cast<char>(x);
  }
}
template <class T>
void GetArray(const uint8_t* p, size_t n, std::vector<T>& v) {
  v.resize(n);
  if constexpr (std::endian::native == std::endian::little) {
    // The file's order is the machine's: one copy.
    if (n) std::memcpy(v.data(), p, n * sizeof(T));
    return;
  }
  for (size_t i = 0; i < n; ++i) {
    if constexpr (sizeof(T) == 4) v[i] = static_cast<T>(ReadU32(p + 4 * i));
    else if constexpr (sizeof(T) == 2) v[i] = static_cast<T>(ReadU16(p + 2 * i));
    else v[i] = static_cast<T>(p[i]);
  }
}

void PutHeader(std::string& out, const SemanticDictionary& d) {
  std::string h(kSemanticHeaderSize, '\0');
  h[0] = static_cast<char>(kSemanticVersion);
  auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) h[at + i] = static_cast<char>(v >> (8 * i));
  };
  put(1, d.stamp);
  put(13, d.extra13);
  for (int l = 0; l < 3; ++l) put(25 + 4 * l, d.classCount[l]);
  put(49, static_cast<uint32_t>(d.records.size() - 1));
  put(65, d.extra65);
  put(69, static_cast<uint32_t>(d.textNames.size() - 1));
  put(73, d.textCapacity);
  put(85, kSemanticMagic);
  out += h;
}

}  // namespace

WideTrieImage MakeWideTrieImage(const std::vector<std::pair<std::string, int32_t>>& keys) {
  TLargeTrie trie(static_cast<uint32_t>(NodeBound(keys)));
  for (const auto& [key, value] : keys) trie.LargeTrieInsert(key.c_str(), static_cast<uint32_t>(value));
  LargeTrieImage image;
  CopyOut(trie, image);
  WideTrieImage out;
  out.chars = std::move(image.chars);
  out.links = std::move(image.links);
  out.values.assign(image.values.begin(), image.values.end());
  return out;
}

LargeTrieImage MakeLargeTrieImage(const std::vector<std::pair<std::string, uint32_t>>& keys) {
  TLargeTrie trie(static_cast<uint32_t>(NodeBound(keys)));
  for (const auto& [key, value] : keys) trie.LargeTrieInsert(key.c_str(), value);
  LargeTrieImage out;
  CopyOut(trie, out);
  return out;
}

bool MakeCompactTrieImage(const std::vector<std::pair<std::string, uint16_t>>& keys, CompactTrieImage& out) {
  TCompactTrie trie(static_cast<uint32_t>(std::min<uint64_t>(NodeBound(keys), kCompactTrieMaxCapacity)));
  for (const auto& [key, value] : keys)
    if (!trie.CompactTrieInsert(key.c_str(), value)) return false;
  CopyOut(trie, out);
  return true;
}

bool CanStoreShiftedName(std::string_view name) {
  if (name.size() >= kNameRecordSize) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned c = static_cast<uint8_t>(name[i]);
    if (c <= i) return false;  // would be stored as NUL or wrap
  }
  return true;
}

int SemanticTableForDepth(const unsigned char letterGroups[256], std::string_view word, int depth) {
  const unsigned char c0 = word.empty() ? 0 : static_cast<unsigned char>(word[0]);
  const int group = letterGroups[c0];
  if (depth <= 0) {
    int g = group == 0 ? 10 : (group - 1) % 10 + 1;
    unsigned s = 0;
    if (word.size() > 1) {
      s = static_cast<unsigned char>(word[1]);
      if (word.size() > 2) s += static_cast<unsigned char>(word[2]);
    }
    return g + 10 * static_cast<int>((s * 73) % 4);
  }
  if (depth == 1) return 41 + group % 3;
  return 62 - std::min(depth, kMaxReadingDepth - 1);
}

int ClassNameSegment(std::string_view key, int n) {
  if (n < 2 || key.empty()) return 1;
  unsigned s = static_cast<uint8_t>(key[0]);
  if (key.size() > 1 && key[1] != 0) {
    s += static_cast<uint8_t>(key[1]);
    if (key.size() > 2 && key[2] != 0) s += static_cast<uint8_t>(key[2]);
    s %= 73;
  }
  return static_cast<int>(s % static_cast<unsigned>(n)) + 1;
}

SemanticReadResult ReadSemanticDictionary(std::string_view bytes, SemanticDictionary& d) {
  using S = SemanticReadStatus;
  Reader in(bytes);
  Header first, copy;
  if (auto r = CheckHeader(in, nullptr, first, "section 1"); !r.Ok()) return r;
  d.stamp = first.stamp;
  d.extra13 = first.extra13;
  d.extra65 = first.extra65;
  for (int l = 0; l < 3; ++l) {
    if (first.classCount[l] > kMaxClassesPerLevel) return Fail(S::kInconsistent, "class count above 65,535");
    d.classCount[l] = first.classCount[l];
  }
  // Every size is checked against what is left of the file before anything is allocated.
  if (static_cast<uint64_t>(first.records) * 8 > bytes.size()) return Fail(S::kTruncated, "entry records beyond the file");
  if ((static_cast<uint64_t>(first.capacity) + 1) * 9 > bytes.size()) return Fail(S::kTruncated, "text index beyond the file");
  if (static_cast<uint64_t>(first.names) * kNameRecordSize > bytes.size()) return Fail(S::kTruncated, "text names beyond the file");

  const uint8_t* desc = in.Take(kDescriptorSize * kWordTableCount);
  if (!desc) return Fail(S::kTruncated, "trie descriptors");
  uint64_t totalNodes = 0;
  int32_t nodes[kWordTableCount];
  for (int t = 0; t < kWordTableCount; ++t) {
    nodes[t] = static_cast<int32_t>(ReadU32(desc + kDescriptorSize * t + 16));
    if (nodes[t] < 0) return Fail(S::kInconsistent, "negative node count");
    totalNodes += static_cast<uint64_t>(nodes[t]);
  }
  if (totalNodes * 9 > bytes.size()) return Fail(S::kTruncated, "word tables beyond the file");
  for (int t = 0; t < kWordTableCount; ++t) {
    const uint8_t* p = in.Take(static_cast<size_t>(nodes[t]));
    if (!p) return Fail(S::kTruncated, "trie characters");
    GetArray(p, static_cast<size_t>(nodes[t]), d.tables[t].chars);
  }
  if (auto r = CheckHeader(in, &first, copy, "section 4"); !r.Ok()) return r;
  for (int t = 0; t < kWordTableCount; ++t) {
    const uint8_t* p = in.Take(4 * static_cast<size_t>(nodes[t]));
    if (!p) return Fail(S::kTruncated, "trie values");
    GetArray(p, static_cast<size_t>(nodes[t]), d.tables[t].values);
    for (int32_t v : d.tables[t].values) {
      if (v == INT32_MIN || static_cast<uint32_t>(v < 0 ? -v : v) > first.records)
        return Fail(S::kInconsistent, "word value outside the entry records");
    }
  }
  const uint8_t* rec = in.Take(8 * static_cast<size_t>(first.records));
  if (!rec) return Fail(S::kTruncated, "entry records");
  d.records.assign(first.records + 1, SemanticEntryRecord{});
  for (uint32_t i = 0; i < first.records; ++i) {
    const uint8_t* p = rec + 8 * static_cast<size_t>(i);
    SemanticEntryRecord& r = d.records[i + 1];
    r.flags = p[0];
    r.extra = p[1];
    r.triple = ReadU16(p + 2);
    r.baseForm = ReadU32(p + 4);
    if (r.baseForm > first.names) return Fail(S::kInconsistent, "base form outside the text index");
  }
  const uint8_t* tri = in.Take(6 * static_cast<size_t>(kTripleCount));
  if (!tri) return Fail(S::kTruncated, "class triples");
  d.triples.assign(kTripleCount + 1, ClassTriple{});
  for (int i = 0; i < kTripleCount; ++i) {
    for (int l = 0; l < 3; ++l) {
      uint16_t c = ReadU16(tri + 6 * i + 2 * l);
      if (c > first.classCount[l]) return Fail(S::kInconsistent, "triple class outside its level");
      d.triples[i + 1].cls[l] = c;
    }
  }
  if (auto r = CheckHeader(in, &first, copy, "section 8"); !r.Ok()) return r;
  for (int t = 0; t < kWordTableCount; ++t) {
    const uint8_t* p = in.Take(4 * static_cast<size_t>(nodes[t]));
    if (!p) return Fail(S::kTruncated, "trie links");
    GetArray(p, static_cast<size_t>(nodes[t]), d.tables[t].links);
    if (!d.tables[t].HoldsTogether()) return Fail(S::kInconsistent, "word table link out of order");
  }
  if (auto r = CheckHeader(in, &first, copy, "section 10"); !r.Ok()) return r;
  for (int l = 0; l < 3; ++l)
    if (!ReadNames(in, first.classCount[l], d.names[l])) return Fail(S::kTruncated, "class names");
  for (int l = 0; l < 3; ++l) {
    d.nameIndexes[l].assign(static_cast<size_t>(kClassNameSegments[l]), CompactSegment{});
    for (CompactSegment& seg : d.nameIndexes[l]) {
      const uint8_t* h = in.Take(kSegmentHeaderSize);
      if (!h) return Fail(S::kTruncated, "class-name segment header");
      seg.inserts = ReadU32(h + 12);
      int16_t n = static_cast<int16_t>(ReadU16(h + 16));
      seg.empty = h[18];
      if (n < 0) return Fail(S::kInconsistent, "negative segment node count");
      const uint8_t* p = in.Take(5 * static_cast<size_t>(n));
      if (!p) return Fail(S::kTruncated, "class-name segment");
      GetArray(p, static_cast<size_t>(n), seg.trie.chars);
      GetArray(p + n, static_cast<size_t>(n), seg.trie.values);
      GetArray(p + 3 * static_cast<size_t>(n), static_cast<size_t>(n), seg.trie.links);
      for (uint16_t v : seg.trie.values)
        if (v > first.classCount[l]) return Fail(S::kInconsistent, "class-name index beyond its level");
      if (!seg.trie.HoldsTogether()) return Fail(S::kInconsistent, "class-name link out of order");
    }
  }
  const size_t c1 = static_cast<size_t>(first.capacity) + 1;
  const uint8_t* tp = in.Take(9 * c1);
  if (!tp) return Fail(S::kTruncated, "text index arrays");
  d.textCapacity = first.capacity;
  GetArray(tp, c1, d.textIndex.chars);
  GetArray(tp + c1, c1, d.textIndex.values);
  GetArray(tp + 5 * c1, c1, d.textIndex.links);
  for (uint32_t v : d.textIndex.values)
    if (v > first.names) return Fail(S::kInconsistent, "text index value beyond its names");
  if (!d.textIndex.HoldsTogether()) return Fail(S::kInconsistent, "text index link out of order");
  if (!ReadNames(in, first.names, d.textNames)) return Fail(S::kTruncated, "text index names");
  if (auto r = CheckHeader(in, &first, copy, "section 15"); !r.Ok()) return r;
  return {};
}

std::string WriteSemanticDictionary(const SemanticDictionary& d) {
  std::string out;
  PutHeader(out, d);
  for (int t = 0; t < kWordTableCount; ++t) {
    std::string desc(kDescriptorSize, '\0');
    uint32_t n = static_cast<uint32_t>(d.tables[t].Size());
    for (int i = 0; i < 4; ++i) desc[16 + i] = static_cast<char>(n >> (8 * i));
    out += desc;
  }
  for (const auto& t : d.tables) PutArray(out, t.chars);
  PutHeader(out, d);
  for (const auto& t : d.tables) PutArray(out, t.values);
  for (size_t i = 1; i < d.records.size(); ++i) {
    const SemanticEntryRecord& r = d.records[i];
    out += static_cast<char>(r.flags);
    out += static_cast<char>(r.extra);
    PutU16(out, r.triple);
    PutU32(out, r.baseForm);
  }
  for (int i = 1; i <= kTripleCount; ++i) {
    for (int l = 0; l < 3; ++l) PutU16(out, i < static_cast<int>(d.triples.size()) ? d.triples[i].cls[l] : 0);
  }
  PutHeader(out, d);
  for (const auto& t : d.tables) PutArray(out, t.links);
  PutHeader(out, d);
  for (int l = 0; l < 3; ++l)
    for (uint32_t i = 1; i <= d.classCount[l]; ++i) Shift(out, i < d.names[l].size() ? d.names[l][i] : std::string());
  for (int l = 0; l < 3; ++l) {
    for (int s = 0; s < kClassNameSegments[l]; ++s) {
      CompactSegment empty;
      const CompactSegment& seg = s < static_cast<int>(d.nameIndexes[l].size()) ? d.nameIndexes[l][s] : empty;
      std::string h(kSegmentHeaderSize, '\0');
      for (int i = 0; i < 4; ++i) h[12 + i] = static_cast<char>(seg.inserts >> (8 * i));
      uint16_t n = static_cast<uint16_t>(seg.trie.Size());
      h[16] = static_cast<char>(n);
      h[17] = static_cast<char>(n >> 8);
      h[18] = static_cast<char>(seg.empty);
      out += h;
      PutArray(out, seg.trie.chars);
      PutArray(out, seg.trie.values);
      PutArray(out, seg.trie.links);
    }
  }
  // The text index is stored with exactly capacity + 1 nodes.
  TrieImage<int32_t, uint32_t> ti = d.textIndex;
  const size_t c1 = static_cast<size_t>(d.textCapacity) + 1;
  ti.chars.resize(c1, 0);
  ti.values.resize(c1, 0);
  ti.links.resize(c1, -1);
  PutArray(out, ti.chars);
  PutArray(out, ti.values);
  PutArray(out, ti.links);
  for (size_t i = 1; i < d.textNames.size(); ++i) Shift(out, d.textNames[i]);
  PutHeader(out, d);
  return out;
}

}  // namespace quilor
