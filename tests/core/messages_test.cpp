#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <sstream>

#include "core/gauge.h"
#include "core/messages.h"
#include "core/string_table.h"
#include "platform/fatal.h"

namespace quilor {
namespace {

TEST(StringTable, EveryMessageNumberUsedInTheCodeHasAText) {
  // Message numbers appear in the code as literal arguments of the loaders,
  // as kMsg constants (one or several to a declaration), in tables of
  // captions, labels or texts, and in the explanation pages; each must have
  // an entry in resources/strings/. Numbers computed at run time (the
  // diagnosis, the category labels) are checked by their own modules' tests.
  namespace fs = std::filesystem;
  const std::regex call(
      R"(\b(?:LoadMessage|GetMessageText|GetMessageTextColon|GetMessageTextLower|MessageText|CapitalisedMessage)\s*\(\s*(\d+)\s*\))");
  const std::regex constant(R"(\bkMsg\w*\s*=\s*(\d+)\s*[,;])");
  const std::regex table(
      R"(\bk\w*(?:Captions|Labels|Messages|Texts|Hints|Titles)\s*(?:\[[^\]]*\])?\s*=\s*\{([^}]*)\})");
  const std::regex page(R"(\bPage\(\s*(\w+)\s*,\s*\{([^}]*)\})");
  std::set<int> missing;
  int seen = 0;
  auto check = [&](int id) {
    ++seen;
    if (!FindStringTableEntry(id)) missing.insert(id);
  };
  // The positive numbers of a brace list ("0" and negative counts are marks).
  auto checkList = [&](const std::string& list) {
    std::stringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
      const size_t first = item.find_first_not_of(" \t\r\n");
      if (first == std::string::npos || !std::isdigit(static_cast<unsigned char>(item[first]))) continue;
      if (const int id = std::stoi(item.substr(first)); id > 0) check(id);
    }
  };
  for (const char* dir :
       {"platform", "core", "engine", "import", "mainwindow", "scenario", "output", "ui", "app", "tools", "dico"}) {
    fs::path root = fs::path(QUILOR_SOURCE_DIR) / dir;
    if (!fs::exists(root)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      auto ext = entry.path().extension();
      if (ext != ".cpp" && ext != ".h") continue;
      std::ifstream in(entry.path());
      std::stringstream ss;
      ss << in.rdbuf();
      std::string text = ss.str();
      for (const auto& re : {call, constant}) {
        for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it) check(std::stoi((*it)[1]));
      }
      for (std::sregex_iterator it(text.begin(), text.end(), table), end; it != end; ++it) checkList((*it)[1]);
      for (std::sregex_iterator it(text.begin(), text.end(), page), end; it != end; ++it) {
        checkList((*it)[1]);
        checkList((*it)[2]);
      }
    }
  }
  EXPECT_GT(seen, 500);
  std::string list;
  for (int id : missing) list += std::to_string(id) + " ";
  EXPECT_TRUE(missing.empty()) << "messages without a text: " << list;
}

TEST(StringTable, IsSortedWithUniqueNumbers) {
  for (int i = 1; i < kStringTableSize; ++i) EXPECT_LT(kStringTable[i - 1].id, kStringTable[i].id);
}

TEST(Messages, LoadsTextsAndReportsMissingOnes) {
  ScopedScriptedUi ui;
  EXPECT_EQ(GetMessageText(70), "Do you really want to stop this process?");
  EXPECT_EQ(GetMessageTextColon(61), "Error:");
  EXPECT_EQ(GetMessageTextLower(74), "printing");
  EXPECT_TRUE(ui.ui.SystemErrors().empty());

  EXPECT_EQ(GetMessageText(65000), "?");
  ASSERT_EQ(ui.ui.SystemErrors().size(), 1u);
  EXPECT_NE(ui.ui.SystemErrors()[0].find("LoadString Id=65000 failed."), std::string::npos);
}

TEST(Messages, StandardTextsLoad) {
  InitMessages();
  EXPECT_STREQ(StandardTextOf(kStdWait), "Wait...");
  EXPECT_STREQ(StandardTextOf(kStdSaving), "Saving");
  EXPECT_STREQ(StandardTextOf(kStdStopProcess), "Do you really want to stop this process?");
  EXPECT_STREQ(StandardTextOf(6), "");
  DoneMessages();
}

TEST(MessageBox, KindsAndResults) {
  ScopedScriptedUi ui;
  ui.ui.QueueAnswer(3);  // Cancel
  EXPECT_TRUE(CancelChosen("x"));
  ui.ui.QueueAnswer(0);  // closed with the window's button
  EXPECT_FALSE(CancelChosen("x"));
  ui.ui.QueueAnswer(0);
  EXPECT_EQ(AskYesNoCancel("x"), 0);
  ui.ui.QueueAnswer(2);
  EXPECT_EQ(AskYesNoCancel("x"), 2);
  ui.ui.QueueAnswer(3);
  EXPECT_FALSE(AskYesNo("x"));
  EXPECT_TRUE(AskNotYes("x") == false);  // default answer is Yes
  EXPECT_EQ(ShowError("x"), 0);

  ASSERT_EQ(ui.ui.Shown().size(), 7u);
  EXPECT_EQ(ui.ui.Shown()[0].kind, kBoxOkCancel);
  EXPECT_EQ(ui.ui.Shown()[2].kind, kBoxYesNoCancel);
  EXPECT_EQ(ui.ui.Shown()[4].kind, kBoxYesNo);
  EXPECT_EQ(ui.ui.Shown()[6].kind, kBoxOk);
  EXPECT_FALSE(ui.ui.Shown()[6].withDontShow);
}

// Every question reads each button as the user meant it, in the box of its kind.
TEST(MessageBox, EachQuestionReadsEveryButton) {
  struct Question {
    const char* name;
    std::function<int(const std::string&)> ask;
    int kind;
    bool withDontShow;
    int answers[4];  // for results 0 (window closed), 1, 2, 3
  };
  const auto yes = [](bool (*f)(const std::string&)) { return [f](const std::string& t) { return f(t) ? 1 : 0; }; };
  const Question questions[] = {
      {"AskYesNo", yes(AskYesNo), kBoxYesNo, false, {0, 1, 0, 0}},
      {"AskNotYes", yes(AskNotYes), kBoxYesNo, false, {1, 0, 1, 1}},
      {"AskYesNoWithDontShow", yes(AskYesNoWithDontShow), kBoxYesNo, true, {0, 1, 0, 0}},
      {"AskYesNoDefaultYesWithDontShow", yes(AskYesNoDefaultYesWithDontShow), kBoxYesNoDefaultYes, true, {0, 1, 0, 0}},
      {"CancelChosen", yes(CancelChosen), kBoxOkCancel, false, {0, 0, 0, 1}},
      {"NoChosen", yes(NoChosen), kBoxYesNoDefaultYes, false, {0, 0, 0, 1}},
      {"AskYesNoCancel", AskYesNoCancel, kBoxYesNoCancel, false, {0, 1, 2, 3}},
      {"AskSaveYesNoCancel", AskSaveYesNoCancel, kBoxSaveYesNoCancel, false, {0, 1, 2, 3}},
  };
  for (const Question& q : questions) {
    for (int result = 0; result <= 3; ++result) {
      SCOPED_TRACE(std::string(q.name) + " answered " + std::to_string(result));
      ScopedScriptedUi ui;
      ui.ui.QueueAnswer(result);
      EXPECT_EQ(q.ask("x"), q.answers[result]);
      ASSERT_EQ(ui.ui.Shown().size(), 1u);
      EXPECT_EQ(ui.ui.Shown()[0].kind, q.kind);
      EXPECT_EQ(ui.ui.Shown()[0].withDontShow, q.withDontShow);
      EXPECT_EQ(LastMessageBox.result, result);
    }
  }
}

TEST(MessageBox, DontShowAgainFollowsTheCheckBox) {
  ScopedScriptedUi ui;
  LastMessageBox.dontShowAgain = false;
  ui.ui.QueueAnswer(1, true);
  EXPECT_TRUE(AskYesNoDefaultYesWithDontShow("x"));
  EXPECT_TRUE(LastMessageBox.dontShowAgain);
  EXPECT_EQ(ui.ui.Shown().back().kind, kBoxYesNoDefaultYes);
  EXPECT_TRUE(ui.ui.Shown().back().withDontShow);
  ui.ui.QueueAnswer(3, false);
  EXPECT_FALSE(AskYesNoWithDontShow("x"));
  EXPECT_FALSE(LastMessageBox.dontShowAgain);
  // A box without the check box leaves the flag alone.
  LastMessageBox.dontShowAgain = true;
  AskYesNo("x");
  EXPECT_TRUE(LastMessageBox.dontShowAgain);
}

TEST(MessageBox, LongTextIsCutAt400) {
  ScopedScriptedUi ui;
  ShowError(std::string(500, 'a'));
  EXPECT_EQ(ui.ui.Shown().back().text.size(), 400u);
}

TEST(AllocationGuards, FailuresReportOrStop) {
  ScopedScriptedUi ui;
  int x = 0;
  EXPECT_TRUE(CheckAlloc(&x));
  EXPECT_FALSE(ReportMemoryLow(false));
  EXPECT_TRUE(ReportMemoryLow(true));
  EXPECT_EQ(ui.ui.Shown().back().text, "Memory low. Please close some applications and try again.");
  try {
    CheckAlloc(nullptr);
    FAIL() << "CheckAlloc(nullptr) returned";
  } catch (const FatalError& e) {
    EXPECT_EQ(e.ExitCode(), 1);
  }
  EXPECT_THROW(StopIfAllocationFailed("trie", true), FatalError);
  EXPECT_NO_THROW(StopIfAllocationFailed("trie", false));
}

class ClickingView : public NullGaugeView {
 public:
  explicit ClickingView(TInfoJauge** gauge) : gauge_(gauge) {}
  bool IsVisible() const override { return true; }
  void SetPosition(int32_t p) override { shownPosition = p; }
  void ProcessEvents() override {
    ++pumps;
    if (clickStop && *gauge_) {
      clickStop = false;
      (*gauge_)->ButtonArretClick();
    }
  }
  int32_t shownPosition = -1;
  int pumps = 0;
  bool clickStop = false;

 private:
  TInfoJauge** gauge_;
};

TEST(ProgressGauge, MaximumBarAndStop) {
  ScopedScriptedUi ui;
  TInfoJauge* self = nullptr;
  auto view = std::make_unique<ClickingView>(&self);
  ClickingView* v = view.get();
  TInfoJauge gauge(std::move(view));
  self = &gauge;

  gauge.DefinirMaximum(0);
  EXPECT_EQ(gauge.Maximum(), 1);
  gauge.DefinirMaximum(10);
  gauge.MajBar(25);
  EXPECT_EQ(v->shownPosition, 10);  // a full bar
  EXPECT_EQ(v->pumps, 0);           // messages don't run until the owner lets them

  gauge.SetLetMessagesRun(true);
  v->clickStop = true;
  ui.ui.QueueAnswer(3);  // No
  EXPECT_TRUE(gauge.Continue());
  EXPECT_EQ(ui.ui.Shown().back().text, "Do you really want to stop this process?");
  v->clickStop = true;
  ui.ui.QueueAnswer(1);  // Yes
  EXPECT_FALSE(gauge.Continue());
  EXPECT_FALSE(gauge.Continue());  // the request stays
}

TEST(ProgressGauge, GlobalInstanceComesAndGoes) {
  EXPECT_EQ(Progress.gauge, nullptr);
  TInfoJauge& g = CreateInfoJauge();
  EXPECT_EQ(&g, Progress.gauge);
  EXPECT_EQ(&CreateInfoJauge(), &g);
  CloseInfoJauge();
  EXPECT_EQ(Progress.gauge, nullptr);
}

}  // namespace
}  // namespace quilor
