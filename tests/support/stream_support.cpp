#include "support/stream_support.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "engine/analysis.h"
#include "core/file_queue.h"
#include "core/gauge.h"
#include "engine/analysis_run.h"
#include "core/options.h"
#include "engine/word_list.h"
#include "import/text_loader.h"
#include "platform/text_encoding.h"

namespace quilor::testing_support {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  static std::atomic<int> serial{0};
  path_ = fs::temp_directory_path() / ("quilor-test-" + std::to_string(getpid()) + "-" + std::to_string(serial++));
  fs::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string TempFolder::Write(const std::string& name, const std::string& bytes) const {
  std::string path = Path(name);
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string TestDataPath(const std::string& relative) { return std::string(QUILOR_TEST_DATA) + "/" + relative; }

std::vector<WordRow> TextWordRows() {
  std::vector<WordRow> rows;
  // The word stream without the proposition marks of the segmenter.
  for (TWordNode* n = TextWords.First(); n && n != TextWords.Tail(); n = TWordList::NextNode(n))
    if (!(n->text && n->text[0] == '/' && n->text[1] == 0))
      rows.push_back({n->position, n->fileNumber, n->text ? n->text : "", n->tag});
  return rows;
}

bool RunOnFiles(const std::vector<std::string>& files, TAnalysis& analysis) {
  FileQueue.Clear();
  for (const auto& f : files) FileQueue.Add(f.c_str());
  bool ok = RunAnalysis(analysis, 0, TakeRunSettings(*Options));
  CloseProgressGauge();
  return ok;
}

bool RunOnFiles(const std::vector<std::string>& files) {
  TAnalysis scratch;
  return RunOnFiles(files, scratch);
}

std::vector<WordRow> ReadGolden(const std::string& path) {
  std::vector<WordRow> rows;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> cols;
    size_t start = 0;
    for (;;) {
      size_t tab = line.find('\t', start);
      cols.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    if (cols.size() < 4) continue;
    rows.push_back(
        {std::stoi(cols[0]), static_cast<uint16_t>(std::stoi(cols[1])), Utf8ToCp1252(cols[2]), Utf8ToCp1252(cols[3])});
  }
  return rows;
}

StreamTestState::StreamTestState() {
  LoaderSettings = TextLoaderSettings{};
  Options->Set(opt::SizeThreshold, 2);
  CloseProgressGauge();
  Progress = {};
}

StreamTestState::~StreamTestState() {
  LoaderSettings = TextLoaderSettings{};
  Options->Set(opt::SizeThreshold, 2);
  CloseProgressGauge();
  Progress = {};
  SetGaugeViewFactory(nullptr);
  FileQueue.Clear();
  TextWords.Clear();
}

std::string Describe(const std::vector<WordRow>& rows) {
  std::string out;
  for (const auto& r : rows)
    out += std::to_string(r.position) + ":" + std::to_string(r.fileNumber) + ":" + Cp1252ToUtf8(r.word) + "[" +
           Cp1252ToUtf8(r.tag) + "] ";
  return out;
}

}  // namespace quilor::testing_support
