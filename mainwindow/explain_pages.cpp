#include "mainwindow/explain_pages.h"

#include <initializer_list>

#include "core/messages.h"
#include "engine/diagnosis.h"
#include "platform/text_encoding.h"

namespace quilor::ui {

namespace {

constexpr int kMsgGraph = 512;
constexpr int kMsgWelcomeIn = 1073;
// The pages' titles (the result types and the graphs' names).
constexpr int kMsgReferences = 300, kMsgTextStyle = 304, kMsgReferenceFields1 = 307, kMsgReferenceFields2 = 308,
              kMsgScenario = 309, kMsgRelations = 390, kMsgCategories = 743, kMsgSubstantives = 852, kMsgEpisodes = 564,
              kMsgClasses = 1072;
constexpr int kMsgStarGraph = 514, kMsgAreaGraph = 537, kMsgDistributionGraph = 538, kMsgActorsGraph = 1245;
// The welcome page.
constexpr int kMsgWhatQuilorDoes = 1074, kMsgScenarioClassifies = 1088, kMsgScenarioIsYours = 1087,
              kMsgBordersKeepOut = 1090;
// The style page.
constexpr int kMsgStyleDiagnosed = 1079, kMsgSettingTold = 1080, kMsgFindingsSupported = 1081,
              kMsgTendenciesBelow = 1085, kMsgFindingsStatistical = 1082;
// The classes page.
constexpr int kMsgClassesGroupNouns = 1083, kMsgLevelsAre = 1084, kMsgCountsAndThreshold = 1086,
              kMsgAddToScenario = 887, kMsgMainThemes = 1103;
// The Scenario and relations pages.
constexpr int kMsgClickGroup = 1089, kMsgHelpGivesMore = 1091, kMsgRelationsArePairs = 1092, kMsgRelationLine = 1093,
              kMsgRelationBase = 1094, kMsgClickRelation = 1095, kMsgDoubleClickAdds = 1096;
// The categories page.
constexpr int kMsgCategoriesAreKinds = 1097, kMsgFrequentCategories = 1098, kMsgVerbKinds = 1109,
              kMsgModalityKinds = 1110, kMsgConnectorKinds = 1111, kMsgPronounKinds = 1112, kMsgAdjectiveKinds = 1113,
              kMsgClickCategory = 1099;
// The word lists' pages.
constexpr int kMsgGroupedByLemma = 1104, kMsgVerbsInInfinitive = 1105, kMsgAdjectivesInBaseForm = 1106,
              kMsgVerbsTell = 1107, kMsgAdjectivesTell = 1108;
// The episodes page.
constexpr int kMsgEpisodesFound = 1100, kMsgBundleIs = 889, kMsgEpisodeIs = 890, kMsgEpisodeShown = 1101,
              kMsgCharacteristicListed = 1102, kMsgShowEpisodesGraph = 571;
// The graphs' pages.
constexpr int kMsgAreaGraphDraws = 1126, kMsgCirclesOverlap = 1127, kMsgClickGraphObject = 1128,
              kMsgSliderObjects = 1129, kMsgStarGraphDraws = 1130, kMsgThickerLink = 1131,
              kMsgDistributionGraphDraws = 1132, kMsgBarIsPart = 1133, kMsgSliderPartWidth = 1134,
              kMsgRegularBars = 1135, kMsgEpisodesGraphDraws = 1136, kMsgLineIsClass = 1137,
              kMsgEpisodesAreStretches = 1138, kMsgClickEpisode = 1139, kMsgActorsGraphDraws = 1246,
              kMsgActorCircle = 1247, kMsgActorLinks = 1248, kMsgActorBoxes = 1249, kMsgClickActor = 1250;

// Builds paragraphs from a list where a negative number opens a bulleted run
// of that many texts and 0 joins the next text to the previous paragraph.
ExplainPage Page(int title, std::initializer_list<int> items) {
  ExplainPage page;
  page.title = GetMessageText(title);
  int bullets = 0;
  bool join = false;
  for (int item : items) {
    if (item < 0) {
      bullets = -item;
      continue;
    }
    if (item == 0) {
      join = true;
      continue;
    }
    if (join && !page.paragraphs.empty()) {
      page.paragraphs.back().texts.push_back(item);
      join = false;
      continue;
    }
    ExplainParagraph p;
    p.texts.push_back(item);
    p.bulleted = bullets > 0;
    if (bullets > 0) --bullets;
    page.paragraphs.push_back(std::move(p));
  }
  return page;
}

std::string Escape(const std::string& utf8) {
  std::string out;
  for (char c : utf8) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '\n': out += "<br>"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

ExplainPage WelcomePage() {
  ExplainPage page =
      Page(kMsgWelcomeIn, {kMsgWhatQuilorDoes, kMsgScenarioClassifies, kMsgScenarioIsYours, kMsgBordersKeepOut});
  page.title += "Quilor";
  return page;
}

ExplainPage ResultTypeExplainPage(int index) {
  switch (index) {
    case 0:
      return Page(kMsgTextStyle, {kMsgStyleDiagnosed, -4, kMsgArgumentativeExplained, kMsgNarrativeExplained,
                                  kMsgEnunciativeExplained, kMsgDescriptiveExplained, kMsgSettingTold, -4,
                                  kMsgSettingAction, kMsgSettingReal, kMsgSettingNarrator, kMsgSettingI,
                                  kMsgFindingsSupported, kMsgTendenciesBelow, kMsgFindingsStatistical});
    case 1:
    case 2:
    case 3:
      return Page(kMsgClasses, {kMsgClassesGroupNouns, kMsgLevelsAre, -3, kMsgReferenceFields1, kMsgReferenceFields2,
                                kMsgReferences, kMsgCountsAndThreshold, kMsgAddToScenario, kMsgMainThemes});
    case 4:
      return Page(kMsgScenario,
                  {kMsgScenarioIsYours, kMsgScenarioClassifies, kMsgBordersKeepOut, kMsgClickGroup, kMsgHelpGivesMore});
    case 5:
      return Page(kMsgRelations,
                  {kMsgRelationsArePairs, kMsgRelationLine, kMsgRelationBase, kMsgClickRelation, kMsgDoubleClickAdds});
    case 6:
    case 7:
      return Page(kMsgCategories,
                  {kMsgCategoriesAreKinds, kMsgFrequentCategories, -5, kMsgVerbKinds, kMsgConnectorKinds,
                   kMsgPronounKinds, kMsgModalityKinds, kMsgAdjectiveKinds, kMsgClickCategory});
    case 8:
      return Page(kMsgFamilyVerbs, {kMsgVerbListExplained, kMsgGroupedByLemma, 0, kMsgVerbsInInfinitive, kMsgVerbsTell,
                                    kMsgAddToScenario, kMsgDoubleClickAdds});
    case 9:
      return Page(kMsgFamilyAdjectives, {kMsgAdjectiveListExplained, kMsgGroupedByLemma, 0, kMsgAdjectivesInBaseForm,
                                         kMsgAdjectivesTell, kMsgAddToScenario, kMsgDoubleClickAdds});
    case 10:
      return Page(kMsgSubstantives,
                  {kMsgGroupedByLemma, kMsgAddToScenario, kMsgDoubleClickAdds, kMsgCountsAndThreshold});
    default: break;
  }
  if (index < 0) return WelcomePage();
  return Page(kMsgEpisodes, {kMsgEpisodesFound, -2, kMsgBundleIs, kMsgEpisodeIs, kMsgEpisodeShown,
                             kMsgCharacteristicListed, kMsgFindingsStatistical, kMsgShowEpisodesGraph});
}

std::string GraphLabel(int nameText) {
  std::string name = GetMessageText(nameText);
  if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') name[0] = static_cast<char>(name[0] - 'a' + 'A');
  return std::string(GetMessageText(kMsgGraph)) + ": " + name;
}

ExplainPage GraphExplainPage(int kind) {
  ExplainPage page;
  int name = 0;
  switch (kind) {
    case 1:
      name = kMsgAreaGraph;
      page = Page(kMsgGraph,
                  {kMsgAreaGraphDraws, kMsgCirclesOverlap, kMsgClickGraphObject, kMsgSliderObjects, kMsgHelpGivesMore});
      break;
    case 2:
      name = kMsgStarGraph;
      page = Page(kMsgGraph,
                  {kMsgStarGraphDraws, kMsgThickerLink, kMsgClickGraphObject, kMsgSliderObjects, kMsgHelpGivesMore});
      break;
    case 3:
      name = kMsgDistributionGraph;
      page = Page(kMsgGraph,
                  {kMsgDistributionGraphDraws, kMsgBarIsPart, kMsgSliderPartWidth, kMsgRegularBars, kMsgHelpGivesMore});
      break;
    case 4:
      name = kMsgEpisodes;
      page = Page(kMsgGraph, {kMsgEpisodesGraphDraws, kMsgLineIsClass, kMsgEpisodesAreStretches, kMsgClickEpisode,
                              kMsgSliderObjects});
      break;
    case 5:
      name = kMsgActorsGraph;
      page = Page(kMsgGraph, {kMsgActorsGraphDraws, kMsgActorCircle, kMsgActorLinks, kMsgActorBoxes, kMsgClickActor,
                              kMsgSliderObjects, kMsgHelpGivesMore});
      break;
    default: return page;
  }
  page.title = GraphLabel(name);
  return page;
}

int ResultTypeHelpContext(int index) {
  if (index < 0) return 0;
  if (index == 0) return 997;
  if (index <= 3) return 916;
  if (index == 4) return 963;
  if (index == 5) return 920;
  if (index <= 9) return 943;
  return 700;
}

std::string ExplainPageHtml(const ExplainPage& page) {
  std::string html;
  bool inList = false;
  for (const ExplainParagraph& p : page.paragraphs) {
    std::string text;
    for (int id : p.texts) text += GetMessageText(id);
    text = Escape(Cp1252ToUtf8(text));
    if (p.bulleted && !inList) html += "<ul>";
    if (!p.bulleted && inList) html += "</ul>";
    inList = p.bulleted;
    html += p.bulleted ? "<li>" + text + "</li>" : "<p>" + text + "</p>";
  }
  if (inList) html += "</ul>";
  return html;
}

}  // namespace quilor::ui
