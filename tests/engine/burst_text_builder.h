// Builds word lists with chosen categories for the burst, selection and
// diagnosis tests, the bursts benchmark and the bursts fuzz target.
#pragma once

#include <cstdint>
#include <string>

#include "core/category.h"
#include "engine/word_list.h"

namespace quilor::testing_words {

inline TWordCategoryData Category(uint8_t major, uint8_t subclass = 0, uint8_t subField2 = 0) {
  TWordCategoryData d;
  d.Category.MajorClass = major;
  d.Category.Subclass = subclass;
  d.Category.SubField2 = subField2;
  return d;
}

// A substantive classified under `cls` at every level.
inline TWordCategoryData ClassWord(uint32_t cls) {
  TWordCategoryData d = Category(kClassSubstantive);
  for (uint32_t& id : d.ClassIds) id = cls;
  d.ClassMark = 1;
  return d;
}

class TextBuilder {
 public:
  explicit TextBuilder(TWordList& list) : list_(list) {}

  // A word of the given category; its position is the next word number.
  bool Word(const TWordCategoryData& d, const char* text = "w") {
    ++position_;
    return list_.Append(text, " ", 0, 1, position_, &d);
  }
  bool Filler(int count = 1) {
    for (int i = 0; i < count; ++i)
      if (!Word(Category(kClassSubstantive), "f")) return false;
    return true;
  }
  bool Class(uint32_t cls) { return Word(ClassWord(cls), "c"); }
  // A proposition mark carries the number of the word before it.
  bool Mark() {
    TWordCategoryData d;
    return list_.Append("/", " ", 0, 1, position_, &d);
  }
  // Filler words up to (not including) word number `position`.
  bool FillTo(int32_t position) {
    while (position_ + 1 < position)
      if (!Filler()) return false;
    return true;
  }
  int32_t Position() const { return position_; }

 private:
  TWordList& list_;
  int32_t position_ = 0;
};

}  // namespace quilor::testing_words
