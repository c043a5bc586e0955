#include "engine/gloss_source.h"

#include <new>
#include <stdexcept>
#include <system_error>

#include "core/dictionary_file.h"
#include "core/messages.h"
#include "core/tuning.h"

namespace quilor {

void TGlossSource::ReadInBackground(const std::string& path) {
  glosses_.reset();
  error_.clear();
  path_ = path;
  asked_ = false;
  pending_ = {};
  // Without the glosses in the choice the file is not read.
  if (Tuning.glossEvidenceWeight <= 0) return;
  try {
    pending_ = std::async(std::launch::async, Read, path).share();
  } catch (const std::system_error&) {
    // No thread: Get() reads the file when it is first asked.
  }
}

std::shared_ptr<const GlossSignatures> TGlossSource::Read(const std::string& path) {
  auto g = std::make_shared<GlossSignatures>();
  std::string error;
  if (!g->LoadFile(path, error)) throw std::runtime_error(error);
  return g;
}

const GlossSignatures* TGlossSource::Get() {
  if (Tuning.glossEvidenceWeight <= 0) return nullptr;
  if (asked_) return glosses_.get();
  asked_ = true;
  try {
    glosses_ = pending_.valid() ? pending_.get() : path_.empty() ? nullptr : Read(path_);
  } catch (const std::bad_alloc&) {
    error_ = "not enough memory for the gloss signatures";
  } catch (const std::exception& e) {
    error_ = e.what();
  }
  pending_ = {};
  // Without the file the choice goes on without glosses; a file that is
  // there but unreadable is said.
  if (!error_.empty() && error_.rfind("cannot open ", 0) != 0)
    ShowWarning(std::string(GetMessageText(kMsgDictionaryCorrupt)) + " " + error_);
  return glosses_.get();
}

}  // namespace quilor
