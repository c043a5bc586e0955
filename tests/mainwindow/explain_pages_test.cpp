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

TEST(ExplainPagesTest, PagesHaveTheirTitlesBulletsAndJoinedParagraphs) {
  const ExplainPage scenario = ResultTypeExplainPage(4);
  EXPECT_EQ(scenario.title, "Scenario");
  EXPECT_EQ(scenario.paragraphs.size(), 5u);

  const ExplainPage style = ResultTypeExplainPage(0);
  ASSERT_EQ(style.paragraphs.size(), 13u);
  EXPECT_FALSE(style.paragraphs[0].bulleted);
  for (int i = 1; i <= 4; ++i) EXPECT_TRUE(style.paragraphs[i].bulleted) << i;
  EXPECT_FALSE(style.paragraphs[5].bulleted);
  EXPECT_TRUE(style.paragraphs[6].bulleted);

  // 1104 and 1105 make one paragraph.
  const ExplainPage verbs = ResultTypeExplainPage(8);
  ASSERT_EQ(verbs.paragraphs.size(), 5u);
  EXPECT_EQ(verbs.paragraphs[1].texts, (std::vector<int>{1104, 1105}));
  EXPECT_EQ(ResultTypeExplainPage(1).title, ResultTypeExplainPage(3).title);
  EXPECT_EQ(ResultTypeExplainPage(15).title, ResultTypeExplainPage(11).title);

  // Every text of every page exists.
  for (int index = 0; index <= 11; ++index)
    for (const auto& p : ResultTypeExplainPage(index).paragraphs)
      for (int id : p.texts) EXPECT_NE(std::string(GetMessageText(id)), "?") << id;
  for (int kind = 1; kind <= 5; ++kind) {
    const ExplainPage page = GraphExplainPage(kind);
    EXPECT_EQ(page.title.rfind("Graph: ", 0), 0u) << page.title;
    EXPECT_GE(page.paragraphs.size(), 5u);
    for (const auto& p : page.paragraphs)
      for (int id : p.texts) EXPECT_NE(std::string(GetMessageText(id)), "?") << id;
  }
  EXPECT_EQ(GraphExplainPage(1).title, "Graph: Area");
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
  EXPECT_EQ(ResultTypeHelpContext(-1), 0);
  EXPECT_EQ(ResultTypeHelpContext(0), 997);
  EXPECT_EQ(ResultTypeHelpContext(3), 916);
  EXPECT_EQ(ResultTypeHelpContext(4), 963);
  EXPECT_EQ(ResultTypeHelpContext(5), 920);
  EXPECT_EQ(ResultTypeHelpContext(9), 943);
  EXPECT_EQ(ResultTypeHelpContext(10), 700);
  EXPECT_EQ(ResultTypeHelpContext(14), 700);
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
