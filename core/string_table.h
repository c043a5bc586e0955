// The program's numbered string table (generated from resources/strings/).
#pragma once

namespace quilor {

struct StringTableEntry {
  int id;
  const char* text;  // Windows-1252
};

// Sorted by id.
extern const StringTableEntry kStringTable[];
extern const int kStringTableSize;

// The text of entry id, or nullptr when the table has none.
const char* FindStringTableEntry(int id);

}  // namespace quilor
