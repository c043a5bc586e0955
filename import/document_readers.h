// Readers of the document kinds that are not plain text plug into the text
// loader here: the RTF and markup readers decode the file's own blocks, the
// converters (Word, PDF, Office Open XML, OpenDocument) turn the whole
// document into text first. A kind that needs a reader and has none is
// passed over with a report; its bytes are never read as words.
#pragma once

#include "import/document_reader.h"

namespace quilor {

// Registers the reader of a document kind (not owned; nullptr puts back the
// built-in reader of the kind, if any).
void RegisterDocumentReader(int documentKind, DocumentReader* reader);
DocumentReader* FindDocumentReader(int documentKind);
// Kinds that are read only through a reader of their own (HTML, XML, RTF,
// SGML, Word, PDF, PowerPoint, Office Open XML, OpenDocument, Flash, Excel).
bool KindNeedsReader(int documentKind);

}  // namespace quilor
