// The message interface: a layer without a list window shows a list as one
// box of every line in the engine's encoding, and the scripted interface
// answers from its queue, then with Ok or Yes.
#include "platform/message_ui.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quilor {
namespace {

class BoxOnlyUi : public MessageUi {
 public:
  BoxAnswer ShowBox(const BoxRequest& request) override {
    boxes.push_back(request.text);
    return {1, false};
  }
  void ShowSystemError(const std::string&) override {}
  std::vector<std::string> boxes;
};

TEST(MessageUi, AListWithoutAListWindowIsOneBoxOfEveryLine) {
  BoxOnlyUi ui;
  ListRequest list;
  list.heading = "Documents not read";
  list.lines = {"caf\xC3\xA9.txt: empty", "b.txt: no text"};
  ui.ShowList(list);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0], "Documents not read\ncaf\xE9.txt: empty\nb.txt: no text");
}

TEST(MessageUi, ScriptedAnswersComeFirstThenTheFocusedButton) {
  ScriptedMessageUi ui;
  ui.QueueAnswer(3, true);
  BoxRequest box;
  box.kind = kBoxYesNoCancel;
  const BoxAnswer queued = ui.ShowBox(box);
  EXPECT_EQ(queued.result, 3);
  EXPECT_TRUE(queued.dontShowAgain);
  // Then the default of each kind: Ok or Yes (Button1), and the lone Ok of kind 0 (Button2).
  const std::vector<std::pair<int, int>> defaults = {
      {kBoxOk, 2},    {kBoxOkCancel, 1},        {kBoxYesNoCancel, 1},
      {kBoxYesNo, 1}, {kBoxYesNoDefaultYes, 1}, {kBoxSaveYesNoCancel, 1}};
  for (const auto& [kind, result] : defaults) {
    box.kind = kind;
    const BoxAnswer a = ui.ShowBox(box);
    EXPECT_EQ(a.result, result) << "kind " << kind;
    EXPECT_FALSE(a.dontShowAgain) << "kind " << kind;
  }
  EXPECT_EQ(ui.Shown().size(), defaults.size() + 1);
}

}  // namespace
}  // namespace quilor
