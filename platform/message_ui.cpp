#include "platform/message_ui.h"

#include <cstdio>

#include "platform/text_encoding.h"

namespace quilor {

namespace {
ScriptedMessageUi& DefaultUi() {
  static ScriptedMessageUi ui(/*echoToStderr=*/true);
  return ui;
}
MessageUi* g_ui = nullptr;
}  // namespace

MessageUi& CurrentMessageUi() { return g_ui ? *g_ui : DefaultUi(); }
void SetMessageUi(MessageUi* ui) { g_ui = ui; }

int ScriptedMessageUi::DefaultResult(int kind) {
  switch (kind) {
    case kBoxOkCancel:
    case kBoxYesNoCancel:
    case kBoxSaveYesNoCancel:
    case kBoxYesNo:
    case kBoxYesNoDefaultYes: return 1;
    default: return 2;  // the lone Ok of kind 0
  }
}

BoxAnswer ScriptedMessageUi::ShowBox(const BoxRequest& request) {
  shown_.push_back(request);
  if (echo_) std::fprintf(stderr, "%s\n", Cp1252ToUtf8(request.text).c_str());
  if (!answers_.empty()) {
    BoxAnswer a = answers_.front();
    answers_.pop_front();
    return a;
  }
  return {DefaultResult(request.kind), false};
}

void MessageUi::ShowList(const ListRequest& request) {
  BoxRequest box;
  box.text = Utf8ToCp1252(request.heading);
  for (const std::string& line : request.lines) box.text += "\n" + Utf8ToCp1252(line);
  ShowBox(box);
}

void ScriptedMessageUi::ShowList(const ListRequest& request) {
  lists_.push_back(request);
  if (!echo_) return;
  std::fprintf(stderr, "%s\n", request.heading.c_str());
  for (const std::string& line : request.lines) std::fprintf(stderr, "%s\n", line.c_str());
}

void ScriptedMessageUi::ShowSystemError(const std::string& text) {
  systemErrors_.push_back(text);
  if (echo_) std::fprintf(stderr, "Error: %s\n", Cp1252ToUtf8(text).c_str());
}

}  // namespace quilor
