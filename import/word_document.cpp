#include "import/word_document.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

#include "core/chartables.h"
#include "platform/byte_order.h"
#include "core/messages.h"
#include "platform/compound_file.h"
#include "platform/text_encoding.h"

namespace quilor {

constexpr int kMsgWordFileNotFound = 5400;
constexpr int kMsgWordNotValid = 5401;
constexpr int kMsgWordPieceBounds = 5402;
constexpr int kMsgWordPassword = 5403;
constexpr int kMsgWordDamaged = 5404;

namespace {

uint16_t Get16(const std::string& s, size_t at) { return LoadLe16(s.data() + at); }
uint32_t Get32(const std::string& s, size_t at) { return LoadLe32(s.data() + at); }

std::string WithName(int message, const std::string& name) {
  std::string text = GetMessageText(message);
  size_t p = text.find("%s");
  if (p != std::string::npos) text.replace(p, 2, name);
  return text;
}

[[noreturn]] void Raise(WordErrorKind kind, int message, const std::string& name) {
  throw WordDocumentError(kind, WithName(message, name));
}

// UTF-16 unit -> byte of a Windows code page; 0 where the page has no byte.
class CodePageMap {
 public:
  explicit CodePageMap(int codePage) {
    if (codePage == 1252) return;
    std::string name = "CP" + std::to_string(codePage);
    iconv_t cd = iconv_open("UTF-16LE", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return;
    for (int b = 0x80; b < 0x100; ++b) {
      char in = static_cast<char>(b);
      char out[8];
      char* ip = &in;
      char* op = out;
      size_t il = 1, ol = sizeof out;
      if (iconv(cd, &ip, &il, &op, &ol) != static_cast<size_t>(-1) && op - out == 2) {
        char16_t unit =
            static_cast<char16_t>(static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
        map_[unit] = static_cast<unsigned char>(b);
      }
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    own_ = true;
  }
  unsigned char Map(char16_t unit) const {
    if (unit < 0x80) return static_cast<unsigned char>(unit);
    if (!own_) {
      unsigned char b = UnicodeToAnsi(unit);
      // UnicodeToAnsi gives '?' for units it lacks.
      return (b == '?' && unit != u'?') ? 0 : b;
    }
    auto it = map_.find(unit);
    return it == map_.end() ? 0 : it->second;
  }

 private:
  bool own_ = false;
  std::map<char16_t, unsigned char> map_;
};

const CodePageMap& MapOf(int codePage) {
  static std::mutex lock;
  static std::map<int, std::unique_ptr<CodePageMap>> maps;
  std::lock_guard<std::mutex> guard(lock);
  auto& slot = maps[codePage];
  if (!slot) slot = std::make_unique<CodePageMap>(codePage);
  return *slot;
}

struct Piece {
  uint32_t cpStart, cpEnd;
  uint32_t fc;
  bool eightBit;
};

// Story counts of the file information block, in story order.
enum Story { kMain, kFootnote, kHeader, kMacro, kAnnotation, kEndnote, kTextBox, kHeaderTextBox, kStoryCount };

// A file that is no compound file is not a Word document; one that is, but
// whose sectors cannot all be found (a file cut short, a damaged table), is a
// damaged document.
[[noreturn]] void RaiseOpenError(const CompoundFile& file, const std::string& name) {
  if (file.Damaged()) Raise(WordErrorKind::kDamaged, kMsgWordDamaged, name);
  Raise(WordErrorKind::kNotWordDocument, kMsgWordNotValid, name);
}

}  // namespace

int CodePageOfLanguage(uint16_t lid) {
  switch (lid) {
    case 0x0C1A:
    case 0x1C1A:
    case 0x281A:
    case 0x201A: return 1251;  // Serbian and Bosnian Cyrillic
    default: break;
  }
  switch (lid & 0x3FF) {
    case 0x05:
    case 0x0E:
    case 0x15:
    case 0x18:
    case 0x1A:
    case 0x1B:
    case 0x1C:
    case 0x24: return 1250;
    case 0x02:
    case 0x19:
    case 0x22:
    case 0x23:
    case 0x2F:
    case 0x3F:
    case 0x40:
    case 0x44:
    case 0x50: return 1251;
    case 0x1F:
    case 0x2C:
    case 0x43: return 1254;
    case 0x0D: return 1255;
    case 0x01:
    case 0x20:
    case 0x29: return 1256;
    case 0x25:
    case 0x26:
    case 0x27: return 1257;
    case 0x1E: return 874;
    default: return 1252;
  }
}

void TMSWordDocument::Clear() {
  for (auto* list : {&MainText, &Macros, &Footnotes, &Headers, &Annotations, &Endnotes, &HeaderTextBoxes})
    list->clear();
  SummaryInformation = TSMWordSummaryInformation();
  docVersion_ = 0;
}

void TextLines::clear() {
  text_.clear();
  text_.shrink_to_fit();
  count_ = 0;
}

void TextLines::push_back(std::string_view line) {
  const size_t needed = line.size() + (count_ ? 2 : 0);
  if (text_.size() + needed > kMaxBytes) return;
  if (count_) text_ += "\r\n";
  text_ += line;
  ++count_;
}

std::string TextLines::operator[](size_t i) const {
  size_t start = 0;
  for (size_t k = 0; k < i && start != std::string::npos; ++k) {
    start = text_.find("\r\n", start);
    if (start != std::string::npos) start += 2;
  }
  if (i >= count_ || start == std::string::npos) return std::string();
  const size_t end = text_.find("\r\n", start);
  return text_.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string TextLines::TakeJoined() {
  std::string out = std::move(text_);
  clear();
  return out;
}

std::vector<std::string> TextLines::ToVector() const {
  std::vector<std::string> lines;
  if (count_ == 0) return lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text_.find("\r\n", start);
    lines.push_back(text_.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return lines;
}

void TMSWordDocument::SetFileName(const std::string& name) {
  if (name == fileName_) return;
  fileName_ = name;
  Read();
}

void TMSWordDocument::Read() {
  Clear();
  std::error_code ec;
  if (fileName_.empty() || !std::filesystem::is_regular_file(fileName_, ec))
    Raise(WordErrorKind::kNotFound, kMsgWordFileNotFound, fileName_);
  CompoundFile file;
  if (!file.OpenFile(fileName_)) RaiseOpenError(file, fileName_);
  ReadCompound(file, fileName_);
}

void TMSWordDocument::ReadFromMemory(std::string_view data, const std::string& name) {
  Clear();
  CompoundFile file;
  if (!file.Open(data)) RaiseOpenError(file, name);
  ReadCompound(file, name);
}

void TMSWordDocument::ReadCompound(CompoundFile& file, const std::string& name) {
  if (OnBeforeExecute) OnBeforeExecute();
  for (int i : file.Children(CompoundFile::kRoot)) {
    const CompoundEntry& e = file.Entries()[i];
    std::string bytes;
    if (e.name == "WordDocument" && e.IsStream()) {
      if (!file.ReadStream(i, bytes)) Raise(WordErrorKind::kDamaged, kMsgWordDamaged, name);
      ReadWordStream(file, bytes, name);
    } else if (e.name == "Macros" && e.IsStream()) {
      if (file.ReadStream(i, bytes)) AddText(Macros, bytes);
    } else if (e.name.size() > 1 && e.name.substr(1) == "SummaryInformation" && e.IsStream()) {
      if (file.ReadStream(i, bytes)) ReadSummary(bytes);
    }
  }
  if (OnAfterExecute) OnAfterExecute();
}

void TMSWordDocument::ReadWordStream(CompoundFile& file, const std::string& doc, const std::string& name) {
  if (doc.size() < 0x60) Raise(WordErrorKind::kNotWordDocument, kMsgWordNotValid, name);
  uint16_t ident = Get16(doc, 0);
  uint16_t nFib = Get16(doc, 2);
  if (ident == 0x37FE) docVersion_ = 5;
  else if (nFib <= 100) docVersion_ = 2;
  else if (nFib == 101) docVersion_ = 6;
  else if (nFib == 103) docVersion_ = 0;
  else if (nFib == 104) docVersion_ = 7;
  else docVersion_ = 8;
  if (ident != 0xA5EC && ident != 0xA5DC) Raise(WordErrorKind::kNotWordDocument, kMsgWordNotValid, name);
  uint16_t flags = Get16(doc, 0x0A);
  if (flags & 0x0100) Raise(WordErrorKind::kPasswordProtected, kMsgWordPassword, name);
  bool farEast = flags & 0x4000;
  uint16_t lid = Get16(doc, 0x06);
  uint32_t fcMin = Get32(doc, 0x18);
  uint32_t fcMac = Get32(doc, 0x1C);

  bool modern = nFib >= 150;  // Word 97 and later: variable-length block and a table stream
  std::array<uint32_t, kStoryCount> ccp{};
  uint32_t fcClx = 0, lcbClx = 0;
  const std::string* table = &doc;
  std::string tableBytes;
  if (modern) {
    size_t pos = 0x20;
    uint16_t csw = Get16(doc, pos);
    if (pos + 2 + csw * 2 + 2 > doc.size()) Raise(WordErrorKind::kNotWordDocument, kMsgWordNotValid, name);
    if (csw >= 14) lid = farEast ? Get16(doc, pos + 2 + 13 * 2) : lid;
    pos += 2 + csw * 2;
    uint16_t cslw = Get16(doc, pos);
    size_t lw = pos + 2;
    if (cslw < 11 || lw + cslw * 4 + 2 > doc.size()) Raise(WordErrorKind::kNotWordDocument, kMsgWordNotValid, name);
    for (int s = 0; s < kStoryCount; ++s) ccp[s] = Get32(doc, lw + 12 + 4 * s);
    pos = lw + cslw * 4;
    uint16_t pairs = Get16(doc, pos);
    size_t fcLcb = pos + 2;
    if (pairs > 33 && fcLcb + 34 * 8 <= doc.size()) {
      fcClx = Get32(doc, fcLcb + 33 * 8);
      lcbClx = Get32(doc, fcLcb + 33 * 8 + 4);
    }
    std::string tableName = (flags & 0x0200) ? "1Table" : "0Table";
    if (lcbClx > 0) {
      if (!file.ReadStream(tableName, tableBytes)) Raise(WordErrorKind::kDamaged, kMsgWordDamaged, name);
      table = &tableBytes;
    }
  } else {
    if (doc.size() < 0x1AA) Raise(WordErrorKind::kNotWordDocument, kMsgWordNotValid, name);
    for (int s = 0; s < kStoryCount; ++s) ccp[s] = Get32(doc, 0x34 + 4 * s);
    fcClx = Get32(doc, 0x1A2);
    lcbClx = Get32(doc, 0x1A6);
  }
  const CodePageMap& map = MapOf(CodePageOfLanguage(lid));

  // The piece table, from the complex part of the document.
  std::vector<Piece> pieces;
  if (lcbClx > 0) {
    if (fcClx > table->size() || lcbClx > table->size() - fcClx)
      Raise(WordErrorKind::kPieceBounds, kMsgWordPieceBounds, name);
    size_t p = fcClx, end = static_cast<size_t>(fcClx) + lcbClx;
    while (p < end && (*table)[p] == 1) {  // property modifiers of fast-saved documents are passed over
      if (p + 3 > end) Raise(WordErrorKind::kPieceBounds, kMsgWordPieceBounds, name);
      p += 3 + Get16(*table, p + 1);
    }
    if (p + 5 > end || (*table)[p] != 2) Raise(WordErrorKind::kPieceBounds, kMsgWordPieceBounds, name);
    uint32_t lcb = Get32(*table, p + 1);
    p += 5;
    if (lcb < 16 || lcb > end - p) Raise(WordErrorKind::kPieceBounds, kMsgWordPieceBounds, name);
    size_t n = (lcb - 4) / 12;
    size_t pcd = p + (n + 1) * 4;
    for (size_t i = 0; i < n; ++i) {
      uint32_t a = Get32(*table, p + 4 * i), b = Get32(*table, p + 4 * (i + 1));
      if (b < a) Raise(WordErrorKind::kPieceBounds, kMsgWordPieceBounds, name);
      uint32_t fc = Get32(*table, pcd + 8 * i + 2);
      Piece piece{a, b, fc, false};
      if (modern && (fc & 0x40000000)) {
        piece.eightBit = true;
        piece.fc = (fc & ~0x40000000u) / 2;
      } else if (!modern) {
        piece.eightBit = true;
      }
      pieces.push_back(piece);
    }
  } else {
    // One run of 8-bit characters from fcMin.
    uint32_t total = 0;
    for (uint32_t c : ccp) total = c > UINT32_MAX - total ? UINT32_MAX : total + c;
    if (total == 0) total = fcMac > fcMin ? fcMac - fcMin : 0;
    pieces.push_back({0, total, fcMin, true});
  }

  // Each story is the range of character positions that follows the previous one.
  TextLines* lists[kStoryCount] = {&MainText,    &Footnotes, &Headers, nullptr,
                                   &Annotations, &Endnotes,  nullptr,  &HeaderTextBoxes};
  if (!modern || ccp[kMain] == 0) {
    // Very old files may give no count: the whole text is the main text.
    if (ccp[kMain] == 0) ccp[kMain] = pieces.empty() ? 0 : pieces.back().cpEnd;
  }
  size_t budget = kMaxTextBytes;
  uint64_t cp = 0;
  for (int s = 0; s < kStoryCount; ++s) {
    uint64_t from = cp, to = cp + ccp[s];
    cp = to;
    if (!lists[s] || to == from) continue;
    std::string raw;
    raw.reserve(static_cast<size_t>(std::min<uint64_t>(to - from, budget)));
    bool failed = false;
    for (const Piece& piece : pieces) {
      uint64_t a = std::max<uint64_t>(from, piece.cpStart), b = std::min<uint64_t>(to, piece.cpEnd);
      if (a >= b) continue;
      uint64_t width = piece.eightBit ? 1 : 2;
      uint64_t offset = piece.fc + (a - piece.cpStart) * width;
      uint64_t count = std::min<uint64_t>(b - a, budget);
      if (offset > doc.size() || count * width > doc.size() - offset) {
        failed = true;
        break;
      }
      size_t o = static_cast<size_t>(offset);
      if (piece.eightBit) {
        raw.append(doc, o, static_cast<size_t>(count));
      } else {
        for (uint64_t k = 0; k < count; ++k) {
          char16_t unit = Get16(doc, o + 2 * k);
          if (unit < 0x20) {
            raw.push_back(static_cast<char>(unit));
          } else {
            unsigned char byte = map.Map(unit);
            raw.push_back(byte ? static_cast<char>(byte) : ' ');  // unmappable: a space, never glue
          }
        }
      }
      budget -= static_cast<size_t>(count);
      if (budget == 0) break;
    }
    AddText(*lists[s], raw);
    if (failed) Raise(WordErrorKind::kPieceBounds, kMsgWordPieceBounds, name);
    if (budget == 0) break;
  }
}

void TMSWordDocument::AddText(TextLines& list, const std::string& raw) {
  // A paragraph mark becomes a line break of two bytes: room for them at once.
  list.reserve(raw.size() * 2);
  std::string line;
  auto endLine = [&]() {
    list.push_back(line);
    line.clear();
  };
  if (!ConvertSysCharacters) {
    for (char c : raw) {
      if (c == '\r') endLine();
      else line.push_back(c);
    }
    if (!line.empty()) endLine();
    return;
  }
  // Field instructions are dropped, field results kept; nesting is tracked,
  // with the number of open fields still in their instructions.
  std::vector<bool> inInstruction;
  constexpr size_t kMaxFieldDepth = 256;
  size_t deepFields = 0, hiddenFields = 0;
  char previous = 0;
  auto notify = [&](int kind, char c) {
    if (OnConvertSysChar) OnConvertSysChar(kind, line, c);
  };
  for (char c : raw) {
    unsigned char u = static_cast<unsigned char>(c);
    switch (u) {
      case 0x13:
        if (inInstruction.size() < kMaxFieldDepth) {
          inInstruction.push_back(true);
          ++hiddenFields;
        } else {
          ++deepFields;
        }
        notify(kSysCharFieldBegin, c);
        break;
      case 0x14:
        if (deepFields == 0 && !inInstruction.empty() && inInstruction.back()) {
          inInstruction.back() = false;
          --hiddenFields;
        }
        notify(kSysCharRemoved, c);
        break;
      case 0x15:
        if (deepFields > 0) --deepFields;
        else if (!inInstruction.empty()) {
          if (inInstruction.back()) --hiddenFields;
          inInstruction.pop_back();
        }
        notify(kSysCharFieldEnd, c);
        break;
      default:
        if (hiddenFields > 0 || deepFields > 0) break;
        switch (u) {
          case 0: break;
          case 1:
          case 2:
          case 3:
          case 5:
          case 6:
          case 8:
          case 31:
          case 34: notify(kSysCharRemoved, c); break;
          case 7:
            if (previous == 7) {
              notify(kSysCharRowEnd, c);
              endLine();
            } else {
              notify(kSysCharCellSpace, c);
              line.push_back(' ');
            }
            break;
          case 9:
            notify(kSysCharRemoved, c);
            line.push_back('\t');
            break;
          case 11:
          case 12:  // line, page and section breaks end the line
          case 13:
            notify(kSysCharParagraph, c);
            endLine();
            break;
          default: line.push_back(c);
        }
    }
    // A cell mark only ends a row when it directly follows another.
    previous = (u == 7 && previous != 7) ? 7 : (u == 7 ? 0 : c);
  }
  if (!line.empty()) endLine();
}

void TMSWordDocument::ReadSummary(const std::string& s) {
  if (s.size() < 48) return;
  uint32_t section = Get32(s, 44);
  if (section > s.size() || s.size() - section < 8) return;
  uint32_t count = Get32(s, section + 4);
  count = std::min<uint32_t>(count, static_cast<uint32_t>((s.size() - section - 8) / 8));
  auto fileTime = [&](size_t at) -> int64_t {
    uint64_t t = static_cast<uint64_t>(Get32(s, at)) | (static_cast<uint64_t>(Get32(s, at + 4)) << 32);
    if (t < 116444736000000000ull) return 0;
    int64_t seconds = static_cast<int64_t>((t - 116444736000000000ull) / 10000000ull);
    return seconds - seconds % 2;
  };
  TSMWordSummaryInformation& info = SummaryInformation;
  for (uint32_t k = 0; k < count; ++k) {
    uint32_t id = Get32(s, section + 8 + 8 * k);
    uint64_t at = static_cast<uint64_t>(section) + Get32(s, section + 12 + 8 * k);
    if (at + 8 > s.size()) continue;
    uint32_t type = Get32(s, static_cast<size_t>(at));
    size_t v = static_cast<size_t>(at) + 4;
    std::string text;
    int32_t number = 0;
    int64_t time = 0;
    if (type == 30) {
      uint32_t n = Get32(s, v);
      if (n > s.size() - v - 4) continue;
      text.assign(s, v + 4, n);
      while (!text.empty() && text.back() == '\0') text.pop_back();
    } else if (type == 3) {
      number = static_cast<int32_t>(Get32(s, v));
    } else if (type == 64) {
      if (v + 8 > s.size()) continue;
      time = fileTime(v);
      uint64_t raw = static_cast<uint64_t>(Get32(s, v)) | (static_cast<uint64_t>(Get32(s, v + 4)) << 32);
      number = static_cast<int32_t>(std::min<uint64_t>(raw / 600000000ull, INT32_MAX));
    } else {
      continue;
    }
    switch (id) {
      case 2: info.Title = text; break;
      case 3: info.Subject = text; break;
      case 4: info.Author = text; break;
      case 5: info.Keywords = text; break;
      case 6: info.Comments = text; break;
      case 7: info.Template = text; break;
      case 8: info.LastAuthor = text; break;
      case 9: info.RevNumber = text; break;
      case 10: info.EditTime = number; break;
      case 11: info.LastPrinted = time; break;
      case 12: info.Created = time; break;
      case 13: info.LastSaved = time; break;
      case 14: info.PageCount = number; break;
      case 15: info.WordCount = number; break;
      case 16: info.CharCount = number; break;
      default: break;
    }
  }
}

}  // namespace quilor
