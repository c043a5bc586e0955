#include "core/options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "support/file_size_limit.h"
#include "core/files.h"
#include "tests/platform/temp_folder.h"

namespace quilor {
namespace {

using testing::ReadWholeFile;
using testing::TempFolder;
using testing::WriteWholeFile;

std::string ImageOf(const TOptionsRecord& r) { return std::string(reinterpret_cast<const char*>(r.Data()), r.Size()); }

TEST(OptionsRecord, DefaultsOfTheImage) {
  TOptionsRecord r;
  r.Set(opt::RelationBase, 3);
  r.ResetSettings();
  EXPECT_EQ(r.Data()[14912], 0x92);  // little-endian 0x0012D692
  const std::vector<int64_t> numbers = {
      r.Get(opt::Version),         r.Get(opt::EndMarker),       r.Get(opt::WizardThreshold),
      r.Get(opt::ExcelMaxCharts),  r.Get(opt::GraphMaxObjects), r.Get(opt::DocumentKind),
      r.Get(opt::ClassPertinence), r.Get(opt::RelationBase),    r.Get(opt::CharacteristicParts),
      r.Get(opt::SizeThreshold),   r.Get(opt::OpenFilterIndex), r.Get(opt::AreaGraph3D),
      r.Get(opt::ShowBorders),     r.Get(opt::ConvertPdf),      r.Get(opt::GexfDiscardLoneNodes),
      r.Get(opt::NoSubFolders)};
  EXPECT_EQ(numbers, (std::vector<int64_t>{15, 1234578, 3, 8, 30, 10, 15, 1, 90, 25, 12, 1, 0, 1, 1, 0}));
  EXPECT_DOUBLE_EQ(r.Get(opt::DoubleSetting), 0.4);
  EXPECT_EQ(r.Get(opt::ScenarioFileName), "Concepts US V8.scn");
  EXPECT_EQ(r.Get(opt::BordersFileName), "");
  uint32_t colours[opt::ColourCount];
  r.GetColourSettings(colours);
  EXPECT_EQ(colours[1], 0x000000A0u);
  EXPECT_EQ(colours[4], 0x0080FFA0u);
  EXPECT_EQ(colours[15], 0x00C0C0C0u);
  EXPECT_EQ(colours[16], 0u);
  EXPECT_EQ(r.Get(opt::PaletteColour(10)), 0x4000C0u);
  const uint8_t print[13] = {1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(r.Data() + 14896, print, 13), 0);
  // Count the bytes a default record sets: every one comes from a documented default.
  size_t nonZero = 0;
  for (size_t i = 0; i < r.Size(); ++i) nonZero += r.Data()[i] != 0;
  EXPECT_GT(nonZero, 100u);
}

// Offsets that no field names: filled with noise, they must come back as they went.
std::vector<size_t> UnnamedOffsets() {
  std::vector<std::pair<size_t, size_t>> ranges = {{4, 87},    {88, 260},  {292, 344},   {348, 352},    {380, 384},
                                                   {392, 552}, {581, 583}, {604, 609},   {615, 616},    {631, 632},
                                                   {639, 641}, {647, 667}, {1972, 2233}, {14909, 14912}};
  std::vector<size_t> out;
  for (auto [a, b] : ranges)
    for (size_t i = a; i < b; ++i) out.push_back(i);
  return out;
}

TEST(OptionsRecord, FileRoundTripsByteForByte) {
  TempFolder dir;
  TOptionsRecord r;
  std::mt19937 noise(7);
  for (size_t off : UnnamedOffsets()) r.Data()[off] = static_cast<uint8_t>(noise());
  for (size_t i = 0; i < 4582 - 2233; ++i)  // GEXF texts: full slots of noise, each ended by its NUL
    r.Data()[2233 + i] = (i % 261 == 260) ? 0 : static_cast<uint8_t>(noise() | 1);
  for (size_t i = 4582; i < 8500; ++i) r.Data()[i] = static_cast<uint8_t>(noise());
  r.Set(opt::RelationBase, 4);
  r.Set(opt::SizeThreshold, 2047);
  r.Set(opt::DoubleSetting, -1.25);
  r.Set(opt::BordersFileName, std::string(260, 'B'));
  r.Set(opt::FileHistoryEntry(11), "/home/u/last.txt");
  r.Set(opt::Colour(16), 0x00123456);
  const std::string path = dir / "quilor.prm";
  ASSERT_TRUE(WriteOptionsFile(path, r));
  EXPECT_EQ(ReadWholeFile(path).size(), 14920u);

  TOptionsRecord back;
  ASSERT_TRUE(ReadOptionsFile(path, back));
  EXPECT_EQ(ImageOf(back), ImageOf(r));
  EXPECT_EQ(back.Get(opt::BordersFileName), std::string(260, 'B'));
  EXPECT_EQ(back.Get(opt::FileHistoryEntry(11)), "/home/u/last.txt");
}

TEST(OptionsRecord, ForeignOrShortFilesGiveTheDefaults) {
  TempFolder dir;
  const TOptionsRecord defaults;
  TOptionsRecord changed;
  changed.Set(opt::RelationBase, 2);
  std::string good = ImageOf(changed);

  std::string wrongVersion = good;
  wrongVersion[0] = 14;
  std::string wrongMarker = good;
  wrongMarker[14915] = 1;
  for (const std::string& image : {wrongVersion, wrongMarker, good.substr(0, 14919), std::string()}) {
    TOptionsRecord r = changed;
    WriteWholeFile(dir / "o.prm", image);
    EXPECT_FALSE(ReadOptionsFile(dir / "o.prm", r));
    EXPECT_EQ(ImageOf(r), ImageOf(defaults));
  }
  TOptionsRecord r = changed;
  EXPECT_FALSE(ReadOptionsFile(dir / "missing.prm", r));
  EXPECT_EQ(r.Get(opt::RelationBase), 1);
  EXPECT_FALSE(ReadOptionsFile(dir.path(), r));  // a folder

  // Extra bytes after the record are not part of it.
  WriteWholeFile(dir / "o.prm", good + "tail");
  EXPECT_TRUE(ReadOptionsFile(dir / "o.prm", r));
  EXPECT_EQ(r.Get(opt::RelationBase), 2);
}

TEST(OptionsRecord, DamagedImageIsEndedAndBroughtInRange) {
  TOptionsRecord r;
  std::memset(r.Data() + 667, 'S', 522);  // scenario name without its NUL
  std::memset(r.Data() + 1189, 'b', 261);
  std::memset(r.Data() + 1450, 'm', 261);
  std::memset(r.Data() + 1711, 'f', 261);
  std::memset(r.Data() + 8632, 'h', 12 * 261);
  std::memset(r.Data() + 11764, 'r', 12 * 261);
  r.Set(opt::GraphMaxObjects, 3);
  r.Set(opt::GraphKind, 9);
  r.Set(opt::RelationBase, 0);
  r.Set(opt::ClassMinWords, 1000);
  r.Set(opt::CharacteristicParts, 0);
  r.Set(opt::SizeThreshold, 65535);
  r.Set(opt::OpenFilterIndex, 0);
  r.Set(opt::ExcelMaxCharts, 0);
  r.Set(opt::ExcelChartType, 77);
  r.Set(opt::DoubleSetting, std::numeric_limits<double>::quiet_NaN());
  TOptionsRecord back;
  ASSERT_TRUE(ReadOptionsImage(ImageOf(r), back));
  EXPECT_EQ(back.Get(opt::ScenarioFileName), std::string(521, 'S'));
  EXPECT_EQ(back.Get(opt::BordersFileName), std::string(260, 'b'));
  EXPECT_EQ(back.Data()[1710], 0);
  EXPECT_EQ(back.Data()[1971], 0);
  for (size_t i = 0; i < 12; ++i) {
    EXPECT_EQ(back.Get(opt::FolderHistoryEntry(i)), std::string(260, 'h'));
    EXPECT_EQ(back.Get(opt::FileHistoryEntry(i)), std::string(260, 'r'));
  }
  // An unknown graph kind is the star, as the graph options show it; a size
  // threshold of 65535 would overflow the byte threshold.
  const std::vector<int64_t> numbers = {
      back.Get(opt::GraphMaxObjects), back.Get(opt::GraphKind),           back.Get(opt::RelationBase),
      back.Get(opt::ClassMinWords),   back.Get(opt::CharacteristicParts), back.Get(opt::SizeThreshold),
      back.Get(opt::OpenFilterIndex), back.Get(opt::ExcelMaxCharts),      back.Get(opt::ExcelChartType)};
  EXPECT_EQ(numbers, (std::vector<int64_t>{8, 2, 1, 3, 90, 25, 12, 8, 0}));
  EXPECT_DOUBLE_EQ(back.Get(opt::DoubleSetting), 0.4);
}

TEST(OptionsRecord, TextFieldsAreCutAndCleared) {
  TOptionsRecord r;
  r.Set(opt::LastFolder, std::string(400, 'x'));
  EXPECT_EQ(r.Get(opt::LastFolder).size(), 260u);
  r.Set(opt::LastFolder, "/a");
  EXPECT_EQ(r.Get(opt::LastFolder), "/a");
  EXPECT_EQ(r.Data()[1711 + 3], 0);  // the rest of the old text is gone
  r.Set(opt::LastFolder, std::string("/b\0c", 4));
  EXPECT_EQ(r.Get(opt::LastFolder), "/b");
}

TEST(OptionsRecord, SaveFailureKeepsThePreviousFile) {
  TempFolder dir;
  const std::string path = dir / "quilor.prm";
  TOptionsRecord r;
  ASSERT_TRUE(WriteOptionsFile(path, r));
  const std::string before = ReadWholeFile(path);
  r.Set(opt::RelationBase, 4);
  {
    testing_support::ScopedFileSizeLimit limit(4096);  // the save fails part way
    EXPECT_FALSE(WriteOptionsFile(path, r));
  }
  EXPECT_EQ(ReadWholeFile(path), before);
  WriteWholeFile(dir / "plain", "x");
  EXPECT_FALSE(WriteOptionsFile(dir / "plain/quilor.prm", r));
}

namespace merging {

std::vector<std::string> Files(const TOptionsRecord& r) {
  std::vector<std::string> list;
  for (size_t i = 0; i < opt::HistoryCount; ++i) list.push_back(r.Get(opt::FileHistoryEntry(i)));
  while (!list.empty() && list.back().empty()) list.pop_back();
  return list;
}

void SetFiles(TOptionsRecord& r, const std::vector<std::string>& list) {
  for (size_t i = 0; i < opt::HistoryCount; ++i) r.Set(opt::FileHistoryEntry(i), i < list.size() ? list[i] : "");
}

}  // namespace merging

// Two programs read the same options; one wrote its changes since. What the
// other changed goes in on top, the rest stays as the first wrote it; the
// file history keeps what each opened.
TEST(OptionsRecord, ChangesAreMergedIntoTheFileAsItIsNow) {
  using merging::Files;
  using merging::SetFiles;
  TOptionsRecord base;
  SetFiles(base, {"/x.txt", "/y.txt", "/z.txt"});
  base.Set(opt::BordersFileName, "a long borders name.dlm");
  TOptionsRecord disk = base;  // the other program opened b, reopened z, set the graph kind
  SetFiles(disk, {"/z.txt", "/b.txt", "/x.txt", "/y.txt"});
  disk.Set(opt::GraphKind, 4);
  disk.Set(opt::SizeThreshold, 9);
  TOptionsRecord mine = base;  // this one opened a, reopened y, changed the Borders and the size
  SetFiles(mine, {"/y.txt", "/a.txt", "/x.txt", "/z.txt"});
  mine.Set(opt::BordersFileName, "b.dlm");
  mine.Set(opt::SizeThreshold, 300);
  MergeOptionsChanges(base, mine, disk);
  EXPECT_EQ(Files(disk), (std::vector<std::string>{"/y.txt", "/a.txt", "/z.txt", "/b.txt", "/x.txt"}));
  EXPECT_EQ(disk.Get(opt::GraphKind), 4);
  EXPECT_EQ(disk.Get(opt::SizeThreshold), 300);
  // A text goes whole: nothing of the longer name it replaced is left.
  EXPECT_EQ(disk.Get(opt::BordersFileName), "b.dlm");
  EXPECT_EQ(std::memcmp(disk.Data() + opt::BordersFileName.offset, mine.Data() + opt::BordersFileName.offset,
                        opt::BordersFileName.size),
            0);

  // A history this program cleared loses its entries, not the other's new ones.
  TOptionsRecord cleared = base;
  SetFiles(cleared, {});
  TOptionsRecord other = base;
  SetFiles(other, {"/b.txt", "/x.txt", "/y.txt", "/z.txt"});
  MergeOptionsChanges(base, cleared, other);
  EXPECT_EQ(Files(other), (std::vector<std::string>{"/b.txt"}));

  // Nothing changed here: the file stays as the other wrote it.
  TOptionsRecord untouched = disk;
  MergeOptionsChanges(base, base, untouched);
  EXPECT_EQ(std::memcmp(untouched.Data(), disk.Data(), TOptionsRecord::Size()), 0);

  // A full history pushes out its last entry without taking it from the other's.
  std::vector<std::string> twelve;
  for (int i = 0; i < 12; ++i) twelve.push_back("/f" + std::to_string(i));
  SetFiles(base, twelve);
  mine = base;
  std::vector<std::string> pushed = twelve;
  pushed.insert(pushed.begin(), "/new");
  pushed.pop_back();
  SetFiles(mine, pushed);
  disk = base;
  MergeOptionsChanges(base, mine, disk);
  EXPECT_EQ(Files(disk), pushed);
}

TEST(RunTimeRecords, DefaultsOfTheGeneralStateAndWorkContext) {
  GeneralState->Language = 1;
  ResetGeneralState();
  const uint8_t expected[11] = {4, 1, 1, 0, 1, 0, 0, 0, 0, 1, 1};
  EXPECT_EQ(std::memcmp(GeneralState, expected, 11), 0);

  WorkContext->FileDialogMask = "*.txt";
  WorkContext->SauverOptions = false;
  WorkContext->SearchKeys[3] = "key";
  ResetWorkContext();
  EXPECT_EQ(WorkContext->FileDialogMask, "*.*");
  EXPECT_TRUE(WorkContext->SauverOptions && WorkContext->Messages && WorkContext->AuthIndexation &&
              WorkContext->MultiUserSetup);
  EXPECT_FALSE(WorkContext->ZuvovReadOnly || WorkContext->ClientServeur || WorkContext->MessGenIndex);
  EXPECT_EQ(WorkContext->CalculationBase, 1);
  EXPECT_EQ(WorkContext->SecondBase, 1);
  EXPECT_EQ(WorkContext->SearchKeys[3], "");
  EXPECT_EQ(WorkContext->Exports[9].Multiplier, 0);
}

TEST(InstallPaths, RootIsTheParentOfTheProgramFolderWithItsCase) {
  std::string root = "unchanged";
  EXPECT_TRUE(InstallRootOf("/Home/Ann/Quilor/bin/quilor", root));
  EXPECT_EQ(root, "/Home/Ann/Quilor");
  EXPECT_TRUE(InstallRootOf("/bin/quilor", root));
  EXPECT_EQ(root, "");
  root = "unchanged";
  EXPECT_FALSE(InstallRootOf("/quilor", root));
  EXPECT_FALSE(InstallRootOf("quilor", root));
  EXPECT_EQ(root, "unchanged");

  ResetGeneralState();
  SetProgramPathForTesting("/Opt/QuilorApp/bin/quilor");
  SetInstallPaths();
  EXPECT_EQ(WorkContext->InstallRoot, "/Opt/QuilorApp");
  EXPECT_EQ(WorkContext->DictionaryMask, "/Opt/QuilorApp/Dico/englex.*");
  EXPECT_EQ(WorkContext->UserScenarioFolder, "/Opt/QuilorApp/Scenario");
  EXPECT_EQ(WorkContext->BordersFolder, "/Opt/QuilorApp/Scenario");
  EXPECT_EQ(WorkContext->ProgramScenarioFolder, "/Opt/QuilorApp/Scenario");
  SetProgramPathForTesting("");
  ResetWorkContext();
}

TEST(DefaultScenarios, FiveNamesComparedIgnoringCase) {
  EXPECT_STREQ(kDefaultScenarioNames[0], kDefaultScenarioName);
  EXPECT_TRUE(IsDefaultScenarioName("concepts uk v8.SCN"));
  EXPECT_TRUE(IsDefaultScenarioName("Chemistry US V7.scn"));
  EXPECT_FALSE(IsDefaultScenarioName("Chemistry US V7"));
  EXPECT_FALSE(IsDefaultScenarioName("My own.scn"));
}

}  // namespace
}  // namespace quilor
