// Prints the text the converters give for each document (UTF-8), with the
// route taken, then the list of files that could not be read.
//   quilor-convert FILE...
// Exit codes: 0 every file gave its text, 64 no file given, 65 a file gave
// no text (it failed to convert or was empty; the list on stderr says why),
// 66 a file missing or no readable regular file (a folder, a FIFO, a
// device: never opened). The other files are converted all the same.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/files.h"
#include "core/messages.h"
#include "core/tool_main.h"
#include "engine/tool_analysis.h"
#include "core/file_queue.h"
#include "import/conversion_dispatch.h"
#include "import/read_ahead.h"
#include "import/text_loader.h"
#include "import/text_sink.h"
#include "platform/message_ui.h"
#include "platform/text_encoding.h"

namespace {

constexpr size_t kSlice = size_t{1} << 20;

// Takes the decoded blocks of a document as the analysis would cut them,
// and prints them; it counts a word at each start of a run of non-blank
// characters, so that a document of blanks alone gave no word.
class PrintingSink : public quilor::TextSink {
 public:
  void Attach(quilor::TextBlockSource& source) override { source_ = &source; }
  void BeginDocument() override {
    ended_ = false;
    bytes_ = 0;
    inWord_ = false;
  }
  void SetBlock(const unsigned char* block, size_t length, bool) override {
    block_ = block;
    length_ = length;
  }
  bool ScanTextBlock() override {
    do {
      Print();
    } while (source_ != nullptr && source_->NextTextBlock());
    ended_ = true;
    return false;
  }
  bool EndOfSource() const override { return ended_; }
  int32_t WordCount() const override { return words_; }
  uint64_t BytesScanned() const override { return bytes_; }
  void EndDocument() override {}
  uint64_t Printed() const { return bytes_; }

 private:
  void Print() {
    if (block_ == nullptr || length_ == 0) return;
    const std::string_view text(reinterpret_cast<const char*>(block_), length_);
    for (unsigned char c : text) {
      const bool blank = c <= ' ' || c == 0xA0;
      if (!blank && !inWord_) ++words_;
      inWord_ = !blank;
    }
    for (size_t at = 0; at < text.size(); at += kSlice) {
      const std::string utf8 = quilor::Cp1252ToUtf8(text.substr(at, kSlice));
      std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    }
    bytes_ += length_;
    length_ = 0;
  }

  quilor::TextBlockSource* source_ = nullptr;
  const unsigned char* block_ = nullptr;
  size_t length_ = 0;
  uint64_t bytes_ = 0;
  int32_t words_ = 0;
  bool inWord_ = false;
  bool ended_ = false;
};

int Run(int argc, char** argv) {
  using namespace quilor;
  if (argc < 2) {
    std::fprintf(stderr, "usage: quilor-convert FILE...\n");
    return kExitUsage;
  }
  ScopedScriptedUi ui;  // reports go to the log below, never to a window
  {
    CreateConverters();
    // Every document is printed whole: no size question, no word cap.
    LoaderState.sizeThreshold = INT64_MAX;
    LoaderSettings.wordCap = INT32_MAX;
    static const char* kRoutes[] = {"read as text", "read raw", "converted", "passed over"};
    int code = kExitOk;
    for (int i = 1; i < argc; ++i) {
      std::string problem;
      if (CheckToolFiles({argv[i]}, problem) != kExitOk) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        code = kExitNoInput;
        continue;
      }
      const std::string path = MakePathAbsolute(argv[i]);
      int kind = DocumentKind(path);
      // The route a converter takes; the text itself is read as the
      // analysis reads it, through the loader's decoders of every kind.
      const SourceRoute route = PrepareConvertedSource(path, kind, LastFileResult.unknownExtension).route;
      std::printf("== %s (kind %d, %s)\n", DisplayFileName(argv[i]).c_str(), kind, kRoutes[static_cast<int>(route)]);
      std::fflush(stdout);
      FileQueue.Clear();
      PrintingSink sink;
      if (FileQueue.Add(path.c_str())) TTextLoader loader("", sink);
      if (sink.Printed() > 0) std::printf("\n");
      std::printf("== %llu bytes\n", static_cast<unsigned long long>(sink.Printed()));
      for (const auto& box : ui.ui.Shown()) std::fprintf(stderr, "[message] %s\n", Cp1252ToUtf8(box.text).c_str());
      ui.ui.ClearLog();
      // A document that gave no text (failed, empty, no word) is listed.
      const std::string report = ConversionFailureReport();
      if (!report.empty()) {
        std::fprintf(stderr, "%s\n", report.c_str());
        if (code == kExitOk) code = kExitNothingRead;
      }
    }
    FileQueue.Clear();
    FreeReadAheadThread();
    FreeConverters();
    return code;
  }
}

}  // namespace

int main(int argc, char** argv) { return quilor::RunTool(Run, argc, argv); }
