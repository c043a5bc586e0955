#include "engine/semantic_dictionary_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <cstring>
#include <functional>
#include <new>
#include <system_error>
#include <thread>

#include "core/dictionary_file.h"
#include "platform/read_file.h"
#include "platform/usable_cores.h"

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
  if (out.version != kSemanticVersion)
    return Fail(SemanticReadStatus::kBadVersion, std::string("bad version: ") + where);
  if (first && out.stamp != first->stamp)
    return Fail(SemanticReadStatus::kBadStamp, std::string("stamp differs: ") + where);
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
  const void* nul = std::memchr(record, 0, kNameRecordSize);
  const size_t n = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - record) : kNameRecordSize;
  std::string name(n, '\0');
  for (size_t i = 0; i < n; ++i) {
    const unsigned c = record[i];
    name[i] = static_cast<char>(c + i < 256 ? c + i : c);
  }
  return name;
}

void Shift(std::string& out, std::string_view name) {
  char record[kNameRecordSize] = {};
  for (size_t i = 0; i < name.size() && i < kNameRecordSize - 1; ++i)
    record[i] = static_cast<char>(static_cast<uint8_t>(name[i]) - i);
  out.append(record, kNameRecordSize);
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

namespace {

// Where the bytes of a dictionary come from: memory, or a file read at offsets.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // n bytes at `at` (inside Size()) into to; false on a read error.
  virtual bool ReadAt(uint64_t at, void* to, size_t n) const = 0;
};

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  bool ReadAt(uint64_t at, void* to, size_t n) const override {
    if (n) std::memcpy(to, bytes_.data() + at, n);
    return true;
  }

 private:
  std::string_view bytes_;
};

class FileSource : public ByteSource {
 public:
  FileSource(int fd, uint64_t size) : fd_(fd), size_(size) {}
  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t at, void* to, size_t n) const override {
    char* p = static_cast<char*>(to);
    while (n > 0) {
      const ssize_t got = ::pread(fd_, p, n, static_cast<off_t>(at));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;  // an error, or a file cut shorter meanwhile
      p += got;
      at += static_cast<uint64_t>(got);
      n -= static_cast<size_t>(got);
    }
    return true;
  }

 private:
  int fd_;
  uint64_t size_;
};

// n values of the file's order at `at`, straight into v.
template <class T>
bool ReadArrayAt(const ByteSource& in, uint64_t at, size_t n, std::vector<T>& v) {
  v.resize(n);
  if (!in.ReadAt(at, v.data(), n * sizeof(T))) return false;
  if constexpr (std::endian::native != std::endian::little && sizeof(T) > 1) {
    // The file is little-endian: each value's bytes are turned round.
    for (T& x : v) {
      uint8_t b[sizeof(T)];
      std::memcpy(b, &x, sizeof(T));
      x = static_cast<T>(sizeof(T) == 4 ? ReadU32(b) : ReadU16(b));
    }
  }
  return true;
}

// Name records first..last (0-based) of a run of count at `at` into
// names[first + 1 ...], decoded a block at a time.
bool ReadNameRange(const ByteSource& in, uint64_t at, uint32_t first, uint32_t last, std::vector<std::string>& names) {
  constexpr uint32_t kBlock = 512;
  uint8_t block[kBlock * kNameRecordSize];
  for (uint32_t i = first; i < last; i += kBlock) {
    const uint32_t n = std::min(kBlock, last - i);
    if (!in.ReadAt(at + static_cast<uint64_t>(i) * kNameRecordSize, block, static_cast<size_t>(n) * kNameRecordSize))
      return false;
    for (uint32_t k = 0; k < n; ++k) names[i + k + 1] = Unshift(block + static_cast<size_t>(k) * kNameRecordSize);
  }
  return true;
}

// Where each part of the file starts, from its header, its trie descriptors
// and its class-name segment headers.
struct Layout {
  int32_t nodes[kWordTableCount] = {};
  uint64_t tableFirst[kWordTableCount] = {};  // node offset of each table in the run of all tables
  uint64_t totalNodes = 0;
  uint64_t chars = 0, header2 = 0, values = 0, records = 0, triples = 0, header3 = 0, links = 0, header4 = 0;
  uint64_t classNames = 0;
  std::array<std::vector<uint64_t>, 3> segments;  // offset of each segment's header
  uint64_t textIndex = 0, textNames = 0, header5 = 0, end = 0;
};

SemanticReadResult ReadSegmentHeader(const ByteSource& in, uint64_t at, int16_t& nodes) {
  using S = SemanticReadStatus;
  uint8_t h[kSegmentHeaderSize];
  if (at + kSegmentHeaderSize > in.Size()) return Fail(S::kTruncated, "class-name segment header");
  if (!in.ReadAt(at, h, sizeof h)) return Fail(S::kTruncated, "class-name segment header");
  nodes = static_cast<int16_t>(ReadU16(h + 16));
  if (nodes < 0) return Fail(S::kInconsistent, "negative segment node count");
  return {};
}

SemanticReadResult CheckHeaderAt(const ByteSource& in, uint64_t at, const Header* first, Header& out,
                                 const char* where) {
  uint8_t h[kSemanticHeaderSize];
  if (at + kSemanticHeaderSize > in.Size() || !in.ReadAt(at, h, sizeof h))
    return Fail(SemanticReadStatus::kTruncated, std::string("header missing: ") + where);
  Reader r(std::string_view(reinterpret_cast<const char*>(h), sizeof h));
  return CheckHeader(r, first, out, where);
}

// The parts of a dictionary that are read on their own, each into its own
// members of d; the result of the first that fails, in file order, counts.
SemanticReadResult ReadTablesCharsAndLinks(const ByteSource& in, const Layout& L, SemanticDictionary& d) {
  using S = SemanticReadStatus;
  for (int t = 0; t < kWordTableCount; ++t) {
    const size_t n = static_cast<size_t>(L.nodes[t]);
    if (!ReadArrayAt(in, L.chars + L.tableFirst[t], n, d.tables[t].chars))
      return Fail(S::kTruncated, "trie characters");
    if (!ReadArrayAt(in, L.links + 4 * L.tableFirst[t], n, d.tables[t].links)) return Fail(S::kTruncated, "trie links");
    if (!d.tables[t].HoldsTogether()) return Fail(S::kInconsistent, "word table link out of order");
  }
  return {};
}

SemanticReadResult ReadValuesRecordsTriples(const ByteSource& in, const Layout& L, const Header& first,
                                            SemanticDictionary& d) {
  using S = SemanticReadStatus;
  for (int t = 0; t < kWordTableCount; ++t) {
    if (!ReadArrayAt(in, L.values + 4 * L.tableFirst[t], static_cast<size_t>(L.nodes[t]), d.tables[t].values))
      return Fail(S::kTruncated, "trie values");
    for (int32_t v : d.tables[t].values) {
      if (v == INT32_MIN || static_cast<uint32_t>(v < 0 ? -v : v) > first.records)
        return Fail(S::kInconsistent, "word value outside the entry records");
    }
  }
  std::vector<uint8_t> rec;
  if (!ReadArrayAt(in, L.records, 8 * static_cast<size_t>(first.records), rec))
    return Fail(S::kTruncated, "entry records");
  d.records.assign(first.records + 1, SemanticEntryRecord{});
  for (uint32_t i = 0; i < first.records; ++i) {
    const uint8_t* p = rec.data() + 8 * static_cast<size_t>(i);
    SemanticEntryRecord& r = d.records[i + 1];
    r.flags = p[0];
    r.extra = p[1];
    r.triple = ReadU16(p + 2);
    r.baseForm = ReadU32(p + 4);
    if (r.baseForm > first.names) return Fail(S::kInconsistent, "base form outside the text index");
  }
  std::vector<uint16_t> tri;
  if (!ReadArrayAt(in, L.triples, 3 * static_cast<size_t>(kTripleCount), tri))
    return Fail(S::kTruncated, "class triples");
  d.triples.assign(kTripleCount + 1, ClassTriple{});
  for (int i = 0; i < kTripleCount; ++i) {
    for (int l = 0; l < 3; ++l) {
      const uint16_t c = tri[3 * static_cast<size_t>(i) + l];
      if (c > first.classCount[l]) return Fail(S::kInconsistent, "triple class outside its level");
      d.triples[i + 1].cls[l] = c;
    }
  }
  return {};
}

SemanticReadResult ReadClassNamesAndSegments(const ByteSource& in, const Layout& L, const Header& first,
                                             SemanticDictionary& d) {
  using S = SemanticReadStatus;
  uint64_t at = L.classNames;
  for (int l = 0; l < 3; ++l) {
    d.names[l].assign(first.classCount[l] + 1, std::string());
    if (!ReadNameRange(in, at, 0, first.classCount[l], d.names[l])) return Fail(S::kTruncated, "class names");
    at += static_cast<uint64_t>(first.classCount[l]) * kNameRecordSize;
  }
  for (int l = 0; l < 3; ++l) {
    d.nameIndexes[l].assign(static_cast<size_t>(kClassNameSegments[l]), CompactSegment{});
    for (size_t s = 0; s < d.nameIndexes[l].size(); ++s) {
      CompactSegment& seg = d.nameIndexes[l][s];
      uint8_t h[kSegmentHeaderSize];
      if (!in.ReadAt(L.segments[l][s], h, sizeof h)) return Fail(S::kTruncated, "class-name segment header");
      seg.inserts = ReadU32(h + 12);
      const size_t n = static_cast<size_t>(static_cast<int16_t>(ReadU16(h + 16)));
      seg.empty = h[18];
      const uint64_t p = L.segments[l][s] + kSegmentHeaderSize;
      if (!ReadArrayAt(in, p, n, seg.trie.chars) || !ReadArrayAt(in, p + n, n, seg.trie.values) ||
          !ReadArrayAt(in, p + 3 * n, n, seg.trie.links))
        return Fail(S::kTruncated, "class-name segment");
      for (uint16_t v : seg.trie.values)
        if (v > first.classCount[l]) return Fail(S::kInconsistent, "class-name index beyond its level");
      if (!seg.trie.HoldsTogether()) return Fail(S::kInconsistent, "class-name link out of order");
    }
  }
  return {};
}

SemanticReadResult ReadTextIndex(const ByteSource& in, const Layout& L, const Header& first, SemanticDictionary& d) {
  using S = SemanticReadStatus;
  const size_t c1 = static_cast<size_t>(first.capacity) + 1;
  d.textCapacity = first.capacity;
  if (!ReadArrayAt(in, L.textIndex, c1, d.textIndex.chars) ||
      !ReadArrayAt(in, L.textIndex + c1, c1, d.textIndex.values) ||
      !ReadArrayAt(in, L.textIndex + 5 * c1, c1, d.textIndex.links))
    return Fail(S::kTruncated, "text index arrays");
  for (uint32_t v : d.textIndex.values)
    if (v > first.names) return Fail(S::kInconsistent, "text index value beyond its names");
  if (!d.textIndex.HoldsTogether()) return Fail(S::kInconsistent, "text index link out of order");
  return {};
}

// Reads the parts on up to `threads` threads (this one among them); on one
// thread, or when no thread can be started, one after the other.
SemanticReadResult RunParts(std::vector<std::function<SemanticReadResult()>>& parts, unsigned threads) {
  std::vector<SemanticReadResult> results(parts.size());
  std::atomic<size_t> next{0};
  std::atomic<bool> memoryLow{false};
  auto work = [&] {
    for (size_t i = next++; i < parts.size() && !memoryLow; i = next++) {
      try {
        results[i] = parts[i]();
      } catch (const std::bad_alloc&) {
        memoryLow = true;
      }
    }
  };
  std::vector<std::thread> helpers;
  for (unsigned i = 1; i < threads && i < parts.size(); ++i) {
    try {
      helpers.emplace_back(work);
    } catch (const std::exception&) {
      // No thread, or no memory to start one (a helper left joinable by an
      // escaping bad_alloc would end the program): this thread reads the rest.
      break;
    }
  }
  work();
  for (std::thread& h : helpers) h.join();
  // Memory that ran out on any thread is reported as on this one.
  if (memoryLow) throw std::bad_alloc();
  for (SemanticReadResult& r : results)
    if (!r.Ok()) return std::move(r);
  return {};
}

// Smaller images are read on one thread: starting threads would cost more.
constexpr uint64_t kPartsInParallelFrom = uint64_t{1} << 20;
constexpr uint32_t kNamesPerPart = 32768;

SemanticReadResult ReadFromSource(const ByteSource& in, SemanticDictionary& d) {
  using S = SemanticReadStatus;
  const uint64_t size = in.Size();
  Header first, copy;
  if (auto r = CheckHeaderAt(in, 0, nullptr, first, "section 1"); !r.Ok()) return r;
  d.stamp = first.stamp;
  d.extra13 = first.extra13;
  d.extra65 = first.extra65;
  for (int l = 0; l < 3; ++l) {
    if (first.classCount[l] > kMaxClassesPerLevel) return Fail(S::kInconsistent, "class count above 65,535");
    d.classCount[l] = first.classCount[l];
  }
  // Every size is checked against the file before anything is allocated.
  if (static_cast<uint64_t>(first.records) * 8 > size) return Fail(S::kTruncated, "entry records beyond the file");
  if ((static_cast<uint64_t>(first.capacity) + 1) * 9 > size) return Fail(S::kTruncated, "text index beyond the file");
  if (static_cast<uint64_t>(first.names) * kNameRecordSize > size)
    return Fail(S::kTruncated, "text names beyond the file");

  Layout L;
  uint8_t desc[kDescriptorSize * kWordTableCount];
  if (kSemanticHeaderSize + sizeof desc > size || !in.ReadAt(kSemanticHeaderSize, desc, sizeof desc))
    return Fail(S::kTruncated, "trie descriptors");
  for (int t = 0; t < kWordTableCount; ++t) {
    L.nodes[t] = static_cast<int32_t>(ReadU32(desc + kDescriptorSize * t + 16));
    if (L.nodes[t] < 0) return Fail(S::kInconsistent, "negative node count");
    L.tableFirst[t] = L.totalNodes;
    L.totalNodes += static_cast<uint64_t>(L.nodes[t]);
  }
  if (L.totalNodes * 9 > size) return Fail(S::kTruncated, "word tables beyond the file");
  const uint64_t n = L.totalNodes;
  L.chars = kSemanticHeaderSize + sizeof desc;
  L.header2 = L.chars + n;
  L.values = L.header2 + kSemanticHeaderSize;
  L.records = L.values + 4 * n;
  L.triples = L.records + 8 * static_cast<uint64_t>(first.records);
  L.header3 = L.triples + 6 * static_cast<uint64_t>(kTripleCount);
  L.links = L.header3 + kSemanticHeaderSize;
  L.header4 = L.links + 4 * n;
  L.classNames = L.header4 + kSemanticHeaderSize;
  uint64_t at = L.classNames;
  for (int l = 0; l < 3; ++l) at += static_cast<uint64_t>(first.classCount[l]) * kNameRecordSize;
  if (at > size) return Fail(S::kTruncated, "class names");
  for (int l = 0; l < 3; ++l) {
    for (int s = 0; s < kClassNameSegments[l]; ++s) {
      int16_t nodes = 0;
      if (auto r = ReadSegmentHeader(in, at, nodes); !r.Ok()) return r;
      L.segments[l].push_back(at);
      at += kSegmentHeaderSize + 5 * static_cast<uint64_t>(nodes);
      if (at > size) return Fail(S::kTruncated, "class-name segment");
    }
  }
  const uint64_t c1 = static_cast<uint64_t>(first.capacity) + 1;
  L.textIndex = at;
  L.textNames = L.textIndex + 9 * c1;
  if (L.textNames > size) return Fail(S::kTruncated, "text index arrays");
  L.header5 = L.textNames + static_cast<uint64_t>(first.names) * kNameRecordSize;
  if (L.header5 > size) return Fail(S::kTruncated, "text index names");
  L.end = L.header5 + kSemanticHeaderSize;
  if (L.end > size) return Fail(S::kTruncated, "header missing: section 15");
  if (auto r = CheckHeaderAt(in, L.header2, &first, copy, "section 4"); !r.Ok()) return r;
  if (auto r = CheckHeaderAt(in, L.header3, &first, copy, "section 8"); !r.Ok()) return r;
  if (auto r = CheckHeaderAt(in, L.header4, &first, copy, "section 10"); !r.Ok()) return r;
  if (auto r = CheckHeaderAt(in, L.header5, &first, copy, "section 15"); !r.Ok()) return r;

  // Every part is now known to lie inside the file: they are read apart.
  std::vector<std::function<SemanticReadResult()>> parts;
  parts.emplace_back([&] { return ReadTablesCharsAndLinks(in, L, d); });
  parts.emplace_back([&] { return ReadValuesRecordsTriples(in, L, first, d); });
  parts.emplace_back([&] { return ReadClassNamesAndSegments(in, L, first, d); });
  parts.emplace_back([&] { return ReadTextIndex(in, L, first, d); });
  d.textNames.assign(static_cast<size_t>(first.names) + 1, std::string());
  for (uint32_t from = 0; from < first.names; from += kNamesPerPart) {
    const uint32_t to = first.names - from > kNamesPerPart ? from + kNamesPerPart : first.names;
    parts.emplace_back([&in, &L, &d, from, to]() -> SemanticReadResult {
      if (!ReadNameRange(in, L.textNames, from, to, d.textNames))
        return Fail(SemanticReadStatus::kTruncated, "text index names");
      return {};
    });
  }
  return RunParts(parts, size >= kPartsInParallelFrom ? std::min(UsableCores(), 6u) : 1u);
}

}  // namespace

SemanticReadResult ReadSemanticDictionary(std::string_view bytes, SemanticDictionary& d) {
  return ReadFromSource(MemorySource(bytes), d);
}

SemanticReadResult ReadSemanticDictionaryFile(const std::string& path, uint64_t maxBytes, SemanticDictionary& d) {
  const SemanticReadResult unreadable{SemanticReadStatus::kTruncated, "cannot read " + path};
  const int fd = OpenRegularFile(path);
  if (fd < 0) return unreadable;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_size < 0 || static_cast<uint64_t>(st.st_size) > maxBytes) {
    ::close(fd);
    return unreadable;
  }
  SemanticReadResult r = ReadFromSource(FileSource(fd, static_cast<uint64_t>(st.st_size)), d);
  ::close(fd);
  return r;
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
