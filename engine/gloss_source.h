// Where the ontology engine takes the gloss signatures of the readings
// from: their file, read on a thread of its own while the other
// dictionaries load, and waited for when first asked.
#pragma once

#include <future>
#include <memory>
#include <string>

#include "engine/gloss_signatures.h"

namespace quilor {

class TGlossSource {
 public:
  // Begins reading the file at path (when Tuning.glossEvidenceWeight is
  // set; else the file is not read). What was read before is forgotten.
  void ReadInBackground(const std::string& path);
  // The signatures, waited for (or read now) at the first call: null
  // without them (Error() says why; a file that is there but cannot be
  // read is shown).
  const GlossSignatures* Get();
  // The signatures as they are, without waiting (null before Get).
  const GlossSignatures* Current() const { return glosses_.get(); }
  const std::string& Error() const { return error_; }
  // Takes the signatures another source got (a part engine's shared one).
  void ShareFrom(const TGlossSource& other) {
    glosses_ = other.glosses_;
    asked_ = true;
  }

 private:
  static std::shared_ptr<const GlossSignatures> Read(const std::string& path);
  std::shared_ptr<const GlossSignatures> glosses_;
  std::shared_future<std::shared_ptr<const GlossSignatures>> pending_;
  std::string path_, error_;
  bool asked_ = false;
};

}  // namespace quilor
