#include "output/gexf_export.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "engine/ontology_engine.h"
#include "generated/message_names.h"
#include "ui_support/engine_session.h"
#include "../platform/temp_folder.h"

namespace quilor::ui {
namespace {

using quilor::testing::ReadWholeFile;
using quilor::testing::TempFolder;

// Checks a file against the GEXF 1.3 schema kept with the test data, with xmllint.
void ExpectValidGexf(const std::string& path) {
  const std::filesystem::path schema = std::filesystem::path(QUILOR_TEST_DATA) / "gexf-1.3/gexf.rng";
  ASSERT_TRUE(std::system("command -v xmllint >/dev/null 2>&1") == 0 && std::filesystem::exists(schema))
      << "xmllint or the GEXF schema is missing";
  const std::string command =
      "xmllint --noout --relaxng '" + schema.string() + "' '" + path + "' > '" + path + ".log' 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << path << ": " << ReadWholeFile(path + ".log");
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

// The edges of a file in order, as "source>target:weight".
std::vector<std::string> EdgesOf(const std::string& text) {
  static const std::regex edge("<edge id=\"[0-9]+\" source=\"(d?[0-9]+)\" target=\"([0-9]+)\" weight=\"([0-9]+)\"/>");
  std::vector<std::string> out;
  for (std::sregex_iterator it(text.begin(), text.end(), edge), end; it != end; ++it)
    out.push_back((*it)[1].str() + ">" + (*it)[2].str() + ":" + (*it)[3].str());
  return out;
}

// The ids of the nodes of a file in order.
std::vector<std::string> NodesOf(const std::string& text) {
  static const std::regex node("<node id=\"(d?[0-9]+)\"");
  std::vector<std::string> out;
  for (std::sregex_iterator it(text.begin(), text.end(), node), end; it != end; ++it) out.push_back((*it)[1].str());
  return out;
}

struct GexfRun {
  explicit GexfRun(const GexfSource& s) : source(s), gexf(source) {
    gexf.Init(static_cast<uint32_t>(source.entries.size() - 1));
    for (uint32_t e = 1; e < source.entries.size(); ++e) gexf.SetNodeFrequency(e, source.entries[e].frequency);
  }
  std::string Ontology() { return Write(&TExportGephiGEXF::WriteOntologyFile); }
  std::string Relations() { return Write(&TExportGephiGEXF::ExportRelations); }
  std::string Matrix() { return Write(&TExportGephiGEXF::ExportMatrix); }
  std::string Write(bool (TExportGephiGEXF::*step)(const std::string&)) {
    const std::string path = folder / "out.gexf";
    std::filesystem::remove(path);
    if (!(gexf.*step)(path)) return "failed";
    return ReadWholeFile(path);
  }
  GexfSource source;
  TExportGephiGEXF gexf;
  TempFolder folder;
};

using Strings = std::vector<std::string>;

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
  GexfRun run(SmallSource());
  TExportGephiGEXF& gexf = run.gexf;
  const TempFolder& folder = run.folder;
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

  for (const char* name : {"QuilorOntology.gexf", "QuilorRelations.gexf", "QuilorMatrix.gexf"})
    ExpectValidGexf(folder / name);
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
  GexfSource source = SmallSource();
  source.entries.push_back({"lid", 2, true, 2, 0});  // entry 6 under box
  source.entries[5].frequency = 0;                   // box is not written
  GexfRun run(source);
  TExportGephiGEXF& gexf = run.gexf;
  const TempFolder& folder = run.folder;
  gexf.switches.hierarchical = true;
  gexf.switches.depthLevel = true;
  ASSERT_TRUE(gexf.ExportRelations(folder / "r.gexf"));
  ASSERT_TRUE(gexf.WriteOntologyFile(folder / "o.gexf"));
  for (const char* name : {"r.gexf", "o.gexf"}) ExpectValidGexf(folder / name);
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
  const Strings documents = {"d1", "d2", "d3"};
  for (const auto& [threshold, expected] : std::vector<std::pair<uint32_t, Strings>>{
           {3, {"1", "2", "4", "5"}}, {4, {"1", "2"}}, {2, {"1", "2", "3", "4", "5"}}}) {
    GexfRun run(SmallSource());  // frequencies 6, 4, 2, 3, 3
    run.gexf.nodeThreshold = threshold;
    Strings nodes = expected;
    nodes.insert(nodes.end(), documents.begin(), documents.end());
    EXPECT_EQ(NodesOf(run.Ontology()), nodes) << threshold;
  }
}

TEST(GexfExport, WriteErrorsAndStopFailTheStep) {
  GexfRun run(SmallSource());
  TExportGephiGEXF& gexf = run.gexf;
  EXPECT_FALSE(gexf.WriteOntologyFile("/dev/full"));
  EXPECT_FALSE(gexf.WriteDocumentsList("/dev/full", 0, false));
  EXPECT_FALSE(gexf.WriteOntologyFile("/nonexistent-folder/QuilorOntology.gexf"));

  TempFolder folder;
  GexfSource none = run.source;
  none.scenarioLoaded = false;
  TExportGephiGEXF withoutScenario(none);
  EXPECT_FALSE(withoutScenario.WriteOntologyFile(folder / "o.gexf"));

  gexf.Abort();
  EXPECT_FALSE(gexf.ExportRelations(folder / "r.gexf"));
}

TEST(GexfExport, RealRunOfTheSampleValidates) {
  testing_support::EngineSession session;
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.AnalyseTwoDocuments());
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
  for (const char* name : {"QuilorOntology.gexf", "QuilorRelations.gexf", "QuilorMatrix.gexf"})
    ExpectValidGexf(folder / name);
}

// SmallSource with more to tell the graphs apart: an entry that is not
// counted ("ghost", met 5 times), relations from and to the top level, and a
// fourth document where cat and dog meet again.
GexfSource RicherSource() {
  GexfSource source = SmallSource();
  source.entries.push_back({"ghost", 1, false, 5, 0});  // entry 6
  source.documents.push_back("/texts/d.txt");
  source.walkWords = [](const std::function<bool(uint32_t, uint32_t)>& visit) {
    const std::pair<uint32_t, uint32_t> words[] = {{1, 2}, {1, 0}, {1, 2}, {1, 3}, {2, 5}, {2, 2}, {3, 5},
                                                   {3, 3}, {4, 3}, {4, 2}, {4, 6}, {4, 9}, {4, 3}};
    for (const auto& [doc, entry] : words)
      if (!visit(doc, entry)) return;
  };
  source.walkRelationPairs = [](const std::function<void(uint32_t, uint32_t)>& visit) {
    const std::pair<uint32_t, uint32_t> pairs[] = {{2, 3}, {2, 3}, {2, 3}, {3, 5}, {5, 5}, {1, 2}, {1, 2},
                                                   {6, 2}, {6, 2}, {4, 5}, {4, 5}, {0, 2}, {2, 9}};
    for (const auto& [a, b] : pairs) visit(a, b);
  };
  return source;
}

// The ontology file links each document to the entries it met, weighted by
// their words; an entry not counted, unknown or unwritten gets no edge.
TEST(GexfExport, OntologyLinksEachDocumentToTheCountedEntriesItMet) {
  GexfRun run(RicherSource());
  const std::string text = run.Ontology();
  EXPECT_EQ(NodesOf(text), (Strings{"1", "2", "3", "4", "5", "6", "d1", "d2", "d3", "d4"}));
  EXPECT_EQ(EdgesOf(text), (Strings{"d1>2:2", "d1>3:1", "d2>5:1", "d2>2:1", "d3>5:1", "d3>3:1", "d4>3:2", "d4>2:1"}));
  EXPECT_EQ(run.gexf.OntologyStats().edges, 8u);
  EXPECT_EQ(run.gexf.OntologyStats().nodes, 6u);
  // Each entry's place and size: x from its share before the verb, y and size from its frequency.
  EXPECT_NE(text.find("<node id=\"1\" label=\"Animals\">\r\n\t<viz:color r=\"141\" g=\"41\" b=\"14\"/>\r\n"
                      "\t<viz:position x=\"-3600\" y=\"60\" z=\"0.0\"/>\r\n\t<viz:size value=\"13\"/>\r\n"
                      "\t<attvalues>\r\n\t\t<attvalue for=\"frequency\" value=\"6\"/>\r\n"
                      "\t\t<attvalue for=\"domain\" value=\"Animals\"/>\r\n\t</attvalues>\r\n\t\t<nodes>\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("<viz:position x=\"-1000\" y=\"40\" z=\"0.0\"/>\r\n\t\t<viz:size value=\"9\"/>"),
            std::string::npos);
  // "box" belongs to the second domain, with its own colour.
  EXPECT_NE(text.find("<viz:color r=\"85\" g=\"147\" b=\"88\"/>\r\n\t\t<viz:position x=\"-2500\" y=\"30\""),
            std::string::npos);
  EXPECT_NE(text.find("\t\t\t<attvalue for=\"domain\" value=\"Things\"/>"), std::string::npos);
  // The documents: the mean frequency of the written entries (23 / 6 = 3) gives their size.
  EXPECT_NE(text.find("<node id=\"d4\" label=\"d.txt\">\r\n\t<viz:color r=\"255\" g=\"255\" b=\"255\"/>\r\n"
                      "\t<viz:size value=\"4\"/>\r\n\t<viz:position x=\"2500.0\" y=\"-5000\" z=\"0.0\"/>\r\n"
                      "\t<attvalues>\r\n\t\t<attvalue for=\"frequency\" value=\"3\"/>"),
            std::string::npos);
  // The levels are written when asked; a flat file has no indentation.
  EXPECT_EQ(text.find("for=\"level\""), std::string::npos);
  run.gexf.switches.depthLevel = true;
  run.gexf.switches.flat = true;
  const std::string flat = run.Ontology();
  EXPECT_NE(flat.find("<attribute id=\"level\" title=\"level\" type=\"float\"/>"), std::string::npos);
  EXPECT_NE(flat.find("\r\n<attvalue for=\"level\" value=\"1\"/>\r\n"), std::string::npos);
  EXPECT_EQ(flat.find('\t'), std::string::npos);
  EXPECT_EQ(EdgesOf(flat), EdgesOf(text));
  // Without the documents: neither their nodes nor their edges.
  run.gexf.switches.includeDocuments = false;
  const std::string alone = run.Ontology();
  EXPECT_EQ(NodesOf(alone), (Strings{"1", "2", "3", "4", "5", "6"}));
  EXPECT_EQ(EdgesOf(alone), Strings{});
}

// The whole ontology file of one domain holding one class, met in one
// document: the class nested in its domain, the document after them, an
// edge per class the document met, weighted by its words.
TEST(GexfExport, TheOntologyFileOfADomainAndAClassIsExactlyThis) {
  GexfSource source;
  source.scenarioLoaded = true;
  source.entries = {{}, {"Animals", 0, true, 3, 1}, {"cat", 1, true, 2, 0}};
  source.documents = {"/texts/a.txt"};
  source.walkWords = [](const std::function<bool(uint32_t, uint32_t)>& visit) {
    for (const uint32_t entry : {2, 0, 2, 1}) visit(1, entry);
  };
  GexfRun run(source);
  std::string text = run.Ontology();
  ASSERT_EQ(text.rfind("\xEF\xBB\xBF", 0), 0u);
  // Shown with each line's tabs as two blanks.
  std::string shown;
  for (size_t at = 3, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
    const size_t tabs = text.find_first_not_of('\t', at) - at;
    shown += std::string(2 * tabs, ' ') + text.substr(at + tabs, end - at - tabs) + "\n";
  }
  EXPECT_EQ(shown, R"(<?xml version="1.0" encoding="UTF-8"?>
<gexf xmlns="http://gexf.net/1.3" xmlns:viz="http://gexf.net/1.3/viz" version="1.3">
  <meta lastmodifieddate="2013-03-17">
    <creator>
      Quilor text analysis
    </creator>
    <description>
    Fernbek Quilor GEXF results
    </description>
  </meta>
  <graph mode="static" defaultedgetype="undirected">
    <attributes class="node">
      <attribute id="frequency" title="frequency" type="float"/>
      <attribute id="domain" title="domain" type="string"/>
    </attributes>
    <nodes>
  <node id="1" label="Animals">
  <viz:color r="141" g="41" b="14"/>
  <viz:position x="-2500" y="30" z="0.0"/>
  <viz:size value="7"/>
  <attvalues>
    <attvalue for="frequency" value="3"/>
    <attvalue for="domain" value="Animals"/>
  </attvalues>
    <nodes>
    <node id="2" label="cat">
    <viz:color r="141" g="41" b="14"/>
    <viz:position x="-5000" y="20" z="0.0"/>
    <viz:size value="5"/>
    <attvalues>
      <attvalue for="frequency" value="2"/>
      <attvalue for="domain" value="Animals"/>
    </attvalues>
      <nodes>
      </nodes>
    </node>
    </nodes>
  </node>
  <node id="d1" label="a.txt">
  <viz:color r="255" g="255" b="255"/>
  <viz:size value="3"/>
  <viz:position x="-5000.0" y="-5000" z="0.0"/>
  <attvalues>
    <attvalue for="frequency" value="2"/>
    <attvalue for="domain" value="#documents"/>
  </attvalues>
  </node>
    </nodes>
    <edges>
    <edge id="1" source="d1" target="2" weight="2"/>
    <edge id="2" source="d1" target="1" weight="1"/>
    </edges>
  </graph>
</gexf>
)");
}

// Documents of a folder are listed by their name in it when asked, by their
// whole path otherwise.
TEST(GexfExport, DocumentsListGivesRelativeOrWholePaths) {
  const GexfSource source = SmallSource();
  TExportGephiGEXF gexf(source);
  TempFolder folder;
  const std::string path = folder / "list.xml";
  const auto lines = [&](size_t prefix, bool relative) {
    EXPECT_TRUE(gexf.WriteDocumentsList(path, prefix, relative));
    const std::string text = ReadWholeFile(path);
    static const std::regex article("<article [^>]*/>");
    Strings out;
    for (std::sregex_iterator it(text.begin(), text.end(), article), end; it != end; ++it) out.push_back(it->str());
    return out;
  };
  EXPECT_EQ(lines(7, true),
            (Strings{"<article docid=\"d1\" doclink=\"a.txt\"/>", "<article docid=\"d2\" doclink=\"b &amp; c.txt\"/>",
                     "<article docid=\"d3\" doclink=\"\xC3\xA9t\xC3\xA9.txt\"/>"}));
  EXPECT_EQ(lines(7, false)[0], "<article docid=\"d1\" doclink=\"/texts/a.txt\"/>");
  EXPECT_EQ(lines(0, true)[0], "<article docid=\"d1\" doclink=\"/texts/a.txt\" shortname=\"a.txt\"/>");
  // A prefix longer than a path leaves that path whole.
  EXPECT_EQ(lines(16, true), (Strings{"<article docid=\"d1\" doclink=\"/texts/a.txt\"/>",
                                      "<article docid=\"d2\" doclink=\"\"/>", "<article docid=\"d3\" doclink=\"\"/>"}));
}

// Relations: an edge needs a weight of two; an entry not counted, a pair
// with itself or with an unknown entry gives none; the top level can be left
// out, and so can the nodes without any relation.
TEST(GexfExport, RelationsKeepTheRepeatedPairsOfCountedEntries) {
  GexfRun run(RicherSource());
  std::vector<int> steps;
  run.gexf.progressLine = [&](int message) { steps.push_back(message); };
  const std::string text = run.Relations();
  EXPECT_EQ(EdgesOf(text), (Strings{"1>2:2", "2>3:3", "4>5:2"}));
  EXPECT_EQ(NodesOf(text), (Strings{"1", "2", "3", "4", "5", "6"}));
  EXPECT_EQ(steps, (std::vector<int>{msg::kRelationsStep, msg::kMatrixCompression, msg::kSaving}));

  run.gexf.switches.discardTopLevel = true;
  EXPECT_EQ(EdgesOf(run.Relations()), (Strings{"2>3:3"}));
  run.gexf.switches.discardTopLevel = false;

  // "ghost" has no relation it may keep: it goes with the switch.
  run.gexf.switches.discardNodesWithoutEdges = true;
  EXPECT_EQ(NodesOf(run.Relations()), (Strings{"1", "2", "3", "4", "5"}));
  run.gexf.switches.discardNodesWithoutEdges = false;

  // Entries met fewer times than the threshold take their relations with them.
  run.gexf.nodeThreshold = 3;
  const std::string fewer = run.Relations();
  EXPECT_EQ(EdgesOf(fewer), (Strings{"1>2:2", "4>5:2"}));
  EXPECT_EQ(NodesOf(fewer), (Strings{"1", "2", "4", "5", "6"}));
  EXPECT_EQ(run.gexf.nodeThreshold, 3u);

  // Nested: each child inside its parent.
  run.gexf.nodeThreshold = 0;
  run.gexf.switches.hierarchical = true;
  const std::string nested = run.Relations();
  EXPECT_NE(nested.find("</attvalues>\r\n\t\t<nodes>\r\n\t\t<node id=\"2\""), std::string::npos) << nested;
  EXPECT_EQ(EdgesOf(nested), (Strings{"1>2:2", "2>3:3", "4>5:2"}));
}

// The matrix links the entries met in the same documents, weighted by the
// number of those documents; with data reduction a link needs two.
TEST(GexfExport, MatrixWeighsEntriesByTheDocumentsTheyShare) {
  GexfRun run(RicherSource());
  const std::string text = run.Matrix();
  EXPECT_EQ(EdgesOf(text), (Strings{"3>2:2", "5>2:1", "5>3:1", "6>2:1", "6>3:1"}));
  EXPECT_NE(text.find("defaultedgetype=\"undirected\""), std::string::npos);
  EXPECT_EQ(NodesOf(text), (Strings{"1", "2", "3", "4", "5", "6", "d1", "d2", "d3", "d4"}));
  EXPECT_EQ(run.gexf.MatrixStats().edges, 5u);

  run.gexf.switches.discardNodesWithoutEdges = true;
  run.gexf.switches.includeDocuments = false;
  EXPECT_EQ(NodesOf(run.Matrix()), (Strings{"2", "3", "5", "6"}));

  run.gexf.nodeThreshold = 3;
  EXPECT_EQ(EdgesOf(run.Matrix()), (Strings{"5>2:1", "6>2:1"}));
  run.gexf.nodeThreshold = 0;

  run.gexf.switches.dataReduction = true;
  const std::string reduced = run.Matrix();
  EXPECT_EQ(EdgesOf(reduced), (Strings{"3>2:2"}));

  // An entry alone in its document is linked to nothing: without links it goes.
  GexfSource alone = RicherSource();
  alone.documents.push_back("/texts/e.txt");
  const auto words = alone.walkWords;
  alone.walkWords = [words](const std::function<bool(uint32_t, uint32_t)>& visit) {
    words(visit);
    visit(5, 4);
  };
  GexfRun lone(alone);
  lone.gexf.switches.discardNodesWithoutEdges = true;
  lone.gexf.switches.includeDocuments = false;
  EXPECT_EQ(NodesOf(lone.Matrix()), (Strings{"2", "3", "5", "6"}));
}

// A stop asked during a long walk through the words ends the step without a file.
TEST(GexfExport, AStopDuringTheWordsLeavesNoFile) {
  GexfSource source = SmallSource();
  source.walkWords = [](const std::function<bool(uint32_t, uint32_t)>& visit) {
    for (uint32_t i = 0; i < 100000; ++i)
      if (!visit(1 + i / 50000, 2)) return;
  };
  for (int step = 0; step < 2; ++step) {
    SCOPED_TRACE(step);
    GexfRun run(source);
    int asked = 0;
    run.gexf.service = [&] { return ++asked < 2; };
    EXPECT_EQ(step == 0 ? run.Ontology() : run.Matrix(), "failed");
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(std::filesystem::exists(run.folder / "out.gexf"));
  }
  // Let run, the walk is whole: 50,000 words of cat in each of the two documents.
  GexfRun whole(source);
  whole.gexf.service = [] { return true; };
  EXPECT_EQ(EdgesOf(whole.Ontology()), (Strings{"d1>2:50000", "d2>2:50000"}));
}

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
  GexfRun reduced(source);
  reduced.gexf.switches.dataReduction = true;
  EXPECT_EQ(NodesOf(reduced.Ontology()), (Strings{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "d1"}));
  // Without it, every entry is written.
  GexfRun whole(source);
  EXPECT_NE(whole.Ontology().find("<node id=\"12\""), std::string::npos);
}

}  // namespace
}  // namespace quilor::ui
