// Reader of Word 97-2003 documents (and Word 6 and 95 ones) from their
// compound file, without any outside filter.
//
// The text of each story (main text, footnotes, headers and footers,
// annotations, endnotes, header text boxes) goes to its own list, one line per
// paragraph, in Windows-1252. The program uses the main text only.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quilor {

class CompoundFile;

enum class WordErrorKind {
  kNotFound,          // the file does not exist
  kNotWordDocument,   // not a compound file, or no valid file information block
  kPieceBounds,       // a piece or table lies outside its stream
  kPasswordProtected, // the document is encrypted
  kDamaged,           // a stream could not be read whole
};

class WordDocumentError : public std::runtime_error {
 public:
  WordDocumentError(WordErrorKind kind, const std::string& text) : std::runtime_error(text), kind_(kind) {}
  WordErrorKind Kind() const { return kind_; }

 private:
  WordErrorKind kind_;
};

// Summary properties of a document. Times are seconds since 1970 (UTC),
// rounded to even seconds; 0 when absent.
struct TSMWordSummaryInformation {
  std::string Title, Subject, Author, Keywords, Comments, Template, LastAuthor, RevNumber;
  int EditTime = 0;  // minutes
  int64_t LastPrinted = 0, Created = 0, LastSaved = 0;
  int PageCount = 0, WordCount = 0, CharCount = 0;
  void Assign(const TSMWordSummaryInformation& other) { *this = other; }
};

// Kinds of converted control characters passed to OnConvertSysChar.
enum SysCharKind : int {
  kSysCharRemoved = 0,
  kSysCharRowEnd = 1,
  kSysCharCellSpace = 2,
  kSysCharParagraph = 3,
  kSysCharFieldBegin = 4,
  kSysCharFieldEnd = 5,
};

// Windows code page of a Word language identifier.
int CodePageOfLanguage(uint16_t lid);

class TMSWordDocument {
 public:
  static constexpr const char* kAbout = "1.25";
  // Converted text kept per document: beyond it the stories are cut.
  static constexpr size_t kMaxTextBytes = size_t{32} << 20;

  TMSWordDocument() = default;

  std::string About() const { return kAbout; }
  bool ConvertSysCharacters = true;
  TSMWordSummaryInformation SummaryInformation;
  std::function<void()> OnBeforeExecute, OnAfterExecute;
  // Called for every converted control character (kind, the current line, the character).
  std::function<void(int kind, std::string& line, char character)> OnConvertSysChar;

  const std::string& FileName() const { return fileName_; }
  // Reads the document at once when the name differs from the current one.
  // Throws WordDocumentError; the lists keep what was read before the error.
  void SetFileName(const std::string& name);
  // Reads the current file again.
  void Read();
  // Reads the named file, even when it is the current one.
  void ReadFile(const std::string& name) {
    fileName_ = name;
    Read();
  }
  // Reads a document held in memory (name is used in the error texts).
  void ReadFromMemory(std::string_view data, const std::string& name);

  int DocVersion() const { return docVersion_; }

  std::vector<std::string> MainText, Macros, Footnotes, Headers, Annotations, Endnotes, HeaderTextBoxes;
  // The main text's lines joined by CR LF.
  std::string MainTextString() const;

 private:
  void Clear();
  void ReadCompound(CompoundFile& file, const std::string& name);
  void ReadWordStream(CompoundFile& file, const std::string& stream, const std::string& name);
  void ReadSummary(const std::string& stream);
  void AddText(std::vector<std::string>& list, const std::string& raw);

  std::string fileName_;
  int docVersion_ = 0;
};

}  // namespace quilor
