#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "core/options.h"
#include "support/office_builders.h"
#include "support/stream_support.h"
#include "tests/support/run_command.h"

namespace quilor {
namespace {

using namespace testing_support;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitizedBuild = true;
#else
constexpr bool kSanitizedBuild = false;
#endif

using Result = testing::CommandRun;

// Runs the tool with arguments; stderr goes to errPath.
// With a folder, the tool runs from it; with seconds, it is stopped after them.
Result RunDump(const std::string& args, const std::string& errPath, const std::string& folder = "", int seconds = 0) {
  // The tool's settings stay in a folder of the test.
  std::string config = errPath + ".config";
  std::string command = (folder.empty() ? std::string() : "cd '" + folder + "' && ") + "XDG_CONFIG_HOME=" + config +
                        " " + (seconds ? "timeout " + std::to_string(seconds) + " " : std::string()) +
                        std::string(QUILOR_BINARY_DIR) + "/tools/quilor-dump " + args + " 2>" + errPath;
  return testing::RunCommand(command);
}

// The first n tab-separated columns of a line.
std::string FirstColumns(const std::string& line, int n) {
  size_t end = 0;
  for (int i = 0; i < n && end != std::string::npos; ++i) end = line.find('\t', end + (i ? 1 : 0));
  return end == std::string::npos ? line : line.substr(0, end);
}

TEST(QuilorDump, PrintsOneLineOfTenColumnsPerWord) {
  TempFolder folder;
  std::string err = folder.Path("err");
  Result r = RunDump("--dico " + std::string(QUILOR_BINARY_DIR) + "/Dico " + TestDataPath("import/sample-utf16le.txt") +
                         " " + TestDataPath("import/sample-ansi.txt"),
                     err);
  ASSERT_EQ(r.exitCode, 0) << ReadFileBytes(err);
  std::vector<std::string> lines;
  std::vector<std::string> marks;
  for (size_t start = 0, end; (end = r.out.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = r.out.substr(start, end - start);
    (line.find("\t/\t") != std::string::npos ? marks : lines).push_back(line);
  }
  ASSERT_EQ(lines.size(), 56u);
  for (const std::string& line : lines) EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 9) << line;
  EXPECT_EQ(FirstColumns(lines[0], 6), "1\t1\tCaf\xC3\xA9\t \t8\tSubstantive");
  // The sentence's punctuation stays with the mark that closes it.
  EXPECT_EQ(FirstColumns(lines[24], 6), "25\t1\tQu\xC3\xA9\t \t8\tSubstantive");
  EXPECT_NE(std::find_if(marks.begin(), marks.end(),
                         [](const std::string& m) { return FirstColumns(m, 6) == "24\t1\t/\t. \xC2\xBF\t\t"; }),
            marks.end());
  EXPECT_EQ(FirstColumns(lines[55], 6), "56\t2\t\xC3\x89T\xC3\x89\t \t8\tSubstantive");
  EXPECT_TRUE(ReadFileBytes(err).empty());
}

TEST(QuilorDump, ChosenReadingFillsTheClassAndLabelColumns) {
  TempFolder folder;
  std::string err = folder.Path("err");
  std::string text = folder.Write("text.txt", "The children went because\n");
  Result r = RunDump("--dico " + std::string(QUILOR_BINARY_DIR) + "/Dico " + text, err);
  ASSERT_EQ(r.exitCode, 0) << ReadFileBytes(err);
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = r.out.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(r.out.substr(start, end - start));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(FirstColumns(lines[0], 6), "1\t1\tThe\t \t7\tDeterminant");
  // The semantic pass settled the noun among its readings: the label says so.
  EXPECT_EQ(FirstColumns(lines[1], 6), "2\t1\tchildren\t \t8\t>ambiguity<   Substantive");
  EXPECT_EQ(FirstColumns(lines[2], 6), "3\t1\twent\t \t1\tVerb Factive Indicative Past");
  EXPECT_EQ(FirstColumns(lines[3], 6), "4\t1\tbecause\t \t2\tConnector Cause");
  EXPECT_EQ(lines[4], "4\t1\t/\t \t\t\t\t\t\t");
  // The noun's classes on the four levels: reference, two fields, default Scenario group.
  std::string classes = lines[1].substr(FirstColumns(lines[1], 6).size() + 1);
  EXPECT_EQ(classes.substr(0, classes.find('\t')), "child");
  EXPECT_NE(classes.find("\tperson\tperson"), std::string::npos) << classes;
  EXPECT_EQ(lines[0].substr(FirstColumns(lines[0], 6).size()), "\t\t\t\t");  // a determinant has no class
  // Without a lexicon the run stops with the dictionary message.
  r = RunDump("--dico " + folder.Path("none") + " " + text, err);
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(ReadFileBytes(err).find("Corrupted dictionary files"), std::string::npos);
  EXPECT_TRUE(r.out.empty());
}

TEST(QuilorDump, ErrorsGiveAMessageAndANonZeroExit) {
  TempFolder folder;
  std::string err = folder.Path("err");
  Result r = RunDump(folder.Path("missing.txt"), err);
  EXPECT_EQ(r.exitCode, 66);
  EXPECT_NE(ReadFileBytes(err).find("File not found: " + folder.Path("missing.txt")), std::string::npos);
  EXPECT_TRUE(r.out.empty());

  r = RunDump(folder.Path(""), err);  // a folder
  EXPECT_EQ(r.exitCode, 66);
  EXPECT_NE(ReadFileBytes(err).find("File cannot be read:"), std::string::npos);

  r = RunDump("--frobnicate " + TestDataPath("import/sample-ansi.txt"), err);
  EXPECT_EQ(r.exitCode, 64);
  EXPECT_NE(ReadFileBytes(err).find("Unknown option: --frobnicate"), std::string::npos);

  r = RunDump("", err);
  EXPECT_EQ(r.exitCode, 64);
  EXPECT_NE(ReadFileBytes(err).find("Usage: quilor-dump"), std::string::npos);

  r = RunDump("--dico", err);
  EXPECT_EQ(r.exitCode, 64);

  // A file that holds no text is reported and gives no words: when no
  // document gave any, the exit code says so.
  std::string picture = folder.Write("photo.txt", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR words", 22));
  r = RunDump(picture, err);
  EXPECT_EQ(r.exitCode, 65);
  EXPECT_TRUE(r.out.empty());
  EXPECT_NE(ReadFileBytes(err).find("not a text document"), std::string::npos);
  EXPECT_NE(ReadFileBytes(err).find("photo.txt"), std::string::npos);
}

TEST(QuilorDump, ConvertsDocumentsByContentAndListsWhatItCouldNotRead) {
  TempFolder folder;
  auto copy = [&](const std::string& fixture, const std::string& name) {
    return folder.Write(name, ReadFileBytes(TestDataPath("import/convert/" + fixture)));
  };
  auto put = [&](const std::string& name, const std::string& bytes) { return folder.Write(name, bytes); };
  std::string docx = ReadFileBytes(TestDataPath("import/convert/sample.docx"));
  std::vector<std::string> files = {
      copy("sample.doc", "a.doc"),
      copy("sample.docx", "B.DOCX"),
      copy("sample.odt", "c.odt"),
      copy("slides.odp", "d.odp"),
      copy("slides.pptx", "e.pptx"),
      copy("sample.pdf", "f.pdf"),
      copy("sample.doc", "g.unknown"),
      put("h.xlsx", quilor::testing::BuildZip({{"xl/workbook.xml", "<w/>"}})),
      put("i.bin", std::string("\x01\x00\x02\x00 binary", 11)),
      put("j.docx", docx.substr(0, docx.size() / 2)),
      put("k.unknown", "plain words"),
      // Known extensions that lie: the first bytes decide.
      copy("sample.doc", "l.txt"),
      copy("sample.pdf", "m.htm"),
      put("n.doc", "{\\rtf1\\ansi rich\\par words}"),
  };
  std::string args;
  for (const std::string& f : files) args += " " + f;
  std::string err = folder.Path("err");
  Result r = RunDump("--dico " + std::string(QUILOR_BINARY_DIR) + "/Dico" + args, err);
  ASSERT_EQ(r.exitCode, 0) << ReadFileBytes(err);
  // The words of each file, by file number.
  std::map<int, std::string> words;
  for (size_t start = 0, end; (end = r.out.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = r.out.substr(start, end - start);
    size_t t1 = line.find('\t'), t2 = line.find('\t', t1 + 1), t3 = line.find('\t', t2 + 1);
    if (line.compare(t2 + 1, t3 - t2 - 1, "/") == 0) continue;  // a proposition mark
    words[std::stoi(line.substr(t1 + 1, t2 - t1 - 1))] += line.substr(t2 + 1, t3 - t2 - 1) + " ";
  }
  const std::string document =
      "Caf\xC3\xA9 na\xC3\xAFve r\xC3\xA9sum\xC3\xA9 the writer s best day Main text continues here "
      "alpha beta gamma delta Visit the example site today The end ";
  const std::string slides = "First slide caf\xC3\xA9 Second slide s words Third slide ends ";
  EXPECT_EQ(words[1], document);
  EXPECT_EQ(words[2], document);
  EXPECT_EQ(words[3], document);
  EXPECT_EQ(words[4], slides);
  EXPECT_EQ(words[5], slides);
  EXPECT_NE(words[6].find("alpha beta gamma delta"), std::string::npos);
  EXPECT_EQ(words[7], document);
  EXPECT_EQ(words.count(8) + words.count(9) + words.count(10), 0u);
  EXPECT_EQ(words[11], "plain words ");
  EXPECT_EQ(words[12], document);
  EXPECT_NE(words[13].find("alpha beta gamma delta"), std::string::npos);
  EXPECT_EQ(words[14], "rich words ");
  std::string report = ReadFileBytes(err);
  EXPECT_NE(report.find("These files could not be read:"), std::string::npos);
  for (int i : {7, 8, 9}) EXPECT_NE(report.find(files[i] + ": "), std::string::npos) << files[i] << "\n" << report;
  for (int i : {0, 1, 2, 3, 4, 5, 6, 10, 11, 12, 13})
    EXPECT_EQ(report.find(files[i] + ":"), std::string::npos) << files[i];
}

TEST(QuilorDump, ResultsGiveCategoriesRankedClassesAndRelations) {
  TempFolder folder;
  std::string text = folder.Write("jury.txt",
                                  "The jury praised the county election. The jury praised the county election. "
                                  "The jury praised the county.\n");
  // A Scenario that holds the jury alone.
  std::string scenario = folder.Write("jury.scn", "G#0V\t1\tcourt\r\nS#1#\tjury\tcourt\r\n");
  std::string err = folder.Path("err");
  std::string dico = "--dico " + std::string(QUILOR_BINARY_DIR) + "/Dico --results ";
  Result r = RunDump(dico + "--scenario " + scenario + " " + text, err);
  ASSERT_EQ(r.exitCode, 0) << ReadFileBytes(err);
  EXPECT_EQ(r.out.rfind("# Categories\n", 0), 0u) << r.out;
  // Retained: the Scenario's nouns and those of classes met at least 3 times.
  EXPECT_NE(r.out.find("\n44\tPronoun Referent\t6\t35.29\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\n48\tPronoun Word\t17\t100.00\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("# References\n1\tcounty\t3\n2\tjury\t3\n3\telection\t2\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("# Relations: References\njury\tcounty\t3\n# "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("# Scenario\n1\tcourt\t3\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("\tThe\t"), std::string::npos);  // no word stream
  // 17 words: the style is not significant, and no text of under 101 words has bursts.
  EXPECT_NE(r.out.find("# Style diagnosis\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\nTendencies non-significant\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("# Tendencies\n* Verbs :\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("# Bursts\n"), std::string::npos) << r.out;

  // A Scenario file that is not there stops the tool before the analysis.
  r = RunDump(dico + "--scenario " + folder.Path("none.scn") + " " + text, err);
  EXPECT_EQ(r.exitCode, 66);
  EXPECT_TRUE(r.out.empty());
  // A damaged one (random bytes, or cut inside a line) is refused by name:
  // code 65, nothing analysed with what survived of it.
  std::string noise;
  for (int i = 0; i < 2048; ++i) noise += static_cast<char>((i * 7919 + 13) % 256);
  for (const std::string& bad :
       {folder.Write("noise.scn", noise), folder.Write("cut.scn", "G#0V\t1\tcourt\r\nS#1#\tjury\tcourt\r\nS#")}) {
    r = RunDump(dico + "--scenario " + bad + " " + text, err);
    EXPECT_EQ(r.exitCode, 65) << bad;
    EXPECT_TRUE(r.out.empty()) << bad;
    const std::string said = ReadFileBytes(err);
    EXPECT_NE(said.find("integrity"), std::string::npos) << said;
    EXPECT_NE(said.find("\"" + bad + "\""), std::string::npos) << said;
  }
}

TEST(QuilorDump, RelativeNamesMeanTheCallersFilesAfterStartUpChangesFolder) {
  TempFolder caller, other;
  caller.Write("doc.txt", "Gardens\n");
  caller.Write("mine.scn", "");
  other.Write("doc.txt", "Tigers\n");
  std::string err = caller.Path("err");
  // The options send start-up to another folder holding a file of the same name.
  TOptionsRecord options;
  options.Set(opt::LastFolder, other.Path(""));
  std::filesystem::create_directories(err + ".config/Quilor");
  ASSERT_TRUE(WriteOptionsFile(err + ".config/Quilor/quilor-dump.prm", options));
  const std::string dico = "--dico " + std::string(QUILOR_BINARY_DIR) + "/Dico ";
  Result r = RunDump(dico + "doc.txt", err, caller.Path(""));
  ASSERT_EQ(r.exitCode, 0) << ReadFileBytes(err);
  EXPECT_NE(r.out.find("\tGardens\t"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Tigers"), std::string::npos) << r.out;
  // The same for a relative Scenario and a relative dictionary folder.
  std::filesystem::create_symlink(std::string(QUILOR_BINARY_DIR) + "/Dico", caller.Path("dico"));
  r = RunDump("--dico dico --results --scenario mine.scn doc.txt", err, caller.Path(""));
  EXPECT_EQ(r.exitCode, 0) << ReadFileBytes(err);
}

TEST(QuilorDump, PipesDevicesAndFoldersGiveAClearErrorAtOnce) {
  TempFolder folder;
  std::string err = folder.Path("err");
  std::string text = folder.Write("text.txt", "Gardens\n");
  ASSERT_EQ(::mkfifo(folder.Path("pipe.txt").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(folder.Path("pipe.doc").c_str(), 0600), 0);
  std::filesystem::create_directory(folder.Path("folder.scn"));
  const std::string dico = "--dico " + std::string(QUILOR_BINARY_DIR) + "/Dico ";
  for (const std::string& args :
       {folder.Path("pipe.txt"), folder.Path("pipe.doc"), std::string("/dev/zero"), "--scenario /dev/zero " + text,
        "--scenario " + folder.Path("folder.scn") + " " + text, "--scenario " + folder.Path("pipe.txt") + " " + text}) {
    // A tool that hangs is stopped after 20 s and fails the test.
    Result r = RunDump(dico + args, err, "", 20);
    EXPECT_EQ(r.exitCode, 66) << args << ": " << ReadFileBytes(err);
    EXPECT_NE(ReadFileBytes(err).find("cannot be read"), std::string::npos) << args << ": " << ReadFileBytes(err);
  }
}

TEST(QuilorDump, EveryFailedDocumentIsListedWithItsNameShownSafely) {
  TempFolder folder;
  std::string err = folder.Path("err");
  std::string args = "--dico " + std::string(QUILOR_BINARY_DIR) + "/Dico " + folder.Write("text.txt", "Gardens\n");
  constexpr int kFailed = 600;
  for (int i = 0; i < kFailed; ++i) args += " " + folder.Write("slides" + std::to_string(i) + ".odp", "never words");
  // A name in UTF-8 with a line break in it: converted once, the break escaped.
  std::string odd = folder.Write("r\xC3\xA9sum\xC3\xA9\nforged line.odp", "never");
  args += " '" + odd + "'";
  Result r = RunDump(args, err);
  ASSERT_EQ(r.exitCode, 0) << ReadFileBytes(err);
  const std::string messages = ReadFileBytes(err);
  for (int i = 0; i < kFailed; ++i)
    EXPECT_NE(messages.find(folder.Path("slides" + std::to_string(i) + ".odp") + ": "), std::string::npos) << i;
  EXPECT_NE(messages.find("r\xC3\xA9sum\xC3\xA9\\nforged line.odp: "), std::string::npos) << messages;
  EXPECT_EQ(messages.find("\nforged line"), std::string::npos);
  EXPECT_EQ(messages.find("\xC3\x83"), std::string::npos);  // never converted twice
}

// The exports of a headless run, with relative paths from the caller's folder.
TEST(QuilorDump, WritesTheGexfFilesAndTheReportOfARun) {
  TempFolder caller;
  const std::string err = caller.Path("err.txt");
  const std::string dico = "--dico " + std::string(QUILOR_BINARY_DIR) + "/Dico ";
  const std::string sample = std::string(QUILOR_SOURCE_DIR) + "/samples/sample.txt";
  const std::string second = caller.Write("second.txt",
                                          "The farmer sold his cattle at the market of the town. "
                                          "The town council spoke about the price of the land.\n");
  Result r = RunDump(dico + "--gexf out --xlsx report.xlsx " + sample + " " + second, err, caller.Path(""));
  EXPECT_EQ(r.exitCode, 0) << ReadFileBytes(err);
  for (const char* name :
       {"out/Documents-list.xml", "out/QuilorOntology.gexf", "out/QuilorRelations.gexf", "report.xlsx"})
    EXPECT_GT(ReadFileBytes(caller.Path(name)).size(), 100u) << name;
  struct stat info {};
  ASSERT_EQ(stat(caller.Path("report.xlsx").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0044, 0044u);  // made with the user's usual permissions

  // One document is not enough for the graphs.
  r = RunDump(dico + "--gexf out1 " + sample, err, caller.Path(""));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(ReadFileBytes(err).find("Select several files before using this function."), std::string::npos);
  EXPECT_NE(stat(caller.Path("out1").c_str(), &info), 0);  // nothing made
}

// Success only when there was something to analyse and all of it was: empty
// documents are said so, a run where no document gave text is not a success,
// one where some did is, and a text cut at the word cap says so on stdout.
TEST(QuilorDump, ExitCodesTellEmptyFailedAndCutRuns) {
  TempFolder folder;
  const std::string err = folder.Path("err");
  const std::string dico = "--dico " + std::string(QUILOR_BINARY_DIR) + "/Dico ";
  const std::string emptyText = folder.Write("empty.txt", "");
  const std::string emptyRtf = folder.Write("empty.rtf", "");
  const std::string slides = folder.Write("slides.odp", "never words");
  // Documents that are not empty but give no word are no text either.
  const std::string blanks = folder.Write("blanks.txt", "  \n\t\n   \n");
  const std::string page = folder.Write("page.htm", "<html><body></body></html>");
  const std::string rtf = folder.Write("nothing.rtf", "{\\rtf1 }");
  const std::string xps = folder.Write("print.xps", "PK\x03\x04 not a text");
  for (const std::string& wordless : {blanks, page, rtf, xps}) {
    Result r = RunDump(dico + wordless, err);
    EXPECT_EQ(r.exitCode, 65) << wordless << ": " << ReadFileBytes(err);
    EXPECT_NE(ReadFileBytes(err).find(wordless + ": Empty"), std::string::npos) << ReadFileBytes(err);
  }
  for (const std::string& args : {emptyText, emptyRtf, slides, emptyText + " " + emptyRtf + " " + slides}) {
    Result r = RunDump(dico + args, err);
    EXPECT_EQ(r.exitCode, 65) << args << ": " << ReadFileBytes(err);
    EXPECT_TRUE(r.out.empty()) << args;
  }
  EXPECT_NE(ReadFileBytes(err).find("empty.txt: Empty, moved, deleted or unreadable file."), std::string::npos)
      << ReadFileBytes(err);
  EXPECT_NE(ReadFileBytes(err).find("empty.rtf: Empty"), std::string::npos) << ReadFileBytes(err);
  // One good document among them: a success, the others listed.
  const std::string text = folder.Write("text.txt", "Gardens and tigers.\n");
  Result r = RunDump(dico + emptyText + " " + text + " " + slides, err);
  EXPECT_EQ(r.exitCode, 0) << ReadFileBytes(err);
  EXPECT_NE(r.out.find("Gardens"), std::string::npos);
  EXPECT_EQ(r.out.find("# cut"), std::string::npos);
}

// A small package whose document inflates past the converters' 32 MB of
// text: its beginning is analysed, the output and the exit code say it was
// cut, as for a text cut at the word cap; it is no document without text.
TEST(QuilorDump, ADocumentCutByItsConverterIsACutText) {
  if (kSanitizedBuild) GTEST_SKIP() << "millions of words take too long under the sanitizer";
  TempFolder folder;
  const std::string err = folder.Path("err");
  const std::string types =
      "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
      "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";
  const std::string rels =
      "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
      "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
      "officeDocument\" Target=\"word/document.xml\"/></Relationships>";
  std::string sentence;
  for (int i = 0; i < 200; ++i) sentence += "The dog sleeps in the garden. ";
  const std::string paragraph = "<w:p><w:r><w:t>" + sentence + "</w:t></w:r></w:p>";
  std::string document =
      "<?xml version=\"1.0\"?><w:document "
      "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>";
  document.reserve(40u << 20);
  while (document.size() < (36u << 20)) document += paragraph;
  document += "<w:p><w:r><w:t>zebra</w:t></w:r></w:p></w:body></w:document>";
  const std::string docx = folder.Write(
      "bomb.docx",
      testing::BuildZip({{"[Content_Types].xml", types}, {"_rels/.rels", rels}, {"word/document.xml", document}}));
  ASSERT_LT(ReadFileBytes(docx).size(), 1u << 20);
  const std::string out = folder.Path("out");
  Result r = RunDump("--dico " + std::string(QUILOR_BINARY_DIR) + "/Dico " + docx + " >" + out, err);
  EXPECT_EQ(r.exitCode, 3) << ReadFileBytes(err);
  const std::string lines = ReadFileBytes(out);
  EXPECT_GT(lines.size(), 100u << 20);
  const std::string tail = lines.substr(lines.size() > 300 ? lines.size() - 300 : 0);
  EXPECT_NE(tail.find("\n# cut: only the beginning of " + docx + " was read\n"), std::string::npos) << tail;
  EXPECT_EQ(tail.find("zebra"), std::string::npos);
}

TEST(QuilorDump, ATextCutAtTheWordCapSaysSoInItsOutputAndExitCode) {
  if (kSanitizedBuild) GTEST_SKIP() << "ten million words take too long under the sanitizer";
  TempFolder folder;
  const std::string err = folder.Path("err");
  // 10,000,001 words (the cap is ten million), then one more line: past
  // the size at which the window asks first (25 MB), too.
  std::string words;
  words.reserve(30000010);
  for (int i = 0; i < 10000001; ++i) words += "ab ";
  const std::string big = folder.Write("big.txt", words + "\nzebra\n");
  const std::string out = folder.Path("out");
  Result r = RunDump("--dico " + std::string(QUILOR_BINARY_DIR) + "/Dico " + big + " >" + out, err);
  EXPECT_EQ(r.exitCode, 3) << ReadFileBytes(err);
  const std::string lines = ReadFileBytes(out);
  const std::string tail = lines.substr(lines.size() > 200 ? lines.size() - 200 : 0);
  EXPECT_NE(tail.find("\n# cut at 10000000 words\n"), std::string::npos) << tail;
  EXPECT_EQ(tail.find("zebra"), std::string::npos);
  // Plain notes of what the tool does, never the window's questions.
  const std::string said = ReadFileBytes(err);
  EXPECT_NE(said.find("Note: the total size of the text is bigger than 25 MB; it is read whole."), std::string::npos)
      << said;
  EXPECT_NE(said.find("Note: the text reached the word cap; only its first 10000000 words are analysed."),
            std::string::npos)
      << said;
  for (const char* question : {"Continue?", "Be careful", "Stop !"})
    EXPECT_EQ(said.find(question), std::string::npos) << question << " in " << said;
}

}  // namespace
}  // namespace quilor
