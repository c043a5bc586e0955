// The text loader reads every document of the file queue and hands its text
// to a sink (import/text_sink.h; in an analysis run the engine's text
// scanner, which cuts it into words): for each file it finds the document
// kind, prepares a byte source (the file through the read-ahead thread, or
// the text of a converter), takes blocks of at most 65,536 bytes, detects the
// encoding on the first block, decodes each block into Windows-1252 text in
// place and gives it to the sink.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "import/charset.h"
#include "import/document_readers.h"
#include "import/loader_state.h"
#include "import/plain_text.h"
#include "import/text_sink.h"

namespace quilor {

constexpr size_t kTextBlockSize = 65536;
constexpr int32_t kWordCap = 10000000;
constexpr int32_t kProgressEveryWords = 50000;

// The block being decoded and scanned (with room for the bytes of a
// character the previous block cut).
constexpr size_t kBlockBufferCapacity = kTextBlockSize + 16;
extern unsigned char BlockBuffer[kBlockBufferCapacity];

// The megabyte of the size question and its reports.
constexpr int64_t kLoaderMegabyte = 1024000;

// Settings tests may change: the size of the pieces each block is decoded and
// scanned in (1..65,536), and the word cap.
struct TextLoaderSettings {
  size_t decodeBlockSize = kTextBlockSize;
  int32_t wordCap = kWordCap;
  // Runs without windows (the tools) ask nobody: when set, a text over the
  // size threshold is read whole and the word cap cuts it without a box,
  // each told through this as a plain note (Windows-1252).
  void (*note)(const std::string& text) = nullptr;
};
extern TextLoaderSettings LoaderSettings;

class TTextLoader final : public TextBlockSource {
 public:
  // Loads every file of FileQueue at once into sink.
  TTextLoader(const char* runName, TextSink& sink);
  ~TTextLoader() override;
  TTextLoader(const TTextLoader&) = delete;
  TTextLoader& operator=(const TTextLoader&) = delete;

  // Called by the scanner when it has consumed the current block.
  bool NextTextBlock() override;

  bool StopLoading() const { return stopLoading_; }
  bool SizeAnswered() const { return sizeAnswered_; }
  int64_t TotalRead() const { return totalRead_; }

 private:
  void LoadAllTexts();
  void LoadOneText();
  bool PrepareTextSource();
  void ReleaseTextSource();
  bool TakeSourceBlock();
  void DetectTextEncoding();
  // Decodes input[0, length) into BlockBuffer; returns the text's length.
  size_t DecodeTextBlock(const unsigned char* input, size_t length, bool lastBlock);
  void ShowProgress();
  // The size question and the word cap; true when the current file must stop.
  bool ApplyLimits();

  std::string name_;
  int64_t totalRead_ = 0;
  int64_t sourceSize_ = 0;
  int64_t bytesLeft_ = 0;
  int kind_ = 0;
  bool unknownExtension_ = false;  // the name's extension is none the loader knows
  DocumentReader* reader_ = nullptr;
  bool fileOpen_ = false;
  bool usingConverted_ = false;
  std::string convertedText_;
  size_t convertedCursor_ = 0;
  std::unique_ptr<unsigned char[]> raw_;  // the block taken from the source
  size_t rawLength_ = 0;
  size_t rawPosition_ = 0;
  Utf8Decoder utf8_;
  unsigned char carried_[4] = {};  // the end of a UTF-16 unit or pair cut by a block
  size_t carry_ = 0;
  std::string decoded_;
  bool firstBlock_ = true;
  bool firstPiece_ = true;
  bool stopLoading_ = false;
  bool sizeAnswered_ = false;
  bool reportedKinds_[64] = {};
  BlockContext context_;
  TextSink& sink_;
};

}  // namespace quilor
