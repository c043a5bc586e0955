#include "output/installed_applications.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>

#include "core/files.h"
#include "core/messages.h"
#include "core/lexicon.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "import/conversion_dispatch.h"
#include "output/plugins.h"
#include "platform/text_encoding.h"
#include "generated/message_names.h"

extern char** environ;

namespace quilor::ui {

namespace {

constexpr int kMsgApplication = 966;
constexpr int kMsgVersion = 685;
constexpr int kMsgInformation = 1210;
constexpr int kMsgUnavailable = 1212;
constexpr int kMsgInternal = 1213;
constexpr int kMsgInstalled = 1214;
constexpr int kMsgInactive = 1188;
constexpr int kMsgFilter = 1186;
constexpr int kMsgDictionary = 68;
constexpr int kMsgScenario = 309;
constexpr int kMsgTarvik = 980;
constexpr int kMsgWebModule = 804;
constexpr int kMsgSpreadsheet = 1217;
constexpr int kMsgBrowser = 1218;

std::string Text(int id) { return GetMessageText(id); }

}  // namespace

std::string RunDesktopQuery(const std::vector<std::string>& argv) {
  if (argv.empty()) return {};
  int fds[2];
  if (::pipe(fds) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int error = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  std::string output;
  if (error == 0) {
    // A desktop that does not answer within two seconds tells nothing.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    char buffer[512];
    for (;;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd p{fds[0], POLLIN, 0};
      if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
        ::kill(pid, SIGKILL);
        break;
      }
      const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
      if (n <= 0 || output.size() > 4096) break;
      output.append(buffer, static_cast<size_t>(n));
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  ::close(fds[0]);
  const size_t end = output.find('\n');
  return output.substr(0, end);
}

std::vector<InstalledRow> InstalledApplications(const DesktopQuery& query) {
  std::vector<InstalledRow> rows;
  std::string version, build;
  bool prototype = false;
  GetProgramVersion(version, build, prototype);
  rows.push_back({"Quilor", version, Text(kMsgInstalled)});
  // The version of the dictionary's data (the lexicon's stamp), not the layout mark of its semantic part.
  rows.push_back({Text(kMsgDictionary),
                  MainDictionary && MainDictionary->ready ? std::to_string(MainDictionary->stamp) : "",
                  Utf8ToCp1252(WorkContext->DictionaryMask)});
  rows.push_back({Text(kMsgScenario), "", Options->Get(opt::ScenarioFileName)});
  rows.push_back({"Lumo", "", ""});
  rows.push_back({Text(kMsgTarvik), "1.2", ""});
  rows.push_back({Text(kMsgWebModule), "", ""});
  // The conversion filters, each with the extensions it serves.
  static constexpr int kNames[kConverterCount] = {msg::kPdfIFilter,       msg::kOffice97To2003,
                                                  msg::kOffice2007,       msg::kPowerpoint2007,
                                                  msg::kOpenDocumentText, msg::kOpenDocumentPresentation};
  const ConversionSwitches switches = ReadConversionSwitches();
  for (int i = 0; i < kConverterCount; ++i) {
    const DocumentFilter* filter = Converter(static_cast<ConverterFormat>(i));
    std::string information =
        filter != nullptr && filter->Available() ? Utf8ToCp1252(filter->LibraryPath()) : Text(kMsgInactive);
    if (i == static_cast<int>(ConverterFormat::kOffice) && !switches.officeFilter) information = Text(kMsgInternal);
    rows.push_back({Text(kNames[i]), Text(kMsgFilter), information});
    rows.push_back({std::string("  ") + kConverterExtensions[i], "", Text(kNames[i])});
  }
  const std::string spreadsheet =
      query({"xdg-mime", "query", "default", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"});
  rows.push_back({Text(kMsgSpreadsheet), spreadsheet.empty() ? "" : Text(kMsgInstalled), Utf8ToCp1252(spreadsheet)});
  const std::string browser = query({"xdg-settings", "get", "default-web-browser"});
  rows.push_back({Text(kMsgBrowser), browser.empty() ? "" : Text(kMsgInstalled), Utf8ToCp1252(browser)});
  SiblingProgram demora, mellaro;
  DetectDemora(demora);
  DetectMellaro(mellaro);
  rows.push_back({"Demora", demora.version, demora.found ? Utf8ToCp1252(demora.path) : ""});
  rows.push_back({"Mellaro", mellaro.version, mellaro.found ? Utf8ToCp1252(mellaro.path) : ""});
  for (InstalledRow& row : rows)
    if (row.information.empty()) {
      row.information = Text(kMsgUnavailable);
      row.version.clear();
    }
  return rows;
}

std::string InstalledApplicationsText(const std::vector<InstalledRow>& rows) {
  std::string text = Cp1252ToUtf8(Text(kMsgApplication));
  text += "\t" + Cp1252ToUtf8(Text(kMsgVersion));
  text += "\t" + Cp1252ToUtf8(Text(kMsgInformation)) + "\r\n";
  for (const InstalledRow& row : rows)
    text += Cp1252ToUtf8(row.application) + "\t" + Cp1252ToUtf8(row.version) + "\t" + Cp1252ToUtf8(row.information) +
            "\r\n";
  return text;
}

}  // namespace quilor::ui
