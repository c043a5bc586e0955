#include "core/file_queue.h"

#include <cstdlib>
#include <cstring>

namespace quilor {

TPileFile FileQueue;

void TPileFile::Initialise() {
  count_ = 0;
  for (char*& slot : slots_) slot = nullptr;
}

bool TPileFile::Add(const char* name) {
  if (count_ >= kCapacity) return false;
  if (!name) name = "";
  size_t n = std::strlen(name);
  char* copy = static_cast<char*>(std::malloc(n + 1));
  if (!copy) return false;
  std::memcpy(copy, name, n + 1);
  slots_[++count_] = copy;
  return true;
}

const char* TPileFile::Get(int i) const {
  int16_t index = static_cast<int16_t>(i);
  if (index >= 1 && index <= count_) return slots_[index];
  return count_ >= 1 ? slots_[1] : nullptr;
}

void TPileFile::Clear() {
  for (int i = 1; i <= count_ && i <= kCapacity; ++i) {
    std::free(slots_[i]);
    slots_[i] = nullptr;
  }
  count_ = 0;
}

}  // namespace quilor
