// Documents of every markup kind and character set, read whole and cut into
// blocks anywhere, against the words and tags they must give.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "core/files.h"
#include "import/charset.h"
#include "import/document_readers.h"
#include "import/markup_reader.h"
#include "import/plain_text.h"
#include "import/rtf_reader.h"
#include "import/text_loader.h"
#include "platform/text_encoding.h"
#include "support/stream_support.h"
#include "tests/import/block_feed.h"

namespace quilor {
namespace {

const std::string kFolder = std::string(QUILOR_TEST_DATA) + "/import/markup/";

// Reads a document with the reader of its kind alone, in blocks of
// blockSize bytes (0: whole), or cut once at cut when cut is not npos.
std::string ReadDocument(const std::string& data, int kind, size_t blockSize, size_t cut = std::string::npos) {
  auto read = [&](auto& reader) {
    return cut == std::string::npos ? testing::ReadInBlocks(reader, data, blockSize)
                                    : testing::ReadWithCut(reader, data, cut);
  };
  if (kind == kDocRtf) {
    RtfReader reader;
    return read(reader);
  }
  if (kind == kDocMacText) {
    std::string copy = data;
    MacToAnsi(reinterpret_cast<unsigned char*>(copy.data()), copy.size());
    return copy;
  }
  MarkupReader reader;
  reader.Reset(kind);
  return read(reader);
}

struct Fixture {
  const char* file;
  const char* golden;
};

// Every variant of one content gives the same words. The Macintosh table
// has no curly double quotes (they become '"'), the right single quote is
// the apostrophe, and there is no euro sign; the references
// of curly double quotes and dashes give '"' and '-'.
const Fixture kFixtures[] = {
    {"windows1252.htm", "page"},
    {"iso88591.htm", "page_references"},
    {"utf8.HTML", "page"},
    {"utf8_bom.htm", "page"},
    {"utf16le.htm", "page"},
    {"utf16be.htm", "page"},
    {"ucs2.htm", "page"},
    {"lo_writer.html", "page"},
    {"utf8_nodecl.xml", "page"},
    {"latin1_quoted.xml", "page_references"},
    {"windows1252.xml", "page"},
    {"utf16.xml", "page"},
    {"utf8.sgm", "page_sgml"},
    {"ansi.sgm", "page_sgml"},
    {"lo_writer.rtf", "lo_writer_rtf"},
    {"lo_writer.xml", "lo_writer_xml"},
    {"ansi.rtf", "rtf"},
    {"mac.rtf", "rtf_mac"},
    {"mac.mac", "mac_text"},
    {"pc.rtf", "rtf_dos"},
    {"pca.rtf", "rtf_dos"},
};

std::string GoldenText(const std::vector<testing_support::WordRow>& rows) {
  std::string out;
  for (const auto& r : rows)
    out += std::to_string(r.position) + "\t" + std::to_string(r.fileNumber) + "\t" + Cp1252ToUtf8(r.word) + "\t" +
           Cp1252ToUtf8(r.tag) + "\n";
  return out;
}

// Each fixture through the text loader and the word scanner: its kind from
// its name (any case) or its first bytes, its character set from its
// declaration, the golden words and tags whatever size the blocks are.
TEST(MarkupFixtures, GoldenWordsAndTagsThroughTheLoader) {
  testing_support::StreamTestState state;
  const bool update = std::getenv("QUILOR_UPDATE_GOLDEN") != nullptr;
  for (const Fixture& f : kFixtures) {
    SCOPED_TRACE(f.file);
    const std::string path = kFolder + f.file;
    const std::string goldenPath = kFolder + f.golden + ".golden.tsv";
    LoaderSettings.decodeBlockSize = kTextBlockSize;
    ASSERT_TRUE(testing_support::RunOnFiles({path}));
    const auto rows = testing_support::TextWordRows();
    if (update) std::ofstream(goldenPath, std::ios::binary) << GoldenText(rows);
    ASSERT_EQ(rows, testing_support::ReadGolden(goldenPath)) << testing_support::Describe(rows);
    for (size_t block : {1, 2, 3, 5, 8, 13, 64, 1021}) {
      LoaderSettings.decodeBlockSize = block;
      ASSERT_TRUE(testing_support::RunOnFiles({path}));
      ASSERT_EQ(testing_support::TextWordRows(), rows) << "blocks of " << block;
    }
  }
  EXPECT_TRUE(state.ui.ui.Shown().empty());
}

// What one document sets (the line mode and the line breaks of HTML, a
// character set, an open tag or group) never changes how the next is read.
TEST(MarkupFixtures, WordsDoNotDependOnTheOrderOfTheFiles) {
  testing_support::StreamTestState state;
  testing_support::TempFolder folder;
  const std::string files[] = {kFolder + "utf8.HTML",
                               folder.Write("lines.txt", "one\r\ntwo\r\nthree.\r\nfour\r\n"),
                               folder.Write("open.htm", "<p>x</p><script>never closed"),
                               kFolder + "latin1_quoted.xml",
                               folder.Write("open.rtf", "{\\rtf1\\mac {\\*\\x "),
                               kFolder + "ansi.rtf",
                               kFolder + "utf8.sgm"};
  auto alone = [](const std::string& path) {
    EXPECT_TRUE(testing_support::RunOnFiles({path}));
    std::vector<std::pair<std::string, std::string>> words;
    for (const auto& r : testing_support::TextWordRows()) words.emplace_back(r.word, r.tag);
    return words;
  };
  std::vector<std::vector<std::pair<std::string, std::string>>> expected;
  for (const auto& f : files) expected.push_back(alone(f));
  ASSERT_TRUE(testing_support::RunOnFiles(std::vector<std::string>(std::begin(files), std::end(files))));
  std::vector<std::vector<std::pair<std::string, std::string>>> together(std::size(files));
  for (const auto& r : testing_support::TextWordRows()) together[r.fileNumber - 1].emplace_back(r.word, r.tag);
  for (size_t i = 0; i < std::size(files); ++i) {
    // The first word of a file has no punctuation before it when the file is read alone.
    if (!together[i].empty() && !expected[i].empty()) together[i][0].second = expected[i][0].second;
    EXPECT_EQ(together[i], expected[i]) << files[i];
  }
}

// Line breaks end paragraphs in HTML only: a document read after an HTML
// page does not inherit its line mode.
class LineModeSpy : public DocumentReader {
 public:
  size_t DecodeBlock(unsigned char*, size_t length, BlockContext& context) override {
    if (context.firstBlock) seen.push_back(context.lineMode);
    return length;
  }
  std::vector<bool> seen;
};

TEST(MarkupFixtures, LineModeFollowsEachDocument) {
  testing_support::StreamTestState state;
  testing_support::TempFolder folder;
  LineModeSpy spy;
  RegisterDocumentReader(kDocDosText, &spy);
  const std::string dos = folder.Write("after.asc", "words");
  bool ok = testing_support::RunOnFiles({dos, kFolder + "utf8.HTML", dos, kFolder + "windows1252.xml", dos});
  RegisterDocumentReader(kDocDosText, nullptr);
  ASSERT_TRUE(ok);
  EXPECT_EQ(spy.seen, (std::vector<bool>{false, false, false}));
}

TEST(MarkupFixtures, EveryCutGivesTheSameText) {
  for (const Fixture& f : kFixtures) {
    SCOPED_TRACE(f.file);
    const int kind = DocumentKind(f.file);
    if (kind == kDocMacText) continue;
    const std::string data = testing_support::ReadFileBytes(kFolder + f.file);
    const std::string whole = ReadDocument(data, kind, 0);
    for (size_t cut = 0; cut <= data.size(); ++cut)
      ASSERT_EQ(ReadDocument(data, kind, 0, cut), whole) << "cut at " << cut;
    for (size_t block : {1, 2, 3, 5, 64, 4093})
      ASSERT_EQ(ReadDocument(data, kind, block), whole) << "blocks of " << block;
  }
}

// A document larger than the start the character set is read from, cut
// around that start and in 64 KB blocks.
TEST(MarkupFixtures, LongDocumentsAcrossTheCharsetProbe) {
  const std::string page = testing_support::ReadFileBytes(kFolder + "utf8.HTML");
  const size_t bodyAt = page.find("<body>") + 6;
  std::string doc = page.substr(0, bodyAt);
  while (doc.size() < 3 * 65536) doc += page.substr(bodyAt, page.find("</body>") - bodyAt);
  doc += "</body></html>";
  const std::string whole = ReadDocument(doc, kDocHtml, 0);
  EXPECT_EQ(ReadDocument(doc, kDocHtml, 65536), whole);
  EXPECT_EQ(ReadDocument(doc, kDocHtml, 1000), whole);
  for (size_t cut = kCharsetProbeSize - 8; cut <= kCharsetProbeSize + 8; ++cut)
    ASSERT_EQ(ReadDocument(doc, kDocHtml, 0, cut), whole) << cut;
  for (size_t cut = 65536 - 8; cut <= 65536 + 8; ++cut) ASSERT_EQ(ReadDocument(doc, kDocHtml, 0, cut), whole) << cut;
}

}  // namespace
}  // namespace quilor
