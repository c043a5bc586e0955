// The pages of the Explain tabs: a title and paragraphs of the string table,
// some of them in bulleted runs. The window turns a page into rich text.
#pragma once

#include <string>
#include <vector>

namespace quilor::ui {

struct ExplainParagraph {
  std::vector<int> texts;  // string-table numbers joined into one paragraph
  bool bulleted = false;
};

struct ExplainPage {
  std::string title;  // Windows-1252
  std::vector<ExplainParagraph> paragraphs;
};

// "Welcome in Quilor" and its four paragraphs.
ExplainPage WelcomePage();
// The page of a result-type line (0 general style .. 11 and above episodes).
ExplainPage ResultTypeExplainPage(int index);
// The page of a graph kind (1 areas, 2 star, 3 distribution, 4 episodes,
// 5 actors); an empty page for another kind.
ExplainPage GraphExplainPage(int kind);
// "Graph: " and the name with its first letter upper-cased (Windows-1252).
std::string GraphLabel(int nameText);
// The help context of a result-type line; -1 (no line) gives 0, the contents.
int ResultTypeHelpContext(int index);
constexpr int kGraphsHelpContext = 917;

// The page as HTML (UTF-8) for a rich-text view: the title is shown apart.
std::string ExplainPageHtml(const ExplainPage& page);

}  // namespace quilor::ui
