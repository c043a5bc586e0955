#include "core/chartables.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "platform/text_encoding.h"

namespace quilor {

namespace {

constexpr unsigned char kMacHigh[128] = {
    0xc4, 0xc5, 0xc7, 0xc9, 0xd1, 0xd6, 0xdc, 0xe1, 0xe0, 0xe2, 0xe4, 0xe3, 0xe5, 0xe7, 0xe9, 0xe8, 0xea, 0xeb, 0xed,
    0xec, 0xee, 0xef, 0xf1, 0xf3, 0xf2, 0xf4, 0xf6, 0xf5, 0xfa, 0xf9, 0xfb, 0xfc, 0x20, 0xb0, 0xa2, 0xa3, 0xa7, 0x2e,
    0xb6, 0xdf, 0xae, 0xa9, 0xae, 0xb4, 0xa8, 0xf7, 0xc6, 0xf8, 0x7e, 0xb1, 0x3c, 0x3e, 0xa5, 0xb5, 0xf0, 0x53, 0x50,
    0x70, 0x53, 0xaa, 0x6f, 0x6f, 0xe6, 0xf8, 0xbf, 0x69, 0xac, 0x52, 0x66, 0x7e, 0xf0, 0xab, 0xbb, 0x2e, 0x20, 0xc0,
    0xc3, 0xd5, 0x8c, 0x9c, 0x2d, 0x5f, 0x22, 0x22, 0x22, 0x22, 0xf7, 0x20, 0xff, 0xff, 0x2f, 0xa4, 0x3c, 0x3e, 0x66,
    0x66, 0x20, 0x2e, 0x2c, 0x22, 0x25, 0xc2, 0xca, 0xc1, 0xcb, 0xc8, 0xcd, 0xce, 0xcf, 0xcc, 0xd3, 0xd4, 0x20, 0xd2,
    0xda, 0xdb, 0xd9, 0x31, 0x5e, 0x7e, 0x2d, 0x20, 0x2e, 0xb0, 0xb8, 0x22, 0x20, 0x20};

constexpr unsigned char kCollation[256] = {
    0x00, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x02, 0x02, 0x01, 0x02, 0x01, 0x01, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03,
    0x03, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e,
    0x0f, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x1b, 0x1c, 0x1d, 0x01, 0x01, 0x01, 0x01,
    0x03, 0x01, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f, 0x10, 0x11, 0x12, 0x13, 0x14,
    0x15, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x1b, 0x1c, 0x1d, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x02, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x03, 0x03,
    0x03, 0x01, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x06, 0x1e, 0x1f, 0x08, 0x08, 0x0c, 0x0c, 0x0c, 0x0c, 0x07,
    0x11, 0x12, 0x12, 0x12, 0x12, 0x12, 0x01, 0x01, 0x18, 0x18, 0x18, 0x18, 0x1c, 0x04, 0x05, 0x04, 0x04, 0x04, 0x04,
    0x04, 0x04, 0x04, 0x06, 0x1e, 0x1f, 0x08, 0x08, 0x0c, 0x0c, 0x0c, 0x0c, 0x07, 0x11, 0x12, 0x12, 0x12, 0x12, 0x12,
    0x01, 0x01, 0x18, 0x18, 0x18, 0x18, 0x1c, 0x01, 0x1c};

constexpr int8_t kStyleNorms[kStyleNormCount] = {
    91, 91, 91, 46, 35, 20, 1,  0,  0,  68, 1,  2,  21, 21, 38, 70, 3,  25, 21, 5,  5,  9,  1,  56, 5,  14,
    10, 5,  1,  1,  99, 7,  16, 15, 11, 7,  1,  18, 38, 73, 99, 99, 99, 91, 91, 91, 91, 91, 91, 91, 91, 91,
    91, 99, 99, 91, 91, 91, 10, 91, 91, 41, 46, 16, 99, 99, 21, 21, 21, 3,  2,  42, 3,  3,  5,  5,  0};

WorkingTables MakeDefaults() {
  WorkingTables t{};
  auto set = [&](int from, int to, unsigned char cls) {
    for (int c = from; c <= to; ++c) t.charClass[c] = cls;
  };
  // Letters.
  t.charClass[0x24] = t.charClass[0x26] = kCharLetter;  // '$' and '&'
  set('A', 'Z', kCharLetter);
  set('a', 'z', kCharLetter);
  for (int c : {0x80, 0x8C, 0x9C, 0xA3, 0xA5}) t.charClass[c] = kCharLetter;
  set(0xC0, 0xF6, kCharLetter);
  set(0xF8, 0xFF, kCharLetter);
  t.charClass[0x5F] = kCharUnderscore;  // '_'
  // Punctuation.
  set(0x21, 0x23, kCharPunctuation);
  t.charClass[0x25] = kCharPunctuation;
  set(0x27, 0x29, kCharPunctuation);
  set(0x2B, 0x2E, kCharPunctuation);
  set(0x3A, 0x40, kCharPunctuation);
  for (int c : {0x5B, 0x5D, 0x60, 0x7B, 0x7D, 0x91, 0x92, 0xA1, 0xA2, 0xA4, 0xA7, 0xB0, 0xB4, 0xB8, 0xBF, 0xF7})
    t.charClass[c] = kCharPunctuation;
  t.charClass[0x0A] = t.charClass[0x0D] = kCharLineEnd;  // LF and CR
  set('0', '9', kCharDigit);

  // Letter groups, used to choose the lexicon's sub-tries.
  auto group = [&](char from, char to, unsigned char g) {
    for (int c = from; c <= to; ++c) {
      t.letterGroup[c] = g;
      t.letterGroup[c + 32] = g;
    }
  };
  group('A', 'A', 1);
  group('B', 'B', 2);
  group('C', 'D', 3);
  group('E', 'F', 4);
  group('G', 'G', 5);
  group('H', 'K', 6);
  group('L', 'N', 7);
  group('O', 'P', 8);
  group('Q', 'S', 9);
  group('T', 'Z', 10);
  for (int c = 0xC0; c <= 0xF6; ++c) t.letterGroup[c] = 10;
  for (int c = 0xF9; c <= 0xFF; ++c) t.letterGroup[c] = 10;

  t.languageByte = 105;
  for (int c = 0; c < 0x7F; ++c) t.macToAnsi[c] = static_cast<unsigned char>(c);
  t.macToAnsi[0x7F] = ' ';
  for (int c = 0; c < 128; ++c) t.macToAnsi[0x80 + c] = kMacHigh[c];
  // The inverted exclamation mark is punctuation, not the letter i, and the
  // right single quotation mark is the apostrophe of contractions.
  t.macToAnsi[0xC1] = 0xA1;
  t.macToAnsi[0xD5] = 0x92;
  std::memcpy(t.collation, kCollation, sizeof kCollation);
  std::memcpy(t.styleNorms, kStyleNorms, sizeof kStyleNorms);
  return t;
}

}  // namespace

const WorkingTables& DefaultWorkingTables() {
  static const WorkingTables defaults = MakeDefaults();
  return defaults;
}

WorkingTables Tables = DefaultWorkingTables();

void ResetWorkingTables() { Tables = DefaultWorkingTables(); }

void LowerCaseChars(char* buffer, int n) {
  for (int i = 0; i < n; ++i) buffer[i] = static_cast<char>(LowerCaseMap[static_cast<unsigned char>(buffer[i])]);
}

void UpperCaseChars(char* buffer, int n) {
  for (int i = 0; i < n; ++i) buffer[i] = static_cast<char>(UpperCaseMap[static_cast<unsigned char>(buffer[i])]);
}

void LowerCaseString(char* text) {
  for (; *text; ++text) *text = static_cast<char>(LowerCaseMap[static_cast<unsigned char>(*text)]);
}

void LowerCaseString(std::string& text) { LowerCaseChars(text.data(), static_cast<int>(text.size())); }

void UpperCaseCharAt(char* buffer, int i) {
  buffer[i] = static_cast<char>(UpperCaseMap[static_cast<unsigned char>(buffer[i])]);
}

void NormaliseKey(char* word) {
  char copy[81];
  size_t len = strnlen(word, 80);
  std::memcpy(copy, word, len);
  copy[len] = '\0';
  LowerCaseChars(copy, static_cast<int>(len));
  size_t out = 0;
  for (size_t i = 0; i < len && out < 80; ++i) {
    unsigned char c = static_cast<unsigned char>(copy[i]);
    unsigned char cls = Tables.charClass[c];
    if (cls == kCharLetter || cls == kCharDigit) {
      word[out++] = static_cast<char>(c);
      continue;
    }
    if (c != '-') copy[i] = '_';
    bool append = i == 0 ? copy[i] != '_' : (copy[i - 1] != '_' && copy[i - 1] != '-');
    if (append) word[out++] = copy[i];
  }
  word[out] = '\0';
  while (out > 0 && word[out - 1] == '_') word[--out] = '\0';
}

bool NormaliseExpression(std::string& text, bool keyMode) {
  std::string in = text.substr(0, 511);
  std::string out;
  out.reserve(in.size());
  for (char ch : in) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20) continue;
    if (c == ' ') {
      char blank = keyMode ? '_' : ' ';
      if (!out.empty() && out.back() != blank) out += blank;
      continue;
    }
    if (c == '_') {
      if (!out.empty() && out.back() != '_') out += '_';
      continue;
    }
    if (keyMode && std::strchr("!\"'()*.:;?\\", ch)) continue;
    out += ch;
  }
  bool complete = out.size() == in.size();
  if (out.size() > 1)
    while (!out.empty() && (out.back() == ' ' || out.back() == '_')) out.pop_back();
  if (out.size() > 79) out.resize(79);
  text = out;
  return complete;
}

bool FoldAccents(char* word) {
  char copy[80];
  size_t len = strnlen(word, 79);
  std::memcpy(copy, word, len);
  size_t out = 0;
  bool folded = false;
  for (size_t i = 0; i < len && out < 78; ++i) {
    unsigned char c = static_cast<unsigned char>(copy[i]);
    char f = 0;
    if (c == 0xDF) {
      word[out++] = 's';
      if (out < 78) word[out++] = 's';
      folded = true;
      continue;
    }
    if (c >= 0xE0 && c <= 0xE5) f = 'a';
    else if (c == 0xE7) f = 'c';
    else if (c >= 0xE8 && c <= 0xEB) f = 'e';
    else if (c >= 0xEC && c <= 0xEF) f = 'i';
    else if (c == 0xF1) f = 'n';
    else if (c >= 0xF2 && c <= 0xF6) f = 'o';
    else if (c >= 0xF9 && c <= 0xFC) f = 'u';
    else if (c == 0xFD || c == 0xFF) f = 'y';
    if (f) {
      word[out++] = f;
      folded = true;
    } else {
      word[out++] = static_cast<char>(c);
    }
  }
  word[out] = '\0';
  return folded;
}

std::string XmlEscape(const char* text) {
  std::string out;
  for (; *text && out.size() <= 507; ++text) {
    unsigned char c = static_cast<unsigned char>(*text);
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        if (c > 127) {
          out += "&#" + std::to_string(static_cast<unsigned>(Cp1252ToCodePoint(c))) + ";";
        } else if (c < 32 || c == 127) {
          out += ' ';  // no control character is allowed in XML text
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out;
}

std::string FormatHexWithSlash(uint32_t number) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%03X", number);
  std::string s = hex;
  s.insert(2, "/");
  return s;
}

size_t Utf8ToAnsi(const char* source, size_t sourceLength, char* destination, size_t capacity) {
  if (!destination || capacity == 0) return 0;
  const auto* s = reinterpret_cast<const unsigned char*>(source);
  const unsigned char* map = Cp1252OfUnits();
  size_t out = 0;
  size_t i = 0;
  while (i < sourceLength && out + 1 < capacity) {
    unsigned char c = s[i];
    if (c < 0x80) {
      destination[out++] = static_cast<char>(map[c]);
      ++i;
      continue;
    }
    size_t len;
    uint32_t cp;
    if ((c & 0xE0) == 0xC0) {
      len = 2;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4;
      cp = c & 0x07;
    } else {
      ++i;
      continue;
    }  // a stray continuation or invalid lead byte gives nothing
    size_t k = 1;
    for (; k < len && i + k < sourceLength && (s[i + k] & 0xC0) == 0x80; ++k) cp = (cp << 6) | (s[i + k] & 0x3F);
    if (k < len) {  // missing or wrong continuation byte, or cut by the end
      i += k;
      continue;
    }
    i += len;
    destination[out++] = cp < 0xFFFF ? static_cast<char>(map[cp]) : '#';
  }
  destination[out] = '\0';
  return out + 1;
}

size_t Utf8IncompleteTail(const char* source, size_t sourceLength) {
  const auto* s = reinterpret_cast<const unsigned char*>(source);
  // Look back at most three bytes for the lead byte of the last sequence.
  for (size_t back = 1; back <= 3 && back <= sourceLength; ++back) {
    unsigned char c = s[sourceLength - back];
    if ((c & 0xC0) == 0x80) continue;  // continuation byte: keep looking
    size_t need = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
    return need > back ? back : 0;
  }
  return 0;
}

size_t WideToAnsi(const char16_t* units, char* destination, size_t n) {
  const unsigned char* map = Cp1252OfUnits();
  for (size_t i = 0; i < n; ++i) destination[i] = static_cast<char>(map[units[i]]);
  destination[n] = '\0';
  return n;
}

void SwapByteOrder(void* buffer, size_t byteCount) {
  auto* b = static_cast<unsigned char*>(buffer);
  for (size_t i = 0; i + 1 < byteCount; i += 2) std::swap(b[i], b[i + 1]);
}

void WideToUtf8(const char16_t* units, size_t n, size_t& outCount, std::string& text) {
  text.clear();
  text.reserve(3 * n);
  for (size_t i = 0; i < n; ++i) {
    char16_t u = units[i];
    if (u < 0x80) {
      text += static_cast<char>(u);
    } else if (u < 0x800) {
      text += static_cast<char>(0xC0 | (u >> 6));
      text += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      text += static_cast<char>(0xE0 | (u >> 12));
      text += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  outCount = n;
}

char DetectByteOrderMark(const unsigned char* block, size_t length) {
  if (length < 4) return 0;
  if (block[0] == 0xEF && block[1] == 0xBB && block[2] == 0xBF) return 'd';
  if (block[0] == 0xFE && block[1] == 0xFF) return 'o';
  if (block[0] == 0xFF && block[1] == 0xFE) return 'p';
  return 0;
}

}  // namespace quilor
