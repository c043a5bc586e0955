// Prints the text the converters give for each document (UTF-8), with the
// route taken, then the list of files that could not be read.
//   quilor-convert FILE...
#include <cstdio>

#include "core/files.h"
#include "core/tool_main.h"
#include "import/conversion_dispatch.h"
#include "platform/message_ui.h"
#include "platform/text_encoding.h"

namespace {

constexpr size_t kSlice = size_t{1} << 20;

int Run(int argc, char** argv) {
  using namespace quilor;
  if (argc < 2) {
    std::fprintf(stderr, "usage: quilor-convert FILE...\n");
    return 2;
  }
  ScopedScriptedUi ui;  // reports go to the log below, never to a window
  {
    CreateConverters();
    static const char* kRoutes[] = {"read as text", "read raw", "converted", "passed over"};
    for (int i = 1; i < argc; ++i) {
      int kind = DocumentKind(argv[i]);
      ConvertedSource source = PrepareConvertedSource(argv[i], kind, UnknownExtension);
      std::printf("== %s (kind %d, %s, %zu bytes)\n", DisplayFileName(argv[i]).c_str(), kind, kRoutes[static_cast<int>(source.route)],
                  source.text.size());
      // In slices: a large text is never held twice.
      for (size_t at = 0; at < source.text.size(); at += kSlice) {
        std::string utf8 = Cp1252ToUtf8(std::string_view(source.text).substr(at, kSlice));
        std::fwrite(utf8.data(), 1, utf8.size(), stdout);
      }
      if (!source.text.empty()) std::printf("\n");
    }
    for (const auto& box : ui.ui.Shown()) std::fprintf(stderr, "[message] %s\n", Cp1252ToUtf8(box.text).c_str());
    std::string report = ConversionFailureReport();
    if (!report.empty()) std::fprintf(stderr, "%s\n", report.c_str());
    FreeConverters();
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return quilor::RunTool(Run, argc, argv); }
