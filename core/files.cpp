#include "core/files.h"

#include <cstring>
#include <filesystem>

#include "core/chartables.h"

namespace quilor {

const char* FileNamePart(const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '/' || *p == '\\') name = p + 1;
  return name;
}

std::string ExtensionFilter(const std::string& name) {
  const char* file = FileNamePart(name.c_str());
  const char* dot = std::strrchr(file, '.');
  std::string filter = dot ? std::string("*") + dot : std::string("*");
  if (filter.size() >= 13) filter = "*.*";
  return filter;
}

int DocumentKind(const std::string& name) {
  LastFileResult.unknownExtension = false;
  std::string ext = ExtensionFilter(name).substr(0, 10);
  if (ext.empty()) return kDocHtml;
  LowerCaseString(ext);
  if (ext[0] == '*') ext.erase(0, 1);
  if (ext == ".text") ext = ".txt";
  if (ext == ".pptx" || ext == ".ppsx") return kDocPowerPointXml;
  if (ext.size() > 4) ext.resize(4);
  static const struct {
    const char* ext;
    int kind;
  } kTable[] = {
      {".txt", kDocText},         {".htm", kDocHtml},         {".doc", kDocWord},    {".pdf", kDocPdf},
      {".xml", kDocXml},          {".sgm", kDocSgml},         {".asc", kDocDosText}, {".tx8", kDocDosText},
      {".rtf", kDocRtf},          {".*", kDocAnyExtension},   {".mac", kDocMacText}, {".ppt", kDocPowerPoint},
      {".odt", kDocOdt},          {".odp", kDocOdp},          {".xps", kDocXps},     {".swf", kDocFlash},
      {".xls", kDocExcel},        {".scn", kDocScenario},     {".idt", kDocIndex},   {".mit", kDocOtherProduct},
      {".mft", kDocOtherProduct}, {".mvi", kDocOtherProduct}, {".dlm", kDocBorders}};
  for (const auto& e : kTable)
    if (ext == e.ext) return e.kind;
  LastFileResult.unknownExtension = true;
  return kDocHtml;
}

bool IsReadableDocument(const std::string& name) {
  int kind = DocumentKind(name);
  return kind <= kDocOdp && !LastFileResult.unknownExtension;
}

}  // namespace quilor

// ---------------------------------------------------------------------------
// Paths, files, languages, shell and help.

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "core/messages.h"
#include "core/options.h"
#include "platform/read_file.h"
#include "platform/settings_store.h"

extern char** environ;

namespace quilor {

TLastFileResult LastFileResult;
TProgramFiles ProgramFiles;

namespace {

constexpr int kMsgCannotReadInput = 2;
constexpr int kMsgExecutionFailed = 1;
constexpr int kMsgUnknownFormat = 686;
constexpr int kMsgNoHelpViewer = 6610;
constexpr int kMsgNothingOpens = 6611;
constexpr int kMsgStoreInScenarioFolder = 1221;
constexpr int kMsgCopyManually = 1222;

std::string& ProgramPathOverride() {
  static std::string path;
  return path;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

}  // namespace

bool ChangeCurrentFolder(const std::string& path) {
  LastFileResult.ioResult = (!path.empty() && ::chdir(path.c_str()) == 0) ? 0 : (path.empty() ? ENOENT : errno);
  return LastFileResult.ioResult == 0;
}

std::string MakePathAbsolute(const std::string& path) {
  if (path.empty()) return path;
  std::string full = path;
  if (path[0] != '/') {
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer)) return path;
    full = std::string(buffer) + "/" + path;
  }
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= full.size()) {
    size_t slash = full.find('/', start);
    if (slash == std::string::npos) slash = full.size();
    std::string part = full.substr(start, slash - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(std::move(part));
    }
    start = slash + 1;
  }
  std::string out;
  for (const std::string& part : parts) out += "/" + part;
  if (out.empty()) out = "/";
  // A name that ended in a separator keeps it (a folder).
  if (full.back() == '/' && out != "/") out += '/';
  return out;
}

bool IsReadableRegularFile(const std::string& path, int* whyNot) {
  int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (whyNot) *whyNot = kMsgCannotOpenFile;
    return false;
  }
  struct stat st {};
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  ::close(fd);
  if (!regular && whyNot) *whyNot = kMsgNotRegularFile;
  return regular;
}

std::string ExpandPathName(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char buffer[PATH_MAX];
  if (!::getcwd(buffer, sizeof buffer)) return path;
  std::string full = buffer;
  if (full.back() != '/') full += '/';
  return full + path;
}

std::string ProgramPath() {
  if (!ProgramPathOverride().empty()) return ProgramPathOverride();
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "";
  return std::string(buffer, static_cast<size_t>(n));
}

void SetProgramPathForTesting(const std::string& path) { ProgramPathOverride() = path; }

void BuildProgramFilePaths() {
  std::string program = ProgramPath();
  ProgramFiles.options = ReplaceExtension(program, ".prm");
  ProgramFiles.help = ReplaceExtension(program, ".chm");
}

const char* ExtensionPointer(const char* path) {
  const char* name = FileNamePart(path);
  const char* dot = std::strrchr(name, '.');
  return dot ? dot : name + std::strlen(name);
}

bool RemoveLastPathElement(std::string& path) {
  for (size_t i = path.size(); i-- > 1;)
    if (IsSeparator(path[i])) {
      path.resize(i);
      return true;
    }
  return false;
}

void StripExtension(std::string& path) {
  size_t dot = static_cast<size_t>(ExtensionPointer(path.c_str()) - path.c_str());
  if (dot >= 1 && dot < path.size()) path.resize(dot);
}

std::string ReplaceExtension(const std::string& path, const std::string& extension) {
  std::string out = path.substr(0, std::strlen(path.c_str()));
  StripExtension(out);
  // Cut the stem rather than the new extension, which decides the file's kind.
  size_t room = extension.size() < kMaxPath ? kMaxPath - extension.size() : 0;
  if (out.size() > room) out.resize(room);
  out += extension;
  if (out.size() > kMaxPath) out.resize(kMaxPath);
  return out;
}

std::string IndexFileName(const std::string& name) {
  if (name.size() < 257) return name + ".idt";
  return ReplaceExtension(name, ".idt");
}

bool JoinFolderAndName(const std::string& folder, const std::string& name, std::string& out) {
  if (name.empty() || name == "." || name == ".." || name.find_first_of(std::string("/\\\0", 3)) != std::string::npos)
    return false;
  std::string joined = folder;
  if (!joined.empty() && joined.back() != '/') joined += '/';
  joined += name;
  if (joined.size() > kMaxPath) return false;
  out = joined;
  return true;
}

bool EraseFile(const std::string& path) {
  LastFileResult.ioResult = ::unlink(path.c_str()) == 0 ? 0 : errno;
  return LastFileResult.ioResult == 0;
}

bool RenameFileTo(const std::string& oldPath, const std::string& newPath) {
  LastFileResult.ioResult = ::rename(oldPath.c_str(), newPath.c_str()) == 0 ? 0 : errno;
  return LastFileResult.ioResult == 0;
}

bool FileExistsWithSize(const std::string& name) {
  if (name.empty()) {
    LastFileResult.ioResult = ENOENT;
    return false;
  }
  int fd = OpenRegularFile(name);
  if (fd < 0) {
    LastFileResult.ioResult = errno;
    return false;
  }
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0;
  LastFileResult.ioResult = ok ? 0 : errno;
  if (ok) LastFileResult.fileSize = st.st_size;
  ::close(fd);
  return ok;
}

bool CopyFileByBlocks(const std::string& source, const std::string& destination) {
  int in = OpenRegularFile(source);
  if (in < 0) {
    LastFileResult.ioResult = errno;
    return false;
  }
  // A link planted under the destination's name is never written through.
  int out = ::open(destination.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (out < 0) {
    LastFileResult.ioResult = errno;
    ::close(in);
    return false;
  }
  char block[2048];
  bool ok = true;
  for (;;) {
    ssize_t n = ::read(in, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      LastFileResult.ioResult = errno;
      ok = false;
      break;
    }
    if (n == 0) break;
    if (!WriteAll(out, std::string_view(block, static_cast<size_t>(n)))) {
      LastFileResult.ioResult = errno;
      ok = false;
      break;
    }
  }
  ::close(in);
  if (::close(out) != 0 && ok) {
    LastFileResult.ioResult = errno;
    ok = false;
  }
  if (ok) LastFileResult.ioResult = 0;
  return ok;
}

bool CheckInScenarioFolder(const std::string& fileName, const std::string& scenarioFolder) {
  std::string folder = fileName;
  if (!RemoveLastPathElement(folder)) folder.clear();
  std::string expected = scenarioFolder;
  while (expected.size() > 1 && expected.back() == '/') expected.pop_back();
  bool same = folder.size() == expected.size();
  for (size_t i = 0; same && i < folder.size(); ++i)
    if (AsciiLower(folder[i]) != AsciiLower(expected[i])) same = false;
  if (same) return true;
  ShowError(std::string(GetMessageText(kMsgStoreInScenarioFolder)) + "\"" + scenarioFolder + "\" " +
            GetMessageText(kMsgCopyManually));
  return false;
}

bool FileIsInFolder(const std::string& fileName, const std::string& folder) {
  std::error_code error;
  const std::filesystem::path parent = std::filesystem::path(fileName).parent_path();
  if (parent.empty() || folder.empty()) return false;
  const std::filesystem::path a = std::filesystem::weakly_canonical(parent, error);
  if (error) return false;
  const std::filesystem::path b = std::filesystem::weakly_canonical(folder, error);
  return !error && a == b;
}

bool CheckInScenarioFolder(const std::string& fileName) {
  return CheckInScenarioFolder(fileName, WorkContext->UserScenarioFolder);
}

std::string GetPersonalFolder() {
  const char* documents = std::getenv("XDG_DOCUMENTS_DIR");
  if (documents && documents[0] == '/') return documents;
  const char* home = std::getenv("HOME");
  std::string base = home && home[0] ? home : "/";
  struct stat st {};
  std::string candidate = (base == "/" ? "" : base) + "/Documents";
  if (::stat(candidate.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return candidate;
  return base;
}

std::string ConversionFiltersKey() {
  return std::string("\\Software\\") + "Brevalia" + "\\" + "ConversionFilters" + "\\" + "V" + std::to_string(1) + "." +
         std::to_string(2);
}

void FormatProgramVersion(uint32_t productHigh, uint32_t productLow, uint32_t fileFlags, std::string& version,
                          std::string& build, bool& flag) {
  char h[16];
  char l[16];
  std::snprintf(h, sizeof h, "%04X", productHigh);
  std::snprintf(l, sizeof l, "%05X", productLow);
  version = std::string(1, h[0]) + "." + (std::strlen(h) > 4 ? std::string(1, h[4]) : std::string("?")) + "." + l[0];
  build = std::string(" ") + (l + 1);
  flag = fileFlags != 0;
}

void GetProgramVersion(std::string& version, std::string& build, bool& flag) {
  // The version record: major and minor in the high half, the patch number
  // and the build in the low half.
#ifndef QUILOR_VERSION_MAJOR
#error "the build defines the program's version (CMakeLists.txt)"
#endif
  constexpr uint32_t kProductHigh = (uint32_t{QUILOR_VERSION_MAJOR} << 16) | uint32_t{QUILOR_VERSION_MINOR};
  constexpr uint32_t kProductLow = (uint32_t{QUILOR_VERSION_PATCH} << 16) | (uint32_t{QUILOR_VERSION_BUILD} & 0xFFFF);
  constexpr uint32_t kFileFlags = 0;
  FormatProgramVersion(kProductHigh, kProductLow, kFileFlags, version, build, flag);
}

// ---- Languages --------------------------------------------------------------

namespace {

struct LanguageEntry {
  int number;
  const char* dictionary;
  const char* iso;
  int nameMessage;
};

constexpr int kMsgOtherLanguage = 655;
constexpr int kMsgFrench = 590, kMsgItalian = 591, kMsgSpanish = 592, kMsgEnglish = 593, kMsgGerman = 594,
              kMsgPortuguese = 595, kMsgGreek = 596, kMsgRomanian = 597;

constexpr LanguageEntry kLanguages[] = {
    {1, "fr", "fr", kMsgFrench},         {2, "it", "it", kMsgItalian},        {3, "sp", "es", kMsgSpanish},
    {4, "en", "en", kMsgEnglish},        {5, "ge", "de", kMsgGerman},         {6, "pt", "pt", kMsgPortuguese},
    {7, "nl", "nl", kMsgOtherLanguage},  {8, "ru", "ru", kMsgOtherLanguage},  {9, "gr", "el", kMsgGreek},
    {10, "ar", "ar", kMsgOtherLanguage}, {11, "ja", "ja", kMsgOtherLanguage}, {12, "ch", "zh", kMsgOtherLanguage},
    {13, "??", "cs", kMsgOtherLanguage}, {14, "ro", "ro", kMsgRomanian},      {99, "zz", "??", kMsgOtherLanguage},
};

const LanguageEntry* FindLanguage(int language) {
  for (const auto& e : kLanguages)
    if (e.number == language) return &e;
  return nullptr;
}

int CurrentLanguage() { return GeneralState->Language; }

}  // namespace

const char* DictionaryLanguageCode(int language) {
  const LanguageEntry* e = FindLanguage(language);
  return e ? e->dictionary : "??";
}
const char* DictionaryLanguageCode() { return DictionaryLanguageCode(CurrentLanguage()); }

const char* IsoLanguageCode(int language) {
  const LanguageEntry* e = FindLanguage(language);
  return e ? e->iso : "??";
}
const char* IsoLanguageCode() { return IsoLanguageCode(CurrentLanguage()); }

int LanguageNameMessage(int language) {
  const LanguageEntry* e = FindLanguage(language);
  return e ? e->nameMessage : kMsgOtherLanguage;
}
int LanguageNameMessage() { return LanguageNameMessage(CurrentLanguage()); }

// ---- Shell ------------------------------------------------------------------

namespace {

ProgramLauncher& Launcher() {
  static ProgramLauncher launcher;
  return launcher;
}

int Launch(const std::vector<std::string>& argv, const std::string& workingFolder) {
  if (Launcher()) return Launcher()(argv, workingFolder);
  return SpawnProgram(argv, workingFolder);
}

// Maps a start failure to the shell's result codes.
int ShellCodeOf(int error) {
  if (error == 0) return kShellSuccess;
  if (error == ENOENT) return kShellNoAssociation;  // no opener installed
  return kShellOutOfMemory;
}

bool PathExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

std::string FolderOf(const std::string& file) {
  std::string folder = file;
  if (!RemoveLastPathElement(folder)) return "";
  return folder;
}

}  // namespace

namespace {

// Waits for a child a moment: its exit status when it ended in that time
// (its failure shows), 0 when it still runs (a waiter then reaps it).
int AwaitQuickFailure(pid_t pid, int milliseconds) {
  for (int waited = 0; waited <= milliseconds; waited += 50) {
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    if (done < 0 && errno != EINTR) return 0;
    ::usleep(50 * 1000);
  }
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return 0;
}

// Starts a program that hands a file to another (the desktop's opener): the
// opener always starts, so its own failure (no program behind it for that
// kind of file) is known by its exit status. 0 when started, ECHILD when the
// opener failed, else the start's errno value.
int SpawnOpener(const std::vector<std::string>& argv, const std::string& workingFolder) {
  if (Launcher()) return Launcher()(argv, workingFolder);
  if (argv.empty() || argv[0].empty()) return ENOENT;
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!workingFolder.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
  pid_t pid = 0;
  const int error = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return error;
  return AwaitQuickFailure(pid, 1500) == 0 ? 0 : ECHILD;
}

// A failed opener is a file no program is associated with.
int OpenerError(int error) { return error == ECHILD ? ENOENT : error; }

// Hands a file or folder to the desktop's opener; when no program opens it,
// the user is told so in a box with its path. True when opened.
bool OpenOrSay(const std::string& path, const std::string& workingFolder) {
  if (SpawnOpener({"xdg-open", path}, workingFolder) == 0) return true;
  ShowError(std::string(GetMessageText(kMsgNothingOpens)) + "\n" + path);
  return false;
}

}  // namespace

int SpawnProgram(const std::vector<std::string>& argv, const std::string& workingFolder) {
  if (argv.empty() || argv[0].empty()) return ENOENT;
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!workingFolder.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
  pid_t pid = 0;
  int error = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return error;
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return 0;
}

void SetProgramLauncher(ProgramLauncher launcher) { Launcher() = std::move(launcher); }

bool ExploreFolder(const std::string& path) {
  if (!PathExists(path)) return false;
  return OpenOrSay(path, path);
}

bool ShellOpenFile(const std::string& file) {
  if (!PathExists(file)) return false;
  std::string folder = FolderOf(file);
  return OpenOrSay(file, PathExists(folder) ? folder : std::string());
}

int ShellOpenWithVerb(const std::string& verb, const std::string& file) {
  std::string v = verb;
  for (char& c : v) c = static_cast<char>(ToLowerChar(static_cast<unsigned char>(c)));
  int code;
  if (!PathExists(file)) {
    code = kShellFileNotFound;
  } else {
    std::string folder = FolderOf(file);
    if (!PathExists(folder)) folder.clear();
    struct stat st {};
    const bool isFolder = ::stat(file.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    if (isFolder) folder = file;
    std::vector<std::string> argv;
    if (v.empty() || v == "open") {
      argv = {"xdg-open", file};
    } else if (v == "explore") {
      argv = {"xdg-open", isFolder ? file : folder.empty() ? std::string(".") : folder};
    } else if (v == "edit") {
      const char* editor = std::getenv("VISUAL");
      if (!editor || !*editor) editor = std::getenv("EDITOR");
      if (editor && *editor) {
        argv = SplitCommandLine(editor);
        argv.push_back(file);
      } else {
        argv = {"xdg-open", file};
      }
    } else if (v == "print") {
      argv = {"lp", "--", file};
    }
    // The desktop's opener is waited for a moment: its failure means no
    // program opens that file.
    const bool opener = !argv.empty() && argv[0] == "xdg-open";
    code = argv.empty() ? kShellNoAssociation
           : opener     ? ShellCodeOf(OpenerError(SpawnOpener(argv, folder)))
                        : ShellCodeOf(Launch(argv, folder));
  }
  if (code <= 32) ReportShellError(code);
  return code;
}

bool IsOpenableUrl(const std::string& url) {
  std::string lower = url.substr(0, 8);
  for (char& c : lower) c = static_cast<char>(ToLowerChar(static_cast<unsigned char>(c)));
  size_t scheme = lower.rfind("http://", 0) == 0 ? 7 : lower.rfind("https://", 0) == 0 ? 8 : 0;
  if (scheme == 0 || url.size() == scheme) return false;
  for (unsigned char c : url)
    if (c <= ' ' || c == 0x7F) return false;
  return true;
}

bool ShellOpenUrl(const std::string& url) {
  if (!IsOpenableUrl(url)) return false;
  int code = ShellCodeOf(OpenerError(SpawnOpener({"xdg-open", url}, "")));
  if (code <= 32) ReportShellError(code);
  return code > 32;
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> args;
  std::string current;
  bool inQuotes = false;
  bool started = false;
  for (char c : commandLine) {
    if (c == '"') {
      inQuotes = !inQuotes;
      started = true;
    } else if ((c == ' ' || c == '\t') && !inQuotes) {
      if (started) args.push_back(current);
      current.clear();
      started = false;
    } else {
      current += c;
      started = true;
    }
  }
  if (started) args.push_back(current);
  return args;
}

int RunProgram(const std::string& commandLine) { return RunProgramArguments(SplitCommandLine(commandLine)); }

int RunProgramArguments(const std::vector<std::string>& argv) {
  int code;
  if (argv.empty()) {
    code = kShellFileNotFound;
  } else {
    // A program that cannot be started (missing, not executable) is an
    // unavailable program, not an unreadable input file.
    code = Launch(argv, "") == 0 ? kShellSuccess : kShellOutOfMemory;
  }
  if (code <= 32) ReportShellError(code);
  return code;
}

void ReportShellError(int code) {
  if (code > 32) return;
  if (code == kShellFileNotFound || code == kShellPathNotFound) ShowError(GetMessageText(kMsgCannotReadInput));
  else if (code == kShellNoAssociation) ShowError(GetMessageText(kMsgUnknownFormat));
  else ShowError(GetMessageText(kMsgExecutionFailed));
}

// ---- Windows, cursors and help ---------------------------------------------

namespace {
DesktopServices& DefaultDesktop() {
  static DesktopServices services;
  return services;
}
DesktopServices* InstalledDesktop = nullptr;
}  // namespace

void SetDesktopServices(DesktopServices* services) { InstalledDesktop = services; }
DesktopServices& Desktop() { return InstalledDesktop ? *InstalledDesktop : DefaultDesktop(); }

std::string ProgramWindowTitle(bool sibling) {
  return std::string(sibling ? "Lumo" : "Quilor") + " (" + GetMessageText(LanguageNameMessage()) + ")";
}

std::string HelpFolder() {
  std::string root = WorkContext ? WorkContext->InstallRoot : std::string();
  return (root.empty() ? std::string(".") : root) + "/Help";
}

std::string HelpPagePath(int context) {
  const std::string folder = HelpFolder();
  if (context > 0) {
    std::string page = folder + "/" + std::to_string(context) + ".html";
    if (PathExists(page)) return page;
  }
  return folder + "/index.html";
}

// A missing help folder or no program to show it is said, never silent.
void ShowHelpContext(int context) {
  const std::string page = HelpPagePath(context);
  if (!PathExists(page)) {
    ReportShellError(kShellFileNotFound);
    return;
  }
  if (SpawnOpener({"xdg-open", page}, std::string()) != 0)
    ShowError(std::string(GetMessageText(kMsgNoHelpViewer)) + "\n" + page);
}
void ShowHelpCommand(int /*command*/) { ShowHelpContext(0); }

void RestoreCursor() { Desktop().SetCursor(kCursorDefault); }

void ShowHourglass() { Desktop().SetCursor(kCursorHourglass); }

void ProcessMessages() { Desktop().ProcessMessages(); }

// ---- Internet shortcut -------------------------------------------------------

bool ParseShortcutUrl(std::string_view text, std::string& url, size_t capacity) {
  constexpr size_t kMaxLine = 4095;
  bool inSection = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = pos;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
    std::string_view line = text.substr(pos, std::min(end - pos, kMaxLine));
    pos = end + 1;
    if (!line.empty() && line[0] == '[') {
      inSection = line.size() == 18;
      for (size_t i = 0; inSection && i < 18; ++i)
        if (AsciiLower(line[i]) != "[internetshortcut]"[i]) inSection = false;
      continue;
    }
    if (!inSection || line.size() < 4) continue;
    if (AsciiLower(line[0]) == 'u' && AsciiLower(line[1]) == 'r' && AsciiLower(line[2]) == 'l' && line[3] == '=') {
      std::string_view address = line.substr(4);
      size_t nul = address.find('\0');
      if (nul != std::string_view::npos) address = address.substr(0, nul);
      url.assign(address.substr(0, capacity));
      return true;
    }
  }
  return false;
}

bool ReadShortcutUrl(std::string& name, size_t capacity) {
  if (name.empty()) return false;
  // A shortcut is a few lines; at most 1 MB of it is read.
  std::string text;
  ReadFileStatus status = ReadWholeFile(name, 1u << 20, text);
  LastFileResult.ioResult = status == ReadFileStatus::kNotFound ? ENOENT : status == ReadFileStatus::kFailed ? EIO : 0;
  if (status == ReadFileStatus::kNotFound) return false;
  std::string url;
  if (!ParseShortcutUrl(text, url, capacity)) return false;
  name = url;
  return true;
}

bool ReadShortcutUrl(char* name, size_t capacity) {
  if (!name) return false;
  std::string file(name, strnlen(name, capacity));
  if (!ReadShortcutUrl(file, capacity)) return false;
  std::memcpy(name, file.data(), file.size());
  name[file.size()] = '\0';
  return true;
}

bool InstallRootOf(const std::string& programPath, std::string& root) {
  std::string path = programPath.substr(0, std::min(programPath.size(), kMaxPath));
  size_t last = path.find_last_of('/');
  if (last == std::string::npos || last == 0) return false;
  size_t second = path.find_last_of('/', last - 1);
  if (second == std::string::npos) return false;
  root = path.substr(0, second);
  return true;
}

void SetInstallPaths() {
  std::string root = "/Quilor";
  InstallRootOf(ProgramPath(), root);
  WorkContext->InstallRoot = root;
  WorkContext->DictionaryMask = root + "/Dico/" + DictionaryLanguageCode() + "glex.*";
  WorkContext->UserScenarioFolder = root + "/Scenario";
  WorkContext->BordersFolder = WorkContext->UserScenarioFolder;
  WorkContext->ProgramScenarioFolder = WorkContext->UserScenarioFolder;
}

}  // namespace quilor
