#include "import/conversion_dispatch.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <unordered_set>

#include "core/chartables.h"
#include "core/files.h"
#include "core/messages.h"
#include "import/filter_formats.h"
#include "import/filter_plugin.h"
#include "import/powerpoint_document.h"
#include "import/loader_state.h"
#include "import/word_document.h"
#include "platform/compound_file.h"
#include "core/options.h"
#include "import/format_decoder.h"
#include "platform/message_ui.h"
#include "platform/read_file.h"
#include "platform/settings_store.h"
#include "platform/text_encoding.h"

namespace quilor {

constexpr int kMsgDriverLoadingFailed = 51;
constexpr int kMsgError = 61;
constexpr int kMsgPdfDocuments = 493;
constexpr int kMsgContinue = 549;
constexpr int kMsgNeedsDrivers = 1175;
constexpr int kMsgReadManual = 1176;
constexpr int kMsgConversionImpossible = 1177;
constexpr int kMsgPdfDisabled = 1178;
constexpr int kMsgPasswordProtected = 5403;
constexpr int kMsgNotTextDocument = 5420;
constexpr int kMsgFailedFiles = 5421;
constexpr int kMsgNoConverter = 5422;
constexpr int kMsgErrorInStep = 5423;
constexpr int kMsgNothingExtracted = 6175;

const std::array<const char*, kConverterCount> kConverterExtensions = {".pdf",  ".doc", ".docx",
                                                                       ".pptx", ".odt", ".odp"};
TConverters Converters;
TConversionState ConversionState;
TConversionFailures ConversionFailures;

namespace {

// A message as its own string: two texts fetched in one expression never share the buffer.
std::string Msg(int id) { return GetMessageText(id); }

int Index(ConverterFormat format) { return static_cast<int>(format); }

// A user's library that cannot be used is reported ("Driver loading
// failed") and the built-in converter stays.
bool EnableFilter(ConverterFormat format, bool useLibrary, const std::string& libraryPath) {
  auto& slot = Converters.filters[Index(format)];
  slot.reset();
  if (useLibrary && !libraryPath.empty()) {
    slot = LoadFilterPlugin(format, libraryPath);
    if (!slot) ShowError(Msg(kMsgDriverLoadingFailed) + " \"" + libraryPath + "\"");
  }
  if (!slot) {
    slot = CreateDocumentFilter(format);
    if (slot && !slot->Load(false, "")) slot.reset();
  }
  return slot != nullptr;
}

std::string LowerExtension(const std::string& name) {
  const char* file = FileNamePart(name.c_str());
  const char* dot = std::strrchr(file, '.');
  std::string ext = dot ? dot : "";
  LowerCaseString(ext);
  return ext;
}

enum class Signature { kUnreadable, kZip, kCompound, kPdf, kText, kBinary };

Signature Sniff(const std::string& name) {
  // The first bytes of a regular file only: a pipe or a device is never waited on.
  std::string first;
  ReadFileStatus status = ReadWholeFile(name, 4096, first);
  if (status != ReadFileStatus::kOk && status != ReadFileStatus::kTooLarge) return Signature::kUnreadable;
  const char* head = first.data();
  size_t n = first.size();
  if (n >= 4 && std::memcmp(head, "PK\x03\x04", 4) == 0) return Signature::kZip;
  if (CompoundFile::HasSignature(head, n)) return Signature::kCompound;
  if (n >= 5 && std::memcmp(head, "%PDF-", 5) == 0) return Signature::kPdf;
  // Text in UTF-16 has zero bytes and a byte-order mark; other text has none.
  if (n >= 2 && ((head[0] == '\xFF' && head[1] == '\xFE') || (head[0] == '\xFE' && head[1] == '\xFF')))
    return Signature::kText;
  return std::memchr(head, 0, n) ? Signature::kBinary : Signature::kText;
}

bool PackageFormatByExtension(const std::string& ext, ConverterFormat& format) {
  static const struct {
    const char* ext;
    ConverterFormat format;
  } kTable[] = {{".docx", ConverterFormat::kOffice2007},
                {".docm", ConverterFormat::kOffice2007},
                {".dotx", ConverterFormat::kOffice2007},
                {".dotm", ConverterFormat::kOffice2007},
                {".pptx", ConverterFormat::kPowerPoint2007},
                {".ppsx", ConverterFormat::kPowerPoint2007},
                {".pptm", ConverterFormat::kPowerPoint2007},
                {".potx", ConverterFormat::kPowerPoint2007},
                {".odt", ConverterFormat::kOpenDocumentText},
                {".ott", ConverterFormat::kOpenDocumentText},
                {".odp", ConverterFormat::kOpenDocumentPresentation},
                {".otp", ConverterFormat::kOpenDocumentPresentation}};
  for (const auto& e : kTable)
    if (ext == e.ext) {
      format = e.format;
      return true;
    }
  return false;
}

bool FilterSwitchedOff(ConverterFormat format) {
  ConversionSwitches s = ReadConversionSwitches();
  switch (format) {
    case ConverterFormat::kPdf: return !s.pdfConversion;
    case ConverterFormat::kOffice2007: return s.docxFilterOff;
    case ConverterFormat::kPowerPoint2007: return s.pptxFilterOff;
    case ConverterFormat::kOpenDocumentText: return s.odtFilterOff;
    case ConverterFormat::kOpenDocumentPresentation: return s.odpFilterOff;
    default: return false;
  }
}

ConverterUsed UsedFlag(ConverterFormat format) {
  switch (format) {
    case ConverterFormat::kPdf: return ConverterUsed::kPdf;
    case ConverterFormat::kPowerPoint2007: return ConverterUsed::kPowerPoint2007;
    case ConverterFormat::kOpenDocumentText: return ConverterUsed::kOpenDocumentText;
    case ConverterFormat::kOpenDocumentPresentation: return ConverterUsed::kOpenDocumentPresentation;
    default: return ConverterUsed::kWord;
  }
}

ConvertedSource PassOver(const std::string& name, int message) {
  if (message) AddConversionFailure(name, GetMessageText(message));
  return {SourceRoute::kPassOver, {}, ConverterUsed::kNone};
}

// Runs one filter; a failure keeps the text read before it.
ConvertedSource RunFilter(const std::string& name, ConverterFormat format) {
  if (FilterSwitchedOff(format)) return PassOver(name, 0);
  DocumentFilter* filter = Converter(format);
  if (!filter) {
    if (format == ConverterFormat::kPdf && !LoaderState.conversionErrorShown) {
      LoaderState.conversionErrorShown = true;
      ReportPdfConversionImpossible();
    }
    return PassOver(name, kMsgNoConverter);
  }
  ConvertedSource source;
  bool ok = filter->ExtractIFilterText(name);
  source.text = filter->Text();
  filter->ClearText();
  if (!ok && filter->LastError() == FilterError::kTooLong && !source.text.empty()) {
    AddConversionCut(name, filter->IFilterErrorText());
  } else if (!ok) {
    FormatIFilterError(filter->Step(), filter->IFilterErrorText());
    AddConversionFailure(name, filter->IFilterErrorText());
    // A damaged or locked document, one over its budget or a stopped run says
    // nothing of the converter: the document is listed, nothing is asked.
    const bool converterFault = filter->LastError() == FilterError::kUnavailable;
    if (format == ConverterFormat::kPdf && !LoaderState.conversionErrorShown && converterFault) {
      LoaderState.conversionErrorShown = true;
      ReportPdfConversionImpossible();
    }
  }
  if (source.text.empty()) return {SourceRoute::kPassOver, {}, ConverterUsed::kNone};
  source.route = SourceRoute::kConverted;
  source.used = UsedFlag(format);
  return source;
}

ConvertedSource ReadPowerPoint(const std::string& name) {
  CompoundFile file;
  ConvertedSource source;
  PowerPointResult result = PowerPointResult::kDamaged;
  if (file.OpenFile(name)) result = ReadPowerPointText(file, source.text, DocumentFilter::kMaxTextBytes);
  if (result == PowerPointResult::kPasswordProtected) return PassOver(name, kMsgPasswordProtected);
  if (result != PowerPointResult::kOk) AddConversionFailure(name, GetMessageText(kMsgConversionImpossible));
  if (source.text.empty()) {
    // Nothing came out: the raw bytes are extracted instead.
    return {SourceRoute::kReadRaw, {}, ConverterUsed::kNone};
  }
  source.route = SourceRoute::kConverted;
  source.used = ConverterUsed::kWord;
  return source;
}

ConvertedSource ReadWord(const std::string& name) {
  ConvertedSource source;
  int length = ConvertWordDocument(name);
  if (ConversionState.wordRouteFailed) {
    if (ConversionState.wordRouteStep == -1) return PassOver(name, 0);  // encrypted or damaged: already listed
    return {SourceRoute::kReadRaw, {}, ConverterUsed::kNone};
  }
  if (length <= 0) return {SourceRoute::kPassOver, {}, ConverterUsed::kNone};
  source.route = SourceRoute::kConverted;
  source.used = ConverterUsed::kWord;
  source.text = std::move(ConversionState.wordRouteText);
  ConversionState.wordRouteText.clear();
  return source;
}

constexpr int kConvertedKinds[] = {kDocWord, kDocPdf, kDocPowerPoint, kDocPowerPointXml,
                                   kDocOdt,  kDocOdp, kDocXps,        kDocExcel};

bool IsConvertedKind(int kind) {
  for (int k : kConvertedKinds)
    if (k == kind) return true;
  return false;
}

// The printable text of a file read raw, through the binary-text extraction of its kind.
bool ExtractRawText(const std::string& name, int kind, std::string& text) {
  // A regular file only, read up to the largest document accepted.
  int fd = OpenRegularFile(name);
  if (fd < 0) return false;
  FormatDecoder decoder;
  decoder.Start(kind);
  std::unique_ptr<char[]> buffer(new char[65536]);
  uint64_t read = 0;
  while (text.size() < DocumentFilter::kMaxTextBytes && read < DocumentFilter::kMaxFileBytes) {
    ssize_t n = ::read(fd, buffer.get(), 65536);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    read += static_cast<uint64_t>(n);
    decoder.Decode(buffer.get(), static_cast<size_t>(n), text);
  }
  ::close(fd);
  decoder.Finish(text);
  if (text.size() > DocumentFilter::kMaxTextBytes) text.resize(DocumentFilter::kMaxTextBytes);
  return !text.empty();
}

// Hands the loader the whole text of a converted document.
class ConvertingReader : public DocumentReader {
 public:
  PrepareResult Prepare(const std::string& path, std::string& text) override {
    int byName = DocumentKind(path);
    bool unknown = LastFileResult.unknownExtension;
    // The loader may have chosen the kind by content (a Word file named
    // ".txt"): the content decides then, not the name.
    int kind = IsConvertedKind(LoaderState.documentKind) ? LoaderState.documentKind : byName;
    ConvertedSource source = PrepareConvertedSource(path, kind, unknown || kind != byName);
    switch (source.route) {
      case SourceRoute::kConverted: text = std::move(source.text); return PrepareResult::kConverted;
      case SourceRoute::kPassOver: return PrepareResult::kPassOver;
      case SourceRoute::kReadFile:
        if (!IsConvertedKind(kind)) return PrepareResult::kReadFile;  // text under an unknown extension
        break;
      case SourceRoute::kReadRaw: break;
    }
    // A Word document under an unknown extension is extracted as Word.
    if (ExtractRawText(path, IsConvertedKind(kind) ? kind : kDocWord, text)) return PrepareResult::kConverted;
    // Said, never passed over in silence.
    AddConversionFailure(path, GetMessageText(kMsgNothingExtracted));
    return PrepareResult::kPassOver;
  }
  // Never reached: every file of these kinds comes as converted text.
  size_t DecodeBlock(unsigned char*, size_t length, BlockContext&) override { return length; }
};

ConvertingReader TheConvertingReader;

}  // namespace

DocumentReader& ConvertedDocumentReader() { return TheConvertingReader; }

DocumentFilter* Converter(ConverterFormat format) { return Converters.filters[Index(format)].get(); }
bool ConverterAvailable(ConverterFormat format) { return Converter(format) != nullptr; }

bool EnablePdfFilter(bool useLibrary, const std::string& libraryPath) {
  bool ok = EnableFilter(ConverterFormat::kPdf, useLibrary, libraryPath);
  if (!ok) Options->Set(opt::ConvertPdf, 0);
  return ok;
}
bool EnableOfficeFilter(bool useLibrary, const std::string& libraryPath) {
  bool ok = EnableFilter(ConverterFormat::kOffice, useLibrary, libraryPath);
  Options->Set(opt::ConversionFilterSwitch603, ok);
  return ok;
}
bool EnableOffice2007Filter(bool useLibrary, const std::string& libraryPath) {
  return EnableFilter(ConverterFormat::kOffice2007, useLibrary, libraryPath);
}
bool EnablePowerPoint2007Filter(bool useLibrary, const std::string& libraryPath) {
  return EnableFilter(ConverterFormat::kPowerPoint2007, useLibrary, libraryPath);
}
bool EnableOpenDocumentTextFilter(bool useLibrary, const std::string& libraryPath) {
  return EnableFilter(ConverterFormat::kOpenDocumentText, useLibrary, libraryPath);
}
bool EnableOpenDocumentPresentationFilter(bool useLibrary, const std::string& libraryPath) {
  return EnableFilter(ConverterFormat::kOpenDocumentPresentation, useLibrary, libraryPath);
}

void ReadConverterChoices() {
  for (int i = 0; i < kConverterCount; ++i) {
    std::string value;
    Converters.libraries[i] = ReadSetting(ConversionFiltersKey(), kConverterExtensions[i], value) ? value : "";
  }
}

bool WriteConverterChoice(ConverterFormat format, const std::string& libraryPath) {
  Converters.libraries[Index(format)] = libraryPath;
  return WriteSetting(ConversionFiltersKey(), kConverterExtensions[Index(format)], libraryPath).ok;
}

ConversionSwitches ReadConversionSwitches() {
  ConversionSwitches s;
  s.pdfConversion = Options->Switch(opt::ConvertPdf);
  s.officeFilter = Options->Switch(opt::ConversionFilterSwitch603);
  s.wordReader = Options->Switch(opt::WordDetailedReading);
  s.xpsConversion = Options->Switch(opt::ConversionFilterSetting630);
  s.docxFilterOff = Options->Switch(opt::ConversionFilterSwitch635);
  s.pptxFilterOff = Options->Switch(opt::ConversionFilterSwitch636);
  s.odtFilterOff = Options->Switch(opt::ConversionFilterSwitch637);
  s.odpFilterOff = Options->Switch(opt::ConversionFilterSwitch638);
  return s;
}

void WriteConversionSwitches(const ConversionSwitches& s) {
  Options->Set(opt::ConvertPdf, s.pdfConversion);
  Options->Set(opt::ConversionFilterSwitch603, s.officeFilter);
  Options->Set(opt::WordDetailedReading, s.wordReader);
  Options->Set(opt::ConversionFilterSetting630, s.xpsConversion);
  Options->Set(opt::ConversionFilterSwitch635, s.docxFilterOff);
  Options->Set(opt::ConversionFilterSwitch636, s.pptxFilterOff);
  Options->Set(opt::ConversionFilterSwitch637, s.odtFilterOff);
  Options->Set(opt::ConversionFilterSwitch638, s.odpFilterOff);
}

bool CreateConverters() {
  ReadConverterChoices();
  auto use = [](ConverterFormat f) { return !Converters.libraries[Index(f)].empty(); };
  auto path = [](ConverterFormat f) { return Converters.libraries[Index(f)]; };
  EnablePdfFilter(use(ConverterFormat::kPdf), path(ConverterFormat::kPdf));
  EnableOfficeFilter(use(ConverterFormat::kOffice), path(ConverterFormat::kOffice));
  EnableOffice2007Filter(use(ConverterFormat::kOffice2007), path(ConverterFormat::kOffice2007));
  EnablePowerPoint2007Filter(use(ConverterFormat::kPowerPoint2007), path(ConverterFormat::kPowerPoint2007));
  EnableOpenDocumentTextFilter(use(ConverterFormat::kOpenDocumentText), path(ConverterFormat::kOpenDocumentText));
  EnableOpenDocumentPresentationFilter(use(ConverterFormat::kOpenDocumentPresentation),
                                       path(ConverterFormat::kOpenDocumentPresentation));
  Converters.wordReader = std::make_unique<TMSWordDocument>();
  for (int kind : kConvertedKinds) RegisterDocumentReader(kind, &TheConvertingReader);
  return Converters.wordReader != nullptr;
}

void FreeConverters() {
  for (int kind : kConvertedKinds)
    if (FindDocumentReader(kind) == &TheConvertingReader) RegisterDocumentReader(kind, nullptr);
  Converters = {};
}

bool CheckPdfFilterAvailable() {
  if (ConverterAvailable(ConverterFormat::kPdf)) return true;
  ShowError(Msg(kMsgNeedsDrivers) + " " + Msg(kMsgReadManual));
  return false;
}

void ShowPdfDriverError() {
  std::string text = GetMessageText(kMsgDriverLoadingFailed);
  text += " \"";
  text += GetMessageText(kMsgPdfDocuments);
  text += "\". ";
  text += GetMessageText(kMsgNeedsDrivers);
  text += " ";
  text += GetMessageText(kMsgReadManual);
  ShowError(text);
}

void FormatIFilterError(int step, const std::string& errorText) {
  ConversionState.failed = true;
  ConversionState.errorText =
      Msg(kMsgConversionImpossible) + " " + Msg(kMsgErrorInStep) + " " + std::to_string(step) + " " + errorText;
  if (ConversionState.errorText.size() > 512) ConversionState.errorText.resize(512);
}

bool ReportPdfConversionImpossible() {
  if (DocumentFilter* pdf = Converter(ConverterFormat::kPdf)) FormatIFilterError(pdf->Step(), pdf->IFilterErrorText());
  std::string text = GetMessageText(kMsgDriverLoadingFailed);
  text += " PDF ! ";
  text += GetMessageText(kMsgError);
  text += ": ";
  text += !ConversionState.errorText.empty() ? ConversionState.errorText : "iFilter " + Msg(kMsgPdfDocuments);
  text += " ";
  text += GetMessageText(kMsgReadManual);
  text += " ";
  text += GetMessageText(kMsgContinue);
  // Enter, Escape or the close box keep the user's options; only No changes them.
  if (!NoChosen(text)) return false;
  Options->Set(opt::ConvertPdf, 0);
  ShowError(Msg(kMsgPdfDisabled) + " " + Msg(kMsgNeedsDrivers) + " " + Msg(kMsgReadManual));
  return true;
}

void ResetConversionState() {
  ConversionState.wordRouteText.clear();
  ConversionState.failed = false;
  ConversionState.errorText.clear();
}

int ConvertWordDocument(const std::string& fileName) {
  ConversionState.wordRouteText.clear();
  ConversionState.wordRouteFailed = false;
  ConversionState.wordRouteStep = 0;
  // A package goes to its converter whatever the case of its extension.
  if (Sniff(fileName) == Signature::kZip) {
    DocumentFilter* filter = Converter(ConverterFormat::kOffice2007);
    if (!filter) return 0;
    if (!filter->ExtractIFilterText(fileName)) {
      if (filter->LastError() == FilterError::kTooLong && !filter->Text().empty()) {
        // The beginning of a text too long for the converter is its text, cut.
        AddConversionCut(fileName, filter->IFilterErrorText());
      } else {
        ConversionState.wordRouteStep = filter->Step();
        FormatIFilterError(filter->Step(), filter->IFilterErrorText());
        AddConversionFailure(fileName, filter->IFilterErrorText());
        ConversionState.wordRouteFailed = true;
      }
    }
    ConversionState.wordRouteText = filter->Text();
    filter->ClearText();
    return ConversionState.wordRouteFailed ? 0 : static_cast<int>(ConversionState.wordRouteText.size());
  }
  if (Options->Switch(opt::ConversionFilterSwitch603) && ConverterAvailable(ConverterFormat::kOffice)) {
    DocumentFilter* filter = Converter(ConverterFormat::kOffice);
    if (filter->ExtractIFilterText(fileName)) {
      ConversionState.wordRouteText = filter->Text();
      filter->ClearText();
      return static_cast<int>(ConversionState.wordRouteText.size());
    }
    filter->ClearText();
  }
  if (!Converters.wordReader) Converters.wordReader = std::make_unique<TMSWordDocument>();
  try {
    Converters.wordReader->ReadFile(fileName);
    ConversionState.wordRouteText = Converters.wordReader->TakeMainTextString();
  } catch (const WordDocumentError& e) {
    ConversionState.failed = true;
    ConversionState.errorText = e.what();
    AddConversionFailure(fileName, e.what());
    Converters.wordReader = std::make_unique<TMSWordDocument>();
    ConversionState.wordRouteFailed = true;
    // An encrypted or damaged document is not read raw: its bytes are no text
    // (the raw bytes of half a document give its stream and program names).
    bool passOver = e.Kind() == WordErrorKind::kPasswordProtected || e.Kind() == WordErrorKind::kDamaged;
    ConversionState.wordRouteStep = passOver ? -1 : 0;
    return 0;
  }
  if (ConversionState.wordRouteText.empty()) {
    ConversionState.failed = true;
    ConversionState.errorText = GetMessageText(kMsgConversionImpossible);
  }
  return static_cast<int>(ConversionState.wordRouteText.size());
}

ConvertedSource PrepareConvertedSource(const std::string& name, int kind, bool unknownExtension) {
  ResetConversionState();
  if (kind == kDocXps) return PassOver(name, kMsgNoConverter);
  bool converted = kind == kDocWord || kind == kDocPowerPoint || kind == kDocPowerPointXml || kind == kDocOdt ||
                   kind == kDocOdp || kind == kDocPdf || kind == kDocExcel;
  if (!converted && !unknownExtension) return {};
  Signature signature = Sniff(name);
  std::string ext = LowerExtension(name);
  switch (signature) {
    case Signature::kUnreadable: {
      if (!converted) return ConvertedSource{};
      int whyNot = kMsgCannotOpenFile;
      IsReadableRegularFile(name, &whyNot);
      return PassOver(name, whyNot);
    }
    case Signature::kZip: {
      ConverterFormat format;
      if (!PackageFormatByExtension(ext, format) && !SniffPackageFormat(name, format))
        return PassOver(name, kMsgNotTextDocument);
      return RunFilter(name, format);
    }
    case Signature::kCompound: {
      if (kind == kDocExcel) return {};  // workbooks: the raw extraction of their strings
      CompoundFile file;
      if (file.OpenFile(name)) {
        if (file.Find("EncryptedPackage") >= 0) return PassOver(name, kMsgPasswordProtected);
        if (file.Find("WordDocument") >= 0)
          return Options->Switch(opt::WordDetailedReading) ? ReadWord(name)
                                                           : ConvertedSource{SourceRoute::kReadRaw, {}, {}};
        if (file.Find("PowerPoint Document") >= 0)
          return Options->Switch(opt::WordDetailedReading) ? ReadPowerPoint(name)
                                                           : ConvertedSource{SourceRoute::kReadRaw, {}, {}};
      }
      // A Word document whose compound file is damaged is said so by the reader.
      if (file.Damaged() && kind == kDocWord && Options->Switch(opt::WordDetailedReading)) return ReadWord(name);
      if (kind == kDocWord || kind == kDocPowerPoint) return {SourceRoute::kReadRaw, {}, ConverterUsed::kNone};
      return PassOver(name, kMsgNotTextDocument);
    }
    case Signature::kPdf:
      if (kind == kDocPdf || unknownExtension) return RunFilter(name, ConverterFormat::kPdf);
      break;
    default: break;
  }
  switch (kind) {
    case kDocPdf: return RunFilter(name, ConverterFormat::kPdf);
    case kDocWord:
      return Options->Switch(opt::WordDetailedReading) ? ReadWord(name)
                                                       : ConvertedSource{SourceRoute::kReadRaw, {}, {}};
    case kDocPowerPoint: return {SourceRoute::kReadRaw, {}, ConverterUsed::kNone};
    case kDocPowerPointXml: return RunFilter(name, ConverterFormat::kPowerPoint2007);
    case kDocOdt: return RunFilter(name, ConverterFormat::kOpenDocumentText);
    case kDocOdp: return RunFilter(name, ConverterFormat::kOpenDocumentPresentation);
    default: break;
  }
  if (unknownExtension && signature == Signature::kBinary) return PassOver(name, kMsgNotTextDocument);
  return {};
}

void ClearConversionFailures() { ConversionFailures = {}; }

void AddConversionFailure(const std::string& fileName, const std::string& reason) {
  // One line per file: its first reason.
  if (ConversionFailures.names.insert(fileName).second) ConversionFailures.files.push_back({fileName, reason});
}

void AddConversionCut(const std::string& fileName, const std::string& reason) {
  if (ConversionFailures.names.insert(fileName).second)
    ConversionFailures.files.push_back({fileName, reason, /*cut=*/true});
}

std::vector<std::string> ConversionFailureLines() {
  std::vector<std::string> lines;
  lines.reserve(ConversionFailures.files.size());
  for (const auto& f : ConversionFailures.files)
    lines.push_back(DisplayFileName(f.fileName) + ": " + Cp1252ToUtf8(f.reason));
  return lines;
}

std::string ConversionFailureReport() {
  if (ConversionFailures.files.empty()) return "";
  std::string text = Cp1252ToUtf8(GetMessageText(kMsgFailedFiles));
  for (const std::string& line : ConversionFailureLines()) text += "\n" + line;
  return text;
}

void ShowConversionFailures() {
  if (ConversionFailures.files.empty()) return;
  CurrentMessageUi().ShowList({Cp1252ToUtf8(GetMessageText(kMsgFailedFiles)), ConversionFailureLines()});
}

}  // namespace quilor
