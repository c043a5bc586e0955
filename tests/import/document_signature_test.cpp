#include "import/document_signature.h"

#include <gtest/gtest.h>

#include "core/files.h"
#include "core/messages.h"

namespace quilor {
namespace {

int KindOf(const std::string& name, const std::string& head) {
  int byExtension = DocumentKind(name);
  return DocumentKindFromContent(head.data(), head.size(), byExtension, UnknownExtension);
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
  EXPECT_EQ(KindOf("report.txt", kCompound + Wide("Root Entry") + Wide("WordDocument")), kDocWord);
  EXPECT_EQ(KindOf("slides.doc", kCompound + Wide("PowerPoint Document")), kDocPowerPoint);
  EXPECT_EQ(KindOf("sheet.xls", kCompound + Wide("Root Entry")), kDocExcel);
  EXPECT_EQ(KindOf("mystery.htm", kCompound + Wide("Root Entry")), kDocUnsupported);
  EXPECT_EQ(KindOf("paper.htm", "%PDF-1.4\n"), kDocPdf);
  EXPECT_EQ(KindOf("note.txt", std::string("PK\x03\x04\x14\0\0\0", 8) + "mimetypeapplication/vnd.oasis.opendocument.text"),
            kDocOdt);
  EXPECT_EQ(KindOf("a.docx", std::string("PK\x03\x04\x14\0\0\0", 8) + "[Content_Types].xml"), kDocWord);
  EXPECT_EQ(KindOf("a.txt", std::string("PK\x03\x04\x14\0\0\0", 8) + "photos/1.jpg"), kDocUnsupported);
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
  EXPECT_EQ(KindOf("wide.lst", Wide("plain words")), kDocText);       // UTF-16 without a mark
  EXPECT_EQ(KindOf("wide.lst", "\xFF\xFE" + Wide("plain words")), kDocText);
  // A recognised extension stands when the content says nothing else.
  EXPECT_EQ(KindOf("page.HTM", "just words"), kDocHtml);
  EXPECT_EQ(KindOf("notes.SGM", "<!DOCTYPE html><p>x"), kDocSgml);
}

TEST(DocumentSignature, ReportNamesTheFile) {
  EXPECT_EQ(UnsupportedDocumentReport("photo.txt"),
            "This document is not in a format the software can read; it was passed over: photo.txt");
}

}  // namespace
}  // namespace quilor
