#include "import/markup_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <string_view>
#include <utility>

#include "core/chartables.h"
#include "core/files.h"
#include "import/byte_scan.h"
#include "import/plain_text.h"
#include "import/word_table.h"
#include "platform/text_encoding.h"

namespace quilor {

namespace {

using EntityTable = WordTable<unsigned char, 256>;

// Named references and the Windows-1252 byte each one gives.
constexpr EntityTable::Row kEntities[] = {
    {"gt", 62},      {"lt", 60},      {"nbsp", 32},    {"amp", 38},     {"laquo", 171},  {"raquo", 187},
    {"quot", 34},    {"ccedil", 231}, {"aacute", 225}, {"eacute", 233}, {"iacute", 237}, {"oacute", 243},
    {"uacute", 250}, {"yacute", 253}, {"agrave", 224}, {"egrave", 232}, {"igrave", 236}, {"ograve", 242},
    {"ugrave", 249}, {"acirc", 226},  {"ecirc", 234},  {"icirc", 238},  {"ocirc", 244},  {"ucirc", 251},
    {"auml", 228},   {"euml", 235},   {"iuml", 239},   {"ouml", 246},   {"uuml", 252},   {"yuml", 255},
    {"ntilde", 241}, {"atilde", 227}, {"otilde", 245}, {"szlig", 223},  {"aszlig", 229}, {"aring", 229},
    {"ndash", 45},   {"mdash", 45},   {"aelig", 230},  {"lsquo", 39},   {"rsquo", 39},   {"ldquo", 34},
    {"rdquo", 34},   {"copy", 169},   {"trade", 153},  {"reg", 174},    {"euro", 128},   {"pound", 163},
    {"apos", 39},    {"yen", 165},    {"cent", 162},   {"deg", 176},    {"micro", 181},  {"curren", 164},
    {"sup1", 185},   {"sup2", 178},   {"sup3", 179},   {"frac14", 188}, {"frac12", 189}, {"frac34", 190},
    {"plusmn", 177}, {"times", 215},  {"divide", 247}, {"acute", 39},   {"sect", 167},   {"shy", 173},
    {"brvbar", 124}, {"not", 172},    {"middot", 183}, {"iexcl", 161},  {"iquest", 191}, {"oslash", 248},
    {"oelig", 156},  {"comma", 44},   {"midast", 42},  {"lcub", 123},   {"rcub", 125},   {"lbrake", 123},
    {"rbrake", 125}, {"period", 46},  {"semi", 59},    {"colon", 58},   {"excl", 33},    {"quest", 63},
    {"lpar", 40},    {"rpar", 41},    {"plus", 43}};

constexpr EntityTable kEntityTable(kEntities);

// Whether a known name is longer than name and begins with it ("plus" and "plusmn"):
// the shorter one waits for the letters that follow.
bool LongerNameBegins(std::string_view name) {
  return std::any_of(std::begin(kEntities), std::end(kEntities), [name](const EntityTable::Row& row) {
    return row.word.size() > name.size() && row.word.starts_with(name);
  });
}

// For each first byte, one bit per length of the names that begin with it:
// a reference is tried at every letter, and most tries are not names.
constexpr std::array<uint32_t, 256> MakeNameLengths() {
  std::array<uint32_t, 256> t{};
  for (const auto& row : kEntities) t[static_cast<unsigned char>(row.word[0])] |= 1u << row.word.size();
  return t;
}
constexpr auto kNameLengths = MakeNameLengths();

bool IsAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsHexDigit(unsigned char c) { return IsAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int HexValue(unsigned char c) { return IsAsciiDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; }

// A soft hyphen only marks where a word may be broken: it joins, never splits.
constexpr unsigned char kSoftHyphen = 173;

// Characters that text mode does not simply copy.
constexpr auto kSpecial = ByteSet({'\r', '\n', '&', '<', '>', 146, 180, kSoftHyphen});
// Characters that end a run of attributes in a tag.
constexpr auto kTagEnd = ByteSet({'\r', '\n', '<', '>'});

constexpr unsigned char kApostrophe = 39;

}  // namespace

unsigned char LookUpEntity(std::string_view lowerCaseName) {
  if (lowerCaseName.empty() || lowerCaseName.size() > 31 ||
      !(kNameLengths[static_cast<unsigned char>(lowerCaseName[0])] & (1u << lowerCaseName.size())))
    return 0;
  return kEntityTable.Find(lowerCaseName, 0);
}

void MarkupReader::Reset(int documentKind) {
  *this = MarkupReader();
  kind_ = documentKind;
  html_ = documentKind == kDocHtml;
  readsElements_ = documentKind == kDocHtml || documentKind == kDocXml;
}

void MarkupReader::Decode(const char* input, size_t length, std::string& output) {
  size_t before = output.size();
  inputBytes_ += length;
  if (!started_) {
    // The character set is read from the start of the document: gather it
    // first, so a small first block reads the same as a large one.
    head_.append(input, length);
    if (head_.size() >= kCharsetProbeSize) StartWithHead(output);
  } else {
    // A byte-order mark the encoding was chosen by is no text.
    size_t mark = std::min(markLeft_, length);
    markLeft_ -= mark;
    Feed(input + mark, length - mark, output);
  }
  outputBytes_ += output.size() - before;
}

void MarkupReader::Finish(std::string& output) {
  size_t before = output.size();
  if (!started_) StartWithHead(output);
  decoded_.clear();
  if (encoding_ == Encoding::kUtf8) utf8_.Finish(decoded_);
  if (encoding_ == Encoding::kUtf16) DecodeUtf16(nullptr, 0, false);
  ReadChars(decoded_.data(), decoded_.size(), output);
  if (inReference_) FinishReference(0, output);
  // Character data left open keeps the brackets it ended with.
  if (section_ == Section::kCharacterData && !inScript_) output.append(closers_, ']');
  outputBytes_ += output.size() - before;
}

void MarkupReader::ChooseEncoding(const char* head, size_t length) {
  if (started_) return;
  started_ = true;
  size_t mark = 0;
  if (char order = DetectUtf16(head, length, mark)) {
    encoding_ = Encoding::kUtf16;
    charsetMode_ = kCharsetUtf16;
    bigEndian_ = order == 'o';
  } else if (length >= 3 && std::memcmp(head, "\xEF\xBB\xBF", 3) == 0) {
    // A UTF-8 mark says more than a declaration.
    mark = 3;
    encoding_ = Encoding::kUtf8;
    charsetMode_ = kCharsetUtf8;
  } else {
    int mode = kCharsetAnsi;
    // A document that declares nothing is UTF-8 unless its start holds a byte
    // no UTF-8 text has (bytes that begin no sequence are read as ANSI anyway).
    if (!DetectMarkupCharset(head, length, mode) &&
        (kind_ == kDocXml || kind_ == kDocSgml ||
         ScanUtf8(reinterpret_cast<const unsigned char*>(head), std::min(length, kCharsetProbeSize), true) !=
             Utf8Evidence::kMalformed))
      mode = kCharsetUtf8;
    charsetMode_ = mode;
    encoding_ = mode == kCharsetUtf8 ? Encoding::kUtf8 : Encoding::kAnsi;
  }
  markLeft_ = mark;
}

void MarkupReader::StartWithHead(std::string& output) {
  std::string head;
  head.swap(head_);
  ChooseEncoding(head.data(), head.size());
  size_t mark = std::min(markLeft_, head.size());
  markLeft_ -= mark;
  Feed(head.data() + mark, head.size() - mark, output);
}

void MarkupReader::Feed(const char* input, size_t length, std::string& output) {
  switch (encoding_) {
    case Encoding::kAnsi: ReadChars(input, length, output); return;
    case Encoding::kUtf8:
      decoded_.clear();
      utf8_.Decode(input, length, decoded_);
      break;
    case Encoding::kUtf16: DecodeUtf16(input, length, true); break;
  }
  ReadChars(decoded_.data(), decoded_.size(), output);
}

void MarkupReader::DecodeUtf16(const char* input, size_t length, bool moreFollows) {
  decoded_.assign(reinterpret_cast<const char*>(carried_), carry_);
  decoded_.append(input, length);
  auto* bytes = reinterpret_cast<unsigned char*>(decoded_.data());
  decoded_.resize(DecodeUtf16Block(bytes, decoded_.size(), bigEndian_, moreFollows, carried_, carry_));
}

void MarkupReader::ReadChars(const char* text, size_t length, std::string& output) {
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  size_t i = 0;
  while (i < length) {
    if (section_ != Section::kNone) {
      i = ReadSection(s, i, length, output);
      continue;
    }
    if (!inTag_ && !inScript_ && !inReference_ && !justResolved_ && outputOn_) {
      // Plain text: copy the run up to the next character that needs a look.
      size_t j = FindStop<'\r', '\n', '&', '<', '>'>(s, i, length, kSpecial);
      output.append(text + i, j - i);
      i = j;
      if (i == length) break;
    } else if (inTag_) {
      // Inside a tag nothing is output until its end.
      size_t j = i;
      if (tagNameEnded_) {
        // Attributes: only the last one of them says whether the tag closes itself.
        j = FindStop<'\r', '\n', '<', '>'>(s, i, length, kTagEnd);
        for (size_t k = j; k > i; --k)
          if (s[k - 1] != ' ' && s[k - 1] != '\t') {
            TagChar(s[k - 1]);
            break;
          }
      } else {
        while (j < length && !kTagEnd[s[j]] && !tagNameEnded_ && inTag_) TagChar(s[j++]);
      }
      i = j;
      if (!inTag_) {
        // The tag began a comment or a character-data section; the data is
        // apart from the text before it, as after a tag.
        if (section_ == Section::kCharacterData) Emit(' ', output);
        continue;
      }
      if (i == length) break;
    }
    ReadChar(s[i++], output);
  }
}

void MarkupReader::TagChar(unsigned char c) {
  if (c == ' ' || c == '\t') {
    if (tagNameLength_ > 0) tagNameEnded_ = true;
    return;
  }
  tagHasContent_ = true;
  tagSelfClosing_ = c == '/';
  if (!tagNameEnded_ && tagNameLength_ < kTagNameLength) {
    tagName_[tagNameLength_++] = static_cast<char>(c);
    std::string_view name(tagName_, tagNameLength_);
    if (name == "!--") StartSection(Section::kComment);
    else if (name == "![CDATA[") StartSection(Section::kCharacterData);
  }
}

void MarkupReader::StartSection(Section section) {
  inTag_ = false;
  tagNameLength_ = 0;
  tagNameEnded_ = false;
  tagHasContent_ = false;
  tagSelfClosing_ = false;
  section_ = section;
  // "<!-->" and "<!--->" are empty comments: the dashes of the opening count.
  closers_ = section == Section::kComment ? 2 : 0;
}

size_t MarkupReader::ReadSection(const unsigned char* s, size_t i, size_t length, std::string& output) {
  // A comment hides all it holds, tags included, up to "-->"; a character-data
  // section is text as it stands (no tag, no reference) up to "]]>".
  const bool comment = section_ == Section::kComment;
  const unsigned char closer = comment ? '-' : ']';
  const bool keep = !comment && !inScript_;
  for (; i < length; ++i) {
    unsigned char c = s[i];
    if (c == closer) {
      ++closers_;
      continue;
    }
    if (c == '>' && closers_ >= 2) {
      if (keep) output.append(closers_ - 2, ']');
      section_ = Section::kNone;
      closers_ = 0;
      Emit(' ', output);  // ends like a tag
      return i + 1;
    }
    if (keep) {
      output.append(closers_, ']');
      Emit(c == '\r' || c == '\n' ? ' ' : c, output);
    }
    closers_ = 0;
  }
  return i;
}

void MarkupReader::Emit(unsigned char c, std::string& output) {
  if (c == kSoftHyphen) return;
  if (c == 146 || c == 180) c = kApostrophe;
  output.push_back(static_cast<char>(c));
}

void MarkupReader::EmitText(unsigned char c, std::string& output) {
  if (outputOn_) Emit(c, output);
}

void MarkupReader::ReadChar(unsigned char c, std::string& output) {
  bool afterReference = justResolved_;
  justResolved_ = false;
  if (inReference_) {
    bool numeric = referenceLength_ > 0 && reference_[0] == '#';
    bool hex = numeric && referenceLength_ >= 2 && (reference_[1] == 'x' || reference_[1] == 'X');
    bool accepted;
    if (referenceLength_ == 0) accepted = IsAsciiLetter(c) || IsAsciiDigit(c) || c == '#';
    else if (hex) accepted = IsHexDigit(c);
    else if (numeric) accepted = IsAsciiDigit(c) || (referenceLength_ == 1 && (c == 'x' || c == 'X'));
    else accepted = IsAsciiLetter(c) || IsAsciiDigit(c);
    if (accepted && referenceLength_ < kMaxReference) {
      referenceLower_[referenceLength_] = static_cast<char>(ToLowerChar(c));
      reference_[referenceLength_++] = static_cast<char>(c);
      if (!numeric && c != '#') TryNamedReference(output);
      return;
    }
    if (FinishReference(c, output)) return;
  } else if (afterReference && c == ';') {
    return;  // the semicolon that ends a reference already resolved
  }

  switch (c) {
    case '\r':
    case '\n':
      if (inTag_ && tagNameLength_ > 0) tagNameEnded_ = true;
      Emit(' ', output);
      return;
    case '<':
      ProcessTag(output);
      inTag_ = true;
      return;
    case '>':
      ProcessTag(output);
      inTag_ = false;
      if (tagBreak_) Emit(' ', output);
      return;
    default: break;
  }
  if (inTag_) {
    TagChar(c);
    return;
  }
  if (inScript_) return;
  if (c == '&') {
    inReference_ = true;
    referenceLength_ = 0;
    return;
  }
  EmitText(c, output);
}

bool MarkupReader::TryNamedReference(std::string& output) {
  if (referenceLength_ < 2) return false;
  const std::string_view name(referenceLower_, referenceLength_);
  const unsigned char code = LookUpEntity(name);
  const bool longer = LongerNameBegins(name);
  if (code != 0 && longer) {
    pendingLength_ = referenceLength_;
    return false;
  }
  if (code == 0 && (longer || pendingLength_ == 0)) return false;
  // The name read, or the shorter one it began with and the letters after it as text.
  const size_t length = code != 0 ? referenceLength_ : pendingLength_;
  EmitReference(length, output);
  for (size_t k = length; k < referenceLength_; ++k) EmitText(static_cast<unsigned char>(reference_[k]), output);
  inReference_ = false;
  justResolved_ = length == referenceLength_;
  referenceLength_ = 0;
  pendingLength_ = 0;
  return true;
}

void MarkupReader::EmitReference(size_t length, std::string& output) {
  unsigned char code = LookUpEntity(std::string_view(referenceLower_, length));
  if (IsUpperCaseLetter(static_cast<unsigned char>(reference_[0]))) code = ToUpperChar(code);
  Emit(code, output);
}

bool MarkupReader::FinishReference(unsigned char terminator, std::string& output) {
  inReference_ = false;
  size_t n = referenceLength_;
  referenceLength_ = 0;
  if (const size_t known = std::exchange(pendingLength_, 0)) {
    // A name that a longer one begins with, ended before that one was complete.
    EmitReference(known, output);
    for (size_t k = known; k < n; ++k) EmitText(static_cast<unsigned char>(reference_[k]), output);
    return known == n && terminator == ';';
  }
  if (n >= 2 && reference_[0] == '#') {
    bool hex = reference_[1] == 'x' || reference_[1] == 'X';
    size_t first = hex ? 2 : 1;
    uint32_t value = 0;
    bool valid = n > first;
    for (size_t k = first; k < n && valid; ++k) {
      auto d = static_cast<unsigned char>(reference_[k]);
      value = value * (hex ? 16 : 10) + static_cast<uint32_t>(hex ? HexValue(d) : d - '0');
      if (value > 0x10FFFF) valid = false;
    }
    if (valid && value >= 1) {
      unsigned char code = value < 256      ? static_cast<unsigned char>(value)
                           : value < 0xFFFF ? UnicodeToAnsi(static_cast<char16_t>(value))
                                            : '#';
      Emit(code, output);
      return terminator == ';';
    }
  }
  // A name ended by ';' that the table does not know is a reference all the
  // same (of a character this text cannot hold): it is dropped with its ';'.
  if (n >= 1 && terminator == ';' && reference_[0] != '#') return true;
  // Not a reference: the text stays as it was written.
  EmitText('&', output);
  for (size_t k = 0; k < n; ++k) EmitText(static_cast<unsigned char>(reference_[k]), output);
  return false;
}

void MarkupReader::ProcessTag(std::string& output) {
  tagBreak_ = true;
  outputOn_ = true;
  if (tagHasContent_ && tagNameLength_ > 0 && readsElements_) {
    LowerCaseChars(tagName_, static_cast<int>(tagNameLength_));
    std::string_view name(tagName_, tagNameLength_);
    bool closing = name[0] == '/';
    if (closing) name.remove_prefix(1);
    if (!name.empty()) {
      if (name.size() == 1 && (name[0] == 'b' || name[0] == 'i' || name[0] == 'u')) tagBreak_ = false;
      if (closing && html_ && (name[0] == 'd' || name[0] == 'h' || name[0] == 'p' || name[0] == 't')) {
        Emit(' ', output);
        Emit('\r', output);
      }
      // Only the HTML elements themselves: an XML element such as style:style
      // holds no style sheet, and <script/> opens nothing.
      if ((name == "script" || name == "style") && !(tagSelfClosing_ && !closing)) inScript_ = !closing;
      if (!closing && name.size() >= 3 && name[1] == ':' && name.substr(2).starts_with("bindata")) outputOn_ = false;
    }
  }
  tagNameLength_ = 0;
  tagNameEnded_ = false;
  tagHasContent_ = false;
  tagSelfClosing_ = false;
}

}  // namespace quilor
