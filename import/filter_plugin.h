// Filter libraries chosen by the user: shared objects that export the C
// interface of filter_plugin_abi.h. A library is loaded only when its file is
// an ELF shared object of this machine's class, byte order and architecture,
// and only used when it exports the four entry points of our version.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "import/document_filter.h"

namespace quilor {

// True when the first bytes of a file are the header of an ELF shared object
// that this process could load (class, byte order, machine, type).
bool IsLoadableElfHeader(std::string_view header);

// The converter of a user's library for a format; nullptr (with the reason
// in error) when the file is not a loadable shared object or lacks the entry
// points of our version.
std::unique_ptr<DocumentFilter> LoadFilterPlugin(ConverterFormat format, const std::string& libraryPath,
                                                 std::string* error = nullptr);

}  // namespace quilor
