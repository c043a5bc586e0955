// Arbitrary bytes as a document of every kind, through an analysis run: the
// first byte picks the name's extension (plain texts, RTF, markup, Word,
// PDF, packages, Excel, Flash, XPS and unknown ones), the second the block
// size; the converters are in place as in the program.
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
#include "import/conversion_dispatch.h"
#include "import/document_filter.h"
#include "import/text_loader.h"
#include "platform/settings_store.h"
#include "tests/fuzz/converter_fuzz_support.h"

using namespace quilor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string base = "/tmp/quilor-fuzz-kinds-" + std::to_string(getpid());
  static bool ready = [] {
    PrepareConvertersForFuzzing(base);
    return true;
  }();
  (void)ready;
  if (size < 2) return 0;
  static const char* const kExtensions[] = {".txt", ".asc", ".mac", ".rtf",  ".htm", ".html", ".xml",
                                            ".sgm", ".doc", ".pdf", ".docx", ".odt", ".odp",  ".pptx",
                                            ".ppt", ".xls", ".swf", ".xps",  ".dat", ""};
  const std::string path = base + "-doc" + kExtensions[data[0] % 20];
  LoaderSettings.decodeBlockSize = data[1] == 0 ? kTextBlockSize : data[1];
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data + 2, 1, size - 2, f);
    std::fclose(f);
  } else {
    return 0;
  }
  FileQueue.Clear();
  FileQueue.Add(path.c_str());
  TAnalysis analysis;
  RunAnalysis(analysis, 0, TakeRunSettings(*Options));
  CloseProgressGauge();
  std::remove(path.c_str());
  size_t count = 0;
  for (TWordNode* n = TextWords.First(); n != TextWords.Tail(); n = TWordList::NextNode(n)) {
    const size_t length = std::strlen(n->text);
    if (length < 1 || length > 79 || std::strlen(n->tag) > 3 || n->fileNumber != 1) __builtin_trap();
    ++count;
  }
  if (count != TextWords.Count()) __builtin_trap();
  return 0;
}
