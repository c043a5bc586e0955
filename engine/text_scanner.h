// The sink of an analysis run's text loader: the word scanner cuts the
// loader's text into words and hands them to the segment buffer, which
// looks them up (beside the loading, on the resolver thread) and puts them
// into TextWords. While it exists it is the loading in progress of its
// analysis, which StopRun finishes.
#pragma once

#include <optional>

#include "engine/segment_buffer.h"
#include "engine/word_scanner.h"
#include "import/text_sink.h"

namespace quilor {

struct TAnalysis;

class TextScanner final : public TextSink {
 public:
  // Loads into analysis, with the settings of its run.
  explicit TextScanner(TAnalysis& analysis);
  ~TextScanner() override;
  TextScanner(const TextScanner&) = delete;
  TextScanner& operator=(const TextScanner&) = delete;

  void Attach(TextBlockSource& source) override { scanner_.emplace(source, segment_); }
  void BeginDocument() override {
    segment_.Init();
    scanner_->ResetForFile();
  }
  void SetBlock(const unsigned char* block, size_t length, bool lineMode) override {
    scanner_->lineMode = lineMode;
    scanner_->SetBlock(block, length);
  }
  bool ScanTextBlock() override { return scanner_->ScanTextBlock(); }
  bool EndOfSource() const override { return scanner_->EndOfSource(); }
  int32_t WordCount() const override { return segment_.WordNumber(); }
  uint64_t BytesScanned() const override { return scanner_->BytesScanned(); }
  void EndDocument() override { segment_.Finish(scanner_->PendingPunctuation(), scanner_->PendingGap()); }

 private:
  TAnalysis& analysis_;
  TSegmentBuffer segment_;
  std::optional<TWordScanner> scanner_;
};

}  // namespace quilor
