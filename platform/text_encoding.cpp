#include "platform/text_encoding.h"

#include <cstring>

namespace quilor {

namespace {
constexpr char16_t kHigh[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}
}  // namespace

char32_t Cp1252ToCodePoint(unsigned char c) {
  if (c >= 0x80 && c < 0xA0) return kHigh[c - 0x80];
  return c;
}

const unsigned char* Cp1252OfUnits() {
  struct Table {
    unsigned char map[65536];
    Table() {
      std::memset(map, '?', sizeof map);
      for (int u = 0; u < 0x80; ++u) map[u] = static_cast<unsigned char>(u);
      for (int u = 0xA0; u < 0x100; ++u) map[u] = static_cast<unsigned char>(u);
      // The undefined bytes (kHigh keeps their own value) take no unit.
      for (int i = 0; i < 32; ++i)
        if (kHigh[i] != 0x80 + i) map[kHigh[i]] = static_cast<unsigned char>(0x80 + i);
    }
  };
  static const Table table;
  return table.map;
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  // Runs of ASCII, nearly all of a text, are the same in both: copied whole.
  for (size_t i = 0; i < text.size();) {
    size_t ascii = i;
    while (ascii < text.size() && static_cast<unsigned char>(text[ascii]) < 0x80) ++ascii;
    out.append(text.data() + i, ascii - i);
    if (ascii == text.size()) break;
    AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(text[ascii])));
    i = ascii + 1;
  }
  return out;
}

bool NextUtf8CodePoint(std::string_view text, size_t& at, char32_t& cp) {
  const unsigned char c = static_cast<unsigned char>(text[at]);
  if (c < 0x80) {
    cp = c;
    ++at;
    return true;
  }
  const size_t length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
  bool valid = length > 0 && at + length <= text.size();
  char32_t value = length == 2 ? c & 0x1F : length == 3 ? c & 0x0F : c & 0x07;
  for (size_t k = 1; valid && k < length; ++k) {
    const unsigned char t = static_cast<unsigned char>(text[at + k]);
    valid = (t & 0xC0) == 0x80;
    value = (value << 6) | (t & 0x3F);
  }
  if (valid) {
    const char32_t minimum = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    valid = value >= minimum && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF);
  }
  if (!valid) {
    ++at;
    return false;
  }
  cp = value;
  at += length;
  return true;
}

int Cp1252ByteOf(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int k = 0; k < 32; ++k)
    if (kHigh[k] == cp) return 0x80 + k;
  return -1;
}

std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    const int byte = NextUtf8CodePoint(text, i, cp) ? Cp1252ByteOf(cp) : -1;
    out += byte < 0 ? '?' : static_cast<char>(byte);
  }
  return out;
}

std::string DisplayFileName(std::string_view name) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(name.size());
  auto escapeByte = [&](unsigned char c) {
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 15];
  };
  for (size_t i = 0; i < name.size();) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c == '\t') out += "\\t";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\\') out += "\\\\";
    else if (c < 0x20 || c == 0x7F) escapeByte(c);
    if (c < 0x80) {
      if (c >= 0x20 && c != 0x7F && c != '\\') out += static_cast<char>(c);
      ++i;
      continue;
    }
    // A multi-byte character is kept only when it is well formed and is no
    // C1 control (U+0080..U+009F).
    size_t next = i;
    char32_t cp = 0;
    if (NextUtf8CodePoint(name, next, cp) && !(cp >= 0x80 && cp <= 0x9F)) {
      out.append(name.substr(i, next - i));
      i = next;
    } else {
      escapeByte(c);
      ++i;
    }
  }
  return out;
}

}  // namespace quilor
