#include "output/gexf_export.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "engine/ontology_engine.h"
#include "ui_support/engine_session.h"
#include "../platform/temp_folder.h"

namespace quilor::ui {
namespace {

using quilor::testing::ReadWholeFile;
using quilor::testing::TempFolder;

// The GEXF 1.3 schema kept with the test data.
std::string SchemaPath() {
  const std::filesystem::path schema = std::filesystem::path(QUILOR_TEST_DATA) / "gexf-1.3/gexf.rng";
  return std::filesystem::exists(schema) ? schema.string() : std::string();
}

// Validates a file against the GEXF 1.3 schema with xmllint.
bool ValidGexf(const std::string& path, std::string& why) {
  const std::string schema = SchemaPath();
  if (std::system("command -v xmllint >/dev/null 2>&1") != 0 || schema.empty()) {
    why = "xmllint or the GEXF schema is missing";
    return false;
  }
  const std::string command = "xmllint --noout --relaxng '" + schema + "' '" + path + "' > '" + path + ".log' 2>&1";
  const bool ok = std::system(command.c_str()) == 0;
  if (!ok) why = ReadWholeFile(path + ".log");
  return ok;
}

bool WellFormed(const std::string& path) {
  const std::string command = "xmllint --noout '" + path + "' >/dev/null 2>&1";
  return std::system("command -v xmllint >/dev/null 2>&1") != 0 || std::system(command.c_str()) == 0;
}

// A small Scenario: "Animals" (depth 0) > "cat" (1), "dog" (1); "Things" (0) > "box" (1) > "lid" (2).
GexfSource SmallSource() {
  GexfSource source;
  source.scenarioLoaded = true;
  source.entries.resize(6);
  source.entries[1] = {"Animals", 0, true, 6, 1};
  source.entries[2] = {"cat", 1, true, 4, 2};
  source.entries[3] = {"dog", 1, true, 2, 0};
  source.entries[4] = {"Things", 0, true, 3, 0};
  source.entries[5] = {"box", 1, true, 3, 1};
  // Labels that must come out well formed: quotes, markup, an accent, a TAB, and a very long one.
  source.entries[3].label = "A \"b\" & <c> \xE9\tdog";
  source.entries[5].label = std::string(600, 'x');
  source.documents = {"/texts/a.txt", "/texts/b & c.txt", "/texts/\xC3\xA9t\xC3\xA9.txt"};
  source.walkWords = [](const std::function<bool(uint32_t, uint32_t)>& visit) {
    const std::pair<uint32_t, uint32_t> words[] = {{1, 2}, {1, 0}, {1, 2}, {1, 3}, {2, 5}, {2, 2}, {3, 5}, {3, 3}};
    for (const auto& [doc, entry] : words)
      if (!visit(doc, entry)) return;
  };
  source.walkRelationPairs = [](const std::function<void(uint32_t, uint32_t)>& visit) {
    visit(2, 3);
    visit(2, 3);
    visit(2, 3);
    visit(3, 5);
    visit(5, 5);  // one entry with itself: no edge
  };
  return source;
}

TEST(GexfExport, EscapingKeepsTheTextWholeAndWellFormed) {
  EXPECT_EQ(TExportGephiGEXF::EscapeLabel("A \"b\" & <c> \xE9\tx"), "A &quot;b&quot; &amp; &lt;c&gt; &#233; x");
  // The euro sign of Windows-1252 is its Unicode code point.
  EXPECT_EQ(TExportGephiGEXF::EscapeLabel("\x80"), "&#8364;");
  // A long label ends on a whole reference.
  const std::string escaped = TExportGephiGEXF::EscapeLabel(std::string(600, '&'));
  EXPECT_EQ(escaped.substr(escaped.size() - 5), "&amp;");
  EXPECT_EQ(TExportGephiGEXF::EscapePath("/a/\xC3\xA9t\xC3\xA9 & \xFF.txt"), "/a/\xC3\xA9t\xC3\xA9 &amp; ?.txt");
}

TEST(GexfExport, FilesOfASmallScenarioValidate) {
  TempFolder folder;
  const GexfSource source = SmallSource();
  TExportGephiGEXF gexf(source);
  gexf.Init(5);
  for (uint32_t e = 1; e <= 5; ++e) gexf.SetNodeFrequency(e, source.entries[e].frequency);
  gexf.nodeThreshold = 1;
  ASSERT_TRUE(gexf.WriteDocumentsList(folder / "Documents-list.xml", 0, false));
  ASSERT_TRUE(gexf.WriteOntologyFile(folder / "QuilorOntology.gexf"));
  ASSERT_TRUE(gexf.ExportRelations(folder / "QuilorRelations.gexf"));
  ASSERT_TRUE(gexf.ExportMatrix(folder / "QuilorMatrix.gexf"));

  const std::string list = ReadWholeFile(folder / "Documents-list.xml");
  EXPECT_EQ(list.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(list.find("\t<article docid=\"d2\" doclink=\"/texts/b &amp; c.txt\" shortname=\"b &amp; c.txt\"/>\r\n"),
            std::string::npos);
  EXPECT_TRUE(WellFormed(folder / "Documents-list.xml"));

  for (const char* name : {"QuilorOntology.gexf", "QuilorRelations.gexf", "QuilorMatrix.gexf"}) {
    std::string why;
    EXPECT_TRUE(ValidGexf(folder / name, why)) << name << ": " << why;
  }
  const std::string ontology = ReadWholeFile(folder / "QuilorOntology.gexf");
  EXPECT_NE(ontology.find("label=\"A &quot;b&quot; &amp; &lt;c&gt; &#233; dog\""), std::string::npos);
  // Three documents at x = -5000, -1667 and 1666.
  EXPECT_NE(ontology.find("<node id=\"d1\""), std::string::npos);
  EXPECT_NE(ontology.find("x=\"-5000.0\""), std::string::npos);
  EXPECT_NE(ontology.find("x=\"-1667.0\""), std::string::npos);
  EXPECT_NE(ontology.find("x=\"1666.0\""), std::string::npos);
  // Document 1 met "cat" twice and "dog" once.
  EXPECT_NE(ontology.find("source=\"d1\" target=\"2\" weight=\"2\""), std::string::npos);
  EXPECT_NE(ontology.find("source=\"d1\" target=\"3\" weight=\"1\""), std::string::npos);
  EXPECT_EQ(gexf.OntologyStats().nodes, 5u);

  // Relations: cat > dog three times; dog > box once is below the weight of 2.
  const std::string relations = ReadWholeFile(folder / "QuilorRelations.gexf");
  EXPECT_NE(relations.find("<edge id=\"0\" source=\"2\" target=\"3\" weight=\"3\"/>"), std::string::npos);
  EXPECT_EQ(gexf.RelationStats().edges, 1u);
  EXPECT_NE(relations.find("defaultedgetype=\"directed\""), std::string::npos);
}

TEST(GexfExport, HierarchyWithASkippedParentStaysBalanced) {
  TempFolder folder;
  GexfSource source = SmallSource();
  source.entries.push_back({"lid", 2, true, 2, 0});  // entry 6 under box
  source.entries[5].frequency = 0;                   // box is not written
  TExportGephiGEXF gexf(source);
  gexf.Init(6);
  for (uint32_t e = 1; e <= 6; ++e) gexf.SetNodeFrequency(e, source.entries[e].frequency);
  gexf.switches.hierarchical = true;
  gexf.switches.depthLevel = true;
  ASSERT_TRUE(gexf.ExportRelations(folder / "r.gexf"));
  ASSERT_TRUE(gexf.WriteOntologyFile(folder / "o.gexf"));
  for (const char* name : {"r.gexf", "o.gexf"}) {
    std::string why;
    EXPECT_TRUE(ValidGexf(folder / name, why)) << name << ": " << why;
  }
  const std::string text = ReadWholeFile(folder / "o.gexf");
  const auto count = [&](const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("<nodes>"), count("</nodes>"));
  EXPECT_EQ(count("<node "), count("</node>"));
  EXPECT_NE(text.find("<attvalue for=\"level\" value=\"2\"/>"), std::string::npos);
}

// A class whose frequency is exactly the node threshold is written; one
// below it is not.
TEST(GexfExport, AClassAtTheThresholdIsWrittenOneBelowIsNot) {
  TempFolder folder;
  const GexfSource source = SmallSource();  // frequencies 6, 4, 2, 3, 3
  for (const auto& [threshold, expected] :
       std::vector<std::pair<uint32_t, std::vector<uint32_t>>>{{3, {1, 2, 4, 5}}, {4, {1, 2}}, {2, {1, 2, 3, 4, 5}}}) {
    SCOPED_TRACE(threshold);
    TExportGephiGEXF gexf(source);
    gexf.Init(5);
    for (uint32_t e = 1; e <= 5; ++e) gexf.SetNodeFrequency(e, source.entries[e].frequency);
    gexf.nodeThreshold = threshold;
    ASSERT_TRUE(gexf.WriteOntologyFile(folder / "o.gexf"));
    const std::string text = ReadWholeFile(folder / "o.gexf");
    std::vector<uint32_t> written;
    for (uint32_t e = 1; e <= 5; ++e)
      if (text.find("<node id=\"" + std::to_string(e) + "\"") != std::string::npos) written.push_back(e);
    EXPECT_EQ(written, expected);
  }
}

TEST(GexfExport, WriteErrorsAndStopFailTheStep) {
  const GexfSource source = SmallSource();
  TExportGephiGEXF gexf(source);
  gexf.Init(5);
  for (uint32_t e = 1; e <= 5; ++e) gexf.SetNodeFrequency(e, source.entries[e].frequency);
  EXPECT_FALSE(gexf.WriteOntologyFile("/dev/full"));
  EXPECT_FALSE(gexf.WriteDocumentsList("/dev/full", 0, false));
  EXPECT_FALSE(gexf.WriteOntologyFile("/nonexistent-folder/QuilorOntology.gexf"));

  TempFolder folder;
  GexfSource none = source;
  none.scenarioLoaded = false;
  TExportGephiGEXF withoutScenario(none);
  EXPECT_FALSE(withoutScenario.WriteOntologyFile(folder / "o.gexf"));

  gexf.Abort();
  EXPECT_FALSE(gexf.ExportRelations(folder / "r.gexf"));
}

TEST(GexfExport, RealRunOfTheSampleValidates) {
  testing_support::EngineSession session;
  ASSERT_TRUE(session.Started());
  const std::string second = session.Write("second.txt",
                                           "The court heard the case of the farmer and his cattle. "
                                           "The judge spoke to the farmer about the land and the water.\n");
  ASSERT_TRUE(session.Analyse({testing_support::EngineSession::SamplePath("sample.txt"), second}));
  const GexfSource source = GexfSourceFromEngine();
  ASSERT_TRUE(source.scenarioLoaded);
  ASSERT_EQ(source.documents.size(), 2u);
  TExportGephiGEXF gexf(source);
  gexf.Init(static_cast<uint32_t>(source.entries.size() - 1));
  uint32_t withFrequency = 0;
  for (uint32_t e = 1; e < source.entries.size(); ++e)
    if (source.entries[e].frequency > 0) {
      gexf.SetNodeFrequency(e, source.entries[e].frequency);
      ++withFrequency;
    }
  EXPECT_GT(withFrequency, 0u);
  TempFolder folder;
  ASSERT_TRUE(gexf.WriteDocumentsList(folder / "Documents-list.xml", 0, false));
  ASSERT_TRUE(gexf.WriteOntologyFile(folder / "QuilorOntology.gexf"));
  ASSERT_TRUE(gexf.ExportRelations(folder / "QuilorRelations.gexf"));
  ASSERT_TRUE(gexf.ExportMatrix(folder / "QuilorMatrix.gexf"));
  EXPECT_GT(gexf.OntologyStats().nodes, 0u);
  EXPECT_GT(gexf.OntologyStats().edges, 0u);
  for (const char* name : {"QuilorOntology.gexf", "QuilorRelations.gexf", "QuilorMatrix.gexf"}) {
    std::string why;
    EXPECT_TRUE(ValidGexf(folder / name, why)) << name << ": " << why;
  }
}

}  // namespace
}  // namespace quilor::ui
