#include "import/document_signature.h"

#include <gtest/gtest.h>

#include "core/files.h"

namespace quilor {
namespace {

int KindOf(const std::string& name, const std::string& head) {
  int byExtension = DocumentKind(name);
  return DocumentKindFromContent(head.data(), head.size(), byExtension, LastFileResult.unknownExtension);
}

std::string Wide(const std::string& text) {
  std::string out;
  for (char c : text) out += std::string(1, c) + '\0';
  return out;
}

const std::string kCompound("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0\0\0", 12);

TEST(DocumentSignature, SignaturesWinOverTheExtension) {
  EXPECT_EQ(KindOf("letter.doc", "{\\rtf1\\ansi hello}"), kDocRtf);
  EXPECT_EQ(KindOf("letter.TXT", "\xEF\xBB\xBF{\\rtf1 hello}"), kDocRtf);
  // Compound files and packages go to the converters, which know them by their parts.
  EXPECT_EQ(KindOf("report.txt", kCompound + Wide("Root Entry")), kDocWord);
  EXPECT_EQ(KindOf("slides.PPT", kCompound + Wide("Root Entry")), kDocPowerPoint);
  EXPECT_EQ(KindOf("sheet.xls", kCompound + Wide("Root Entry")), kDocExcel);
  EXPECT_EQ(KindOf("note.htm", std::string("PK\x03\x04\x14\0\0\0", 8) + "mimetype"), kDocWord);
  EXPECT_EQ(KindOf("talk.odp", std::string("PK\x03\x04\x14\0\0\0", 8) + "mimetype"), kDocOdp);
  EXPECT_EQ(KindOf("paper.htm", "%PDF-1.4\n"), kDocPdf);
}

TEST(DocumentSignature, PicturesAndProgramsArePassedOver) {
  EXPECT_EQ(KindOf("photo.txt", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)), kDocUnsupported);
  EXPECT_EQ(KindOf("setup.htm", std::string("MZ\x90\0\x03\0\0\0", 8)), kDocUnsupported);
  // A text that only begins with the same letters is read.
  EXPECT_EQ(KindOf("names.txt", "MZ Smith and ID3 tags"), kDocText);
  EXPECT_EQ(KindOf("tags.txt", "ID3 tags explained"), kDocText);
}

TEST(DocumentSignature, UnknownExtensions) {
  EXPECT_EQ(KindOf("page.cgi", "\n  <!DOCTYPE HTML PUBLIC>"), kDocHtml);
  EXPECT_EQ(KindOf("page.php", "<html><body>x"), kDocHtml);
  EXPECT_EQ(KindOf("feed.rss", "<?xml version=\"1.0\"?><rss/>"), kDocXml);
  EXPECT_EQ(KindOf("readme", "plain words"), kDocText);
  EXPECT_EQ(KindOf("data.bin", std::string("\x01\x02\0\0\x05\0\0\0\0\x07", 10)), kDocUnsupported);
  EXPECT_EQ(KindOf("wide.lst", Wide("plain words")), kDocText);  // UTF-16 without a mark
  EXPECT_EQ(KindOf("wide.lst", "\xFF\xFE" + Wide("plain words")), kDocText);
  // A recognised extension stands when the content says nothing else.
  EXPECT_EQ(KindOf("page.HTM", "just words"), kDocHtml);
  EXPECT_EQ(KindOf("notes.SGM", "<!DOCTYPE html><p>x"), kDocSgml);
}

}  // namespace
}  // namespace quilor
