// The loaders that read a file by its path: the document kind from the first
// bytes, the compound file, the Scenario and the semantic dictionary. The
// first byte picks the loader, the rest is the file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/class_file.h"
#include "core/messages.h"
#include "engine/ontology_engine.h"
#include "import/document_signature.h"
#include "platform/compound_file.h"
#include "platform/fatal.h"
#include "tests/fuzz/silent_ui.h"

using namespace quilor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/quilor-fuzz-paths-" + std::to_string(getpid());
  static bool ready = [] {
    InstallSilentMessageUi();
    InitMessages();
    return true;
  }();
  (void)ready;
  if (size < 1) return 0;
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);
  } else {
    return 0;
  }
  switch (data[0] % 4) {
    case 0: DocumentKindOfFile(path, 1, (data[0] & 4) != 0); break;
    case 1: {
      CompoundFile file;
      if (file.OpenFile(path))
        for (int i = 0; i < 8; ++i) file.Find("WordDocument");
      break;
    }
    case 2: {
      ClassFileList list;
      LoadClassFile(list, path, "fuzz");
      break;
    }
    default: {
      // A damaged dictionary ends the program with its code: here, an exception.
      TOntologyEngine engine;
      try {
        engine.LoadFile(path);
      } catch (const FatalError&) {
      }
      break;
    }
  }
  std::remove(path.c_str());
  return 0;
}
