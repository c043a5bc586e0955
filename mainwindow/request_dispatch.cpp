#include "mainwindow/request_dispatch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

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

RequestReply AnalyseDocument(const TCopyDataRequest& request, RequestTarget& target) {
  TWorkContext& wc = *WorkContext;
  DeletePendingCommandFile();
  if (!request.scenario.empty() && !SameNameIgnoringCase(request.scenario, Options->Get(opt::ScenarioFileName)))
    target.SwitchScenario(request.scenario);
  Options->Set(opt::DocumentKind, static_cast<uint16_t>(DocumentKind(request.path)));
  wc.FileDialogMask = ExtensionFilter(request.path);
  std::string folder = request.path;
  if (!RemoveLastPathElement(folder) || folder.empty()) return RequestReply::kRefused;
  ChangeCurrentFolder(folder);
  FileQueue.Clear();
  if (!FileQueue.Add(request.path.c_str())) return RequestReply::kRefused;
  SearchKeyGiven = true;
  KeyKindValid = true;
  wc.SearchKeyKinds[0] = request.keyKind;
  target.AnalyseQueue();
  return RequestReply::kDone;
}

RequestReply RunCommandFile(RequestTarget& target) {
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
  return RequestReply::kDone;
}

}  // namespace

RequestReply HandleRequest(std::string_view block, RequestTarget& target) {
  if (target.Busy()) return RequestReply::kBusy;
  const auto request = DecodeRequest(block);
  if (!request) {
    target.ShowError(kMsgRequestSize);
    return RequestReply::kWrongSize;
  }
  if (!target.ReleaseText()) return RequestReply::kRefused;
  target.BringToFront();
  TWorkContext& wc = *WorkContext;
  wc.CurrentFileName = request->path;
  for (size_t i = 0; i < kSearchKeyCount; ++i) wc.SearchKeys[i] = request->keys[i];
  wc.SearchKeyKinds.fill(0);
  wc.SearchKeyClassNumbers.fill(0);
  switch (request->command) {
    case 0: return AnalyseDocument(*request, target);
    case 1: return RunCommandFile(target);
    default:
      target.AnalyseQueue();
      return RequestReply::kDone;
  }
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
