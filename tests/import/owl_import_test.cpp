#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include <zlib.h>

#include "core/class_file.h"
#include "engine/ontology_engine.h"
#include "import/owl_import.h"
#include "platform/message_ui.h"
#include "support/fifo_guard.h"
#include "support/stream_support.h"

namespace quilor {
namespace {

using testing_support::ReadFileBytes;
using testing_support::TempFolder;

const std::string kHead =
    "<?xml version=\"1.0\"?>\n"
    "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"\n"
    "         xmlns:rdfs=\"http://www.w3.org/2000/01/rdf-schema#\"\n"
    "         xmlns:owl=\"http://www.w3.org/2002/07/owl#\"\n"
    "         xmlns:oboInOwl=\"http://www.geneontology.org/formats/oboInOwl#\"\n"
    "         xml:base=\"http://example.org/zoo\">\n";
const std::string kTail = "</rdf:RDF>\n";

// Three levels; labels in two languages, synonyms, a class expression inside
// subClassOf carrying a label of its own, a self-closing class, a label made
// of blanks and a label written with an entity.
const std::string kThreeLevels = kHead + R"(
  <owl:Class rdf:about="#Animal">
    <rdfs:label xml:lang="en">Animal</rdfs:label>
    <rdfs:label xml:lang="fr">Bête</rdfs:label>
    <rdfs:comment>Any living creature that is not a plant</rdfs:comment>
  </owl:Class>
  <owl:Class rdf:ID="Mammal">
    <rdfs:subClassOf rdf:resource="#Animal"/>
    <rdfs:label xml:lang="en">Mammal</rdfs:label>
    <oboInOwl:hasExactSynonym>Mammalian</oboInOwl:hasExactSynonym>
  </owl:Class>
  <owl:Class rdf:about="http://example.org/zoo#Dog">
    <rdfs:subClassOf>
      <owl:Class rdf:about="#Mammal"/>
    </rdfs:subClassOf>
    <rdfs:subClassOf>
      <owl:Restriction>
        <owl:onProperty rdf:resource="#eats"/>
        <owl:someValuesFrom><owl:Class rdf:about="#Animal"/></owl:someValuesFrom>
      </owl:Restriction>
    </rdfs:subClassOf>
    <rdfs:subClassOf>
      <owl:Class>
        <rdfs:label>anonymous expression</rdfs:label>
      </owl:Class>
    </rdfs:subClassOf>
    <rdfs:label>Dog &amp; Hound</rdfs:label>
    <oboInOwl:hasRelatedSynonym>Canis familiaris</oboInOwl:hasRelatedSynonym>
    <rdfs:label>   </rdfs:label>
    <rdfs:label>Good
	boy</rdfs:label>
  </owl:Class>
  <owl:Class rdf:about="#Plant"/>
)" + kTail;

TEST(OwlImport, ThreeLevelsGiveTheirScenarioByteForByte) {
  OwlImportOptions options;
  options.ignoreOtherLanguages = true;
  const OwlImportResult r = ConvertOwl(kThreeLevels, "zoo.owl", options);
  ASSERT_TRUE(r.ok) << r.log;
  EXPECT_EQ(r.scenario,
            "G#0V\tAnimal\tAnimal\r\n"
            "0#1#\tanimal\tAnimal\r\n"
            "G#1V\tMammal\tMammal\r\n"
            "0#2#\tmammal\tMammal\r\n"
            "0#2#\tmammalian\tMammal\r\n"
            "G#2V\tDog & Hound\tDog & Hound\r\n"
            "0#3#\tdog_&_hound\tDog & Hound\r\n"
            "0#3#\tcanis_familiaris\tDog & Hound\r\n"
            "0#3#\tgood_boy\tDog & Hound\r\n"
            "G#0V\tPlant\tPlant\r\n"
            "0#1#\tplant\tPlant\r\n");
  EXPECT_EQ(r.stats.mainClasses, 4u);
  EXPECT_EQ(r.stats.labels, 6u);  // Animal, Mammal, Mammalian, Dog & Hound, Canis familiaris, Good boy
  EXPECT_EQ(r.stats.synonyms, 2u);
  EXPECT_EQ(r.stats.parseErrors, 0u);
  EXPECT_EQ(r.log.find("cycle"), std::string::npos);  // a tree with roots has none
  EXPECT_NE(r.log.find("*** Warning - class without label, named by its identifier: http://example.org/zoo#Plant"),
            std::string::npos);
  EXPECT_NE(r.log.find("Number of OWL main classes: 4\r\nNumber of OWL labels kept: 6\r\n"
                       "Number of Synonyms labels kept: 2\r\nNumber of parsing errors: 0\r\n"
                       "Number of Class ID errors (not found): 0\r\n"),
            std::string::npos);
}

TEST(OwlImport, EveryLabelResolvesToItsOwnClassOnceLoaded) {
  const OwlImportResult r = ConvertOwl(kThreeLevels, "zoo.owl", OwlImportOptions{});
  ASSERT_TRUE(r.ok);
  ScopedScriptedUi ui;
  GroupNumbering = {};
  ClassFileList file;
  bool damaged = false;
  ASSERT_TRUE(ParseClassFileText(file, r.scenario, damaged));
  EXPECT_FALSE(damaged);
  TOntologyEngine engine;
  SemanticDictionary d;
  d.names[0] = {"", "thing"};
  d.classCount[0] = 1;
  ASSERT_TRUE(engine.LoadBytes(WriteSemanticDictionary(d)).Ok());
  engine.LoadScenario(file, true);
  ASSERT_EQ(engine.ScenarioEntryCount(), 4u);
  auto entryOf = [&](const char* word) {
    return engine.ScenarioClassName(static_cast<int32_t>(engine.ScenarioEntryOfWordForm(word)));
  };
  EXPECT_EQ(entryOf("animal"), "animal");
  EXPECT_EQ(entryOf("mammalian"), "mammal");
  EXPECT_EQ(entryOf("mammal"), "mammal");
  EXPECT_EQ(entryOf("dog_&_hound"), "dog & hound");
  EXPECT_EQ(entryOf("canis_familiaris"), "dog & hound");
  EXPECT_EQ(engine.ScenarioEntryParent(3), 2u);
  EXPECT_EQ(engine.ScenarioEntryParent(2), 1u);
}

TEST(OwlImport, DuplicatesUndefinedParentsAndDeepChainsAreLogged) {
  std::string xml =
      kHead +
      "<owl:Class rdf:about=\"#A\"><rdfs:label>first</rdfs:label></owl:Class>\n"
      "<owl:Class rdf:about=\"#A\"><rdfs:label>again</rdfs:label></owl:Class>\n"
      "<owl:Class rdf:about=\"#B\"><rdfs:subClassOf rdf:resource=\"#Nowhere\"/>"
      "<oboInOwl:hasExactSynonym>early</oboInOwl:hasExactSynonym><rdfs:label>bee</rdfs:label></owl:Class>\n"
      "<owl:Class><rdfs:label>no id</rdfs:label></owl:Class>\n";
  for (int i = 0; i < 10; ++i)
    xml += "<owl:Class rdf:about=\"#C" + std::to_string(i) + "\">" +
           (i ? "<rdfs:subClassOf rdf:resource=\"#C" + std::to_string(i - 1) + "\"/>" : std::string()) +
           "<rdfs:label>level " + std::to_string(i) + "</rdfs:label></owl:Class>\n";
  xml += kTail;
  const OwlImportResult r = ConvertOwl(xml, "e.owl", OwlImportOptions{});
  ASSERT_TRUE(r.ok) << r.log;
  EXPECT_NE(r.log.find("*** Error - ClassId always defined: http://example.org/zoo#A"), std::string::npos);
  EXPECT_NE(r.log.find("*** Error - ClassId undefined for: http://example.org/zoo#Nowhere"), std::string::npos);
  EXPECT_NE(r.log.find("*** Unexpected synonym before first label of class: http://example.org/zoo#B"),
            std::string::npos);
  EXPECT_NE(r.log.find("*** Class extraction error !!! "), std::string::npos);
  EXPECT_NE(r.log.find("** Warning - tree depth level exceed maximum for: level 9"), std::string::npos);
  EXPECT_EQ(r.log.find("** Warning - tree depth level exceed maximum for: level 8"), std::string::npos);
  EXPECT_EQ(r.stats.mainClasses, 12u);
  EXPECT_EQ(r.stats.parseErrors, 2u);
  EXPECT_EQ(r.stats.classIdErrors, 1u);
  // The duplicate's label joins the first definition; B stays at the top.
  EXPECT_NE(r.scenario.find("G#0V\tfirst\tfirst\r\n0#1#\tfirst\tfirst\r\n0#1#\tagain\tfirst\r\n"), std::string::npos);
  EXPECT_NE(r.scenario.find("G#0V\tbee\tbee\r\n"), std::string::npos);
  EXPECT_NE(
      r.scenario.find("G#8V\tlevel 8\tlevel 8\r\n0#9#\tlevel_8\tlevel 8\r\nG#8V\tlevel 9\tlevel 9\r\n0#9#\tlevel_9"),
      std::string::npos);
}

TEST(OwlImport, ACycleKeepsEveryClass) {
  const std::string xml =
      kHead +
      "<owl:Class rdf:about=\"#A\"><rdfs:subClassOf rdf:resource=\"#B\"/><rdfs:label>a</rdfs:label></owl:Class>"
      "<owl:Class rdf:about=\"#B\"><rdfs:subClassOf rdf:resource=\"#A\"/><rdfs:label>b</rdfs:label></owl:Class>"
      "<owl:Class rdf:about=\"#C\"><rdfs:subClassOf rdf:resource=\"#C\"/><rdfs:subClassOf rdf:resource=\"#A\"/>"
      "<rdfs:label>c</rdfs:label></owl:Class>" +
      kTail;
  const OwlImportResult r = ConvertOwl(xml, "cycle.owl", OwlImportOptions{});
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.scenario, "G#0V\ta\ta\r\n0#1#\ta\ta\r\nG#1V\tb\tb\r\n0#2#\tb\tb\r\nG#1V\tc\tc\r\n0#2#\tc\tc\r\n");
  // One warning for the cycle, not one for each class it carries.
  EXPECT_NE(r.log.find("** Warning - SubClassOf cycle, class written at the top: a\r\n"), std::string::npos);
  EXPECT_EQ(r.log.find("SubClassOf cycle"), r.log.rfind("SubClassOf cycle")) << r.log;
}

// Labels with characters Windows-1252 lacks: a changed one is logged, one
// left with nothing but "?" is logged and dropped: no item "?" or "???"
// (which would stand for any word), and the class keeps its other labels.
TEST(OwlImport, LabelsOutsideTheCharsetAreLoggedAndNeverLeftAsQuestionMarks) {
  const std::string xml = kHead + R"(
  <owl:Class rdf:about="#Lambda">
    <rdfs:label>lambda calculus</rdfs:label>
    <rdfs:label>λ</rdfs:label>
    <oboInOwl:hasExactSynonym>λ-calculus</oboInOwl:hasExactSynonym>
    <oboInOwl:hasExactSynonym>漢字 ?</oboInOwl:hasExactSynonym>
  </owl:Class>
  <owl:Class rdf:about="#Kanji">
    <rdfs:label>漢字</rdfs:label>
  </owl:Class>
)" + kTail;
  const OwlImportResult r = ConvertOwl(xml, "greek.owl", OwlImportOptions{});
  ASSERT_TRUE(r.ok) << r.log;
  EXPECT_NE(r.log.find("label dropped (no character of the Windows-1252 charset): U+03BB\r\n"), std::string::npos)
      << r.log;
  EXPECT_NE(r.log.find("label changed (characters outside the Windows-1252 charset): U+03BB-calculus -> ?-calculus"),
            std::string::npos)
      << r.log;
  EXPECT_NE(r.log.find("U+6F22U+5B57"), std::string::npos) << r.log;
  for (const std::string line : {"\t?\t", "\t???\t", "\t?? ?\t", "\t_\t", "\t?_?\t"})
    EXPECT_EQ(r.scenario.find(line), std::string::npos) << line << "\n" << r.scenario;
  EXPECT_EQ(r.scenario.find('?'), std::string::npos) << r.scenario;
  // The class whose only label went is named by its identifier.
  EXPECT_NE(r.scenario.find("G#0V\tKanji\tKanji\r\n"), std::string::npos) << r.scenario;
}

TEST(OwlImport, MalformedXmlFailsStepOneWithLineAndColumn) {
  const OwlImportResult r = ConvertOwl(kHead + "<owl:Class rdf:about=\"#A\">\n<rdfs:label>x</rdfs:labl>" + kTail,
                                       "bad.owl", OwlImportOptions{});
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failedStep, 1);
  EXPECT_EQ(r.failure, OwlFailure::kMalformed);
  EXPECT_EQ(r.failureDetail, "mismatched tag");
  EXPECT_EQ(r.failureLine, 8u);
  EXPECT_EQ(r.failureColumn, 16u);  // counted from 1
  EXPECT_TRUE(r.scenario.empty());
  EXPECT_NE(r.log.find("*** XML Syntax Error !!! mismatched tag at line 8, column 16"), std::string::npos) << r.log;
  EXPECT_NE(r.log.find("*** I/O Error during parsing operation"), std::string::npos);
}

class OwlImportFiles : public ::testing::Test {
 protected:
  void SetUp() override { folder.Write(kOwlOutputName, "previous\r\n"); }
  OwlImportResult Import(const std::string& xml) {
    const std::string input = folder.Write("in.owl", xml);
    return ImportOwlFile(input, folder.Path(""), OwlImportOptions{}, scenario, log);
  }
  TempFolder folder;
  std::string scenario, log;
};

TEST_F(OwlImportFiles, HostileEntitiesFailInStepOneAndKeepThePreviousScenario) {
  const std::string secret = folder.Write("secret.txt", "TOP-SECRET-LINE");
  const std::vector<std::string> hostile = {
      // Billion laughs.
      "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
      "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>"
      "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">&d;&d;&d;</rdf:RDF>",
      // An external entity naming a local file.
      "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY x SYSTEM \"file://" + secret +
          "\">]>"
          "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
          "xmlns:rdfs=\"http://www.w3.org/2000/01/rdf-schema#\" xmlns:owl=\"http://www.w3.org/2002/07/owl#\">"
          "<owl:Class rdf:about=\"#A\"><rdfs:label>&x;</rdfs:label></owl:Class></rdf:RDF>",
      // A parameter entity.
      "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY % p \"<!ENTITY q 'boom'>\"> %p;]>"
      "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">&q;</rdf:RDF>",
  };
  const std::vector<std::string> refused = {"b", "x", "p"};  // the entity each one is refused at
  for (size_t i = 0; i < hostile.size(); ++i) {
    const std::string& xml = hostile[i];
    const OwlImportResult r = Import(xml);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failedStep, 1);
    EXPECT_EQ(r.failure, OwlFailure::kEntity);
    EXPECT_EQ(r.failureDetail, refused[i]);
    EXPECT_EQ(ReadFileBytes(folder.Path(kOwlOutputName)), "previous\r\n");
    EXPECT_TRUE(scenario.empty());
    EXPECT_EQ(log, folder.Path("in.owl.log"));
    const std::string text = ReadFileBytes(log);
    EXPECT_EQ(text.find("TOP-SECRET"), std::string::npos);
    EXPECT_NE(text.find("*** I/O Error during parsing operation"), std::string::npos);
    EXPECT_LT(text.size(), 4000u);
  }
}

TEST_F(OwlImportFiles, AnUnreadableFileIsSaidSo) {
  const OwlImportResult r =
      ImportOwlFile(folder.Path("missing.owl"), folder.Path(""), OwlImportOptions{}, scenario, log);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failure, OwlFailure::kUnreadable);
  EXPECT_EQ(r.failureDetail, "No such file or directory");
  EXPECT_EQ(ReadFileBytes(folder.Path(kOwlOutputName)), "previous\r\n");
}

// Past the class limit the classes are left out, counted and named; the
// others are imported.
TEST(OwlImport, AnOntologyOverTheClassLimitIsImportedUpToIt) {
  std::string xml = kHead;
  const uint32_t total = kOwlMaxClasses + 3;
  for (uint32_t i = 0; i < total; ++i) {
    xml += "<owl:Class rdf:about=\"#C" + std::to_string(i) + "\">";
    // C5's superclass is one of those left out.
    if (i == 5) xml += "<rdfs:subClassOf rdf:resource=\"#C" + std::to_string(kOwlMaxClasses + 1) + "\"/>";
    xml += "<rdfs:label>c" + std::to_string(i) + "</rdfs:label></owl:Class>\n";
  }
  xml += kTail;
  const OwlImportResult r = ConvertOwl(xml, "big.owl", OwlImportOptions{});
  ASSERT_TRUE(r.ok) << r.log.substr(r.log.size() - std::min<size_t>(r.log.size(), 2000));
  EXPECT_EQ(r.classesLeftOut, 3u);
  EXPECT_EQ(r.stats.mainClasses, kOwlMaxClasses);
  EXPECT_EQ(r.stats.classIdErrors, 0u);
  size_t groups = 0;
  for (size_t at = r.scenario.find("G#"); at != std::string::npos; at = r.scenario.find("\nG#", at + 1)) ++groups;
  EXPECT_EQ(groups, kOwlMaxClasses);
  const std::string last = "c" + std::to_string(kOwlMaxClasses - 1);
  EXPECT_NE(r.scenario.find("G#0V\t" + last + "\t" + last + "\r\n"), std::string::npos);
  EXPECT_EQ(r.scenario.find("\tc" + std::to_string(kOwlMaxClasses) + "\t"), std::string::npos);
  EXPECT_NE(r.scenario.find("G#0V\tc5\tc5\r\n"), std::string::npos);  // at the top level
  for (uint32_t i = kOwlMaxClasses; i < total; ++i)
    EXPECT_NE(r.log.find("*** Warning - class left out, over the limit of 65535 classes: http://example.org/zoo#C" +
                         std::to_string(i) + "\r\n"),
              std::string::npos);
  EXPECT_NE(r.log.find("*** Warning - superclass left out (over the class limit) for: c5"), std::string::npos);
  EXPECT_NE(r.log.find("Number of classes left out (over the limit of 65535): 3"), std::string::npos);
}

TEST_F(OwlImportFiles, AFifoOrAFolderAsInputFailsAtOnce) {
  const std::string fifo = folder.Path("in.owl");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& input : {fifo, folder.Path("")}) {
    OwlImportResult r;
    EXPECT_TRUE(quilor::testing::EndsWithoutAWriter(fifo, [&] {
      r = ImportOwlFile(input, folder.Path(""), OwlImportOptions{}, scenario, log);
    })) << input;
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failedStep, 1);
    EXPECT_EQ(r.failure, OwlFailure::kUnreadable);
    EXPECT_NE(r.log.find("I/O error on input file"), std::string::npos) << r.log;
    EXPECT_EQ(ReadFileBytes(folder.Path(kOwlOutputName)), "previous\r\n");
  }
}

TEST_F(OwlImportFiles, SuccessWritesTheScenarioAndTheLog) {
  const OwlImportResult r = Import(kThreeLevels);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(scenario, folder.Path(kOwlOutputName));
  EXPECT_EQ(ReadFileBytes(scenario), r.scenario);
  EXPECT_EQ(ReadFileBytes(log), r.log);
  EXPECT_EQ(ReadFileBytes(log).rfind("*** Processing file: ", 200) != std::string::npos, true);
}

// EDAM 1.11 (bioinformatics topics, operations, data and formats) as Debian
// ships it for the tests of python3-schema-salad; see tests/data/owl/README.
std::string ReadGzip(const std::string& path) {
  std::string text;
  gzFile in = gzopen(path.c_str(), "rb");
  if (in == nullptr) return text;
  char buffer[65536];
  int n;
  while ((n = gzread(in, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
  gzclose(in);
  return text;
}

TEST(OwlImportRealOntology, ImportsWithoutParseErrorsOneGroupPerNamedClass) {
  const std::string path = std::string(QUILOR_TEST_DATA) + "/owl/EDAM.owl.gz";
  const std::string xml = ReadGzip(path);
  ASSERT_GT(xml.size(), 2000000u) << path;
  const OwlImportResult r = ConvertOwl(xml, "EDAM.owl", OwlImportOptions{});
  ASSERT_TRUE(r.ok) << r.log.substr(0, 2000);
  EXPECT_EQ(r.stats.parseErrors, 0u);
  EXPECT_EQ(r.stats.classIdErrors, 0u);
  // Every top-level owl:Class with an IRI is a named class of the ontology.
  uint32_t named = 0;
  for (size_t p = xml.find("\n    <owl:Class rdf:about="); p != std::string::npos;
       p = xml.find("\n    <owl:Class rdf:about=", p + 1))
    ++named;
  EXPECT_EQ(named, 3114u);
  EXPECT_EQ(r.stats.mainClasses, named);
  size_t groups = 0;
  for (size_t p = r.scenario.find("G#"); p != std::string::npos; p = r.scenario.find("\nG#", p + 1)) ++groups;
  EXPECT_EQ(groups, named);
  EXPECT_GE(r.stats.labels, named);

  // The Scenario reads back whole, every label in place.
  ScopedScriptedUi ui;
  GroupNumbering = {};
  ClassFileList file;
  bool damaged = false;
  ASSERT_TRUE(ParseClassFileText(file, r.scenario, damaged));
  EXPECT_FALSE(damaged);
  // Each class keeps at least its first label as an item; labels that give
  // the same key within a class are written once.
  EXPECT_GE(file.Count(), 2 * groups);
  EXPECT_LE(file.Count(), groups + r.stats.labels);
}

}  // namespace
}  // namespace quilor
