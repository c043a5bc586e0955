#include "platform/compound_file.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "platform/byte_order.h"
#include "platform/letter_case.h"
#include "platform/read_file.h"
#include "platform/text_encoding.h"

namespace quilor {
namespace {

constexpr unsigned char kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFreeSector = 0xFFFFFFFF;
constexpr uint32_t kNoStream = 0xFFFFFFFF;
constexpr size_t kHeaderSize = 512;
constexpr size_t kEntrySize = 128;
constexpr size_t kMaxEntries = 1u << 20;

uint16_t U16(const char* p) { return LoadLe16(p); }
uint32_t U32(const char* p) { return LoadLe32(p); }

bool SameNameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (ToUpperChar(static_cast<unsigned char>(a[i])) != ToUpperChar(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

}  // namespace

bool CompoundFile::HasSignature(const void* data, size_t length) {
  return length >= sizeof kSignature && std::memcmp(data, kSignature, sizeof kSignature) == 0;
}

const char* CompoundFile::ErrorText() const {
  switch (error_) {
    case CompoundError::kNone: return "";
    case CompoundError::kNotCompound: return "not a compound file";
    case CompoundError::kTooLarge: return "file too large";
    case CompoundError::kBadChain: return "damaged sector chain";
    case CompoundError::kBadDirectory: return "damaged directory";
    case CompoundError::kNotFound: return "element not found";
    case CompoundError::kReadError: return "read error";
  }
  return "";
}

bool CompoundFile::Fail(CompoundError e) {
  error_ = e;
  return false;
}

bool CompoundFile::OpenFile(const std::string& path) {
  // A regular file of bounded size only: a pipe, a device or a folder is a read error.
  std::string data;
  switch (ReadWholeFile(path, kMaxFileSize + 1, data)) {
    case ReadFileStatus::kOk: break;
    case ReadFileStatus::kTooLarge: return Fail(CompoundError::kTooLarge);
    default: return Fail(CompoundError::kReadError);
  }
  if (data.size() > kMaxFileSize) return Fail(CompoundError::kTooLarge);
  return Open(data);
}

bool CompoundFile::Open(std::string_view data) {
  error_ = CompoundError::kNone;
  entries_.clear();
  fat_.clear();
  miniFat_.clear();
  miniStream_.clear();
  miniStreamLoaded_ = false;
  if (data.size() > kMaxFileSize) return Fail(CompoundError::kTooLarge);
  if (data.size() < kHeaderSize || !HasSignature(data.data(), data.size())) return Fail(CompoundError::kNotCompound);
  const char* h = data.data();
  uint16_t shift = U16(h + 30);
  uint16_t miniShift = U16(h + 32);
  if (U16(h + 28) != 0xFFFE || (shift != 9 && shift != 12) || miniShift != 6) return Fail(CompoundError::kNotCompound);
  sectorSize_ = 1u << shift;
  miniSectorSize_ = 1u << miniShift;
  miniCutoff_ = U32(h + 56);
  // A last sector cut short reads as zeros.
  data_.assign(data);
  size_t padded = (data_.size() + sectorSize_ - 1) / sectorSize_ * sectorSize_;
  if (padded < sectorSize_ * 2) padded = sectorSize_ * 2;
  data_.resize(padded, '\0');
  sectorCount_ = static_cast<uint32_t>(data_.size() / sectorSize_ - 1);
  return LoadFat() && LoadDirectory();
}

bool CompoundFile::Sector(uint32_t index, const char*& at) const {
  if (index >= sectorCount_) return false;
  at = data_.data() + (static_cast<size_t>(index) + 1) * sectorSize_;
  return true;
}

bool CompoundFile::Chain(const std::vector<uint32_t>& table, uint32_t start, size_t maxLength,
                         std::vector<uint32_t>& out) const {
  out.clear();
  if (start == kEndOfChain) return true;
  std::vector<bool> seen(table.size(), false);
  uint32_t s = start;
  while (s != kEndOfChain) {
    if (s >= table.size() || seen[s] || out.size() >= maxLength) return false;
    seen[s] = true;
    out.push_back(s);
    s = table[s];
  }
  return true;
}

bool CompoundFile::LoadFat() {
  const char* h = data_.data();
  uint32_t fatSectors = U32(h + 44);
  uint32_t firstDifat = U32(h + 68);
  uint32_t difatCount = U32(h + 72);
  if (fatSectors > sectorCount_) return Fail(CompoundError::kBadChain);
  std::vector<uint32_t> fatList;
  for (int i = 0; i < 109 && fatList.size() < fatSectors; ++i) fatList.push_back(U32(h + 76 + 4 * i));
  // The rest of the list is in the DIFAT chain: each sector holds entries and the next sector last.
  std::vector<bool> seen(sectorCount_, false);
  uint32_t d = firstDifat;
  uint32_t perSector = sectorSize_ / 4 - 1;
  for (uint32_t n = 0; fatList.size() < fatSectors && n < difatCount; ++n) {
    const char* at;
    if (d == kEndOfChain || d == kFreeSector || !Sector(d, at) || seen[d]) return Fail(CompoundError::kBadChain);
    seen[d] = true;
    for (uint32_t i = 0; i < perSector && fatList.size() < fatSectors; ++i) fatList.push_back(U32(at + 4 * i));
    d = U32(at + 4 * perSector);
  }
  if (fatList.size() < fatSectors) return Fail(CompoundError::kBadChain);
  // Entries past the end of the file are never needed.
  size_t wanted = sectorCount_;
  fat_.reserve(std::min<size_t>(wanted, static_cast<size_t>(fatSectors) * (sectorSize_ / 4)));
  for (uint32_t s : fatList) {
    if (fat_.size() >= wanted) break;
    const char* at;
    if (!Sector(s, at)) return Fail(CompoundError::kBadChain);
    for (uint32_t i = 0; i < sectorSize_ / 4 && fat_.size() < wanted; ++i) fat_.push_back(U32(at + 4 * i));
  }
  return true;
}

bool CompoundFile::LoadDirectory() {
  std::vector<uint32_t> chain;
  if (!Chain(fat_, U32(data_.data() + 48), sectorCount_, chain) || chain.empty())
    return Fail(CompoundError::kBadDirectory);
  for (uint32_t s : chain) {
    const char* at;
    if (!Sector(s, at)) return Fail(CompoundError::kBadDirectory);
    for (uint32_t off = 0; off + kEntrySize <= sectorSize_ && entries_.size() < kMaxEntries; off += kEntrySize) {
      const char* e = at + off;
      CompoundEntry entry;
      uint16_t nameBytes = U16(e + 64);
      if (nameBytes > 64) nameBytes = 64;
      for (int i = 0; i + 1 < nameBytes; i += 2) {
        char16_t unit = U16(e + i);
        if (unit == 0) break;
        entry.name.push_back(unit < 0x20 ? static_cast<char>(unit) : static_cast<char>(UnicodeToAnsi(unit)));
      }
      entry.type = static_cast<uint8_t>(e[66]);
      entry.left = U32(e + 68);
      entry.right = U32(e + 72);
      entry.child = U32(e + 76);
      entry.start = U32(e + 116);
      entry.size = U32(e + 120);
      if (sectorSize_ == 4096) entry.size |= static_cast<uint64_t>(U32(e + 124)) << 32;
      entries_.push_back(entry);
    }
  }
  if (entries_.empty() || entries_[0].type != 5) return Fail(CompoundError::kBadDirectory);
  return true;
}

bool CompoundFile::LoadMiniStream() {
  if (miniStreamLoaded_) return true;
  miniStreamLoaded_ = true;
  const char* h = data_.data();
  std::vector<uint32_t> chain;
  if (!Chain(fat_, U32(h + 60), sectorCount_, chain)) return Fail(CompoundError::kBadChain);
  for (uint32_t s : chain) {
    const char* at;
    if (!Sector(s, at)) return Fail(CompoundError::kBadChain);
    for (uint32_t i = 0; i < sectorSize_ / 4; ++i) miniFat_.push_back(U32(at + 4 * i));
  }
  const CompoundEntry& root = entries_[0];
  if (!Chain(fat_, root.start, sectorCount_, chain)) return Fail(CompoundError::kBadChain);
  uint64_t size = std::min<uint64_t>(root.size, static_cast<uint64_t>(chain.size()) * sectorSize_);
  miniStream_.reserve(static_cast<size_t>(size));
  for (uint32_t s : chain) {
    const char* at;
    if (!Sector(s, at)) return Fail(CompoundError::kBadChain);
    miniStream_.append(at, sectorSize_);
  }
  miniStream_.resize(static_cast<size_t>(size));
  return true;
}

std::vector<int> CompoundFile::Children(int storage) const {
  std::vector<int> out;
  if (storage < 0 || static_cast<size_t>(storage) >= entries_.size() || !entries_[storage].IsStorage()) return out;
  std::vector<bool> seen(entries_.size(), false);
  seen[storage] = true;
  // In-order walk of the red-black tree of the storage's elements, with its own stack.
  std::vector<uint32_t> stack;
  uint32_t node = entries_[storage].child;
  while (true) {
    while (node != kNoStream && node < entries_.size() && !seen[node]) {
      seen[node] = true;
      stack.push_back(node);
      node = entries_[node].left;
    }
    if (stack.empty()) break;
    uint32_t top = stack.back();
    stack.pop_back();
    if (entries_[top].type != 0) out.push_back(static_cast<int>(top));
    node = entries_[top].right;
  }
  return out;
}

int CompoundFile::Find(std::string_view name, int storage) const {
  for (int i : Children(storage))
    if (SameNameNoCase(entries_[i].name, name)) return i;
  return -1;
}

bool CompoundFile::ReadStream(std::string_view name, std::string& out) {
  out.clear();
  int i = Find(name);
  if (i < 0) return Fail(CompoundError::kNotFound);
  return ReadStream(i, out);
}

bool CompoundFile::ReadStream(int index, std::string& out) {
  out.clear();
  if (index < 0 || static_cast<size_t>(index) >= entries_.size() || !entries_[index].IsStream())
    return Fail(CompoundError::kNotFound);
  const CompoundEntry& e = entries_[index];
  std::vector<uint32_t> chain;
  if (e.size < miniCutoff_) {
    if (!LoadMiniStream()) return false;
    size_t miniCount = miniStream_.size() / miniSectorSize_;
    bool whole = Chain(miniFat_, e.start, miniCount, chain);
    for (uint32_t s : chain) {
      if (s >= miniCount || out.size() >= e.size) break;
      out.append(miniStream_, static_cast<size_t>(s) * miniSectorSize_, miniSectorSize_);
    }
    if (out.size() > e.size) out.resize(static_cast<size_t>(e.size));
    if (!whole || out.size() < e.size) return Fail(CompoundError::kBadChain);
    return true;
  }
  bool whole = Chain(fat_, e.start, sectorCount_, chain);
  out.reserve(static_cast<size_t>(std::min<uint64_t>(e.size, static_cast<uint64_t>(chain.size()) * sectorSize_)));
  for (uint32_t s : chain) {
    const char* at;
    if (out.size() >= e.size || !Sector(s, at)) break;
    out.append(at, sectorSize_);
  }
  if (out.size() > e.size) out.resize(static_cast<size_t>(e.size));
  if (!whole || out.size() < e.size) return Fail(CompoundError::kBadChain);
  return true;
}

}  // namespace quilor
