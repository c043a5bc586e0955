// File, path and document-kind services.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quilor {

// Document kinds by extension. 1 to 18 are documents read by the text loader.
enum DocumentKindCode : int {
  kDocText = 1,
  kDocHtml = 2,
  kDocXml = 3,
  kDocRtf = 4,
  kDocSgml = 5,
  kDocDosText = 6,
  kDocMacText = 7,
  kDocWord = 8,
  kDocPdf = 9,
  kDocAnyExtension = 10,
  kDocPowerPoint = 11,
  kDocPowerPointXml = 12,
  kDocOdt = 13,
  kDocOdp = 14,
  kDocXps = 16,
  kDocFlash = 17,
  kDocExcel = 18,
  kDocScenario = 40,
  kDocIndex = 41,
  kDocOtherProduct = 42,
  kDocBorders = 43,
};

// "*" + the extension from the last '.' of the file-name part, "*" without
// extension, "*.*" when the result would have 13 characters or more.
std::string ExtensionFilter(const std::string& name);
// The document kind of a file name by its extension (case-insensitive).
int DocumentKind(const std::string& name);
// Kind at most 14 and the extension recognised.
bool IsReadableDocument(const std::string& name);

// Pointer after the last path separator of path ('/' here; '\\' too).
const char* FileNamePart(const char* path);

// ---- Paths -----------------------------------------------------------------
// Paths use '/' and keep their case. Texts are at most kMaxPath characters.
constexpr size_t kMaxPath = 260;

// What the last file operations below found; LastFileResult = {} starts
// afresh.
struct TLastFileResult {
  int ioResult = 0;               // of the last file operation: 0 success, else an errno value
  long long fileSize = 0;         // of the file the last existence test opened
  bool unknownExtension = false;  // set by DocumentKind when the extension was not recognised
};
extern TLastFileResult LastFileResult;
// The options file "<program path>.prm" and the help file "<program path>.chm",
// filled by BuildProgramFilePaths.
struct TProgramFiles {
  std::string options;
  std::string help;
};
extern TProgramFiles ProgramFiles;

bool ChangeCurrentFolder(const std::string& path);
// The absolute form of a relative path (the path itself when absolute or empty).
std::string ExpandPathName(const std::string& path);
// The absolute form of path against the current folder, with "." and ".."
// parts and doubled separators taken out by the text alone (links are not
// followed); "" for an empty path. Callers that take file names from the
// user (command-line arguments) use it before anything changes the current
// folder, so that a relative name keeps meaning the file the user named.
std::string MakePathAbsolute(const std::string& path);

// Opens path for reading without ever waiting (a pipe or a device gives no
// wait) and checks that it is a regular file. True when it is one; else false
// with the reason as a message number (the file cannot be opened, or is no
// regular file) in whyNot.
bool IsReadableRegularFile(const std::string& path, int* whyNot = nullptr);
constexpr int kMsgNotRegularFile = 6172;
constexpr int kMsgCannotOpenFile = 6173;
// The program's own full path, case kept (from /proc/self/exe); "" when unknown.
std::string ProgramPath();
// For tests: the program path the services above use ("" goes back to the real one).
void SetProgramPathForTesting(const std::string& path);
// The program's path with its extension replaced by ".prm" and ".chm".
void BuildProgramFilePaths();

// Install root (the parent of the program's folder), dictionary mask
// "<root>/Dico/<code>glex.*" and the Scenario folders "<root>/Scenario".
void SetInstallPaths();
// The install root of a program path: the path cut at its second '/' from
// the end; "" when the path has fewer than two separators.
bool InstallRootOf(const std::string& programPath, std::string& root);

// Pointer to the last '.' of the file-name part, else to the terminating NUL.
const char* ExtensionPointer(const char* path);
// Cuts path at its last separator when that stands at index 1 or more.
bool RemoveLastPathElement(std::string& path);
// Cuts path at its last '.' (index 1 or more) when it is in the file-name part.
void StripExtension(std::string& path);
// path without its extension + extension, cut to kMaxPath characters.
std::string ReplaceExtension(const std::string& path, const std::string& extension);
// name + ".idt" when the name has fewer than 257 characters, else the name
// with its extension replaced by ".idt".
std::string IndexFileName(const std::string& name);
// folder + '/' + name, refused (False) when name is empty, is "." or "..",
// or holds a separator or a NUL: names of Scenario and Borders files chosen
// by the user or read from files must stay in their folder.
bool JoinFolderAndName(const std::string& folder, const std::string& name, std::string& out);

bool EraseFile(const std::string& path);
bool RenameFileTo(const std::string& oldPath, const std::string& newPath);
// True when the file opens for reading and the name is not empty; keeps its size.
bool FileExistsWithSize(const std::string& name);
// Copies in 2,048-byte blocks; False on any read, write or close error.
bool CopyFileByBlocks(const std::string& source, const std::string& destination);
// True when the file's folder is the given Scenario folder (ignoring ASCII
// case and a trailing '/'); else shows messages 1221 and 1222 and returns False.
bool CheckInScenarioFolder(const std::string& fileName, const std::string& scenarioFolder);
// The same against the user's Scenario folder of the work context.
bool CheckInScenarioFolder(const std::string& fileName);
// True when the folder of fileName is folder, both taken as real paths
// (links resolved, exact case); nothing is shown.
bool FileIsInFolder(const std::string& fileName, const std::string& folder);
// The user's documents folder: $XDG_DOCUMENTS_DIR, ~/Documents when it
// exists, else the home folder.
std::string GetPersonalFolder();
// "Software\Brevalia\ConversionFilters\V1.2" (a settings-store key).
std::string ConversionFiltersKey();
// The program's version record, made from the version of the build (the
// project version in CMakeLists.txt): version "8.3.1", build " 0000" style
// texts; flag True when the record's file flags are not 0 (a pre-release).
void GetProgramVersion(std::string& version, std::string& build, bool& flag);
// The program's web site: the Help menu and the about box open it.
inline constexpr const char* kProgramWebAddress = "https://quilor.example.org/";
// The texts of a version record (exposed for tests).
void FormatProgramVersion(uint32_t productHigh, uint32_t productLow, uint32_t fileFlags, std::string& version,
                          std::string& build, bool& flag);

// ---- Languages -------------------------------------------------------------
// By language number (byte 0 of the general state when omitted).
const char* DictionaryLanguageCode(int language);
const char* DictionaryLanguageCode();
const char* IsoLanguageCode(int language);
const char* IsoLanguageCode();
int LanguageNameMessage(int language);
int LanguageNameMessage();

// ---- Shell, windows and help -----------------------------------------------
// Starts a program without a shell: argv[0] is looked up in PATH; workingFolder
// (when not empty) becomes its current folder. Returns 0 when started, else an
// errno value. The started process is reaped in the background.
using ProgramLauncher = std::function<int(const std::vector<std::string>& argv, const std::string& workingFolder)>;
int SpawnProgram(const std::vector<std::string>& argv, const std::string& workingFolder);
// Replaces the launcher (tests); an empty function restores SpawnProgram.
void SetProgramLauncher(ProgramLauncher launcher);

// Shell result codes as ReportShellError reads them (above 32: success).
constexpr int kShellFileNotFound = 2;
constexpr int kShellPathNotFound = 3;
constexpr int kShellOutOfMemory = 11;
constexpr int kShellNoAssociation = 31;
constexpr int kShellSuccess = 33;

// "explore" and "open" through xdg-open, the path as working folder.
bool ExploreFolder(const std::string& path);
bool ShellOpenFile(const std::string& file);
// A verb on file, working folder the file's folder: "open" (or empty) opens
// it with its program (xdg-open), "explore" opens its folder (the file itself
// when it is a folder), "edit" starts $VISUAL or $EDITOR on it when set and
// opens it otherwise, "print" hands it to lp. Another verb is "no
// association" (31). Failures are reported with ReportShellError.
int ShellOpenWithVerb(const std::string& verb, const std::string& file);
// Opens an http:// or https:// address in the user's browser (xdg-open, no
// shell). Anything else (another scheme, blanks or control characters) is
// refused with False; a failed start is reported.
bool ShellOpenUrl(const std::string& url);
// Only http and https addresses without blanks or control characters.
bool IsOpenableUrl(const std::string& url);
// Starts a command line (program and arguments, '"' groups blanks); failures reported.
int RunProgram(const std::string& commandLine);
// Starts a program with its arguments as given; failures reported.
int RunProgramArguments(const std::vector<std::string>& argv);
// Splits a command line into its program and arguments.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);
void ReportShellError(int code);

// Window, cursor and message services of the window layer. The program
// installs its own; the default does nothing.
class DesktopServices {
 public:
  virtual ~DesktopServices() = default;
  virtual void SetCursor(int /*cursor*/) {}
  virtual void ProcessMessages() {}
};
void SetDesktopServices(DesktopServices* services);  // nullptr restores the default
DesktopServices& Desktop();

constexpr int kCursorDefault = 0;
constexpr int kCursorHourglass = -11;

// "Quilor (English)" or, for the sibling, "Lumo (English)".
std::string ProgramWindowTitle(bool sibling);
// Help is a folder of local HTML pages, "<install root>/Help": the page of a
// context number is "<context>.html", the contents page "index.html".
// HelpPagePath gives the page of a context, or the contents page when that
// page is missing; ShowHelpContext opens it in the browser, ShowHelpCommand
// opens the contents page (its command is not used).
std::string HelpFolder();
std::string HelpPagePath(int context);
void ShowHelpContext(int context);
void ShowHelpCommand(int command);
void RestoreCursor();
void ShowHourglass();
void ProcessMessages();

// ---- Internet shortcut -----------------------------------------------------
// Reads the "URL=" line of the "[InternetShortcut]" section of the file
// named by name; on success the address replaces name (at most capacity
// characters). Lines longer than 4,095 characters are cut.
bool ReadShortcutUrl(std::string& name, size_t capacity);
// The same on a caller's buffer of capacity + 1 bytes holding the file name.
bool ReadShortcutUrl(char* name, size_t capacity);
// The address of shortcut text already in memory (exposed for tests and fuzzing).
bool ParseShortcutUrl(std::string_view text, std::string& url, size_t capacity);

}  // namespace quilor
