#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include <string>
#include <vector>

#include "engine/analysis.h"
#include "core/file_queue.h"
#include "core/files.h"
#include "engine/analysis_run.h"
#include "import/document_readers.h"
#include "import/text_loader.h"
#include "import/text_sink.h"
#include "platform/fatal.h"
#include "support/stream_support.h"

namespace quilor {
namespace {

using namespace testing_support;

const char* const kSamples[] = {"sample-ansi.txt",     "sample-dos.asc",     "sample-mac.mac",    "sample-utf8.txt",
                                "sample-utf8-bom.txt", "sample-utf16le.txt", "sample-utf16be.txt"};

TEST(TextLoaderEncodings, EveryEncodingGivesTheGoldenWordsAndTags) {
  StreamTestState state;
  auto golden = ReadGolden(TestDataPath("import/sample.golden.tsv"));
  ASSERT_EQ(golden.size(), 28u);
  for (const char* sample : kSamples) {
    ASSERT_TRUE(RunOnFiles({TestDataPath(std::string("import/") + sample)})) << sample;
    EXPECT_EQ(TextWordRows(), golden) << sample << "\n" << Describe(TextWordRows());
  }
  EXPECT_TRUE(state.ui.ui.Shown().empty());
}

TEST(TextLoaderEncodings, CuttingTheInputAtAnyPointChangesNothing) {
  StreamTestState state;
  auto golden = ReadGolden(TestDataPath("import/sample.golden.tsv"));
  for (const char* sample : kSamples) {
    std::string path = TestDataPath(std::string("import/") + sample);
    size_t size = ReadFileBytes(path).size();
    for (size_t cut = 1; cut <= size; ++cut) {
      LoaderSettings.decodeBlockSize = cut;
      ASSERT_TRUE(RunOnFiles({path}));
      ASSERT_EQ(TextWordRows(), golden) << sample << " cut every " << cut << " bytes\n" << Describe(TextWordRows());
    }
  }
}

// The loader alone, with a sink of its own: each document's text, decoded
// to Windows-1252, arrives whole between BeginDocument and EndDocument,
// however small the blocks.
class RecordingSink : public TextSink {
 public:
  std::vector<std::string> documents;
  int ended = 0;

  void Attach(TextBlockSource& source) override { source_ = &source; }
  void BeginDocument() override {
    documents.emplace_back();
    endOfSource_ = false;
  }
  void SetBlock(const unsigned char* block, size_t length, bool) override {
    documents.back().append(reinterpret_cast<const char*>(block), length);
  }
  bool ScanTextBlock() override {
    if (!source_->NextTextBlock()) endOfSource_ = true;
    return false;
  }
  bool EndOfSource() const override { return endOfSource_; }
  int32_t WordCount() const override { return 0; }
  uint64_t BytesScanned() const override { return 0; }
  void EndDocument() override { ++ended; }

 private:
  TextBlockSource* source_ = nullptr;
  bool endOfSource_ = false;
};

TEST(TextLoaderSink, EachDocumentReachesTheSinkWholeAndDecoded) {
  StreamTestState state;
  const std::string ansi = TestDataPath("import/sample-ansi.txt");
  const std::string expected = ReadFileBytes(ansi);
  ASSERT_FALSE(expected.empty());
  LoaderSettings.decodeBlockSize = 7;
  FileQueue.Clear();
  FileQueue.Add(ansi.c_str());
  FileQueue.Add(TestDataPath("import/sample-utf16le.txt").c_str());
  RecordingSink sink;
  { TTextLoader loader("", sink); }
  ASSERT_EQ(sink.documents.size(), 2u);
  EXPECT_EQ(sink.ended, 2);
  EXPECT_EQ(sink.documents[0], expected);
  EXPECT_EQ(sink.documents[1], expected);
}

// A character cut by the boundary of the 64 KB blocks read from disk.
TEST(TextLoaderReadAhead, CharactersAcrossTheReadBlockBoundaryStayWhole) {
  StreamTestState state;
  TempFolder folder;
  // UTF-8: "caf" + e-acute (2 bytes) straddling byte 65,536; then a euro sign
  // (3 bytes) straddling 131,072. The first word makes the text UTF-8.
  std::string utf8 = "\xC3\xA0";
  utf8 += std::string(65534 - utf8.size(), ' ');
  utf8 += "caf\xC3\xA9 ";
  utf8 += std::string(131072 - 1 - utf8.size(), ' ');
  utf8 +=
      "\xE2\x82\xAC"
      "uro end";
  std::string p8 = folder.Write("cut.txt", utf8);
  ASSERT_TRUE(RunOnFiles({p8}));
  auto rows = TextWordRows();
  ASSERT_EQ(rows.size(), 4u) << Describe(rows);
  EXPECT_EQ(rows[1].word, "caf\xE9");
  EXPECT_EQ(rows[2].word, "\x80uro");  // the euro sign is a letter
  EXPECT_EQ(rows[3].word, "end");

  // UTF-16 little-endian: a surrogate pair straddling byte 65,536 gives one '#'.
  std::string utf16 = "\xFF\xFE";
  while (utf16.size() < 65534) utf16 += std::string("a\0", 2);
  utf16 += std::string("\x3D\xD8\x00\xDE", 4);  // U+1F600
  utf16 += std::string(" \0b\0", 4);
  std::string p16 = folder.Write("cut16.txt", utf16);
  ASSERT_TRUE(RunOnFiles({p16}));
  rows = TextWordRows();
  // The run of 32,766 letters goes on word after word (420 of 78, one of 6).
  ASSERT_EQ(rows.size(), 422u);
  EXPECT_EQ(rows[0].word, std::string(78, 'a'));
  EXPECT_EQ(rows[420].word, std::string(32766 - 420 * 78, 'a'));
  EXPECT_EQ(rows[421].tag, "#");
  EXPECT_EQ(rows[421].word, "b");
}

// An ASCII text in UTF-16 of either byte order, without a mark.
std::string Utf16(std::string_view ascii, bool bigEndian) {
  std::string out;
  for (char c : ascii) {
    out += bigEndian ? '\0' : c;
    out += bigEndian ? c : '\0';
  }
  return out;
}

TEST(TextLoaderEncodings, MarksAndDetection) {
  StreamTestState state;
  TempFolder folder;
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> words;
  } cases[] = {
      // The mark alone gives nothing, never a '?' or a word of its bytes.
      {"bom8.txt", "\xEF\xBB\xBF", {}},
      {"bom16le.txt", "\xFF\xFE", {}},
      {"bom16be.txt", "\xFE\xFF", {}},
      {"bom-word.txt", "\xEF\xBB\xBFword", {"word"}},
      // UTF-8 without a mark is recognised by its multi-byte characters.
      {"plain8.txt", "na\xC3\xAFve caf\xC3\xA9", {"na\xEFve", "caf\xE9"}},
      // Bytes that are not well-formed UTF-8 are Windows-1252.
      {"ansi.txt", "na\xEFve caf\xE9", {"na\xEFve", "caf\xE9"}},
      // An unknown extension is plain text with mark detection.
      {"notes.dat",
       std::string("\xFF\xFE"
                   "h\0i\0",
                   6),
       {"hi"}},
      // An odd last byte of UTF-16 gives nothing.
      {"odd16.txt",
       std::string("\xFF\xFE"
                   "a\0b",
                   5),
       {"a"}},
      // Characters beyond U+FFFF give '#' in UTF-8 and UTF-16 alike.
      {"astral8.txt", "x\xF0\x9F\x98\x80y", {"x", "y"}},
      {"astral16.txt", std::string("\xFE\xFF\0x\xD8\x3D\xDE\x00\0y", 10), {"x", "y"}},
      {"empty.txt", "", {}},
      // UTF-16 without a mark is known by the zero byte of each unit.
      {"le16.txt", Utf16("The quick fox.\r\n", false), {"The", "quick", "fox"}},
      {"be16.txt", Utf16("The quick fox.\r\n", true), {"The", "quick", "fox"}},
      // An HTML page that declares no character set reads UTF-8 as the text
      // formats do, and a Windows-1252 one as it stands.
      {"naive.html", "<html><body><p>A na\xC3\xAFve page</p></body></html>", {"A", "na\xEFve", "page"}},
      {"naive-ansi.htm", "<p>A na\xEFve page</p>", {"A", "na\xEFve", "page"}},
      // Macintosh apostrophe and inverted exclamation mark are punctuation.
      {"quote.mac", "don\xD5t \xC1Hola", {"don", "t", "Hola"}},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(RunOnFiles({folder.Write(c.name, c.bytes)})) << c.name;
    std::vector<std::string> words;
    for (const auto& r : TextWordRows()) words.push_back(r.word);
    EXPECT_EQ(words, c.words) << c.name << ": " << Describe(TextWordRows());
  }
  EXPECT_TRUE(state.ui.ui.Shown().empty());
}

TEST(TextLoaderQueue, TenThousandFailedDocumentsAreAllListed) {
  StreamTestState state;
  TempFolder folder;
  std::vector<std::string> files;
  for (int i = 0; i < 10000; ++i) files.push_back(folder.Path("missing" + std::to_string(i) + ".txt"));
  RunOnFiles(files);
  ASSERT_EQ(state.ui.ui.Lists().size(), 1u);
  const auto& lines = state.ui.ui.Lists()[0].lines;
  ASSERT_EQ(lines.size(), 10000u);
  for (int i = 0; i < 10000; i += 999)
    EXPECT_EQ(lines[static_cast<size_t>(i)], files[static_cast<size_t>(i)] + ": The file cannot be opened.");
  EXPECT_TRUE(state.ui.ui.Shown().empty());  // never through a message box that cuts it
}

// A pipe, a device and a folder in the queue: each is listed, none is waited
// on. In a child process, so that a wait fails the test instead of hanging it.
TEST(TextLoaderQueue, PipesDevicesAndFoldersAreListedWithoutWaiting) {
  TempFolder folder;
  const std::string pipe = folder.Path("pipe.txt"), pipeDoc = folder.Path("pipe.doc"), dir = folder.Path("folder.txt");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(pipeDoc.c_str(), 0600), 0);
  std::filesystem::create_directory(dir);
  pid_t child = ::fork();
  if (child == 0) {
    ::alarm(20);
    StreamTestState state;
    RunOnFiles({pipe, pipeDoc, "/dev/zero", dir});
    const bool listed =
        state.ui.ui.Lists().size() == 1 && state.ui.ui.Lists()[0].lines.size() == 4 &&
        state.ui.ui.Lists()[0].lines[2] == "/dev/zero: This is not a regular file (a folder, a device or a pipe).";
    ::_exit(listed ? 0 : 1);
  }
  ASSERT_GT(child, 0);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status)) << "the run waited on a pipe or a device";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "not every special file was listed";
}

TEST(TextLoaderQueue, NumbersWordsAcrossFilesAndPassesOverWhatItCannotRead) {
  StreamTestState state;
  TempFolder folder;
  std::string a = folder.Write("a.txt", "one two");
  std::string web = folder.Write("slides.odp", "never words");
  std::string rtf = folder.Write("photo.txt", std::string("\x89PNG\r\n\x1A\n\0\0\0\rnever", 17));
  std::string web2 = folder.Write("slides2.odp", "never");
  std::string xps = folder.Write("print.xps", "never");
  std::string missing = folder.Path("missing.txt");
  std::string b = folder.Write("b.txt", "three");
  ASSERT_TRUE(RunOnFiles({a, web, rtf, web2, xps, missing, b}));
  std::vector<WordRow> expected = {{1, 1, "one", " "}, {2, 1, "two", " "}, {3, 7, "three", " "}};
  EXPECT_EQ(TextWordRows(), expected) << Describe(TextWordRows());
  // One report for each kind without a reader and one for files that hold
  // no text; none for XPS or a missing file.
  ASSERT_EQ(state.ui.ui.Shown().size(), 2u);
  EXPECT_NE(state.ui.ui.Shown()[0].text.find("slides.odp"), std::string::npos);
  EXPECT_NE(state.ui.ui.Shown()[1].text.find("photo.txt"), std::string::npos);
  // The run ends with the whole list of the files it could not read, the
  // missing one among them.
  ASSERT_EQ(state.ui.ui.Lists().size(), 1u);
  EXPECT_EQ(state.ui.ui.Lists()[0].heading, "These files could not be read:");
  const auto& lines = state.ui.ui.Lists()[0].lines;
  EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                         [&](const std::string& l) { return l == missing + ": The file cannot be opened."; }),
            lines.end());
}

// A block reader and a converter plugged in for two kinds.
class UpperBlockReader : public DocumentReader {
 public:
  size_t DecodeBlock(unsigned char* block, size_t length, BlockContext& context) override {
    if (context.firstBlock) ++firstBlocks;
    size_t out = 0;
    for (size_t i = 0; i < length; ++i) {
      if (block[i] == '<') {
        ++context.skippedBytes;
        continue;
      }
      block[out++] = block[i];
    }
    context.lineMode = true;
    return out;
  }
  void DetectOnFirstBlock(const unsigned char*, size_t length) override { detected += static_cast<int>(length); }
  int firstBlocks = 0;
  int detected = 0;
};

class FakeConverter : public DocumentReader {
 public:
  PrepareResult Prepare(const std::string& path, std::string& text) override {
    if (path.find("bad") != std::string::npos) return PrepareResult::kPassOver;
    text = "converted \x9C text";
    return PrepareResult::kConverted;
  }
  size_t DecodeBlock(unsigned char*, size_t length, BlockContext&) override {
    ++decoded;
    return length;
  }
  void Release() override { ++released; }
  int decoded = 0;
  int released = 0;
};

TEST(TextLoaderQueue, PluggedReadersDecodeTheirKinds) {
  StreamTestState state;
  TempFolder folder;
  UpperBlockReader markup;
  FakeConverter converter;
  RegisterDocumentReader(kDocHtml, &markup);
  RegisterDocumentReader(kDocPdf, &converter);
  std::string page = folder.Write("page.htm", "<<alpha<< beta");
  std::string pdf = folder.Write("doc.pdf", "%PDF raw bytes");
  std::string bad = folder.Write("bad.pdf", "%PDF");
  LoaderSettings.decodeBlockSize = 4;
  bool ok = RunOnFiles({page, pdf, bad});
  RegisterDocumentReader(kDocHtml, nullptr);
  RegisterDocumentReader(kDocPdf, nullptr);
  ASSERT_TRUE(ok);
  std::vector<std::string> words;
  for (const auto& r : TextWordRows()) words.push_back(r.word);
  EXPECT_EQ(words, (std::vector<std::string>{"alpha", "beta", "converted", "oe", "text"}));
  EXPECT_EQ(markup.firstBlocks, 1);
  EXPECT_EQ(markup.detected, 14);
  EXPECT_EQ(converter.decoded, 0);  // converted text is Windows-1252 already
  EXPECT_GE(converter.released, 2);
  EXPECT_TRUE(state.ui.ui.Shown().empty());
}

class ThrowingConverter : public DocumentReader {
 public:
  PrepareResult Prepare(const std::string&, std::string&) override { Terminate(kExitFatal, "no memory"); }
  size_t DecodeBlock(unsigned char*, size_t length, BlockContext&) override { return length; }
};

TEST(TextLoaderQueue, AFatalErrorLeavesNoRunningFlagBehind) {
  StreamTestState state;
  TAnalysis analysis;
  TempFolder folder;
  ThrowingConverter thrower;
  RegisterDocumentReader(kDocOdt, &thrower);
  std::string a = folder.Write("a.txt", "one");
  std::string odt = folder.Write("b.odt", "x");
  try {
    RunOnFiles({a, odt}, analysis);
    ADD_FAILURE() << "no fatal error";
  } catch (const FatalError& e) {
    EXPECT_EQ(e.ExitCode(), kExitFatal);
  }
  RegisterDocumentReader(kDocOdt, nullptr);
  EXPECT_FALSE(analysis.run.running);
  ASSERT_TRUE(RunOnFiles({a}, analysis));
  EXPECT_EQ(TextWordRows().size(), 1u);
}

}  // namespace
}  // namespace quilor

namespace quilor {
namespace {

TEST(TextLoaderReadAhead, ManyBlocksOfSeveralFilesArriveInOrder) {
  testing_support::StreamTestState state;
  testing_support::TempFolder folder;
  std::vector<std::string> files;
  for (int f = 0; f < 3; ++f) {
    std::string text;
    for (int i = 0; i < 60000; ++i) text += "w" + std::to_string(f * 100000 + i) + (i % 13 ? " " : ".\n");
    files.push_back(folder.Write("f" + std::to_string(f) + ".txt", text));
  }
  ASSERT_TRUE(testing_support::RunOnFiles(files));
  auto rows = testing_support::TextWordRows();
  ASSERT_EQ(rows.size(), 180000u);
  for (size_t k = 0; k < rows.size(); ++k) {
    int f = static_cast<int>(k / 60000), i = static_cast<int>(k % 60000);
    ASSERT_EQ(rows[k].word, "w" + std::to_string(f * 100000 + i)) << k;
    ASSERT_EQ(rows[k].fileNumber, f + 1);
    ASSERT_EQ(rows[k].position, static_cast<int32_t>(k + 1));
  }
}

}  // namespace
}  // namespace quilor
