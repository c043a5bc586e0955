#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/files.h"
#include "core/messages.h"
#include "core/options.h"
#include "tests/platform/temp_folder.h"

namespace quilor {
namespace {

using testing::ReadWholeFile;
using testing::TempFolder;
using testing::WriteWholeFile;

TEST(FilePaths, CutsAndExtensionsStayInTheFileNamePart) {
  std::string p = "/home/Ann/texts.v2/Report";
  StripExtension(p);  // the dot belongs to a folder
  EXPECT_EQ(p, "/home/Ann/texts.v2/Report");
  EXPECT_EQ(ReplaceExtension("/home/Ann/texts.v2/Report.TXT", ".prm"), "/home/Ann/texts.v2/Report.prm");
  EXPECT_EQ(ReplaceExtension("/opt/Quilor/bin/quilor", ".chm"), "/opt/Quilor/bin/quilor.chm");
  EXPECT_EQ(ReplaceExtension(std::string(300, 'a'), ".x"), std::string(258, 'a') + ".x");
  EXPECT_STREQ(ExtensionPointer("/a.b/c"), "");
  EXPECT_STREQ(ExtensionPointer("/a/c.tar.GZ"), ".GZ");

  p = "/home/ann/file.txt";
  EXPECT_TRUE(RemoveLastPathElement(p));
  EXPECT_EQ(p, "/home/ann");
  p = "/root";
  EXPECT_FALSE(RemoveLastPathElement(p));  // a separator at index 0 is kept
  EXPECT_EQ(p, "/root");

  EXPECT_EQ(IndexFileName("/t/a.txt"), "/t/a.txt.idt");
  std::string longName = "/t/" + std::string(293, 'n') + ".txt";               // 300 characters
  EXPECT_EQ(IndexFileName(longName), "/t/" + std::string(253, 'n') + ".idt");  // cut to 260, extension kept
}

// A document's kind comes from its extension, whatever its case; what the
// program cannot read is told apart from what it can.
TEST(FilePaths, EachExtensionGivesItsKindOfDocument) {
  struct Case {
    const char* name;
    int kind;
    bool unknown;
    bool readable;
  };
  const Case cases[] = {
      {"/t/a.txt", kDocText, false, true},
      {"/t/A.TEXT", kDocText, false, true},
      {"/t/a.html", kDocHtml, false, true},
      {"/t/a.Doc", kDocWord, false, true},
      {"/t/a.pdf", kDocPdf, false, true},
      {"/t/a.xml", kDocXml, false, true},
      {"/t/a.sgml", kDocSgml, false, true},
      {"/t/a.asc", kDocDosText, false, true},
      {"/t/a.tx8", kDocDosText, false, true},
      {"/t/a.rtf", kDocRtf, false, true},
      {"/t/a.mac", kDocMacText, false, true},
      {"/t/a.ppt", kDocPowerPoint, false, true},
      {"/t/a.PPTX", kDocPowerPointXml, false, true},
      {"/t/a.ppsx", kDocPowerPointXml, false, true},
      {"/t/a.odt", kDocOdt, false, true},
      {"/t/a.odp", kDocOdp, false, true},
      {"/t/a.xps", kDocXps, false, false},
      {"/t/a.swf", kDocFlash, false, false},
      {"/t/a.xls", kDocExcel, false, false},
      {"/t/a.scn", kDocScenario, false, false},
      {"/t/a.idt", kDocIndex, false, false},
      {"/t/a.mit", kDocOtherProduct, false, false},
      {"/t/a.mft", kDocOtherProduct, false, false},
      {"/t/a.mvi", kDocOtherProduct, false, false},
      {"/t/a.dlm", kDocBorders, false, false},
      {"/t/a.zzz", kDocHtml, true, false},
      {"/t.d/readme", kDocHtml, true, false},
      {"/t/a.averyverylongext", kDocAnyExtension, false, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DocumentKind(c.name), c.kind) << c.name;
    EXPECT_EQ(LastFileResult.unknownExtension, c.unknown) << c.name;
    EXPECT_EQ(IsReadableDocument(c.name), c.readable) << c.name;
  }
  EXPECT_EQ(ExtensionFilter("/t.d/a.Txt"), "*.Txt");
  EXPECT_EQ(ExtensionFilter("/t.d/readme"), "*");
  EXPECT_EQ(ExtensionFilter("/t/a.1234567890"), "*.1234567890");
  EXPECT_EQ(ExtensionFilter("/t/a.12345678901"), "*.*");
}

// A path given on the command line or in a list becomes absolute and clean:
// relative to the current folder, without "." and "..", a folder keeping its
// final separator.
TEST(FilePaths, PathsBecomeAbsoluteAndClean) {
  TempFolder dir;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::create_directories(dir / "sub");
  std::filesystem::current_path(dir / "sub");
  const std::string here = std::filesystem::current_path().string();
  const std::string parent = std::filesystem::path(here).parent_path().string();
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"a.txt", here + "/a.txt"},
      {"./x/../a.txt", here + "/a.txt"},
      {"../a.txt", parent + "/a.txt"},
      {"/t//u/./v/", "/t/u/v/"},
      {"/t/u/..", "/t"},
      {"/..", "/"},
      {"/../../a", "/a"},
      {"/", "/"},
  };
  for (const auto& [given, expected] : cases) EXPECT_EQ(MakePathAbsolute(given), expected) << given;
  std::filesystem::current_path(before);
}

TEST(FilePaths, JoinRefusesNamesThatLeaveTheFolder) {
  std::string out = "unchanged";
  EXPECT_TRUE(JoinFolderAndName("/home/u/Scenario/", "Concepts US V8.scn", out));
  EXPECT_EQ(out, "/home/u/Scenario/Concepts US V8.scn");
  EXPECT_TRUE(JoinFolderAndName("/home/u/Scenario", "a..b.dlm", out));
  EXPECT_EQ(out, "/home/u/Scenario/a..b.dlm");
  for (const std::string& bad :
       std::vector<std::string>{"", ".", "..", "../x.scn", "sub/x.scn", "..\\x.dlm", std::string("a\0b", 3)}) {
    out = "unchanged";
    EXPECT_FALSE(JoinFolderAndName("/home/u/Scenario", bad, out)) << bad;
    EXPECT_EQ(out, "unchanged");
  }
  EXPECT_FALSE(JoinFolderAndName(std::string(255, 'f'), "long-name.scn", out));
}

TEST(FileOperations, ExistenceCopyEraseRename) {
  TempFolder dir;
  const std::string a = dir / "a.txt";
  std::string data(5000, 'q');
  data[4999] = '\0';
  WriteWholeFile(a, data);
  EXPECT_TRUE(FileExistsWithSize(a));
  EXPECT_EQ(LastFileResult.fileSize, 5000);
  EXPECT_FALSE(FileExistsWithSize(""));
  EXPECT_FALSE(FileExistsWithSize(dir.path()));
  EXPECT_FALSE(FileExistsWithSize(dir / "none"));
  EXPECT_EQ(LastFileResult.ioResult, ENOENT);

  EXPECT_TRUE(CopyFileByBlocks(a, dir / "b.txt"));
  EXPECT_EQ(ReadWholeFile(dir / "b.txt"), data);
  EXPECT_FALSE(CopyFileByBlocks(a, "/dev/full"));
  EXPECT_EQ(LastFileResult.ioResult, ENOSPC);
  EXPECT_FALSE(CopyFileByBlocks(dir / "none", dir / "c.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir / "c.txt"));

  EXPECT_TRUE(RenameFileTo(dir / "b.txt", dir / "c.txt"));
  EXPECT_TRUE(EraseFile(dir / "c.txt"));
  EXPECT_FALSE(EraseFile(dir / "c.txt"));
  EXPECT_EQ(LastFileResult.ioResult, ENOENT);
}

TEST(FileOperations, ScenarioFolderCheckIgnoresCaseAndExplains) {
  ScopedScriptedUi ui;
  EXPECT_TRUE(CheckInScenarioFolder("/Home/U/SCENARIO/x.scn", "/home/u/Scenario/"));
  EXPECT_TRUE(ui.ui.Shown().empty());
  EXPECT_FALSE(CheckInScenarioFolder("/tmp/x.scn", "/home/u/Scenario"));
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].text, std::string(GetMessageText(1221)) + "\"/home/u/Scenario\" " + GetMessageText(1222));
}

TEST(Languages, TablesByNumberAndCurrentLanguage) {
  EXPECT_STREQ(DictionaryLanguageCode(3), "sp");
  EXPECT_STREQ(IsoLanguageCode(3), "es");
  EXPECT_STREQ(DictionaryLanguageCode(13), "??");
  EXPECT_STREQ(IsoLanguageCode(13), "cs");
  EXPECT_STREQ(DictionaryLanguageCode(99), "zz");
  EXPECT_STREQ(IsoLanguageCode(99), "??");
  EXPECT_STREQ(DictionaryLanguageCode(0), "??");
  EXPECT_EQ(LanguageNameMessage(9), 596);
  EXPECT_EQ(LanguageNameMessage(8), 655);
  EXPECT_EQ(LanguageNameMessage(200), 655);
  GeneralState->Reset();
  EXPECT_STREQ(DictionaryLanguageCode(), "en");
  EXPECT_EQ(ProgramWindowTitle(false), "Quilor (English)");
  EXPECT_EQ(ProgramWindowTitle(true), "Lumo (English)");
}

struct RecordingLauncher {
  RecordingLauncher() {
    SetProgramLauncher([this](const std::vector<std::string>& argv, const std::string& folder) {
      calls.push_back(argv);
      folders.push_back(folder);
      return result;
    });
  }
  ~RecordingLauncher() { SetProgramLauncher(nullptr); }
  std::vector<std::vector<std::string>> calls;
  std::vector<std::string> folders;
  int result = 0;
};

TEST(Shell, OpenAndExploreGoThroughXdgOpenWithoutAShell) {
  TempFolder dir;
  const std::string file = dir / "my file; rm -rf x.txt";
  WriteWholeFile(file, "x");
  RecordingLauncher launcher;
  EXPECT_TRUE(ShellOpenFile(file));
  EXPECT_TRUE(ExploreFolder(dir.path()));
  EXPECT_FALSE(ShellOpenFile(dir / "missing.txt"));
  ASSERT_EQ(launcher.calls.size(), 2u);
  EXPECT_EQ(launcher.calls[0], (std::vector<std::string>{"xdg-open", file}));
  EXPECT_EQ(launcher.folders[0], dir.path());
  EXPECT_EQ(launcher.calls[1], (std::vector<std::string>{"xdg-open", dir.path()}));

  ScopedScriptedUi ui;
  EXPECT_EQ(ShellOpenWithVerb("open", dir / "missing.txt"), kShellFileNotFound);
  launcher.result = ENOENT;  // no opener installed
  EXPECT_EQ(ShellOpenWithVerb("open", file), kShellNoAssociation);
  launcher.result = ENOMEM;
  EXPECT_EQ(RunProgram("\"/opt/Other Tool/run\" -x \"two words\""), kShellOutOfMemory);
  EXPECT_EQ(launcher.calls.back(), (std::vector<std::string>{"/opt/Other Tool/run", "-x", "two words"}));
  ASSERT_EQ(ui.ui.Shown().size(), 3u);
  EXPECT_EQ(ui.ui.Shown()[0].text, GetMessageText(2));
  EXPECT_EQ(ui.ui.Shown()[1].text, GetMessageText(686));
  EXPECT_EQ(ui.ui.Shown()[2].text, GetMessageText(1));
  // A program that is not there is an unavailable program (message 1), not
  // an unreadable input file (message 2).
  launcher.result = ENOENT;
  EXPECT_EQ(RunProgram("/opt/missing/run"), kShellOutOfMemory);
  launcher.result = EACCES;
  EXPECT_EQ(RunProgramArguments({"/opt/not-executable"}), kShellOutOfMemory);
  ASSERT_EQ(ui.ui.Shown().size(), 5u);
  EXPECT_EQ(ui.ui.Shown()[3].text, GetMessageText(1));
  EXPECT_EQ(ui.ui.Shown()[4].text, GetMessageText(1));
}

TEST(Shell, SpawnStartsRealProgramsAndReportsMissingOnes) {
  EXPECT_EQ(SpawnProgram({"true"}, "/"), 0);
  EXPECT_EQ(SpawnProgram({"/nonexistent/quilor-no-such-program"}, ""), ENOENT);
  EXPECT_EQ(SpawnProgram({}, ""), ENOENT);
  EXPECT_EQ(SplitCommandLine("  a  \"\"  b"), (std::vector<std::string>{"a", "", "b"}));
}

TEST(Shortcut, ReadsTheAddressOfItsSectionOnly) {
  std::string url;
  EXPECT_FALSE(ParseShortcutUrl("URL=http://early\r\n[InternetShortcut]\r\nOther=1\r\n", url, 100));
  EXPECT_TRUE(ParseShortcutUrl("[Other]\nURL=http://no\n[internetSHORTCUT]\nuRl=http://yes/\n", url, 100));
  EXPECT_EQ(url, "http://yes/");
  EXPECT_FALSE(ParseShortcutUrl("[InternetShortcut]\n[Next]\nURL=http://no\n", url, 100));
  EXPECT_TRUE(ParseShortcutUrl("[InternetShortcut]\nURL=" + std::string(9000, 'u') + "\n", url, 10000));
  EXPECT_EQ(url.size(), 4095u - 4u);  // the line is cut at 4,095 characters
  EXPECT_TRUE(ParseShortcutUrl("[InternetShortcut]\nURL=http://long.example/path", url, 10));
  EXPECT_EQ(url, "http://lon");

  // Only "URL=" opens the address: a key that merely starts with URL does not.
  EXPECT_TRUE(ParseShortcutUrl(
      "[InternetShortcut]\nXRL=http://1\nUXL=http://2\nURX=http://3\nURLs=http://4\nURL=http://yes\n", url, 100));
  EXPECT_EQ(url, "http://yes");
  EXPECT_FALSE(ParseShortcutUrl("[InternetShortcut]\nURLs=http://no\nurl\n", url, 100));
  EXPECT_TRUE(ParseShortcutUrl(std::string("[InternetShortcut]\nURL=http://a\0b\n", 31), url, 100));
  EXPECT_EQ(url, "http://a");

  TempFolder dir;
  WriteWholeFile(dir / "s.url", "[InternetShortcut]\r\nURL=http://example.org/a-rather-long-address\r\n");
  // The caller's buffer holds the name too: it is named from its own folder,
  // so that a long temporary folder still fits.
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  char buffer[32] = "s.url";
  const bool read = ReadShortcutUrl(buffer, sizeof buffer - 1);
  std::filesystem::current_path(before);
  EXPECT_TRUE(read);
  EXPECT_STREQ(buffer, "http://example.org/a-rather-lon");  // capacity 31
  std::string missing = dir / "none.url";
  EXPECT_FALSE(ReadShortcutUrl(missing, 100));
  EXPECT_EQ(missing, dir / "none.url");
}

TEST(ProgramFiles, PathsKeepTheirCaseAndVersionTexts) {
  SetProgramPathForTesting("/Opt/Quilor.App/Bin/Quilor");
  BuildProgramFilePaths();
  EXPECT_EQ(ProgramFiles.options, "/Opt/Quilor.App/Bin/Quilor.prm");
  EXPECT_EQ(ProgramFiles.help, "/Opt/Quilor.App/Bin/Quilor.chm");
  SetProgramPathForTesting("");
  EXPECT_FALSE(ProgramPath().empty());

  std::string version, build;
  bool flag = true;
  FormatProgramVersion(0x00080003, 0x00012345, 0, version, build, flag);
  EXPECT_EQ(version, "8.3.1");
  EXPECT_EQ(build, " 2345");
  EXPECT_FALSE(flag);
  FormatProgramVersion(0x0001, 0x1, 4, version, build, flag);  // short numbers are padded
  EXPECT_EQ(version, "0.?.0");
  EXPECT_EQ(build, " 0001");
  EXPECT_TRUE(flag);
  // The program's own record comes from the build's version.
  GetProgramVersion(version, build, flag);
  EXPECT_EQ(version, QUILOR_VERSION_TEXT);
  EXPECT_EQ(version, "8.3.1");
  EXPECT_EQ(build, " 0000");
  EXPECT_FALSE(flag);
}

TEST(Shell, EachVerbDoesItsOwnThing) {
  TempFolder dir;
  const std::string file = dir / "notes.txt";
  WriteWholeFile(file, "x");
  RecordingLauncher launcher;
  ScopedScriptedUi ui;
  unsetenv("VISUAL");
  setenv("EDITOR", "my-editor --wait", 1);
  EXPECT_GT(ShellOpenWithVerb("open", file), 32);
  EXPECT_GT(ShellOpenWithVerb("Explore", file), 32);
  EXPECT_GT(ShellOpenWithVerb("explore", dir.path()), 32);
  EXPECT_GT(ShellOpenWithVerb("edit", file), 32);
  EXPECT_GT(ShellOpenWithVerb("print", file), 32);
  EXPECT_EQ(ShellOpenWithVerb("runas", file), kShellNoAssociation);
  unsetenv("EDITOR");
  ASSERT_EQ(launcher.calls.size(), 5u);
  EXPECT_EQ(launcher.calls[0], (std::vector<std::string>{"xdg-open", file}));
  EXPECT_EQ(launcher.calls[1], (std::vector<std::string>{"xdg-open", dir.path()}));
  EXPECT_EQ(launcher.calls[2], (std::vector<std::string>{"xdg-open", dir.path()}));
  EXPECT_EQ(launcher.calls[3], (std::vector<std::string>{"my-editor", "--wait", file}));
  EXPECT_EQ(launcher.calls[4], (std::vector<std::string>{"lp", "--", file}));
  for (const std::string& folder : launcher.folders) EXPECT_EQ(folder, dir.path());
  ASSERT_EQ(ui.ui.Shown().size(), 1u);  // the unknown verb
  EXPECT_EQ(ui.ui.Shown()[0].text, GetMessageText(686));
}

TEST(Shell, OnlyWebAddressesAreOpened) {
  RecordingLauncher launcher;
  ScopedScriptedUi ui;
  EXPECT_TRUE(ShellOpenUrl("https://example.org/a?b=c"));
  EXPECT_TRUE(ShellOpenUrl("HTTP://example.org"));
  for (const char* bad :
       {"file:///etc/passwd", "javascript:alert(1)", "https://", "http://a b", "-x http://a", "http://a\n--help", ""})
    EXPECT_FALSE(ShellOpenUrl(bad)) << bad;
  ASSERT_EQ(launcher.calls.size(), 2u);
  EXPECT_EQ(launcher.calls[0], (std::vector<std::string>{"xdg-open", "https://example.org/a?b=c"}));
  launcher.result = ENOENT;
  EXPECT_FALSE(ShellOpenUrl("http://example.org"));
  EXPECT_EQ(ui.ui.Shown().size(), 1u);
}

TEST(Help, PagesByContextNumberUnderTheInstallRoot) {
  TempFolder root;
  WorkContext->InstallRoot = root.path();
  std::filesystem::create_directories(root / "Help");
  WriteWholeFile(root / "Help/966.html", "<html></html>");
  EXPECT_EQ(HelpPagePath(966), root / "Help/966.html");
  EXPECT_EQ(HelpPagePath(967), root / "Help/index.html");  // a missing page: the contents
  EXPECT_EQ(HelpPagePath(0), root / "Help/index.html");
  RecordingLauncher launcher;
  ShowHelpContext(966);
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0], (std::vector<std::string>{"xdg-open", root / "Help/966.html"}));
  // Without the help pages the user is told so.
  std::filesystem::remove(root / "Help/966.html");
  ScopedScriptedUi ui;
  ShowHelpContext(966);
  EXPECT_EQ(launcher.calls.size(), 1u);
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].text, "I can't read the input file (file locked, corrupted or I/O error).");
  WorkContext->Reset();
}

// With no program to show a help page (no opener, or an opener that finds
// no browser and fails) the user is told so and given the page's path.
TEST(Help, NoBrowserIsSaidInABox) {
  TempFolder root;
  WorkContext->InstallRoot = root.path();
  std::filesystem::create_directories(root / "Help");
  WriteWholeFile(root / "Help/834.html", "<html></html>");
  const std::string said = std::string(GetMessageText(6610)) + "\n" + (root / "Help/834.html");
  {
    RecordingLauncher launcher;
    launcher.result = ENOENT;
    ScopedScriptedUi ui;
    ShowHelpContext(834);
    ASSERT_EQ(ui.ui.Shown().size(), 1u);
    EXPECT_EQ(ui.ui.Shown()[0].text, said);
  }
  // The desktop's opener is there but fails (it exits with 3 when no
  // browser is installed).
  TempFolder bin;
  WriteWholeFile(bin / "xdg-open", "#!/bin/sh\nexit 3\n");
  std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
  const char* path = std::getenv("PATH");
  const std::string kept = path ? path : "";
  ::setenv("PATH", (bin.path() + ":" + kept).c_str(), 1);
  ScopedScriptedUi ui;
  ShowHelpContext(834);
  ::setenv("PATH", kept.c_str(), 1);
  ASSERT_EQ(ui.ui.Shown().size(), 1u);
  EXPECT_EQ(ui.ui.Shown()[0].text, said);
  WorkContext->Reset();
}

// The desktop's opener always starts; when it finds no program for the file
// or folder it exits with a failure, and the user is told so in a box. One
// that succeeds says nothing.
TEST(Shell, AnOpenerThatFindsNoProgramIsSaidInABox) {
  TempFolder root;
  WorkContext->InstallRoot = root.path();
  std::filesystem::create_directories(root / "Help");
  WriteWholeFile(root / "Help/index.html", "<html></html>");
  const std::string book = root / "report.xlsx";
  WriteWholeFile(book, "x");
  TempFolder bin;
  const std::filesystem::path opener = bin / "xdg-open";
  std::filesystem::permissions(bin.path(), std::filesystem::perms::owner_all);
  const char* path = std::getenv("PATH");
  const std::string kept = path ? path : "";
  ::setenv("PATH", (bin.path() + ":" + kept).c_str(), 1);
  auto shown = [&](const std::string& script, auto&& open) {
    WriteWholeFile(opener, "#!/bin/sh\n" + script + "\n");
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    ScopedScriptedUi ui;
    open();
    std::vector<std::string> texts;
    for (const auto& box : ui.ui.Shown()) texts.push_back(box.text);
    return texts;
  };
  const std::string nothing = GetMessageText(6611);
  bool opened = true;
  EXPECT_EQ(shown("exit 3", [&] { opened = ShellOpenFile(book); }), std::vector<std::string>{nothing + "\n" + book});
  EXPECT_FALSE(opened);
  EXPECT_EQ(shown("exit 4", [&] { opened = ExploreFolder(root.path()); }),
            std::vector<std::string>{nothing + "\n" + root.path()});
  EXPECT_FALSE(opened);
  int code = 0;
  EXPECT_EQ(shown("exit 3", [&] { code = ShellOpenWithVerb("open", book); }),
            std::vector<std::string>{GetMessageText(686)});
  EXPECT_EQ(code, kShellNoAssociation);
  EXPECT_EQ(shown("exit 3", [&] { ShowHelpCommand(3); }),
            std::vector<std::string>{std::string(GetMessageText(6610)) + "\n" + (root / "Help/index.html")});
  EXPECT_EQ(shown("exit 3", [&] { opened = ShellOpenUrl("https://example.org"); }).size(), 1u);
  EXPECT_FALSE(opened);
  // An opener that finds its program says nothing, and is run in the file's folder.
  const std::string mark = bin / "ran-in";
  EXPECT_TRUE(shown("pwd > '" + mark + "'; exit 0", [&] { opened = ShellOpenFile(book); }).empty());
  EXPECT_TRUE(opened);
  EXPECT_EQ(ReadWholeFile(mark), root.path() + "\n");
  EXPECT_TRUE(shown("exit 0", [&] { opened = ExploreFolder(root.path()); }).empty());
  EXPECT_TRUE(opened);
  ::setenv("PATH", kept.c_str(), 1);
  WorkContext->Reset();
}

}  // namespace
}  // namespace quilor
