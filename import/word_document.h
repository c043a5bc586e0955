// Reader of Word 97-2003 documents (and Word 6 and 95 ones) from their
// compound file, without any outside filter.
//
// The text of each story (main text, footnotes, headers and footers,
// annotations, endnotes, header text boxes) goes to its own list, one line per
// paragraph, in Windows-1252. The program uses the main text only.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quilor {

class CompoundFile;

enum class WordErrorKind {
  kNotFound,           // the file does not exist
  kNotWordDocument,    // not a compound file, or no valid file information block
  kPieceBounds,        // a piece or table lies outside its stream
  kPasswordProtected,  // the document is encrypted
  kDamaged,            // a stream could not be read whole
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

// The lines of a story in one buffer, joined by CR LF: a document of
// millions of empty paragraphs costs two bytes a paragraph, not a string
// each. Lines are added at the end; a line is found by walking the buffer.
class TextLines {
 public:
  // Most bytes kept: lines beyond it are dropped.
  static constexpr size_t kMaxBytes = size_t{32} << 20;

  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  void clear();
  void push_back(std::string_view line);
  // Room for bytes more (at most up to kMaxBytes in all).
  void reserve(size_t bytes) { text_.reserve(std::min(text_.size() + bytes, kMaxBytes)); }
  std::string operator[](size_t i) const;
  // Every line joined by CR LF.
  const std::string& Joined() const { return text_; }
  // The joined text, moved out; the lines are empty after.
  std::string TakeJoined();
  std::vector<std::string> ToVector() const;
  bool operator==(const std::vector<std::string>& lines) const { return ToVector() == lines; }

 private:
  std::string text_;
  size_t count_ = 0;
};

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

  TextLines MainText, Macros, Footnotes, Headers, Annotations, Endnotes, HeaderTextBoxes;
  // The main text's lines joined by CR LF.
  std::string MainTextString() const { return MainText.Joined(); }
  // The same, moved out of the document (the main text is empty after).
  std::string TakeMainTextString() { return MainText.TakeJoined(); }

 private:
  void Clear();
  void ReadCompound(CompoundFile& file, const std::string& name);
  void ReadWordStream(CompoundFile& file, const std::string& stream, const std::string& name);
  void ReadSummary(const std::string& stream);
  void AddText(TextLines& list, const std::string& raw);

  std::string fileName_;
  int docVersion_ = 0;
};

}  // namespace quilor
