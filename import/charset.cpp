#include "import/charset.h"

#include <algorithm>
#include <cstring>

#include "core/chartables.h"
#include "platform/text_encoding.h"

namespace quilor {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// After "name=" (and optional blanks), skips one quote of either kind.
std::string_view ValueAfter(std::string_view text, size_t valueStart) {
  size_t p = valueStart;
  while (p < text.size() && (text[p] == ' ' || text[p] == '\t')) ++p;
  if (p < text.size() && (text[p] == '"' || text[p] == '\'')) ++p;
  return text.substr(p);
}

}  // namespace

int CharsetModeFromName(std::string_view name, int current) {
  std::string lower(name.substr(0, 12));
  LowerCaseString(lower);
  std::string_view n(lower);
  if (StartsWith(n, "iso")) return n.size() >= 9 && n.substr(4, 5) == "10646" ? kCharsetUcs : kCharsetAnsi;
  if (StartsWith(n, "utf")) {
    // The form follows the dash, or comes at once in the short names ("utf8").
    const size_t at = n.size() > 3 && (n[3] == '-' || n[3] == '_') ? 4 : 3;
    if (n.size() <= at) return kCharsetUtf16;
    return n[at] == '8' ? kCharsetUtf8 : n[at] == '4' ? kCharsetOtherUtf : kCharsetUtf16;
  }
  if (StartsWith(n, "ucs")) return kCharsetUcs;
  if (StartsWith(n, "windows")) return kCharsetAnsi;
  return current;
}

bool DetectMarkupCharset(const char* block, size_t length, int& mode) {
  if (length < 10) return false;
  std::string work(block, std::min(length, kCharsetProbeSize));
  LowerCaseString(work);
  std::string_view text(work);

  size_t meta = text.find("<meta");
  if (meta != std::string_view::npos) {
    size_t charset = text.find("charset=", meta);
    if (charset != std::string_view::npos) {
      mode = CharsetModeFromName(ValueAfter(text, charset + 8), mode);
      return true;
    }
  }
  size_t xml = text.find("<?xml");
  if (xml != std::string_view::npos) {
    // The declaration ends at "?>"; an attribute of a later element is not read.
    size_t end = text.find("?>", xml);
    std::string_view declaration = text.substr(xml, end == std::string_view::npos ? text.npos : end - xml);
    size_t encoding = declaration.find("encoding");
    size_t p = encoding == std::string_view::npos ? encoding : encoding + 8;
    while (p != std::string_view::npos && p < declaration.size() && declaration[p] == ' ') ++p;
    if (p != std::string_view::npos && p < declaration.size() && declaration[p] == '=')
      mode = CharsetModeFromName(ValueAfter(declaration, p + 1), mode);
    else mode = kCharsetUtf8;
    return true;
  }
  switch (DetectByteOrderMark(reinterpret_cast<const unsigned char*>(block), length)) {
    case 'd': mode = kCharsetUtf8; return true;
    case 'o':
    case 'p': mode = kCharsetUtf16; return true;
    default: return false;
  }
}

char DetectUtf16(const char* block, size_t length, size_t& markLength) {
  markLength = 0;
  if (length < 2) return 0;
  auto b0 = static_cast<unsigned char>(block[0]);
  auto b1 = static_cast<unsigned char>(block[1]);
  if (b0 == 0xFF && b1 == 0xFE) {
    markLength = 2;
    return 'p';
  }
  if (b0 == 0xFE && b1 == 0xFF) {
    markLength = 2;
    return 'o';
  }
  if (b0 == '<' && b1 == 0) return 'p';
  if (b0 == 0 && b1 == '<') return 'o';
  // No mark: a text of a Latin script in UTF-16 has a zero byte in most of
  // its units, always on the same side, where a one-byte text has none.
  size_t units = std::min<size_t>(length, 4096) / 2;
  if (units < 4) return 0;
  size_t evenZeros = 0, oddZeros = 0;
  for (size_t u = 0; u < units; ++u) {
    evenZeros += block[2 * u] == 0;
    oddZeros += block[2 * u + 1] == 0;
  }
  if (oddZeros * 2 >= units && evenZeros * 8 <= oddZeros) return 'p';
  if (evenZeros * 2 >= units && oddZeros * 8 <= evenZeros) return 'o';
  return 0;
}

// ---------------------------------------------------------------- UTF-8

namespace {

// Length of the sequence a lead byte begins; 0 for a byte that begins none.
size_t SequenceLength(unsigned char c) {
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return 2;
  if ((c & 0xF0) == 0xE0) return 3;
  if (c >= 0xF0 && c <= 0xF4) return 4;
  return 0;
}

// A complete sequence of length n to its Windows-1252 byte.
char DecodeSequence(const unsigned char* s, size_t n) {
  uint32_t cp = n == 2 ? s[0] & 0x1F : n == 3 ? s[0] & 0x0F : s[0] & 0x07;
  for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (s[k] & 0x3F);
  return cp < 0xFFFF ? static_cast<char>(UnicodeToAnsi(static_cast<char16_t>(cp))) : '#';
}

}  // namespace

void Utf8Decoder::Flush(std::string& output) {
  // The pending bytes from index from on did not complete a sequence: each
  // one is a Windows-1252 character of its own.
  for (size_t k = 0; k < pendingLength_; ++k) output.push_back(static_cast<char>(pending_[k]));
  pendingLength_ = 0;
}

void Utf8Decoder::Decode(const char* input, size_t length, std::string& output) {
  const auto* s = reinterpret_cast<const unsigned char*>(input);
  size_t i = 0;
  // Complete a sequence the previous block cut.
  while (pendingLength_ > 0 && i < length) {
    size_t need = SequenceLength(pending_[0]);
    if ((s[i] & 0xC0) != 0x80) {
      Flush(output);
      break;
    }
    pending_[pendingLength_++] = s[i++];
    if (pendingLength_ == need) {
      output.push_back(DecodeSequence(pending_, need));
      pendingLength_ = 0;
    }
  }
  while (i < length) {
    unsigned char c = s[i];
    if (c < 0x80) {
      output.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    size_t need = SequenceLength(c);
    if (need == 0) {
      output.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    size_t k = 1;
    while (k < need && i + k < length && (s[i + k] & 0xC0) == 0x80) ++k;
    if (k == need) {
      output.push_back(DecodeSequence(s + i, need));
      i += need;
    } else if (i + k == length) {
      // Cut by the end of the block: keep it for the next one.
      std::memcpy(pending_, s + i, k);
      pendingLength_ = k;
      i = length;
    } else {
      output.push_back(static_cast<char>(c));  // wrong continuation: the lead byte stands alone
      ++i;
    }
  }
}

void Utf8Decoder::Finish(std::string& output) {
  // An incomplete sequence at the very end: a lead byte and continuation
  // bytes, each taken as it stands.
  Flush(output);
}

// ---------------------------------------------------------------- text of binary documents

BinaryTextExtractor BinaryTextExtractor::ForWordDocument() { return BinaryTextExtractor("MSWordDoc", 128); }
BinaryTextExtractor BinaryTextExtractor::ForPowerPoint() { return BinaryTextExtractor("", 512); }
BinaryTextExtractor BinaryTextExtractor::ForOtherBinary() { return BinaryTextExtractor("", 0); }

BinaryTextExtractor::BinaryTextExtractor(std::string marker, size_t defaultSkip)
    : marker_(std::move(marker)), defaultSkip_(defaultSkip) {
  if (marker_.size() > 127) marker_.resize(127);
}

void BinaryTextExtractor::Reset() {
  headDone_ = false;
  head_.clear();
  spacesLeft_ = 0;
  run_.clear();
  oddCount_ = 0;
}

void BinaryTextExtractor::Decode(const char* input, size_t length, std::string& output) {
  if (!headDone_) {
    // The marker is looked for in the first 8,000 bytes: gather them first,
    // so the search sees the same bytes however the document is cut.
    size_t want = kMarkerSearchLimit + 11 - head_.size();
    size_t take = std::min(want, length);
    head_.append(input, take);
    input += take;
    length -= take;
    if (head_.size() < kMarkerSearchLimit + 11) return;
    TakeHead(output);
  }
  Scan(input, length, output);
}

void BinaryTextExtractor::Finish(std::string& output) {
  if (!headDone_) TakeHead(output);
  JudgeRun(output);
}

void BinaryTextExtractor::TakeHead(std::string& output) {
  headDone_ = true;
  std::string head;
  head.swap(head_);
  size_t start = 0;
  bool blank = false;
  if (!marker_.empty() && head.size() > 10) {
    size_t limit = std::min(head.size() - 1 - 10, kMarkerSearchLimit);
    std::string needle = marker_ + '\0';
    size_t hit = head.find(needle);
    if (hit != std::string::npos && hit <= limit) {
      start = hit + 10;
      blank = true;
    }
  }
  if (!blank && defaultSkip_ >= 1) {
    start = defaultSkip_;
    blank = true;
  }
  if (blank) {
    // Bytes 0 to start become spaces; scanning goes on from start.
    size_t spaces = std::min(start, head.size());
    output.append(spaces, ' ');
    if (start < head.size()) {
      head[start] = ' ';
      head.erase(0, start);
    } else {
      spacesLeft_ = start - head.size() + 1;
      head.clear();
    }
  }
  Scan(head.data(), head.size(), output);
}

void BinaryTextExtractor::Scan(const char* input, size_t length, std::string& output) {
  const auto* s = reinterpret_cast<const unsigned char*>(input);
  size_t i = 0;
  if (spacesLeft_ > 0) {
    size_t n = std::min(spacesLeft_, length);
    spacesLeft_ -= n;
    if (spacesLeft_ == 0 && n > 0) {
      // The last blanked byte is where scanning starts.
      output.append(n - 1, ' ');
      run_.push_back(' ');
      i = n;
    } else {
      output.append(n, ' ');
      return;
    }
  }
  for (; i < length; ++i) {
    unsigned char c = s[i];
    bool isBreak = (c < 32 && c != 13 && c != 10 && c != 9 && c != 7) || c == 255;
    if (isBreak) {
      // An erased run takes the break after it along.
      output.push_back(JudgeRun(output) ? ' ' : '\0');
      continue;
    }
    bool odd =
        (c > 123 || c < 32) ? (c != 224 && c != 233 && c != 241) : (c == '^' || c == '_' || c == '`' || c == '|');
    if (odd) ++oddCount_;
    run_.push_back(static_cast<char>(c));
    if (run_.size() >= kLongestRun) JudgeRun(output);
  }
}

bool BinaryTextExtractor::JudgeRun(std::string& output) {
  bool erased = run_.size() < 4 || oddCount_ * 10 > run_.size() || run_.compare(0, 3, "bjb") == 0;
  if (erased) output.append(run_.size(), ' ');
  else output += run_;
  run_.clear();
  oddCount_ = 0;
  return erased;
}

}  // namespace quilor
