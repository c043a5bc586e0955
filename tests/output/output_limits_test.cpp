// The exports at their limits.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "output/gexf_export.h"
#include "tests/platform/temp_folder.h"

namespace quilor::ui {
namespace {

using quilor::testing::ReadWholeFile;
using quilor::testing::TempFolder;

// With data reduction, one entry more than the graph holds raises the
// minimum frequency to 2: the entries met exactly twice stay, once go.
TEST(OutputLimits, DataReductionKeepsTheEntriesAtTheMinimumFrequency) {
  const uint32_t entries = TExportGephiGEXF::kMaxNodes + 1;
  GexfSource source;
  source.scenarioLoaded = true;
  source.entries.resize(entries + 1);
  for (uint32_t e = 1; e <= entries; ++e)
    source.entries[e] = {"c" + std::to_string(e), 0, true, e <= 10 ? 2u : e == 11 ? 3u : 1u, 0};
  source.documents = {"/texts/a.txt"};
  source.walkWords = [](const std::function<bool(uint32_t, uint32_t)>&) {};
  source.walkRelationPairs = [](const std::function<void(uint32_t, uint32_t)>&) {};
  TExportGephiGEXF gexf(source);
  gexf.Init(entries);
  for (uint32_t e = 1; e <= entries; ++e) gexf.SetNodeFrequency(e, source.entries[e].frequency);
  gexf.switches.dataReduction = true;
  TempFolder folder;
  ASSERT_TRUE(gexf.WriteOntologyFile(folder / "o.gexf"));
  const std::string text = ReadWholeFile(folder / "o.gexf");
  size_t nodes = 0;  // the entries' nodes (a document's id starts with "d")
  for (size_t at = text.find("<node id=\""); at != std::string::npos; at = text.find("<node id=\"", at + 1))
    nodes += std::isdigit(static_cast<unsigned char>(text[at + 10])) ? 1 : 0;
  EXPECT_EQ(nodes, 11u);
  for (uint32_t e : {1u, 10u, 11u})
    EXPECT_NE(text.find("<node id=\"" + std::to_string(e) + "\""), std::string::npos) << e;
  EXPECT_EQ(text.find("<node id=\"12\""), std::string::npos);

  // Without it, every entry is written.
  TExportGephiGEXF whole(source);
  whole.Init(entries);
  for (uint32_t e = 1; e <= 12; ++e) whole.SetNodeFrequency(e, source.entries[e].frequency);
  ASSERT_TRUE(whole.WriteOntologyFile(folder / "w.gexf"));
  EXPECT_NE(ReadWholeFile(folder / "w.gexf").find("<node id=\"12\""), std::string::npos);
}

}  // namespace
}  // namespace quilor::ui
