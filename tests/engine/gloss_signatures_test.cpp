// The gloss signature file: what the builder writes the reader gives back,
// a damaged file is refused with its reason, and a context word is found
// through its regular inflections.
#include "engine/gloss_signatures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/tuning.h"
#include "dico/gloss_builder.h"
#include "dico/wordnet.h"
#include "engine/ontology_engine.h"
#include "platform/message_ui.h"

namespace quilor {
namespace {

GlossSignatureImage SmallImage() {
  GlossSignatureImage image;
  image.wordCount = 6;
  image.forms = {{"money", 1}, {"river", 2}, {"water", 3}, {"deposit", 4}, {"fly", 5}, {"flew", 5}};
  image.readings = {
      {10, 5, {1u << 8 | 20, 4u << 8 | 12}}, {10, 9, {2u << 8 | 24, 3u << 8 | 8}}, {11, 5, {4u << 8 | 4}}};
  return image;
}

TEST(GlossSignatures, ReadsWhatIsWrittenAndFindsInflectedWords) {
  GlossSignatures g;
  std::string error;
  ASSERT_TRUE(g.Load(WriteGlossSignatures(SmallImage()), error)) << error;
  EXPECT_EQ(g.WordOf("river"), 2u);
  EXPECT_EQ(g.WordOf("rivers"), 2u);
  EXPECT_EQ(g.WordOf("deposited"), 4u);
  EXPECT_EQ(g.WordOf("depositing"), 4u);
  EXPECT_EQ(g.WordOf("flies"), 5u);
  EXPECT_EQ(g.WordOf("flew"), 5u);  // an irregular form the file lists
  EXPECT_EQ(g.WordOf("riverbank"), 0u);
  EXPECT_EQ(g.WordOf(""), 0u);
  // A doubled last consonant is undone: stopped, running.
  GlossSignatureImage doubled = SmallImage();
  doubled.wordCount = 8;
  doubled.forms.push_back({"stop", 6});
  doubled.forms.push_back({"run", 7});
  GlossSignatures d;
  ASSERT_TRUE(d.Load(WriteGlossSignatures(doubled), error)) << error;
  EXPECT_EQ(d.WordOf("stopped"), 6u);
  EXPECT_EQ(d.WordOf("running"), 7u);
  EXPECT_EQ(g.Signature(10, 9).size(), 2u);
  EXPECT_TRUE(g.Signature(10, 7).empty());
  EXPECT_TRUE(g.Signature(12, 5).empty());
  const std::vector<uint32_t> sentence = {2, 3, 4};
  EXPECT_DOUBLE_EQ(g.Overlap(10, 9, sentence), (24 + 8) / kGlossWeightUnits);
  EXPECT_DOUBLE_EQ(g.Overlap(10, 5, sentence), 12 / kGlossWeightUnits);
  // The noun's own word speaks for none of its readings.
  EXPECT_DOUBLE_EQ(g.Overlap(10, 9, sentence, 2), 8 / kGlossWeightUnits);
  EXPECT_DOUBLE_EQ(g.Overlap(11, 5, {}), 0);
}

TEST(GlossSignatures, RefusesDamagedFilesWithTheirReason) {
  const std::string good = WriteGlossSignatures(SmallImage());
  auto refused = [](std::string bytes) {
    GlossSignatures g;
    std::string error;
    const bool ok = g.Load(bytes, error);
    EXPECT_TRUE(g.Empty());
    return !ok && !error.empty();
  };
  auto patched = [&](size_t at, uint32_t value) {
    std::string b = good;
    std::memcpy(b.data() + at, &value, 4);
    return b;
  };
  constexpr size_t kForms = 8 + 20, kReadings = kForms + 6 * 12, kItems = kReadings + 3 * 12;
  EXPECT_TRUE(refused(""));
  EXPECT_TRUE(refused("QGLOSS2\n" + good.substr(8)));
  EXPECT_TRUE(refused(good.substr(0, good.size() - 1)));
  EXPECT_TRUE(refused(good + "x"));
  EXPECT_TRUE(refused(patched(8, 1u << 24)));              // too many words
  EXPECT_TRUE(refused(patched(8 + 4, 1000)));              // forms past the end
  EXPECT_TRUE(refused(patched(kForms, 1000)));             // letters outside the pool
  EXPECT_TRUE(refused(patched(kForms + 4, 0)));            // an empty form
  EXPECT_TRUE(refused(patched(kForms + 8, 6)));            // a form of no word
  EXPECT_TRUE(refused(patched(kReadings + 12, 9)));        // readings out of order
  EXPECT_TRUE(refused(patched(kReadings + 4, 0)));         // a reading without a class
  EXPECT_TRUE(refused(patched(kReadings + 4, 70000)));     // a class past 16 bits
  EXPECT_TRUE(refused(patched(kReadings + 12 + 8, 99)));   // items past the end
  EXPECT_TRUE(refused(patched(kReadings + 24 + 8, 1)));    // items going back
  EXPECT_TRUE(refused(patched(kItems, 7u << 8 | 1)));      // an item of no word
  EXPECT_TRUE(refused(patched(kItems + 4, 1u << 8 | 1)));  // words out of order
  GlossSignatures g;
  std::string error;
  EXPECT_TRUE(g.Load(good, error));
  // A refused file leaves nothing of a good one read before.
  EXPECT_FALSE(g.Load(patched(kItems, 7u << 8 | 1), error));
  EXPECT_EQ(g.WordOf("river"), 0u);
  EXPECT_FALSE(g.LoadFile("/nonexistent/englex.gv8", error));
  EXPECT_NE(error.find("cannot open"), std::string::npos);
}

TEST(GlossSignatures, TheBuilderTakesDefinitionsAndRelativesButNeverExamples) {
  EXPECT_EQ(
      ontology_build::GlossDefinition("sloping land beside a body of water; \"they pulled the canoe up on the bank\""),
      "sloping land beside a body of water");
  const std::string two = ontology_build::GlossDefinition("a container; \"one bowl\"; \"two jars\"; (of ships)");
  EXPECT_EQ(two.find("bowl"), std::string::npos);
  EXPECT_EQ(two.find("jars"), std::string::npos);
  EXPECT_NE(two.find("(of ships)"), std::string::npos);

  wordnet::Database db;
  std::string error;
  ASSERT_TRUE(db.AddIndexFile(wordnet::Pos::Noun,
                              "bank n 2 1 @ 2 0 00000100 00000200\n"
                              "institution n 1 1 @ 1 0 00000300\n"
                              "slope n 1 0 1 0 00000400\n"
                              "canoe n 1 0 1 0 00000500\n"
                              "money n 1 0 1 0 00000600\n"
                              "river n 1 0 1 0 00000700\n",
                              "index.noun", error))
      << error;
  ASSERT_TRUE(db.AddDataFile(wordnet::Pos::Noun,
                             "00000100 17 n 01 bank 0 001 @ 00000400 n 0000 | sloping land beside a river; "
                             "\"they pulled the canoe up on the bank\"\n"
                             "00000200 14 n 01 bank 1 001 @ 00000300 n 0000 | an institution that keeps money; "
                             "\"he cashed a check at the bank\"\n"
                             "00000300 14 n 01 institution 0 000 | an organization\n"
                             "00000400 17 n 01 slope 0 000 | an incline\n"
                             "00000500 06 n 01 canoe 0 000 | a boat\n"
                             "00000600 21 n 01 money 0 000 | wealth\n"
                             "00000700 17 n 01 river 0 000 | a stream\n",
                             "data.noun", error))
      << error;
  const GlossSignatureImage image = ontology_build::BuildGlossSignatures(db, {{"bank", 3, {7, 8}}, {"river", 4, {7}}});
  GlossSignatures g;
  ASSERT_TRUE(g.Load(WriteGlossSignatures(image), error)) << error;
  auto weight = [&](uint16_t cls, const char* word) {
    const uint32_t id = g.WordOf(word);
    const std::vector<uint32_t> one = {id};
    return id ? g.Overlap(3, cls, one) : 0.0;
  };
  EXPECT_GT(weight(7, "river"), 0);  // its definition
  EXPECT_GT(weight(7, "slope"), 0);  // its hypernym
  EXPECT_GT(weight(8, "money"), 0);
  EXPECT_GT(weight(8, "institution"), 0);
  EXPECT_EQ(weight(8, "river"), 0);
  EXPECT_EQ(g.WordOf("canoe"), 0u);  // only an example names it
  EXPECT_EQ(g.WordOf("cashed"), 0u);
  EXPECT_EQ(g.WordOf("bank"), 0u);         // the noun itself is no evidence
  EXPECT_TRUE(g.Signature(4, 7).empty());  // one class: nothing to choose
}

TEST(GlossSignatures, TheChoiceGoesOnWithoutAMissingOrBadFile) {
  ScopedScriptedUi scripted;
  const ScriptedMessageUi& ui = scripted.ui;
  Tuning.glossEvidenceWeight = 200;
  const std::string bad = ::testing::TempDir() + "bad.gv8";
  std::ofstream(bad, std::ios::binary) << WriteGlossSignatures(SmallImage()).substr(0, 40);
  TOntologyEngine engine;
  // A file that is not there: no glosses, nothing said.
  engine.ReadGlossesInBackground(::testing::TempDir() + "none.gv8");
  EXPECT_EQ(engine.Glosses(), nullptr);
  EXPECT_NE(engine.GlossError().find("cannot open"), std::string::npos);
  EXPECT_TRUE(ui.Shown().empty());
  // A damaged one: no glosses, and the user is told once.
  engine.ReadGlossesInBackground(bad);
  EXPECT_EQ(engine.Glosses(), nullptr);
  EXPECT_EQ(engine.Glosses(), nullptr);
  EXPECT_EQ(ui.Shown().size(), 1u);
  EXPECT_NE(engine.GlossError().find("do not match"), std::string::npos);
  // A good one is read; with the weight at 0 it is not even asked for.
  const std::string good = ::testing::TempDir() + "good.gv8";
  std::ofstream(good, std::ios::binary) << WriteGlossSignatures(SmallImage());
  engine.ReadGlossesInBackground(good);
  ASSERT_NE(engine.Glosses(), nullptr);
  EXPECT_EQ(engine.Glosses()->WordOf("rivers"), 2u);
  Tuning = {};
  engine.ReadGlossesInBackground(good);
  EXPECT_EQ(engine.Glosses(), nullptr);
  std::remove(bad.c_str());
  std::remove(good.c_str());
}

}  // namespace
}  // namespace quilor
