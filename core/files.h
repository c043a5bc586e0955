// File, path and document-kind services.
#pragma once

#include <string>

namespace quilor {

// Document kinds by extension. 1 to 18 are documents read by the text loader.
enum DocumentKindCode : int {
  kDocText = 1,
  kDocHtml = 2,
  kDocXml = 3,
  kDocRtf = 4,
  kDocSgml = 5,
  kDocDosText = 6,
  kDocMacText = 7,
  kDocWord = 8,
  kDocPdf = 9,
  kDocAnyExtension = 10,
  kDocPowerPoint = 11,
  kDocPowerPointXml = 12,
  kDocOdt = 13,
  kDocOdp = 14,
  kDocXps = 16,
  kDocFlash = 17,
  kDocExcel = 18,
  kDocScenario = 40,
  kDocIndex = 41,
  kDocOtherProduct = 42,
  kDocBorders = 43,
};

// Set by DocumentKind when the extension was not recognised.
extern bool UnknownExtension;

// "*" + the extension from the last '.' of the file-name part, "*" without
// extension, "*.*" when the result would have 13 characters or more.
std::string ExtensionFilter(const std::string& name);
// The document kind of a file name by its extension (case-insensitive).
int DocumentKind(const std::string& name);
// Kind at most 14 and the extension recognised.
bool IsReadableDocument(const std::string& name);

// Pointer after the last path separator of path ('/' here; '\\' too).
const char* FileNamePart(const char* path);

}  // namespace quilor
