// What the window does with a request from another program and with dropped
// files: plain steps over the window's operations, so that they can be
// tested without a window and without a socket.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "mainwindow/command_file.h"

namespace quilor::ui {

// The window's side of a request or a drop.
class RequestTarget {
 public:
  virtual ~RequestTarget() = default;
  // An analysis or a print is going on.
  virtual bool Busy() const = 0;
  // Releases the current text; false when it is refused.
  virtual bool ReleaseText() = 0;
  virtual void ShowError(int messageNumber) = 0;
  // Restores a minimised window and gives it the focus.
  virtual void BringToFront() = 0;
  // Switches to the named Scenario (the name differs from the current one).
  virtual void SwitchScenario(const std::string& name) = 0;
  // Analyses the file queue as it stands, without a history entry.
  virtual void AnalyseQueue() = 0;
  // Opens a document as File > Open does (history entry, queue rebuilt with it).
  virtual void OpenDocument(const std::string& path) = 0;
  // Lists a folder on the Files tab.
  virtual void ListFolder(const std::string& path) = 0;
  // Commands of a command file that need the window (Path=, PDFFilter=).
  virtual CommandFileHooks CommandHooks() = 0;
  // The window's re-analysis flag, cleared by a command-file request.
  virtual void ClearReanalysis() = 0;
};

// The reply sent back to the program that asked.
enum class RequestReply : uint32_t {
  kDone = 0,         // the request was carried out
  kBusy = 1,         // an analysis or a print is going on: nothing changed
  kRefused = 2,      // the text could not be released, or the path or queue refused it
  kWrongSize = 451,  // not a 2,167-byte record: message 451
};

constexpr int kMsgRequestSize = 451;

// A request as taken: the reply to send at once, and the work to run after
// the reply has gone, from the event loop (empty when there is none).
struct TakenRequest {
  RequestReply reply = RequestReply::kDone;
  std::function<void()> work;
};

// Takes the requests for one target. Each is checked at once and answered
// (taken, busy, refused, wrong size); what takes time or may wait for the
// user (the analysis, a message box) is left to the work, so that the
// sender never waits for it and the connection is never touched once the
// event loop may have run. While the work of a taken request is pending or
// running, further requests are busy; while the box about a bad record is
// pending or open, further bad records get no box of their own.
// A document or command file must be named by an absolute path to an
// existing regular file: a relative path would be read against this
// program's folder, not the sender's; a folder, a FIFO or a device is
// refused. The dispatcher must outlive the work it hands out.
class RequestDispatcher {
 public:
  explicit RequestDispatcher(RequestTarget& target) : target_(target) {}
  RequestDispatcher(const RequestDispatcher&) = delete;
  RequestDispatcher& operator=(const RequestDispatcher&) = delete;

  TakenRequest Take(std::string_view block);

 private:
  RequestTarget& target_;
  bool working_ = false;
  bool boxPending_ = false;
};

// Takes one request and runs its work at once: for callers without an event
// loop between the two.
RequestReply HandleRequest(std::string_view block, RequestTarget& target);

// Dropped names: only the first counts; a readable file opens, a folder is
// listed, anything else (or a name too long for a path) is ignored. Nothing
// happens while the target is busy. True when something was done.
bool HandleDrop(const std::vector<std::string>& names, RequestTarget& target);

}  // namespace quilor::ui
