// Text of PowerPoint 97-2003 presentations, from the text records of their
// "PowerPoint Document" stream, in stream order (slides in order).
#pragma once

#include <string>
#include <string_view>

namespace quilor {

class CompoundFile;

enum class PowerPointResult { kOk, kNoPresentation, kDamaged, kPasswordProtected };

// Appends the text (Windows-1252, one line per text record) to text. Stops
// at maxBytes of text. Damaged records end the reading with what was read.
PowerPointResult ReadPowerPointText(CompoundFile& file, std::string& text, size_t maxBytes);

}  // namespace quilor
