#include "import/document_filter.h"

#include <filesystem>
#include <fstream>

#include "core/chartables.h"
#include "core/messages.h"
#include "platform/text_encoding.h"

namespace quilor {

constexpr int kMsgFilterLibraryFailed = 5410;
constexpr int kMsgFilterNotInstalled = 5411;
constexpr int kMsgFilterNotLoaded = 5412;
constexpr int kMsgFilterAccess = 5413;
constexpr int kMsgFilterPassword = 5403;
constexpr int kMsgFilterCount = 5414;
constexpr int kMsgFilterInitFailed = 5415;
constexpr int kMsgFilterChunking = 5416;
constexpr int kMsgFilterTooLong = 5417;
constexpr int kMsgFilterPartTooLarge = 5419;
constexpr int kMsgFilterOverBudget = 6174;
constexpr int kMsgFilterStopped = 6176;

namespace {

// The plain form of characters Windows-1252 lacks; nullptr when none.
const char* PlainForm(char32_t cp) {
  switch (cp) {
    case 0xFB00: return "ff";
    case 0xFB01: return "fi";
    case 0xFB02: return "fl";
    case 0xFB03: return "ffi";
    case 0xFB04: return "ffl";
    case 0xFB05:
    case 0xFB06: return "st";
    case 0x2010:
    case 0x2011:
    case 0x2012:
    case 0x2212: return "-";
    case 0x2028:
    case 0x2029: return "\n";
    default: break;
  }
  if ((cp >= 0x2000 && cp <= 0x200A) || cp == 0x202F || cp == 0x205F || cp == 0x3000) return " ";
  if (cp == 0x200B || cp == 0x200C || cp == 0x200D || cp == 0xFEFF || cp == 0x00AD) return "";
  return nullptr;
}

// The library that reads a format when the user chose none.
const char* BuiltInLibraryName(ConverterFormat format) {
  return format == ConverterFormat::kPdf ? "libpoppler-cpp.so" : "libzip.so";
}

}  // namespace

void AppendUtf8AsAnsi(std::string_view s, std::string& out) {
  size_t i = 0, n = s.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    char32_t cp = extra == 3 ? (c & 0x07) : extra == 2 ? (c & 0x0F) : (c & 0x1F);
    bool good = extra > 0;
    if (good) {
      for (int k = 1; k <= extra; ++k) {
        if (i + k >= n) {
          good = false;
          break;
        }
        unsigned char d = static_cast<unsigned char>(s[i + k]);
        if ((d & 0xC0) != 0x80) {
          good = false;
          break;
        }
        cp = (cp << 6) | (d & 0x3F);
      }
    }
    if (!good) {
      // One space for the whole broken sequence.
      out.push_back(' ');
      ++i;
      while (i < n && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
      continue;
    }
    i += extra + 1;
    if (const char* plain = PlainForm(cp)) {
      out += plain;
      continue;
    }
    unsigned char b = cp <= 0xFFFF ? UnicodeToAnsi(static_cast<char16_t>(cp)) : '?';
    out.push_back(b == '?' ? ' ' : static_cast<char>(b));
  }
}

DocumentFilter::DocumentFilter(ConverterFormat format, const char* classId) : format_(format), classId_(classId) {}

bool DocumentFilter::Load(bool useLibrary, const std::string& libraryPath) {
  libraryMissing_ = true;
  step_ = kStepNone;
  if (useLibrary && !libraryPath.empty()) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(libraryPath, ec)) return false;
    libraryPath_ = libraryPath;
  } else {
    libraryPath_ = BuiltInLibraryName(format_);
  }
  libraryMissing_ = false;
  return true;
}

bool DocumentFilter::Stop(FilterError error, int step) {
  error_ = error;
  if (step) step_ = step;
  return false;
}

ConversionBudget& DocumentFilter::Budget() {
  static ConversionBudget budget;
  return budget;
}

std::function<bool()>& DocumentFilter::GoOnBetweenPages() {
  static std::function<bool()> goOn;
  return goOn;
}

bool DocumentFilter::WithinBudget(std::chrono::steady_clock::time_point started, int pagesDone) {
  const ConversionBudget& budget = Budget();
  if (pagesDone >= budget.pages || std::chrono::steady_clock::now() - started > budget.time)
    return Stop(FilterError::kOverBudget, kStepStopped);
  const auto& goOn = GoOnBetweenPages();
  if (goOn && !goOn()) return Stop(FilterError::kStopped, kStepStopped);
  return true;
}

bool DocumentFilter::AppendChunk(std::string_view utf8) {
  if (text_.size() >= kMaxTextBytes) return Stop(FilterError::kTooLong, kStepTooLong);
  size_t before = text_.size();
  AppendUtf8AsAnsi(utf8.substr(0, kMaxTextBytes - before), text_);
  if (text_.size() > kMaxTextBytes) {
    text_.resize(kMaxTextBytes);
    return Stop(FilterError::kTooLong, kStepTooLong);
  }
  return true;
}

bool DocumentFilter::AppendRaw(char c) {
  if (text_.size() >= kMaxTextBytes) return Stop(FilterError::kTooLong, kStepTooLong);
  text_.push_back(c);
  return true;
}

bool DocumentFilter::Begin() {
  text_.clear();
  unavailableCount_ = 0;
  error_ = FilterError::kNone;
  step_ = kStepNone;
  if (libraryMissing_) return Stop(FilterError::kUnavailable, kStepNone);
  step_ = kStepFactory;
  return true;
}

bool DocumentFilter::ExtractIFilterText(const std::string& fileName) {
  if (!Begin()) return false;
  std::error_code ec;
  auto size = std::filesystem::file_size(fileName, ec);
  if (ec) return Stop(FilterError::kInitFailure, kStepDocumentLoaded);
  if (size > kMaxFileBytes) return Stop(FilterError::kPartTooLarge, kStepDocumentLoaded);
  return Run(&fileName, {});
}

bool DocumentFilter::ExtractFromMemory(std::string_view data) {
  if (!Begin()) return false;
  if (data.size() > kMaxFileBytes) return Stop(FilterError::kPartTooLarge, kStepDocumentLoaded);
  return Run(nullptr, data);
}

std::string DocumentFilter::IFilterErrorText() const {
  if (libraryMissing_) return GetMessageText(step_ != kStepNone ? kMsgFilterLibraryFailed : kMsgFilterNotInstalled);
  switch (error_) {
    case FilterError::kPassword: return GetMessageText(kMsgFilterPassword);
    case FilterError::kAccess: return GetMessageText(kMsgFilterAccess);
    case FilterError::kTooLong: return GetMessageText(kMsgFilterTooLong);
    case FilterError::kPartTooLarge: return GetMessageText(kMsgFilterPartTooLarge);
    case FilterError::kOverBudget: return GetMessageText(kMsgFilterOverBudget);
    case FilterError::kStopped: return GetMessageText(kMsgFilterStopped);
    default: break;
  }
  if (step_ <= kStepDocumentLoaded) {
    if (error_ == FilterError::kNone) return GetMessageText(kMsgFilterNotLoaded);
    if (error_ == FilterError::kChunking) return GetMessageText(kMsgFilterCount);
    return GetMessageText(kMsgFilterInitFailed);
  }
  return GetMessageText(kMsgFilterChunking);
}

}  // namespace quilor
