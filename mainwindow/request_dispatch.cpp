#include "mainwindow/request_dispatch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <utility>

#include "core/file_queue.h"
#include "core/files.h"
#include "engine/command_line.h"
#include "core/options.h"
#include "mainwindow/copydata_request.h"

namespace quilor::ui {

namespace {

constexpr size_t kMaxPathLength = 260;

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

void DeletePendingCommandFile() {
  std::string& pending = WorkContext->PendingCommandFile;
  if (!pending.empty()) EraseFile(pending);
  pending.clear();
}

void AnalyseDocument(const TCopyDataRequest& request, RequestTarget& target) {
  TWorkContext& wc = *WorkContext;
  DeletePendingCommandFile();
  if (!request.scenario.empty() && !SameNameIgnoringCase(request.scenario, Options->Get(opt::ScenarioFileName)))
    target.SwitchScenario(request.scenario);
  Options->Set(opt::DocumentKind, static_cast<uint16_t>(DocumentKind(request.path)));
  wc.FileDialogMask = ExtensionFilter(request.path);
  std::string folder = request.path;
  if (!RemoveLastPathElement(folder) || folder.empty()) return;
  ChangeCurrentFolder(folder);
  FileQueue.Clear();
  if (!FileQueue.Add(request.path.c_str())) return;
  CommandLineFlags.searchKeyGiven = true;
  CommandLineFlags.keyKindValid = true;
  wc.SearchKeyKinds[0] = request.keyKind;
  target.AnalyseQueue();
}

void RunCommandFile(RequestTarget& target) {
  TWorkContext& wc = *WorkContext;
  wc.PendingCommandFile = wc.CurrentFileName;
  const CommandFileOutcome outcome = ReadCommandFile(wc.CurrentFileName, target.CommandHooks());
  // Only a real command file is consumed; a document named by mistake stays.
  if (!outcome.hasSection) wc.PendingCommandFile.clear();
  target.ClearReanalysis();
  if (FileQueue.Count() == 1) {
    const std::string only = FileQueue.Get(1);
    target.OpenDocument(only);
  } else {
    target.AnalyseQueue();
  }
}

// The file a request names: an absolute path to an existing regular file.
bool AcceptableRequestFile(const std::string& path) {
  if (path.empty() || path[0] != '/') return false;
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void Carry(const TCopyDataRequest& request, RequestTarget& target) {
  target.BringToFront();
  TWorkContext& wc = *WorkContext;
  wc.CurrentFileName = request.path;
  for (size_t i = 0; i < kSearchKeyCount; ++i) wc.SearchKeys[i] = request.keys[i];
  wc.SearchKeyKinds.fill(0);
  wc.SearchKeyClassNumbers.fill(0);
  if (request.command == 0) AnalyseDocument(request, target);
  else RunCommandFile(target);
}

}  // namespace

TakenRequest RequestDispatcher::Take(std::string_view block) {
  if (working_ || target_.Busy()) return {RequestReply::kBusy, {}};
  const auto request = DecodeRequest(block);
  if (!request) {
    TakenRequest taken{RequestReply::kWrongSize, {}};
    if (!boxPending_) {
      boxPending_ = true;
      taken.work = [this] {
        target_.ShowError(kMsgRequestSize);
        boxPending_ = false;
      };
    }
    return taken;
  }
  // A command other than the two is refused, and every path is checked:
  // the path becomes the current file whatever the command.
  if (request->command > 1 || !AcceptableRequestFile(request->path)) return {RequestReply::kRefused, {}};
  if (!target_.ReleaseText()) return {RequestReply::kRefused, {}};
  working_ = true;
  return {RequestReply::kDone, [this, r = *request] {
            // Cleared however the work ends (a fatal error unwinds through it).
            struct Done {
              bool& flag;
              ~Done() { flag = false; }
            } done{working_};
            Carry(r, target_);
          }};
}

RequestReply HandleRequest(std::string_view block, RequestTarget& target) {
  RequestDispatcher dispatcher(target);
  TakenRequest taken = dispatcher.Take(block);
  if (taken.work) taken.work();
  return taken.reply;
}

bool HandleDrop(const std::vector<std::string>& names, RequestTarget& target) {
  if (target.Busy() || names.empty()) return false;
  const std::string& name = names.front();
  if (name.empty() || name.size() > kMaxPathLength) return false;
  struct stat info {};
  if (::stat(name.c_str(), &info) != 0) return false;
  if (S_ISDIR(info.st_mode)) {
    target.ListFolder(name);
    return true;
  }
  if (S_ISREG(info.st_mode) && ::access(name.c_str(), R_OK) == 0) {
    target.OpenDocument(name);
    return true;
  }
  return false;
}

}  // namespace quilor::ui
