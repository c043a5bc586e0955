#include "core/messages.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/chartables.h"
#include "core/string_table.h"
#include "core/worker_threads.h"
#include "platform/fatal.h"

namespace quilor {

char MessageBuffer[kMessageBufferSize];
TLastMessageBox LastMessageBox;

namespace {

std::string g_standard[kStandardTextCount];
bool g_standardLoaded = false;

constexpr int kStandardIds[] = {kStdUndefined, kStdError,      kStdAnomaly,    kStdBeCareful,   kStdQuit,
                                kStdSuccess,   kStdDictionary, kStdInProgress, kStdStopProcess, kStdWait,
                                kStdLoading,   kStdTextOk,     kStdPrinting,   kStdSaving};

// Runs the box of the given kind; returns the button pressed.
int RunBox(const std::string& text, int kind, bool withDontShow, int icon = kIconOfKind) {
  LastMessageBox.kind = kind;
  BoxRequest request;
  request.text = text.size() > 400 ? text.substr(0, 400) : text;
  request.kind = kind;
  request.withDontShow = withDontShow;
  request.icon = icon;
  BoxAnswer answer = CurrentMessageUi().ShowBox(request);
  LastMessageBox.result = answer.result;
  if (withDontShow) LastMessageBox.dontShowAgain = answer.dontShowAgain;
  LastMessageBox.kind = 0;
  return answer.result;
}

}  // namespace

const char* FindStringTableEntry(int id) {
  const StringTableEntry* begin = kStringTable;
  const StringTableEntry* end = kStringTable + kStringTableSize;
  const StringTableEntry* it =
      std::lower_bound(begin, end, id, [](const StringTableEntry& e, int v) { return e.id < v; });
  return (it != end && it->id == id) ? it->text : nullptr;
}

const char* LoadMessage(int id) {
  const char* text = FindStringTableEntry(id);
  if (!text) {
    char report[kMessageBufferSize];
    std::snprintf(report, sizeof report,
                  "Minor internal error - Erreur interne mineure.\r\nCause: LoadString Id=%5d failed."
                  "\r\nPlease report this error at - Merci de signaler l'erreur \xE0 :"
                  "\r\nthe Quilor support team, with the steps that led to it.",
                  id);
    ShowSystemError(report);
    std::strcpy(MessageBuffer, "?");
    return MessageBuffer;
  }
  size_t n = std::min<size_t>(std::strlen(text), kMessageBufferSize - 1);
  std::memcpy(MessageBuffer, text, n);
  MessageBuffer[n] = '\0';
  return MessageBuffer;
}

std::string GetMessageText(int id) { return LoadMessage(id); }

std::string GetMessageTextColon(int id) { return std::string(LoadMessage(id)) + ":"; }

std::string GetMessageTextLower(int id) {
  std::string s = LoadMessage(id);
  LowerCaseChars(s.data(), static_cast<int>(s.size()));
  return s;
}

const char* StandardTextOf(int k) {
  if (k < 0 || k >= kStandardTextCount) return "";
  return g_standard[k].c_str();
}

void InitMessages() {
  LastMessageBox.kind = 0;
  for (int k : kStandardIds) {
    const char* text = FindStringTableEntry(60 + k);
    if (!text) {
      std::string why = std::to_string(k) + "Memory low - M\xE9moire insuffisante";
      ShowSystemError(why);
      Terminate(kExitFatal, why);
    }
    g_standard[k] = text;
  }
  g_standardLoaded = true;
}

void DoneMessages() {
  for (auto& s : g_standard) s.clear();
  g_standardLoaded = false;
}

void ShowSystemError(const std::string& text) { CurrentMessageUi().ShowSystemError(text); }

int ShowError(const std::string& text) {
  RunBox(text, kBoxOk, false, kIconError);
  return 0;
}

int ShowWarning(const std::string& text) {
  RunBox(text, kBoxOk, false, kIconWarning);
  return 0;
}

bool AskYesNo(const std::string& text) { return RunBox(text, kBoxYesNo, false) == 1; }
bool AskNotYes(const std::string& text) { return !AskYesNo(text); }
bool AskYesNoWithDontShow(const std::string& text) { return RunBox(text, kBoxYesNo, true) == 1; }
bool AskYesNoDefaultYesWithDontShow(const std::string& text) { return RunBox(text, kBoxYesNoDefaultYes, true) == 1; }
bool CancelChosen(const std::string& text) { return RunBox(text, kBoxOkCancel, false) == 3; }
bool NoChosen(const std::string& text) { return RunBox(text, kBoxYesNoDefaultYes, false) == 3; }
int AskYesNoCancel(const std::string& text) { return RunBox(text, kBoxYesNoCancel, false); }
int AskSaveYesNoCancel(const std::string& text) { return RunBox(text, kBoxSaveYesNoCancel, false); }

int ReportOutOfMemory() {
  ShowSystemError(GetMessageText(kMsgMemoryLow));
  return kExitFatal;
}

bool CheckAlloc(const void* pointer) {
  if (pointer) return true;
  // A worker cannot show the message: its caller ends the run.
  if (!OnMessageThread()) throw std::bad_alloc();
  std::string text = GetMessageText(kMsgMemoryLow);
  ShowError(text);
  Terminate(kExitFatal, text);
}

namespace {
std::atomic<uint64_t> g_memoryLowReports{0};
}  // namespace

uint64_t MemoryLowReports() { return g_memoryLowReports.load(std::memory_order_acquire); }

bool ReportMemoryLow(bool failed) {
  if (!failed) return false;
  g_memoryLowReports.fetch_add(1, std::memory_order_acq_rel);
  // On a worker the failure is recorded; the message thread reports it.
  if (!OnMessageThread()) {
    RecordWorkerMemoryLow();
    return true;
  }
  ShowError(GetMessageText(kMsgMemoryLow));
  return true;
}

void StopIfAllocationFailed(const char* owner, bool failed) {
  if (!failed) return;
  if (!OnMessageThread()) throw std::bad_alloc();
  std::string text = GetMessageText(kMsgMemoryLow);
  ShowError(text);
  Terminate(kExitFatal, std::string(owner ? owner : "") + ": " + text);
}

}  // namespace quilor
