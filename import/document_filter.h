// Converters of PDF, Office Open XML and OpenDocument files into text.
//
// One converter object exists per format. Each pulls the document's text in
// reading order, piece by piece ("chunks": a page, a paragraph part), into
// one Windows-1252 string, and keeps the text read so far when it fails. The
// failure is kept as the step reached and an error kind, worded by
// IFilterErrorText.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace quilor {

enum class FilterError {
  kNone,
  kUnavailable,     // the converter's library is missing
  kInitFailure,     // the document could not be opened or is not of this format
  kPassword,        // the document is encrypted
  kAccess,          // a part could not be read
  kEmbeddedObject,  // an embedded object or link was passed over (not a stop)
  kTooLong,         // the text reached the cap
  kChunking,        // the document is damaged inside
  kPartTooLarge,    // a part decompresses beyond its cap (zip bomb)
  kOverBudget,      // the document took more work than allowed (its pages, its time)
  kStopped,         // the run was stopped between two pages
};

// The work one document may cost a converter that works page by page: past
// it the conversion stops and the document is reported as failed.
struct ConversionBudget {
  std::chrono::milliseconds time{30000};
  int pages = 100000;
};

// Steps reached by the last extraction.
enum FilterStep : int {
  kStepNone = 0,
  kStepLibraryLoaded = 1,
  kStepEntryPoint = 2,
  kStepFactory = 3,
  kStepDocumentLoaded = 4,
  kStepReadingChunks = 5,
  kStepReadingChunk = 6,
  kStepTooLong = 8,
  kStepStopped = 9,
};

enum class ConverterFormat {
  kPdf,
  kOffice,
  kOffice2007,
  kPowerPoint2007,
  kOpenDocumentText,
  kOpenDocumentPresentation
};

// UTF-8 to Windows-1252 for converted text: characters the code page lacks
// become a space (never glue), ligatures are spelt out, other spaces and
// hyphens take their plain form.
void AppendUtf8AsAnsi(std::string_view utf8, std::string& out);

class DocumentFilter {
 public:
  // Most text kept from one document, in bytes.
  static constexpr size_t kMaxTextBytes = size_t{32} << 20;
  // Most bytes of one decompressed part of a package.
  static constexpr size_t kMaxPartBytes = size_t{64} << 20;
  // Largest document file accepted.
  static constexpr uint64_t kMaxFileBytes = uint64_t{512} << 20;

  virtual ~DocumentFilter() = default;

  ConverterFormat Format() const { return format_; }
  // Library and class identifier in use (shown by the options).
  const std::string& LibraryPath() const { return libraryPath_; }
  const std::string& ClassId() const { return classId_; }
  // Loads the converter: with a user library, that file must exist; else the
  // built-in library is used. True when the converter is available.
  bool Load(bool useLibrary, const std::string& libraryPath);
  bool Available() const { return !libraryMissing_; }

  bool ExtractIFilterText(const std::string& fileName);
  bool ExtractFromMemory(std::string_view data);
  const std::string& Text() const { return text_; }
  void ClearText() {
    text_.clear();
    text_.shrink_to_fit();
  }

  int Step() const { return step_; }
  FilterError LastError() const { return error_; }
  int UnavailableCount() const { return unavailableCount_; }
  std::string IFilterErrorText() const;

  bool addSeparator = true;
  bool changedByUser = false;

  // The budget of every document (tests lower it).
  static ConversionBudget& Budget();
  // Asked between two pages: false stops the conversion (the Stop button of
  // the gauge, the run's cancel flag). None: the conversion goes on.
  static std::function<bool()>& GoOnBetweenPages();

 protected:
  explicit DocumentFilter(ConverterFormat format, const char* classId);
  // Runs the extraction over a file (path not null) or bytes held in memory.
  virtual bool Run(const std::string* path, std::string_view data) = 0;
  // Appends the UTF-8 text of one chunk; false when the cap was reached.
  bool AppendChunk(std::string_view utf8);
  // Appends one character of layout (line end, tab, space).
  bool AppendRaw(char c);
  bool Stop(FilterError error, int step);
  // Between two pages: false (after Stop) when the budget is spent or the
  // run was stopped. started is when the document's work began.
  bool WithinBudget(std::chrono::steady_clock::time_point started, int pagesDone);

  std::string text_;
  int step_ = kStepNone;
  FilterError error_ = FilterError::kNone;
  int unavailableCount_ = 0;

 private:
  // Empties the text and the state of the last extraction; false when unavailable.
  bool Begin();
  ConverterFormat format_;
  std::string classId_;
  std::string libraryPath_;
  bool libraryMissing_ = true;
};

}  // namespace quilor
