#include "scenario/owl_import_logic.h"

#include "core/files.h"
#include "core/messages.h"
#include "core/options.h"
#include "platform/text_encoding.h"
#include "scenario/texts.h"

namespace quilor::ui {

OwlImportOptions OwlOptionsFromSettings(bool flexedForms, bool unicode, bool otherLanguages, bool restrictions,
                                        bool verbose, bool dump) {
  OwlImportOptions o;
  o.flexedForms = flexedForms;
  o.unicode = unicode;
  o.ignoreOtherLanguages = otherLanguages;
  o.ignoreRestrictions = restrictions;
  o.verbose = verbose;
  o.dumpInput = dump;
  o.addFormsWithoutAccent = Options->Switch(opt::AddFormsWithoutAccent);
  o.isoLanguage = IsoLanguageCode();
  return o;
}

std::string OwlImportReport(const OwlImportResult& r, const std::string& logPath) {
  // File names and the system's words are UTF-8; the box shows Windows-1252.
  const std::string detail = Utf8ToCp1252(r.failureDetail);
  std::string why;
  switch (r.failure) {
    case OwlFailure::kNone: break;
    case OwlFailure::kUnreadable: why = Msg(kMsgOwlUnreadable) + " " + detail; break;
    case OwlFailure::kEntity: why = Msg(kMsgOwlEntity) + " \"" + detail + "\" " + Msg(kMsgOwlEntityWhy); break;
    case OwlFailure::kMalformed:
      why = Msg(kMsgOwlMalformed) + " (" + Msg(kMsgOwlLine) + " " + std::to_string(r.failureLine) + ", " +
            Msg(kMsgOwlColumn) + " " + std::to_string(r.failureColumn) + "): " + detail;
      break;
    case OwlFailure::kTooDeep: why = Msg(kMsgOwlTooDeep) + " " + detail; break;
    case OwlFailure::kWriteFailed: why = Msg(kMsgOwlNotWritten) + " " + detail; break;
  }
  const std::string log = logPath.empty() ? std::string() : "\r\n" + Msg(kMsgOwlLogIsIn) + " " + Utf8ToCp1252(logPath);
  if (!r.ok) {
    static const int kStepFailure[] = {kMsgOwlReadFailed, kMsgOwlReadFailed, kMsgOwlTreeFailed, kMsgOwlScenarioFailed};
    const int step = r.failedStep >= 1 && r.failedStep <= 3 ? r.failedStep : 1;
    std::string text = Msg(kStepFailure[step]);
    if (!why.empty()) text += "\r\n" + why;
    return text + log;
  }
  if (r.classesLeftOut == 0) return {};
  return Msg(kMsgOwlOverLimit) + " " + std::to_string(kOwlMaxClasses) + " " + Msg(kMsgOwlLeftOut) + " " +
         std::to_string(r.classesLeftOut) + " " + Msg(kMsgOwlLeftOutListed) + log;
}

std::string RunOwlImport(const std::string& inputPath, const OwlImportOptions& options, std::string& logPath) {
  std::string produced;
  ShowHourglass();
  const OwlImportResult r = ImportOwlFile(inputPath, WorkContext->UserScenarioFolder, options, produced, logPath);
  RestoreCursor();
  const std::string report = OwlImportReport(r, logPath);
  if (!r.ok) ShowError(report);
  else if (!report.empty()) ShowWarning(report);
  return produced;
}

}  // namespace quilor::ui
