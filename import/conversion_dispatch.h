// Which converter turns a non-text document into text: the converters of
// PDF, Office Open XML and OpenDocument files, the Word 97-2003 reader, and
// the reports of failed conversions.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "import/document_filter.h"
#include "import/document_readers.h"

namespace quilor {

class TMSWordDocument;

// Conversion switches, kept in the options record (core/options.h).
struct ConversionSwitches {
  bool pdfConversion = true;   // convert PDF documents
  bool officeFilter = false;   // use the Office filter for Word documents (none exists here)
  bool wordReader = true;      // read .doc and .ppt documents with our own readers
  bool xpsConversion = false;  // always off: no XPS converter exists
  bool docxFilterOff = false;
  bool pptxFilterOff = false;
  bool odtFilterOff = false;
  bool odpFilterOff = false;
};
ConversionSwitches ReadConversionSwitches();
void WriteConversionSwitches(const ConversionSwitches& switches);

// The converter objects, null when unavailable; index by ConverterFormat.
constexpr int kConverterCount = 6;
DocumentFilter* Converter(ConverterFormat format);
bool ConverterAvailable(ConverterFormat format);

extern const std::array<const char*, kConverterCount> kConverterExtensions;

// The converters of the program: made by CreateConverters at start-up,
// freed whole by FreeConverters.
struct TConverters {
  // The library chosen by the user for ".pdf", ".doc", ".docx", ".pptx",
  // ".odt" and ".odp" (empty: the built-in one), read from the settings
  // (key ConversionFiltersKey(), core/files.h) by CreateConverters.
  std::array<std::string, kConverterCount> libraries;
  // The converter objects, null when unavailable; index by ConverterFormat.
  std::array<std::unique_ptr<DocumentFilter>, kConverterCount> filters;
  // The Word 97-2003 reader.
  std::unique_ptr<TMSWordDocument> wordReader;
};
extern TConverters Converters;

// State of the Word route and of the last failure; ConversionState = {}
// starts it afresh. (LoaderState.conversionErrorShown, in
// import/text_loader.h: the conversion-impossible report of a PDF has been
// shown, once per program run.)
struct TConversionState {
  std::string wordRouteText;
  bool wordRouteFailed = false;
  int wordRouteStep = 0;
  bool failed = false;
  std::string errorText;  // at most 512 characters
};
extern TConversionState ConversionState;

bool CreateConverters();
void FreeConverters();
void ReadConverterChoices();
// Writes the choice for one converter into the settings store.
bool WriteConverterChoice(ConverterFormat format, const std::string& libraryPath);
bool EnablePdfFilter(bool useLibrary, const std::string& libraryPath);
bool EnableOfficeFilter(bool useLibrary, const std::string& libraryPath);
bool EnableOffice2007Filter(bool useLibrary, const std::string& libraryPath);
bool EnablePowerPoint2007Filter(bool useLibrary, const std::string& libraryPath);
bool EnableOpenDocumentTextFilter(bool useLibrary, const std::string& libraryPath);
bool EnableOpenDocumentPresentationFilter(bool useLibrary, const std::string& libraryPath);
bool CheckPdfFilterAvailable();
void ShowPdfDriverError();
void FormatIFilterError(int step, const std::string& errorText);
bool ReportPdfConversionImpossible();
// The Word route: the document's text into ConversionState.wordRouteText; returns its length.
int ConvertWordDocument(const std::string& fileName);
// Clears the per-file state (the Word route's text and the last failure).
void ResetConversionState();

// ---------------------------------------------------------------- loader side

// Producers of a converted text.
enum class ConverterUsed { kNone, kPowerPoint2007, kOpenDocumentPresentation, kOpenDocumentText, kPdf, kWord };

enum class SourceRoute {
  kReadFile,   // not a converted kind: the loader reads the file as its kind says
  kReadRaw,    // a Word or PowerPoint file our reader could not read: the raw bytes are extracted
  kConverted,  // text holds the document's text (Windows-1252)
  kPassOver,   // the file gives no text
};

struct ConvertedSource {
  SourceRoute route = SourceRoute::kReadFile;
  std::string text;
  ConverterUsed used = ConverterUsed::kNone;
};

// The document reader of the converted kinds: registered for the Word,
// PDF, PowerPoint, Office Open XML, OpenDocument, XPS and Excel kinds by
// CreateConverters, removed by FreeConverters.
DocumentReader& ConvertedDocumentReader();

// Decides the route of one file of document kind `kind` (DocumentKind) and
// converts it when it is a converted kind. The content's signature decides
// over the extension (".DOCX", a .doc that is really a .docx, a zip or
// compound file of a kind no converter reads). Failures are added to the
// failure list.
ConvertedSource PrepareConvertedSource(const std::string& fileName, int kind, bool unknownExtension);

// ---------------------------------------------------------------- failures of a run

struct ConversionFailure {
  std::string fileName;
  std::string reason;
  // Not a failure: the document's text reached the converters' limit and
  // its beginning was read (a cut text, as one cut at the word cap).
  bool cut = false;
};
// The files that failed in the run; ClearConversionFailures() (or
// ConversionFailures = {}) starts it afresh.
struct TConversionFailures {
  // Every file that failed, in order, with its first reason (fileName as
  // the system gives it, reason in Windows-1252).
  std::vector<ConversionFailure> files;
  // The names in files, so that a file is listed once.
  std::unordered_set<std::string> names;
};
extern TConversionFailures ConversionFailures;
void ClearConversionFailures();
void AddConversionFailure(const std::string& fileName, const std::string& reason);
// Lists a document whose converted text was cut at the limit (reason: why).
void AddConversionCut(const std::string& fileName, const std::string& reason);
// One UTF-8 line per failed file: the name made safe to show, ": ", the reason.
std::vector<std::string> ConversionFailureLines();
// "These files could not be read:" and the lines above, in UTF-8; empty
// when none failed.
std::string ConversionFailureReport();
// Shows the whole list (a scrollable list in the program, every line on
// standard error in the tools) when a file failed.
void ShowConversionFailures();

}  // namespace quilor
