// Prints the text the converters give for each document (UTF-8), with the
// route taken, then the list of files that could not be read.
//   quilor-convert FILE...
// Exit codes: 0 every file gave its text, 64 no file given, 65 a file gave
// no text (it failed to convert or was empty; the list on stderr says why),
// 66 a file missing or no readable regular file (a folder, a FIFO, a
// device: never opened). The other files are converted all the same.
#include <cstdio>
#include <filesystem>

#include "core/files.h"
#include "core/messages.h"
#include "core/tool_main.h"
#include "engine/tool_analysis.h"
#include "import/conversion_dispatch.h"
#include "platform/message_ui.h"
#include "platform/text_encoding.h"

namespace {

constexpr size_t kSlice = size_t{1} << 20;
constexpr int kMsgEmptyFile = 18;

int Run(int argc, char** argv) {
  using namespace quilor;
  if (argc < 2) {
    std::fprintf(stderr, "usage: quilor-convert FILE...\n");
    return kExitUsage;
  }
  ScopedScriptedUi ui;  // reports go to the log below, never to a window
  {
    CreateConverters();
    static const char* kRoutes[] = {"read as text", "read raw", "converted", "passed over"};
    int code = kExitOk;
    for (int i = 1; i < argc; ++i) {
      std::string problem;
      if (CheckToolFiles({argv[i]}, problem) != kExitOk) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        code = kExitNoInput;
        continue;
      }
      int kind = DocumentKind(argv[i]);
      ConvertedSource source = PrepareConvertedSource(argv[i], kind, LastFileResult.unknownExtension);
      std::printf("== %s (kind %d, %s, %zu bytes)\n", DisplayFileName(argv[i]).c_str(), kind,
                  kRoutes[static_cast<int>(source.route)], source.text.size());
      // In slices: a large text is never held twice.
      for (size_t at = 0; at < source.text.size(); at += kSlice) {
        std::string utf8 = Cp1252ToUtf8(std::string_view(source.text).substr(at, kSlice));
        std::fwrite(utf8.data(), 1, utf8.size(), stdout);
      }
      if (!source.text.empty()) std::printf("\n");
      // An empty file, or a converted one that gave no text, gave nothing.
      const bool empty = std::filesystem::file_size(argv[i]) == 0;
      if (empty)
        std::fprintf(stderr, "%s: %s\n", DisplayFileName(argv[i]).c_str(),
                     Cp1252ToUtf8(GetMessageText(kMsgEmptyFile)).c_str());
      if ((empty || (source.route == SourceRoute::kConverted && source.text.empty())) && code == kExitOk)
        code = kExitNothingRead;
    }
    for (const auto& box : ui.ui.Shown()) std::fprintf(stderr, "[message] %s\n", Cp1252ToUtf8(box.text).c_str());
    std::string report = ConversionFailureReport();
    if (!report.empty()) std::fprintf(stderr, "%s\n", report.c_str());
    if (!report.empty() && code == kExitOk) code = kExitNothingRead;
    FreeConverters();
    return code;
  }
}

}  // namespace

int main(int argc, char** argv) { return quilor::RunTool(Run, argc, argv); }
