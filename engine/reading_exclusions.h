// The English rules that rule readings of a word out by the words around
// it, before the resolver weighs the readings that remain. Each rule is a
// named function; one table lists them in the order they are tried, and the
// first that applies decides.
#pragma once

#include <cstdint>

#include "engine/word_slot.h"

namespace quilor {

// What the choice for slot i reads left of its two neighbours: whether a
// verb stands before it in the window first..i, and a modal before the
// modalities just before it (will not report).
struct TLeftContext {
  bool verbBefore = false;
  bool modalBefore = false;
};
TLeftContext LeftContextOf(const TWordSlot* slots, int i, int first);

// Only a word with a verb reading and a noun or adjective one has readings
// that the words left of it rule out.
bool ReadsLeftContext(const TWordSlot& s);

// The readings of slots[i] (bit r for reading r) that the words around it
// in the window first..last rule out. slots holds a segment of count slots
// and, after them, the slot read as the last one's neighbour.
uint8_t ExcludedReadings(const TWordSlot* slots, int count, int i, int first, int last);

}  // namespace quilor
