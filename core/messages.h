// Numbered user texts and the message box.
//
// Every text shown to the user is an entry of the string table, fetched by
// number into MessageBuffer. Texts are Windows-1252.
#pragma once

#include <cstdint>
#include <string>

#include "platform/message_ui.h"

namespace quilor {

constexpr int kMessageBufferSize = 401;  // 400 characters and the NUL
extern char MessageBuffer[kMessageBufferSize];

// Messages used by this unit.
constexpr int kMsgMemoryLow = 0;
constexpr int kMsgStopProcess = 70;
constexpr int kMsgDontShowAgain = 1267;
constexpr int kMsgButtonOk = 680;
constexpr int kMsgButtonCancel = 661;
constexpr int kMsgButtonYes = 678;
constexpr int kMsgButtonNo = 679;

// Loads entry id into MessageBuffer (at most 400 characters) and returns it.
// A missing entry shows the internal-error report and gives "?".
const char* LoadMessage(int id);
// The text of entry id as a string of its own: texts are joined with +, and
// two of them in one expression never share the buffer.
std::string GetMessageText(int id);
std::string GetMessageTextColon(int id);
std::string GetMessageTextLower(int id);

// Standard texts, loaded once by InitMessages from messages 60 + k.
enum StandardText : int {
  kStdUndefined = 0,
  kStdError = 1,
  kStdAnomaly = 2,
  kStdBeCareful = 3,
  kStdQuit = 4,
  kStdSuccess = 5,
  kStdDictionary = 8,
  kStdInProgress = 9,
  kStdStopProcess = 10,
  kStdWait = 11,
  kStdLoading = 12,
  kStdTextOk = 13,
  kStdPrinting = 14,
  kStdSaving = 18,
};
constexpr int kStandardTextCount = 19;
// The standard text k ("" for k not in the table or before InitMessages).
const char* StandardTextOf(int k);
// Loads the standard texts; a missing one is fatal (exit code 1).
void InitMessages();
void DoneMessages();

// The last message box: dontShowAgain receives the check box of the last
// box that showed it; its kind and result, as the program's other units
// read them. LastMessageBox = {} starts afresh.
struct TLastMessageBox {
  bool dontShowAgain = false;
  int kind = 0;
  int result = 0;
};
extern TLastMessageBox LastMessageBox;

void ShowSystemError(const std::string& text);
int ShowError(const std::string& text);                        // kind 0 with the error picture; returns 0
int ShowWarning(const std::string& text);                      // kind 0 with the warning picture; returns 0
bool AskYesNo(const std::string& text);                        // kind 4; True on Yes
bool AskNotYes(const std::string& text);                       // not AskYesNo
bool AskYesNoWithDontShow(const std::string& text);            // kind 4 with the check box
bool AskYesNoDefaultYesWithDontShow(const std::string& text);  // kind 5 with the check box
bool CancelChosen(const std::string& text);                    // kind 1 (OK, Cancel); true when Cancel was chosen
bool NoChosen(const std::string& text);                        // kind 5 (Yes focused); true only when No was chosen
int AskYesNoCancel(const std::string& text);                   // kind 3; 1 Yes, 2 No, 3 Cancel, 0 closed
// A question whose No throws work away: kind 6, Yes focused (Enter keeps the work).
int AskSaveYesNoCancel(const std::string& text);

// Allocation guards. On a worker thread (core/worker_threads.h) none shows
// anything: ReportMemoryLow records the failure, the others throw
// std::bad_alloc for the worker's RunWorker to record.
// A failed allocation shows message 0 and ends the program with exit code 1.
bool CheckAlloc(const void* pointer);
// When failed, shows message 0 and returns True (the caller gives up); never stops.
bool ReportMemoryLow(bool failed);
// How many failures ReportMemoryLow was told of, on every thread, since the
// program started: a run that saw this change left something out.
uint64_t MemoryLowReports();
// When failed, shows message 0 and ends the program with exit code 1.
void StopIfAllocationFailed(const char* owner, bool failed);
// For the places that catch a failed allocation (std::bad_alloc) where the
// tools' main and the program's event loop call into the program: shows
// message 0 as a system error (which needs no window of the program) and
// returns the exit code to end with (kExitFatal).
int ReportOutOfMemory();

}  // namespace quilor
