#include "engine/style_profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/chartables.h"
#include "engine/category_counters.h"
#include "engine/diagnosis.h"
#include "platform/read_file.h"

namespace quilor {
namespace {

std::vector<std::string> Tokens(std::string_view text, bool tagged) {
  std::vector<std::string> out;
  auto word = [&](std::string_view w) { out.emplace_back(w); };
  auto end = [&] { out.emplace_back("/"); };
  if (tagged) {
    ReadTaggedText(text, word, end);
  } else {
    ReadPlainText(text, word, end);
  }
  return out;
}

TEST(StyleProfile, TaggedAndPlainTextsGiveWordsAndSentenceEnds) {
  EXPECT_EQ(Tokens("The/at jury/nn said/vbd ./. It/pps a/b/c ,/, ;/. ``/`` /x", true),
            (std::vector<std::string>{"The", "jury", "said", "/", "It", "a/b", "/"}));
  EXPECT_EQ(Tokens(std::string(100, 'a') + "/nn ok/jj", true), (std::vector<std::string>{"ok"}));
  EXPECT_EQ(Tokens("Well-known, isn't it? -- yes; end-", false),
            (std::vector<std::string>{"Well-known", "isn't", "it", "/", "yes", "/", "end"}));
  EXPECT_TRUE(Tokens(std::string("\0\xff/\x01", 4), true).size() <= 1);
}

// Four short texts, each written for one style, diagnosed with the norms of
// the English lexicon of the build.
TEST(StyleProfile, EachStyleIsFoundOnATextWrittenForIt) {
  const std::string lexiconPath = std::string(QUILOR_BINARY_DIR) + "/Dico/englex.lv8";
  if (!std::filesystem::exists(lexiconPath)) GTEST_SKIP() << "no lexicon in the build";
  {
    TMainDictionary lexicon(lexiconPath, 2);
    ASSERT_TRUE(lexicon.ready);
    const std::pair<const char*, int> cases[] = {{"argumentative", kMsgArgumentative},
                                                 {"narrative", kMsgNarrative},
                                                 {"enunciative", kMsgEnunciative},
                                                 {"descriptive", kMsgDescriptive}};
    for (const auto& [name, style] : cases) {
      std::string text;
      ASSERT_EQ(ReadWholeFile(std::string(QUILOR_TEST_DATA) + "/engine/style/" + name + ".txt", 1 << 20, text),
                ReadFileStatus::kOk);
      ClearCategoryCounters();
      TStyleProfiler profiler(lexicon);
      profiler.Plain(text);
      ASSERT_TRUE(ComputePercentages());
      TDiagnosisInputs in = TDiagnosisInputs::Current();
      in.textWords = CountedWords;
      TDiagnosisList list;
      list.DiagnoseStyle(in, nullptr);
      ASSERT_FALSE(list.Findings().empty()) << name;
      EXPECT_EQ(list.Findings()[0], style) << name;
    }
  }
  ClearCategoryCounters();
  ResetWorkingTables();
}

}  // namespace
}  // namespace quilor
