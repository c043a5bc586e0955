// Lexical category codes (16 bits, as stored in the dictionaries) and the
// 6-byte category record they decode into.
#pragma once

#include <cstdint>

namespace quilor {

using TCategoryCode = uint16_t;

// Major classes of a category record.
enum MajorClassCode : uint8_t {
  kClassUnset = 0,
  kClassVerb = 1,
  kClassConnector = 2,
  kClassModality = 3,
  kClassAdjective = 4,
  kClassPronoun = 5,
  kClassDeterminant = 6,
  kClassDeterminant2 = 7,
  kClassSubstantive = 8,
  kClassUnknown = 9,
};

// Bits of TCategoryRecord::Flags.
enum CategoryFlagBits : uint8_t {
  kFlagFundamental = 1 << 0,
  kFlagAuxiliary = 1 << 1,
  kFlagAmbiguous = 1 << 2,
  kFlagGerund = 1 << 3,
};

struct TCategoryRecord {
  uint8_t MajorClass = 0;
  uint8_t Subclass = 0;
  uint8_t SubField2 = 0;
  uint8_t SubField3 = 0;
  uint8_t Flags = 0;
  uint8_t Spare = 0;
};
static_assert(sizeof(TCategoryRecord) == 6);

}  // namespace quilor
