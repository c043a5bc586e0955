#include "engine/gloss_signatures.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

namespace quilor {

namespace {

constexpr char kMagic[8] = {'Q', 'G', 'L', 'O', 'S', 'S', '1', '\n'};
constexpr size_t kCounts = 5;
constexpr size_t kFormBytes = 12;     // pool offset, length, word
constexpr size_t kReadingBytes = 12;  // entry, class (32 bits), first item
constexpr uint32_t kMaxWords = 1u << 24;
constexpr size_t kMaxFormLength = 64;

void Put(std::string& out, uint32_t v) {
  char b[4];
  std::memcpy(b, &v, 4);
  out.append(b, 4);
}

uint32_t Get(const char* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

uint64_t Key(uint32_t entry, uint16_t cls) { return static_cast<uint64_t>(entry) << 16 | cls; }

}  // namespace

std::string WriteGlossSignatures(const GlossSignatureImage& image) {
  std::string out(kMagic, sizeof kMagic);
  std::string pool;
  for (const auto& f : image.forms) pool += f.text;
  uint32_t items = 0;
  for (const auto& r : image.readings) items += static_cast<uint32_t>(r.items.size());
  Put(out, image.wordCount);
  Put(out, static_cast<uint32_t>(image.forms.size()));
  Put(out, static_cast<uint32_t>(image.readings.size()));
  Put(out, items);
  Put(out, static_cast<uint32_t>(pool.size()));
  uint32_t offset = 0;
  for (const auto& f : image.forms) {
    Put(out, offset);
    Put(out, static_cast<uint32_t>(f.text.size()));
    Put(out, f.word);
    offset += static_cast<uint32_t>(f.text.size());
  }
  uint32_t first = 0;
  for (const auto& r : image.readings) {
    Put(out, r.entry);
    Put(out, r.cls);
    Put(out, first);
    first += static_cast<uint32_t>(r.items.size());
  }
  for (const auto& r : image.readings)
    for (uint32_t item : r.items) Put(out, item);
  out += pool;
  return out;
}

bool GlossSignatures::Load(std::string_view bytes, std::string& error) {
  *this = GlossSignatures();
  auto refuse = [&](const char* why) {
    *this = GlossSignatures();
    error = why;
    return false;
  };
  if (bytes.size() < sizeof kMagic + 4 * kCounts || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
    return refuse("not a gloss signature file");
  const char* p = bytes.data() + sizeof kMagic;
  const uint32_t words = Get(p), forms = Get(p + 4), readings = Get(p + 8), items = Get(p + 12),
                 poolBytes = Get(p + 16);
  if (words >= kMaxWords) return refuse("too many words");
  // Every part must lie inside the file: the sizes are added in 64 bits.
  const uint64_t need = sizeof kMagic + 4 * kCounts + uint64_t{forms} * kFormBytes +
                        uint64_t{readings} * kReadingBytes + uint64_t{items} * 4 + poolBytes;
  if (need != bytes.size()) return refuse("the counts do not match the file's size");
  const char* formAt = p + 4 * kCounts;
  const char* readingAt = formAt + size_t{forms} * kFormBytes;
  const char* itemAt = readingAt + size_t{readings} * kReadingBytes;
  const char* poolAt = itemAt + size_t{items} * 4;
  pool_.assign(poolAt, poolBytes);
  forms_.reserve(forms);
  entryFirst_.reserve(readings);
  for (uint32_t i = 0; i < forms; ++i) {
    const char* f = formAt + size_t{i} * kFormBytes;
    const uint32_t offset = Get(f), length = Get(f + 4), word = Get(f + 8);
    if (offset > poolBytes || length > poolBytes - offset || length == 0 || length > kMaxFormLength)
      return refuse("a form lies outside the letters");
    if (word == 0 || word >= words) return refuse("a form names no word");
    forms_.emplace(std::string_view(pool_).substr(offset, length), word);
  }
  keys_.reserve(readings);
  firsts_.reserve(size_t{readings} + 1);
  for (uint32_t i = 0; i < readings; ++i) {
    const char* r = readingAt + size_t{i} * kReadingBytes;
    const uint32_t entry = Get(r), cls = Get(r + 4), first = Get(r + 8);
    if (cls == 0 || cls > std::numeric_limits<uint16_t>::max()) return refuse("a reading has no class");
    const uint64_t key = Key(entry, static_cast<uint16_t>(cls));
    if (!keys_.empty() && key <= keys_.back()) return refuse("the readings are out of order");
    if (first > items || (!firsts_.empty() && first < firsts_.back())) return refuse("a reading's items lie outside");
    if (keys_.empty() || keys_.back() >> 16 != entry) entryFirst_.emplace(entry, i);
    keys_.push_back(key);
    firsts_.push_back(first);
  }
  firsts_.push_back(items);
  if (!keys_.empty() && firsts_.front() != 0) return refuse("a reading's items lie outside");
  items_.resize(items);
  for (uint32_t i = 0; i < items; ++i) items_[i] = Get(itemAt + size_t{i} * 4);
  for (size_t k = 0; k < keys_.size(); ++k)
    for (uint32_t i = firsts_[k]; i < firsts_[k + 1]; ++i) {
      const uint32_t word = items_[i] >> 8;
      if (word == 0 || word >= words) return refuse("an item names no word");
      if (i > firsts_[k] && word <= items_[i - 1] >> 8) return refuse("a reading's words are out of order");
    }
  return true;
}

bool GlossSignatures::LoadFile(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return false;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!Load(bytes, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

uint32_t GlossSignatures::Exact(std::string_view lower) const {
  auto it = forms_.find(lower);
  return it == forms_.end() ? 0 : it->second;
}

uint32_t GlossSignatures::WordOf(std::string_view w) const {
  if (w.empty() || w.size() > kMaxFormLength) return 0;
  if (uint32_t id = Exact(w)) return id;
  auto ends = [&](std::string_view s) { return w.size() > s.size() + 1 && w.ends_with(s); };
  // The stems are made in a buffer of their own: most words of a text are
  // asked for and not found.
  char buffer[kMaxFormLength + 1];
  auto stem = [&](size_t cut, std::string_view add = {}) {
    const size_t keep = w.size() - cut;
    std::memcpy(buffer, w.data(), keep);
    if (!add.empty()) std::memcpy(buffer + keep, add.data(), add.size());
    return Exact(std::string_view(buffer, keep + add.size()));
  };
  uint32_t id = 0;
  if (ends("ies") && (id = stem(3, "y"))) return id;
  if (ends("es") && (id = stem(2))) return id;
  if (ends("s") && !ends("ss") && (id = stem(1))) return id;
  if (ends("ied") && (id = stem(3, "y"))) return id;
  if (ends("ed") && ((id = stem(2)) || (id = stem(1)))) return id;
  if (ends("ing") && ((id = stem(3)) || (id = stem(3, "e")))) return id;
  // A doubled last consonant: stopped, running.
  if ((ends("ed") || ends("ing")) && w.size() > 5) {
    const size_t cut = ends("ed") ? 2 : 3;
    if (w[w.size() - cut - 1] == w[w.size() - cut - 2] && (id = stem(cut + 1))) return id;
  }
  return 0;
}

std::span<const uint32_t> GlossSignatures::Signature(uint32_t entry, uint16_t cls) const {
  // The readings of one entry lie together: found by the entry, then in turn.
  auto first = entryFirst_.find(entry);
  if (first == entryFirst_.end()) return {};
  size_t k = first->second;
  const uint64_t key = Key(entry, cls);
  while (k < keys_.size() && keys_[k] < key) ++k;
  if (k == keys_.size() || keys_[k] != key) return {};
  return std::span<const uint32_t>(items_).subspan(firsts_[k], firsts_[k + 1] - firsts_[k]);
}

double GlossSignatures::Overlap(uint32_t entry, uint16_t cls, std::span<const uint32_t> words, uint32_t except) const {
  const std::span<const uint32_t> sig = Signature(entry, cls);
  if (sig.empty()) return 0;
  // A few words near the noun against a signature of up to 64: each is
  // looked for in the signature.
  uint32_t units = 0;
  auto from = sig.begin();
  for (uint32_t word : words) {
    if (word == except) continue;
    from = std::lower_bound(from, sig.end(), word << 8);
    if (from == sig.end()) break;
    if (*from >> 8 == word) units += *from & 0xff;
  }
  return units / kGlossWeightUnits;
}

}  // namespace quilor
