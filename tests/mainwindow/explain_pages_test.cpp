#include <gtest/gtest.h>

#include <QLabel>
#include <QTabWidget>
#include <QTextBrowser>

#include "core/messages.h"
#include "mainwindow/explain_pages.h"
#include "main_window_fixture.h"

namespace quilor::ui {
namespace {

using testing_support::MainWindowTest;

// A page as its texts: paragraphs apart by blanks, a bullet as "*", texts
// of one paragraph joined by "+".
std::string Outline(const ExplainPage& page) {
  std::string out;
  for (const ExplainParagraph& p : page.paragraphs) {
    if (!out.empty()) out += ' ';
    if (p.bulleted) out += '*';
    for (size_t i = 0; i < p.texts.size(); ++i) out += (i ? "+" : "") + std::to_string(p.texts[i]);
  }
  return out;
}

TEST(ExplainPagesTest, EachPageHasItsTitleAndItsTextsInOrder) {
  struct Row {
    int index, title;
    const char* outline;
  };
  const char* classes = "1083 1084 *307 *308 *300 1086 887 1103";
  const char* categories = "1097 1098 *1109 *1111 *1112 *1110 *1113 1099";
  const char* episodes = "1100 *889 *890 1101 1102 1082 571";
  for (const Row& row : {
           Row{0, 304, "1079 *354 *355 *356 *357 1080 *345 *346 *347 *348 1081 1085 1082"},
           Row{1, 1072, classes},
           Row{2, 1072, classes},
           Row{3, 1072, classes},
           Row{4, 309, "1087 1088 1090 1089 1091"},
           Row{5, 390, "1092 1093 1094 1095 1096"},
           Row{6, 743, categories},
           Row{7, 743, categories},
           Row{8, 845, "856 1104+1105 1107 887 1096"},
           Row{9, 848, "860 1104+1106 1108 887 1096"},
           Row{10, 852, "1104 887 1096 1086"},
           Row{11, 564, episodes},
           Row{15, 564, episodes},
       }) {
    const ExplainPage page = ResultTypeExplainPage(row.index);
    EXPECT_EQ(page.title, GetMessageText(row.title)) << row.index;
    EXPECT_EQ(Outline(page), row.outline) << row.index;
    for (const auto& p : page.paragraphs)
      for (int id : p.texts) EXPECT_NE(std::string(GetMessageText(id)), "?") << id;
  }
  EXPECT_EQ(ResultTypeExplainPage(4).title, "Scenario");
  const ExplainPage welcome = ResultTypeExplainPage(-1);
  EXPECT_EQ(welcome.title, "Welcome in Quilor");
  EXPECT_EQ(Outline(welcome), "1074 1088 1087 1090");

  struct GraphRow {
    int kind;
    const char* title;
    const char* outline;
  };
  for (const GraphRow& row :
       {GraphRow{1, "Graph: Area", "1126 1127 1128 1129 1091"}, GraphRow{2, "Graph: Star", "1130 1131 1128 1129 1091"},
        GraphRow{3, "Graph: Distribution", "1132 1133 1134 1135 1091"},
        GraphRow{4, "Graph: Episodes", "1136 1137 1138 1139 1129"},
        GraphRow{5, "Graph: Actors", "1246 1247 1248 1249 1250 1129 1091"}}) {
    const ExplainPage page = GraphExplainPage(row.kind);
    EXPECT_EQ(page.title, row.title) << row.kind;
    EXPECT_EQ(Outline(page), row.outline) << row.kind;
    for (const auto& p : page.paragraphs)
      for (int id : p.texts) EXPECT_NE(std::string(GetMessageText(id)), "?") << id;
  }
  EXPECT_TRUE(GraphExplainPage(0).paragraphs.empty());
  EXPECT_TRUE(GraphExplainPage(9).paragraphs.empty());
}

TEST(ExplainPagesTest, HtmlHasRealLists) {
  const std::string html = ExplainPageHtml(ResultTypeExplainPage(0));
  EXPECT_EQ(html.find("<p>"), 0u);
  EXPECT_NE(html.find("<ul><li>"), std::string::npos);
  EXPECT_NE(html.find("</li></ul><p>"), std::string::npos);
  ExplainPage page;
  page.paragraphs.push_back({{1112}, true});
  EXPECT_EQ(ExplainPageHtml(page).substr(0, 8), "<ul><li>");
  EXPECT_EQ(html.substr(html.size() - 4), "</p>");
}

TEST(ExplainPagesTest, HelpContextsByResultLine) {
  const std::vector<int> contexts{0, 997, 916, 916, 916, 963, 920, 943, 943, 943, 943, 700, 700, 700, 700, 700};
  for (int index = -1; index <= 14; ++index)
    EXPECT_EQ(ResultTypeHelpContext(index), contexts[static_cast<size_t>(index + 1)]) << index;
}

TEST_F(MainWindowTest, ExplainTabFollowsTheSelectedLineOnlyWithResults) {
  TVekEditForm& w = Start();
  int selected = 4;
  w.SetSelectedResultTypeProvider([&] { return selected; });
  w.FillExplainPage();
  EXPECT_EQ(w.ExplainTitle()->text(), QStringLiteral("Welcome in Quilor"));
  ASSERT_TRUE(Open(sample_));
  w.PageControl1()->setCurrentWidget(w.ExplainTab());
  EXPECT_EQ(w.ExplainTitle()->text(), QStringLiteral("Scenario"));
  w.Session().CmFermer();
  EXPECT_EQ(w.ExplainTitle()->text(), QStringLiteral("Welcome in Quilor"));
  CloseWindow();
}

}  // namespace
}  // namespace quilor::ui
