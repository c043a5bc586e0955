// Throughput and peak memory of the document converters on large documents
// built here: a Word 97-2003 file (3 MB of text) read through its piece table, a .docx
// package and an OpenDocument text.
//   bench_convert [megabytes of text, default 16]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>

#include "import/filter_formats.h"
#include "import/word_document.h"
#include "tests/support/office_builders.cpp"

using namespace quilor;

namespace {

double Seconds(const std::function<void()>& run, int repeat) {
  auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < repeat; ++i) run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / repeat;
}

long PeakKilobytes() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 16;
  const std::string sentence = "The quick brown fox jumps over the lazy dog near the river bank. ";
  std::string text;
  while (text.size() < megabytes << 20) text += sentence + (text.size() % 4096 < 70 ? "\r" : "");

  // The test builder writes compound files of at most about 7 MB: 3 MB of 16-bit text.
  testing::WordLayout layout;
  size_t wordBytes = std::min<size_t>(text.size(), 3u << 20);
  layout.text.assign(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(wordBytes));
  layout.ccp[0] = static_cast<uint32_t>(layout.text.size());
  layout.pieces = 2000;
  std::string wordFile = testing::BuildWordFile(layout);
  TMSWordDocument doc;
  size_t out = 0;
  double word = Seconds(
      [&] {
        doc.ReadFromMemory(wordFile, "bench.doc");
        out = doc.MainTextString().size();
      },
      3);
  double wordMb = wordBytes / 1048576.0;
  std::printf("word97  %6.1f MB text  %7.3f s  %7.1f MB/s  (%zu bytes out, %d pieces)\n", wordMb, word, wordMb / word,
              out, layout.pieces);

  std::string xml = "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>";
  for (size_t i = 0; i < text.size(); i += 4096) xml += "<w:p><w:r><w:t>" + text.substr(i, 4096) + "</w:t></w:r></w:p>";
  xml += "</w:body></w:document>";
  std::string docx = testing::BuildZip({{"word/document.xml", xml}});
  auto docxFilter = CreateDocumentFilter(ConverterFormat::kOffice2007);
  docxFilter->Load(false, "");
  double tDocx = Seconds([&] { docxFilter->ExtractFromMemory(docx); }, 3);
  std::printf("docx    %6zu MB text  %7.3f s  %7.1f MB/s  (%zu bytes zipped)\n", megabytes, tDocx, megabytes / tDocx,
              docx.size());

  std::string odf =
      "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
      "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:text>";
  for (size_t i = 0; i < text.size(); i += 4096) odf += "<text:p>" + text.substr(i, 4096) + "</text:p>";
  odf += "</office:text></office:body></office:document-content>";
  std::string odt = testing::BuildZip({{"content.xml", odf}});
  auto odtFilter = CreateDocumentFilter(ConverterFormat::kOpenDocumentText);
  odtFilter->Load(false, "");
  double tOdt = Seconds([&] { odtFilter->ExtractFromMemory(odt); }, 3);
  std::printf("odt     %6zu MB text  %7.3f s  %7.1f MB/s\n", megabytes, tOdt, megabytes / tOdt);
  std::printf("peak resident memory %ld MB\n", PeakKilobytes() / 1024);
  return 0;
}
