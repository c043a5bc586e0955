#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "core/files.h"
#include "import/conversion_dispatch.h"
#include "import/text_loader.h"
#include "platform/settings_store.h"
#include "core/files.h"
#include "platform/message_ui.h"
#include "support/office_builders.h"

namespace quilor {
namespace {

namespace fs = std::filesystem;
using testing::BuildCompoundFile;
using testing::BuildWordFile;
using testing::BuildZip;
using testing::ReadFileBytes;
using testing::WordLayout;
using testing::WriteFileBytes;

const std::string kData = std::string(QUILOR_TEST_DATA) + "/import/convert/";

void SetSwitch(bool ConversionSwitches::*which, bool value) {
  ConversionSwitches s = ReadConversionSwitches();
  s.*which = value;
  WriteConversionSwitches(s);
}

class ConversionDispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("quilor-convert-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    SetSettingsFilePath((dir_ / "settings.ini").string());
    saved_ = ReadConversionSwitches();
    WriteConversionSwitches(ConversionSwitches());
    Converters.libraries = {};
    LoaderState.conversionErrorShown = false;
    ClearConversionFailures();
    ASSERT_TRUE(CreateConverters());
  }
  void TearDown() override {
    FreeConverters();
    WriteConversionSwitches(saved_);
    SetSettingsFilePath("");
    fs::remove_all(dir_);
  }
  std::string Put(const std::string& name, const std::string& bytes) {
    std::string path = (dir_ / name).string();
    WriteFileBytes(path, bytes);
    return path;
  }
  std::string Copy(const std::string& fixture, const std::string& name) {
    return Put(name, ReadFileBytes(kData + fixture));
  }
  static ConvertedSource Prepare(const std::string& path) {
    int kind = DocumentKind(path);
    return PrepareConvertedSource(path, kind, LastFileResult.unknownExtension);
  }
  fs::path dir_;
  ConversionSwitches saved_;
  ScopedScriptedUi ui_;
};

TEST_F(ConversionDispatch, EveryConvertedKindReachesItsConverterWhateverTheCase) {
  struct Case {
    const char* fixture;
    const char* name;
    ConverterUsed used;
  } cases[] = {
      {"sample.doc", "a.doc", ConverterUsed::kWord},
      {"sample.docx", "b.docx", ConverterUsed::kWord},
      {"sample.docx", "C.DOCX", ConverterUsed::kWord},
      {"sample.docx", "misnamed.doc", ConverterUsed::kWord},
      {"sample.doc", "misnamed.docx", ConverterUsed::kWord},
      {"sample.odt", "d.ODT", ConverterUsed::kOpenDocumentText},
      {"slides.odp", "e.odp", ConverterUsed::kOpenDocumentPresentation},
      {"slides.pptx", "f.PPTX", ConverterUsed::kPowerPoint2007},
      {"sample.pdf", "g.Pdf", ConverterUsed::kPdf},
      {"sample.docx", "h.docm", ConverterUsed::kWord},
  };
  for (const Case& c : cases) {
    ConvertedSource s = Prepare(Copy(c.fixture, c.name));
    EXPECT_EQ(s.route, SourceRoute::kConverted) << c.name << " " << ConversionFailureReport();
    EXPECT_EQ(s.used, c.used) << c.name;
    bool slides = c.used == ConverterUsed::kOpenDocumentPresentation || c.used == ConverterUsed::kPowerPoint2007;
    EXPECT_NE(s.text.find(slides ? "Third slide" : "alpha"), std::string::npos) << c.name;
  }
  EXPECT_TRUE(ConversionFailures.files.empty()) << ConversionFailureReport();
  EXPECT_TRUE(ui_.ui.Shown().empty());
}

TEST_F(ConversionDispatch, TheReaderFollowsTheKindTheLoaderChoseByContent) {
  // A Word document named ".txt": the loader's signature check made it kind 8.
  std::string misnamed = Copy("sample.doc", "letter.txt");
  LoaderState.documentKind = kDocWord;
  std::string text;
  ASSERT_EQ(ConvertedDocumentReader().Prepare(misnamed, text), PrepareResult::kConverted);
  EXPECT_NE(text.find("example site"), std::string::npos);
  // A workbook package named ".xls".
  LoaderState.documentKind = kDocExcel;
  text.clear();
  EXPECT_EQ(ConvertedDocumentReader().Prepare(Put("sheet.xls", BuildZip({{"xl/workbook.xml", "<w/>"}})), text),
            PrepareResult::kPassOver);
  // A workbook of the old kind gives the strings of its cells.
  text.clear();
  EXPECT_EQ(ConvertedDocumentReader().Prepare(
                Put("old.xls", BuildCompoundFile({{"Workbook", "\x01\x02Quarterly sales figures\x03"}})), text),
            PrepareResult::kConverted);
  EXPECT_NE(text.find("Quarterly sales figures"), std::string::npos) << text;
  // A plain-text file named ".doc" is read raw: the raw extraction of a Word file.
  LoaderState.documentKind = kDocWord;
  text.clear();
  std::string fake = Put("fake.doc", std::string(200, ' ') + "Raw words after the head of the file.");
  EXPECT_EQ(ConvertedDocumentReader().Prepare(fake, text), PrepareResult::kConverted);
  EXPECT_NE(text.find("Raw words"), std::string::npos);
  LoaderState.documentKind = 0;
}

TEST_F(ConversionDispatch, PowerPointBinaryGivesItsSlidesText) {
  // A "PowerPoint Document" stream: a container holding two text atoms and a master's.
  auto atom = [](uint16_t type, const std::string& body) {
    std::string r(8, '\0');
    testing::Put16(r, 2, type);
    testing::Put32(r, 4, static_cast<uint32_t>(body.size()));
    return r + body;
  };
  std::string chars = std::string("S\0l\0i\0d\0e\0", 10);
  std::string inner = atom(0x0FA0, chars) + atom(0x0FA8, "two words");
  std::string container(8, '\0');
  testing::Put16(container, 0, 0x000F);
  testing::Put16(container, 2, 0x0FF0);
  testing::Put32(container, 4, static_cast<uint32_t>(inner.size()));
  std::string master(8, '\0');
  std::string masterBody = atom(0x0FA8, "Click to edit");
  testing::Put16(master, 0, 0x000F);
  testing::Put16(master, 2, 0x03F8);
  testing::Put32(master, 4, static_cast<uint32_t>(masterBody.size()));
  std::string stream = container + inner + master + masterBody;
  ConvertedSource s = Prepare(Put("deck.ppt", BuildCompoundFile({{"PowerPoint Document", stream}})));
  ASSERT_EQ(s.route, SourceRoute::kConverted);
  EXPECT_EQ(s.text, "Slide\ntwo words\n");

  // A record that overruns its container: the text before it is kept and the file listed.
  std::string overrun = stream.substr(0, 8 + 18) + atom(0x0FA8, "x").substr(0, 6) + "\xFF\x7F";
  s = Prepare(Put("bad.ppt", BuildCompoundFile({{"PowerPoint Document", overrun}})));
  EXPECT_EQ(s.route, SourceRoute::kConverted);
  EXPECT_EQ(s.text, "Slide\n");
  EXPECT_EQ(ConversionFailures.files.size(), 1u);
  // Not a presentation at all: read raw.
  EXPECT_EQ(Prepare(Put("plain.ppt", "just text")).route, SourceRoute::kReadRaw);
}

TEST_F(ConversionDispatch, FilesThatAreNoTextArePassedOverAndListed) {
  std::string xlsx = Put("book.xlsx", BuildZip({{"xl/workbook.xml", "<workbook/>"}}));
  EXPECT_EQ(Prepare(xlsx).route, SourceRoute::kPassOver);
  std::string binary = Put("data.bin", std::string("\x01\x02\x00\x03 binary", 12));
  EXPECT_EQ(Prepare(binary).route, SourceRoute::kPassOver);
  std::string xps = Put("page.xps", "PK\x03\x04");
  EXPECT_EQ(Prepare(xps).route, SourceRoute::kPassOver);
  std::string otherCompound = Put("thing.doc", BuildCompoundFile({{"Workbook", "x"}}));
  EXPECT_EQ(Prepare(otherCompound).route, SourceRoute::kReadRaw);
  // Text under an unknown extension, and kinds read as they are.
  EXPECT_EQ(Prepare(Put("notes.xyz", "plain words")).route, SourceRoute::kReadFile);
  EXPECT_EQ(Prepare(Put("notes.txt", "plain words")).route, SourceRoute::kReadFile);
  EXPECT_EQ(Prepare(Put("zip.txt", "PK\x03\x04 words")).route, SourceRoute::kReadFile);  // whatever its first bytes
  EXPECT_EQ(Prepare(Put("wide.xyz", std::string("\xFF\xFEw\0o\0", 6))).route, SourceRoute::kReadFile);
  // A workbook of the old kind goes to the raw extraction of its strings.
  EXPECT_EQ(Prepare(Put("old.xls", BuildCompoundFile({{"Workbook", "x"}}))).route, SourceRoute::kReadFile);

  ASSERT_EQ(ConversionFailures.files.size(), 3u);
  std::string report = ConversionFailureReport();
  EXPECT_EQ(report.rfind("These files could not be read:", 0), 0u);
  EXPECT_NE(report.find(xlsx + ": This file is not a text document; it was passed over."), std::string::npos);
  EXPECT_NE(report.find(binary + ": "), std::string::npos);
  EXPECT_NE(report.find(xps + ": No converter reads this kind of document."), std::string::npos);
  ShowConversionFailures();
  // The whole list, never a message box that cuts it.
  EXPECT_TRUE(ui_.ui.Shown().empty());
  ASSERT_EQ(ui_.ui.Lists().size(), 1u);
  std::string listed = ui_.ui.Lists()[0].heading;
  for (const std::string& line : ui_.ui.Lists()[0].lines) listed += "\n" + line;
  EXPECT_EQ(listed, report);
  ClearConversionFailures();
  EXPECT_EQ(ConversionFailureReport(), "");
}

TEST_F(ConversionDispatch, WordRouteFailuresReadRawOrPassOver) {
  // Plain text named .doc: the reader refuses it and the raw bytes are read.
  std::string fake = Put("fake.doc", "Just some text in a file named like a document.");
  ConvertedSource s = Prepare(fake);
  EXPECT_EQ(s.route, SourceRoute::kReadRaw);
  EXPECT_TRUE(ConversionState.wordRouteFailed);
  EXPECT_TRUE(ConversionState.failed);
  ASSERT_EQ(ConversionFailures.files.size(), 1u);
  EXPECT_EQ(ConversionFailures.files[0].reason, "File " + fake + " is not valid MS Word document");

  // An encrypted document gives the password message and no text at all.
  WordLayout secret;
  secret.text = u"secret\r";
  secret.ccp[0] = 7;
  secret.encrypted = true;
  std::string locked = Put("locked.doc", BuildWordFile(secret));
  EXPECT_EQ(Prepare(locked).route, SourceRoute::kPassOver);
  EXPECT_EQ(ConversionFailures.files.back().reason, "Document is password protected.");
  std::string lockedX = Put("locked.docx", BuildCompoundFile({{"EncryptionInfo", "x"}, {"EncryptedPackage", "y"}}));
  EXPECT_EQ(Prepare(lockedX).route, SourceRoute::kPassOver);
  EXPECT_EQ(ConversionFailures.files.size(), 3u);

  // Half of a document is damaged: listed so, never read raw into the
  // names of its streams.
  WordLayout whole;
  whole.text = std::u16string(3000, u'w') + u"\r";
  whole.ccp[0] = 3001;
  std::string bytes = BuildWordFile(whole);
  for (size_t cut : {bytes.size() / 2, bytes.size() - 512}) {
    std::string half = Put("half" + std::to_string(cut) + ".doc", bytes.substr(0, cut));
    ConvertedSource cutShort = Prepare(half);
    EXPECT_EQ(cutShort.route, SourceRoute::kPassOver) << cut;
    EXPECT_EQ(ConversionFailures.files.back().reason, "File " + half + " is damaged.");
  }
  EXPECT_EQ(ConversionFailures.files.size(), 5u);

  // With the Word-reader switch off, .doc files are read raw.
  SetSwitch(&ConversionSwitches::wordReader, false);
  EXPECT_EQ(Prepare(Copy("sample.doc", "raw.doc")).route, SourceRoute::kReadRaw);

  // The length and text of the route itself.
  EXPECT_GT(ConvertWordDocument(kData + "sample.doc"), 100);
  EXPECT_NE(ConversionState.wordRouteText.find("example site"), std::string::npos);
  ResetConversionState();
  EXPECT_TRUE(ConversionState.wordRouteText.empty());
}

TEST_F(ConversionDispatch, PdfFailureIsReportedOnceAndCanSwitchPdfOff) {
  // A damaged document says nothing of the converter: it is listed, and
  // nothing is asked.
  std::string broken = Put("broken.pdf", "%PDF-1.4\nnot really a pdf");
  EXPECT_EQ(Prepare(broken).route, SourceRoute::kPassOver);
  EXPECT_TRUE(ui_.ui.Shown().empty());
  ASSERT_EQ(ConversionFailures.files.size(), 1u);
  EXPECT_NE(ConversionState.errorText.find("The conversion of this document is impossible iFilter error in step: 4 "
                                           "iFilter Initialization failed."),
            std::string::npos);
  EXPECT_TRUE(ReadConversionSwitches().pdfConversion);

  // A missing converter is asked about once; the box's default, like its
  // close box, keeps PDF conversion on, and every file is listed.
  FreeConverters();
  EXPECT_EQ(Prepare(Copy("sample.pdf", "first.pdf")).route, SourceRoute::kPassOver);
  ASSERT_EQ(ui_.ui.Shown().size(), 1u);
  EXPECT_EQ(ui_.ui.Shown()[0].kind, kBoxYesNoDefaultYes);
  EXPECT_NE(ui_.ui.Shown()[0].text.find("PDF ! Error: "), std::string::npos);
  EXPECT_TRUE(ReadConversionSwitches().pdfConversion);
  EXPECT_EQ(Prepare(Copy("sample.pdf", "second.pdf")).route, SourceRoute::kPassOver);
  EXPECT_EQ(ui_.ui.Shown().size(), 1u);
  EXPECT_EQ(ConversionFailures.files.size(), 3u);
  ui_.ui.QueueAnswer(0);
  EXPECT_FALSE(ReportPdfConversionImpossible());
  EXPECT_TRUE(ReadConversionSwitches().pdfConversion);

  // No: PDF conversion is switched off, and then PDFs are passed over silently.
  LoaderState.conversionErrorShown = false;
  ui_.ui.QueueAnswer(3);
  EXPECT_TRUE(ReportPdfConversionImpossible());
  EXPECT_FALSE(ReadConversionSwitches().pdfConversion);
  EXPECT_EQ(ui_.ui.Shown().back().text.rfind("The analysis of PDF documents is disabled.", 0), 0u);
  size_t shown = ui_.ui.Shown().size();
  EXPECT_EQ(Prepare(Copy("sample.pdf", "ok.pdf")).route, SourceRoute::kPassOver);
  EXPECT_EQ(ui_.ui.Shown().size(), shown);
}

TEST_F(ConversionDispatch, ConvertersFollowTheirSwitchesAndLibraries) {
  SetSwitch(&ConversionSwitches::odtFilterOff, true);
  EXPECT_EQ(Prepare(Copy("sample.odt", "off.odt")).route, SourceRoute::kPassOver);
  EXPECT_TRUE(ConversionFailures.files.empty());

  EXPECT_FALSE(ConverterAvailable(ConverterFormat::kOffice));
  EXPECT_FALSE(ReadConversionSwitches().officeFilter);
  // A user's library that cannot be loaded is reported; the built-in converter stays.
  const size_t shown = ui_.ui.Shown().size();
  EXPECT_TRUE(EnablePdfFilter(true, "/nonexistent/pdf-filter.so"));
  ASSERT_EQ(ui_.ui.Shown().size(), shown + 1);
  EXPECT_EQ(ui_.ui.Shown().back().text, "Driver loading failed \"/nonexistent/pdf-filter.so\"");
  EXPECT_NE(Converter(ConverterFormat::kPdf)->LibraryPath(), "/nonexistent/pdf-filter.so");
  FreeConverters();
  EXPECT_FALSE(ConverterAvailable(ConverterFormat::kPdf));
  EXPECT_FALSE(CheckPdfFilterAvailable());
  EXPECT_NE(ui_.ui.Shown().back().text.find("requires the installation of specific drivers"), std::string::npos);
  ShowPdfDriverError();
  EXPECT_EQ(ui_.ui.Shown().back().text.rfind("Driver loading failed \"PDF Documents (*.pdf)\". ", 0), 0u);
  EXPECT_TRUE(EnablePdfFilter(false, ""));
  EXPECT_TRUE(CheckPdfFilterAvailable());
  EXPECT_EQ(Converter(ConverterFormat::kPdf)->ClassId(), "{4C904448-74A9-11d0-AF6E-00C04FD8DC02}");

  // The user's choice of library goes to the settings store and comes back at the next start.
  std::string library = Put("pdf-filter.so", "not really a library");
  ASSERT_TRUE(WriteConverterChoice(ConverterFormat::kPdf, library));
  ASSERT_TRUE(WriteConverterChoice(ConverterFormat::kOpenDocumentText, "/nonexistent/odt.so"));
  FreeConverters();
  // Nothing of the converters is left for the next start to find.
  EXPECT_EQ(Converters.libraries, (std::array<std::string, kConverterCount>{}));
  for (int f = 0; f < kConverterCount; ++f) EXPECT_EQ(Converter(static_cast<ConverterFormat>(f)), nullptr) << f;
  EXPECT_EQ(Converters.wordReader.get(), nullptr);
  ASSERT_TRUE(CreateConverters());
  EXPECT_EQ(Converters.libraries[0], library);
  // A file that is not a library, and a library that is gone: the built-in converters.
  EXPECT_NE(Converter(ConverterFormat::kPdf)->LibraryPath(), library);
  EXPECT_TRUE(ConverterAvailable(ConverterFormat::kOpenDocumentText));
  EXPECT_EQ(ui_.ui.Shown().back().text, "Driver loading failed \"/nonexistent/odt.so\"");
  EXPECT_TRUE(ConverterAvailable(ConverterFormat::kOffice2007));
  std::string value;
  EXPECT_TRUE(ReadSetting(ConversionFiltersKey(), ".odt", value));
  EXPECT_EQ(value, "/nonexistent/odt.so");

  FormatIFilterError(6, std::string(600, 'x'));
  EXPECT_EQ(ConversionState.errorText.size(), 512u);
}

// Pages sharing one costly stream: the document ends within its budget, is
// listed as failed, and its question about the converter is never asked.
TEST_F(ConversionDispatch, PdfBombEndsWithinItsBudgetAndIsListed) {
  std::string bomb = Put("bomb.pdf", testing::BuildPdfSharingOneStream(400, size_t{8} << 20));
  ASSERT_LT(ReadFileBytes(bomb).size(), 250000u);
  const ConversionBudget saved = DocumentFilter::Budget();
  DocumentFilter::Budget().time = std::chrono::milliseconds(300);
  const auto start = std::chrono::steady_clock::now();
  ConvertedSource s = PrepareConvertedSource(bomb, kDocPdf, false);
  const auto spent = std::chrono::steady_clock::now() - start;
  DocumentFilter::Budget() = saved;
  ASSERT_EQ(ConversionFailures.files.size(), 1u);
  EXPECT_EQ(ConversionFailures.files[0].reason, "The document took more work than allowed and was stopped.");
  // The budget and the one page under way when it ran out, with room for a loaded machine.
  EXPECT_LT(spent, std::chrono::seconds(20));
  EXPECT_TRUE(ui_.ui.Shown().empty());

  // A stop asked between pages ends the document too.
  int asked = 0;
  DocumentFilter::GoOnBetweenPages() = [&] { return ++asked < 2; };
  ClearConversionFailures();
  s = PrepareConvertedSource(bomb, kDocPdf, false);
  DocumentFilter::GoOnBetweenPages() = nullptr;
  EXPECT_EQ(asked, 2);
  ASSERT_EQ(ConversionFailures.files.size(), 1u);
  EXPECT_EQ(ConversionFailures.files[0].reason, "The conversion of this document was stopped.");
}

// The raw route that extracts nothing, and a converted document that cannot
// be opened, are listed with their reason.
TEST_F(ConversionDispatch, NothingExtractedAndUnopenableDocumentsAreListed) {
  std::string empty = Put("empty.ppt", "");
  std::string text;
  EXPECT_EQ(ConvertedDocumentReader().Prepare(empty, text), PrepareResult::kPassOver);
  ASSERT_EQ(ConversionFailures.files.size(), 1u);
  EXPECT_EQ(ConversionFailures.files[0].reason, "Nothing could be extracted from this document.");
  ClearConversionFailures();
  const std::string folder = (dir_ / "folder.doc").string();
  fs::create_directories(folder);
  EXPECT_EQ(Prepare(folder).route, SourceRoute::kPassOver);
  EXPECT_EQ(Prepare((dir_ / "absent.pdf").string()).route, SourceRoute::kPassOver);
  ASSERT_EQ(ConversionFailures.files.size(), 2u);
  EXPECT_EQ(ConversionFailures.files[0].reason, "This is not a regular file (a folder, a device or a pipe).");
  EXPECT_EQ(ConversionFailures.files[1].reason, "The file cannot be opened.");
}

// The Word route given a package (a document saved in the newer format under
// the older name) hands it to the package converter: its text, or the
// converter's failure listed with the file.
TEST_F(ConversionDispatch, TheWordRouteSendsAPackageToItsConverter) {
  const int length = ConvertWordDocument(Copy("sample.docx", "package.doc"));
  EXPECT_EQ(length, static_cast<int>(ConversionState.wordRouteText.size()));
  EXPECT_GT(length, 0);
  EXPECT_NE(ConversionState.wordRouteText.find("alpha"), std::string::npos);
  EXPECT_FALSE(ConversionState.wordRouteFailed);
  EXPECT_TRUE(ConversionFailures.files.empty()) << ConversionFailureReport();

  const std::string broken = Put("broken.doc", BuildZip({{"word/other.xml", "<w/>"}}));
  EXPECT_EQ(ConvertWordDocument(broken), 0);
  EXPECT_TRUE(ConversionState.wordRouteFailed);
  ASSERT_EQ(ConversionFailures.files.size(), 1u);
  EXPECT_EQ(ConversionFailures.files[0].fileName, broken);
  EXPECT_FALSE(ConversionFailures.files[0].cut);
}

}  // namespace
}  // namespace quilor
