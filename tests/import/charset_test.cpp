#include "import/charset.h"

#include <gtest/gtest.h>

#include "core/chartables.h"
#include "tests/import/block_feed.h"

namespace quilor {
namespace {

int Detect(std::string_view text, int mode = -1) {
  DetectMarkupCharset(text.data(), text.size(), mode);
  return mode;
}

TEST(Charset, DeclaredCharsets) {
  EXPECT_EQ(Detect("<META http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"), kCharsetUtf8);
  EXPECT_EQ(Detect("<meta charset=\"iso-8859-15\"><p>"), kCharsetAnsi);
  EXPECT_EQ(Detect("<meta charset='windows-1252'>"), kCharsetAnsi);
  EXPECT_EQ(Detect("<meta charset=\"ISO-10646-UCS-2\">"), kCharsetUcs);
  EXPECT_EQ(Detect("<meta charset=\"ucs-4\">......"), kCharsetUcs);
  EXPECT_EQ(Detect("<meta charset=\"utf-16\">......"), kCharsetUtf16);
  EXPECT_EQ(Detect("<meta charset=\"koi8-r\">......"), -1);  // no rule: unchanged
  EXPECT_EQ(Detect("<?xml version=\"1.0\"?><a/>"), kCharsetUtf8);
  EXPECT_EQ(Detect("<?xml version=\"1.0\" encoding='iso-8859-1'?>"), kCharsetAnsi);
  // An encoding attribute after the declaration is not the document's.
  EXPECT_EQ(Detect("<?xml version=\"1.0\"?><x encoding=\"iso-8859-1\"/>"), kCharsetUtf8);
  EXPECT_EQ(Detect("\xEF\xBB\xBFplain text here"), kCharsetUtf8);
  EXPECT_EQ(Detect(std::string_view("\xFF\xFEp\0l\0a\0i\0n\0", 12)), kCharsetUtf16);
  EXPECT_EQ(Detect("<p>no declaration at all</p>"), -1);
  EXPECT_EQ(Detect("<?xml"), -1);  // fewer than 10 bytes
}

TEST(Charset, Utf8AcrossBlocks) {
  const std::string text = "a\xC3\xA9z\xE2\x82\xAC\xF0\x9F\x98\x80\xE2\x80\x99.";
  Utf8Decoder decoder;
  std::string whole;
  decoder.Decode(text.data(), text.size(), whole);
  decoder.Finish(whole);
  EXPECT_EQ(whole, "a\xE9z\x80#\x92.");
  for (size_t cut = 0; cut <= text.size(); ++cut) {
    decoder.Reset();
    EXPECT_EQ(testing::ReadWithCut(decoder, text, cut), whole) << cut;
  }
  // Bytes that begin no sequence are taken as they stand.
  std::string latin = "caf\xE9 \xC3(\x80\xE2\x82";
  for (size_t cut = 0; cut <= latin.size(); ++cut) {
    decoder.Reset();
    EXPECT_EQ(testing::ReadWithCut(decoder, latin, cut), latin) << cut;
  }
}

std::string Extract(BinaryTextExtractor extractor, std::string_view data, size_t block = 0) {
  extractor.Reset();
  return testing::ReadInBlocks(extractor, data, block);
}

TEST(Charset, WordDocumentStart) {
  std::string doc(300, '\x01');
  doc.replace(40, 10, std::string("MSWordDoc\0", 10));
  doc.replace(100, 14, "Hello world ok");
  std::string out = Extract(BinaryTextExtractor::ForWordDocument(), doc);
  ASSERT_EQ(out.size(), doc.size());
  EXPECT_EQ(out.substr(0, 51), std::string(51, ' '));
  EXPECT_EQ(testing::Squeeze(out), "Hello world ok");
  // Without the marker the first 129 bytes are blanked.
  doc.replace(40, 10, std::string(10, 'x'));
  doc.replace(120, 12, "lost words, ");
  out = Extract(BinaryTextExtractor::ForWordDocument(), doc);
  EXPECT_EQ(out.substr(0, 129), std::string(129, ' '));
  EXPECT_EQ(testing::Squeeze(out), "s,");  // the run that starts at byte 128
}

TEST(Charset, RunsOfText) {
  auto other = BinaryTextExtractor::ForOtherBinary();
  std::string doc = std::string(
                        "\x01"
                        "abc\x01"
                        "abcd\x02"
                        "bjbjplain\x03",
                        20) +
                    "twenty bytes \xFC\xFC\xFC abcd\x04" + "twenty-one byte\xFC\xFC okay\x05";
  std::string out = Extract(other, doc);
  ASSERT_EQ(out.size(), doc.size());
  EXPECT_EQ(testing::Squeeze(out), "abcd twenty-one byte\xFC\xFC okay");
  for (size_t block = 1; block < 9; ++block) EXPECT_EQ(Extract(other, doc, block), out) << block;
  // PowerPoint files lose their first 513 bytes.
  std::string ppt(600, 'a');
  out = Extract(BinaryTextExtractor::ForPowerPoint(), ppt, 7);
  EXPECT_EQ(out, std::string(513, ' ') + std::string(87, 'a'));
  EXPECT_EQ(Extract(BinaryTextExtractor::ForPowerPoint(), "short"), "     ");
}

}  // namespace
}  // namespace quilor
