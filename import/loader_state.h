// The state of the text loading that the converters read too: the encoding
// and kind of the file being read, the size question's threshold, whether
// the text was cut.
#pragma once

#include <cstdint>

namespace quilor {

// Encodings of plain text (the codes are the letters d, o and p).
enum TextEncodingCode : int32_t {
  kEncodingAnsi = 0,
  kEncodingUtf8 = 100,
  kEncodingUtf16BigEndian = 111,
  kEncodingUtf16LittleEndian = 112,
};

// The state of the loading; LoaderState = {} starts it afresh.
struct TLoaderState {
  int32_t encoding = kEncodingAnsi;  // of the file being read
  int64_t skippedBytes = 0;
  int32_t fileNumber = 0;  // the file being read
  int documentKind = 0;    // its kind
  // Above this many bytes in a run the user is asked whether to go on.
  int64_t sizeThreshold = 2;
  bool active = false;
  // The conversion-impossible report of a PDF has been shown, once per
  // program run.
  bool conversionErrorShown = false;
  // The last loading stopped at the word cap: the text was cut.
  bool wordCapReached = false;
  // The bytes read when the user chose to stop reading at the size question
  // (the text read so far is analysed); 0 when nobody stopped it.
  int64_t readStoppedAt = 0;
};
extern TLoaderState LoaderState;

}  // namespace quilor
