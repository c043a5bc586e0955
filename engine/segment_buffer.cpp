#include "engine/segment_buffer.h"

#include <cstring>

#include "engine/analysis_run.h"
#include "engine/word_list.h"
#include "import/text_loader.h"

namespace quilor {

void TSegmentBuffer::Init() {
  CancelRequested = false;
  wordNumber_ = TextWords.HighestPosition();
}

bool TSegmentBuffer::PushWord(const char* word, const char* tag) {
  return PushWord(word, std::strlen(word), tag);
}

bool TSegmentBuffer::PushWord(const char* word, size_t length, const char* tag) {
  if (!tag || !tag[0]) tag = " ";
  int32_t number = wordNumber_ + 1;
  if (!TextWords.Append(word, length, tag, 0, static_cast<uint16_t>(CurrentFileNumber), number, nullptr))
    return false;
  wordNumber_ = number;
  return true;
}

void TSegmentBuffer::EndParagraph() {}

void TSegmentBuffer::Finish() {}

}  // namespace quilor
