#include "engine/semantic_word_index.h"

#include <cstring>
#include <exception>
#include <new>

namespace quilor {

namespace {

// Keys longer than this are not indexed: a table that holds one is left
// to the walk (no word of the dictionary comes near it).
constexpr size_t kLongestKey = 255;

}  // namespace

uint32_t TSemanticWordIndex::HashOf(int t, std::string_view key) {
  uint64_t h = 0x9E3779B97F4A7C15ull * static_cast<uint64_t>(t + 1);
  for (unsigned char c : key) h = (h ^ c) * 0x100000001B3ull;
  h ^= h >> 29;
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 32;
  const uint32_t v = static_cast<uint32_t>(h);
  return v ? v : 1;  // 0 marks a free slot
}

void TSemanticWordIndex::Insert(uint32_t at, int32_t value) {
  const std::string_view key(reinterpret_cast<const char*>(&pool_[at + 2]), pool_[at + 1]);
  const uint32_t h = HashOf(pool_[at], key);
  const size_t mask = slotCount_ - 1;
  size_t i = h & mask;
  while (slots_[i].hash != 0) i = (i + 1) & mask;
  slots_[i] = Slot{h, at, value};
  ++keys_;
}

bool TSemanticWordIndex::Build(const std::array<WideTrieImage, kWordTableCount>& tables,
                               const std::atomic<bool>* stop) {
  built_ = false;
  keys_ = 0;
  slots_.reset();
  slotCount_ = 0;
  pool_.clear();
  auto stopped = [stop] { return stop && stop->load(std::memory_order_relaxed); };
  try {
    // The keys are those of the walk: from a level's first node (whose value
    // is the key's that ends there), the chain of its alternatives, each
    // character taken at its first node in the chain, one level further.
    struct Frame {
      int64_t node;  // the chain node to try next
      uint64_t seen[4];
    };
    // Each key is met once (each character once in its chain): its place
    // in pool_ (table, length, bytes) and its value.
    std::vector<uint32_t> found;
    std::vector<int32_t> values;
    for (int t = 1; t <= kWordTableCount; ++t) {
      const WideTrieImage& table = tables[static_cast<size_t>(t - 1)];
      const uint64_t n = table.Size();
      if (n == 0) continue;
      const unsigned char* chars = table.chars.data();
      const int32_t* links = table.links.data();
      const int32_t* vals = table.values.data();
      uint64_t budget = 4 * n + 64;
      std::vector<Frame> stack;
      unsigned char key[kLongestKey];
      auto enter = [&](int64_t first) {
        const size_t depth = stack.size();
        if (depth > 0 && vals[first] != 0) {
          found.push_back(static_cast<uint32_t>(pool_.size()));
          values.push_back(vals[first]);
          pool_.push_back(static_cast<unsigned char>(t));
          pool_.push_back(static_cast<unsigned char>(depth));
          pool_.insert(pool_.end(), key, key + depth);
        }
        stack.push_back(Frame{first, {0, 0, 0, 0}});
      };
      enter(0);
      while (!stack.empty()) {
        if (budget == 0 || ((budget & 0xFFFF) == 0 && stopped())) {
          pool_.clear();
          return false;
        }
        --budget;
        Frame& f = stack.back();
        const int64_t j = f.node;
        if (j < 0) {
          stack.pop_back();
          continue;
        }
        // Links point forward (the tables were checked as they were read).
        f.node = links[j] > j ? links[j] : -1;
        const unsigned char c = chars[j];
        if (c == 0 || (f.seen[c >> 6] >> (c & 63) & 1)) continue;
        f.seen[c >> 6] |= uint64_t{1} << (c & 63);
        if (static_cast<uint64_t>(j) + 1 >= n) continue;
        const size_t depth = stack.size() - 1;
        if (depth >= kLongestKey) {
          pool_.clear();
          return false;
        }
        key[depth] = c;
        enter(j + 1);
      }
    }
    size_t count = 16;
    while (count < found.size() * 2) count *= 2;
    slots_.reset(new Slot[count]);
    slotCount_ = count;
    pool_.shrink_to_fit();
    for (size_t k = 0; k < found.size(); ++k) Insert(found[k], values[k]);
  } catch (const std::bad_alloc&) {
    slots_.reset();
    slotCount_ = 0;
    pool_.clear();
    keys_ = 0;
    return false;
  }
  built_ = !stopped();
  return built_;
}

int32_t TSemanticWordIndex::Find(int t, std::string_view key) const {
  if (!built_ || t < 1 || t > kWordTableCount) return 0;
  // The walk reads a key up to its first NUL.
  key = key.substr(0, key.find('\0'));
  if (key.empty() || key.size() > kLongestKey) return 0;
  const uint32_t h = HashOf(t, key);
  const size_t mask = slotCount_ - 1;
  for (size_t i = h & mask;; i = (i + 1) & mask) {
    const Slot& s = slots_[i];
    if (s.hash == 0) return 0;
    if (s.hash == h && pool_[s.at] == t && pool_[s.at + 1] == key.size() &&
        std::memcmp(&pool_[s.at + 2], key.data(), key.size()) == 0)
      return s.value;
  }
}

void TBackgroundWordIndex::Start(const std::array<WideTrieImage, kWordTableCount>& tables) {
  bool started = false;
  if (!started_.compare_exchange_strong(started, true)) return;
  index_ = std::make_unique<TSemanticWordIndex>();
  auto build = [this, &tables] {
    if (index_->Build(tables, &stop_)) ready_.store(index_.get(), std::memory_order_release);
  };
  try {
    builder_ = std::thread(build);
  } catch (const std::exception&) {
    // No thread: the tables are walked.
  }
}

void TBackgroundWordIndex::Stop() {
  stop_.store(true, std::memory_order_relaxed);
  if (builder_.joinable()) builder_.join();
  ready_.store(nullptr, std::memory_order_release);
  index_.reset();
  walks_.store(0, std::memory_order_relaxed);
  started_.store(false, std::memory_order_relaxed);
  stop_.store(false, std::memory_order_relaxed);
}

}  // namespace quilor
