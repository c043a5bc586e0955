// The kind of a document by its first bytes, where the extension says
// something else: an RTF or Word file named ".doc" or ".txt", an HTML page
// with an unknown extension, a picture or an archive that holds no text.
#pragma once

#include <cstddef>
#include <string>

namespace quilor {

// A document the text loader does not read: passed over and reported.
constexpr int kDocUnsupported = 0;

// How many bytes of the start of a document the signature is looked for in.
constexpr size_t kSignatureProbeSize = 4096;

// The kind to read the document as: kindByExtension (core/files.h) unless
// the first bytes say otherwise; kDocUnsupported for a format that holds no
// readable text. unknownExtension is DocumentKind's flag for the name.
int DocumentKindFromContent(const char* head, size_t length, int kindByExtension, bool unknownExtension);

// The same for the file at path, from its first bytes; a file that cannot
// be read keeps the kind of its extension (plain text when unknown).
int DocumentKindOfFile(const std::string& path, int kindByExtension, bool unknownExtension);

}  // namespace quilor
