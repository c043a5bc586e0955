#include "mainwindow/text_mouse.h"

#include <utility>

#include "core/category.h"
#include "core/name_index.h"
#include "engine/word_list.h"
#include "mainwindow/graph_state.h"
#include "mainwindow/graph_texts.h"
#include "ui/view_state.h"

namespace quilor::ui {

namespace {
constexpr int kTextClickForContext = 7304;
constexpr size_t kHintSize = 256;
}  // namespace

TextMouse::TextMouse(MainWindowPort& port, HitTest wordAt, std::function<void(const std::string&)> statusPanel)
    : port_(port), wordAt_(std::move(wordAt)), statusPanel_(std::move(statusPanel)) {}

void TextMouse::MouseMove(int x, int y, bool busy) {
  if (!port_.TextLoaded() || busy || port_.AnalysisRunning()) return;
  const std::optional<TPageItem> hit = wordAt_(x, y);
  if (!hit) {
    ViewState.graph.HintBuffer.clear();
    return;
  }
  if (hit->position == lastHovered_) return;
  lastHovered_ = hit->position;
  if (hit->kind == kItemWord) {
    statusPanel_(std::to_string(hit->position) + "/" + std::to_string(TextWords.HighestPosition()));
    ViewState.graph.HintBuffer = DescribeCategory(hit->category, true);
    port_.AfficheMessage(ViewState.graph.HintBuffer);
    hint_ = GraphText(kTextClickMe);
  } else if (hit->kind == kItemHeader) {
    hint_ = GraphText(kTextClickForContext);
    port_.AfficheMessage(hint_);
  }
}

void TextMouse::StartDrag() { ViewState.DragWordPosition = ViewState.HitWordPosition; }

std::string DescribeWordAt(int32_t position) {
  if (position <= 0 || !TextWords.SeekPosition(position)) return "";
  const TWordNode* node = TextWords.Cursor();
  if (!node || node == TextWords.Tail() || !node->text || node->position != position) return "";
  std::string text = node->text;
  if (node->lexicalEntry == 0) return text;
  const char* name = nullptr;
  const TCategoryRecord& c = node->category.Category;
  if (c.MajorClass == kClassSubstantive || c.MajorClass == 0) {
    if (TextIndex) name = TextIndex->TextIndexNameOf(node->lexicalEntry);
  } else if (c.MajorClass == kClassVerb) {
    if (VerbIndex) name = VerbIndex->NameOfEntry(static_cast<int>(node->lexicalEntry));
  } else if (c.MajorClass == kClassAdjective) {
    if (AdjectiveIndex) name = AdjectiveIndex->NameOfEntry(static_cast<int>(node->lexicalEntry));
  }
  text += "=\"";
  if (name) text += name;
  text += "\"";
  return text;
}

bool TextMouse::EndDrag(std::string& hint) {
  if (ViewState.HitItemKind == 1) return false;
  hint = ViewState.graph.HintBuffer;
  const std::string word = DescribeWordAt(ViewState.DragWordPosition);
  if (!word.empty()) hint = word + ViewState.graph.HintBuffer;
  if (hint.size() > kHintSize) hint.resize(kHintSize);
  return true;
}

}  // namespace quilor::ui
