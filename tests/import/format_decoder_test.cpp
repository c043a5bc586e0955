#include "import/format_decoder.h"

#include <gtest/gtest.h>

#include "core/files.h"
#include "tests/import/block_feed.h"

namespace quilor {
namespace {

std::string Read(FormatDecoder& decoder, int kind, std::string_view data) {
  decoder.Start(kind);
  return testing::ReadInBlocks(decoder, data, 3);
}

TEST(FormatDecoder, EachKindItsReader) {
  FormatDecoder d;
  EXPECT_EQ(Read(d, kDocRtf, "{\\rtf1 caf\\'e9}"), "caf\xE9");
  EXPECT_EQ(Read(d, kDocHtml, "<p>caf&eacute;</p>"), " caf\xE9 \r ");
  EXPECT_TRUE(d.lineMode());
  EXPECT_EQ(Read(d, kDocMacText, "caf\x8E"), "caf\xE9");
  EXPECT_EQ(Read(d, kDocDosText, "caf\x82"), "caf\xE9");
  EXPECT_EQ(Read(d, kDocText, "caf\xE9 <p>"), "caf\xE9 <p>");
  EXPECT_FALSE(d.lineMode());
  std::string flash = std::string("FWS\x01\0\0", 6) + "readable words";
  EXPECT_EQ(testing::Squeeze(Read(d, kDocFlash, flash)), "readable words");
}

// What one document leaves behind never changes how the next one reads.
TEST(FormatDecoder, DocumentsDoNotDependOnTheirOrder) {
  const std::pair<int, std::string> docs[] = {
      {kDocHtml, "<p>a</p><script>open"},
      {kDocXml, "x</p>y &amp z"},
      {kDocRtf, "{\\rtf1\\mac {\\*\\dropped \\bin9 "},
      {kDocRtf, "{\\rtf1 \\'8e}"},
      {kDocSgml, "<a>&eac"},
      {kDocXml, "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><a>\xE9</a>"},
      {kDocXml, "<a>\xC3\xA9</a>"},
  };
  FormatDecoder shared;
  std::vector<std::string> inOrder;
  for (const auto& [kind, text] : docs) inOrder.push_back(Read(shared, kind, text));
  for (size_t i = 0; i < std::size(docs); ++i) {
    FormatDecoder alone;
    EXPECT_EQ(Read(alone, docs[i].first, docs[i].second), inOrder[i]) << i;
  }
  // And backwards.
  for (size_t i = std::size(docs); i-- > 0;) EXPECT_EQ(Read(shared, docs[i].first, docs[i].second), inOrder[i]) << i;
}

}  // namespace
}  // namespace quilor
