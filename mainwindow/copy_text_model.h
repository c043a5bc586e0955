// The copy window's text (TFormCopierTexte without its widgets): a passage of
// the analysed text rebuilt from TextWords as plain paragraphs, one
// proposition each, around a chosen word; in extract mode only the
// propositions of the selection, each with its selected word marked. Offsets
// count as the text editor does: one character per paragraph break.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quilor::ui {

class ScenarioEditorPort;

constexpr int32_t kCopyWordsBefore = 500;      // the passage starts this many words before the chosen one
constexpr size_t kCopyTextLimit = 64000;       // the passage ends after the word that passes it
constexpr size_t kCopyParagraphLimit = 65531;  // a paragraph may not grow past it

struct TCopySpan {
  int start = 0;
  int length = 0;
  bool operator==(const TCopySpan&) const = default;
};

struct TCopyText {
  std::vector<std::string> paragraphs;  // Windows-1252
  int32_t firstWordPosition = 0;
  int caretOffset = 0;            // the chosen word's offset
  std::vector<TCopySpan> marked;  // the selected word of each proposition (extract)
  bool cut = false;               // the text passed its limit
  // The whole text as the editor holds it (paragraphs joined by "\n").
  std::string Joined() const;
};

// ChargerTexteSelectionne: the passage around chosenPosition (no extract),
// or the selected propositions (extract). TextWords' cursor and bookmarks
// and the selection's search place come back as they were.
TCopyText BuildCopyText(int32_t chosenPosition, bool extract);

// What Copy puts on the clipboard for a selection of the text: the
// selection when it holds more than one character, the whole text when
// nothing is selected, nothing for a single character.
std::string TextToCopy(const std::string& whole, int selectionStart, int selectionLength, bool& selectAll);

// The selected text as the Scenario takes it: a dictionary key of at most 78 characters.
std::string ScenarioKeyOf(const std::string& selection);

}  // namespace quilor::ui
