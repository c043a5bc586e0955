#include "import/document_signature.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string_view>

#include "core/chartables.h"
#include "core/files.h"
#include "platform/compound_file.h"
#include "platform/read_file.h"

namespace quilor {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && std::memcmp(text.data(), prefix.data(), prefix.size()) == 0;
}

// Formats that hold no text the loader reads.
constexpr std::string_view kForeignSignatures[] = {"\x89PNG",
                                                   "GIF87a",
                                                   "GIF89a",
                                                   "\xFF\xD8\xFF",
                                                   "MZ",
                                                   "\x7F"
                                                   "ELF",
                                                   "\x1F\x8B",
                                                   "7z\xBC\xAF",
                                                   "Rar!",
                                                   "ID3",
                                                   "OggS",
                                                   "fLaC",
                                                   "RIFF",
                                                   "II*\0",
                                                   "MM\0*",
                                                   "BZh",
                                                   "\xFD"
                                                   "7zXZ",
                                                   "%!PS"};

bool IsConvertedKind(int kind) {
  return kind == kDocWord || kind == kDocPowerPoint || kind == kDocExcel || kind == kDocPowerPointXml ||
         kind == kDocOdt || kind == kDocOdp || kind == kDocXps || kind == kDocPdf;
}

}  // namespace

int DocumentKindFromContent(const char* data, size_t length, int kindByExtension, bool unknownExtension) {
  std::string_view head(data, std::min(length, kSignatureProbeSize));
  if (StartsWith(head, "\xEF\xBB\xBF")) head.remove_prefix(3);
  // Formats with a signature of their own win over the extension.
  if (StartsWith(head, "{\\rtf")) return kDocRtf;
  // Compound files and packages go to the converters, which tell their
  // formats apart by what they hold.
  if (CompoundFile::HasSignature(head.data(), head.size()) || StartsWith(head, "PK\x03\x04"))
    return IsConvertedKind(kindByExtension) ? kindByExtension : kDocWord;
  if (StartsWith(head, "%PDF-")) return kDocPdf;
  if (StartsWith(head, "FWS") || StartsWith(head, "CWS"))
    return kindByExtension == kDocFlash ? kDocFlash : kDocUnsupported;
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

int DocumentKindOfFile(const std::string& path, int kindByExtension, bool unknownExtension) {
  // The first bytes of a regular file only: a pipe or a device is never waited on.
  std::string head;
  ReadWholeFile(path, kSignatureProbeSize, head);
  if (head.empty()) return unknownExtension ? kDocText : kindByExtension;
  return DocumentKindFromContent(head.data(), head.size(), kindByExtension, unknownExtension);
}

}  // namespace quilor
