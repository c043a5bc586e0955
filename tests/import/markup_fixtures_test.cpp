// Documents of every markup kind and character set, read whole and cut into
// blocks anywhere, against the words and tags they must give.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/chartables.h"
#include "core/files.h"
#include "import/charset.h"
#include "import/markup_reader.h"
#include "import/rtf_reader.h"
#include "platform/text_encoding.h"
#include "tests/import/block_feed.h"

namespace quilor {
namespace {

const std::string kFolder = std::string(QUILOR_TEST_DATA) + "/import/markup/";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The words and tags the word scanner makes of a text: letters and digits
// form words, punctuation between two words is the second word's tag (at
// most 7 characters, " " when only blanks stood there), a blank after a
// full stop stays in the tag. Runs of blanks in a tag count as one, so that
// the layout of the source does not matter.
std::string WordsAndTags(const std::string& text) {
  std::string out, word, punctuation;
  int words = 0;
  auto flush = [&] {
    if (word.empty()) return;
    if (punctuation.empty() && words > 0) punctuation = " ";
    out += Cp1252ToUtf8(word) + "\t[" + Cp1252ToUtf8(punctuation) + "]\n";
    ++words;
    word.clear();
    punctuation.clear();
  };
  auto addPunctuation = [&](unsigned char c) {
    if (c == 0x92 || c == 0xB4) c = '\'';
    if (c == 0xAD) c = '-';
    flush();
    if (c == ' ' && punctuation.back() == ' ') return;
    if (punctuation.size() < 7) punctuation.push_back(static_cast<char>(c));
  };
  for (unsigned char c : text) {
    if (c == 0x8C || c == 0x9C) { word += "oe"; continue; }
    if (c == 0xC6 || c == 0xE6) { word += "ae"; continue; }
    switch (CharClass(c)) {
      case kCharLetter:
      case kCharDigit:
        word.push_back(static_cast<char>(c));
        if (word.size() == 78) flush();
        break;
      case kCharUnderscore:
        if (!word.empty()) word.push_back(static_cast<char>(c));
        break;
      case kCharPunctuation:
        addPunctuation(c);
        break;
      default:
        if (c == ' ' && !punctuation.empty() && punctuation[0] == '.') {
          addPunctuation(c);
        } else if (c == '*' || c == '#' || c == '/' || c == '[' || c == ']') {
          addPunctuation(c);
          flush();
        } else {
          flush();
        }
    }
  }
  flush();
  return out;
}

// Reads a document the way its kind says, in blocks of blockSize bytes
// (0: whole), or cut once at cut when cut is not npos.
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
    MacToAnsiBlock(copy.data(), copy.size());
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
    {"windows1252.htm", "page"},     {"iso88591.htm", "page_references"},      {"utf8.HTML", "page"},
    {"utf8_bom.htm", "page"},        {"utf16le.htm", "page"},       {"utf16be.htm", "page"},
    {"ucs2.htm", "page"},            {"lo_writer.html", "page"},    {"utf8_nodecl.xml", "page"},
    {"latin1_quoted.xml", "page_references"},   {"windows1252.xml", "page"},   {"utf16.xml", "page"},
    {"utf8.sgm", "page_sgml"},       {"ansi.sgm", "page_sgml"},          {"lo_writer.rtf", "lo_writer_rtf"},
    {"lo_writer.xml", "lo_writer_xml"}, {"ansi.rtf", "rtf"},        {"mac.rtf", "rtf_mac"},
    {"mac.mac", "mac_text"},              {"pc.rtf", "rtf_dos"},         {"pca.rtf", "rtf_dos"},
};

TEST(MarkupFixtures, GoldenWordsAndTags) {
  const bool update = std::getenv("QUILOR_UPDATE_GOLDEN") != nullptr;
  for (const Fixture& f : kFixtures) {
    SCOPED_TRACE(f.file);
    const std::string data = ReadFile(kFolder + f.file);
    ASSERT_FALSE(data.empty());
    const std::string words = WordsAndTags(ReadDocument(data, DocumentKind(f.file), 0));
    const std::string goldenPath = kFolder + f.golden + ".words";
    if (update) std::ofstream(goldenPath, std::ios::binary) << words;
    EXPECT_EQ(words, ReadFile(goldenPath));
  }
}

TEST(MarkupFixtures, EveryCutGivesTheSameText) {
  for (const Fixture& f : kFixtures) {
    SCOPED_TRACE(f.file);
    const int kind = DocumentKind(f.file);
    if (kind == kDocMacText) continue;
    const std::string data = ReadFile(kFolder + f.file);
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
  const std::string page = ReadFile(kFolder + "utf8.HTML");
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
