// The message box and system error box as the engine sees them. The program
// installs Qt dialogs; tests and tools install a scripted version that answers
// from a queue and records what it was shown.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace quilor {

// Button layouts of the message box.
enum BoxKind : int {
  kBoxOk = 0,               // Ok
  kBoxOkCancel = 1,         // Ok and Cancel, Cancel focused
  kBoxYesNoCancel = 3,      // Yes, No and Cancel, No focused
  kBoxYesNo = 4,            // Yes and No, No focused
  kBoxYesNoDefaultYes = 5,  // Yes and No, Yes focused
  kBoxSaveYesNoCancel = 6,  // Yes, No and Cancel, Yes focused: the save question
};

// Result of a box: 0 closed without a button, 1 Button1, 2 Button2, 3 Button3.
// Button1 is Ok or Yes, Button2 is No (kinds 3 and 6) or the lone Ok (kind 0),
// Button3 is Cancel or No.
struct BoxAnswer {
  int result = 0;
  bool dontShowAgain = false;  // state of the check box, when it was shown
};

// The picture of a box: by default the one of its kind (a question for the
// kinds that ask, the error picture for Ok alone).
enum BoxIcon : int {
  kIconOfKind = 0,
  kIconError = 1,    // a failure
  kIconWarning = 2,  // done, but not whole
};

struct BoxRequest {
  std::string text;  // Windows-1252
  int kind = kBoxOk;
  bool withDontShow = false;
  int icon = kIconOfKind;
};

// A list of any length under a heading (the documents that could not be
// read, each with its reason). Every text is UTF-8; names in the lines are
// already made safe to show (DisplayFileName).
struct ListRequest {
  std::string heading;
  std::vector<std::string> lines;
};

class MessageUi {
 public:
  virtual ~MessageUi() = default;
  virtual BoxAnswer ShowBox(const BoxRequest& request) = 0;
  // The window layer shows a scrollable list; this default gives one box
  // with every line, never cut.
  virtual void ShowList(const ListRequest& request);
  // The plain error box used where the program's own box cannot be trusted.
  virtual void ShowSystemError(const std::string& text) = 0;
};

// The installed interface; never null (a scripted one answers by default).
MessageUi& CurrentMessageUi();
// Installs ui (not owned); nullptr puts the default back.
void SetMessageUi(MessageUi* ui);

// Answers from a queue, then with the default answer of the box's kind
// (Ok for kinds 0 and 1, Yes for 3, 4 and 5). Records every request.
class ScriptedMessageUi : public MessageUi {
 public:
  explicit ScriptedMessageUi(bool echoToStderr = false) : echo_(echoToStderr) {}

  void QueueAnswer(int result, bool dontShowAgain = false) { answers_.push_back({result, dontShowAgain}); }
  BoxAnswer ShowBox(const BoxRequest& request) override;
  void ShowSystemError(const std::string& text) override;
  // Recorded; echoed as the heading and then one line per entry.
  void ShowList(const ListRequest& request) override;

  const std::vector<BoxRequest>& Shown() const { return shown_; }
  const std::vector<ListRequest>& Lists() const { return lists_; }
  const std::vector<std::string>& SystemErrors() const { return systemErrors_; }
  void ClearLog() {
    shown_.clear();
    systemErrors_.clear();
    lists_.clear();
  }

  static int DefaultResult(int kind);

 private:
  bool echo_;
  std::deque<BoxAnswer> answers_;
  std::vector<BoxRequest> shown_;
  std::vector<std::string> systemErrors_;
  std::vector<ListRequest> lists_;
};

// Installs a ScriptedMessageUi for the life of a scope (tests).
class ScopedScriptedUi {
 public:
  ScopedScriptedUi() { SetMessageUi(&ui); }
  ~ScopedScriptedUi() { SetMessageUi(nullptr); }
  ScopedScriptedUi(const ScopedScriptedUi&) = delete;
  ScopedScriptedUi& operator=(const ScopedScriptedUi&) = delete;
  ScriptedMessageUi ui;
};

}  // namespace quilor
