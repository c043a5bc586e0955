#include "import/powerpoint_document.h"

#include <vector>

#include "core/chartables.h"
#include "platform/byte_order.h"
#include "platform/compound_file.h"
#include "platform/text_encoding.h"

namespace quilor {
namespace {

constexpr uint16_t kTextCharsAtom = 0x0FA0;
constexpr uint16_t kTextBytesAtom = 0x0FA8;
constexpr uint16_t kMainMaster = 0x03F8;
constexpr uint16_t kNotes = 0x03F0;
constexpr uint16_t kSlideListWithText = 0x0FF0;
constexpr int kMaxDepth = 32;

uint16_t Get16(std::string_view s, size_t at) { return LoadLe16(s.data() + at); }
uint32_t Get32(std::string_view s, size_t at) { return LoadLe32(s.data() + at); }

void AddLine(std::string& text, std::string line, size_t maxBytes) {
  // Inside a record, CR and vertical tab end lines.
  for (char& c : line)
    if (c == '\r' || c == 0x0B) c = '\n';
  if (text.size() >= maxBytes) return;
  if (line.size() > maxBytes - text.size()) line.resize(maxBytes - text.size());
  text += line;
  if (text.size() < maxBytes) text += '\n';
}

// Walks the records of one container; false when a record overruns it.
bool Walk(std::string_view data, int depth, std::string& text, size_t maxBytes) {
  size_t p = 0;
  while (p + 8 <= data.size()) {
    if (text.size() >= maxBytes) return true;
    uint16_t verInstance = Get16(data, p);
    uint16_t type = Get16(data, p + 2);
    uint32_t length = Get32(data, p + 4);
    p += 8;
    bool cut = length > data.size() - p;
    std::string_view body = data.substr(p, cut ? data.size() - p : length);
    p += body.size();
    if (cut && (verInstance & 0x0F) != 0x0F) return false;
    if ((verInstance & 0x0F) == 0x0F) {
      // A cut container still gives the records it holds.
      // Masters and notes are not the slides' text.
      uint16_t instance = verInstance >> 4;
      if (type == kMainMaster || type == kNotes || (type == kSlideListWithText && instance != 0)) continue;
      if (depth >= kMaxDepth || !Walk(body, depth + 1, text, maxBytes) || cut) return false;
    } else if (type == kTextCharsAtom) {
      std::string line;
      for (size_t i = 0; i + 1 < body.size(); i += 2) {
        char16_t unit = Get16(body, i);
        unsigned char b = unit < 0x80 ? static_cast<unsigned char>(unit) : UnicodeToAnsi(unit);
        line.push_back((b == '?' && unit != u'?') ? ' ' : static_cast<char>(b));
      }
      AddLine(text, line, maxBytes);
    } else if (type == kTextBytesAtom) {
      AddLine(text, std::string(body), maxBytes);
    }
  }
  return data.size() - p < 8;
}

}  // namespace

PowerPointResult ReadPowerPointText(CompoundFile& file, std::string& text, size_t maxBytes) {
  if (file.Find("EncryptedSummary") >= 0) return PowerPointResult::kPasswordProtected;
  std::string stream;
  int entry = file.Find("PowerPoint Document");
  if (entry < 0) return PowerPointResult::kNoPresentation;
  bool whole = file.ReadStream(entry, stream);
  bool walked = Walk(stream, 0, text, maxBytes);
  return whole && walked ? PowerPointResult::kOk : PowerPointResult::kDamaged;
}

}  // namespace quilor
