// Values by word form, for the memories that remember what a form gave once
// (the semantic pass asks them for nearly every word of a text). One
// open-addressed table, probed linearly and grown at half full; a form of up
// to 24 bytes is kept in its slot, so that a look-up reads one slot and the
// value beside it; a longer form is kept in a pool of its own.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace quilor {

template <typename V>
class TFormTable {
 public:
  // The value of form; nullptr when it has none.
  V* Find(std::string_view form) {
    if (slots_.empty()) return nullptr;
    const size_t i = Locate(Probe(form));
    return slots_[i].length ? &values_[i] : nullptr;
  }
  // The value of form, a value-initialised one made when it had none. May
  // throw std::bad_alloc, the table unchanged. The reference holds until
  // the next form is added.
  V& Obtain(std::string_view form) {
    const Probe p(form);
    if (!slots_.empty()) {
      const size_t i = Locate(p);
      if (slots_[i].length) return values_[i];
    }
    if (2 * (used_ + 1) > slots_.size()) Grow();
    const size_t i = Locate(p);
    Slot& s = slots_[i];
    if (form.size() > kInline) {
      const uint64_t at = longForms_.size();
      longForms_.insert(longForms_.end(), form.begin(), form.end());
      std::memcpy(s.key, &at, sizeof at);
    } else {
      std::memcpy(s.key, p.padded, kInline);
    }
    s.hash = p.hash;
    s.length = static_cast<uint32_t>(form.size()) + 1;
    ++used_;
    return values_[i];
  }
  // Forgets every form; the memory stays for the next ones.
  void Clear() {
    if (used_) {
      std::fill(slots_.begin(), slots_.end(), Slot{});
      std::fill(values_.begin(), values_.end(), V{});
    }
    longForms_.clear();
    used_ = 0;
  }
  size_t Size() const { return used_; }

 private:
  static constexpr size_t kInline = 24;
  struct Slot {
    uint32_t hash = 0;
    uint32_t length = 0;     // the form's length + 1; 0: free
    char key[kInline] = {};  // the form, zero past its end; for a longer one its place in longForms_
  };
  // A form as the slots hold it, and its hash.
  struct Probe {
    explicit Probe(std::string_view f) : form(f) {
      if (f.size() <= kInline) std::memcpy(padded, f.data(), f.size());
      uint64_t h = 0x9E3779B97F4A7C15ull ^ f.size();
      for (size_t i = 0; i < f.size(); i += 8) {
        uint64_t v = 0;
        std::memcpy(&v, f.data() + i, std::min<size_t>(8, f.size() - i));
        h = (h ^ v) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
      }
      hash = static_cast<uint32_t>(h);
    }
    std::string_view form;
    char padded[kInline] = {};
    uint32_t hash = 0;
  };

  bool Holds(const Slot& s, const Probe& p) const {
    if (s.hash != p.hash || s.length != p.form.size() + 1) return false;
    if (p.form.size() <= kInline) return std::memcmp(s.key, p.padded, kInline) == 0;
    uint64_t at;
    std::memcpy(&at, s.key, sizeof at);
    return std::memcmp(longForms_.data() + at, p.form.data(), p.form.size()) == 0;
  }
  // The slot holding the form, or the free slot where it would go (the
  // table has slots).
  size_t Locate(const Probe& p) const {
    const size_t mask = slots_.size() - 1;
    size_t i = p.hash & mask;
    while (slots_[i].length && !Holds(slots_[i], p)) i = (i + 1) & mask;
    return i;
  }
  void Grow() {
    const size_t count = slots_.empty() ? 1024 : slots_.size() * 2;
    std::vector<Slot> grownSlots(count);
    std::vector<V> grownValues(count);
    const size_t mask = count - 1;
    for (size_t j = 0; j < slots_.size(); ++j) {
      if (!slots_[j].length) continue;
      size_t i = slots_[j].hash & mask;
      while (grownSlots[i].length) i = (i + 1) & mask;
      grownSlots[i] = slots_[j];
      grownValues[i] = std::move(values_[j]);
    }
    slots_.swap(grownSlots);
    values_.swap(grownValues);
  }

  std::vector<Slot> slots_;
  std::vector<V> values_;  // beside their slots
  std::vector<char> longForms_;
  size_t used_ = 0;
};

}  // namespace quilor
