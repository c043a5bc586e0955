#include <gtest/gtest.h>

#include "import/filter_formats.h"
#include "platform/compound_file.h"
#include "support/office_builders.h"

namespace quilor {
namespace {

using testing::BuildCompoundFile;
using testing::BuildZip;
using testing::ReadFileBytes;

const std::string kData = std::string(QUILOR_TEST_DATA) + "/import/convert/";

std::unique_ptr<DocumentFilter> Loaded(ConverterFormat format) {
  auto f = CreateDocumentFilter(format);
  EXPECT_TRUE(f->Load(false, ""));
  return f;
}

// Words of a text, in order, split at anything that is no letter.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::string w;
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (std::isalnum(u) || u >= 0xC0 || u == 0x92) w.push_back(c);
    else if (!w.empty()) words.push_back(w), w.clear();
  }
  if (!w.empty()) words.push_back(w);
  return words;
}

const std::vector<std::string> kDocumentWords = {
    "Caf\xE9", "na\xEFve",  "r\xE9sum\xE9", "the",   "writer\x92s", "best",  "day",   "Main",
    "text",    "continues", "here",         "alpha", "beta",        "gamma", "delta", "Visit",
    "the",     "example",   "site",         "today", "The",         "end"};

TEST(DocumentFilter, PackagesGiveTheirMainTextInReadingOrder) {
  for (auto [file, format] : {std::pair{"sample.docx", ConverterFormat::kOffice2007},
                              std::pair{"sample.odt", ConverterFormat::kOpenDocumentText}}) {
    auto f = Loaded(format);
    ASSERT_TRUE(f->ExtractIFilterText(kData + file)) << file << ": " << f->IFilterErrorText();
    EXPECT_EQ(Words(f->Text()), kDocumentWords) << file;
    EXPECT_NE(f->Text().find("\x93"
                             "best\x94"),
              std::string::npos);
  }
  const std::vector<std::string> slides = {"First", "slide", "caf\xE9", "Second", "slide\x92s",
                                           "words", "Third", "slide",   "ends"};
  for (auto [file, format] : {std::pair{"slides.pptx", ConverterFormat::kPowerPoint2007},
                              std::pair{"slides.odp", ConverterFormat::kOpenDocumentPresentation}}) {
    auto f = Loaded(format);
    ASSERT_TRUE(f->ExtractIFilterText(kData + file)) << file;
    EXPECT_EQ(Words(f->Text()), slides) << file;
    f->ClearText();
    EXPECT_TRUE(f->Text().empty());
  }
}

TEST(DocumentFilter, PdfGivesItsPagesText) {
  auto f = Loaded(ConverterFormat::kPdf);
  ASSERT_TRUE(f->ExtractIFilterText(kData + "sample.pdf")) << f->IFilterErrorText();
  std::vector<std::string> words = Words(f->Text());
  // A page carries its footnote mark glued to the word before it.
  for (const std::string& w : kDocumentWords) {
    if (w == "continues") continue;
    EXPECT_NE(std::find(words.begin(), words.end(), w), words.end()) << w;
  }
  std::string bytes = ReadFileBytes(kData + "sample.pdf");
  EXPECT_FALSE(f->ExtractFromMemory(bytes.substr(0, bytes.size() / 3)) && f->Text().size() > 1000);
  // Saved with an opening password.
  EXPECT_FALSE(f->ExtractIFilterText(kData + "locked.pdf"));
  EXPECT_EQ(f->LastError(), FilterError::kPassword);
  EXPECT_EQ(f->IFilterErrorText(), "Document is password protected.");
  EXPECT_TRUE(f->Text().empty());
  EXPECT_FALSE(f->ExtractFromMemory("%PDF-1.4 nothing else"));
  EXPECT_EQ(f->Step(), kStepDocumentLoaded);
  EXPECT_EQ(f->IFilterErrorText(), "iFilter Initialization failed.");
}

TEST(DocumentFilter, BrokenAndHostilePackagesFailWithTheirReason) {
  auto docx = Loaded(ConverterFormat::kOffice2007);
  std::string good = ReadFileBytes(kData + "sample.docx");

  // Cut in half: no central directory.
  EXPECT_FALSE(docx->ExtractFromMemory(good.substr(0, good.size() / 2)));
  EXPECT_EQ(docx->LastError(), FilterError::kInitFailure);
  EXPECT_EQ(docx->IFilterErrorText(), "iFilter Initialization failed.");
  // A file gone before its conversion could not be begun: it is not too large.
  EXPECT_FALSE(docx->ExtractIFilterText(kData + "absent.docx"));
  EXPECT_EQ(docx->LastError(), FilterError::kInitFailure);
  EXPECT_EQ(docx->IFilterErrorText(), "iFilter Initialization failed.");

  // A zip of something else.
  EXPECT_FALSE(docx->ExtractFromMemory(BuildZip({{"xl/workbook.xml", "<workbook/>"}})));

  // A bomb: 80 MB of well-formed XML that compresses to a few hundred kilobytes.
  std::string zeros = "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">";
  zeros.resize(80u << 20, ' ');
  std::string bomb = BuildZip({{"word/document.xml", zeros}});
  zeros.clear();
  zeros.shrink_to_fit();
  ASSERT_LT(bomb.size(), 1u << 20);
  EXPECT_FALSE(docx->ExtractFromMemory(bomb));
  EXPECT_EQ(docx->LastError(), FilterError::kPartTooLarge);
  EXPECT_EQ(docx->IFilterErrorText(), "A part of this document is too large to be read.");

  // Entity expansion is refused outright.
  std::string laughs =
      "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]>"
      "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body><w:p><w:r>"
      "<w:t>&b;</w:t></w:r></w:p></w:body></w:document>";
  EXPECT_FALSE(docx->ExtractFromMemory(BuildZip({{"word/document.xml", laughs}})));
  EXPECT_EQ(docx->LastError(), FilterError::kChunking);

  // Malformed XML keeps what came before the fault.
  std::string broken =
      "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body><w:p><w:r>"
      "<w:t>kept words</w:t></w:r></w:p><w:p><oops</w:body>";
  EXPECT_FALSE(docx->ExtractFromMemory(BuildZip({{"word/document.xml", broken}})));
  EXPECT_NE(docx->Text().find("kept words"), std::string::npos);

  // An encrypted package is a compound file with an "EncryptedPackage" stream.
  EXPECT_FALSE(docx->ExtractFromMemory(BuildCompoundFile({{"EncryptionInfo", "x"}, {"EncryptedPackage", "y"}})));
  EXPECT_EQ(docx->LastError(), FilterError::kPassword);
  EXPECT_EQ(docx->IFilterErrorText(), "Document is password protected.");

  // An OpenDocument file with encrypted parts.
  auto odt = Loaded(ConverterFormat::kOpenDocumentText);
  std::string manifest =
      "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\">"
      "<manifest:file-entry manifest:full-path=\"content.xml\"><manifest:encryption-data/>"
      "</manifest:file-entry></manifest:manifest>";
  EXPECT_FALSE(odt->ExtractFromMemory(BuildZip({{"mimetype", "application/vnd.oasis.opendocument.text"},
                                                {"META-INF/manifest.xml", manifest},
                                                {"content.xml", "garbage"}})));
  EXPECT_EQ(odt->LastError(), FilterError::kPassword);

  // Deep nesting ends the parse instead of the stack.
  std::string deep = "<a xmlns=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\">";
  for (int i = 0; i < 20000; ++i) deep += "<p>";
  EXPECT_FALSE(odt->ExtractFromMemory(BuildZip({{"content.xml", deep}})));
}

// A part that inflates past its cap after some text (millions of short
// paragraphs, heavy in markup) cuts the text there: the beginning is kept
// and the document is a cut one, as at the text cap, not a failed one.
TEST(DocumentFilter, APartPastItsCapCutsTheTextItGaveSoFar) {
  const std::string paragraph = "<w:p><w:r><w:t>sun</w:t></w:r></w:p>";
  std::string xml = "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>";
  xml.reserve(DocumentFilter::kMaxPartBytes + (1u << 20));
  while (xml.size() <= DocumentFilter::kMaxPartBytes) xml += paragraph;
  xml += "<w:p><w:r><w:t>moon</w:t></w:r></w:p></w:body></w:document>";
  std::string docx = BuildZip({{"word/document.xml", xml}});
  xml.clear();
  xml.shrink_to_fit();
  auto filter = Loaded(ConverterFormat::kOffice2007);
  EXPECT_FALSE(filter->ExtractFromMemory(docx));
  EXPECT_EQ(filter->LastError(), FilterError::kTooLong);
  EXPECT_EQ(filter->IFilterErrorText(), "The text of this document is too long: only its beginning is read.");
  const std::string& text = filter->Text();
  ASSERT_GT(text.size(), 3u << 20);
  EXPECT_EQ(text.substr(0, 8), "sun\nsun\n");
  EXPECT_EQ(text.find("moon"), std::string::npos);
}

// One start tag of megabytes (an attribute value, attributes by the
// hundred thousand) is read again by the parser each time more of it comes:
// such markup ends the parse as damaged, and the text before it is kept.
TEST(DocumentFilter, MarkupOfMegabytesIsRefusedAsDamaged) {
  const std::string head =
      "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>"
      "<w:p><w:r><w:t>kept</w:t></w:r></w:p><w:p><w:r w:rsidR=\"";
  const std::string tail = "\"><w:t>after</w:t></w:r></w:p></w:body></w:document>";
  auto docx = Loaded(ConverterFormat::kOffice2007);
  std::string xml = head + std::string(8u << 20, 'A') + tail;
  EXPECT_FALSE(docx->ExtractFromMemory(BuildZip({{"word/document.xml", xml}})));
  EXPECT_EQ(docx->LastError(), FilterError::kChunking);
  EXPECT_NE(docx->Text().find("kept"), std::string::npos);
  EXPECT_EQ(docx->Text().find("after"), std::string::npos);

  std::string many = head + "1\"";
  for (int i = 0; many.size() < (8u << 20); ++i)
    many += " w:a" + std::to_string(i) + "=\"" + std::string(60, 'x') + "\"";
  many += tail.substr(1);
  EXPECT_FALSE(docx->ExtractFromMemory(BuildZip({{"word/document.xml", many}})));
  EXPECT_EQ(docx->LastError(), FilterError::kChunking);

  // Long text is no markup: a paragraph of 8 MB without a tag is read whole.
  std::string text = head + "1\"><w:t>" + std::string(8u << 20, 'b') + " after</w:t></w:r></w:p></w:body></w:document>";
  ASSERT_TRUE(docx->ExtractFromMemory(BuildZip({{"word/document.xml", text}})));
  EXPECT_NE(docx->Text().find(" after"), std::string::npos);
}

TEST(DocumentFilter, WordprocessingLayoutAndAlternateContent) {
  std::string xml =
      "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
      "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\"><w:body>"
      "<w:p><w:pPr><w:tabs><w:tab w:val=\"left\"/></w:tabs></w:pPr><w:r><w:t>one</w:t><w:tab/><w:t>two</w:t>"
      "<w:br/><w:t>three</w:t></w:r>"
      "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>HYPERLINK \"http://x\"</w:instrText></w:r>"
      "<w:r><w:t>link</w:t></w:r><w:r><w:delText>deleted</w:delText></w:r></w:p>"
      "<mc:AlternateContent><mc:Choice><w:p><w:r><w:t>box</w:t></w:r></w:p></mc:Choice>"
      "<mc:Fallback><w:p><w:r><w:t>box</w:t></w:r></w:p></mc:Fallback></mc:AlternateContent>"
      "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>a</w:t></w:r></w:p></w:tc><w:tc><w:r><w:t>b</w:t></w:r></w:tc></w:tr>"
      "<w:tr><w:tc><w:r><w:t>c</w:t></w:r></w:tc></w:tr></w:tbl></w:body></w:document>";
  auto docx = Loaded(ConverterFormat::kOffice2007);
  ASSERT_TRUE(docx->ExtractFromMemory(BuildZip({{"word/document.xml", xml}, {"word/embeddings/o.bin", "x"}})));
  // A table's cells are apart and each row ends its line.
  EXPECT_EQ(docx->Text(), "one\ttwo\nthreelink\nbox\na\n b \nc \n");
  EXPECT_EQ(docx->UnavailableCount(), 1);
  // An OpenDocument file's embedded objects are counted unread too.
  auto odt = Loaded(ConverterFormat::kOpenDocumentText);
  ASSERT_TRUE(odt->ExtractFromMemory(BuildZip(
      {{"content.xml", "<o xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><text:p>main</text:p></o>"},
       {"Object 1/content.xml", "<o/>"}})));
  EXPECT_EQ(odt->Text(), "main\n");
  EXPECT_EQ(odt->UnavailableCount(), 1);
}

TEST(DocumentFilter, SlidesFollowThePresentationOrder) {
  auto slide = [](const char* text) {
    return std::string(
               "<p:sld xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\" "
               "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"><a:p><a:r><a:t>") +
           text + "</a:t></a:r></a:p></p:sld>";
  };
  std::string presentation =
      "<p:presentation xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\" "
      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><p:sldIdLst>"
      "<p:sldId id=\"256\" r:id=\"rId7\"/><p:sldId id=\"257\" r:id=\"rId2\"/></p:sldIdLst></p:presentation>";
  std::string rels =
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
      "<Relationship Id=\"rId2\" Type=\"x/slide\" Target=\"slides/slide1.xml\"/>"
      "<Relationship Id=\"rId7\" Type=\"x/slide\" Target=\"/ppt/slides/slide10.xml\"/></Relationships>";
  auto pptx = Loaded(ConverterFormat::kPowerPoint2007);
  ASSERT_TRUE(pptx->ExtractFromMemory(BuildZip({{"ppt/presentation.xml", presentation},
                                                {"ppt/_rels/presentation.xml.rels", rels},
                                                {"ppt/slides/slide1.xml", slide("later")},
                                                {"ppt/slides/slide10.xml", slide("first")}})));
  EXPECT_EQ(pptx->Text(), "first\n\nlater\n\n");
  // Without the presentation part, slides go by their number.
  ASSERT_TRUE(pptx->ExtractFromMemory(
      BuildZip({{"ppt/slides/slide10.xml", slide("ten")}, {"ppt/slides/slide2.xml", slide("two")}})));
  EXPECT_EQ(pptx->Text(), "two\n\nten\n\n");
}

TEST(DocumentFilter, Utf8ToAnsiNeverGluesWords) {
  std::string out;
  AppendUtf8AsAnsi(
      "\xEF\xAC\x81nd caf\xC3\xA9 \xE4\xB8\xAD"
      "x a\xE2\x80\x89"
      "b \xFF"
      "c \xE2\x82",
      out);
  EXPECT_EQ(out, "find caf\xE9  x a b  c  ");
  auto f = CreateDocumentFilter(ConverterFormat::kOpenDocumentText);
  EXPECT_FALSE(f->Load(true, "/nonexistent/library.so"));
  EXPECT_FALSE(f->ExtractIFilterText(kData + "sample.odt"));
  EXPECT_EQ(f->LastError(), FilterError::kUnavailable);
  EXPECT_EQ(f->IFilterErrorText(), "iFilter DLL is not installed.");
  EXPECT_EQ(CreateDocumentFilter(ConverterFormat::kOffice), nullptr);
}

}  // namespace
}  // namespace quilor
