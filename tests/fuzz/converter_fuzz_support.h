// The start shared by the fuzz targets that feed documents to the
// converters: silent boxes, the texts, settings in a file of the run, a
// short work budget and the converters made once.
#pragma once

#include <chrono>
#include <string>

#include "core/messages.h"
#include "import/conversion_dispatch.h"
#include "import/document_filter.h"
#include "platform/settings_store.h"
#include "tests/fuzz/silent_ui.h"

namespace quilor {

inline void PrepareConvertersForFuzzing(const std::string& base) {
  InstallSilentMessageUi();
  InitMessages();
  SetSettingsFilePath(base + "-settings.ini");
  DocumentFilter::Budget().time = std::chrono::milliseconds(2000);
  CreateConverters();
}

}  // namespace quilor
