#include "import/text_loader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "core/file_queue.h"
#include "core/files.h"
#include "core/gauge.h"
#include "core/messages.h"
#include "import/charset.h"
#include "import/conversion_dispatch.h"
#include "import/document_signature.h"
#include "import/plain_text.h"
#include "import/read_ahead.h"
#include "platform/text_encoding.h"

namespace quilor {

unsigned char BlockBuffer[kBlockBufferCapacity];
TextLoaderSettings LoaderSettings;

namespace {

constexpr int kMsgEmptyFile = 18;
constexpr int kMsgTooLong = 42;
constexpr int kMsgBeCareful = 63;
constexpr int kMsgLoading = 72;
constexpr int kMsgWords = 480;
constexpr int kMsgTotalSizeBigger = 508;
constexpr int kMsgContinue = 549;
constexpr int kMsgFailureRisk = 701;
constexpr int kMsgStop = 939;
constexpr int kMsgMegabytes = 1056;
constexpr int kMsgNoReaderYet = 5000;
constexpr int kMsgNoteSize = 5007;
constexpr int kMsgNoteReadWhole = 5008;
constexpr int kMsgNoteCut = 5009;
constexpr int kMsgNoteCutWords = 5010;
constexpr int kMsgNotTextDocument = 5420;

constexpr int64_t kMegabyte = kLoaderMegabyte;

std::string Text(int id) { return GetMessageText(id); }

// "... bigger than N MB. This can cause an unexpected application failure."
std::string SizeWarning(int64_t totalRead) {
  return Text(kMsgTotalSizeBigger) + std::to_string(totalRead / kMegabyte) + " " + Text(kMsgMegabytes) + ". " +
         Text(kMsgFailureRisk);
}

int32_t ClipToInt32(int64_t v) { return v > INT32_MAX ? INT32_MAX : static_cast<int32_t>(v); }

}  // namespace

TTextLoader::TTextLoader(const char* runName, TextSink& sink)
    : name_(runName ? runName : ""), raw_(new unsigned char[kTextBlockSize]), sink_(sink) {
  LoaderState.active = true;
  Progress.cancelRequested = false;
  LoaderState.wordCapReached = false;
  LoaderState.readStoppedAt = 0;
  sink_.Attach(*this);
  // A converter working page by page lets the gauge run between pages, so
  // that its Stop button stops a long document too.
  DocumentFilter::GoOnBetweenPages() = [] {
    if (!Progress.cancelRequested && Progress.gauge && !Progress.gauge->Continue()) Progress.cancelRequested = true;
    return !Progress.cancelRequested;
  };
  try {
    LoadAllTexts();
  } catch (...) {
    DocumentFilter::GoOnBetweenPages() = nullptr;
    ReleaseTextSource();
    throw;
  }
}

TTextLoader::~TTextLoader() {
  DocumentFilter::GoOnBetweenPages() = nullptr;
  ReleaseTextSource();
}

void TTextLoader::LoadAllTexts() {
  context_.lineMode = false;
  ClearConversionFailures();
  for (int i = 1; i <= FileQueue.Count(); ++i) {
    LoaderState.fileNumber = i;
    const char* name = FileQueue.Get(i);
    name_ = name ? name : "";
    if (Progress.gauge) Progress.gauge->DefinirValeur(3, std::to_string(i));
    const size_t failuresBefore = ConversionFailures.files.size();
    const int32_t wordsBefore = sink_.WordCount();
    LoadOneText();
    sink_.EndDocument();
    ReleaseTextSource();
    // A document that gave no word (blanks alone, markup without text, a
    // kind nothing converts) gave no text: it is listed as an empty one is.
    if (!Progress.cancelRequested && sink_.WordCount() == wordsBefore &&
        ConversionFailures.files.size() == failuresBefore)
      AddConversionFailure(name_, Text(kMsgEmptyFile));
    // The limits hold for a queue of many small files too.
    if (!stopLoading_ && !Progress.cancelRequested) ApplyLimits();
    if (stopLoading_ || Progress.cancelRequested) break;
  }
  // Every file that could not be read, with its reason, once at the end.
  ShowConversionFailures();
}

void TTextLoader::LoadOneText() {
  reader_ = nullptr;
  // A folder, a pipe or a device is never read (a pipe would never end), and
  // a file that cannot be opened is said so: neither is passed over in silence.
  int whyNot = 0;
  if (!IsReadableRegularFile(name_, &whyNot)) {
    AddConversionFailure(name_, Text(whyNot));
    return;
  }
  kind_ = DocumentKind(name_);
  // The first bytes decide where the extension lies; an unknown extension
  // is plain text unless they say otherwise.
  bool unknown = LastFileResult.unknownExtension;
  kind_ = DocumentKindOfFile(name_, kind_, unknown);
  unknownExtension_ = unknown && kind_ == kDocText;
  LoaderState.documentKind = kind_;
  firstBlock_ = firstPiece_ = true;
  rawLength_ = rawPosition_ = 0;
  LoaderState.skippedBytes = 0;
  context_.skippedBytes = 0;
  context_.documentKind = kind_;
  context_.lineMode = false;  // each document says for itself whether line breaks end paragraphs
  LoaderState.encoding = kEncodingAnsi;
  reader_ = FindDocumentReader(kind_);
  if (reader_) reader_->ResetForFile();
  sink_.BeginDocument();

  if (!PrepareTextSource()) return;
  sourceSize_ = bytesLeft_;
  if (sourceSize_ <= 0) {
    // An empty file is said so, as an unreadable one is.
    struct stat info {};
    if (::stat(name_.c_str(), &info) == 0 && info.st_size == 0) AddConversionFailure(name_, Text(kMsgEmptyFile));
    return;
  }
  if (Progress.gauge) {
    Progress.gauge->DefinirMaximum(ClipToInt32(sourceSize_));
    Progress.gauge->DefinirLibelle(1, Text(kMsgLoading), false);
    Progress.gauge->DefinirLibelle(2, Text(kMsgWords), false);
  }
  if (!NextTextBlock()) return;
  const int32_t cap = LoaderSettings.wordCap;
  do {
    if (sink_.ScanTextBlock()) {
      int32_t number = sink_.WordCount();
      if (number % kProgressEveryWords == 0 || number >= cap) {
        ShowProgress();
        // A stop at the gauge asks nothing more.
        if (Progress.cancelRequested || ApplyLimits()) return;
      }
    }
  } while (!Progress.cancelRequested && !sink_.EndOfSource());
  ShowProgress();
}

bool TTextLoader::PrepareTextSource() {
  usingConverted_ = false;
  convertedText_.clear();
  convertedCursor_ = 0;
  bytesLeft_ = 0;
  if (kind_ == kDocXps) return false;  // no converter exists for it
  if (kind_ == kDocUnsupported) {
    // Never read as words; the first such file of a run is reported.
    AddConversionFailure(name_, Text(kMsgNotTextDocument));
    if (!reportedKinds_[kDocUnsupported]) {
      reportedKinds_[kDocUnsupported] = true;
      ShowError(Text(kMsgNotTextDocument) + " " + Utf8ToCp1252(name_));
    }
    return false;
  }
  if (KindNeedsReader(kind_) && !reader_) {
    // Never read such a document as words; say once per run that it is passed over.
    if (kind_ >= 0 && kind_ < 64 && !reportedKinds_[kind_]) {
      reportedKinds_[kind_] = true;
      ShowError(Text(kMsgNoReaderYet) + " " + Utf8ToCp1252(name_));
    }
    return false;
  }
  // Under an unknown extension the content decides: a document of a converted
  // kind is converted, other binary files are passed over, text is read.
  DocumentReader* reader = unknownExtension_ ? &ConvertedDocumentReader() : reader_;
  if (reader) {
    PrepareResult result = reader->Prepare(name_, convertedText_);
    if (result == PrepareResult::kPassOver) return false;
    if (result == PrepareResult::kConverted) {
      usingConverted_ = true;
      bytesLeft_ = static_cast<int64_t>(convertedText_.size());
      return bytesLeft_ > 0;
    }
  }
  if (!ReadAheadThreadRunning() && !CreateReadAheadThread()) return false;
  int64_t size = 0;
  fileOpen_ = ReadAheadThread->OpenReadAheadFile(name_.c_str(), size);
  bytesLeft_ = fileOpen_ ? size : 0;
  if (!fileOpen_) AddConversionFailure(name_, Text(kMsgCannotOpenFile));
  return fileOpen_;
}

void TTextLoader::ReleaseTextSource() {
  if (usingConverted_) {
    convertedText_.clear();
    convertedText_.shrink_to_fit();
    usingConverted_ = false;
  }
  if (fileOpen_) {
    if (ReadAheadThread) ReadAheadThread->CloseReadAheadFile();
    fileOpen_ = false;
  }
  if (reader_) reader_->Release();
  convertedCursor_ = 0;
}

bool TTextLoader::TakeSourceBlock() {
  if (bytesLeft_ < 1) return false;
  size_t n = static_cast<size_t>(std::min<int64_t>(bytesLeft_, static_cast<int64_t>(kTextBlockSize)));
  if (usingConverted_) {
    std::memcpy(raw_.get(), convertedText_.data() + convertedCursor_, n);
    convertedCursor_ += n;
  } else if (!fileOpen_ || !ReadAheadThread || !ReadAheadThread->TakeBlockFromThread(raw_.get(), n)) {
    return false;  // a read error ends the file as if it had ended
  }
  totalRead_ += static_cast<int64_t>(n);
  bytesLeft_ -= static_cast<int64_t>(n);
  rawLength_ = n;
  rawPosition_ = 0;
  if (firstBlock_) {
    DetectTextEncoding();
    firstBlock_ = false;
  }
  return true;
}

bool TTextLoader::NextTextBlock() {
  // Text a reader decoded but could not fit in the earlier blocks comes first.
  if (reader_ && !usingConverted_ && !Progress.cancelRequested) {
    if (size_t held = reader_->TakeHeldText(BlockBuffer, kTextBlockSize)) {
      sink_.SetBlock(BlockBuffer, held, context_.lineMode);
      return true;
    }
  }
  while (rawPosition_ >= rawLength_)
    if (!TakeSourceBlock()) return false;
  if (Progress.cancelRequested) return false;
  size_t piece =
      std::min(rawLength_ - rawPosition_, std::clamp<size_t>(LoaderSettings.decodeBlockSize, 1, kTextBlockSize));
  const unsigned char* input = raw_.get() + rawPosition_;
  rawPosition_ += piece;
  bool last = bytesLeft_ == 0 && rawPosition_ == rawLength_;
  size_t out = DecodeTextBlock(input, piece, last);
  firstPiece_ = false;
  sink_.SetBlock(BlockBuffer, out, context_.lineMode);
  return true;
}

void TTextLoader::DetectTextEncoding() {
  LoaderState.encoding = kEncodingAnsi;
  const unsigned char* b = raw_.get();
  size_t n = rawLength_;
  if (usingConverted_) return;
  if (kind_ == kDocText) {
    // A byte-order mark decides and is dropped; without one, text that is
    // well-formed UTF-8 with multi-byte characters is read as UTF-8.
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
      LoaderState.encoding = kEncodingUtf8;
      rawPosition_ = 3;
    } else if (n >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
      LoaderState.encoding = kEncodingUtf16BigEndian;
      rawPosition_ = 2;
    } else if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
      LoaderState.encoding = kEncodingUtf16LittleEndian;
      rawPosition_ = 2;
    } else if (size_t mark = 0; char order = DetectUtf16(reinterpret_cast<const char*>(b), n, mark)) {
      // No mark, but the zero bytes of its units say it is UTF-16.
      LoaderState.encoding = order == 'o' ? kEncodingUtf16BigEndian : kEncodingUtf16LittleEndian;
    } else if (LooksLikeUtf8(b, n, bytesLeft_ > 0)) {
      LoaderState.encoding = kEncodingUtf8;
    }
    utf8_.Reset();
    carry_ = 0;
  } else if (reader_) {
    reader_->DetectOnFirstBlock(b, n);
  }
}

size_t TTextLoader::DecodeTextBlock(const unsigned char* input, size_t length, bool lastBlock) {
  const bool unicode = !usingConverted_ && !reader_ && kind_ == kDocText && LoaderState.encoding != kEncodingAnsi;
  if (unicode) {
    // A character cut by the end of a piece is completed by the next one.
    if (LoaderState.encoding == kEncodingUtf8) {
      decoded_.clear();
      utf8_.Decode(reinterpret_cast<const char*>(input), length, decoded_);
      if (lastBlock) utf8_.Finish(decoded_);
      size_t n = std::min(decoded_.size(), sizeof BlockBuffer);
      std::memcpy(BlockBuffer, decoded_.data(), n);
      return n;
    }
    std::memcpy(BlockBuffer, carried_, carry_);
    std::memcpy(BlockBuffer + carry_, input, length);
    size_t n = carry_ + length;
    carry_ = 0;
    return DecodeUtf16Block(BlockBuffer, n, LoaderState.encoding == kEncodingUtf16BigEndian, !lastBlock, carried_,
                            carry_);
  }
  std::memcpy(BlockBuffer, input, length);
  if (usingConverted_) return length;  // converted texts are Windows-1252 already
  if (reader_) {
    context_.firstBlock = firstPiece_;
    context_.lastBlock = lastBlock;
    size_t out = reader_->DecodeBlock(BlockBuffer, length, context_);
    LoaderState.skippedBytes = context_.skippedBytes;
    return std::min(out, length);
  }
  if (kind_ == kDocDosText) OemToAnsi(BlockBuffer, length);
  else if (kind_ == kDocMacText) MacToAnsi(BlockBuffer, length);
  return length;  // other kinds are read as they stand
}

void TTextLoader::ShowProgress() {
  if (!Progress.gauge) return;
  Progress.gauge->DefinirValeur(2, std::to_string(sink_.WordCount()));
  Progress.gauge->MajBar(ClipToInt32(static_cast<int64_t>(sink_.BytesScanned()) + LoaderState.skippedBytes));
  std::string name = Utf8ToCp1252(name_);
  size_t slash = name.find_last_of("/\\");
  Progress.gauge->DefinirLibelle(3, FileNamePart(name.c_str()), false);
  Progress.gauge->DefinirLibelle(4, slash == std::string::npos ? std::string() : name.substr(0, slash), false);
  if (!Progress.gauge->Continue()) Progress.cancelRequested = true;
}

bool TTextLoader::ApplyLimits() {
  if (totalRead_ > LoaderState.sizeThreshold && !sizeAnswered_ && LoaderSettings.note) {
    LoaderSettings.note(Text(kMsgNoteSize) + std::to_string(totalRead_ / kMegabyte) + " " + Text(kMsgNoteReadWhole));
    sizeAnswered_ = true;
  }
  if (totalRead_ > LoaderState.sizeThreshold && !sizeAnswered_) {
    std::string question = Text(kMsgBeCareful) + " ! " + SizeWarning(totalRead_) + " " + Text(kMsgContinue);
    int answer = AskYesNoCancel(question);
    if (answer == 1) {
      sizeAnswered_ = true;
    } else {
      if (answer == 2) {
        stopLoading_ = true;
        LoaderState.readStoppedAt = totalRead_;
      } else Progress.cancelRequested = true;  // Cancel, or the box closed
      ReleaseTextSource();
      return true;
    }
  }
  if (sink_.WordCount() >= LoaderSettings.wordCap) {
    if (LoaderSettings.note)
      LoaderSettings.note(Text(kMsgNoteCut) + std::to_string(LoaderSettings.wordCap) + " " + Text(kMsgNoteCutWords));
    else ShowError(Text(kMsgStop) + " ! " + SizeWarning(totalRead_) + " " + Text(kMsgTooLong));
    LoaderState.wordCapReached = true;
    ReleaseTextSource();
    stopLoading_ = true;
    return true;
  }
  return false;
}

}  // namespace quilor
