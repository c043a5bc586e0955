#include <gtest/gtest.h>

#include "engine/ontology_engine.h"
#include "engine/semantic_dictionary_file.h"
#include "ontology_test_support.h"
#include "platform/fatal.h"
#include "platform/message_ui.h"
#include "tests/platform/temp_folder.h"

#include <cstdio>
#include <fstream>

namespace quilor {
namespace {

using testing_support::MakeMiniDictionary;

std::string MiniImage() { return WriteSemanticDictionary(MakeMiniDictionary()); }

void PutU32At(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

TEST(SemanticDictionaryFile, WrittenFileReadsBackWithItsClassesWordsAndNames) {
  SemanticDictionary in = MakeMiniDictionary();
  std::string image = WriteSemanticDictionary(in);
  SemanticDictionary out;
  ASSERT_TRUE(ReadSemanticDictionary(image, out).Ok());
  EXPECT_EQ(out.stamp, 77u);
  EXPECT_EQ(out.classCount[0], 4u);
  EXPECT_EQ(out.names[0][3], "riverbank");
  EXPECT_EQ(out.names[2][2], "money");
  EXPECT_EQ(out.triples[4].cls[1], 2);
  EXPECT_EQ(out.textNames, in.textNames);
  EXPECT_EQ(WriteSemanticDictionary(out), image);  // nothing lost on the way
}

TEST(SemanticDictionaryFile, NamesAreShiftedOnDiskAndRestoredOnLoad) {
  std::string image = MiniImage();
  // "dog" is the first level-1 name: stored as d, o-1, g-2.
  size_t at = image.find(std::string("d") + static_cast<char>('o' - 1) + static_cast<char>('g' - 2));
  ASSERT_NE(at, std::string::npos);
  EXPECT_TRUE(CanStoreShiftedName("ice_cream"));
  EXPECT_FALSE(CanStoreShiftedName(std::string("ab") + '\x01'));  // would be stored as a NUL or wrap
  EXPECT_FALSE(CanStoreShiftedName(std::string(80, 'a')));
}

TEST(SemanticDictionaryFile, EveryTruncationIsAReadErrorNeverACrash) {
  std::string image = MiniImage();
  for (size_t cut : {size_t(0), size_t(50), size_t(89), size_t(89 + 24 * 60 - 1), image.size() / 2, image.size() - 1}) {
    SemanticDictionary d;
    EXPECT_EQ(ReadSemanticDictionary(image.substr(0, cut), d).status, SemanticReadStatus::kTruncated) << cut;
  }
}

// A dictionary of some megabytes, whose text names are read in several parts
// on several threads.
SemanticDictionary LargeDictionary() {
  SemanticDictionary d = MakeMiniDictionary();
  for (uint32_t i = 0; d.textNames.size() < 70000; ++i) {
    std::string name = "w";
    for (uint32_t v = i; v; v /= 26) name += static_cast<char>('a' + v % 26);
    d.textNames.push_back(name);
  }
  return d;
}

void WriteFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

TEST(SemanticDictionaryFile, FileIsReadInPartsAsTheImageInMemory) {
  const std::string image = WriteSemanticDictionary(LargeDictionary());
  ASSERT_GT(image.size(), size_t{4} << 20);
  testing::TempFolder folder;
  const std::string path = folder / "englex.sv8";
  WriteFile(path, image);
  SemanticDictionary fromFile, fromMemory;
  ASSERT_TRUE(ReadSemanticDictionaryFile(path, image.size(), fromFile).Ok());
  ASSERT_TRUE(ReadSemanticDictionary(image, fromMemory).Ok());
  EXPECT_EQ(fromFile.textNames, fromMemory.textNames);
  EXPECT_EQ(fromFile.textNames[69999], LargeDictionary().textNames[69999]);
  EXPECT_EQ(WriteSemanticDictionary(fromFile), image);
  EXPECT_EQ(WriteSemanticDictionary(fromMemory), image);
}

TEST(SemanticDictionaryFile, FileThatIsCutMissingOrTooLargeIsAReadError) {
  const std::string image = WriteSemanticDictionary(LargeDictionary());
  testing::TempFolder folder;
  const std::string path = folder / "englex.sv8";
  for (size_t cut : {size_t(0), size_t(89 + 24 * 60 + 5), image.size() / 3, image.size() - 90, image.size() - 1}) {
    WriteFile(path, image.substr(0, cut));
    SemanticDictionary d;
    EXPECT_EQ(ReadSemanticDictionaryFile(path, image.size(), d).status, SemanticReadStatus::kTruncated) << cut;
  }
  WriteFile(path, image);
  SemanticDictionary d;
  const SemanticReadResult large = ReadSemanticDictionaryFile(path, image.size() - 1, d);
  EXPECT_EQ(large.status, SemanticReadStatus::kTruncated);
  EXPECT_EQ(large.detail, "cannot read " + path);
  EXPECT_EQ(ReadSemanticDictionaryFile(folder / "missing.sv8", image.size(), d).detail,
            "cannot read " + folder / "missing.sv8");
  EXPECT_EQ(ReadSemanticDictionaryFile(folder.path(), image.size(), d).detail, "cannot read " + folder.path());
  // A damaged part read on a helper thread is refused as in memory.
  SemanticDictionary wide = LargeDictionary();
  wide.textIndex.values[1] = static_cast<uint32_t>(wide.textNames.size());
  WriteFile(path, WriteSemanticDictionary(wide));
  EXPECT_EQ(ReadSemanticDictionaryFile(path, image.size(), d).status, SemanticReadStatus::kInconsistent);
}

TEST(SemanticDictionaryFile, HeaderCopiesAreCheckedForMagicVersionAndStamp) {
  const std::string image = MiniImage();
  SemanticDictionary d;
  std::string bad = image;
  PutU32At(bad, 85, 7);
  EXPECT_EQ(ReadSemanticDictionary(bad, d).status, SemanticReadStatus::kBadMagic);
  bad = image;
  bad[0] = 18;
  EXPECT_EQ(ReadSemanticDictionary(bad, d).status, SemanticReadStatus::kBadVersion);
  // The last header copy with another stamp: found after every other section was read.
  bad = image;
  PutU32At(bad, bad.size() - kSemanticHeaderSize + 1, 78);
  EXPECT_EQ(ReadSemanticDictionary(bad, d).status, SemanticReadStatus::kBadStamp);
}

TEST(SemanticDictionaryFile, CountsLinksAndNumbersBeyondTheFileAreRefused) {
  const std::string image = MiniImage();
  SemanticDictionary d;
  std::string bad = image;
  PutU32At(bad, 25, 70000);  // more level-1 classes than a level holds
  EXPECT_EQ(ReadSemanticDictionary(bad, d).status, SemanticReadStatus::kInconsistent);
  bad = image;
  PutU32At(bad, 49, 0x7FFFFFFF);  // entry records far beyond the file
  EXPECT_EQ(ReadSemanticDictionary(bad, d).status, SemanticReadStatus::kTruncated);
  bad = image;
  PutU32At(bad, 89 + 16, 0xFFFFFFF0u);  // negative node count
  EXPECT_EQ(ReadSemanticDictionary(bad, d).status, SemanticReadStatus::kInconsistent);

  // A link that points backwards would let a walk loop: refused.
  SemanticDictionary loop = MakeMiniDictionary();
  for (auto& t : loop.tables)
    if (t.Size() > 2) {
      t.links[1] = 0;
      break;
    }
  EXPECT_EQ(ReadSemanticDictionary(WriteSemanticDictionary(loop), d).status, SemanticReadStatus::kInconsistent);
  // A word value naming a record that does not exist.
  SemanticDictionary wild = MakeMiniDictionary();
  for (auto& t : wild.tables)
    for (auto& v : t.values)
      if (v) v = 999;
  EXPECT_EQ(ReadSemanticDictionary(WriteSemanticDictionary(wild), d).status, SemanticReadStatus::kInconsistent);
  // A triple naming a class beyond its level.
  SemanticDictionary triple = MakeMiniDictionary();
  triple.triples[9].cls[2] = 4;
  EXPECT_EQ(ReadSemanticDictionary(WriteSemanticDictionary(triple), d).status, SemanticReadStatus::kInconsistent);
}

TEST(SemanticDictionaryFile, EngineStopsWithTheMessageAndExitCodeOfEachFault) {
  ScopedScriptedUi ui;
  const std::string path = std::string(QUILOR_BINARY_DIR) + "/test_bad.sv8";
  auto exitCodeOf = [&](const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    TOntologyEngine engine;
    try {
      engine.LoadFile(path);
    } catch (const FatalError& e) {
      return e.ExitCode();
    }
    return -1;
  };
  std::string image = MiniImage();
  EXPECT_EQ(exitCodeOf(image.substr(0, 100)), kExitDictionaryRead);
  std::string bad = image;
  bad[0] = 20;
  EXPECT_EQ(exitCodeOf(bad), kExitFatal);
  EXPECT_NE(ui.ui.Shown().back().text.find("Wrong version"), std::string::npos);
  EXPECT_EQ(exitCodeOf(image), -1);
  std::remove(path.c_str());
  TOntologyEngine missing;
  EXPECT_THROW(missing.LoadFile(path + ".absent"), FatalError);
}

TEST(SemanticDictionaryFile, WordTablesFollowTheLetterGroupsAndDepth) {
  unsigned char groups[256] = {};
  groups[static_cast<unsigned char>('d')] = 3;
  // Depth 0: group + 10 x ((s x 73) mod 4) with s the codes of the next two characters.
  EXPECT_EQ(SemanticTableForDepth(groups, "dog", 0), 3 + 10 * static_cast<int>((('o' + 'g') * 73) % 4));
  EXPECT_EQ(SemanticTableForDepth(groups, "$", 0), 10);  // group 0 counts as 10
  EXPECT_EQ(SemanticTableForDepth(groups, "dog", 1), 41);
  EXPECT_EQ(SemanticTableForDepth(groups, "dog", 2), 60);
  EXPECT_EQ(SemanticTableForDepth(groups, "dog", 17), 45);
  EXPECT_EQ(ClassNameSegment("a", 7), 97 % 7 + 1);
  EXPECT_EQ(ClassNameSegment("ab", 7), ((97 + 98) % 73) % 7 + 1);
}

}  // namespace
}  // namespace quilor
