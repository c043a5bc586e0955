#include "import/document_signature.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "core/chartables.h"
#include "core/files.h"
#include "core/messages.h"

namespace quilor {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && std::memcmp(text.data(), prefix.data(), prefix.size()) == 0;
}

// A name as it is stored in a compound file's directory (UTF-16).
std::string Wide(std::string_view name) {
  std::string out;
  for (char c : name) {
    out += c;
    out += '\0';
  }
  return out;
}

// Formats that hold no text the loader reads.
constexpr std::string_view kForeignSignatures[] = {
    "\x89PNG", "GIF87a", "GIF89a", "\xFF\xD8\xFF", "MZ", "\x7F" "ELF", "\x1F\x8B", "7z\xBC\xAF", "Rar!",
    "ID3", "OggS", "fLaC", "RIFF", "II*\0", "MM\0*", "BZh", "\xFD" "7zXZ", "%!PS"};

int KindOfCompoundFile(std::string_view head, int kindByExtension) {
  if (head.find(Wide("WordDocument")) != head.npos) return kDocWord;
  if (head.find(Wide("PowerPoint Document")) != head.npos) return kDocPowerPoint;
  if (head.find(Wide("Workbook")) != head.npos || head.find(Wide("Book")) != head.npos) return kDocExcel;
  if (kindByExtension == kDocWord || kindByExtension == kDocPowerPoint || kindByExtension == kDocExcel)
    return kindByExtension;
  return kDocUnsupported;
}

int KindOfZipArchive(std::string_view head, int kindByExtension) {
  if (head.find("application/vnd.oasis.opendocument.text") != head.npos) return kDocOdt;
  if (head.find("application/vnd.oasis.opendocument.presentation") != head.npos) return kDocOdp;
  if (head.find("word/") != head.npos) return kDocWord;
  if (head.find("ppt/") != head.npos) return kDocPowerPointXml;
  // Other archives (and those whose parts are not named early) keep the
  // kind of a recognised extension of a zipped format.
  if (kindByExtension == kDocWord || kindByExtension == kDocPowerPointXml || kindByExtension == kDocOdt ||
      kindByExtension == kDocOdp || kindByExtension == kDocXps || kindByExtension == kDocExcel)
    return kindByExtension;
  return kDocUnsupported;
}

}  // namespace

int DocumentKindFromContent(const char* data, size_t length, int kindByExtension, bool unknownExtension) {
  std::string_view head(data, std::min(length, kSignatureProbeSize));
  if (StartsWith(head, "\xEF\xBB\xBF")) head.remove_prefix(3);
  // Formats with a signature of their own win over the extension.
  if (StartsWith(head, "{\\rtf")) return kDocRtf;
  if (StartsWith(head, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) return KindOfCompoundFile(head, kindByExtension);
  if (StartsWith(head, "%PDF-")) return kDocPdf;
  if (StartsWith(head, "PK\x03\x04")) return KindOfZipArchive(head, kindByExtension);
  if (StartsWith(head, "FWS") || StartsWith(head, "CWS")) return kindByExtension == kDocFlash ? kDocFlash : kDocUnsupported;
  // Pictures, programs, archives: a text may begin with the same letters,
  // but holds no NUL byte.
  bool binary = head.find('\0') != head.npos;
  if (binary)
    for (std::string_view signature : kForeignSignatures)
      if (StartsWith(head, signature)) return kDocUnsupported;
  if (!unknownExtension) return kindByExtension;

  // An unknown extension: markup by its first tag, else plain text unless
  // NUL bytes show a binary file (UTF-16 text has a mark or a NUL beside
  // every ASCII character, and is text).
  size_t start = head.find_first_not_of(" \t\r\n");
  std::string lower(head.substr(start == head.npos ? head.size() : start, 64));
  LowerCaseString(lower);
  if (StartsWith(lower, "<!doctype html") || StartsWith(lower, "<html")) return kDocHtml;
  if (StartsWith(lower, "<?xml")) return kDocXml;
  bool utf16 = StartsWith(head, "\xFF\xFE") || StartsWith(head, "\xFE\xFF");
  if (!utf16 && binary) {
    // Bytes in alternate positions being NUL is UTF-16 without a mark.
    size_t zeros[2] = {0, 0};
    for (size_t i = 0; i < head.size(); ++i)
      if (head[i] == '\0') ++zeros[i & 1];
    bool alternate = (zeros[0] == 0) != (zeros[1] == 0);
    if (!alternate) return kDocUnsupported;
  }
  return kDocText;
}

std::string UnsupportedDocumentReport(const std::string& fileName) {
  return std::string(GetMessageText(kMsgDocumentNotSupported)) + " " + fileName;
}

}  // namespace quilor
