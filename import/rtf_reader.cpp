#include "import/rtf_reader.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "core/chartables.h"
#include "import/byte_scan.h"
#include "import/plain_text.h"
#include "import/word_table.h"
#include "platform/text_encoding.h"

namespace quilor {

namespace {

bool IsAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }
int HexValue(unsigned char c) {
  if (IsAsciiDigit(c)) return c - '0';
  c |= 0x20;
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Characters plain text does not simply copy.
constexpr auto kSpecial = ByteSet({'\\', '{', '}', '\r', '\n', 146, 180});
// Characters that matter inside a dropped group.
constexpr auto kGroupEnd = ByteSet({'\\', '{', '}'});

// What a control word does.
enum class Action : uint8_t {
  kNone,
  kBinary,
  kHeader,
  kAnsi,
  kMacintosh,
  kDos,
  kParagraph,
  kBlank,
  kQuote,
  kDoubleQuote,
  kDash,
  kPicture,
  kDropGroup,
  kUnicode,
  kUnicodeSkip,
};

using ActionTable = WordTable<Action, 128>;

constexpr ActionTable::Row kControlWords[] = {{"bin", Action::kBinary},
                                              {"rtf", Action::kHeader},
                                              {"ansi", Action::kAnsi},
                                              {"mac", Action::kMacintosh},
                                              {"pc", Action::kDos},
                                              {"pca", Action::kDos},
                                              {"par", Action::kParagraph},
                                              {"sect", Action::kParagraph},
                                              {"page", Action::kParagraph},
                                              {"line", Action::kBlank},
                                              {"tab", Action::kBlank},
                                              {"cell", Action::kBlank},
                                              {"row", Action::kBlank},
                                              {"lquote", Action::kQuote},
                                              {"rquote", Action::kQuote},
                                              {"ldblquote", Action::kDoubleQuote},
                                              {"rdblquote", Action::kDoubleQuote},
                                              {"emdash", Action::kDash},
                                              {"endash", Action::kDash},
                                              {"pict", Action::kPicture},
                                              // Groups that hold no text of the document, dropped whole.
                                              {"fonttbl", Action::kDropGroup},
                                              {"colortbl", Action::kDropGroup},
                                              {"stylesheet", Action::kDropGroup},
                                              {"info", Action::kDropGroup},
                                              {"object", Action::kDropGroup},
                                              {"fldinst", Action::kDropGroup},
                                              {"listtable", Action::kDropGroup},
                                              {"listoverridetable", Action::kDropGroup},
                                              {"revtbl", Action::kDropGroup},
                                              {"rsidtbl", Action::kDropGroup},
                                              {"generator", Action::kDropGroup},
                                              {"xmlnstbl", Action::kDropGroup},
                                              {"latentstyles", Action::kDropGroup},
                                              {"themedata", Action::kDropGroup},
                                              {"colorschememapping", Action::kDropGroup},
                                              {"datastore", Action::kDropGroup},
                                              {"fmodern", Action::kDropGroup},
                                              {"fdecor", Action::kDropGroup},
                                              {"fbidi", Action::kDropGroup},
                                              {"froman", Action::kDropGroup},
                                              {"fscript", Action::kDropGroup},
                                              {"fswiss", Action::kDropGroup},
                                              {"ftech", Action::kDropGroup},
                                              {"fnil", Action::kDropGroup},
                                              {"fttruetype", Action::kDropGroup},
                                              {"sbasedon", Action::kDropGroup},
                                              {"snext", Action::kDropGroup},
                                              {"u", Action::kUnicode},
                                              {"uc", Action::kUnicodeSkip}};

constexpr ActionTable kActions(kControlWords);

constexpr int64_t kParameterLimit = int64_t{1} << 40;
constexpr unsigned char kApostrophe = 39;
constexpr unsigned char kInvalidHex = 0xFF;

}  // namespace

void RtfReader::Decode(const char* input, size_t length, std::string& output) {
  size_t before = output.size();
  inputBytes_ += length;
  const auto* s = reinterpret_cast<const unsigned char*>(input);
  size_t i = 0;
  while (i < length) {
    if (state_ == State::kBinary) {
      uint64_t n = std::min<uint64_t>(binaryLeft_, length - i);
      binaryLeft_ -= n;
      i += n;
      if (binaryLeft_ == 0) state_ = State::kText;
      continue;
    }
    if (state_ == State::kText) {
      size_t j = i;
      if (Skipping()) {
        j = FindStop<'\\', '{', '}'>(s, i, length, kGroupEnd);
      } else if (codePage_ == kAnsi && fallbackLeft_ == 0) {
        j = FindStop<'\\', '{', '}', '\r', '\n'>(s, i, length, kSpecial);
        output.append(input + i, j - i);
      }
      i = j;
      if (i == length) break;
    }
    ReadChar(s[i++], output);
  }
  outputBytes_ += output.size() - before;
}

void RtfReader::Finish(std::string& output) {
  size_t before = output.size();
  if (state_ == State::kWord || state_ == State::kParameter) EndControlWord(output);
  state_ = State::kText;
  outputBytes_ += output.size() - before;
}

void RtfReader::Emit(unsigned char c, std::string& output) {
  if (Skipping()) return;
  if (codePage_ == kMacintosh) MacToAnsi(&c, 1);
  else if (codePage_ == kDos) OemToAnsi(&c, 1);
  if (c == 146 || c == 180) c = kApostrophe;
  output.push_back(static_cast<char>(c));
}

void RtfReader::DropGroup() {
  if (depth_ > 0 && skipFrom_ < 0) skipFrom_ = depth_;
}

void RtfReader::ReadChar(unsigned char c, std::string& output) {
  switch (state_) {
    case State::kBinary:
      if (--binaryLeft_ == 0) state_ = State::kText;
      return;
    case State::kHex1:
    case State::kHex2: {
      int value = HexValue(c);
      if (c == '\\' || c == '{' || c == '}' || c == ' ' || c == '\r' || c == '\n') {
        // An escape cut short by a delimiter gives nothing.
        state_ = State::kText;
        if (c == '\\' || c == '{' || c == '}') ReadChar(c, output);
        return;
      }
      if (state_ == State::kHex1) {
        hexHigh_ = value < 0 ? kInvalidHex : static_cast<unsigned char>(value);
        state_ = State::kHex2;
        return;
      }
      state_ = State::kText;
      if (controlSkipped_) return;
      if (hexHigh_ != kInvalidHex && value >= 0) Emit(static_cast<unsigned char>(hexHigh_ * 16 + value), output);
      return;
    }
    case State::kBackslash:
      // A control that stands in a fallback counts as one character and is dropped.
      controlSkipped_ = fallbackLeft_ > 0 && c != '\r' && c != '\n';
      if (controlSkipped_) --fallbackLeft_;
      if (IsAsciiLetter(c)) {
        word_[0] = static_cast<char>(c | 0x20);
        wordLength_ = 1;
        wordTooLong_ = false;
        hasParameter_ = false;
        negative_ = false;
        parameter_ = 0;
        state_ = State::kWord;
      } else {
        state_ = State::kText;
        if (!controlSkipped_) ControlSymbol(c, output);
        else if (c == '\'') state_ = State::kHex1;
      }
      return;
    case State::kWord:
      if (IsAsciiLetter(c)) {
        if (wordLength_ < kMaxWord) word_[wordLength_++] = static_cast<char>(c | 0x20);
        else wordTooLong_ = true;
        return;
      }
      if (IsAsciiDigit(c) || c == '-') {
        state_ = State::kParameter;
        hasParameter_ = IsAsciiDigit(c);
        negative_ = c == '-';
        parameter_ = hasParameter_ ? c - '0' : 0;
        return;
      }
      break;
    case State::kParameter:
      if (IsAsciiDigit(c)) {
        hasParameter_ = true;
        parameter_ = std::min(parameter_ * 10 + (c - '0'), kParameterLimit);
        return;
      }
      break;
    case State::kText:
      switch (c) {
        case '\\': state_ = State::kBackslash; return;
        case '{':
          fallbackLeft_ = 0;
          if (depth_ >= 0 && static_cast<size_t>(depth_) < kUcStackSize)
            ucStack_[depth_] = static_cast<uint8_t>(ucSkip_);
          if (depth_ < INT32_MAX) ++depth_;
          header_ = false;
          return;
        case '}':
          fallbackLeft_ = 0;
          if (depth_ > 0) --depth_;
          if (static_cast<size_t>(depth_) < kUcStackSize) ucSkip_ = ucStack_[depth_];
          if (skipFrom_ >= 0 && depth_ < skipFrom_) skipFrom_ = -1;
          header_ = false;
          return;
        case '\r':
        case '\n': return;
        default:
          if (fallbackLeft_ > 0) {
            --fallbackLeft_;
            return;
          }
          Emit(c, output);
          return;
      }
  }
  // A control word ended by c: a space belongs to the word; any other
  // character is read as it comes (the first byte of binary data after \bin).
  EndControlWord(output);
  if (c != ' ') ReadChar(c, output);
}

void RtfReader::ControlSymbol(unsigned char c, std::string& output) {
  switch (c) {
    case '\'': state_ = State::kHex1; return;
    case '{':
    case '}':
    case '\\': Emit(c, output); return;
    case '~': Emit(' ', output); return;
    case '_': Emit('-', output); return;
    case '*': DropGroup(); return;
    case '\r':
    case '\n':  // a backslash before a line break is a paragraph mark
      Emit(' ', output);
      Emit(' ', output);
      return;
    default: return;
  }
}

void RtfReader::EmitUnicode(int64_t value, std::string& output) {
  // The parameter is a signed 16-bit number: -3913 stands for 61623.
  const auto unit = static_cast<char16_t>(value < 0 ? 65536 + (value % 65536) : value % 65536);
  const unsigned char c = UnicodeToAnsi(unit);
  if (c == '?' && unit != u'?') return;  // no such character here: the fallback is read
  if (!Skipping()) output.push_back(static_cast<char>(c == 146 || c == 180 ? kApostrophe : c));
  fallbackLeft_ = ucSkip_;
}

void RtfReader::EndControlWord(std::string& output) {
  state_ = State::kText;
  if (wordTooLong_) return;
  const Action action = kActions.Find(std::string_view(word_, wordLength_), Action::kNone);
  // A control word that stands in a fallback does nothing, but binary data stays data.
  if (controlSkipped_ && action != Action::kBinary) {
    controlSkipped_ = false;
    return;
  }
  switch (action) {
    case Action::kNone: return;
    case Action::kBinary:
      binaryLeft_ = hasParameter_ && !negative_ ? static_cast<uint64_t>(parameter_) : 0;
      if (binaryLeft_ > 0) state_ = State::kBinary;
      return;
    case Action::kHeader: header_ = true; return;
    case Action::kAnsi:
      if (header_) codePage_ = kAnsi;
      return;
    case Action::kMacintosh:
      if (header_) codePage_ = kMacintosh;
      return;
    case Action::kDos:
      if (header_) codePage_ = kDos;
      return;
    case Action::kParagraph:
      Emit(' ', output);
      Emit(' ', output);
      return;
    case Action::kBlank: Emit(' ', output); return;
    case Action::kQuote: Emit(kApostrophe, output); return;
    case Action::kDoubleQuote: Emit('"', output); return;
    case Action::kDash: Emit('-', output); return;
    case Action::kPicture:
      if (!header_) DropGroup();
      return;
    case Action::kDropGroup: DropGroup(); return;
    case Action::kUnicode:
      if (hasParameter_) EmitUnicode(negative_ ? -parameter_ : parameter_, output);
      return;
    case Action::kUnicodeSkip:
      if (hasParameter_ && !negative_) ucSkip_ = static_cast<int>(std::min<int64_t>(parameter_, 255));
      return;
  }
}

}  // namespace quilor
