// Arbitrary bytes as a plain-text document: encoding detection, decoding in
// blocks of a chosen size and the word scanner, through an analysis run.
// The first byte picks the kind (by extension), the second the block size.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/analysis.h"
#include "core/file_queue.h"
#include "core/gauge.h"
#include "core/messages.h"
#include "engine/analysis_run.h"
#include "engine/word_list.h"
#include "import/text_loader.h"
#include "platform/message_ui.h"

using namespace quilor;

namespace {

ScriptedMessageUi* Ui() {
  static ScriptedMessageUi ui(false);
  return &ui;
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string base = "/tmp/quilor-fuzz-text-" + std::to_string(getpid());
  static bool ready = [] {
    SetMessageUi(Ui());
    InitMessages();
    return true;
  }();
  (void)ready;
  if (size < 2) return 0;
  static const char* const kExtensions[] = {".txt", ".asc", ".mac", ".dat", ".text", ".tx8"};
  std::string path = base + kExtensions[data[0] % 6];
  LoaderSettings.decodeBlockSize = data[1] == 0 ? kTextBlockSize : data[1];
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data + 2, 1, size - 2, f);
    std::fclose(f);
  } else {
    return 0;
  }
  FileQueue.Clear();
  FileQueue.Add(path.c_str());
  FileQueue.Add(path.c_str());
  Ui()->ClearLog();
  TAnalysis analysis;
  RunAnalysis(analysis, 0, TakeRunSettings(*Options));
  CloseProgressGauge();
  std::remove(path.c_str());

  int32_t previous = 0;
  size_t count = 0;
  for (TWordNode* n = TextWords.First(); n != TextWords.Tail(); n = TWordList::NextNode(n)) {
    size_t length = std::strlen(n->text);
    Check(length >= 1 && length <= 79);
    Check(std::strlen(n->tag) <= 3);
    // Words are numbered upwards; a proposition mark carries the number of the word before it.
    const bool mark = std::strcmp(n->text, "/") == 0;
    Check(mark ? n->position == previous : n->position > previous);
    Check(n->fileNumber == 1 || n->fileNumber == 2);
    previous = n->position;
    ++count;
  }
  Check(count == TextWords.Count());
  Check(count % 2 == 0);  // both copies of the document give the same words
  // Messages may come: the first bytes can show that the file is no plain text.
  Check(Ui()->Shown().size() <= 2);
  return 0;
}
