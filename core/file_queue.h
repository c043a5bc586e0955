// The documents that make up the current text, in reading order.
#pragma once

#include <cstdint>

namespace quilor {

class TPileFile {
 public:
  static constexpr int kCapacity = 10000;

  TPileFile() { Initialise(); }
  ~TPileFile() { Clear(); }
  TPileFile(const TPileFile&) = delete;
  TPileFile& operator=(const TPileFile&) = delete;

  // Count 0 and every slot empty, without freeing anything.
  void Initialise();
  // False when the queue is full or the copy could not be made.
  bool Add(const char* name);
  // The name in slot i (1..Count); any other i (taken as a 16-bit index)
  // gives the first name, nullptr when the queue is empty.
  const char* Get(int i) const;
  int Count() const { return count_; }
  // Frees the copies and empties the queue.
  void Clear();

 private:
  int32_t count_ = 0;
  char* slots_[kCapacity + 1];  // slot 0 unused
};

// The one global queue, read by the text loader.
extern TPileFile FileQueue;

}  // namespace quilor
